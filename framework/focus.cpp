#include "focus.h"

#include "application.h"

bool IsEnabled(TControl* control) {
  if (control->Handle != nullptr) return IsWindowEnabled(control->Handle) != 0;
  return (control->Style & WS_DISABLED) == 0;
}

bool TakeFocus(TControl* control) {
  if (!IsEnabled(control) || !(control->TabStop || (control->Style & WS_TABSTOP) != 0)) {
    return false;
  }
  ++control->FocusDepth;
  SetFocus(control->Handle);
  --control->FocusDepth;
  return true;
}

bool RecordFocus(TControl* control) {
  TControl* form = ParentForm(control);
  if (form == nullptr) return false;
  form->FocusedControl = control;
  return true;
}

bool FormFocusHandler(TControl* control, MessageRecord& message, LRESULT& /*result*/) {
  if (message.Msg != WM_SETFOCUS) return false;
  bool handled = false;
  if (TControl* focused = control->FocusedControl; focused != nullptr && focused->Realize()) {
    SetFocus(focused->Handle);
    handled = true;
  }
  if (MainWindow != nullptr && MainWindow != control) MainWindow->FocusedControl = control;
  return handled;
}
