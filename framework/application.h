#pragma once
// The application: its main window, whether the run loop runs and whether
// the quit message has been taken, and the run loop itself, which shows the
// main form, dispatches messages until the quit message is taken, then
// releases the main form. State of the one user-interface thread.
#include "control.h"

// MainWindow, the application's main form, is declared with the control.
extern bool Running;     // the run loop is active
extern bool Terminated;  // the quit message has been taken
// The application's last word at every end of the run (EndRun, shutdown),
// twice where ends meet; the sender is the main window. Shutdown clears it.
extern NotifyEvent OnRunEnd;

// Whether the control counts as the application's main window: the main
// window itself, or while none is set, any top-level control.
bool IsMainWindow(TControl* control);

// Runs with `mainForm` as the main window, its maker's hold handed over.
void Run(TControl* mainForm);
// Takes and dispatches queued messages until the queue is empty or a WM_NULL
// ends the drain.
void ProcessMessages();
// Takes one queued message, if any, and dispatches it unless it is WM_QUIT
// (which sets Terminated). False when none was taken or it was WM_NULL.
bool PumpOne();
// Ends the run: OnRunEnd, then the quit message (posted nowhere else).
void EndRun();
// The application's end: OnRunEnd, then the main form is released.
void Shutdown();
