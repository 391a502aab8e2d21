// Window creation and message dispatch: class registration, binding during
// creation, notifications and colour requests passed on to the child, the
// keyboard rule, the close query, and handlers that destroy controls.
#include <gtest/gtest.h>

#include <vector>

#include "colors.h"
#include "framework_fixture.h"
#include "kinds.h"
#include "message_recorder.h"
#include "messages.h"
#include "properties.h"
#include "window.h"

namespace {

constexpr UINT kDestroySelf = WM_APP + 1;
constexpr UINT kDestroyParent = WM_APP + 2;
constexpr UINT kDestroyWindow = WM_APP + 3;

class DispatchTest : public FrameworkTest {
 protected:
  static void SetUpTestSuite() {
    // Framework classes that record what reaches them; the framework finds
    // them registered and uses them.
    ASSERT_TRUE(MessageRecorder::RegisterRecordingClass("obj_Form", nullptr, FrameworkWindowProc));
    ASSERT_TRUE(MessageRecorder::RegisterRecordingClass("obj_STATIC", "STATIC", FrameworkWindowProc));
    ASSERT_TRUE(MessageRecorder::RegisterRecordingClass("obj_BUTTON", "BUTTON", FrameworkWindowProc));
    ASSERT_TRUE(MessageRecorder::RegisterRecordingClass("plain_window", nullptr, DefWindowProcA));
  }
};

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

TEST_F(DispatchTest, ClassIsRegisteredOnFirstUseAndReused) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA info{};
  ASSERT_FALSE(GetClassInfoA(instance, "obj_EDIT", &info)) << "no control has needed it yet";
  WNDCLASSA standard{};
  ASSERT_TRUE(GetClassInfoA(instance, "EDIT", &standard));

  TControl* form = CreateForm(nullptr, "classes");
  TControl* first = CreateChildControl(form, "EDIT", WS_CHILD | WS_VISIBLE, nullptr, false);
  TControl* second = CreateChildControl(form, "EDIT", WS_CHILD | WS_VISIBLE, nullptr, false);
  ASSERT_NE(GetHandle(form), nullptr);

  ASSERT_TRUE(GetClassInfoA(instance, "obj_EDIT", &info));
  EXPECT_EQ(info.lpfnWndProc, &FrameworkWindowProc);
  EXPECT_EQ(info.style, standard.style & 0xFFFFBF1Fu);
  EXPECT_EQ(info.cbWndExtra, standard.cbWndExtra) << "the standard procedure needs its extra bytes";
  EXPECT_EQ(GetClassLongA(first->Handle, GCW_ATOM), GetClassLongA(second->Handle, GCW_ATOM));
  EXPECT_EQ(first->BaseWndProc, standard.lpfnWndProc);
  EXPECT_EQ(form->BaseWndProc, nullptr) << "forms have no standard procedure";
  Release(form);
}

struct CreationTrace {
  bool sawFirst = false;
  UINT firstMsg = 0;
  HWND handleAtFirst = nullptr;
  HWND handleAtNcCreate = nullptr;
  LONG userDataAtNcCreate = 0;
};
CreationTrace creationTrace;

bool TraceCreation(TControl* control, MessageRecord& message, LRESULT&) {
  if (!creationTrace.sawFirst) {
    creationTrace.sawFirst = true;
    creationTrace.firstMsg = message.Msg;
    creationTrace.handleAtFirst = control->Handle;
  }
  if (message.Msg == WM_NCCREATE) {
    creationTrace.handleAtNcCreate = control->Handle;
    creationTrace.userDataAtNcCreate = GetWindowLongA(message.Window, GWL_USERDATA);
  }
  return false;
}

TEST_F(DispatchTest, ControlIsBoundFromTheFirstMessageOfCreation) {
  for (bool child : {false, true}) {
    creationTrace = {};
    TControl* form = CreateForm(nullptr, "binding");
    TControl* traced = child ? CreateLabel(form, "label") : form;
    AddMessageHandler(traced, TraceCreation);
    ASSERT_NE(GetHandle(form), nullptr);
    const char* label = child ? "label" : "form";
    EXPECT_TRUE(creationTrace.sawFirst) << label;
    EXPECT_EQ(creationTrace.handleAtFirst, traced->Handle)
        << label << ": first message " << MessageName(creationTrace.firstMsg);
    EXPECT_EQ(creationTrace.handleAtNcCreate, traced->Handle) << label;
    EXPECT_EQ(creationTrace.userDataAtNcCreate, reinterpret_cast<LONG>(traced)) << label;
    EXPECT_EQ(CreatingControl, nullptr) << label;
    Release(form);
  }
}

