#pragma once
// Start-up: the main window built from the tables of mainform.h, its
// handlers wired, the ports listed.
#include "mainform.h"

// Creates the MainForm into `form`, the main window with all its controls
// (hidden), the poll timer (enabled) and every handler, then lists the ports,
// chooses the base address and asks the port library whether its driver is
// open. Nothing is shown until the run loop starts.
void BuildMainForm(MainForm*& form);
