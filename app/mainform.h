#pragma once
// The main window's record and its builder. MainForm refers to every control
// of the window and to the poll timer; it is the context of every handler
// the port monitor installs.
#include <array>
#include <cstdint>

#include "control.h"
#include "display.h"
#include "object.h"
#include "port.h"
#include "timer.h"

class MainForm : public ObjectBase {
 public:
  // The controls below the window are held here as well as by their
  // parents, so that none is freed while the record refers to it, even one
  // whose window the system destroyed. The window owns the record.
  Held<TControl> PortList;
  TControl* Window;
  Held<TControl> DRBox;
  Held<TControl> CRBox;
  Held<TControl> SRBox;
  Held<TControl> SRDecimal;
  Held<TControl> SRHex;
  Held<TControl> SRBinary;
  Held<TControl> DRDecimal;
  Held<TControl> DRHex;
  Held<TControl> DRBinary;
  Held<TControl> CRDecimal;
  Held<TControl> CRHex;
  Held<TControl> CRBinary;
  Held<TControl> Cell10;
  Held<TControl> Cell11;
  Held<TControl> CellPIRQ;
  Held<TControl> Cell15;
  Held<TControl> Cell13;
  Held<TControl> Cell12;
  Held<TControl> Cell2;
  Held<TControl> Cell3;
  Held<TControl> Cell16;
  Held<TControl> Cell17;
  Held<TControl> CellAckIE;
  Held<TControl> CellDirect;
  Held<TControl> Cell4;
  Held<TControl> Cell5;
  Held<TControl> Cell6;
  Held<TControl> Cell7;
  Held<TControl> Cell8;
  Held<TControl> Cell9;
  Held<TControl> Cell1;
  Held<TControl> Cell14;
  Timer* PollTimer;
  // True while the exit question's message box is on screen, so that a
  // further close request does not ask a second time.
  bool Asking;
};

using ControlField = Held<TControl> MainForm::*;

// The cell of each PinMap entry, in PinMap order.
inline constexpr std::array<ControlField, PinMap.size()> kCellFields = {
    &MainForm::Cell2,  &MainForm::Cell3,     &MainForm::Cell4,      &MainForm::Cell5,
    &MainForm::Cell6,  &MainForm::Cell7,     &MainForm::Cell8,      &MainForm::Cell9,
    &MainForm::Cell1,  &MainForm::Cell14,    &MainForm::Cell16,     &MainForm::Cell17,
    &MainForm::CellAckIE, &MainForm::CellDirect, &MainForm::CellPIRQ, &MainForm::Cell15,
    &MainForm::Cell13, &MainForm::Cell12,    &MainForm::Cell10,     &MainForm::Cell11,
};

// A register's panel: a group box with the register's three value labels on
// its left and the cells of its PinMap entries on its right.
struct RegisterPanel {
  Register Reg;
  uint16_t Offset;  // of the register's I/O port from the base address
  ControlField Box;
  const char* Caption;  // at creation; port discovery appends the I/O address
  int32_t Left;
  int32_t Top;
  std::array<ControlField, kTextsPerRegister> Labels;  // decimal, hexadecimal, binary
  std::array<int32_t, kTextsPerRegister> LabelWidths;
};

// The panels from top to bottom. DRBox lies one pixel left of the others,
// and its hexadecimal and binary labels are a pixel wider.
inline constexpr std::array<RegisterPanel, kRegisterCount> kPanels = {{
    {Register::DR, kDROffset, &MainForm::DRBox, "Data Register    (DR)  ", 0, 8,
     {&MainForm::DRDecimal, &MainForm::DRHex, &MainForm::DRBinary}, {32, 25, 66}},
    {Register::CR, kCROffset, &MainForm::CRBox, "Control Register (CR)  ", 1, 64,
     {&MainForm::CRDecimal, &MainForm::CRHex, &MainForm::CRBinary}, {32, 24, 65}},
    {Register::SR, kSROffset, &MainForm::SRBox, "Status Register  (SR)  ", 1, 120,
     {&MainForm::SRDecimal, &MainForm::SRHex, &MainForm::SRBinary}, {32, 24, 65}},
}};

// The nine value labels in the order the poll sets them: DR, CR, SR decimal;
// DR, CR, SR hexadecimal; DR, CR, SR binary.
inline constexpr auto kValueLabelFields = [] {
  std::array<ControlField, kRegisterCount * kTextsPerRegister> fields{};
  for (size_t i = 0; i < fields.size(); ++i) {
    fields[i] = kPanels[i % kRegisterCount].Labels[i / kRegisterCount];
  }
  return fields;
}();

// Where the window is put and how large its client area is.
constexpr int32_t kWindowLeft = 328;
constexpr int32_t kWindowTop = 87;
constexpr int32_t kClientWidth = 371;
constexpr int32_t kClientHeight = 216;
constexpr int32_t kPollInterval = 10;  // ms
inline constexpr char kWindowCaption[] = "Pinlorn";

// Creates the MainForm into `form`, the main window with all its controls
// (hidden), the poll timer (enabled) and every handler, then lists the ports,
// chooses the base address and asks the port library whether its driver is
// open. Nothing is shown until the run loop starts.
void BuildMainForm(MainForm*& form);
