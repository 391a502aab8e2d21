#pragma once
// The register poll: the OnTimer handler of the MainForm's PollTimer.
#include "object.h"

// Reads DR, CR and SR, then sets the nine value texts, then the twenty cell
// colours, all from this poll's values. Once a call into the port library
// has faulted it does nothing. `data` is the MainForm; the sender
// (the timer) is not used.
void PollRegisters(void* data, ObjectBase* sender);
