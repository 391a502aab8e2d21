#pragma once
// The faults of the programs a test starts, read from outside in their Wine
// trace. Wine catches faults in window and timer procedures and goes on, so
// a program that lives may still have faulted. CTest runs such a test with
// its Unix stderr, which the programs inherit, going to the file that
// PINLORN_SEH_TRACE names (TRACE_FAULTS); the test asks Wine for the trace.
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
