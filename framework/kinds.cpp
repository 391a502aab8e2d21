#include "kinds.h"

#include <algorithm>

#include "colors.h"
#include "items.h"
#include "messages.h"
#include "properties.h"
#include "state.h"
#include "window.h"

namespace {

// ClearProc of statics and buttons: their only "content" is the text.
void ClearText(TControl* control) { SetText(control, std::string()); }

void ResetComboContent(TControl* control) { SendToControl(control, CB_RESETCONTENT, 0, 0); }

constexpr uint32_t kLabelStyle = WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX | SS_LEFTNOWORDWRAP;
constexpr uint32_t kGroupBoxStyle =
    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | BS_GROUPBOX;
constexpr uint32_t kComboBaseStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_HASSTRINGS;

// Frame bits of CreatePanel's edge styles 0 to 3.
constexpr uint32_t kPanelEdgeBits[4] = {WS_DLGFRAME, SS_SUNKEN, 0, 0};

// Styles added by ComboOptions bits 0 to 10; bit 1 adds its style when clear.
constexpr uint32_t kComboOptionStyles[11] = {
    CBS_DROPDOWNLIST,     CBS_AUTOHSCROLL, CBS_DISABLENOSCROLL, CBS_LOWERCASE,
    CBS_NOINTEGRALHEIGHT, CBS_OEMCONVERT,  CBS_SORT,            CBS_UPPERCASE,
    CBS_OWNERDRAWFIXED,   CBS_OWNERDRAWVARIABLE, CBS_SIMPLE};

// Gives a freshly constructed child its kind's default size at its default place.
void SetDefaultSize(TControl* control, int32_t width, int32_t height) {
  control->Bounds.right = control->Bounds.left + width;
  control->Bounds.bottom = control->Bounds.top + height;
}

}  // namespace

constexpr KindTable StaticKind = [] {
  KindTable kind{};
  kind.ClearProc = ClearText;
  kind.AlignLeftBits = SS_LEFT;
  kind.AlignRightBits = SS_RIGHT;
  kind.AlignCentreBits = SS_CENTER;
  kind.AlignClearBits = 0x0C;
  return kind;
}();

constexpr KindTable ButtonKind = [] {
  KindTable kind{};
  kind.ClearProc = ClearText;
  kind.ClickCode = BN_CLICKED;
  kind.EnterCode = BN_SETFOCUS;
  kind.ExitCode = BN_KILLFOCUS;
  kind.AlignLeftBits = BS_LEFT;
  kind.AlignRightBits = BS_RIGHT;
  kind.AlignCentreBits = BS_CENTER;
  return kind;
}();

constexpr KindTable ComboKind = [] {
  KindTable kind{};
  kind.ClearProc = ResetComboContent;
  kind.ClickCode = CBN_DBLCLK;
  kind.EnterCode = CBN_SETFOCUS;
  kind.ExitCode = CBN_KILLFOCUS;
  kind.ChangeCode = CBN_EDITCHANGE;
  kind.SelectCode = DeferredSelectCode;
  kind.CountMsg = CB_GETCOUNT;
  kind.GetItemDataMsg = CB_GETITEMDATA;
  kind.SetItemDataMsg = CB_SETITEMDATA;
  kind.AddItemMsg = CB_ADDSTRING;
  kind.DeleteItemMsg = CB_DELETESTRING;
  kind.InsertItemMsg = CB_INSERTSTRING;
  kind.GetIndexMsg = CB_GETCURSEL;
  kind.SetIndexMsg = CB_SETCURSEL;
  return kind;
}();

TControl* CreateControl(TControl* parent, const char* baseClassName, bool clientEdgeWanted) {
  TControl* control = NewControl(parent);
  control->BaseClassName = baseClassName;
  if (parent != nullptr) {
    control->Ctl3D = parent->Ctl3D;
    control->ClientEdge = parent->Ctl3D && clientEdgeWanted;
    control->Margin = parent->Margin;
    control->TextColor = parent->TextColor;
    control->Color = parent->Color;
  }
  return control;
}

TControl* CreateChildControl(TControl* parent, const char* baseClassName, uint32_t style,
                             const KindTable* table, bool clientEdgeWanted) {
  TControl* control = CreateControl(parent, baseClassName, clientEdgeWanted);
  if (table != nullptr) control->KindMessages = *table;
  control->IsChild = true;
  control->Style = style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  control->Visible = (style & WS_VISIBLE) != 0;
  control->TabStop = (style & WS_TABSTOP) != 0;
  if (parent != nullptr) {
    // New children start at the parent's margin inside its client insets.
    control->Bounds.left = parent->Margin + parent->ClientInsets.Left;
    control->Bounds.top = parent->Margin + parent->ClientInsets.Top;
    control->Bounds.right = control->Bounds.left + 64;
    control->Bounds.bottom = control->Bounds.top + 64;
  }
  if (control->ClientEdge) {
    control->Style &= ~static_cast<uint32_t>(WS_BORDER);
    control->ExStyle |= WS_EX_CLIENTEDGE;
  }
  if ((style & WS_TABSTOP) != 0) {
    // The first tab-stop control of a form takes the focus when the form is activated.
    TControl* form = ParentForm(control);
    if (form != nullptr && form->FocusedControl == nullptr) form->FocusedControl = control;
  }
  control->ControlId = NextControlId;
  ++NextControlId;
  AddMessageHandler(control, ChildControlHandler);
  return control;
}

