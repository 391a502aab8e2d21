#pragma once
// The framework's private message numbers. Other programs can send them too:
// the hostile neighbour tool sends them, and the tests' message recorder names
// them. Both use none of the program's code, so the numbers live here.
#include <windows.h>

// A WM_COMMAND passed on to the child control that sent it (same wParam, lParam).
constexpr UINT ReflectedCommand = 0xB005;
// Base of a colour request passed on to the child: ReflectedColorBase + WM_CTLCOLOR*.
constexpr UINT ReflectedColorBase = 0xBC00;
