#pragma once
// Process-wide framework state: single instances, used on the UI thread only.
#include <cstdint>

class TControl;

extern TControl* MainWindow;       // the application's main form
extern bool Running;               // the run loop is active
extern bool Terminated;            // the quit message has been taken
extern TControl* CreatingControl;  // control whose CreateWindowExA is in progress
extern uint16_t NextControlId;     // next child-window identifier, from 32768
extern TControl* TimerHost;        // hidden window owning every platform timer
extern int32_t TimerCount;         // Timer objects alive
