#pragma once
// A child control's side of what its parent passes on: colour requests are
// answered with its colours, command notifications become its events
// (above all OnClick), and the focus it takes is recorded.
#include "control.h"

// A click's focus move (does nothing unless the control is a tab stop): a
// form comes to the foreground; a child control becomes its form's
// FocusedControl and takes the focus.
void Activate(TControl* control);
// Runs the kind's click step, then OnClick.
void Click(TControl* control);

// Every child control: answers passed-on colour requests with its colours and
// brush (handled); turns passed-on command notifications that match a kind
// code into events (handled, default reply); records the focus on
// WM_SETFOCUS (not handled, unless the control has no form).
bool ChildControlHandler(TControl* control, MessageRecord& message, LRESULT& result);
