#pragma once
// The list of parallel ports the system reports, as a test sets it:
// HKLM\HARDWARE\DEVICEMAP\PARALLEL PORTS, where the program looks for LPT1.
#include <windows.h>

#include <string>
#include <vector>

// The values of the key for one test: replaces all of them on construction
// and puts the previous ones back on destruction.
class PortListInRegistry {
 public:
  struct Value {
    std::string Name;
    DWORD Type;
    std::string Data;  // the raw bytes stored, terminating NUL included where wanted
  };
  explicit PortListInRegistry(const std::vector<Value>& values);
  ~PortListInRegistry();
  PortListInRegistry(const PortListInRegistry&) = delete;
  PortListInRegistry& operator=(const PortListInRegistry&) = delete;
  bool Ok() const { return ok_; }

 private:
  std::vector<Value> saved_;
  bool ok_ = false;
};

// A REG_SZ value as Windows itself writes one: the text and its NUL.
PortListInRegistry::Value TextValue(const std::string& name, const std::string& text);
// The usual machine: one parallel port, LPT1.
std::vector<PortListInRegistry::Value> OnePort();
