#include "timer.h"

#include "dispatch.h"
#include "kinds.h"
#include "window.h"

Held<TControl> TimerHost;
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

// The hidden window of every platform timer (a parentless framework control,
// never shown, never a main window).
TControl* CreateTimerHost();

// The host's window (null when it cannot be made), with a new host when there
// is none: at first, and after the system destroyed the last one's window
// with the platform timers on it, which then run again on the new one.
HWND EnsureTimerHost() {
  const bool made = TimerHost == nullptr;
  if (made) TimerHost.Adopt(CreateTimerHost());
  const HWND host = GetHandle(TimerHost);
  for (int32_t i = 0; made && host != nullptr && runningTimers != nullptr && i < runningTimers->Count; ++i) {
    StartPlatformTimer(static_cast<Timer*>(runningTimers->Items[i]), host);
  }
  return host;
}

// Runs once, at the thread's next chance after the host window went.
void CALLBACK ReplaceHostNow(HWND /*window*/, UINT /*msg*/, UINT_PTR id, DWORD /*time*/) noexcept {
  KillTimer(nullptr, id);
  try {
    if (TimerCount > 0) EnsureTimerHost();
  } catch (...) {
  }
}

// The host window's destruction by the system (any program can move it under
// a window of its own and destroy that): the host goes with its window, as a
// parentless control does, and a new one is made from the message loop.
bool LetHostGoWithItsWindow(TControl* host, MessageRecord& message, LRESULT& /*result*/) {
  if (message.Msg == WM_DESTROY && message.Window == host->Handle && TimerHost == host) {
    TimerHost.Reset();
    SetTimer(nullptr, 0, USER_TIMER_MINIMUM, ReplaceHostNow);
  }
  return false;
}

TControl* CreateTimerHost() {
  TControl* host = CreateControl(nullptr, "", false);
  host->Style = 0;
  host->IsChild = true;
  AddMessageHandler(host, LetHostGoWithItsWindow, true);
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
    const HWND host = EnsureTimerHost();
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
  if (TimerCount == 0) TimerHost.Reset();
  delete this;  // what it owned is released already
}
