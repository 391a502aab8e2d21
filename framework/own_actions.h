#pragma once
// What the program itself does that no other program may: send the requests
// the framework takes only from its own code, create windows and destroy
// them. Each goes through its helper here, which marks it as the program's
// own while it lasts, so that the rules on arriving messages (refusals.h) let
// its messages through.
#include <windows.h>

#include <cstdint>

// Sends a request that the framework refuses from anyone else: an item
// change, a new text, the combo box's information.
LRESULT SendOwnRequest(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
// CreateWindowExA, without creation data.
HWND CreateOwnWindow(DWORD exStyle, const char* className, const char* text, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU id, HINSTANCE instance);
// Destroys one of the program's windows, perhaps while serving a message
// that another thread sent.
void DestroyOwnWindow(HWND window);

enum class OwnAction : uint8_t { kRequest, kCreation, kDestruction };
// Whether the program is in the middle of one.
bool Doing(OwnAction action);
