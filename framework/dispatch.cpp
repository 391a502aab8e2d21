#include "dispatch.h"

#include <algorithm>
#include <cstring>

#include "application.h"
#include "focus.h"
#include "own_actions.h"
#include "refusals.h"

TControl* CreatingControl = nullptr;

namespace {

constexpr size_t kClassPrefixLength = sizeof kClassPrefix - 1;

// The procedure of the standard class a framework class named "obj_X" was
// built on, or null (forms, foreign classes).
WNDPROC StandardClassProc(HWND window) {
  char name[64];
  if (GetClassNameA(window, name, sizeof name) <= static_cast<int>(kClassPrefixLength) ||
      std::strncmp(name, kClassPrefix, kClassPrefixLength) != 0) {
    return nullptr;
  }
  WNDCLASSA standard{};
  if (!GetClassInfoA(GetModuleHandleA(nullptr), name + kClassPrefixLength, &standard)) return nullptr;
  return standard.lpfnWndProc;
}

// The control of a window of this thread, binding the first message of a
// window still inside CreateWindowExA to the control being created.
TControl* FindControl(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  TControl* control = BoundControl(hwnd);
  if (control == nullptr && CreatingControl != nullptr) {
    control = CreatingControl;
    control->Handle = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
    CreatingControl = nullptr;
  }
  return control;
}

// One message to the control of its own window. The control is held for the
// duration; once its window is gone and nobody else holds it, it is released.
LRESULT DispatchToOwner(TControl* control, MessageRecord& record) {
  const Held<TControl> hold(control);
  ++control->DispatchDepth;
  LRESULT result = 0;
  try {
    result = control->HandleMessage(record);
  } catch (...) {
    result = 0;
  }
  --control->DispatchDepth;
  // Its window gone, and held by none but its owner and this dispatch: the
  // owner's hold goes now, and the control with this dispatch's.
  if (hold != nullptr && control->HoldCount == 1 && control->DispatchDepth <= 0 &&
      control->WindowDestroyed && control != MainWindow) {
    Release(control);
  }
  return result;
}

// A message of a window whose control is gone: a standard control still gets
// its own procedure, so that it frees what it made for itself; anything else
// goes to the main window.
LRESULT DispatchWithoutControl(MessageRecord& record) {
  if (WNDPROC standard = record.Window != nullptr ? StandardClassProc(record.Window) : nullptr) {
    return CallWindowProcA(standard, record.Window, record.Msg, record.WParam, record.LParam);
  }
  if (MainWindow != nullptr) {
    const Held<TControl> hold(MainWindow);
    return MainWindow->HandleMessage(record);
  }
  return DefWindowProcA(record.Window, record.Msg, record.WParam, record.LParam);
}

// Binds the control to the window a message reaches it through, when the
// control has no window yet and the window names it.
void AdoptWindow(TControl* control, const MessageRecord& message) {
  if (message.Window != nullptr && control->Handle == nullptr &&
      reinterpret_cast<TControl*>(GetWindowLongPtrA(message.Window, GWLP_USERDATA)) == control) {
    control->Handle = message.Window;
  }
}

LRESULT MarkDestroyed(TControl* control, MessageRecord& message) {
  // Only this control's own window: the main form also sees the last
  // messages of windows whose controls are already gone.
  if (message.Window == control->Handle) {
    control->WindowDestroyed = true;
    // However the main window goes (closed, or destroyed by the system),
    // the run ends with it; the program's own release of a form is no end.
    if (IsMainWindow(control) && !control->Destroying) EndRun();
  }
  return CallDefault(control, message);
}

LRESULT ForgetDestroyedWindow(TControl* control, MessageRecord& message) {
  const LRESULT result = CallDefault(control, message);
  // The last message of a window being destroyed: a control that someone
  // still holds must not keep the handle, which the system may give to
  // another window.
  if (message.Window == control->Handle && control->WindowDestroyed) control->Handle = nullptr;
  return result;
}

LRESULT TakeFocusIfAllowed(TControl* control, MessageRecord& message) {
  if (!TakeFocus(control)) return 0;
  ++control->FocusDepth;
  const LRESULT result = CallDefault(control, message);
  --control->FocusDepth;
  return result;
}

// A form's close, which destroys the window (the rules let no other get here).
LRESULT Close(const MessageRecord& message) {
  DestroyOwnWindow(message.Window);
  return 0;
}

// A command notification goes to the child that sent it, a colour request to
// the window coloured, unless the rules keep it from them: then the class's.
LRESULT PassOn(TControl* control, MessageRecord& message, HWND named, UINT passedOn, bool allowed) {
  if (!allowed) return CallDefault(control, message);
  return SendMessageA(named, passedOn, message.WParam, message.LParam);
}

// Key messages reach the standard control only while it has the focus; a
// Tab typed without Ctrl or Alt never does.
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

// What every framework window does with a message no handler took.
LRESULT BuiltInHandling(TControl* control, MessageRecord& message, bool passOn) {
  switch (message.Msg) {
    case WM_DESTROY: return MarkDestroyed(control, message);
    case WM_NCDESTROY: return ForgetDestroyedWindow(control, message);
    case WM_SETFOCUS: return TakeFocusIfAllowed(control, message);
    case WM_CLOSE: return Close(message);
    case WM_COMMAND:
      return PassOn(control, message, AsCommand(message).Sender, ReflectedCommand, passOn);
    default: break;
  }
  if (IsRuledKeyMessage(message.Msg)) return KeyboardRule(control, message);
  if (IsColorRequest(message.Msg)) {
    return PassOn(control, message, AsColorRequest(message).Window, ReflectedColorBase + message.Msg, passOn);
  }
  return CallDefault(control, message);
}

}  // namespace

