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

// A Unix path as Wine sees it, on drive Z:; any other path as it is.
std::string WindowsPath(std::string path);
