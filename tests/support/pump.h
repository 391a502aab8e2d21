#pragma once
// Synchronising with the message queue without sleeping.
#include <windows.h>

#include <functional>

#include "constants.h"

// Dispatches every queued message of this thread.
void DrainMessages();
// Dispatches this thread's messages until `done` holds or `timeoutMs` has
// passed. Returns whether `done` held. It looks again whenever a message
// arrives, and at least every few milliseconds, since a condition on another
// thread or process (a port access, a window) sends this thread nothing.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = kWaitMs);
// Takes a WM_QUIT from this thread's queue; returns whether there was one.
bool TakeQuitMessage();
