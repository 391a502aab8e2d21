#include "timer.h"

#include "dispatch.h"
#include "kinds.h"
#include "window.h"

TControl* TimerHost = nullptr;
int32_t TimerCount = 0;

namespace {

// The timers whose platform timer runs. Any program can post WM_TIMER with
// the tick procedure and an identifier of its choosing to a window of this
// thread, so the tick looks an identifier up here before it treats it as a
// Timer, and never reads through it to decide.
PointerList* runningTimers = nullptr;

bool IsRunningTimer(UINT_PTR id) {
  return IndexInList(runningTimers, reinterpret_cast<void*>(id)) >= 0;
}

// The platform timer's identifier is the Timer itself. A tick that fails is
// skipped; the next one comes on time.
void CALLBACK TimerTick(HWND window, UINT /*msg*/, UINT_PTR id, DWORD /*time*/) noexcept {
  if (TimerHost == nullptr || window != TimerHost->Handle || !IsRunningTimer(id)) return;
  Timer* timer = reinterpret_cast<Timer*>(id);
  try {
    timer->OnTimer(timer);
  } catch (...) {
  }
}

// The platform timers of the running Timers, on the host's window.
void StartPlatformTimer(Timer* timer, HWND host) {
  timer->TimerId =
      SetTimer(host, reinterpret_cast<UINT_PTR>(timer), static_cast<UINT>(timer->Interval), TimerTick);
}

// The hidden window that owns every platform timer: a parentless control of
// the framework's own class, never shown and never taken for a main window.
// The timers hold it besides its one holder, so that the system's
// destruction of its window never frees it under them.
TControl* CreateTimerHost();

void ReleaseTimerHost() {
  TControl* host = TimerHost;
  TimerHost = nullptr;
  Release(host);
  Release(host);
}

// A host window that the system destroyed (the program cannot stop that: any
// program can move it under a window of its own and destroy that one) took
// the platform timers with it. A new host takes its place, and the timers
// that were running run again.
void ReplaceLostTimerHost() {
  if (TimerHost == nullptr || !TimerHost->WindowDestroyed) return;
  ReleaseTimerHost();
  TimerHost = CreateTimerHost();
  HWND host = GetHandle(TimerHost);
  for (int32_t i = 0; host != nullptr && runningTimers != nullptr && i < runningTimers->Count; ++i) {
    StartPlatformTimer(static_cast<Timer*>(runningTimers->Items[i]), host);
  }
}

// A thread timer's procedure: runs once, at the thread's next chance after
// the host window went.
void CALLBACK ReplaceHostNow(HWND /*window*/, UINT /*msg*/, UINT_PTR id, DWORD /*time*/) noexcept {
  KillTimer(nullptr, id);
  try {
    ReplaceLostTimerHost();
  } catch (...) {
  }
}

// The host window's last message, once it is really destroyed (a forged one
// never gets this far): the replacement is made from the message loop, not
// from inside the destruction.
bool ReplaceAfterDestruction(TControl* host, MessageRecord& message, LRESULT& /*result*/) {
  if (message.Msg == WM_NCDESTROY && message.Window == host->Handle) {
    SetTimer(nullptr, 0, USER_TIMER_MINIMUM, ReplaceHostNow);
  }
  return false;
}

TControl* CreateTimerHost() {
  TControl* host = CreateControl(nullptr, "", false);
  host->Style = 0;
  host->IsChild = true;
  AddRef(host);
  AddMessageHandler(host, ReplaceAfterDestruction, true);
  return host;
}

}  // namespace

Timer* NewTimer(int32_t interval) {
  Timer* timer = NewObject<Timer>();
  timer->Interval = interval > 0 ? interval : 1000;
  ++TimerCount;
  return timer;
}

void Timer::SetEnabled(bool enabled) {
  const bool wasEnabled = Enabled;
  Enabled = enabled;
  if (wasEnabled == enabled) return;
  if (enabled) {
    ReplaceLostTimerHost();
    if (TimerHost == nullptr) TimerHost = CreateTimerHost();
    HWND host = GetHandle(TimerHost);
    // Without the host window the platform would choose its own identifier,
    // which the tick could not map back to this Timer: the timer stays idle.
    TimerId = 0;
    if (host != nullptr) StartPlatformTimer(this, host);
    if (TimerId != 0) AddToList(runningTimers, this);
  } else if (TimerId != 0) {
    DeleteFromList(runningTimers, IndexInList(runningTimers, this));
    KillTimer(TimerHost != nullptr ? TimerHost->Handle : nullptr, TimerId);
    TimerId = 0;
  }
}

void Timer::Done() {
  SetEnabled(false);
  FreeOwned(this);
  --TimerCount;
  // The host lives exactly as long as any Timer does.
  if (TimerCount == 0 && TimerHost != nullptr) ReleaseTimerHost();
  delete this;  // what it owned is released already
}
