// The run loop: draining, WM_NULL and WM_QUIT in the queue, the close query
// while running, and shutdown releasing everything the main form holds.
#include <gtest/gtest.h>

#include <vector>

#include "application.h"
#include "framework_fixture.h"
#include "kinds.h"
#include "properties.h"
#include "timer.h"
#include "window.h"
#include "combobox.h"
#include "dispatch.h"

namespace {

using RunLoopTest = FrameworkTest;

constexpr UINT kMarker = WM_APP + 7;
// Marker tag on whose arrival the window posts a WM_NULL and then WM_QUIT.
constexpr WPARAM kNullThenQuit = 99;

// A message-only window that records the markers and WM_NULLs it receives.
class MarkerWindow {
 public:
  MarkerWindow() {
    WNDCLASSA cls{};
    cls.lpfnWndProc = Proc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "run_loop_marker";
    RegisterClassA(&cls);
    window_ = CreateWindowExA(0, cls.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              cls.hInstance, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~MarkerWindow() { DestroyWindow(window_); }
  void Post(UINT msg, WPARAM tag = 0) const { PostMessageA(window_, msg, tag, 0); }
  std::vector<WPARAM> seen;  // marker tags, 0 for a WM_NULL

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<MarkerWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self != nullptr && (msg == kMarker || msg == WM_NULL)) {
      self->seen.push_back(wParam);
      if (msg == kMarker && wParam == kNullThenQuit) {
        self->Post(WM_NULL);
        PostMessageA(nullptr, WM_QUIT, 0, 0);
      }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  HWND window_ = nullptr;
};

TEST_F(RunLoopTest, WmNullEndsADrainAndWmQuitIsNeverDispatched) {
  MarkerWindow marker;
  marker.Post(kMarker, 1);
  marker.Post(WM_NULL);
  marker.Post(kMarker, 2);
  PostMessageA(nullptr, WM_QUIT, 0, 0);
  marker.Post(kMarker, 3);
  ProcessMessages();
  EXPECT_EQ(marker.seen, (std::vector<WPARAM>{1, 0})) << "the WM_NULL is dispatched, then the drain ends";
  EXPECT_FALSE(Terminated);
  ProcessMessages();
  EXPECT_EQ(marker.seen, (std::vector<WPARAM>{1, 0, 2, 3})) << "messages behind the quit still run";
  EXPECT_TRUE(Terminated);
}

TEST_F(RunLoopTest, RunWithAQuitAlreadyQueued) {
  const int32_t live = ObjectBase::LiveCount();
  TControl* form = CreateForm(nullptr, "short run");
  SetColor(CreateLabel(form, "x"), 0x808000);
  PostQuitMessage(0);
  ::Run(form);
  EXPECT_EQ(ObjectBase::LiveCount(), live) << "the form and its label are released";
  EXPECT_EQ(MainWindow, nullptr);
  EXPECT_FALSE(Running);
}

bool watchdogFired = false;
void CALLBACK Watchdog(HWND /*window*/, UINT /*msg*/, UINT_PTR /*id*/, DWORD /*time*/) noexcept {
  watchdogFired = true;
}

// The quit waits behind a WM_NULL that ended a drain, with nothing else to
// come: the loop must take it without waiting for new input.
TEST_F(RunLoopTest, RunTakesAQuitLeftBehindAWmNull) {
  TControl* form = CreateForm(nullptr, "null then quit");
  ASSERT_NE(GetHandle(form), nullptr);
  SetVisible(form, true);
  DrainMessages();
  MarkerWindow marker;
  marker.Post(kMarker, kNullThenQuit);
  watchdogFired = false;
  const UINT_PTR watchdog = SetTimer(nullptr, 0, 3000, Watchdog);
  const HWND window = form->Handle;
  ::Run(form);
  KillTimer(nullptr, watchdog);
  EXPECT_FALSE(IsWindow(window)) << "the form is released";
  EXPECT_FALSE(watchdogFired) << "the loop slept with the quit message queued";
}

// Refuses the first close and checks that the application keeps running,
// then asks for a second close, which it allows.
struct CloseQuery {
  TControl* form = nullptr;
  int asked = 0;
  bool stateKeptAfterRefusal = false;
  static void Ask(void* data, ObjectBase* /*sender*/, bool& canClose) {
    auto* self = static_cast<CloseQuery*>(data);
    if (++self->asked == 1) {
      canClose = false;
      PostMessageA(self->form->Handle, WM_CLOSE, 0, 0);
      return;
    }
    self->stateKeptAfterRefusal = Running && !Terminated && MainWindow == self->form &&
                                  IsWindowVisible(self->form->Handle);
  }
};

TEST_F(RunLoopTest, RefusedCloseKeepsTheLoopRunning) {
  CloseQuery query;
  TControl* form = CreateForm(nullptr, "refuse once");
  query.form = form;
  SetOnCloseQuery(form, CloseQueryEvent{&CloseQuery::Ask, &query});
  ASSERT_NE(GetHandle(form), nullptr);
  PostMessageA(form->Handle, WM_CLOSE, 0, 0);
  ::Run(form);
  EXPECT_EQ(query.asked, 2);
  EXPECT_TRUE(query.stateKeptAfterRefusal);
}

// A record owned by the main form, like the port monitor's form record.
struct OwnedRecord : ObjectBase {};

// Closes the main form once the timer it owns has ticked three times.
struct CloseAfterTicks {
  TControl* form = nullptr;
  int ticks = 0;
  static void Tick(void* data, ObjectBase* /*sender*/) {
    auto* self = static_cast<CloseAfterTicks*>(data);
    if (++self->ticks == 3) PostMessageA(self->form->Handle, WM_CLOSE, 0, 0);
  }
};

TEST_F(RunLoopTest, ShutdownReleasesTheFormItsObjectsAndTheTimer) {
  CloseAfterTicks closer;
  TControl* form = CreateForm(nullptr, "owner");
  closer.form = form;
  SetColor(CreatePanel(CreateGroupBox(form, "box"), 0), 0x808000);
  CreateComboBox(form, 0);
  AddOwned(form, NewObject<OwnedRecord>());
  Timer* timer = NewTimer(10);
  timer->OnTimer = NotifyEvent{&CloseAfterTicks::Tick, &closer};
  AddOwned(form, timer);
  timer->SetEnabled(true);
  HWND host = TimerHost->Handle;
  HWND formWindow = GetHandle(form);
  const int32_t live = ObjectBase::LiveCount();

  ::Run(form);
  EXPECT_GE(closer.ticks, 3);
  EXPECT_LT(ObjectBase::LiveCount(), live) << "the form is released";
  EXPECT_EQ(MainWindow, nullptr);
  EXPECT_FALSE(IsWindow(formWindow));
  EXPECT_EQ(TimerHost, nullptr);
  EXPECT_FALSE(IsWindow(host));
  EXPECT_FALSE(KillTimer(host, reinterpret_cast<UINT_PTR>(timer)));
  // The fixture checks that every object and brush is gone.
}

}  // namespace
