#pragma once
// The main window's record, the context of the port monitor's handlers (the
// cells' clicks are given their cell's row), and the tables startup.h builds
// the window from.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

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
  Held<TControl> DRBox, CRBox, SRBox;
  Held<TControl> SRDecimal, SRHex, SRBinary;
  Held<TControl> DRDecimal, DRHex, DRBinary;
  Held<TControl> CRDecimal, CRHex, CRBinary;
  Held<TControl> Cell10, Cell11, CellPIRQ, Cell15, Cell13, Cell12;  // SR bits 6, 7, 2, 3, 4, 5
  Held<TControl> Cell2, Cell3;                                     // DR bits 0, 1
  Held<TControl> Cell16, Cell17, CellAckIE, CellDirect;            // CR bits 2 to 5
  Held<TControl> Cell4, Cell5, Cell6, Cell7, Cell8, Cell9;         // DR bits 2 to 7
  Held<TControl> Cell1, Cell14;                                    // CR bits 0, 1
  Timer* PollTimer;
};

using ControlField = Held<TControl> MainForm::*;

// A cell of the window: its pin-map entry and the field that holds it.
struct CellRow {
  const PinMapEntry* Pin;
  ControlField Field;
};

// The pin-map entry with this caption (a caption no pin has does not compile).
consteval const PinMapEntry* PinOf(std::string_view caption) {
  for (const PinMapEntry& pin : PinMap) {
    if (caption == pin.Caption) return &pin;
  }
  throw "no pin has this caption";
}

// Every cell, one row each, in PinMap order: the order in which the cells are
// made and coloured.
inline constexpr std::array<CellRow, PinMap.size()> kCells = {{
    {PinOf("2"), &MainForm::Cell2}, {PinOf("3"), &MainForm::Cell3}, {PinOf("4"), &MainForm::Cell4},
    {PinOf("5"), &MainForm::Cell5}, {PinOf("6"), &MainForm::Cell6}, {PinOf("7"), &MainForm::Cell7},
    {PinOf("8"), &MainForm::Cell8}, {PinOf("9"), &MainForm::Cell9},
    {PinOf("1"), &MainForm::Cell1}, {PinOf("14"), &MainForm::Cell14}, {PinOf("16"), &MainForm::Cell16},
    {PinOf("17"), &MainForm::Cell17}, {PinOf("AckIE"), &MainForm::CellAckIE},
    {PinOf("Direct"), &MainForm::CellDirect},
    {PinOf("PIRQ"), &MainForm::CellPIRQ}, {PinOf("15"), &MainForm::Cell15}, {PinOf("13"), &MainForm::Cell13},
    {PinOf("12"), &MainForm::Cell12}, {PinOf("10"), &MainForm::Cell10}, {PinOf("11"), &MainForm::Cell11},
}};

// The cells of one register: a run of kCells, as in PinMap.
constexpr std::span<const CellRow> CellsOf(Register reg) {
  size_t first = 0;
  while (first < kCells.size() && kCells[first].Pin->Reg != reg) ++first;
  size_t end = first;
  while (end < kCells.size() && kCells[end].Pin->Reg == reg) ++end;
  return std::span<const CellRow>(kCells).subspan(first, end - first);
}

// A row out of place, or a cell left out, does not compile.
constexpr bool CellsInPinMapOrder() {
  size_t i = 0;
  while (i < kCells.size() && kCells[i].Pin == &PinMap[i]) ++i;
  return i == kCells.size() &&
         CellsOf(Register::DR).size() + CellsOf(Register::CR).size() + CellsOf(Register::SR).size() == i;
}
static_assert(CellsInPinMapOrder());

// A register's panel: a group box with the register's three value labels on
// its left and its cells on its right.
struct RegisterPanel {
  uint16_t Offset;  // of the register's I/O port from the base address
  ControlField Box;
  const char* Caption;  // at creation; port discovery appends the I/O address
  int32_t Left;
  int32_t Top;
  std::array<ControlField, kTextsPerRegister> Labels;  // decimal, hexadecimal, binary
  std::array<int32_t, kTextsPerRegister> LabelWidths;
  std::span<const CellRow> Cells;
};

// The panels from top to bottom. DRBox lies one pixel left of the others,
// and its hexadecimal and binary labels are a pixel wider.
inline constexpr std::array<RegisterPanel, kRegisterCount> kPanels = {{
    {kDROffset, &MainForm::DRBox, "Data Register    (DR)  ", 0, 8,
     {&MainForm::DRDecimal, &MainForm::DRHex, &MainForm::DRBinary}, {32, 25, 66}, CellsOf(Register::DR)},
    {kCROffset, &MainForm::CRBox, "Control Register (CR)  ", 1, 64,
     {&MainForm::CRDecimal, &MainForm::CRHex, &MainForm::CRBinary}, {32, 24, 65}, CellsOf(Register::CR)},
    {kSROffset, &MainForm::SRBox, "Status Register  (SR)  ", 1, 120,
     {&MainForm::SRDecimal, &MainForm::SRHex, &MainForm::SRBinary}, {32, 24, 65}, CellsOf(Register::SR)},
}};

// The nine value labels in the order the poll sets them: DR, CR, SR decimal;
// DR, CR, SR hexadecimal; DR, CR, SR binary.
constexpr std::array<ControlField, kRegisterCount * kTextsPerRegister> ValueLabelsInPollOrder() {
  std::array<ControlField, kRegisterCount * kTextsPerRegister> fields{};
  for (size_t i = 0; i < fields.size(); ++i) {
    fields[i] = kPanels[i % kRegisterCount].Labels[i / kRegisterCount];
  }
  return fields;
}
inline constexpr auto kValueLabelFields = ValueLabelsInPollOrder();

// Where the window is put and how large its client area is.
constexpr int32_t kWindowLeft = 328;
constexpr int32_t kWindowTop = 87;
constexpr int32_t kClientWidth = 371;
constexpr int32_t kClientHeight = 216;
constexpr int32_t kPollInterval = 10;  // ms
inline constexpr char kWindowCaption[] = "Pinlorn";
