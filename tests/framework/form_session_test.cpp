// Real mouse clicks on a framed cell, and a whole session of a small program
// built from the framework: build, show, click, tick, close, nothing left.
#include <gtest/gtest.h>

#include <string>

#include "application.h"
#include "framework_fixture.h"
#include "items.h"
#include "kinds.h"
#include "messages.h"
#include "mouse_input.h"
#include "properties.h"
#include "timer.h"
#include "window.h"
#include "combobox.h"
#include "dispatch.h"
#include "notifications.h"

namespace {

using FormSessionTest = FrameworkTest;

bool doubleClickSeen = false;

// Ahead of the cell's own handler: notes the double-click notification.
bool NoteDoubleClick(TControl* /*control*/, MessageRecord& message, LRESULT& /*result*/) {
  if (message.Msg == ReflectedCommand && HIWORD(message.WParam) == STN_DBLCLK) {
    doubleClickSeen = true;
  }
  return false;
}

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
  EventCounter cellClicks, boxClicks;
  cell->OnClick = cellClicks.Handler();
  box->OnClick = boxClicks.Handler();
  doubleClickSeen = false;
  AddMessageHandler(cell, NoteDoubleClick);
  form->Realize();
  BringToFront(form);
  DrainMessages();

  POINT centre = ClientCentreOnScreen(cell->Handle);
  ASSERT_EQ(WindowFromPoint(centre), cell->Handle) << "the cell must be on top to be clicked";
  // Apart by more than the double-click rectangle, so the first click stays single.
  ASSERT_TRUE(ClickAt(POINT{centre.x - 8, centre.y - 8}));
  ASSERT_TRUE(PumpUntil([&] { return cellClicks.calls >= 1; }));
  EXPECT_EQ(cellClicks.sender, cell);

  ASSERT_TRUE(ClickAt(POINT{centre.x + 8, centre.y + 8}, 2));
  ASSERT_TRUE(PumpUntil([] { return doubleClickSeen; }));
  DrainMessages();
  EXPECT_EQ(cellClicks.calls, 3) << "each press of a double click is a click";
  EXPECT_EQ(boxClicks.calls, 0);
  Release(form);
}

// The small program: its handlers drive the session from inside Run.
struct Session {
  TControl* form = nullptr;
  TControl* cell = nullptr;
  int ticks = 0;
  int clicks = 0;
  int closeQueries = 0;
  bool clickSent = false;

  static void Tick(void* data, ObjectBase* /*sender*/) {
    auto* self = static_cast<Session*>(data);
    if (++self->ticks == 1) {
      BringToFront(self->form);
      SetColor(self->cell, 0x808000);
      self->clickSent = ClickAt(ClientCentreOnScreen(self->cell->Handle));
    } else if (self->ticks == 1000 && self->clicks == 0) {
      PostMessageA(self->form->Handle, WM_CLOSE, 0, 0);  // give up rather than hang
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
  SetAlignment(CreateLabel(box, "0"), 2);
  for (int i = 0; i < 3; ++i) {
    TControl* cell = CreatePanel(box, 0);
    SetSize(SetPosition(cell, 10 + 30 * i, 50), 24, 24);
    SetAlignment(cell, 2);
    SetText(cell, std::to_string(2 + i));
    session.cell = cell;
  }
  session.cell->OnClick = NotifyEvent{&Session::Click, &session};
  TControl* ports = CreateComboBox(form, kComboNoIntegralHeight);
  SetPosition(ports, 220, 10);
  AddItem(ports, "LPT1");
  SetOnCloseQuery(form, CloseQueryEvent{&Session::CloseQuery, &session});
  Timer* timer = NewTimer(10);
  timer->OnTimer = NotifyEvent{&Session::Tick, &session};
  AddOwned(form, timer);
  timer->SetEnabled(true);

  ::Run(form);

  EXPECT_TRUE(session.clickSent);
  EXPECT_EQ(session.clicks, 1);
  EXPECT_EQ(session.closeQueries, 1);
  EXPECT_EQ(MainWindow, nullptr) << "the form is released";
  EXPECT_EQ(TimerHost, nullptr);
  EXPECT_EQ(ObjectBase::LiveCount(), 0);
  EXPECT_EQ(LiveBrushCount(), 0);
}

}  // namespace
