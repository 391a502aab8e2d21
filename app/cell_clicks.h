#pragma once
// What a click on a cell does: it writes the register with that cell's bit
// flipped in the value the last poll read.
#include <array>

#include "object.h"
#include "port.h"

// The OnClick handler of each writable cell, by PinMap entry (the first
// kClickableCount entries). The context is the MainForm; the sender (the
// cell) is not needed to know which bit to flip.
extern const std::array<NotifyEvent::CodeType, kClickableCount> kFlipBitHandlers;
