// How start-up leaves the window before the first tick: who owns what, which
// handlers are wired, and what the controls show. (The layout itself is
// checked from outside, on the running program.)
#include <gtest/gtest.h>

#include "app_support.h"
#include "colors.h"
#include "application.h"

namespace {

TEST(MainWindow, IsWiredAndShowsStartUpValuesUntilTheFirstTick) {
  BuiltForm form;
  EXPECT_EQ(MainWindow, form->Window);
  EXPECT_GE(form->Window->Owned->IndexOf(form.form), 0);
  EXPECT_GE(form->Window->Owned->IndexOf(form->PollTimer), 0);
  EXPECT_NE(form->PollTimer->TimerId, 0u);
  EXPECT_EQ(form->PollTimer->Interval, 10);
  EXPECT_EQ(form->Window->OnCloseQuery.Data, form.form);
  form->PollTimer->SetEnabled(false);
  ASSERT_TRUE(form->Window->Realize());

  const char* startTexts[] = {"000", "000", "000", "00", "00", "00", "00000000", "00000000", "00000000"};
  for (size_t i = 0; i < kValueLabelFields.size(); ++i) {
    EXPECT_EQ(WindowText((form.form->*kValueLabelFields[i])->Handle), startTexts[i]);
  }
  // Only DR and CR cells answer a click, each with the MainForm as context.
  for (size_t i = 0; i < PinMap.size(); ++i) {
    TControl* cell = form.form->*kCellFields[i];
    EXPECT_EQ(WindowText(cell->Handle), PinMap[i].Caption);
    EXPECT_EQ(cell->Color, kColorBtnFace) << PinMap[i].Caption;
    EXPECT_EQ(cell->OnClick.Assigned(), PinMap[i].ClickFlips) << PinMap[i].Caption;
    EXPECT_EQ(cell->OnClick.Data, PinMap[i].ClickFlips ? form.form : nullptr);
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

}  // namespace
