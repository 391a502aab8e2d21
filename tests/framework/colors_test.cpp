// Colours and brushes, colour requests passed on by parents, and command
// notifications turned into events.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "framework_fixture.h"
#include "messages.h"
#include "mouse_input.h"
#include "notifications.h"
#include "properties.h"

// Heap allocations are counted while a CountedAllocations lives (the poll
// path must make none). The replacements pair malloc with free; the
// compiler cannot tell once inlined.
namespace {
int* allocationCount = nullptr;
}  // namespace

#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  if (allocationCount != nullptr) ++*allocationCount;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t /*size*/) noexcept { std::free(block); }

namespace {

class CountedAllocations {
 public:
  CountedAllocations() { allocationCount = &count_; }
  ~CountedAllocations() { allocationCount = nullptr; }
  CountedAllocations(const CountedAllocations&) = delete;
  CountedAllocations& operator=(const CountedAllocations&) = delete;
  int Count() const { return count_; }

 private:
  int count_ = 0;
};

constexpr uint32_t kTeal = 0x808000;

using ColorsTest = FrameworkTest;

TEST_F(ColorsTest, CellsShareTheFormBrushUntilTheyTurnTeal) {
  CellForm f;
  const int32_t before = LiveBrushCount();
  HBRUSH formBrush = GetBrush(f.cell);
  EXPECT_EQ(formBrush, f.form->Brush);
  EXPECT_EQ(GetBrush(f.box), formBrush);
  EXPECT_EQ(LiveBrushCount(), before + 1);

  f.Show();
  ValidateRect(f.cell->Handle, nullptr);
  SetColor(f.cell, kTeal);
  EXPECT_TRUE(GetUpdateRect(f.cell->Handle, nullptr, FALSE)) << "a real change repaints";
  HBRUSH tealBrush = GetBrush(f.cell);
  EXPECT_NE(tealBrush, formBrush);
  EXPECT_EQ(f.cell->Brush, tealBrush);
  EXPECT_EQ(LiveBrushCount(), before + 2);

  SetColor(f.cell, kColorBtnFace);
  EXPECT_EQ(f.cell->Brush, nullptr) << "the teal brush is deleted at once";
  EXPECT_EQ(LiveBrushCount(), before + 1);
  EXPECT_EQ(GetBrush(f.cell), formBrush);

  // An equal RGB value is not the same colour value: no sharing.
  SetColor(f.cell, GetSysColor(COLOR_BTNFACE));
  EXPECT_NE(GetBrush(f.cell), formBrush);

  // As if the button-face colour had changed while running: the stale
  // brush is deleted and remade from the current colour.
  f.form->BrushColor ^= 0x010101;
  const int32_t live = LiveBrushCount();
  EXPECT_EQ(GetBrush(f.box), f.form->Brush);
  EXPECT_EQ(GetObjectType(formBrush), 0u);
  EXPECT_EQ(f.form->BrushColor, GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(LiveBrushCount(), live);
}

// What the poll does to twenty cells on every tick, with nothing changing.
// (What that costs is timed by the poll benchmark.)
TEST_F(ColorsTest, PollPathMakesNothing) {
  CellForm f;
  TControl* cells[20];
  for (int i = 0; i < 20; ++i) {
    cells[i] = CreatePanel(f.box, 0);
    if (i % 2 == 0) SetColor(cells[i], kTeal);
    GetBrush(cells[i]);
  }
  f.Show();
  for (TControl* cell : cells) ValidateRect(cell->Handle, nullptr);
  const int32_t brushes = LiveBrushCount();
  {
    CountedAllocations probe;
    { std::string text(64, 'x'); }
    ASSERT_GT(probe.Count(), 0) << "allocations are not being counted";
  }

  CountedAllocations allocations;
  for (int poll = 0; poll < 10; ++poll) {
    for (int i = 0; i < 20; ++i) {
      SetColor(cells[i], i % 2 == 0 ? kTeal : kColorBtnFace);
      GetBrush(cells[i]);
    }
  }
  EXPECT_EQ(allocations.Count(), 0);
  EXPECT_EQ(LiveBrushCount(), brushes);
  for (TControl* cell : cells) EXPECT_FALSE(GetUpdateRect(cell->Handle, nullptr, FALSE));
}

TEST_F(ColorsTest, ParentPassesColourRequestsToTheChild) {
  CellForm f;
  ASSERT_NE(GetHandle(f.form), nullptr);
  f.cell->TextColor = 0x0000FF;
  SetColor(f.cell, kTeal);
  HDC dc = GetDC(f.cell->Handle);
  SetBkMode(dc, TRANSPARENT);
  const LRESULT reply = SendMessageA(f.box->Handle, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(f.cell->Handle));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(reply), f.cell->Brush);
  EXPECT_EQ(GetTextColor(dc), static_cast<COLORREF>(0x0000FF));
  EXPECT_EQ(GetBkColor(dc), static_cast<COLORREF>(kTeal));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  ReleaseDC(f.cell->Handle, dc);
}

TEST_F(ColorsTest, ClickNotificationsReachTheCell) {
  CellForm f;
  ASSERT_NE(GetHandle(f.form), nullptr);
  EventCounter clicks;
  f.cell->OnClick = clicks.Handler();

  f.cell->FocusDepth = 1;
  PressLeftButton(f.cell->Handle);
  EXPECT_EQ(clicks.calls, 0) << "a click during a focus change raises nothing";
  f.cell->FocusDepth = 0;
  PressLeftButton(f.cell->Handle);
  EXPECT_EQ(clicks.calls, 1);
  EXPECT_EQ(clicks.sender, f.cell);
  // A code that matches none of the static kind's codes raises no event,
  // and the notification goes on to the static's own processing.
  const LPARAM from = reinterpret_cast<LPARAM>(f.cell->Handle);
  MessageRecord unmatched{f.cell->Handle, ReflectedCommand, MAKEWPARAM(0, STN_ENABLE), from};
  LRESULT result = 0;
  EXPECT_FALSE(ChildControlHandler(f.cell, unmatched, result));
}

// A press is a press, whoever made it: a cell clicks on every press and
// click notification that reaches it, sent or posted, mouse button down or
// not, the second press of a double click too; a notification that does not
// come to the cell's parent does not click.
TEST_F(ColorsTest, EveryPressOfACellClicks) {
  CellForm f;
  ASSERT_NE(GetHandle(f.form), nullptr);
  EventCounter clicks;
  f.cell->OnClick = clicks.Handler();
  const HWND cell = f.cell->Handle;
  const LPARAM from = reinterpret_cast<LPARAM>(cell);
  const WPARAM clicked = MAKEWPARAM(f.cell->ControlId, STN_CLICKED);
  const struct {
    HWND window;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    int clicks;
  } presses[] = {
      {cell, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4), 1},
      {f.box->Handle, WM_COMMAND, clicked, from, 1},
      {cell, ReflectedCommand, clicked, from, 1},
      {cell, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4), 1},
      {f.form->Handle, WM_COMMAND, clicked, from, 0},
  };
  for (const auto& m : presses) {
    SCOPED_TRACE(m.msg);
    clicks.calls = 0;
    SendMessageA(m.window, m.msg, m.wParam, m.lParam);
    PostMessageA(m.window, m.msg, m.wParam, m.lParam);
    DrainMessages();
    EXPECT_EQ(clicks.calls, 2 * m.clicks);
  }
}

}  // namespace
