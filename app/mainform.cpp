#include "mainform.h"

#include <windows.h>
#include <commctrl.h>

#include "application.h"
#include "cell_clicks.h"
#include "closing.h"
#include "colors.h"
#include "combobox.h"
#include "discovery.h"
#include "dispatch.h"
#include "kinds.h"
#include "poll.h"
#include "properties.h"
#include "window.h"

namespace {

enum class ControlKind : uint8_t { GroupBox, Label, BitCell, ComboBox };

// Further settings of a control, applied in this order after its size.
enum Setting : uint8_t {
  kNotTabStop = 1 << 0,
  kCentred = 1 << 1,
  kColour = 1 << 2,    // SetColor with the row's colour
  kCaption = 1 << 3,   // SetText with the row's text (bit cells: created without one)
};

struct ControlRow {
  ControlField Field;
  ControlKind Kind;
  ControlField Parent;
  const char* Text;  // group boxes and labels: at creation; bit cells: set last
  int32_t Left;
  int32_t Top;
  int32_t Width;
  int32_t Height;  // 0 keeps the control's default height
  uint8_t Settings;
  uint32_t Colour;
};

constexpr uint8_t kCell = kCentred | kCaption;
constexpr uint8_t kFirstCell = kCentred | kColour | kCaption;
// The port list keeps the height it is given, not rounded to whole entries.
constexpr uint32_t kPortListOptions = kComboNoIntegralHeight;
constexpr uint8_t kCellEdge = 0;  // dialog frame

using F = MainForm;
// The window's layout. Positions are relative to the parent's client area.
// Within a panel the cells run from bit 0 (rightmost) to the left; Cell6 sits
// one pixel off the grid and DRBox one pixel left of the other panels, and the
// DR hexadecimal and binary labels are a pixel wider than those of CR and SR.
constexpr ControlRow kComposition[] = {
    {&F::DRBox, ControlKind::GroupBox, &F::Window, "Data Register    (DR)  ", 0, 8, 368, 52, kNotTabStop, 0},
    {&F::DRDecimal, ControlKind::Label, &F::DRBox, "000", 8, 24, 32, 16, 0, 0},
    {&F::DRHex, ControlKind::Label, &F::DRBox, "00", 48, 24, 25, 16, 0, 0},
    {&F::DRBinary, ControlKind::Label, &F::DRBox, "00000000", 80, 24, 66, 16, 0, 0},
    {&F::Cell2, ControlKind::BitCell, &F::DRBox, "2", 336, 16, 24, 24, kFirstCell, kColorBtnFace},
    {&F::Cell3, ControlKind::BitCell, &F::DRBox, "3", 312, 16, 24, 24, kCell, 0},
    {&F::Cell4, ControlKind::BitCell, &F::DRBox, "4", 288, 16, 24, 24, kCell, 0},
    {&F::Cell5, ControlKind::BitCell, &F::DRBox, "5", 264, 16, 24, 24, kCell, 0},
    {&F::Cell6, ControlKind::BitCell, &F::DRBox, "6", 239, 16, 24, 24, kCell, 0},
    {&F::Cell7, ControlKind::BitCell, &F::DRBox, "7", 216, 16, 24, 24, kCell, 0},
    {&F::Cell8, ControlKind::BitCell, &F::DRBox, "8", 192, 16, 24, 24, kCell, 0},
    {&F::Cell9, ControlKind::BitCell, &F::DRBox, "9", 168, 16, 24, 24, kCell, 0},
    {&F::CRBox, ControlKind::GroupBox, &F::Window, "Control Register (CR)  ", 1, 64, 368, 52, kNotTabStop, 0},
    {&F::CRDecimal, ControlKind::Label, &F::CRBox, "000", 8, 24, 32, 16, 0, 0},
    {&F::CRHex, ControlKind::Label, &F::CRBox, "00", 48, 24, 24, 16, 0, 0},
    {&F::CRBinary, ControlKind::Label, &F::CRBox, "00000000", 80, 24, 65, 16, 0, 0},
    {&F::Cell1, ControlKind::BitCell, &F::CRBox, "1", 336, 16, 24, 24, kFirstCell, kColorBtnFace},
    {&F::Cell14, ControlKind::BitCell, &F::CRBox, "14", 312, 16, 24, 24, kCell, 0},
    {&F::Cell16, ControlKind::BitCell, &F::CRBox, "16", 288, 16, 24, 24, kCell, 0},
    {&F::Cell17, ControlKind::BitCell, &F::CRBox, "17", 264, 16, 24, 24, kCell, 0},
    {&F::CellAckIE, ControlKind::BitCell, &F::CRBox, "AckIE", 216, 16, 48, 24, kCell, 0},
    {&F::CellDirect, ControlKind::BitCell, &F::CRBox, "Direct", 168, 16, 48, 24, kCell, 0},
    {&F::SRBox, ControlKind::GroupBox, &F::Window, "Status Register  (SR)  ", 1, 120, 368, 52, kNotTabStop, 0},
    {&F::SRDecimal, ControlKind::Label, &F::SRBox, "000", 8, 24, 32, 16, 0, 0},
    {&F::SRHex, ControlKind::Label, &F::SRBox, "00", 48, 24, 24, 16, 0, 0},
    {&F::SRBinary, ControlKind::Label, &F::SRBox, "00000000", 80, 24, 65, 16, 0, 0},
    {&F::CellPIRQ, ControlKind::BitCell, &F::SRBox, "PIRQ", 288, 16, 72, 24, kFirstCell, kColorBtnFace},
    {&F::Cell15, ControlKind::BitCell, &F::SRBox, "15", 264, 16, 24, 24, kCell, 0},
    {&F::Cell13, ControlKind::BitCell, &F::SRBox, "13", 240, 16, 24, 24, kCell, 0},
    {&F::Cell12, ControlKind::BitCell, &F::SRBox, "12", 216, 16, 24, 24, kCell, 0},
    {&F::Cell10, ControlKind::BitCell, &F::SRBox, "10", 192, 16, 24, 24, kCell, 0},
    {&F::Cell11, ControlKind::BitCell, &F::SRBox, "11", 168, 16, 24, 24, kCell, 0},
    {&F::PortList, ControlKind::ComboBox, &F::Window, "", 304, 184, 56, 0, kColour, kColorWindow},
};
static_assert(std::size(kComposition) == 33);

TControl* CreateFromRow(const ControlRow& row, TControl* parent) {
  switch (row.Kind) {
    case ControlKind::GroupBox: return CreateGroupBox(parent, row.Text);
    case ControlKind::Label: return CreateLabel(parent, row.Text);
    case ControlKind::BitCell: return CreatePanel(parent, kCellEdge);
    case ControlKind::ComboBox: return CreateComboBox(parent, kPortListOptions);
  }
  return nullptr;
}

void BuildControl(MainForm* form, const ControlRow& row) {
  TControl* control = CreateFromRow(row, form->*row.Parent);
  AddRef(control);  // the record's hold, let go in MainForm::Done
  form->*row.Field = control;
  SetPosition(control, row.Left, row.Top);
  SetSize(control, row.Width, row.Height);
  if (row.Settings & kNotTabStop) control->TabStop = false;
  if (row.Settings & kCentred) SetAlignment(control, kAlignCentre);
  if (row.Settings & kColour) SetColor(control, row.Colour);
  if (row.Settings & kCaption) SetText(control, row.Text);
}

// The writable cells of a register, in PinMap order, from its bit `firstBit` on.
void SetFlipHandlers(MainForm* form, Register reg, uint8_t firstBit) {
  for (size_t i = 0; i < PinMap.size(); ++i) {
    const PinMapEntry& pin = PinMap[i];
    if (pin.ClickFlips && pin.Reg == reg && pin.Bit >= firstBit) {
      (form->*kCellFields[i])->OnClick = NotifyEvent{&FlipBit, form};
    }
  }
}

}  // namespace

