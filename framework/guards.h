#pragma once
// What the framework refuses from other programs. Any program on the
// desktop can post or send messages to Pinlorn's windows; these tests tell
// the messages that only the mouse, the system or the program itself may
// send from the ones another program forged. The window procedures answer a
// forgery 0 and pass it nowhere.
#include <windows.h>

#include "messages.h"

// A press of the left button while the thread sees the button up: another
// program posted or sent it. Where a press would drop a list down, start
// dragging a window or take the mouse, such a press is refused. (A static
// control only reports a press as a click, and takes it from anyone.)
bool IsForgedLeftPress(UINT msg);

// A request that the framework takes only from its own code (see
// OwnRequest); `answer` is then what the sender gets back.
bool IsForeignRequest(UINT msg, LRESULT& answer);

// WM_DESTROY or WM_NCDESTROY that no destruction sent. The system sends them
// from the thread that destroys the window: this one, or another thread
// whose window the window was moved under. One sent from another thread
// while no window of another thread lies above, and this program destroys
// no window itself, came from another program. Posted ones are taken out of
// the queue before anything sees them (FilterPostedForgeries).
bool IsForgedDestruction(UINT msg, HWND window);

// Makes the messages that only the system sends, and never posts, into
// WM_NULL when another program posts them to this thread: creation and
// destruction notices. Idempotent; call before the first window is made.
void FilterPostedForgeries();

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

// Marks a destruction of windows that the program makes itself, for as long
// as the object lives (it may serve a request another thread sent).
class WindowDestruction {
 public:
  WindowDestruction();
  ~WindowDestruction();
  WindowDestruction(const WindowDestruction&) = delete;
  WindowDestruction& operator=(const WindowDestruction&) = delete;
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
