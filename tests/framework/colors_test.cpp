// Colours and brushes, colour requests passed on by parents, background
// erasing, and command notifications turned into events.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "framework_fixture.h"
#include "kinds.h"
#include "messages.h"
#include "properties.h"
#include "window.h"

// Heap allocations made while `countAllocations` is set (the poll path must make none).
namespace {
bool countAllocations = false;
int allocations = 0;
}  // namespace

// The replacements pair malloc with free; the compiler cannot tell once inlined.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  if (countAllocations) ++allocations;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t /*size*/) noexcept { std::free(block); }

namespace {

constexpr uint32_t kTeal = 0x808000;

using ColorsTest = FrameworkTest;

struct Counter {
  int calls = 0;
  ObjectBase* sender = nullptr;
  static void Count(void* data, ObjectBase* sender) {
    auto* counter = static_cast<Counter*>(data);
    ++counter->calls;
    counter->sender = sender;
  }
  NotifyEvent Handler() { return NotifyEvent{&Counter::Count, this}; }
};

// A form with one group box holding one framed cell, as the port monitor has.
struct CellForm {
  TControl* form;
  TControl* box;
  TControl* cell;
  CellForm() {
    form = CreateForm(nullptr, "cells");
    SetBounds(form, RECT{60, 60, 260, 220});
    box = CreateGroupBox(form, "DR");
    cell = CreatePanel(box, 0);
    SetSize(cell, 24, 24);
  }
  ~CellForm() { Release(form); }
  void Show() {
    form->Realize();
    SetWindowPos(form->Handle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    UpdateWindow(form->Handle);
    DrainMessages();
  }
};

TEST_F(ColorsTest, ColorToRGB) {
  struct Row {
    const char* label;
    uint32_t color;
    COLORREF rgb;
  } rows[] = {
      {"button face", kColorBtnFace, GetSysColor(COLOR_BTNFACE)},
      {"window text", kColorWindowText, GetSysColor(COLOR_WINDOWTEXT)},
      {"window", kColorWindow, GetSysColor(COLOR_WINDOW)},
      {"teal", kTeal, 0x808000},
      {"black", 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ColorToRGB(row.color), row.rgb);
  }
}

TEST_F(ColorsTest, CellsShareTheFormBrushUntilTheyTurnTeal) {
  CellForm f;
  const int32_t before = LiveBrushCount();
  HBRUSH formBrush = GetBrush(f.cell);
  EXPECT_EQ(formBrush, f.form->Brush) << "the cell uses the form's brush";
  EXPECT_EQ(GetBrush(f.box), formBrush);
  EXPECT_EQ(f.cell->Brush, nullptr);
  EXPECT_EQ(LiveBrushCount(), before + 1);

  SetColor(f.cell, kTeal);
  HBRUSH tealBrush = GetBrush(f.cell);
  EXPECT_NE(tealBrush, formBrush);
  EXPECT_EQ(f.cell->Brush, tealBrush);
  EXPECT_EQ(f.cell->BrushColor, static_cast<COLORREF>(kTeal));
  EXPECT_EQ(GetBrush(f.cell), tealBrush) << "cached";
  EXPECT_EQ(LiveBrushCount(), before + 2);

  SetColor(f.cell, kColorBtnFace);
  EXPECT_EQ(f.cell->Brush, nullptr) << "the teal brush is deleted at once";
  EXPECT_EQ(LiveBrushCount(), before + 1);
  EXPECT_EQ(GetBrush(f.cell), formBrush);

  // An equal RGB value is not the same colour value: no sharing.
  SetColor(f.cell, GetSysColor(COLOR_BTNFACE));
  EXPECT_NE(GetBrush(f.cell), formBrush);
}

TEST_F(ColorsTest, ChildrenMadeAfterAColourChangeInheritIt) {
  TControl* form = CreateForm(nullptr, "inherit");
  SetColor(form, kTeal);
  TControl* box = CreateGroupBox(form, "box");
  TControl* cell = CreatePanel(box, 0);
  EXPECT_EQ(cell->Color, kTeal);
  EXPECT_EQ(GetBrush(cell), GetBrush(form));
  Release(form);
}

TEST_F(ColorsTest, UnchangedColourNeitherInvalidatesNorDropsTheBrush) {
  CellForm f;
  f.Show();
  SetColor(f.cell, kTeal);
  HBRUSH brush = GetBrush(f.cell);
  ValidateRect(f.cell->Handle, nullptr);

  SetColor(f.cell, kTeal);
  EXPECT_FALSE(GetUpdateRect(f.cell->Handle, nullptr, FALSE));
  EXPECT_EQ(f.cell->Brush, brush);

  SetColor(f.cell, kColorBtnFace);
  EXPECT_TRUE(GetUpdateRect(f.cell->Handle, nullptr, FALSE));
}

TEST_F(ColorsTest, StaleSystemColourBrushIsRemade) {
  CellForm f;
  HBRUSH first = GetBrush(f.cell);
  const int32_t live = LiveBrushCount();
  // As if the button-face colour had changed since the brush was made.
  f.form->BrushColor ^= 0x010101;
  HBRUSH second = GetBrush(f.cell);
  EXPECT_EQ(f.form->Brush, second);
  EXPECT_EQ(f.form->BrushColor, GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(LiveBrushCount(), live) << "the stale brush was deleted";
  EXPECT_EQ(GetObjectType(first), 0u) << "and is no longer a GDI object";
}

TEST_F(ColorsTest, ParentPassesColourRequestsToTheChild) {
  CellForm f;
  f.Show();
  f.cell->TextColor = 0x0000FF;
  SetColor(f.cell, kTeal);
  HDC dc = GetDC(f.cell->Handle);
  SetBkMode(dc, TRANSPARENT);
  const LRESULT reply = SendMessageA(f.box->Handle, WM_CTLCOLORSTATIC,
                                     reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(f.cell->Handle));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(reply), f.cell->Brush);
  EXPECT_EQ(GetTextColor(dc), static_cast<COLORREF>(0x0000FF));
  EXPECT_EQ(GetBkColor(dc), static_cast<COLORREF>(kTeal));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  ReleaseDC(f.cell->Handle, dc);
}

TEST_F(ColorsTest, FormsAndGroupBoxesEraseWithTheirBrush) {
  CellForm f;
  f.Show();
  SetColor(f.box, kTeal);
  HDC screen = GetDC(f.box->Handle);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 200);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, 200, 200};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