TControl* CreateForm(TControl* parent, const std::string& caption) {
  TControl* form = CreateControl(parent, "Form", true);
  form->ClassStyle |= CS_DBLCLKS;
  SetText(form, caption);
  AddMessageHandler(form, FormFocusHandler);
  AddMessageHandler(form, EraseBackgroundHandler);
  return form;
}

TControl* CreateLabel(TControl* parent, const std::string& text) {
  TControl* label = CreateChildControl(parent, "STATIC", kLabelStyle, &StaticKind, false);
  label->NoTextRepaint = true;
  label->RepaintOnResize = true;
  SetDefaultSize(label, 64, 22);
  SetText(label, text);
  return label;
}

TControl* CreateGroupBox(TControl* parent, const std::string& caption) {
  TControl* box = CreateChildControl(parent, "BUTTON", kGroupBoxStyle, &ButtonKind, false);
  SetText(box, caption);
  box->ClientInsets = ClientInsetRect{22, 2, 2, 2};
  box->TabStop = false;
  SetDefaultSize(box, 100, 100);
  AddMessageHandler(box, EraseBackgroundHandler);
  return box;
}

TControl* CreatePanel(TControl* parent, uint8_t edgeStyle) {
  // Edge styles past the table have no frame rather than reading beyond it.
  const uint32_t edgeBits = edgeStyle < 4 ? kPanelEdgeBits[edgeStyle] : 0;
  TControl* panel =
      CreateChildControl(parent, "STATIC", kLabelStyle | edgeBits, &StaticKind, false);
  SetDefaultSize(panel, 100, 100);
  return panel;
}

TControl* CreateComboBox(TControl* parent, uint32_t comboOptions) {
  TControl* combo = CreateChildControl(parent, "COMBOBOX",
                                       ComboStyleFromOptions(comboOptions) | kComboBaseStyle,
                                       &ComboKind, true);
  combo->AfterCreateHook = SubclassChildren;
  combo->DropDownHook = SizeComboList;
  combo->ClassStyle |= CS_DBLCLKS;
  SetDefaultSize(combo, 100, 22);
  AddMessageHandler(combo, ComboBoxHandler);
  return combo;
}

uint32_t ComboStyleFromOptions(uint32_t comboOptions) {
  uint32_t style = 0;
  for (uint32_t bit = 0; bit < 11; ++bit) {
    const bool set = (comboOptions & (1u << bit)) != 0;
    const bool addsWhenClear = (1u << bit) == kComboNoAutoHScroll;
    if (set != addsWhenClear) style |= kComboOptionStyles[bit];
  }
  // Neither simple nor drop-down list: a drop-down with an edit field.
  if ((style & 1) == 0) style |= CBS_DROPDOWN;
  return style;
}

// Combo boxes: answers the colour requests of the inner edit field and list
// with the combo's own colours (handled), tracks the dropped list and defers
// selection changes through the queue (not handled), unsubclasses on
// WM_DESTROY (not handled).
bool ComboBoxHandler(TControl* control, MessageRecord& message, LRESULT& result) {
  if (message.Msg >= WM_CTLCOLORMSGBOX && message.Msg <= WM_CTLCOLORSTATIC) {
    result = SendToControl(control, ReflectedColorBase + message.Msg, message.WParam,
                           message.LParam);
    return true;
  }
  if (message.Msg == ReflectedCommand) {
    if (!IsShowing(control)) return false;
    switch (HIWORD(message.WParam)) {
      case CBN_SELCHANGE:
        // Announced again once the combo has finished its own processing.
        PostMessageA(control->Handle, ReflectedCommand, MAKEWPARAM(0, DeferredSelectCode), 0);
        break;
      case CBN_DROPDOWN:
        control->DroppedDown = true;
        control->SelectionAtDropDown = GetItemIndex(control);
        if (control->DropDownHook != nullptr) control->DropDownHook(control);
        break;
      case CBN_CLOSEUP:
        control->DroppedDown = false;
        control->OnCloseUp(control);
        break;
      default:
        break;
    }
    return false;
  }
  if (message.Msg == WM_DESTROY) UnsubclassChildren(control->Handle);
  return false;
}

void SizeComboList(TControl* combo) {
  const int32_t shown = std::clamp(ItemCount(combo), 1, 8);
  const int32_t width = GetWidth(combo);
  const int32_t height = GetHeight(combo);
  // A drop-down combo's window height spans the box and its dropped list: the
  // box is resized hidden and without redrawing, then shown again.
  SetWindowPos(combo->Handle, nullptr, 0, 0, width, height * (shown + 1) + 2,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  SetWindowPos(combo->Handle, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE |
                   SWP_SHOWWINDOW);
  combo->OnDropDown(combo);
}
