#pragma once
// Real mouse input through the system's input queue.
#include <windows.h>

// The centre of a window's client area, in screen coordinates.
POINT ClientCentreOnScreen(HWND window);
// Moves the pointer to `at` and clicks the left button `clicks` times.
// Returns whether the system accepted every input event.
bool ClickAt(POINT at, int clicks = 1);
