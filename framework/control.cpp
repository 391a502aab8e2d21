#include "control.h"

#include "colors.h"
#include "state.h"
#include "window.h"

namespace {

// Every control from its Init to the end of its Done: the controls whose
// memory a window may lead to.
PointerList* liveControls = nullptr;

}  // namespace

TControl* BoundControl(HWND window) {
  // The window's GWL_USERDATA names its control. Any program can write that
  // slot, so it is believed only when it names a live control that has this
  // window; otherwise the control is looked for among the live ones.
  auto* named = reinterpret_cast<TControl*>(GetWindowLongA(window, GWL_USERDATA));
  if (named != nullptr && IndexInList(liveControls, named) >= 0 && named->Handle == window) return named;
  for (int32_t i = 0; liveControls != nullptr && i < liveControls->Count; ++i) {
    auto* control = static_cast<TControl*>(liveControls->Items[i]);
    if (control->Handle == window && !control->Destroying) return control;
  }
  return nullptr;
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
  MessageHandlers = NewList();
  Children = NewList();
}

void TControl::InitControl(TControl* parent) {
  Init();
  if (parent != nullptr) Color = parent->Color;
  AttachToParent(this, parent);
}

void TControl::Done() {
  // A Done reached again while this one runs (a release from inside the
  // teardown) leaves the teardown and the freeing to the outer call.
  if (Destroying) return;
  Destroying = true;

  if (MainWindow == this) MainWindow = nullptr;
  if (TControl* form = ParentForm(this); form != nullptr && form->FocusedControl == this) {
    form->FocusedControl = nullptr;
  }
  // A form the main window remembers as its active one must not be
  // handed the focus after it is gone.
  if (MainWindow != nullptr && MainWindow->FocusedControl == this) MainWindow->FocusedControl = nullptr;
  // Handle is cleared when the system destroys the window, so a handle
  // still set is this control's own window.
  const bool ownWindow = Handle != nullptr && IsWindow(Handle);
  if (ownWindow && !WindowDestroyed) ShowWindow(Handle, SW_HIDE);

  // Child controls go first, oldest first, while this window still exists.
  FreeOwned(this);

  if (Icon != nullptr && Icon != kNoIcon) DestroyIcon(Icon);
  Icon = nullptr;
  if (ownWindow && IsWindow(Handle)) {
    // From here on the window no longer leads to this object.
    SetWindowLongA(Handle, GWL_USERDATA, 0);
    if (!WindowDestroyed) DestroyWindow(Handle);
  }
  Handle = nullptr;

  if (Brush != nullptr) DeleteControlBrush(this);
  std::string().swap(Text);
  if (Parent != nullptr) {
    Parent->Children->Remove(this);
    RemoveOwned(Parent, this);
    if (Parent->FocusedControl == this) Parent->FocusedControl = nullptr;
    Parent = nullptr;
  }
  // Children still held elsewhere outlive this record: they must not keep
  // pointing at it.
  for (int32_t i = 0; i < Children->Count; ++i) {
    static_cast<TControl*>(Children->Items[i])->Parent = nullptr;
  }
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

namespace {

// Whether `control` is `ancestor` or lies somewhere inside it.
bool IsWithin(const TControl* control, const TControl* ancestor) {
  for (; control != nullptr; control = control->Parent) {
    if (control == ancestor) return true;
  }
  return false;
}

}  // namespace

void AttachToParent(TControl* control, TControl* newParent) {
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
  if (control->Handle != nullptr) SetParent(control->Handle, GetHandle(newParent));
}

TControl* ParentForm(TControl* control) {
  while (control != nullptr && control->IsChild) control = control->Parent;
  return control;
}
