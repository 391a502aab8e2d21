#include "window.h"

#include <cstring>
#include <string>

#include "application.h"
#include "messages.h"
#include "properties.h"
#include "state.h"

namespace {

constexpr char kPrevProcProperty[] = "PREV_PROC";
// Class styles a framework class never inherits from the class it copies:
// CS_GLOBALCLASS, CS_PARENTDC, CS_CLASSDC and CS_OWNDC.
constexpr UINT kClassStyleMask = 0xFFFFBF1F;
constexpr WPARAM kShowFocusCues = 0x00010002;  // UIS_CLEAR, UISF_HIDEFOCUS

HINSTANCE ModuleInstance() { return GetModuleHandleA(nullptr); }

bool IsOwnThreadWindow(HWND window) {
  return window != nullptr && IsWindow(window) &&
         GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

// The control behind a window of this thread, or null for anything else (no
// window, a destroyed or foreign window, a window being torn down).
TControl* ControlOfWindow(HWND window) {
  if (!IsOwnThreadWindow(window)) return nullptr;
  return reinterpret_cast<TControl*>(GetWindowLongA(window, GWL_USERDATA));
}

// Keeps a control alive across a call that may release it. A control whose
// teardown has begun is not held again.
class ControlHold {
 public:
  explicit ControlHold(TControl* control)
      : control_(control != nullptr && control->HoldCount >= 0 ? control : nullptr) {
    AddRef(control_);
  }
  ~ControlHold() { Release(control_); }
  ControlHold(const ControlHold&) = delete;
  ControlHold& operator=(const ControlHold&) = delete;

 private:
  TControl* control_;
};

// The procedure of the standard class a framework class named "obj_X" was
// built on, or null (forms, foreign classes).
WNDPROC StandardClassProc(HWND window) {
  char name[64];
  if (GetClassNameA(window, name, sizeof name) <= 4 || std::strncmp(name, "obj_", 4) != 0) {
    return nullptr;
  }
  WNDCLASSA standard{};
  if (!GetClassInfoA(ModuleInstance(), name + 4, &standard)) return nullptr;
  return standard.lpfnWndProc;
}

// One message to the control of its own window. The control is held for the
// duration; once its window is gone and nobody else holds it, it is released.
LRESULT DispatchToOwner(TControl* control, MessageRecord& record) {
  const bool held = control->HoldCount >= 0;
  if (held) AddRef(control);
  ++control->DispatchDepth;
  LRESULT result = 0;
  try {
    result = control->HandleMessage(record);
  } catch (...) {
    result = 0;
  }
  --control->DispatchDepth;
  if (held) {
    const bool windowGone = control->HoldCount == 1 && control->DispatchDepth <= 0 &&
                            control->WindowDestroyed && control != MainWindow;
    Release(control);
    if (windowGone) Release(control);
  }
  return result;
}

LRESULT KeyboardRule(TControl* control, MessageRecord& message) {
  const HWND focus = GetFocus();
  if (focus != nullptr && focus != control->Handle) return 0;
  if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return CallDefault(control, message);
  if (message.Msg == WM_CHAR && message.WParam == VK_TAB) {
    message.WParam = 0;
    return 0;
  }
  return CallDefault(control, message);
}

}  // namespace

bool TControl::Realize() {
  if (Parent != nullptr && GetHandle(Parent) == nullptr) return false;
  if (Handle != nullptr) {
    RealizeChildren(this);
    if (ShowPending) {
      SetVisible(this, true);
      ShowPending = false;
    }
    return true;
  }

  const HINSTANCE instance = ModuleInstance();
  WNDCLASSA windowClass{};
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hInstance = instance;
  windowClass.lpfnWndProc = BaseWndProc;
  windowClass.style = ClassStyle;
  const std::string className = std::string("obj_") + (BaseClassName != nullptr ? BaseClassName : "");

  if (BaseClassName != nullptr) {
    // A standard class lends its procedure, styles, cursor and brush.
    GetClassInfoA(instance, BaseClassName, &windowClass);
    windowClass.hInstance = instance;
    windowClass.style &= kClassStyleMask;
  }
  if (BaseWndProc == nullptr) BaseWndProc = windowClass.lpfnWndProc;

  const HWND parentWindow = Parent != nullptr ? GetHandle(Parent) : nullptr;
  if (parentWindow == nullptr && (Style & WS_CHILD) != 0) return false;

  WNDCLASSA registered{};
  if (!GetClassInfoA(instance, className.c_str(), &registered)) {
    windowClass.lpszClassName = className.c_str();
    windowClass.lpfnWndProc = FrameworkWindowProc;
    if (RegisterClassA(&windowClass) == 0) return false;
  }

  const int width = Bounds.right - Bounds.left;
  const int height = Bounds.bottom - Bounds.top;
  int x = Bounds.left;
  int y = Bounds.top;
  if (!IsChild && (PositionSet & 3) == 0) x = y = CW_USEDEFAULT;
  HWND window = nullptr;
  {
    // Held so that a creation the window refuses (and destroys) does not
    // release this control underneath the call.
    ControlHold hold(this);
    CreatingControl = this;
    window = CreateWindowExA(ExStyle, className.c_str(), Text.c_str(), Style, x, y,
                             width != 0 ? width : CW_USEDEFAULT, height != 0 ? height : CW_USEDEFAULT,
                             parentWindow, reinterpret_cast<HMENU>(static_cast<intptr_t>(ControlId)),
                             instance, nullptr);
    CreatingControl = nullptr;
  }
  Handle = window;
  // A window that could not be made is reported as a failure, so that
  // nothing goes on to work with a missing window.
  if (window == nullptr) {
    WindowDestroyed = false;
    return false;
  }
  SendMessageA(window, WM_UPDATEUISTATE, kShowFocusCues, 0);
  SetWindowLongA(window, GWL_USERDATA, reinterpret_cast<LONG>(this));

  if (!IsChild) SendToControl(this, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(WindowIcon(this)));
  if (AfterCreateHook != nullptr) AfterCreateHook(this);
  RealizeChildren(this);
  return true;
}

HWND GetHandle(TControl* control) {
  if (control->Handle == nullptr) {
    SetVisible(control, false);
    control->Realize();
    control->ShowPending = true;
  }
  return control->Handle;
}

LRESULT SendToControl(TControl* control, UINT msg, WPARAM wParam, LPARAM lParam) {
  return SendMessageA(GetHandle(control), msg, wParam, lParam);
}

LRESULT CallDefault(TControl* control, const MessageRecord& message) {
  if (control->BaseWndProc != nullptr) {
    return CallWindowProcA(control->BaseWndProc, control->Handle, message.Msg, message.WParam,
                           message.LParam);
  }
  return DefWindowProcA(message.Window, message.Msg, message.WParam, message.LParam);
}

void RealizeChildren(TControl* control) {
  // Count is read afresh: realizing a child may attach further children.
  for (int32_t i = 0; control->Children != nullptr && i < control->Children->Count; ++i) {
    static_cast<TControl*>(control->Children->Items[i])->Realize();
  }
}

void AddMessageHandler(TControl* control, MessageHandler handler) {
  void* entry = reinterpret_cast<void*>(handler);
  PointerList* handlers = control->MessageHandlers;
  for (int32_t i = 0; i + 1 < handlers->Count; i += 2) {
    if (handlers->Items[i] == entry) return;
  }
  handlers->Add(entry);
  handlers->Add(nullptr);  // not kept once the quit message has been taken
}

bool RunHandlerChain(TControl* control, MessageRecord& message, LRESULT& result) {
  if (control->HoldCount < 0 || control->MessageHandlers == nullptr ||
      control->MessageHandlers->Count == 0) {
    return false;
  }
  ControlHold hold(control);
  // Newest first. A handler may add or remove handlers: the position is
  // kept within the list as it is after each call.
  for (int32_t i = control->MessageHandlers->Count - 2; i >= 0; i -= 2) {
    PointerList* handlers = control->MessageHandlers;
    if (handlers == nullptr) break;
    if (i > handlers->Count - 2) i = handlers->Count - 2;
    if (i < 0) break;
    const bool keep = handlers->Items[i + 1] != nullptr;
    if (!keep && Terminated) continue;
    auto handler = reinterpret_cast<MessageHandler>(handlers->Items[i]);
    if (handler(control, message, result)) return true;
  }
  return false;
}

LRESULT TControl::HandleMessage(MessageRecord& message) {
  if (message.Window != nullptr && Handle == nullptr &&
      reinterpret_cast<TControl*>(GetWindowLongA(message.Window, GWL_USERDATA)) == this) {
    Handle = message.Window;
  }
  LRESULT result = 0;
  if (RunHandlerChain(this, message, result)) return result;

  switch (message.Msg) {
    case WM_DESTROY:
      // Only this control's own window: the main form also sees the last
      // messages of windows whose controls are already gone.
      if (message.Window == Handle) WindowDestroyed = true;
      return CallDefault(this, message);
    case WM_SETFOCUS:
      if (!TakeFocus(this)) return 0;
      ++FocusDepth;
      result = CallDefault(this, message);
      --FocusDepth;
      return result;
    case WM_CLOSE:
      if (MainWindow == this || IsMainWindow(this)) PostQuitMessage(0);
      return CallDefault(this, message);
    case WM_COMMAND: {
      const HWND sender = reinterpret_cast<HWND>(message.LParam);
      if (ControlOfWindow(sender) != nullptr) {
        return SendMessageA(sender, ReflectedCommand, message.WParam, message.LParam);
      }
      return CallDefault(this, message);
    }
    default:
      break;
  }
  if (message.Msg >= WM_KEYFIRST && message.Msg <= 0x108) return KeyboardRule(this, message);
  if (message.Msg >= WM_CTLCOLORMSGBOX && message.Msg <= WM_CTLCOLORSTATIC) {
    // The window being coloured answers for itself; a request naming no
    // window of this thread gets the standard answer.
    const HWND colored = reinterpret_cast<HWND>(message.LParam);
    if (IsOwnThreadWindow(colored)) {
      return SendMessageA(colored, ReflectedColorBase + message.Msg, message.WParam, message.LParam);
    }
  }
  return CallDefault(this, message);
}

LRESULT CALLBACK FrameworkWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  try {
    TControl* control = nullptr;
    if (hwnd != nullptr) {
      control = reinterpret_cast<TControl*>(GetWindowLongA(hwnd, GWL_USERDATA));
      if (control == nullptr && CreatingControl != nullptr) {
        // First message of a window still inside CreateWindowExA.
        control = CreatingControl;
        control->Handle = hwnd;
        SetWindowLongA(hwnd, GWL_USERDATA, reinterpret_cast<LONG>(control));
        CreatingControl = nullptr;
      }
    }
    MessageRecord record{hwnd, msg, wParam, lParam};
    if (control != nullptr) return DispatchToOwner(control, record);

    // A window whose control is gone: a standard control still gets its own
    // procedure, so that it frees what it made for itself.
    if (WNDPROC standard = hwnd != nullptr ? StandardClassProc(hwnd) : nullptr) {
      return CallWindowProcA(standard, hwnd, msg, wParam, lParam);
    }
    if (MainWindow != nullptr) {
      ControlHold hold(MainWindow);
      return MainWindow->HandleMessage(record);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

void SubclassChildren(TControl* control) {
  for (HWND child = GetWindow(control->Handle, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (GetPropA(child, kPrevProcProperty) != nullptr) continue;  // already subclassed
    const LONG previous =
        SetWindowLongA(child, GWL_WNDPROC, reinterpret_cast<LONG>(&ChildSubclassProc));
    SetPropA(child, kPrevProcProperty, reinterpret_cast<HANDLE>(previous));
  }
}

void UnsubclassChildren(HWND window) {
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (HANDLE previous = GetPropA(child, kPrevProcProperty); previous != nullptr) {
      // The inner window's own procedure is put back so that it still sees
      // its destruction and frees its state.
      SetWindowLongA(child, GWL_WNDPROC, reinterpret_cast<LONG>(previous));
      RemovePropA(child, kPrevProcProperty);
    }
  }
}

LRESULT CALLBACK ChildSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  try {
    const auto previous = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kPrevProcProperty));
    TControl* owner = ControlOfWindow(GetParent(hwnd));
    if (msg == WM_NCDESTROY && previous != nullptr) {
      SetWindowLongA(hwnd, GWL_WNDPROC, reinterpret_cast<LONG>(previous));
      RemovePropA(hwnd, kPrevProcProperty);
    }
    if (owner == nullptr) {
      if (previous != nullptr) return CallWindowProcA(previous, hwnd, msg, wParam, lParam);
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    auto passOn = [&]() -> LRESULT {
      return previous != nullptr ? CallWindowProcA(previous, hwnd, msg, wParam, lParam) : 0;
    };
    ControlHold hold(owner);
    if (IsShowing(owner) && (msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR)) {
      if (wParam == VK_TAB) return msg == WM_KEYDOWN ? passOn() : 0;
      if (msg == WM_CHAR && (wParam == VK_ESCAPE || wParam == VK_RETURN) &&
          SendToControl(owner, CB_GETDROPPEDSTATE, 0, 0) != 0) {
        SendToControl(owner, CB_SHOWDROPDOWN, 0, 0);
        if (wParam == VK_ESCAPE) SendToControl(owner, CB_SETCURSEL, owner->SelectionAtDropDown, 0);
        return 0;
      }
      return passOn();
    }
    if (msg == WM_SETFOCUS) {
      if (TControl* form = ParentForm(owner); form != nullptr) form->FocusedControl = owner;
    }
    return passOn();
  } catch (...) {
    return 0;
  }
}

bool IsShowing(TControl* control) {
  const bool showing = control->Visible || control->ShowPending;
  if (control->IsChild && control->Parent != nullptr) {
    IsVisible(control->Parent);
    return showing && IsShowing(control->Parent);
  }
  return showing;
}

void SetOnCloseQuery(TControl* control, CloseQueryEvent handler) {
  control->OnCloseQuery = handler;
  AddMessageHandler(control, CloseQueryHandler);
}

// WM_CLOSE: asks OnCloseQuery; handled (window stays) only when the answer
// is no while the run loop is active.
bool CloseQueryHandler(TControl* control, MessageRecord& message, LRESULT& result) {
  if (message.Msg != WM_CLOSE) return false;
  bool canClose = true;
  control->OnCloseQuery(control, canClose);
  if (!canClose && Running) {
    result = 0;
    return true;
  }
  control->OnCloseQuery = {};
  if (canClose && (MainWindow == control || IsMainWindow(control))) {
    PostQuitMessage(0);
    result = 0;
  }
  return false;
}
