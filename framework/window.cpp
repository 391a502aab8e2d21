#include "window.h"

#include <cstring>

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

// A framework class is named "obj_" and the name of the class it is built
// on, cut to what fits the buffer.
constexpr size_t kClassNameSize = 64;
void FrameworkClassName(const char* base, char (&name)[kClassNameSize]) {
  size_t length = 0;
  for (const char* part : {"obj_", base != nullptr ? base : ""}) {
    while (*part != '\0' && length + 1 < kClassNameSize) name[length++] = *part++;
  }
  name[length] = '\0';
}

bool IsOwnThreadWindow(HWND window) {
  return window != nullptr && IsWindow(window) &&
         GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

// The control behind a window named in a message, or null for anything else
// (no window, a destroyed or foreign window, a window being torn down).
TControl* ControlOfWindow(HWND window) {
  return IsOwnThreadWindow(window) ? BoundControl(window) : nullptr;
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

// The system hides a window before it destroys it (or the window's parent,
// before it destroys that): WM_DESTROY and WM_NCDESTROY reaching a window
// still on screen came from another program, and would have a living
// control freed under the program.
bool IsForgedDestruction(UINT msg, HWND window) {
  return (msg == WM_DESTROY || msg == WM_NCDESTROY) && IsWindowVisible(window);
}

// A press of the left button that the mouse did not make: the thread sees
// the button up, so another program posted or sent it.
bool IsForgedLeftPress(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      return GetKeyState(VK_LBUTTON) >= 0;
    default:
      return false;
  }
}

// Requests that the framework takes only from its own code. Two hand a
// standard control an address to write to (CB_GETCOMBOBOXINFO) or a routine
// to call later (EM_SETWORDBREAKPROC), and the system passes both on from
// other programs unchecked; WM_SETREDRAW would freeze a window's picture
// while the port goes on changing. From anyone else they go nowhere.
constexpr UINT kOwnRequests[] = {WM_SETREDRAW, CB_GETCOMBOBOXINFO, EM_SETWORDBREAKPROC};
int ownRequestDepth = 0;

bool IsForeignRequest(UINT msg) {
  if (ownRequestDepth != 0) return false;
  for (UINT request : kOwnRequests) {
    if (msg == request) return true;
  }
  return false;
}

// Marks the framework's own sending of one of those requests.
class OwnRequest {
 public:
  OwnRequest() { ++ownRequestDepth; }
  ~OwnRequest() { --ownRequestDepth; }
  OwnRequest(const OwnRequest&) = delete;
  OwnRequest& operator=(const OwnRequest&) = delete;
};

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
  if (WindowDestroyed) return false;  // the system destroyed its window: no new one

  const HINSTANCE instance = ModuleInstance();
  WNDCLASSA windowClass{};
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hInstance = instance;
  windowClass.lpfnWndProc = BaseWndProc;
  windowClass.style = ClassStyle;
  char className[kClassNameSize];
  FrameworkClassName(BaseClassName, className);

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
  if (!GetClassInfoA(instance, className, &registered)) {
    windowClass.lpszClassName = className;
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
    window = CreateWindowExA(ExStyle, className, Text.c_str(), Style, x, y,
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

LRESULT CallDefault(TControl* control, const MessageRecord& message) {
  // The message goes to the window it was sent to: the main window also
  // handles the messages of windows whose controls are gone.
  if (control->BaseWndProc != nullptr) {
    return CallWindowProcA(control->BaseWndProc, message.Window, message.Msg, message.WParam,
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

void AddMessageHandler(TControl* control, MessageHandler handler, bool keepAfterTermination) {
  void* entry = reinterpret_cast<void*>(handler);
  PointerList* handlers = control->MessageHandlers;
  for (int32_t i = 0; i + 1 < handlers->Count; i += 2) {
    if (handlers->Items[i] == entry) return;
  }
  handlers->Add(entry);
  handlers->Add(keepAfterTermination ? control : nullptr);  // any non-null value keeps it
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
  // A forged press must not click a cell, drop a list down or start
  // dragging a window: nothing sees it, nor a request that only this
  // program may make, nor the end of a window that is still there.
  if (IsForgedLeftPress(message.Msg) || IsForeignRequest(message.Msg) ||
      IsForgedDestruction(message.Msg, message.Window)) {
    return 0;
  }
  LRESULT result = 0;
  if (RunHandlerChain(this, message, result)) return result;

  switch (message.Msg) {
    case WM_DESTROY:
      // Only this control's own window: the main form also sees the last
      // messages of windows whose controls are already gone.
      if (message.Window == Handle) WindowDestroyed = true;
      return CallDefault(this, message);
    case WM_NCDESTROY:
      result = CallDefault(this, message);
      // The last message of a window being destroyed: a control that someone
      // still holds must not keep the handle, which the system may give to
      // another window.
      if (message.Window == Handle && WindowDestroyed) Handle = nullptr;
      return result;
    case WM_SETFOCUS:
      if (!TakeFocus(this)) return 0;
      ++FocusDepth;
      result = CallDefault(this, message);
      --FocusDepth;
      return result;
    case WM_CLOSE:
      // Only a top-level form has a close box. Child controls and the timer
      // window are parts of the program that the program keeps pointers to:
      // a close request sent to them by another program changes nothing.
      if (IsChild) return 0;
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
      control = BoundControl(hwnd);
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

namespace {

// The procedures that subclassing replaced, as pairs (inner window,
// procedure). The window's "PREV_PROC" property names the same procedure,
// but any program can write a window property, and this procedure gets
// called: it is taken from here.
PointerList* replacedProcs = nullptr;

int32_t ReplacedProcIndex(HWND window) {
  for (int32_t i = 0; replacedProcs != nullptr && i + 1 < replacedProcs->Count; i += 2) {
    if (replacedProcs->Items[i] == window) return i;
  }
  return -1;
}

WNDPROC ReplacedProcOf(HWND window) {
  const int32_t index = ReplacedProcIndex(window);
  return index >= 0 ? reinterpret_cast<WNDPROC>(replacedProcs->Items[index + 1]) : nullptr;
}

// Gives the inner window its own procedure back.
void RestoreProc(HWND window, WNDPROC previous) {
  SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG>(previous));
  RemovePropA(window, kPrevProcProperty);
  DeleteFromList(replacedProcs, ReplacedProcIndex(window), 2);
}

void Subclass(HWND inner) {
  if (ReplacedProcOf(inner) != nullptr) return;  // already subclassed
  const auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongA(inner, GWL_WNDPROC, reinterpret_cast<LONG>(&ChildSubclassProc)));
  AddToList(replacedProcs, inner);
  AddToList(replacedProcs, reinterpret_cast<void*>(previous));
  SetPropA(inner, kPrevProcProperty, reinterpret_cast<HANDLE>(previous));
}

}  // namespace

void SubclassChildren(TControl* control) {
  for (HWND child = GetWindow(control->Handle, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    Subclass(child);
  }
  // A combo box's dropped list is a top-level window of its own, not a
  // child: it is subclassed too, so that no close request destroys it.
  COMBOBOXINFO combo{};
  combo.cbSize = sizeof combo;
  OwnRequest own;
  if (GetComboBoxInfo(control->Handle, &combo) && combo.hwndList != nullptr &&
      GetParent(combo.hwndList) != control->Handle) {
    Subclass(combo.hwndList);
  }
}

void UnsubclassChildren(HWND window) {
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    // The inner window's own procedure is put back so that it still sees
    // its destruction and frees its state.
    if (WNDPROC previous = ReplacedProcOf(child); previous != nullptr) RestoreProc(child, previous);
  }
}

LRESULT CALLBACK ChildSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  try {
    // An inner window is part of its control, which no request closes; it
    // takes the guards of the control's own window too.
    if (msg == WM_CLOSE || IsForeignRequest(msg) || IsForgedLeftPress(msg) ||
        IsForgedDestruction(msg, hwnd)) {
      return 0;
    }
    const WNDPROC previous = ReplacedProcOf(hwnd);
    TControl* owner = ControlOfWindow(GetParent(hwnd));
    if (msg == WM_NCDESTROY && previous != nullptr) RestoreProc(hwnd, previous);
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
