#include "fault_trace.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>

FaultTrace::FaultTrace() {
  if (const char* path = std::getenv("PINLORN_SEH_TRACE"); path != nullptr && *path == '/') {
    path_ = std::string("Z:") + path;
  }
  // The programs inherit this environment.
  SetEnvironmentVariableA("WINEDEBUG", "-all,+seh");
}

std::vector<std::string> FaultTrace::Faults(const std::string& code) const {
  const std::string mark = "dispatch_exception code=" + code;
  std::vector<std::string> found;
  std::ifstream trace(path_);
  for (std::string line; std::getline(trace, line);) {
    if (line.find(mark) != std::string::npos) found.push_back(line);
  }
  return found;
}