LRESULT CallDefault(TControl* control, const MessageRecord& message) {
  // The message goes to the window it was sent to: the main window also
  // handles the messages of windows whose controls are gone.
  if (control->BaseWndProc != nullptr) {
    return CallWindowProcA(control->BaseWndProc, message.Window, message.Msg, message.WParam,
                           message.LParam);
  }
  return DefWindowProcA(message.Window, message.Msg, message.WParam, message.LParam);
}

void AddMessageHandler(TControl* control, MessageHandler handler, bool keepAfterTermination) {
  if (!control->MessageHandlers->Contains(handler)) {
    control->MessageHandlers->Append(handler, keepAfterTermination);
  }
}

bool RunHandlerChain(TControl* control, MessageRecord& message, LRESULT& result) {
  if (control->HoldCount < 0 || control->MessageHandlers == nullptr ||
      control->MessageHandlers->Size() == 0) {
    return false;
  }
  const Held<TControl> hold(control);
  // Newest first. A handler may add or remove handlers: the position is
  // kept within the list as it is after each call.
  for (int32_t i = control->MessageHandlers->Size() - 1; i >= 0; --i) {
    const HandlerList* handlers = control->MessageHandlers;
    if (handlers == nullptr) break;
    i = std::min(i, handlers->Size() - 1);
    if (i < 0) break;
    const HandlerList::Entry entry = handlers->At(i);
    if (!entry.KeepAfterTermination && Terminated) continue;
    if (entry.Handler(control, message, result)) return true;
  }
  return false;
}

LRESULT TControl::HandleMessage(MessageRecord& message) {
  AdoptWindow(this, message);
  LRESULT result = 0;
  const Ruling ruling = Judge(Arrival{Where::kFrameworkWindow, this, message}, result);
  if (ruling == Ruling::kRefused) return result;
  if (RunHandlerChain(this, message, result)) return result;
  return BuiltInHandling(this, message, ruling != Ruling::kNotPassedOn);
}

LRESULT CALLBACK FrameworkWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  try {
    MessageRecord record{hwnd, msg, wParam, lParam};
    if (TControl* control = FindControl(hwnd); control != nullptr) return DispatchToOwner(control, record);
    return DispatchWithoutControl(record);
  } catch (...) {
    return 0;
  }
}

void SetOnCloseQuery(TControl* control, CloseQueryEvent handler) {
  control->OnCloseQuery = handler;
  AddMessageHandler(control, CloseQueryHandler);
}

bool CloseQueryHandler(TControl* control, MessageRecord& message, LRESULT& result) {
  if (message.Msg != WM_CLOSE) return false;
  bool canClose = true;
  control->OnCloseQuery(control, canClose);
  if (!canClose && Running) {
    result = 0;
    return true;
  }
  control->OnCloseQuery = {};
  return false;
}
