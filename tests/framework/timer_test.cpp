// Timer: intervals, ticking only while enabled, the platform timer behind
// it, and the shared host window coming and going with the timers.
#include <gtest/gtest.h>

#include "framework_fixture.h"
#include "kinds.h"
#include "timer.h"

namespace {

using TimerTest = FrameworkTest;

struct Ticks {
  int count = 0;
  ObjectBase* sender = nullptr;
  static void Tick(void* data, ObjectBase* sender) {
    auto* ticks = static_cast<Ticks*>(data);
    ++ticks->count;
    ticks->sender = sender;
  }
};

Timer* TickingTimer(Ticks& ticks, int32_t interval = 10) {
  Timer* timer = NewTimer(interval);
  timer->OnTimer = NotifyEvent{&Ticks::Tick, &ticks};
  return timer;
}

// Whether the platform still runs a timer of `host` with this identifier;
// killing it is the only way to ask, so only call it for timers that should
// be gone.
bool PlatformTimerRunning(HWND host, UINT_PTR id) { return KillTimer(host, id) != FALSE; }

TEST_F(TimerTest, IntervalFromNewTimer) {
  struct Row {
    int32_t requested;
    int32_t interval;
  } rows[] = {{0, 1000}, {-5, 1000}, {10, 10}, {250, 250}};
  const int32_t before = TimerCount;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.requested);
    Timer* timer = NewTimer(row.requested);
    EXPECT_EQ(timer->Interval, row.interval);
    EXPECT_FALSE(timer->Enabled);
    EXPECT_EQ(timer->TimerId, 0u);
    EXPECT_EQ(TimerCount, before + 1);
    Release(timer);
    EXPECT_EQ(TimerCount, before);
  }
  EXPECT_EQ(TimerHost, nullptr) << "a timer never enabled makes no host";
}

TEST_F(TimerTest, TicksOnlyWhileEnabled) {
  Ticks ticks;
  Ticks reference;
  Timer* timer = TickingTimer(ticks);
  Timer* other = TickingTimer(reference);
  other->SetEnabled(true);

  // Disabled from the start: the other timer ticks, this one does not.
  ASSERT_TRUE(PumpUntil([&] { return reference.count >= 3; }));
  EXPECT_EQ(ticks.count, 0);

  timer->SetEnabled(true);
  EXPECT_EQ(timer->TimerId, reinterpret_cast<UINT_PTR>(timer));
  ASSERT_TRUE(PumpUntil([&] { return ticks.count >= 3; }));
  EXPECT_EQ(ticks.sender, timer);

  timer->SetEnabled(false);
  EXPECT_EQ(timer->TimerId, 0u);
  EXPECT_FALSE(PlatformTimerRunning(TimerHost->Handle, reinterpret_cast<UINT_PTR>(timer)));
  const int stoppedAt = ticks.count;
  reference.count = 0;
  ASSERT_TRUE(PumpUntil([&] { return reference.count >= 3; }));
  EXPECT_EQ(ticks.count, stoppedAt);

  // Enabled again: same identifier, ticking resumes.
  timer->SetEnabled(true);
  EXPECT_EQ(timer->TimerId, reinterpret_cast<UINT_PTR>(timer));
  ASSERT_TRUE(PumpUntil([&] { return ticks.count >= stoppedAt + 2; }));

  Release(timer);
  Release(other);
}

TEST_F(TimerTest, RepeatedSwitchingChangesNothing) {
  Ticks ticks;
  Timer* timer = TickingTimer(ticks);
  timer->SetEnabled(false);  // never enabled: nothing to stop
  EXPECT_EQ(TimerHost, nullptr);
  timer->SetEnabled(true);
  const uint32_t id = timer->TimerId;
  HWND host = TimerHost->Handle;
  timer->SetEnabled(true);
  EXPECT_EQ(timer->TimerId, id);
  EXPECT_EQ(TimerHost->Handle, host);
  timer->SetEnabled(false);
  timer->SetEnabled(false);
  EXPECT_NE(TimerHost, nullptr) << "disabling keeps the host";
  Release(timer);
}

