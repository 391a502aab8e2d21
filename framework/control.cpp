#include "control.h"

#include "own_actions.h"

TControl* MainWindow = nullptr;

namespace {

// Every control from its Init to the end of its Done: the controls whose
// memory a window may lead to.
PointerList* liveControls = nullptr;

// Whether `control` is `ancestor` or lies somewhere inside it.
bool IsWithin(const TControl* control, const TControl* ancestor) {
  for (; control != nullptr; control = control->Parent) {
    if (control == ancestor) return true;
  }
  return false;
}

// Whoever remembers the control forgets it: the application as its main
// window, the main window as its active form, its form as the control with
// the focus.
void ForgetControl(TControl* control) {
  if (MainWindow == control) MainWindow = nullptr;
  if (MainWindow != nullptr && MainWindow->FocusedControl == control) MainWindow->FocusedControl = nullptr;
  if (TControl* form = ParentForm(control); form != nullptr && form->FocusedControl == control) {
    form->FocusedControl = nullptr;
  }
}

// The window goes while the control is still its control; from then on the
// window no longer leads to this record. A window the system destroyed is
// gone already.
void LetWindowGo(TControl* control, bool ownWindow) {
  if (ownWindow && IsWindow(control->Handle)) {
    SetWindowLongPtrA(control->Handle, GWLP_USERDATA, 0);
    if (!control->WindowDestroyed) DestroyOwnWindow(control->Handle);
  }
  control->Handle = nullptr;
}

// Children still held elsewhere outlive their parent's record: they must
// not keep pointing at it.
void OrphanChildren(TControl* control) {
  for (int32_t i = 0; i < control->Children->Count; ++i) {
    static_cast<TControl*>(control->Children->Items[i])->Parent = nullptr;
  }
}

}  // namespace

HandlerList::Entry HandlerList::At(int32_t index) const {
  return {reinterpret_cast<MessageHandler>(Items[2 * index]), Items[2 * index + 1] != nullptr};
}

bool HandlerList::Contains(MessageHandler handler) const {
  // A handler is never equal to a flag (null, or this list).
  return IndexOf(reinterpret_cast<void*>(handler)) >= 0;
}

void HandlerList::Append(MessageHandler handler, bool keepAfterTermination) {
  Add(reinterpret_cast<void*>(handler));
  Add(keepAfterTermination ? this : nullptr);  // any non-null value keeps it
}

TControl* BoundControl(HWND window) {
  // The window's GWLP_USERDATA names its control. Any program can write that
  // slot, so it is believed only when it names a live control that has this
  // window; otherwise the control is looked for among the live ones.
  auto* named = reinterpret_cast<TControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (named != nullptr && IndexInList(liveControls, named) >= 0 && named->Handle == window) return named;
  for (int32_t i = 0; liveControls != nullptr && i < liveControls->Count; ++i) {
    auto* control = static_cast<TControl*>(liveControls->Items[i]);
    if (control->Handle == window && !control->Destroying) return control;
  }
  return nullptr;
}

bool IsOwnThreadWindow(HWND window) {
  return window != nullptr && IsWindow(window) &&
         GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

TControl* ControlOfWindow(HWND window) {
  return IsOwnThreadWindow(window) ? BoundControl(window) : nullptr;
}

void TControl::Init() {
  AddToList(liveControls, this);
  Ctl3D = true;
  ClientEdge = true;
  Color = kColorBtnFace;
  TextColor = kColorWindowText;
  Margin = 2;
  ClassStyle = kDefaultClassStyle;
  ExStyle = kDefaultExStyle;
  Style = kDefaultStyle;
  Visible = true;
  MessageHandlers = NewObject<HandlerList>();
  MessageHandlers->Delta = 4;
  Children = NewList();
}

void TControl::InitControl(TControl* parent) {
  Init();
  if (parent != nullptr) Color = parent->Color;
  AttachRecord(this, parent);
}

void TControl::Done() {
  // A Done reached again while this one runs (a release from inside the
  // teardown) leaves the teardown and the freeing to the outer call.
  if (Destroying) return;
  Destroying = true;

  ForgetControl(this);
  // Handle is cleared when the system destroys the window, so a handle
  // still set is this control's own window.
  const bool ownWindow = Handle != nullptr && IsWindow(Handle);
  if (ownWindow && !WindowDestroyed) ShowWindow(Handle, SW_HIDE);
  // Child controls go first, oldest first, while this window still exists.
  FreeOwned(this);

  Icon.Reset();
  LetWindowGo(this, ownWindow);
  Brush.Reset();
  std::string().swap(Text);
  AttachRecord(this, nullptr);
  OrphanChildren(this);
  ReleaseAndClear(Children);
  ReleaseAndClear(MessageHandlers);
  DeleteFromList(liveControls, IndexInList(liveControls, this));
  ObjectBase::Done();
}

TControl* NewControl(TControl* parent) {
  auto* control = new TControl();
  control->InitControl(parent);
  return control;
}

void AttachRecord(TControl* control, TControl* newParent) {
  if (control->Parent == newParent) return;
  if (TControl* oldParent = control->Parent; oldParent != nullptr) {
    // The old form must not go on handing the focus to a control that now
    // belongs elsewhere, and may be freed with its new owner.
    if (TControl* form = ParentForm(oldParent); form != nullptr && IsWithin(form->FocusedControl, control)) {
      form->FocusedControl = nullptr;
    }
    oldParent->Children->Remove(control);
    RemoveOwned(oldParent, control);
  }
  control->Parent = newParent;
  if (newParent == nullptr) return;
  newParent->Children->Add(control);
  AddOwned(newParent, control);
}

TControl* ParentForm(TControl* control) {
  while (control != nullptr && control->IsChild) control = control->Parent;
  return control;
}