// A cell inside a group box, as the port monitor's bit cells are.
struct CellForm {
  TControl* form = CreateForm(nullptr, "cells");
  TControl* box = CreateGroupBox(form, "box");
  TControl* cell = CreatePanel(box, 0);
  CellForm() {
    SetSize(cell, 24, 24);
    GetHandle(form);  // hidden: hiding a shown window again is slow under Wine
  }
  ~CellForm() { Release(form); }
};

TEST_F(DispatchTest, ClickNotificationReachesTheChildNotItsParent) {
  CellForm f;
  Counter cellClicks, boxClicks;
  f.cell->OnClick = cellClicks.Handler();
  f.box->OnClick = boxClicks.Handler();
  MessageRecorder recorder;

  SendMessageA(f.cell->Handle, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  SendMessageA(f.cell->Handle, WM_LBUTTONUP, 0, 0);

  EXPECT_EQ(cellClicks.calls, 1);
  EXPECT_EQ(cellClicks.sender, f.cell);
  EXPECT_EQ(boxClicks.calls, 0);
  const WPARAM notification = MAKEWPARAM(f.cell->ControlId, STN_CLICKED);
  const auto cellWindow = reinterpret_cast<LPARAM>(f.cell->Handle);
  using E = ExpectedMessage;
  EXPECT_SEQUENCE(recorder.Only(f.box->Handle, WM_COMMAND),
                  (std::vector<E>{{WM_COMMAND, E::kWParam | E::kLParam, notification, cellWindow}}),
                  "the group box gets the notification");
  EXPECT_SEQUENCE(recorder.Only(f.cell->Handle, ReflectedCommand),
                  (std::vector<E>{{ReflectedCommand, E::kWParam | E::kLParam, notification, cellWindow}}),
                  "and passes it on to the cell");
  EXPECT_TRUE(recorder.Only(f.box->Handle, ReflectedCommand).empty());
}

TEST_F(DispatchTest, CommandFromAWindowWithoutControlGetsTheDefault) {
  CellForm f;
  const HWND plain = CreateWindowExA(0, "plain_window", "", WS_CHILD, 0, 0, 10, 10, f.form->Handle,
                                     nullptr, GetModuleHandleA(nullptr), nullptr);
  TControl* gone = CreateLabel(f.form, "gone");
  gone->Realize();
  const HWND goneWindow = gone->Handle;
  Release(gone);
  ASSERT_FALSE(IsWindow(goneWindow));
  Counter cellClicks;
  f.cell->OnClick = cellClicks.Handler();

  struct Row {
    const char* label;
    HWND sender;
  } rows[] = {
      {"no window (a menu)", nullptr},
      {"a window without a control", plain},
      {"a destroyed window", goneWindow},
      {"not a window at all", reinterpret_cast<HWND>(0x7FFF1234)},
  };
  for (const Row& row : rows) {
    MessageRecorder recorder;
    const LRESULT result = SendMessageA(f.box->Handle, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED),
                                        reinterpret_cast<LPARAM>(row.sender));
    EXPECT_EQ(result, 0) << row.label;
    EXPECT_TRUE(recorder.Only(nullptr, ReflectedCommand).empty()) << row.label;
  }
  EXPECT_EQ(cellClicks.calls, 0);
  DestroyWindow(plain);
}

TEST_F(DispatchTest, ColourRequestIsAnsweredByTheChild) {
  CellForm f;
  SetColor(f.cell, 0x808000);
  const HDC dc = GetDC(f.box->Handle);

  const auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
      f.box->Handle, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(f.cell->Handle)));
  EXPECT_EQ(brush, GetBrush(f.cell));
  EXPECT_EQ(GetBkColor(dc), 0x808000u);

  // A request naming no window is answered by the standard processing.
  for (LPARAM bogus : {LPARAM{0}, LPARAM{0x7FFF1234}}) {
    MessageRecorder recorder;
    SetBkColor(dc, 0);
    const LRESULT answer =
        SendMessageA(f.box->Handle, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), bogus);
    const LRESULT standard = CallWindowProcA(f.box->BaseWndProc, f.box->Handle, WM_CTLCOLORSTATIC,
                                             reinterpret_cast<WPARAM>(dc), bogus);
    EXPECT_EQ(answer, standard) << "lParam " << bogus;
    EXPECT_TRUE(recorder.Only(nullptr, ReflectedColorBase + WM_CTLCOLORSTATIC).empty());
  }
  ReleaseDC(f.box->Handle, dc);
}