void MainForm::Done() {
  for (const ControlRow& row : kComposition) ReleaseAndClear(this->*row.Field);
  ObjectBase::Done();
}

void BuildMainForm(MainForm*& form) {
  InitCommonControls();
  form = NewObject<MainForm>();

  form->Window = CreateForm(nullptr, kWindowCaption);
  SetPosition(form->Window, kWindowLeft, kWindowTop);
  MainWindow = form->Window;
  AddOwned(form->Window, form);
  SetClientSize(form->Window, kClientWidth, kClientHeight);
  SetOnCloseQuery(form->Window, CloseQueryEvent{&ExitQuestion, form});
  AddMessageHandler(form->Window, SessionEndHandler);

  form->PollTimer = NewTimer(kPollInterval);
  AddOwned(form->Window, form->PollTimer);
  form->PollTimer->OnTimer = NotifyEvent{&PollRegisters, form};

  for (const ControlRow& row : kComposition) BuildControl(form, row);

  // The timer is enabled in the middle of the wiring, after Cell1 (CR bit 0);
  // ticks only arrive from the run loop, so every handler is in place before
  // the first one.
  form->Cell1->OnClick = NotifyEvent{&FlipBit, form};
  form->PollTimer->SetEnabled(true);
  SetFlipHandlers(form, Register::CR, 1);
  SetFlipHandlers(form, Register::DR, 0);

  FindPorts(form);
}
