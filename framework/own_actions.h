#pragma once
// What the program does that no other program may: its own requests, window
// creation and destruction, each marked as the program's own while it lasts,
// so that the rules on arriving messages (refusals.h) let its messages by.
#include <windows.h>

// Sends a request refused from anyone else (an item change, a new text).
LRESULT SendOwnRequest(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
// CreateWindowExA, without creation data.
HWND CreateOwnWindow(DWORD exStyle, const char* className, const char* text, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU id, HINSTANCE instance);
// Destroys a window, perhaps while serving another thread's message.
void DestroyOwnWindow(HWND window);

enum class OwnAction { kRequest, kCreation, kDestruction };
// Whether the program is in the middle of one.
bool Doing(OwnAction action);
