#pragma once
// What the framework refuses from other programs. Any program on the
// desktop can post or send messages to Pinlorn's windows; these tests tell
// the messages that only the mouse, the system or the program itself may
// send from the ones another program forged. The window procedures answer a
// forgery 0 and pass it nowhere.
#include <windows.h>

#include "messages.h"

// A press of the left button that the mouse did not make: the thread sees
// the button up, so another program posted or sent it. It must not click a
// cell, drop a list down, start dragging a window or take the mouse.
bool IsForgedLeftPress(UINT msg);

// A request that the framework takes only from its own code (see OwnRequest).
bool IsForeignRequest(UINT msg);

// The system hides a window before it destroys it (or the window's parent,
// before it destroys that): WM_DESTROY and WM_NCDESTROY reaching a window
// still on screen came from another program, and would have a living
// control freed under the program.
bool IsForgedDestruction(UINT msg, HWND window);

// WM_NCCREATE or WM_CREATE while the program is creating no window: the
// system sends them only from inside CreateWindowExA. Another program's
// would have a standard control build its parts again.
bool IsForgedCreation(UINT msg);

// A device context that is not one of this process's own, in a message that
// carries one in wParam (painting, erasing, printing, colour requests).
// Device contexts belong to one process: such a message came from another
// program, and drawing into its context could take the program down.
bool HasForeignDeviceContext(UINT msg, WPARAM wParam);

// Marks the creation of a window by the program, for as long as the object
// lives.
class WindowCreation {
 public:
  WindowCreation();
  ~WindowCreation();
  WindowCreation(const WindowCreation&) = delete;
  WindowCreation& operator=(const WindowCreation&) = delete;
};

// Marks the framework's own sending of a request that it refuses from
// anyone else, for as long as the object lives.
class OwnRequest {
 public:
  OwnRequest();
  ~OwnRequest();
  OwnRequest(const OwnRequest&) = delete;
  OwnRequest& operator=(const OwnRequest&) = delete;
};
