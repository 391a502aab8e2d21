#pragma once
// A control's window: made from the record, with a window class of the
// framework's own registered on first use, on demand when something needs
// it early; shown, hidden, moved to another parent; and the icon a
// top-level window takes.
#include "control.h"

// The control's window, created hidden (and marked ShowPending) when missing.
HWND GetHandle(TControl* control);
LRESULT SendToControl(TControl* control, UINT msg, WPARAM wParam, LPARAM lParam);
// Realize on each child, in attachment order.
void RealizeChildren(TControl* control);
// AttachRecord, and a window that exists moves under the new parent's.
void AttachToParent(TControl* control, TControl* newParent);

void SetVisible(TControl* control, bool visible);
bool IsVisible(const TControl* control);

// The big icon of a top-level window: the "MAINICON" resource for the main
// window, a copy of the main window's for other forms; remembered.
HICON WindowIcon(TControl* control);
