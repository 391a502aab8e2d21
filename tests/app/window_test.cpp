// How start-up leaves the window: what the controls show before the first
// tick, that the poll runs from the start at its period, and that the
// window takes everything start-up made with it when the program ends.
// (The layout is checked from outside, on the running program; what a click
// on each cell does, in the cell clicks test; the exit question, in its own.)
#include <gtest/gtest.h>

#include "app_support.h"
#include "colors.h"
#include "constants.h"
#include "pump.h"
#include "timer_marker.h"
#include "virtual_port.h"

namespace {

TEST(MainWindow, ShowsStartUpValuesUntilTheFirstTick) {
  BuiltForm form;
  form->PollTimer->SetEnabled(false);
  ASSERT_TRUE(form->Window->Realize());

  const char* startTexts[] = {"000", "000", "000", "00", "00", "00", "00000000", "00000000", "00000000"};
  for (size_t i = 0; i < kValueLabelFields.size(); ++i) {
    EXPECT_EQ(TextOf((form.form->*kValueLabelFields[i])->Handle), startTexts[i]);
  }
  for (size_t i = 0; i < PinMap.size(); ++i) {
    TControl* cell = form.form->*kCells[i].Field;
    EXPECT_EQ(TextOf(cell->Handle), PinMap[i].Caption);
    EXPECT_EQ(cell->Color, kColorBtnFace) << PinMap[i].Caption;
  }
  TControl* list = form->PortList;
  EXPECT_FALSE(list->OnClick.Assigned() || list->OnChange.Assigned() || list->OnSelect.Assigned());
  EXPECT_EQ(list->Color, kColorWindow);

  // Sized with height 0, the port list keeps the height a combo box of its
  // kind gives itself (22 pixels on Windows; Wine's font makes it 24).
  const LONG style = GetWindowLongA(list->Handle, GWL_STYLE);
  HWND reference = CreateWindowExA(GetWindowLongA(list->Handle, GWL_EXSTYLE), "COMBOBOX", "",
                                   style & ~WS_VISIBLE, 0, 0, 56, 22, form->Window->Handle, nullptr,
                                   nullptr, nullptr);
  RECT listRect, referenceRect;
  GetWindowRect(list->Handle, &listRect);
  GetWindowRect(reference, &referenceRect);
  EXPECT_EQ(listRect.bottom - listRect.top, referenceRect.bottom - referenceRect.top);
  DestroyWindow(reference);
}

// Nothing but the build starts the poll: a marker of the poll's period,
// started right after the build, comes back only after a poll has read the
// port and shown what it read.
TEST(MainWindow, PollsFromTheStartAtItsPeriod) {
  VirtualPort vport;
  vport.Reset();
  vport.Write(kDR, 0xA5);
  BuiltForm form;
  PortState.BaseAddress = kLpt1Base;
  const uint32_t start = vport.NextSequence();
  TimerMarker marker(kPollPeriodMs);
  marker.Start();
  ASSERT_TRUE(PumpUntil([&] { return marker.CameBack(); }));
  const std::vector<AccessRecord> log = vport.LogSince(start);
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[0].Port, kDR);
  EXPECT_EQ(TextOf(form->DRDecimal->Handle), "165");
}

// The program ends by shutting its main window down: the window takes the
// form record, the poll timer and every control with it.
TEST(MainWindow, ShutdownReleasesEverythingStartUpMade) {
  const int32_t objectsBefore = ObjectBase::LiveCount();
  HWND window = nullptr;
  {
    BuiltForm form;
    window = form->Window->Handle;
    ASSERT_NE(window, nullptr);
    ASSERT_NE(TimerCount, 0);
  }  // shuts the main window down, as the end of the run does
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(MainWindow, nullptr);
  EXPECT_EQ(TimerCount, 0);
  EXPECT_EQ(ObjectBase::LiveCount(), objectsBefore);
}

}  // namespace
