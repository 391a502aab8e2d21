#pragma once
// What a window shows, asked for with the messages a screen reader sends:
// for a window of this thread, another thread or another program alike.
#include <windows.h>

#include <string>

// A window's text (its own, or a combo box's edit field); empty when the
// window's program does not answer.
std::string TextOf(HWND window);
std::wstring WideTextOf(HWND window);
std::string ClassOf(HWND window);
