#pragma once
// The port tool (portctl.exe), run as a person at the bench runs it beside
// the program: a second process that shows and steers the same virtual port.
#include <windows.h>

#include <string>

struct PortToolRun {
  DWORD ExitCode = 0xFFFFFFFF;  // stays so when the tool could not run or did not end
  std::string Out, Err;
};

// Runs the port tool with `arguments` and waits for it to end. CTest names
// the tool in PINLORN_PORTCTL (a Unix or a Windows path); a missing name or
// a tool that cannot start is a test failure.
PortToolRun RunPortTool(const std::string& arguments);

// CreateProcessA, tried again (three times in all) when Wine ended the new
// process while setting it up (ERROR_INTERNAL_ERROR): it ran none of its code.
bool StartProcess(std::string commandLine, BOOL inheritHandles, DWORD flags,
                  STARTUPINFOA& startup, PROCESS_INFORMATION& info);

// A Unix path as Wine sees it, on drive Z:; any other path as it is.
std::string WindowsPath(std::string path);
