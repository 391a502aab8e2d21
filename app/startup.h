#pragma once
// Start-up: the main window built from the tables of mainform.h.
#include "mainform.h"

// Creates the MainForm into `form`: the main window with all its controls
// (hidden), the poll timer (enabled) and every handler; then lists the ports,
// chooses the base address and asks the library whether its driver is open.
void BuildMainForm(MainForm*& form);
