#pragma once
// The parallel port as Pinlorn, the virtual port and the tools beside them
// all see it: LPT1's base address, where each register lies from it, and how
// many accesses the virtual port's log keeps. The tools use none of the
// program's code, so these facts live here, where both sides include them.
#include <cstdint>

// LPT1, the one port Pinlorn knows.
constexpr uint16_t kLpt1Base = 0x378;
// Offsets of the registers from the base address.
constexpr uint16_t kDROffset = 0;
constexpr uint16_t kSROffset = 1;
constexpr uint16_t kCROffset = 2;
// LPT1's three registers.
constexpr uint16_t kLpt1DR = kLpt1Base + kDROffset;
constexpr uint16_t kLpt1SR = kLpt1Base + kSROffset;
constexpr uint16_t kLpt1CR = kLpt1Base + kCROffset;

// The virtual port's log keeps the last this many accesses. A power of two,
// so that it divides 2^32 and a record's slot stays put when sequence
// numbers wrap.
constexpr uint32_t kPortLogCapacity = 8192;
