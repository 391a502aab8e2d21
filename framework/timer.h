#pragma once
// Periodic timer on the UI thread, backed by a platform window timer owned
// by one shared hidden window (TimerHost).
#include "control.h"

class Timer : public ObjectBase {
 public:
  void Done() override;  // stops the timer, tears it down, lets TimerHost go with the last one
  virtual void SetEnabled(bool enabled);

  UINT_PTR TimerId = 0;  // the Timer's own address while its platform timer runs
  bool Enabled = false;
  int32_t Interval = 0;
  NotifyEvent OnTimer;
};

// The hidden window that owns every platform timer: made when the first
// timer is enabled, held by the timers alone, released with the last Timer.
extern Held<TControl> TimerHost;
// Timer objects alive.
extern int32_t TimerCount;

// A disabled timer; an interval of 0 or less gives 1000 ms.
Timer* NewTimer(int32_t interval);
