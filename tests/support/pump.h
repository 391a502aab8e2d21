#pragma once
// Synchronising with the message queue without sleeping.
#include <windows.h>

#include <functional>

// Dispatches every queued message of this thread.
void DrainMessages();
// Dispatches messages until `done` holds or `timeoutMs` has passed, waiting
// for new messages in between. Returns whether `done` held.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
