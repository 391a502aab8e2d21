#include "state.h"

TControl* MainWindow = nullptr;
bool Running = false;
bool Terminated = false;
TControl* CreatingControl = nullptr;
uint16_t NextControlId = 32768;
TControl* TimerHost = nullptr;
int32_t TimerCount = 0;
