#pragma once
// What a click on a cell does: it writes the register with that cell's bit
// flipped in the register's last value.
#include "object.h"

// The OnClick handler of every writable cell. The context is the MainForm;
// the sender, the cell, tells which bit to flip.
void FlipBit(void* data, ObjectBase* sender);
