// Timer: ticking only while enabled, the platform timer behind it, and the
// shared host window coming and going with the timers.
#include <gtest/gtest.h>

#include <string_view>

#include "framework_fixture.h"
#include "kinds.h"
#include "timer.h"
#include "window.h"

namespace {

using TimerTest = FrameworkTest;

Timer* CountingTimer(EventCounter& ticks) {
  Timer* timer = NewTimer(10);
  timer->OnTimer = ticks.Handler();
  return timer;
}

// Whether the platform still ran this timer (killing it is the only way to
// ask, so only ask about timers that should be gone).
bool PlatformTimerWasRunning(HWND host, Timer* timer) {
  return KillTimer(host, reinterpret_cast<UINT_PTR>(timer)) != FALSE;
}

TEST_F(TimerTest, TicksOnlyWhileEnabled) {
  Timer* slow = NewTimer(-5);
  EXPECT_EQ(slow->Interval, 1000);
  Release(slow);
  EventCounter ticks, reference;
  Timer* timer = CountingTimer(ticks);
  Timer* other = CountingTimer(reference);
  other->SetEnabled(true);
  ASSERT_TRUE(PumpUntil([&] { return reference.calls >= 3; }));
  EXPECT_EQ(ticks.calls, 0) << "a new timer is disabled";

  timer->SetEnabled(true);
  timer->SetEnabled(true);
  EXPECT_EQ(timer->TimerId, reinterpret_cast<UINT_PTR>(timer));
  ASSERT_TRUE(PumpUntil([&] { return ticks.calls >= 3; }));
  EXPECT_EQ(ticks.sender, timer);

  timer->SetEnabled(false);
  EXPECT_EQ(timer->TimerId, 0u);
  EXPECT_FALSE(PlatformTimerWasRunning(TimerHost->Handle, timer));
  const int stoppedAt = ticks.calls;
  reference.calls = 0;
  ASSERT_TRUE(PumpUntil([&] { return reference.calls >= 3; }));
  EXPECT_EQ(ticks.calls, stoppedAt);

  timer->SetEnabled(true);
  EXPECT_EQ(timer->TimerId, reinterpret_cast<UINT_PTR>(timer)) << "same identifier again";
  ASSERT_TRUE(PumpUntil([&] { return ticks.calls >= stoppedAt + 2; }));
  Release(timer);
  Release(other);
}

TEST_F(TimerTest, HostLivesWhileAnyTimerDoes) {
  EventCounter ticks;
  Timer* first = CountingTimer(ticks);
  Timer* second = CountingTimer(ticks);
  first->SetEnabled(true);
  second->SetEnabled(true);
  ASSERT_NE(TimerHost, nullptr);
  HWND host = TimerHost->Handle;
  EXPECT_FALSE(IsWindowVisible(host));

  // Destroyed while enabled: its platform timer goes, the host stays.
  Release(first);
  EXPECT_FALSE(PlatformTimerWasRunning(host, first));
  ASSERT_NE(TimerHost, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return ticks.calls >= 2; }));

  // The last timer takes the host with it; a later timer makes a new one.
  Release(second);
  EXPECT_EQ(TimerHost, nullptr);
  EXPECT_FALSE(IsWindow(host));
  EXPECT_EQ(TimerCount, 0);
  ticks.calls = 0;
  Timer* third = CountingTimer(ticks);
  third->SetEnabled(true);
  ASSERT_NE(TimerHost, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return ticks.calls >= 1; }));
  Release(third);
  EXPECT_EQ(TimerHost, nullptr);
}

// Any program can post WM_TIMER to a window of this thread, naming the tick
// procedure and any identifier. Only a running timer's own identifier on the
// host window ticks; a throwing tick is skipped and the timer goes on.
TEST_F(TimerTest, OnlyRunningTimersTickAndAFailedTickIsSkipped) {
  EventCounter ticks, forged;
  Timer* timer = CountingTimer(ticks);
  timer->SetEnabled(true);
  const HWND host = TimerHost->Handle;
  // The tick procedure, as a genuine tick waiting in the queue carries it.
  MSG tick{};
  const DWORD start = GetTickCount();
  while (!PeekMessageA(&tick, host, WM_TIMER, WM_TIMER, PM_NOREMOVE) && GetTickCount() - start < kWaitMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_TIMER);
  }
  ASSERT_NE(tick.lParam, 0);
  timer->SetEnabled(false);

  Timer* never = CountingTimer(forged);  // alive, never enabled
  TControl* form = CreateForm(nullptr, "other");
  const HWND other = GetHandle(form);
  const std::pair<HWND, Timer*> attempts[] = {{host, never}, {host, timer}, {other, timer}};
  for (const auto& [window, id] : attempts) {
    PostMessageA(window, WM_TIMER, reinterpret_cast<WPARAM>(id), tick.lParam);
  }
  PostMessageA(host, WM_TIMER, 0x7FFF1234, tick.lParam);
  DrainMessages();
  EXPECT_EQ(forged.calls, 0);
  EXPECT_EQ(ticks.calls, 0);

  timer->OnTimer = NotifyEvent{[](void* data, ObjectBase*) {
                                 ++static_cast<EventCounter*>(data)->calls;
                                 throw 1;
                               },
                               &ticks};
  timer->SetEnabled(true);
  EXPECT_TRUE(PumpUntil([&] { return ticks.calls >= 3; })) << "ticks go on after a failed one";
  Release(form);
  Release(never);
  Release(timer);
}

// Refuses the creation of the timer window (class "obj_"), as the system
// does when it cannot make a window.
LRESULT CALLBACK RefuseTimerWindow(int code, WPARAM window, LPARAM creation) {
  char name[8] = "";
  if (code == HCBT_CREATEWND && GetClassNameA(reinterpret_cast<HWND>(window), name, sizeof name) > 0 &&
      std::string_view(name) == "obj_") {
    return 1;
  }
  return CallNextHookEx(nullptr, code, window, creation);
}

// A host whose window cannot be made: the timer stays idle instead of
// running under an identifier of the platform's choosing, which the tick
// could not map back to a Timer.
TEST_F(TimerTest, NoHostWindowLeavesTheTimerIdle) {
  const HHOOK refusal = SetWindowsHookExA(WH_CBT, RefuseTimerWindow, nullptr, GetCurrentThreadId());
  ASSERT_NE(refusal, nullptr);
  EventCounter ticks;
  Timer* timer = CountingTimer(ticks);
  timer->SetEnabled(true);
  UnhookWindowsHookEx(refusal);
  EXPECT_TRUE(timer->Enabled);
  EXPECT_EQ(timer->TimerId, 0u);
  ASSERT_NE(TimerHost, nullptr);
  EXPECT_EQ(TimerHost->Handle, nullptr);
  Release(timer);
  EXPECT_EQ(TimerHost, nullptr) << "released with the last timer";
}

}  // namespace
