#include "window.h"

#include "application.h"
#include "dispatch.h"
#include "own_actions.h"

namespace {

// Class styles a framework class never inherits from the class it copies:
// CS_GLOBALCLASS, CS_PARENTDC, CS_CLASSDC and CS_OWNDC.
constexpr UINT kClassStyleMask = ~static_cast<UINT>(CS_GLOBALCLASS | CS_PARENTDC | CS_CLASSDC | CS_OWNDC);
constexpr WPARAM kShowFocusCues = MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS);
constexpr size_t kClassNameSize = 64;
constexpr char kMainIcon[] = "MAINICON";

HINSTANCE ModuleInstance() { return GetModuleHandleA(nullptr); }

// A framework class is named the prefix and the name of the class it is
// built on, cut to what fits the buffer.
void FrameworkClassName(const char* base, char (&name)[kClassNameSize]) {
  size_t length = 0;
  for (const char* part : {kClassPrefix, base != nullptr ? base : ""}) {
    while (*part != '\0' && length + 1 < kClassNameSize) name[length++] = *part++;
  }
  name[length] = '\0';
}

// A window that exists already: its children get theirs, and a window that
// was made hidden on demand is shown now.
bool RealizeExisting(TControl* control) {
  RealizeChildren(control);
  if (control->ShowPending) {
    SetVisible(control, true);
    control->ShowPending = false;
  }
  return true;
}

// The class the control's window is made of: a standard class lends its
// procedure, styles, cursor and brush; a form's class has its own.
WNDCLASSA ClassFor(TControl* control) {
  WNDCLASSA windowClass{};
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hInstance = ModuleInstance();
  windowClass.lpfnWndProc = control->BaseWndProc;
  windowClass.style = control->ClassStyle;
  if (control->BaseClassName != nullptr) {
    GetClassInfoA(ModuleInstance(), control->BaseClassName, &windowClass);
    windowClass.hInstance = ModuleInstance();
    windowClass.style &= kClassStyleMask;
  }
  if (control->BaseWndProc == nullptr) control->BaseWndProc = windowClass.lpfnWndProc;
  return windowClass;
}

// Registers the framework class on first use; false when that fails.
bool EnsureRegistered(WNDCLASSA windowClass, const char* className) {
  WNDCLASSA registered{};
  if (GetClassInfoA(ModuleInstance(), className, &registered)) return true;
  windowClass.lpszClassName = className;
  windowClass.lpfnWndProc = FrameworkWindowProc;
  return RegisterClassA(&windowClass) != 0;
}

// Makes the window from the record; the window's first message binds it to
// the control. A top-level window whose position was never set goes where
// the platform puts it.
HWND MakeWindow(TControl* control, const char* className, HWND parentWindow) {
  const RECT& bounds = control->Bounds;
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  const bool placed = control->IsChild || (control->PositionSet & (kLeftSet | kTopSet)) != 0;
  // Held so that a creation the window refuses (and destroys) does not
  // release the control underneath the call.
  const Held<TControl> hold(control);
  CreatingControl = control;
  const HWND window = CreateOwnWindow(
      control->ExStyle, className, control->Text.c_str(), control->Style,
      placed ? bounds.left : CW_USEDEFAULT, placed ? bounds.top : CW_USEDEFAULT,
      width != 0 ? width : CW_USEDEFAULT, height != 0 ? height : CW_USEDEFAULT, parentWindow,
      reinterpret_cast<HMENU>(static_cast<intptr_t>(control->ControlId)), ModuleInstance());
  CreatingControl = nullptr;
  return window;
}

// A new window shows focus cues from the start, leads to its control, gets
// its icon when it is top-level, and its children get theirs.
void FinishWindow(TControl* control, HWND window) {
  SendMessageA(window, WM_UPDATEUISTATE, kShowFocusCues, 0);
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
  if (!control->IsChild) {
    SendToControl(control, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(WindowIcon(control)));
  }
  RealizeChildren(control);
}

}  // namespace

bool TControl::Realize() {
  if (Parent != nullptr && GetHandle(Parent) == nullptr) return false;
  if (Handle != nullptr) return RealizeExisting(this);
  if (WindowDestroyed) return false;  // the system destroyed its window: no new one

  const WNDCLASSA windowClass = ClassFor(this);
  char className[kClassNameSize];
  FrameworkClassName(BaseClassName, className);
  const HWND parentWindow = Parent != nullptr ? GetHandle(Parent) : nullptr;
  if (parentWindow == nullptr && (Style & WS_CHILD) != 0) return false;
  if (!EnsureRegistered(windowClass, className)) return false;

  Handle = MakeWindow(this, className, parentWindow);
  // A window that could not be made is reported as a failure, so that
  // nothing goes on to work with a missing window.
  if (Handle == nullptr) {
    WindowDestroyed = false;
    return false;
  }
  FinishWindow(this, Handle);
  return true;
}

HWND GetHandle(TControl* control) {
  // A control whose window the system destroyed gets no new one.
  if (control->Handle == nullptr && !control->WindowDestroyed) {
    SetVisible(control, false);
    control->Realize();
    control->ShowPending = true;
  }
  return control->Handle;
}

LRESULT SendToControl(TControl* control, UINT msg, WPARAM wParam, LPARAM lParam) {
  return SendMessageA(GetHandle(control), msg, wParam, lParam);
}

void RealizeChildren(TControl* control) {
  // Count is read afresh: realizing a child may attach further children.
  for (int32_t i = 0; control->Children != nullptr && i < control->Children->Count; ++i) {
    static_cast<TControl*>(control->Children->Items[i])->Realize();
  }
}

void AttachToParent(TControl* control, TControl* newParent) {
  if (control->Parent == newParent) return;
  AttachRecord(control, newParent);
  if (newParent != nullptr && control->Handle != nullptr) {
    SetParent(control->Handle, GetHandle(newParent));
  }
}

void SetVisible(TControl* control, bool visible) {
  if (visible) {
    control->Style |= WS_VISIBLE;
  } else {
    control->Style &= ~static_cast<uint32_t>(WS_VISIBLE);
  }
  control->Visible = visible;
  if (control->Handle == nullptr) return;
  if (visible) {
    ShowWindow(control->Handle, SW_SHOW);
  } else {
    control->ShowPending = false;
    ShowWindow(control->Handle, SW_HIDE);
  }
}

bool IsVisible(const TControl* control) {
  // A top-level window may be shown or hidden by the system; a child's
  // record says what the program asked for.
  if (control->Handle != nullptr && !control->IsChild) return IsWindowVisible(control->Handle) != 0;
  return control->Visible;
}

HICON WindowIcon(TControl* control) {
  if (control->Icon == kNoIcon) return nullptr;
  if (control->Icon != nullptr) return control->Icon;
  HICON icon = nullptr;
  if (MainWindow != nullptr && MainWindow != control) {
    // Other top-level windows own a copy, destroyed with them.
    if (HICON mainIcon = WindowIcon(MainWindow); mainIcon != nullptr) {
      icon = static_cast<HICON>(CopyImage(mainIcon, IMAGE_ICON, 0, 0, 0));
    }
  } else {
    icon = LoadIconA(ModuleInstance(), kMainIcon);
  }
  // A missing icon is remembered as "no icon", so it is not looked up again.
  control->Icon = icon != nullptr ? icon : kNoIcon;
  return icon;
}
