#include "colors.h"

#include "messages.h"
#include "properties.h"
#include "window.h"

namespace {

int32_t liveBrushes = 0;

constexpr uint32_t kSystemColorFlag = 0x80000000;

bool IsReflectedColorRequest(UINT msg) {
  return msg >= ReflectedColorBase + WM_CTLCOLORMSGBOX &&
         msg <= ReflectedColorBase + WM_CTLCOLORSTATIC;
}

// A standard control reports a click from inside its own window procedure,
// while it handles the press that made it: the control is then still
// handling that message beneath the passed-on notification. A click
// notification that finds its control idle was posted or sent by another
// program, and is no click.
bool ReportedByItsOwnWindow(const TControl* control) { return control->DispatchDepth > 1; }

// Turns a passed-on command notification into the control's events. Returns
// false when the code matches none of the kind's codes.
bool NotifyFromCode(TControl* control, WORD code) {
  const KindTable& kind = control->KindMessages;
  if (code == kind.ClickCode) {
    // A click provoked by the framework's own focus change raises no event,
    // and neither does one that no press of this control made (below).
    if (control->FocusDepth == 0 && ReportedByItsOwnWindow(control)) {
      Activate(control);
      Click(control);
    }
  } else if (code == kind.EnterCode) {
    control->OnEnter(control);
  } else if (code == kind.ExitCode) {
    control->OnExit(control);
  } else if (code == kind.ChangeCode) {
    control->OnChange(control);
  } else if (code == kind.SelectCode) {
    if (control->OnSelect.Assigned()) {
      control->OnSelect(control);
    } else {
      control->OnChange(control);
    }
  } else {
    return false;
  }
  return true;
}

}  // namespace

COLORREF ColorToRGB(uint32_t color) {
  if ((color & kSystemColorFlag) != 0) return GetSysColor(static_cast<int>(color & ~kSystemColorFlag));
  return color;
}

int32_t LiveBrushCount() { return liveBrushes; }

void DeleteControlBrush(TControl* control) {
  if (control->Brush == nullptr) return;
  DeleteObject(control->Brush);
  control->Brush = nullptr;
  --liveBrushes;
}

void SetColor(TControl* control, uint32_t color) {
  HWND window = GetHandle(control);
  if (window != nullptr && control->KindMessages.SetBackgroundMsg != 0) {
    SendMessageA(window, control->KindMessages.SetBackgroundMsg, 0,
                 static_cast<LPARAM>(ColorToRGB(color)));
  }
  // The poll sets every cell's colour on each tick: only a change costs anything.
  if (color == control->Color) return;
  control->Color = color;
  DeleteControlBrush(control);
  Invalidate(control);
}

HBRUSH GetBrush(TControl* control) {
  // Controls share the brush of the nearest ancestor with the same colour value.
  TControl* owner = control;
  while (owner->Parent != nullptr && owner->Parent->Color == owner->Color) owner = owner->Parent;
  const COLORREF rgb = ColorToRGB(owner->Color);
  // A system colour may have changed since the brush was made.
  if (owner->Brush != nullptr && rgb != owner->BrushColor) DeleteControlBrush(owner);
  if (owner->Brush == nullptr) {
    owner->BrushColor = rgb;
    owner->Brush = CreateSolidBrush(rgb);
    if (owner->Brush != nullptr) ++liveBrushes;
  }
  return owner->Brush;
}

void Click(TControl* control) {
  if (control->ClickProc != nullptr) control->ClickProc(control);
  control->OnClick(control);
}

// Every child control: answers passed-on colour requests with its colours and
// brush (handled); turns passed-on command notifications that match a kind
// code into events (handled, default reply); records the focus on
// WM_SETFOCUS (not handled, unless the control has no form).
bool ChildControlHandler(TControl* control, MessageRecord& message, LRESULT& result) {
  if (IsReflectedColorRequest(message.Msg)) {
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    SetTextColor(dc, ColorToRGB(control->TextColor));
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, ColorToRGB(control->Color));
    result = reinterpret_cast<LRESULT>(GetBrush(control));
    return true;
  }
  if (message.Msg == ReflectedCommand) {
    if (!NotifyFromCode(control, HIWORD(message.WParam))) return false;
    result = CallDefault(control, message);
    return true;
  }
  if (message.Msg == WM_SETFOCUS) {
    TControl* form = ParentForm(control);
    if (form == nullptr) {
      result = 0;
      return true;
    }
    form->FocusedControl = control;
  }
  return false;
}

// Forms and group boxes: fills the client area with the background brush on
// WM_ERASEBKGND; never handled, so the default processing still runs.
bool EraseBackgroundHandler(TControl* control, MessageRecord& message, LRESULT& result) {
  if (message.Msg != WM_ERASEBKGND) return false;
  RealizeChildren(control);
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, ColorToRGB(control->Color));
  SetBrushOrgEx(dc, 0, 0, nullptr);
  RECT client;
  GetClientRect(control->Handle, &client);
  FillRect(dc, &client, GetBrush(control));
  result = 1;
  return false;
}
