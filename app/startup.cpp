#include "startup.h"

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
#include "port_notices.h"
#include "properties.h"
#include "window.h"

namespace {

// The value labels' start-up texts and left edges: decimal, hexadecimal, binary.
constexpr struct {
  const char* Text;
  int32_t Left;
} kLabels[] = {{"000", 8}, {"00", 48}, {"00000000", 80}};

// Where a control goes in its parent, and its size.
struct Placement {
  int32_t Left;
  int32_t Top;
  int32_t Width;
  int32_t Height;  // 0 keeps the control's default height
};
constexpr int32_t kPanelWidth = 368;
constexpr int32_t kPanelHeight = 52;
constexpr int32_t kLabelTop = 24;
constexpr int32_t kLabelHeight = 16;
constexpr int32_t kCellTop = 16;
constexpr int32_t kCellHeight = 24;
constexpr Placement kPortListPlacement = {304, 184, 56, 0};
// The port list keeps the height it is given, not rounded to whole entries.
constexpr uint32_t kPortListOptions = kComboNoIntegralHeight;
constexpr uint8_t kCellEdge = 0;  // dialog frame

// Holds a new control in its field and puts it in its place, at its size.
TControl* PlaceInField(MainForm* form, ControlField field, TControl* control,
                       const Placement& placement) {
  (form->*field).Reset(control);
  SetPosition(control, placement.Left, placement.Top);
  SetSize(control, placement.Width, placement.Height);
  return control;
}

// The group box, then its labels, then its cells.
void BuildPanel(MainForm* form, const RegisterPanel& panel) {
  TControl* box = PlaceInField(form, panel.Box, CreateGroupBox(form->Window, panel.Caption),
                               {panel.Left, panel.Top, kPanelWidth, kPanelHeight});
  box->TabStop = false;
  for (size_t i = 0; i < kTextsPerRegister; ++i) {
    PlaceInField(form, panel.Labels[i], CreateLabel(box, kLabels[i].Text),
                 {kLabels[i].Left, kLabelTop, panel.LabelWidths[i], kLabelHeight});
  }
  for (const CellRow& row : panel.Cells) {
    const PinMapEntry& pin = *row.Pin;
    TControl* cell = PlaceInField(form, row.Field, CreatePanel(box, kCellEdge),
                                  {pin.Left, kCellTop, pin.Width, kCellHeight});
    SetAlignment(cell, kAlignCentre);
    // The panel's first cell is given the button face; the others inherit it
    // from the group box until the first poll colours them.
    if (&row == &panel.Cells.front()) SetColor(cell, kColorBtnFace);
    SetText(cell, pin.Caption);
  }
}

// A writable cell's click flips its bit; the handler only reads its row.
void WireClick(MainForm* form, const CellRow& row) {
  if (row.Pin->ClickFlips) (form->*row.Field)->OnClick = NotifyEvent{&FlipBit, const_cast<CellRow*>(&row)};
}

}  // namespace

void BuildMainForm(MainForm*& form) {
  InitCommonControls();
  form = NewObject<MainForm>();

  form->Window = CreateForm(nullptr, kWindowCaption);
  SetPosition(form->Window, kWindowLeft, kWindowTop);
  MainWindow = form->Window;
  // Set first: should building fail half way, the run still ends with its
  // last write.
  OnRunEnd = NotifyEvent{&LeaveDataLinesLow, form};
  AddOwned(form->Window, form);
  SetClientSize(form->Window, kClientWidth, kClientHeight);
  SetOnCloseQuery(form->Window, CloseQueryEvent{&ExitQuestion, form});
  AddMessageHandler(form->Window, SessionEndHandler);
  AddMessageHandler(form->Window, PortNoticeHandler);

  form->PollTimer = NewTimer(kPollInterval);
  AddOwned(form->Window, form->PollTimer);
  form->PollTimer->OnTimer = NotifyEvent{&PollRegisters, form};

  for (const RegisterPanel& panel : kPanels) BuildPanel(form, panel);
  PlaceInField(form, &MainForm::PortList, CreateComboBox(form->Window, kPortListOptions),
               kPortListPlacement);
  SetColor(form->PortList, kColorWindow);

  // The timer is enabled in the middle of the wiring, after Cell1 (CR bit 0);
  // ticks only arrive from the run loop, so every handler is in place before
  // the first one.
  const std::span<const CellRow> controlCells = CellsOf(Register::CR);
  WireClick(form, controlCells.front());
  form->PollTimer->SetEnabled(true);
  for (const CellRow& row : controlCells.subspan(1)) WireClick(form, row);
  for (const CellRow& row : CellsOf(Register::DR)) WireClick(form, row);

  FindPorts(form);
  // Before the first poll: a driver that is not open reads as zeros, which
  // the window would show as a port with every pin low.
  CheckPortDriver();
  if (PortState.DriverClosed || PortFailed()) AnnouncePortTrouble(form->Window);
}
