#pragma once
// The private message numbers of the framework and of the port monitor.
// Other programs can send them too:
// the hostile neighbour tool sends them, and the tests' message recorder names
// them. Both use none of the program's code, so the numbers live here.
#include <windows.h>

// A WM_COMMAND passed on to the child control that sent it (same wParam, lParam).
constexpr UINT ReflectedCommand = 0xB005;
// Base of a colour request passed on to the child: ReflectedColorBase + WM_CTLCOLOR*.
constexpr UINT ReflectedColorBase = 0xBC00;
// Asks the main window to show the port notices that are due (a port library
// that faulted, a port driver that is not open); with none due it shows nothing.
constexpr UINT ShowPortNotices = 0xB010;