// What reaches the standard procedure behind a control.
struct Reached {
  UINT msg;
  WPARAM wParam;
  bool operator==(const Reached&) const = default;
};
std::vector<Reached> reached;
WNDPROC standardEdit = nullptr;
LRESULT CALLBACK EditSpy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR || msg == WM_SYSCHAR) {
    reached.push_back({msg, wParam});
  }
  return CallWindowProcA(standardEdit, hwnd, msg, wParam, lParam);
}

void SetModifiers(bool ctrl, bool alt) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = ctrl ? 0x80 : 0;
  keys[VK_MENU] = alt ? 0x80 : 0;
  SetKeyboardState(keys);
}

TEST_F(DispatchTest, KeyboardRule) {
  TControl* form = CreateForm(nullptr, "keys");
  TControl* edit =
      CreateChildControl(form, "EDIT", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE, nullptr, false);
  TControl* other = CreateChildControl(form, "EDIT", WS_CHILD | WS_VISIBLE | WS_TABSTOP, nullptr, false);
  ASSERT_NE(GetHandle(form), nullptr);
  standardEdit = edit->BaseWndProc;
  edit->BaseWndProc = EditSpy;

  struct Row {
    const char* label;
    HWND focus;
    bool ctrl, alt;
    UINT msg;
    WPARAM key;
    bool passes;
  } rows[] = {
      {"a character passes", edit->Handle, false, false, WM_CHAR, 'a', true},
      {"a Tab character is dropped", edit->Handle, false, false, WM_CHAR, VK_TAB, false},
      {"the Tab key itself passes", edit->Handle, false, false, WM_KEYDOWN, VK_TAB, true},
      {"Ctrl+Tab passes", edit->Handle, true, false, WM_CHAR, VK_TAB, true},
      {"Alt+Tab character passes", edit->Handle, false, true, WM_CHAR, VK_TAB, true},
      {"input while another window has the focus is dropped", other->Handle, false, false, WM_CHAR, 'b', false},
  };
  for (const Row& row : rows) {
    SetFocus(row.focus);
    ASSERT_EQ(GetFocus(), row.focus) << row.label;
    SetModifiers(row.ctrl, row.alt);
    reached.clear();
    SendMessageA(edit->Handle, row.msg, row.key, 0);
    const std::vector<Reached> expected =
        row.passes ? std::vector<Reached>{{row.msg, row.key}} : std::vector<Reached>{};
    EXPECT_EQ(reached, expected) << row.label;
  }
  SetModifiers(false, false);
  Release(form);
}

struct CloseAnswer {
  bool allow = false;
  int asked = 0;
  static void Ask(void* data, ObjectBase*, bool& canClose) {
    auto* answer = static_cast<CloseAnswer*>(data);
    ++answer->asked;
    canClose = answer->allow;
  }
};

bool TakeQuitMessage() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

TEST_F(DispatchTest, CloseQueryRefusesThenAllows) {
  TControl* form = CreateForm(nullptr, "main");
  ASSERT_NE(GetHandle(form), nullptr);
  MainWindow = form;
  Running = true;
  CloseAnswer answer;
  SetOnCloseQuery(form, CloseQueryEvent{&CloseAnswer::Ask, &answer});

  SendMessageA(form->Handle, WM_CLOSE, 0, 0);
  EXPECT_EQ(answer.asked, 1);
  EXPECT_TRUE(IsWindow(form->Handle)) << "a refusal keeps the window";
  EXPECT_FALSE(TakeQuitMessage());
  EXPECT_TRUE(form->OnCloseQuery.Assigned()) << "and asks again next time";

  answer.allow = true;
  const HWND window = form->Handle;
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(answer.asked, 2);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(TakeQuitMessage());
  EXPECT_FALSE(form->OnCloseQuery.Assigned());
  EXPECT_TRUE(form->WindowDestroyed);
  Release(form);  // the main window is not released with its window
}

TEST_F(DispatchTest, RefusalOutsideTheRunLoopStillCloses) {
  TControl* form = CreateForm(nullptr, "not running");
  ASSERT_NE(GetHandle(form), nullptr);
  MainWindow = form;
  CloseAnswer answer;
  SetOnCloseQuery(form, CloseQueryEvent{&CloseAnswer::Ask, &answer});
  const HWND window = form->Handle;
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(answer.asked, 1);
  EXPECT_FALSE(IsWindow(window));
  TakeQuitMessage();
  Release(form);
}

TControl* doomedForm = nullptr;
bool DestroyingHandler(TControl* control, MessageRecord& message, LRESULT& result) {
  switch (message.Msg) {
    case kDestroySelf:
      Release(control);
      break;
    case kDestroyParent:
      Release(doomedForm);
      break;
    case kDestroyWindow:
      DestroyWindow(message.Window);
      break;
    default:
      return false;
  }
  result = 42;
  return true;
}

