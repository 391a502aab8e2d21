#pragma once
// Where the keyboard focus goes: which controls may take it, the form that
// hands it on to the control that last had it, and the recording of that
// control. (Activate, the focus move of a click, is in notifications.h.)
#include "control.h"

// Enabled: the window is, or without a window, WS_DISABLED is clear.
bool IsEnabled(TControl* control);
// On WM_SETFOCUS of the control's window: takes the focus when the control is
// enabled and a tab stop (with FocusDepth raised meanwhile), and says whether.
bool TakeFocus(TControl* control);
// Makes the control the FocusedControl of its form. False when it has none.
bool RecordFocus(TControl* control);

// Forms, WM_SETFOCUS: hands the focus to the form's FocusedControl (handled
// when that control could be realized); otherwise not handled.
bool FormFocusHandler(TControl* control, MessageRecord& message, LRESULT& result);
