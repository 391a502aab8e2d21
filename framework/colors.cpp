#include "colors.h"

#include "properties.h"

namespace {

constexpr uint32_t kSystemColorFlag = 0x80000000;

}  // namespace

COLORREF ColorToRGB(uint32_t color) {
  if ((color & kSystemColorFlag) != 0) return GetSysColor(static_cast<int>(color & ~kSystemColorFlag));
  return color;
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
  control->Brush.Reset();
  Invalidate(control);
}

HBRUSH GetBrush(TControl* control) {
  // Controls share the brush of the nearest ancestor with the same colour value.
  TControl* owner = control;
  while (owner->Parent != nullptr && owner->Parent->Color == owner->Color) owner = owner->Parent;
  const COLORREF rgb = ColorToRGB(owner->Color);
  // A system colour may have changed since the brush was made.
  if (owner->Brush != nullptr && rgb != owner->BrushColor) owner->Brush.Reset();
  if (owner->Brush == nullptr) {
    owner->BrushColor = rgb;
    owner->Brush = MakeBrush(rgb);
  }
  return owner->Brush;
}

HBRUSH AnswerColorRequest(TControl* control, HDC dc) {
  SetTextColor(dc, ColorToRGB(control->TextColor));
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, ColorToRGB(control->Color));
  return GetBrush(control);
}

bool EraseBackgroundHandler(TControl* control, MessageRecord& message, LRESULT& result) {
  if (message.Msg != WM_ERASEBKGND) return false;
  RealizeChildren(control);
  const HDC dc = EraseDcOf(message);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, ColorToRGB(control->Color));
  SetBrushOrgEx(dc, 0, 0, nullptr);
  RECT client;
  GetClientRect(control->Handle, &client);
  FillRect(dc, &client, GetBrush(control));
  result = 1;
  return false;
}
