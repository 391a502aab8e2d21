#pragma once
// The application: its main window, whether the run loop runs and whether
// the quit message has been taken, and the run loop itself, which shows the
// main form, dispatches messages until the quit message is taken, then
// releases the main form. State of the one user-interface thread.
#include "control.h"

// MainWindow, the application's main form, is declared with the control.
extern bool Running;     // the run loop is active
extern bool Terminated;  // the quit message has been taken

// Whether the control counts as the application's main window: the main
// window itself, or while none is set, any top-level control.
bool IsMainWindow(TControl* control);

void Run(TControl*& mainForm);
// Takes and dispatches queued messages until the queue is empty or a WM_NULL
// ends the drain.
void ProcessMessages();
// Takes one queued message, if any, and dispatches it unless it is WM_QUIT
// (which sets Terminated). False when none was taken or it was WM_NULL.
bool PumpOne();
void Shutdown(TControl*& mainForm);
