#include "display.h"

#include <algorithm>

namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int32_t kMaxHexDigits = 8;      // all of a 32-bit value
constexpr int32_t kMaxBinaryChars = 64;   // 32 bits plus as many leading zeros
}  // namespace

std::string DecimalText(int32_t value) {
  // Digits from the right with a "," after every third, so the sign never gets
  // a separator of its own. The magnitude is negated unsigned: INT_MIN has no
  // signed 32-bit negation, and 64-bit division would bring its own helpers.
  char buffer[16];  // "-2,147,483,648" is 14 characters
  char* p = buffer + sizeof buffer;
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  int digits = 0;
  do {
    if (digits > 0 && digits % 3 == 0) *--p = ',';
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
    ++digits;
  } while (magnitude != 0);
  if (value < 0) *--p = '-';
  return std::string(p, buffer + sizeof buffer);
}

// A minimum below 1 gives at least one digit; above 8 it is taken as 8.
std::string HexText(uint32_t value, int32_t minDigits) {
  int32_t width = std::clamp(minDigits, int32_t{1}, kMaxHexDigits);
  char buffer[kMaxHexDigits];
  char* end = buffer + sizeof buffer;
  char* p = end;
  do {
    *--p = kHexDigits[value & 0xF];
    value >>= 4;
  } while (value != 0 || end - p < width);
  return std::string(p, end);
}

// Negative counts give the empty text; counts above 64 are taken as 64.
std::string BinaryText(uint32_t value, int32_t count) {
  int32_t width = std::clamp(count, int32_t{0}, kMaxBinaryChars);
  std::string text(static_cast<size_t>(width), '0');
  for (int32_t bit = 0; bit < width && bit < 32; ++bit) {
    if (value & (1u << bit)) text[static_cast<size_t>(width - 1 - bit)] = '1';
  }
  return text;
}

uint32_t CellColour(const PinMapEntry& entry, uint8_t registerValue) {
  bool set = (registerValue & entry.Mask) != 0;
  return set != entry.Inverted ? kLitColour : kUnlitColour;
}

RegisterDisplay DisplayOf(uint8_t dr, uint8_t cr, uint8_t sr) {
  const uint8_t values[kRegisterCount] = {dr, cr, sr};
  RegisterDisplay display;
  for (size_t i = 0; i < kRegisterCount; ++i) {
    display.Texts[i] = DecimalText(values[i]);
    display.Texts[kRegisterCount + i] = HexText(values[i], kRegisterHexDigits);
    display.Texts[2 * kRegisterCount + i] = BinaryText(values[i], kRegisterBinaryDigits);
  }
  for (size_t i = 0; i < PinMap.size(); ++i) {
    display.Colours[i] = CellColour(PinMap[i], values[static_cast<size_t>(PinMap[i].Reg)]);
  }
  return display;
}
