#include "port_tool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "constants.h"

namespace {

// A file that the tool's output goes to: inherited by the tool, read and
// removed afterwards.
class OutputFile {
 public:
  explicit OutputFile(const char* tag) {
    char dir[MAX_PATH], path[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    GetTempFileNameA(dir, tag, 0, path);
    path_ = path;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    handle_ = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  }
  ~OutputFile() {
    Close();
    DeleteFileA(path_.c_str());
  }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  HANDLE Handle() const { return handle_; }
  std::string Text() {
    Close();
    std::ifstream in(path_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

 private:
  void Close() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }
  std::string path_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') {
    std::replace(path.begin(), path.end(), '/', '\\');
    path.insert(0, "Z:");
  }
  return path;
}

bool StartProcess(std::string commandLine, BOOL inheritHandles, DWORD flags,
                  STARTUPINFOA& startup, PROCESS_INFORMATION& info) {
  for (int tries = 3; tries > 0; --tries) {
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, inheritHandles, flags,
                       nullptr, nullptr, &startup, &info)) {
      return true;
    }
    if (GetLastError() != ERROR_INTERNAL_ERROR) break;
  }
  return false;
}

PortToolRun RunPortTool(const std::string& arguments) {
  PortToolRun run;
  const char* tool = std::getenv("PINLORN_PORTCTL");
  if (tool == nullptr) {
    ADD_FAILURE() << "PINLORN_PORTCTL is not set";
    return run;
  }
  OutputFile out("pto"), err("pte");
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out.Handle();
  startup.hStdError = err.Handle();
  PROCESS_INFORMATION info{};
  std::string commandLine = '"' + WindowsPath(tool) + "\" " + arguments;
  if (!StartProcess(commandLine, TRUE, CREATE_NO_WINDOW, startup, info)) {
    ADD_FAILURE() << "cannot start " << commandLine << " (error " << GetLastError() << ")";
    return run;
  }
  CloseHandle(info.hThread);
  if (WaitForSingleObject(info.hProcess, kPortToolMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(info.hProcess, &run.ExitCode);
  } else {
    ADD_FAILURE() << commandLine << " did not end";
    TerminateProcess(info.hProcess, 1);
  }
  CloseHandle(info.hProcess);
  run.Out = out.Text();
  run.Err = err.Text();
  return run;
}
