#pragma once
// What a click on a cell does: it writes the register with that cell's bit
// flipped in the register's last value.
#include "object.h"

// The OnClick handler of every writable cell. Its data is the cell's row
// (CellRow, mainform.h); the sender, the cell, is not used.
void FlipBit(void* data, ObjectBase* sender);
