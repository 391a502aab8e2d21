#include "notifications.h"

#include "colors.h"
#include "dispatch.h"
#include "focus.h"
#include "window.h"

namespace {

void NotifyClick(TControl* control) {
  // A click provoked by the framework's own focus change raises no event.
  // Every other one does: a press is a press, whoever made it.
  if (control->FocusDepth == 0) {
    Activate(control);
    Click(control);
  }
}

void NotifySelect(TControl* control) {
  if (control->OnSelect.Assigned()) {
    control->OnSelect(control);
  } else {
    control->OnChange(control);
  }
}

// Turns a passed-on command notification into the control's events. The
// kind's codes are compared in this order and the first equal one decides;
// false when the code matches none of them.
bool NotifyFromCode(TControl* control, WORD code) {
  const KindTable& kind = control->KindMessages;
  if (code == kind.ClickCode || code == kind.DoubleClickCode) {
    NotifyClick(control);
  } else if (code == kind.EnterCode) {
    control->OnEnter(control);
  } else if (code == kind.ExitCode) {
    control->OnExit(control);
  } else if (code == kind.ChangeCode) {
    control->OnChange(control);
  } else if (code == kind.SelectCode) {
    NotifySelect(control);
  } else {
    return false;
  }
  return true;
}

}  // namespace

void Activate(TControl* control) {
  if (!control->TabStop) return;
  if (!control->IsChild) {
    SetForegroundWindow(GetHandle(control));
    return;
  }
  if (TControl* form = ParentForm(control); form != nullptr) {
    if (form->FocusedControl != nullptr && form->FocusedControl != control) SetFocus(nullptr);
    form->FocusedControl = control;
  }
  SetFocus(GetHandle(control));
}

void Click(TControl* control) {
  if (control->ClickProc != nullptr) control->ClickProc(control);
  control->OnClick(control);
}

bool ChildControlHandler(TControl* control, MessageRecord& message, LRESULT& result) {
  if (IsReflectedColorRequest(message.Msg)) {
    result = BrushResult(AnswerColorRequest(control, AsColorRequest(message).Dc));
    return true;
  }
  if (message.Msg == ReflectedCommand) {
    if (!NotifyFromCode(control, AsCommand(message).Code)) return false;
    result = CallDefault(control, message);
    return true;
  }
  if (message.Msg == WM_SETFOCUS && !RecordFocus(control)) {
    result = 0;
    return true;
  }
  return false;
}
