#pragma once
// What the screen shows of a window, taken as a screenshot would take it.
#include <windows.h>

// The colour that fills most of the window's client area on screen, which
// for a cell is its background, whatever its caption covers.
COLORREF ScreenColour(HWND window);
// A lit cell: its pin is high.
constexpr COLORREF kTeal = RGB(0, 128, 128);
