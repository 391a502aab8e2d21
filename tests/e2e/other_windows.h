#pragma once
// Windows of another program, found from outside (window_text.h reads
// them), never by reaching into its memory.
#include <windows.h>

#include <vector>

// The visible top-level windows of a process with this class, in the
// system's order; only those owned by `owner` when it is given.
std::vector<HWND> TopLevelWindows(DWORD processId, const char* className, HWND owner = nullptr);
// Every descendant of a window, children before their own children.
std::vector<HWND> Descendants(HWND window);

// Position of `window` relative to its parent's client area (left, top), and
// its size (in right, bottom).
RECT PlaceInParent(HWND window);
