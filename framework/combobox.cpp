#include "combobox.h"

#include <algorithm>
#include <iterator>

#include "dispatch.h"
#include "items.h"
#include "kinds.h"
#include "own_actions.h"
#include "properties.h"
#include "refusals.h"

namespace {

constexpr char kPrevProcProperty[] = "PREV_PROC";
constexpr uint32_t kComboBaseStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_HASSTRINGS;
constexpr SIZE kComboSize{100, 22};

// Styles added by ComboOptions bits 0 to 10; bit 1 adds its style when clear.
constexpr uint32_t kComboOptionStyles[] = {
    CBS_DROPDOWNLIST,     CBS_AUTOHSCROLL, CBS_DISABLENOSCROLL,   CBS_LOWERCASE,
    CBS_NOINTEGRALHEIGHT, CBS_OEMCONVERT,  CBS_SORT,              CBS_UPPERCASE,
    CBS_OWNERDRAWFIXED,   CBS_OWNERDRAWVARIABLE, CBS_SIMPLE};
// Set by CBS_SIMPLE (1) and CBS_DROPDOWNLIST (3) alike: without it the combo
// box is the drop-down kind with an edit field.
constexpr uint32_t kNotDropDownBit = 0x1;

// The dropped list has room for this many items, and its frame takes this
// many pixels.
constexpr int32_t kFewestListItems = 1;
constexpr int32_t kMostListItems = 8;
constexpr int32_t kListFrame = 2;

// ClearProc of combo boxes.
void ResetComboContent(TControl* control) { SendOwnRequest(GetHandle(control), CB_RESETCONTENT, 0, 0); }

// The inner windows subclassed, each with the procedure that subclassing
// replaced and the combo box it belongs to, as triples in a pointer list: the
// procedures trusted, rather than "PREV_PROC" (see kRules, refusals.cpp).
PointerList* innerWindows = nullptr;
constexpr int32_t kInnerEntry = 3;  // inner window, replaced procedure, combo box

int32_t InnerIndex(HWND window) {
  for (int32_t i = 0; innerWindows != nullptr && i + kInnerEntry <= innerWindows->Count; i += kInnerEntry) {
    if (innerWindows->Items[i] == window) return i;
  }
  return -1;
}

WNDPROC ReplacedProcOf(HWND window) {
  const int32_t index = InnerIndex(window);
  return index >= 0 ? reinterpret_cast<WNDPROC>(innerWindows->Items[index + 1]) : nullptr;
}

// The combo box an inner window belongs to; null once its control is gone.
const TControl* ComboOfInner(HWND window) {
  const int32_t index = InnerIndex(window);
  return index >= 0 ? BoundControl(static_cast<HWND>(innerWindows->Items[index + 2])) : nullptr;
}

// Gives the inner window its own procedure back.
void RestoreProc(HWND window, WNDPROC previous) {
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  RemovePropA(window, kPrevProcProperty);
  DeleteFromList(innerWindows, InnerIndex(window), kInnerEntry);
}

void Subclass(HWND inner, HWND combo) {
  if (ReplacedProcOf(inner) != nullptr) return;  // already subclassed
  const auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(inner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ChildSubclassProc)));
  AddToList(innerWindows, inner);
  AddToList(innerWindows, reinterpret_cast<void*>(previous));
  AddToList(innerWindows, combo);
  SetPropA(inner, kPrevProcProperty, reinterpret_cast<HANDLE>(previous));
}

// A combo box's dropped list is a top-level window of its own, not a child
// of the combo box; null when it has none apart from its children.
HWND DroppedListOf(HWND combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  const LRESULT found = SendOwnRequest(combo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info));
  if (!found || info.hwndList == nullptr) return nullptr;
  return GetParent(info.hwndList) != combo ? info.hwndList : nullptr;
}

// Keys typed into an inner window of a shown combo box: a Tab goes no
// further than its key-down; Esc or Enter closes an open list (Esc also
// puts back the selection it opened with) and goes no further. Returns
// whether the key was taken here.
bool TakeInnerKey(TControl* owner, UINT msg, WPARAM key, LRESULT& result) {
  result = 0;
  if (key == VK_TAB) return msg != WM_KEYDOWN;
  if (msg != WM_CHAR || (key != VK_ESCAPE && key != VK_RETURN)) return false;
  if (SendToControl(owner, CB_GETDROPPEDSTATE, 0, 0) == 0) return false;
  SendToControl(owner, CB_SHOWDROPDOWN, FALSE, 0);
  if (key == VK_ESCAPE) SendToControl(owner, CB_SETCURSEL, owner->SelectionAtDropDown, 0);
  return true;
}

bool IsKey(UINT msg) { return msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR; }

// The combo box's own handling of the notifications it passes on to itself.
void TrackList(TControl* control, const MessageRecord& message) {
  switch (AsCommand(message).Code) {
    case CBN_SELCHANGE:
      // Announced again once the combo has finished its own processing.
      PostMessageA(control->Handle, ReflectedCommand, CommandWParam(DeferredSelectCode), 0);
      break;
    case CBN_DROPDOWN:
      control->DroppedDown = true;
      control->SelectionAtDropDown = GetItemIndex(control);
      SizeComboList(control);
      break;
    case CBN_CLOSEUP:
      control->DroppedDown = false;
      control->OnCloseUp(control);
      break;
    default:
      break;
  }
}

}  // namespace