TEST_F(TimerTest, HostLivesWhileAnyTimerDoes) {
  Ticks ticks;
  Timer* first = TickingTimer(ticks);
  Timer* second = TickingTimer(ticks);
  first->SetEnabled(true);
  second->SetEnabled(true);
  ASSERT_NE(TimerHost, nullptr);
  HWND host = TimerHost->Handle;
  ASSERT_TRUE(IsWindow(host));
  EXPECT_FALSE(IsWindowVisible(host));
  const auto firstId = reinterpret_cast<UINT_PTR>(first);

  // Destroyed while enabled: its platform timer goes, the host stays.
  Release(first);
  EXPECT_FALSE(PlatformTimerRunning(host, firstId));
  ASSERT_NE(TimerHost, nullptr);
  EXPECT_EQ(TimerHost->Handle, host);
  ASSERT_TRUE(PumpUntil([&] { return ticks.count >= 2; }));

  // The last timer takes the host with it.
  Release(second);
  EXPECT_EQ(TimerHost, nullptr);
  EXPECT_FALSE(IsWindow(host));
  EXPECT_EQ(TimerCount, 0);

  // A timer made afterwards gets a fresh host.
  Ticks later;
  Timer* third = TickingTimer(later);
  third->SetEnabled(true);
  ASSERT_NE(TimerHost, nullptr);
  EXPECT_TRUE(IsWindow(TimerHost->Handle));
  ASSERT_TRUE(PumpUntil([&] { return later.count >= 1; }));
  Release(third);
  EXPECT_EQ(TimerHost, nullptr);
}

TEST_F(TimerTest, TickWithoutHandlerDoesNothing) {
  Ticks reference;
  Timer* silent = NewTimer(10);
  Timer* other = TickingTimer(reference);
  silent->SetEnabled(true);
  other->SetEnabled(true);
  ASSERT_TRUE(PumpUntil([&] { return reference.count >= 3; }));
  Release(silent);
  Release(other);
}

// A tick handler may destroy its own timer.
TEST_F(TimerTest, TimerReleasedFromItsOwnTick) {
  struct SelfRelease {
    Timer* timer = nullptr;
    int ticks = 0;
    static void Tick(void* data, ObjectBase* /*sender*/) {
      auto* self = static_cast<SelfRelease*>(data);
      ++self->ticks;
      ReleaseAndClear(self->timer);
    }
  } self;
  self.timer = NewTimer(10);
  self.timer->OnTimer = NotifyEvent{&SelfRelease::Tick, &self};
  self.timer->SetEnabled(true);
  ASSERT_TRUE(PumpUntil([&] { return self.timer == nullptr; }));
  EXPECT_EQ(self.ticks, 1);
  EXPECT_EQ(TimerHost, nullptr);
}

// A host whose window cannot be made (a child style without a parent): the
// timer stays idle instead of running under an identifier of the platform's
// choosing, which the tick could not map back to a Timer.
TEST_F(TimerTest, NoHostWindowLeavesTheTimerIdle) {
  Ticks ticks;
  Ticks reference;
  Timer* other = TickingTimer(reference);
  TControl* brokenHost = CreateControl(nullptr, "", false);
  brokenHost->Style = WS_CHILD;
  brokenHost->IsChild = true;
  TimerHost = brokenHost;

  Timer* timer = TickingTimer(ticks);
  timer->SetEnabled(true);
  EXPECT_TRUE(timer->Enabled);
  EXPECT_EQ(timer->TimerId, 0u);
  EXPECT_EQ(brokenHost->Handle, nullptr);
  timer->SetEnabled(false);
  Release(timer);
  EXPECT_EQ(TimerHost, brokenHost) << "another timer still lives";

  // Once the host is gone a working one is made.
  ReleaseAndClear(TimerHost);
  other->SetEnabled(true);
  ASSERT_NE(TimerHost, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return reference.count >= 1; }));
  EXPECT_EQ(ticks.count, 0);
  Release(other);
  EXPECT_EQ(TimerHost, nullptr);
}

}  // namespace
