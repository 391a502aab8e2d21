#include "properties.h"

#include "own_actions.h"

namespace {

constexpr UINT kMoveFlags = SWP_NOZORDER | SWP_NOACTIVATE;
constexpr UINT kFrameRefreshFlags =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

void SetText(TControl* control, const std::string& text) {
  control->Text = text;
  if (control->Handle != nullptr) {
    // A copy: a handler of WM_SETTEXT may set the text again meanwhile.
    const std::string sent = control->Text;
    // The program's own text, even while it serves a message another thread
    // sent, when a new text from elsewhere is refused.
    SendOwnRequest(control->Handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(sent.c_str()));
    if (!control->NoTextRepaint) Invalidate(control);
  }
  if (control->TextChangedProc != nullptr) control->TextChangedProc(control);
}

std::string GetText(TControl* control) {
  const int length = control->Handle != nullptr ? GetWindowTextLengthA(control->Handle) : 0;
  if (length <= 0) return control->Handle != nullptr ? std::string() : control->Text;
  std::string text(static_cast<size_t>(length), '\0');
  // The length is an upper bound; keep what was actually copied.
  const int copied = GetWindowTextA(control->Handle, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

RECT GetBounds(TControl* control) {
  RECT bounds = control->Bounds;
  if (control->Handle != nullptr && GetWindowRect(control->Handle, &bounds) &&
      control->IsChild && control->Parent != nullptr) {
    POINT origin{0, 0};
    if (control->Parent->Handle != nullptr) ClientToScreen(control->Parent->Handle, &origin);
    OffsetRect(&bounds, -origin.x, -origin.y);
  }
  return bounds;
}

void SetBounds(TControl* control, const RECT& bounds) {
  const RECT current = GetBounds(control);
  if (SameRect(bounds, current)) return;
  if (bounds.left != current.left) control->PositionSet |= kLeftSet;
  if (bounds.top != current.top) control->PositionSet |= kTopSet;
  control->Bounds = bounds;
  if (control->Handle == nullptr) return;

  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  UINT flags = kMoveFlags;
  if (width == current.right - current.left && height == current.bottom - current.top) {
    flags |= SWP_NOSIZE;
  } else if (bounds.left == current.left && bounds.top == current.top) {
    flags |= SWP_NOMOVE;
  }
  SetWindowPos(control->Handle, nullptr, bounds.left, bounds.top, width, height, flags);
  if (control->RepaintOnResize && (flags & SWP_NOSIZE) == 0) Invalidate(control);
}

void SetLeft(TControl* control, int32_t left) {
  RECT bounds = GetBounds(control);
  bounds.right = left + (bounds.right - bounds.left);
  bounds.left = left;
  SetBounds(control, bounds);
}

void SetTop(TControl* control, int32_t top) {
  RECT bounds = GetBounds(control);
  bounds.bottom = top + (bounds.bottom - bounds.top);
  bounds.top = top;
  SetBounds(control, bounds);
}

void SetWidth(TControl* control, int32_t width) {
  RECT bounds = GetBounds(control);
  bounds.right = bounds.left + width;
  SetBounds(control, bounds);
}

void SetHeight(TControl* control, int32_t height) {
  RECT bounds = GetBounds(control);
  bounds.bottom = bounds.top + height;
  SetBounds(control, bounds);
}

int32_t GetWidth(TControl* control) {
  const RECT bounds = GetBounds(control);
  return bounds.right - bounds.left;
}

int32_t GetHeight(TControl* control) {
  const RECT bounds = GetBounds(control);
  return bounds.bottom - bounds.top;
}

TControl* SetPosition(TControl* control, int32_t left, int32_t top) {
  SetLeft(control, left);
  SetTop(control, top);
  return control;
}

TControl* SetSize(TControl* control, int32_t width, int32_t height) {
  RECT bounds = GetBounds(control);
  if (width > 0) bounds.right = bounds.left + width;
  if (height > 0) bounds.bottom = bounds.top + height;
  SetBounds(control, bounds);
  return control;
}

RECT GetClientArea(TControl* control) {
  RECT area = control->Bounds;
  if (HWND window = GetHandle(control); window != nullptr) GetClientRect(window, &area);
  area.top += control->ClientInsets.Top;
  area.bottom -= control->ClientInsets.Bottom;
  area.left += control->ClientInsets.Left;
  area.right -= control->ClientInsets.Right;
  return area;
}

TControl* SetClientSize(TControl* control, int32_t width, int32_t height) {
  if (width > 0) {
    const RECT area = GetClientArea(control);
    SetWidth(control, GetWidth(control) - (area.right - area.left) + width);
  }
  if (height > 0) {
    const RECT area = GetClientArea(control);
    SetHeight(control, GetHeight(control) - (area.bottom - area.top) + height);
  }
  return control;
}

void SetStyle(TControl* control, uint32_t style) {
  if (style == control->Style) return;
  control->Style = style;
  if (control->Handle == nullptr) return;
  SetWindowLongA(control->Handle, GWL_STYLE, static_cast<LONG>(style));
  SetWindowPos(control->Handle, nullptr, 0, 0, 0, 0, kFrameRefreshFlags);
  Invalidate(control);
}

void SetAlignment(TControl* control, uint8_t alignment) {
  const KindTable& kind = control->KindMessages;
  const uint32_t left = kind.AlignLeftBits;
  const uint32_t right = kind.AlignRightBits;
  const uint32_t centre = kind.AlignCentreBits;
  uint32_t style = control->Style;
  switch (alignment) {
    case kAlignLeft:
      style = (style & ~(right | centre)) | left;
      break;
    case kAlignRight:
      style = (style & ~(left | centre)) | right;
      break;
    case kAlignCentre:
      style = (style & ~(left | right)) | centre;
      break;
    default:
      return;  // not an alignment: nothing changes
  }
  control->Alignment = alignment;
  SetStyle(control, style & ~static_cast<uint32_t>(kind.AlignClearBits));
}

void Invalidate(TControl* control) {
  if (control->Handle != nullptr) InvalidateRect(control->Handle, nullptr, TRUE);
}