  SendMessageA(f.box->Handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  EXPECT_EQ(GetPixel(dc, 1, 1), static_cast<COLORREF>(kTeal));
  RECT client;
  GetClientRect(f.box->Handle, &client);
  EXPECT_EQ(GetPixel(dc, client.right - 1, client.bottom - 1), static_cast<COLORREF>(kTeal));

  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(f.box->Handle, screen);
}

TEST_F(ColorsTest, NotificationCodesRaiseTheKindsEvents) {
  TControl* form = CreateForm(nullptr, "codes");
  TControl* combo = CreateComboBox(form, 0);
  // Without a tab stop a click does not move the focus, which would raise OnEnter.
  combo->TabStop = false;
  ASSERT_NE(GetHandle(form), nullptr);
  Counter click, enter, exit, change, select;
  combo->OnClick = click.Handler();
  combo->OnEnter = enter.Handler();
  combo->OnExit = exit.Handler();
  combo->OnChange = change.Handler();
  combo->OnSelect = select.Handler();

  struct Row {
    const char* label;
    WORD code;
    bool handled;
    Counter* raised;
  } rows[] = {
      {"double click is the combo's click", CBN_DBLCLK, true, &click},
      {"set focus", CBN_SETFOCUS, true, &enter},
      {"kill focus", CBN_KILLFOCUS, true, &exit},
      {"edit change", CBN_EDITCHANGE, true, &change},
      {"deferred selection", DeferredSelectCode, true, &select},
      {"a code of no kind entry", CBN_EDITUPDATE, false, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    Counter* all[] = {&click, &enter, &exit, &change, &select};
    for (Counter* c : all) c->calls = 0;
    MessageRecord message{combo->Handle, ReflectedCommand, MAKEWPARAM(0, row.code),
                          reinterpret_cast<LPARAM>(combo->Handle)};
    LRESULT result = 0;
    EXPECT_EQ(ChildControlHandler(combo, message, result), row.handled);
    for (Counter* c : all) {
      EXPECT_EQ(c->calls, c == row.raised ? 1 : 0);
      if (c == row.raised) {
        EXPECT_EQ(c->sender, combo);
      }
    }
  }
  Release(form);
}

TEST_F(ColorsTest, ClickDuringAFocusChangeRaisesNothing) {
  CellForm f;
  ASSERT_NE(GetHandle(f.form), nullptr);
  Counter clicks;
  f.cell->OnClick = clicks.Handler();
  const WPARAM clicked = MAKEWPARAM(f.cell->ControlId, STN_CLICKED);
  const LPARAM from = reinterpret_cast<LPARAM>(f.cell->Handle);

  f.cell->FocusDepth = 1;
  SendMessageA(f.box->Handle, WM_COMMAND, clicked, from);
  EXPECT_EQ(clicks.calls, 0);
  f.cell->FocusDepth = 0;
  SendMessageA(f.box->Handle, WM_COMMAND, clicked, from);
  EXPECT_EQ(clicks.calls, 1);
  EXPECT_EQ(clicks.sender, f.cell);
  SendMessageA(f.box->Handle, WM_COMMAND, MAKEWPARAM(f.cell->ControlId, STN_DBLCLK), from);
  EXPECT_EQ(clicks.calls, 1) << "a static's double-click notification is no click";
}

// What the poll does to twenty cells on every tick, with nothing changing.
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

  constexpr int kPolls = 2000;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  countAllocations = true;
  { std::string probe(64, 'x'); }
  countAllocations = false;
  ASSERT_GT(allocations, 0) << "allocations are not being counted";

  allocations = 0;
  countAllocations = true;
  QueryPerformanceCounter(&start);
  for (int poll = 0; poll < kPolls; ++poll) {
    for (int i = 0; i < 20; ++i) {
      SetColor(cells[i], i % 2 == 0 ? kTeal : kColorBtnFace);
      GetBrush(cells[i]);
    }
  }
  QueryPerformanceCounter(&end);
  countAllocations = false;

  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(LiveBrushCount(), brushes);
  for (TControl* cell : cells) EXPECT_FALSE(GetUpdateRect(cell->Handle, nullptr, FALSE));
  std::printf("20 unchanged colours and brushes: %.2f us per poll\n",
              1e6 * static_cast<double>(end.QuadPart - start.QuadPart) /
                  static_cast<double>(frequency.QuadPart) / kPolls);
}

}  // namespace
