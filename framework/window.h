#pragma once
// Window creation from a control record, message dispatch through the
// control's handler chain, inner-window subclassing and the close query.
#include "control.h"

// The control's window, created hidden (and marked ShowPending) when missing.
HWND GetHandle(TControl* control);
LRESULT SendToControl(TControl* control, UINT msg, WPARAM wParam, LPARAM lParam);
// The standard class's procedure, or DefWindowProcA for forms.
LRESULT CallDefault(TControl* control, const MessageRecord& message);
// Realize on each child, in attachment order.
void RealizeChildren(TControl* control);

// Appends the handler unless the control has it already. Only a handler
// added to be kept still runs once the quit message has been taken.
void AddMessageHandler(TControl* control, MessageHandler handler, bool keepAfterTermination = false);
bool RunHandlerChain(TControl* control, MessageRecord& message, LRESULT& result);
LRESULT CALLBACK FrameworkWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

void SubclassChildren(TControl* control);
void UnsubclassChildren(HWND window);
LRESULT CALLBACK ChildSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

// Whether the control and all its parents are shown or about to be.
bool IsShowing(TControl* control);

void SetOnCloseQuery(TControl* control, CloseQueryEvent handler);
bool CloseQueryHandler(TControl* control, MessageRecord& message, LRESULT& result);
