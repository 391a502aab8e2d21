#pragma once
// What the program itself does that no other program may: send the requests
// the framework takes only from its own code, create windows and destroy
// them. Each goes through its one helper here, which marks it as the
// program's own for as long as it lasts, so that the rules on arriving
// messages (refusals.h) let its messages through.
#include <windows.h>

// Sends a request that the framework refuses from anyone else: an item
// change, a new text, the combo box's information.
LRESULT SendOwnRequest(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
// Creates a window, as CreateWindowExA does from the same values: its
// creation notices are the program's own.
HWND CreateOwnWindow(const CREATESTRUCTA& window);
// Destroys one of the program's windows, perhaps while serving a message
// that another thread sent: its destruction notices are the program's own.
void DestroyOwnWindow(HWND window);

// Whether the program is sending one of its own requests, creating a window
// or destroying one, now.
bool SendingOwnRequest();
bool CreatingOwnWindow();
bool DestroyingOwnWindow();
