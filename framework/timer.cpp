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

// The timer window goes only with its control, when the last Timer does. It
// is never shown, so a destroy message from another program cannot be told
// from the system's by that: the window takes none, until the very end of
// the run.
bool KeepTimerWindow(TControl* /*host*/, MessageRecord& message, LRESULT& result) {
  if (message.Msg != WM_DESTROY && message.Msg != WM_NCDESTROY) return false;
  result = 0;
  return true;
}

// The hidden window that owns every platform timer: a parentless control of
// the framework's own class, never shown and never taken for a main window.
TControl* CreateTimerHost() {
  TControl* host = CreateControl(nullptr, "", false);
  host->Style = 0;
  host->IsChild = true;
  AddMessageHandler(host, KeepTimerWindow, true);
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
    if (TimerHost == nullptr) TimerHost = CreateTimerHost();
    HWND host = GetHandle(TimerHost);
    // Without the host window the platform would choose its own identifier,
    // which the tick could not map back to this Timer: the timer stays idle.
    TimerId = host != nullptr
                  ? SetTimer(host, reinterpret_cast<UINT_PTR>(this), static_cast<UINT>(Interval), TimerTick)
                  : 0;
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
  if (TimerCount == 0) ReleaseAndClear(TimerHost);
  delete this;  // what it owned is released already
}
