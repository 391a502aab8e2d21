#pragma once
// What the window shows of the registers: each value as decimal,
// hexadecimal and binary text, and each bit cell's colour. Pure functions,
// no port, no window.
#include <array>
#include <cstdint>
#include <string>

#include "color_values.h"
#include "port.h"

constexpr uint32_t kLitColour = 0x808000;         // teal: pin electrically high
constexpr uint32_t kUnlitColour = kColorBtnFace;  // the cells' own background

std::string DecimalText(int32_t value);
std::string HexText(uint32_t value, int32_t minDigits);
std::string BinaryText(uint32_t value, int32_t count);
uint32_t CellColour(const PinMapEntry& entry, uint8_t registerValue);

// How many digits a register value shows in hexadecimal and in binary.
constexpr int32_t kRegisterHexDigits = 2;
constexpr int32_t kRegisterBinaryDigits = 8;
// How many hexadecimal digits a register's I/O address shows in its caption.
constexpr int32_t kAddressHexDigits = 3;
constexpr size_t kRegisterCount = 3;  // DR, CR, SR
constexpr size_t kTextsPerRegister = 3;  // decimal, hexadecimal, binary

// The display of one reading. Texts in the order the poll sets them:
// DR, CR, SR decimal; DR, CR, SR hex; DR, CR, SR binary.
// Colours in PinMap order.
struct RegisterDisplay {
  std::array<std::string, kRegisterCount * kTextsPerRegister> Texts;
  std::array<uint32_t, PinMap.size()> Colours;
};
RegisterDisplay DisplayOf(uint8_t dr, uint8_t cr, uint8_t sr);
