#pragma once
// Mouse input as a person makes it: through the system's input queue, or
// straight to one window of this thread.
#include <windows.h>

// The centre of a window's client area, in screen coordinates.
POINT ClientCentreOnScreen(HWND window);
// Moves the pointer to `at` (screen coordinates) and clicks the left button
// there `clicks` times; two clicks in a row make a double click. The input
// goes to whichever window of any program lies there. Returns whether the
// system accepted every input event.
bool ClickAt(POINT at, int clicks = 1);

// Presses the left button on `window` `clicks` times as the mouse does, but
// straight to the window: the thread sees the button down while the window
// takes each press (the second one a double click) and up again for the
// release. The real pointer does not move.
void PressLeftButton(HWND window, int clicks = 1);
