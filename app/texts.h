#pragma once
// What the window shows for register values: decimal, hexadecimal and
// binary texts, and the colour of a bit cell. Pure functions, no port, no window.
#include <array>
#include <cstdint>
#include <string>

#include "port.h"

constexpr uint32_t kLitColour = 0x808000;      // teal: pin electrically high
constexpr uint32_t kUnlitColour = 0x8000000F;  // system button face

std::string DecimalText(int32_t value);
std::string HexText(uint32_t value, int32_t minDigits);
std::string BinaryText(uint32_t value, int32_t count);
uint32_t CellColour(const PinMapEntry& entry, uint8_t registerValue);

// The display of one reading. Texts in the order the poll sets them:
// DR, CR, SR decimal; DR, CR, SR hex; DR, CR, SR binary.
// Colours in PinMap order.
struct RegisterDisplay {
  std::array<std::string, 9> Texts;
  std::array<uint32_t, 20> Colours;
};
RegisterDisplay DisplayOf(uint8_t dr, uint8_t cr, uint8_t sr);
