#pragma once
// Message dispatch: the one window procedure of every framework class, which
// finds the control behind a window and runs its handler chain, then the
// built-in handling, then the standard class's own procedure; and the close
// query.
#include "control.h"

// Framework window classes are named this prefix and the class they are
// built on ("obj_STATIC"); a form's class is "obj_Form".
constexpr char kClassPrefix[] = "obj_";

// The control whose CreateWindowExA is in progress: the first message of the
// new window binds the window to it.
extern TControl* CreatingControl;

LRESULT CALLBACK FrameworkWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

// Appends the handler unless the control has it already. Only a handler
// added to be kept still runs once the quit message has been taken.
void AddMessageHandler(TControl* control, MessageHandler handler, bool keepAfterTermination = false);
// Runs the control's handlers, newest first, until one handles the message.
bool RunHandlerChain(TControl* control, MessageRecord& message, LRESULT& result);
// The standard class's procedure, or DefWindowProcA for forms, for the window
// the message was sent to.
LRESULT CallDefault(TControl* control, const MessageRecord& message);

void SetOnCloseQuery(TControl* control, CloseQueryEvent handler);
// WM_CLOSE: asks OnCloseQuery; handled (window stays) only when the answer
// is no while the run loop is active. Otherwise the window is destroyed, and
// the main window's destruction ends the run.
bool CloseQueryHandler(TControl* control, MessageRecord& message, LRESULT& result);