constexpr KindTable ComboKind{
    .ClearProc = ResetComboContent, .ClickCode = CBN_DBLCLK, .EnterCode = CBN_SETFOCUS,
    .ExitCode = CBN_KILLFOCUS, .ChangeCode = CBN_EDITCHANGE, .SelectCode = DeferredSelectCode,
    .CountMsg = CB_GETCOUNT, .GetItemDataMsg = CB_GETITEMDATA, .SetItemDataMsg = CB_SETITEMDATA,
    .AddItemMsg = CB_ADDSTRING, .DeleteItemMsg = CB_DELETESTRING, .InsertItemMsg = CB_INSERTSTRING,
    .GetIndexMsg = CB_GETCURSEL, .SetIndexMsg = CB_SETCURSEL};

TControl* CreateComboBox(TControl* parent, uint32_t comboOptions) {
  TControl* combo = CreateChildControl(parent, "COMBOBOX",
                                       ComboStyleFromOptions(comboOptions) | kComboBaseStyle,
                                       &ComboKind, true);
  combo->ClassStyle |= CS_DBLCLKS;
  SetDefaultSize(combo, kComboSize.cx, kComboSize.cy);
  AddMessageHandler(combo, ComboBoxHandler);
  return combo;
}

uint32_t ComboStyleFromOptions(uint32_t comboOptions) {
  uint32_t style = 0;
  for (uint32_t bit = 0; bit < std::size(kComboOptionStyles); ++bit) {
    const bool set = (comboOptions & (1u << bit)) != 0;
    const bool addsWhenClear = (1u << bit) == kComboNoAutoHScroll;
    if (set != addsWhenClear) style |= kComboOptionStyles[bit];
  }
  if ((style & kNotDropDownBit) == 0) style |= CBS_DROPDOWN;
  return style;
}

bool ComboBoxHandler(TControl* control, MessageRecord& message, LRESULT& result) {
  if (IsColorRequest(message.Msg)) {
    result = SendToControl(control, ReflectedColorBase + message.Msg, message.WParam, message.LParam);
    return true;
  }
  if (message.Msg == ReflectedCommand) {
    if (IsShowing(control)) TrackList(control, message);
    return false;
  }
  if (message.Msg == WM_CREATE) {
    // The standard creation makes the inner windows; they are subclassed
    // as soon as they exist.
    result = CallDefault(control, message);
    if (result != -1) SubclassChildren(control);
    return true;
  }
  if (message.Msg == WM_DESTROY) UnsubclassChildren(control->Handle);
  return false;
}

void SizeComboList(TControl* combo) {
  const int32_t shown = std::clamp(ItemCount(combo), kFewestListItems, kMostListItems);
  const int32_t width = GetWidth(combo);
  const int32_t height = GetHeight(combo);
  // A drop-down combo's window height spans the box and its dropped list: the
  // box is resized hidden and without redrawing, then shown again.
  SetWindowPos(combo->Handle, nullptr, 0, 0, width, height * (shown + 1) + kListFrame,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  SetWindowPos(combo->Handle, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE |
                   SWP_SHOWWINDOW);
  combo->OnDropDown(combo);
}

bool IsShowing(const TControl* control) {
  const bool showing = IsVisible(control) || control->ShowPending;
  if (control->IsChild && control->Parent != nullptr) return showing && IsShowing(control->Parent);
  return showing;
}

void SubclassChildren(TControl* control) {
  for (HWND child = GetWindow(control->Handle, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    Subclass(child, control->Handle);
  }
  // The dropped list too, so that no close request destroys it.
  if (HWND list = DroppedListOf(control->Handle); list != nullptr) Subclass(list, control->Handle);
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
    LRESULT refused = 0;
    const MessageRecord message{hwnd, msg, wParam, lParam};
    if (Judge(Arrival{Where::kInnerWindow, ComboOfInner(hwnd), message}, refused) == Ruling::kRefused) {
      return refused;
    }
    const WNDPROC previous = ReplacedProcOf(hwnd);
    if (msg == WM_NCDESTROY && previous != nullptr) RestoreProc(hwnd, previous);
    TControl* owner = ControlOfWindow(GetParent(hwnd));
    if (owner == nullptr) {
      if (previous != nullptr) return CallWindowProcA(previous, hwnd, msg, wParam, lParam);
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    const Held<TControl> hold(owner);
    LRESULT result = 0;
    if (IsShowing(owner) && IsKey(msg) && TakeInnerKey(owner, msg, wParam, result)) return result;
    if (msg == WM_SETFOCUS) RecordFocus(owner);
    return previous != nullptr ? CallWindowProcA(previous, hwnd, msg, wParam, lParam) : 0;
  } catch (...) {
    return 0;
  }
}
