#pragma once
// What Pinlorn tells the user about the port library: a port driver that is
// not open, and a call that faulted. Each is told once, in a message box
// owned by the main window, from the message loop once the window is shown:
// the start, the poll or a click asks for it with a posted ShowPortNotices.
#include "control.h"

// Asks the main window to show the notices that are due.
void AnnouncePortTrouble(TControl* mainWindow);

// The main window's ShowPortNotices: shows each notice that is due and has
// not been shown, and is handled. With none due it shows nothing.
bool PortNoticeHandler(TControl* control, MessageRecord& message, LRESULT& result);