// A handler may destroy its own control, its parent, or its window; the
// control goes once its message has been handled, and nothing is left.
TEST_F(DispatchTest, HandlerThatDestroysControls) {
  struct Row {
    const char* label;
    UINT msg;
    bool onChild;
  } rows[] = {
      {"a form releasing itself", kDestroySelf, false},
      {"a label releasing its form", kDestroyParent, true},
      {"a label destroying its own window", kDestroyWindow, true},
  };
  for (const Row& row : rows) {
    const int32_t before = ObjectBase::LiveCount();
    doomedForm = CreateForm(nullptr, row.label);
    TControl* label = CreateLabel(doomedForm, "label");
    TControl* target = row.onChild ? label : doomedForm;
    AddMessageHandler(target, DestroyingHandler);
    ASSERT_NE(GetHandle(doomedForm), nullptr);
    const HWND window = target->Handle;
    const HWND formWindow = doomedForm->Handle;

    EXPECT_EQ(SendMessageA(window, row.msg, 0, 0), 42) << row.label;
    EXPECT_FALSE(IsWindow(window)) << row.label;
    if (row.msg == kDestroyWindow) {
      EXPECT_TRUE(IsWindow(formWindow)) << row.label;
      EXPECT_EQ(doomedForm->Children->Count, 0) << row.label << ": the label was released";
      Release(doomedForm);
    }
    EXPECT_FALSE(IsWindow(formWindow)) << row.label;
    EXPECT_EQ(ObjectBase::LiveCount(), before) << row.label;
  }
}

std::vector<RecordedMessage> mainSaw;
bool RecordForMain(TControl*, MessageRecord& message, LRESULT&) {
  mainSaw.push_back({message.Window, message.Msg, message.WParam, message.LParam, 0, {}, false, {}});
  return false;
}

// Once a control's teardown has cut its window loose, the window's last
// messages go to the main window, which stays unaffected by them.
TEST_F(DispatchTest, LastMessagesOfAReleasedFormGoToTheMainWindow) {
  TControl* main = CreateForm(nullptr, "main");
  ASSERT_NE(GetHandle(main), nullptr);
  MainWindow = main;
  AddMessageHandler(main, RecordForMain);
  TControl* other = CreateForm(nullptr, "other");
  ASSERT_NE(GetHandle(other), nullptr);
  const HWND otherWindow = other->Handle;
  mainSaw.clear();

  Release(other);
  bool sawDestroy = false;
  for (const RecordedMessage& m : mainSaw) {
    if (m.Window == main->Handle) continue;  // its own activation
    EXPECT_EQ(m.Window, otherWindow) << MessageName(m.Msg);
    sawDestroy = sawDestroy || m.Msg == WM_DESTROY;
  }
  EXPECT_TRUE(sawDestroy);
  EXPECT_FALSE(main->WindowDestroyed) << "another window's WM_DESTROY";
  EXPECT_TRUE(IsWindow(main->Handle));
  Release(main);
  EXPECT_EQ(MainWindow, nullptr) << "a released main window is no longer the main window";
}

// The combo box's inner edit field is subclassed once, however often the
// subclassing runs, and unsubclassing gives it back its own procedure.
TEST_F(DispatchTest, InnerWindowSubclassing) {
  TControl* form = CreateForm(nullptr, "inner");
  TControl* combo = CreateComboBox(form, 0);
  ASSERT_NE(GetHandle(form), nullptr);
  const HWND edit = GetWindow(combo->Handle, GW_CHILD);
  ASSERT_NE(edit, nullptr);
  const HANDLE original = GetPropA(edit, "PREV_PROC");
  EXPECT_NE(original, nullptr);
  EXPECT_EQ(GetWindowLongA(edit, GWL_WNDPROC), reinterpret_cast<LONG>(&ChildSubclassProc));

  SubclassChildren(combo);
  EXPECT_EQ(GetPropA(edit, "PREV_PROC"), original);
  SendMessageA(edit, WM_CHAR, 'x', 0);
  EXPECT_EQ(GetText(combo), "x");

  UnsubclassChildren(combo->Handle);
  EXPECT_EQ(GetPropA(edit, "PREV_PROC"), nullptr);
  EXPECT_EQ(GetWindowLongA(edit, GWL_WNDPROC), reinterpret_cast<LONG>(original));
  SendMessageA(edit, WM_CHAR, 'y', 0);
  EXPECT_EQ(GetText(combo), "xy");
  Release(form);
}

}  // namespace
