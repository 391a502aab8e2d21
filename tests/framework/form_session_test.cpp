// Real mouse clicks on framed cells, and a whole session of a small program
// built from the framework: build, show, click, tick, close, nothing left.
#include <gtest/gtest.h>

#include <vector>

#include "application.h"
#include "framework_fixture.h"
#include "items.h"
#include "kinds.h"
#include "messages.h"
#include "mouse_input.h"
#include "properties.h"
#include "timer.h"
#include "window.h"

namespace {

using FormSessionTest = FrameworkTest;

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

// Notification codes that reached a cell, recorded ahead of its own handler.
std::vector<WORD> cellNotifications;

bool RecordNotification(TControl* /*control*/, MessageRecord& message, LRESULT& /*result*/) {
  if (message.Msg == ReflectedCommand) cellNotifications.push_back(HIWORD(message.WParam));
  return false;
}

bool Seen(WORD code) {
  for (WORD seen : cellNotifications) {
    if (seen == code) return true;
  }
  return false;
}

POINT Offset(POINT p, int dx, int dy) { return POINT{p.x + dx, p.y + dy}; }

void BringToFront(TControl* form) {
  SetWindowPos(form->Handle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  UpdateWindow(form->Handle);
}

TEST_F(FormSessionTest, OneClickPerRealMouseClickOnAFramedCell) {
  TControl* form = CreateForm(nullptr, "click");
  SetBounds(form, RECT{300, 300, 500, 460});
  TControl* box = CreateGroupBox(form, "DR");
  TControl* cell = CreatePanel(box, 0);
  SetSize(cell, 40, 40);
  Counter cellClicks;
  Counter boxClicks;
  cell->OnClick = cellClicks.Handler();
  box->OnClick = boxClicks.Handler();
  cellNotifications.clear();
  AddMessageHandler(cell, RecordNotification);
  form->Realize();
  BringToFront(form);
  DrainMessages();

  const POINT centre = ClientCentreOnScreen(cell->Handle);
  ASSERT_EQ(WindowFromPoint(centre), cell->Handle) << "the cell must be on top to be clicked";
  // Apart by more than the double-click rectangle, so the first click stays single.
  ASSERT_TRUE(ClickAt(Offset(centre, -8, -8)));
  ASSERT_TRUE(PumpUntil([&] { return cellClicks.calls >= 1; }));
  EXPECT_EQ(cellClicks.sender, cell);

  ASSERT_TRUE(ClickAt(Offset(centre, 8, 8), 2));
  ASSERT_TRUE(PumpUntil([] { return Seen(STN_DBLCLK); }));
  DrainMessages();
  EXPECT_EQ(cellClicks.calls, 2) << "the double-click notification raises no click";
  EXPECT_EQ(boxClicks.calls, 0);
  Release(form);
}

// The small program: its handlers drive the session from inside Run.
struct Session {
  TControl* form = nullptr;
  TControl* cell = nullptr;
  TControl* ports = nullptr;
  int ticks = 0;
  int clicks = 0;
  int closeQueries = 0;
  bool clicked = false;
  bool gaveUp = false;

  static void Tick(void* data, ObjectBase* /*sender*/) {
    auto* self = static_cast<Session*>(data);
    ++self->ticks;
    if (self->ticks == 1) {
      BringToFront(self->form);
      SetColor(self->cell, 0x808000);
      self->clicked = ClickAt(ClientCentreOnScreen(self->cell->Handle));
    } else if (self->ticks == 1000 && self->clicks == 0) {
      // No click within ten seconds: end the session rather than hang.
      self->gaveUp = true;
      PostMessageA(self->form->Handle, WM_CLOSE, 0, 0);
    }
  }
  static void Click(void* data, ObjectBase* /*sender*/) {
    auto* self = static_cast<Session*>(data);
    if (++self->clicks == 1) PostMessageA(self->form->Handle, WM_CLOSE, 0, 0);
  }
  static void CloseQuery(void* data, ObjectBase* /*sender*/, bool& /*canClose*/) {
    ++static_cast<Session*>(data)->closeQueries;
  }
};

TEST_F(FormSessionTest, BuildShowClickTickCloseAndNothingIsLeft) {
  Session session;
  TControl* form = CreateForm(nullptr, "Session");
  session.form = form;
  MainWindow = form;
  SetBounds(form, RECT{320, 320, 620, 520});
  TControl* box = CreateGroupBox(form, "Data Register");
  SetSize(box, 200, 90);
  TControl* value = CreateLabel(box, "0");
  SetAlignment(value, 2);
  for (int i = 0; i < 3; ++i) {
    TControl* cell = CreatePanel(box, 0);
    SetPosition(cell, 10 + 30 * i, 50);
    SetSize(cell, 24, 24);
    SetAlignment(cell, 2);
    SetText(cell, std::to_string(2 + i));
    if (i == 1) session.cell = cell;
  }
  session.cell->OnClick = NotifyEvent{&Session::Click, &session};
  session.ports = CreateComboBox(form, kComboNoIntegralHeight);
  SetPosition(session.ports, 220, 10);
  ClearItems(session.ports);
  AddItem(session.ports, "LPT1");
  SetOnCloseQuery(form, CloseQueryEvent{&Session::CloseQuery, &session});
  Timer* timer = NewTimer(10);
  timer->OnTimer = NotifyEvent{&Session::Tick, &session};
  AddOwned(form, timer);
  timer->SetEnabled(true);

  ::Run(form);

  EXPECT_TRUE(session.clicked);
  EXPECT_FALSE(session.gaveUp) << "the click never arrived";
  EXPECT_EQ(session.clicks, 1);
  EXPECT_GE(session.ticks, 1);
  EXPECT_EQ(session.closeQueries, 1);
  EXPECT_EQ(form, nullptr);
  EXPECT_EQ(MainWindow, nullptr);
  EXPECT_EQ(TimerHost, nullptr);
  EXPECT_EQ(TimerCount, 0);
  EXPECT_EQ(ObjectBase::LiveCount(), 0);
  EXPECT_EQ(LiveBrushCount(), 0);
}

}  // namespace
