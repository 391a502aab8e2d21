#pragma once
// Real mouse input through the system's input queue.
#include <windows.h>

// The centre of a window's client area, in screen coordinates.
POINT ClientCentreOnScreen(HWND window);
// Moves the pointer to `at` and clicks the left button `clicks` times.
// Returns whether the system accepted every input event.
bool ClickAt(POINT at, int clicks = 1);

// Presses the left button on `window` `clicks` times as the mouse does, but
// straight to the window: the thread sees the button down while the window
// takes each press (the second one a double click) and up again for the
// release. The real pointer does not move.
void PressLeftButton(HWND window, int clicks = 1);
