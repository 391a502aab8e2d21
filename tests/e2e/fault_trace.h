#pragma once
// The faults of the programs a test starts, in their Wine trace: Wine goes on
// after a fault in a window or timer procedure. CTest sends the test's Unix
// stderr, which the programs inherit, to the file PINLORN_SEH_TRACE names.
#include <string>
#include <vector>

class FaultTrace {
 public:
  // Has the programs this process starts from now on trace their exceptions.
  FaultTrace();
  bool Available() const { return !path_.empty(); }
  // The exceptions traced so far whose code begins with `code` (hexadecimal,
  // lower case): one line each, with the address it was raised at. "c"
  // gives every hardware fault.
  std::vector<std::string> Faults(const std::string& code) const;

 private:
  std::string path_;
};
