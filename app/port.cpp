#include "port.h"

#include "port_library.h"  // the port I/O library, bound when the program loads

PortStateRecord PortState{};

namespace {
uint8_t ReadPort(uint32_t offset) {
  return static_cast<uint8_t>(Inp32(static_cast<short>(RegisterPort(offset))));
}
void WritePort(uint32_t offset, uint8_t value) {
  Out32(static_cast<short>(RegisterPort(offset)), value);
}
}  // namespace

uint16_t RegisterPort(uint32_t offset) {
  return static_cast<uint16_t>(PortState.BaseAddress + offset);
}

bool PortChosen() { return PortState.BaseAddress != 0; }

bool ReadRegisters() {
  if (!PortChosen()) return false;
  PortState.LastDR = ReadPort(kDROffset);
  PortState.LastCR = ReadPort(kCROffset);
  PortState.LastSR = ReadPort(kSROffset);
  return true;
}

// A write asked for while the port is in use; the register then holds the
// value written as its last value, until the next poll reads it back.
bool WriteRegister(uint32_t offset, uint8_t value, uint8_t& last) {
  if (!PortChosen() || PortState.RunEnded) return false;
  WritePort(offset, value);
  last = value;
  return true;
}

bool WriteDR(uint8_t value) { return WriteRegister(kDROffset, value, PortState.LastDR); }

bool WriteCR(uint8_t value) { return WriteRegister(kCROffset, value, PortState.LastCR); }

bool EndRunWithDataLow() {
  const bool written = WriteDR(0);
  PortState.RunEnded = true;
  return written;
}
