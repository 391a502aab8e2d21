#include "kinds.h"

#include <iterator>

#include "colors.h"
#include "dispatch.h"
#include "focus.h"
#include "notifications.h"
#include "properties.h"

uint16_t NextControlId = 32768;

namespace {

// ClearProc of statics and buttons: their only "content" is the text.
void ClearText(TControl* control) { SetText(control, std::string()); }

constexpr uint32_t kLabelStyle = WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX | SS_LEFTNOWORDWRAP;
constexpr uint32_t kGroupBoxStyle =
    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | BS_GROUPBOX;
// A new child's default place is inside the parent's margin and insets, and
// this is its size until a kind gives it its own.
constexpr int32_t kChildSize = 64;

// Default sizes of the kinds.
constexpr SIZE kLabelSize{64, 22};
constexpr SIZE kGroupBoxSize{100, 100};
constexpr SIZE kPanelSize{100, 100};
constexpr ClientInsetRect kGroupBoxInsets{22, 2, 2, 2};  // top, bottom, left, right

// Frame bits of CreatePanel's edge styles 0 to 3.
constexpr uint32_t kPanelEdgeBits[4] = {WS_DLGFRAME, SS_SUNKEN, 0, 0};

// The static kind turns its no-word-wrap type bits into an alignment.
constexpr uint8_t kStaticTypeBits = SS_LEFTNOWORDWRAP;

// A child's default place: the parent's margin inside its client insets.
void PlaceInParent(TControl* control, const TControl* parent) {
  control->Bounds.left = parent->Margin + parent->ClientInsets.Left;
  control->Bounds.top = parent->Margin + parent->ClientInsets.Top;
  SetDefaultSize(control, kChildSize, kChildSize);
}

// The first tab-stop control of a form takes the focus when the form is activated.
void OfferFocus(TControl* control) {
  TControl* form = ParentForm(control);
  if (form != nullptr && form->FocusedControl == nullptr) form->FocusedControl = control;
}

}  // namespace

// A static with CS_DBLCLKS reports the second press of a quick pair as a
// double click: for a cell each press is a click of its own.
constexpr KindTable StaticKind{
    .ClearProc = ClearText, .ClickCode = STN_CLICKED, .DoubleClickCode = STN_DBLCLK,
    .AlignLeftBits = SS_LEFT, .AlignRightBits = SS_RIGHT, .AlignCentreBits = SS_CENTER,
    .AlignClearBits = kStaticTypeBits};

constexpr KindTable ButtonKind{
    .ClearProc = ClearText, .ClickCode = BN_CLICKED, .EnterCode = BN_SETFOCUS, .ExitCode = BN_KILLFOCUS,
    .AlignLeftBits = BS_LEFT, .AlignRightBits = BS_RIGHT, .AlignCentreBits = BS_CENTER};

void SetDefaultSize(TControl* control, int32_t width, int32_t height) {
  control->Bounds.right = control->Bounds.left + width;
  control->Bounds.bottom = control->Bounds.top + height;
}

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
  if (parent != nullptr) PlaceInParent(control, parent);
  if (control->ClientEdge) {
    control->Style &= ~static_cast<uint32_t>(WS_BORDER);
    control->ExStyle |= WS_EX_CLIENTEDGE;
  }
  if ((style & WS_TABSTOP) != 0) OfferFocus(control);
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
  TControl* label = CreateChildControl(parent, kStaticClass, kLabelStyle, &StaticKind, false);
  label->NoTextRepaint = true;
  label->RepaintOnResize = true;
  SetDefaultSize(label, kLabelSize.cx, kLabelSize.cy);
  SetText(label, text);
  return label;
}

TControl* CreateGroupBox(TControl* parent, const std::string& caption) {
  TControl* box = CreateChildControl(parent, "BUTTON", kGroupBoxStyle, &ButtonKind, false);
  SetText(box, caption);
  box->ClientInsets = kGroupBoxInsets;
  box->TabStop = false;
  SetDefaultSize(box, kGroupBoxSize.cx, kGroupBoxSize.cy);
  AddMessageHandler(box, EraseBackgroundHandler);
  return box;
}

TControl* CreatePanel(TControl* parent, uint8_t edgeStyle) {
  // Edge styles past the table have no frame rather than reading beyond it.
  const uint32_t edgeBits = edgeStyle < std::size(kPanelEdgeBits) ? kPanelEdgeBits[edgeStyle] : 0;
  TControl* panel =
      CreateChildControl(parent, kStaticClass, kLabelStyle | edgeBits, &StaticKind, false);
  SetDefaultSize(panel, kPanelSize.cx, kPanelSize.cy);
  return panel;
}
