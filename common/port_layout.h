#pragma once
// The parallel port as the program, the virtual port and the tools all see it.
// The tools use none of the program's code, so both sides include this.
#include <cstdint>

constexpr uint16_t kLpt1Base = 0x378;  // LPT1, the one port Pinlorn knows
// Offsets of the registers from the base address, and LPT1's registers.
constexpr uint16_t kDROffset = 0;
constexpr uint16_t kSROffset = 1;
constexpr uint16_t kCROffset = 2;
constexpr uint16_t kLpt1DR = kLpt1Base + kDROffset;
constexpr uint16_t kLpt1SR = kLpt1Base + kSROffset;
constexpr uint16_t kLpt1CR = kLpt1Base + kCROffset;
// SR of a standard port whose input pins 15, 13, 12, 10 and 11 are at the
// levels of bits 0-4 of `inputs` (1 = high): the order of SR bits 3-7, and
// the order in which the loopback plug takes them from DR bits 0-4. Bits 0-2
// are no pins and read 1; the port inverts pin 11.
constexpr uint8_t StatusOfInputs(uint8_t inputs) {
  return static_cast<uint8_t>((0x07 | (inputs & 0x1F) << 3) ^ 0x80);
}
// The virtual port's log keeps the last this many accesses: a power of two,
// so that a record's slot stays put when sequence numbers wrap.
constexpr uint32_t kPortLogCapacity = 8192;
