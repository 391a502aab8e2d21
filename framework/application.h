#pragma once
// The application run loop: shows the main form, dispatches messages until
// the quit message is taken, then releases the main form.
#include "control.h"

void Run(TControl*& mainForm);
void ProcessMessages(TControl* mainForm);
bool PumpOne(TControl* mainForm);
void Shutdown(TControl*& mainForm);
bool IsMainWindow(TControl* control);
