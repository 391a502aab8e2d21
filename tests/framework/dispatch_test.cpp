// Window creation and dispatch: class registration, binding during creation,
// notifications and colour requests passed on to the child, the keyboard
// rule, the close query, and handlers that destroy controls.
#include <gtest/gtest.h>

#include <vector>

#include "colors.h"
#include "framework_fixture.h"
#include "kinds.h"
#include "message_recorder.h"
#include "messages.h"
#include "mouse_input.h"
#include "properties.h"
#include "timer.h"
#include "window.h"
#include "window_text.h"
#include "application.h"
#include "combobox.h"
#include "dispatch.h"

namespace {

class DispatchTest : public FrameworkTest {
 protected:
  static void SetUpTestSuite() {
    // Recording framework classes: the framework finds them registered.
    ASSERT_TRUE(MessageRecorder::RegisterRecordingClass("obj_Form", nullptr, FrameworkWindowProc));
    ASSERT_TRUE(MessageRecorder::RegisterRecordingClass("obj_STATIC", "STATIC", FrameworkWindowProc));
    ASSERT_TRUE(MessageRecorder::RegisterRecordingClass("obj_BUTTON", "BUTTON", FrameworkWindowProc));
  }
};

using E = ExpectedMessage;

TEST_F(DispatchTest, ClassIsRegisteredOnFirstUseAndReused) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA info{}, standard{};
  ASSERT_FALSE(GetClassInfoA(instance, "obj_EDIT", &info)) << "nothing has needed it yet";
  ASSERT_TRUE(GetClassInfoA(instance, "EDIT", &standard));
  TControl* form = CreateForm(nullptr, "classes");
  TControl* first = CreateChildControl(form, "EDIT", WS_CHILD, nullptr, false);
  TControl* second = CreateChildControl(form, "EDIT", WS_CHILD, nullptr, false);
  ASSERT_NE(GetHandle(form), nullptr);
  ASSERT_TRUE(GetClassInfoA(instance, "obj_EDIT", &info));
  EXPECT_EQ(info.lpfnWndProc, &FrameworkWindowProc);
  EXPECT_EQ(info.style, standard.style & 0xFFFFBF1Fu);
  EXPECT_EQ(info.cbWndExtra, standard.cbWndExtra) << "the standard procedure needs its extra bytes";
  EXPECT_EQ(GetClassLongA(first->Handle, GCW_ATOM), GetClassLongA(second->Handle, GCW_ATOM));
  EXPECT_EQ(first->BaseWndProc, standard.lpfnWndProc);
  Release(form);
}

struct CreationTrace {
  UINT firstMsg = 0;
  HWND handleAtFirst = nullptr;
  LONG_PTR userDataAtNcCreate = 0;
} trace;

bool TraceCreation(TControl* control, MessageRecord& message, LRESULT&) {
  if (trace.firstMsg == 0) {
    trace.firstMsg = message.Msg;
    trace.handleAtFirst = control->Handle;
  }
  if (message.Msg == WM_NCCREATE) trace.userDataAtNcCreate = GetWindowLongPtrA(message.Window, GWLP_USERDATA);
  return false;
}

TEST_F(DispatchTest, ControlIsBoundFromTheFirstMessageOfCreation) {
  for (bool child : {false, true}) {
    trace = {};
    TControl* form = CreateForm(nullptr, "binding");
    TControl* traced = child ? CreateLabel(form, "label") : form;
    AddMessageHandler(traced, TraceCreation);
    ASSERT_NE(GetHandle(form), nullptr);
    EXPECT_EQ(trace.handleAtFirst, traced->Handle) << "first message " << MessageName(trace.firstMsg);
    EXPECT_EQ(trace.userDataAtNcCreate, reinterpret_cast<LONG_PTR>(traced));
    EXPECT_EQ(CreatingControl, nullptr);
    Release(form);
  }
}

TEST_F(DispatchTest, NotificationsReachTheChildThatSentThem) {
  CellForm f;
  std::vector<ObjectBase*> cellClicks, boxClicks;
  f.cell->OnClick = NotifyEvent{RecordSender, &cellClicks};
  f.box->OnClick = NotifyEvent{RecordSender, &boxClicks};
  {
    MessageRecorder recorder;
    PressLeftButton(f.cell->Handle);  // the static notifies its parent
    EXPECT_EQ(cellClicks, std::vector<ObjectBase*>{f.cell});
    EXPECT_TRUE(boxClicks.empty());
    const WPARAM code = MAKEWPARAM(f.cell->ControlId, STN_CLICKED);
    const auto sender = reinterpret_cast<LPARAM>(f.cell->Handle);
    EXPECT_SEQUENCE(recorder.Only(nullptr, ReflectedCommand),
                    (std::vector<E>{{ReflectedCommand, E::kWParam | E::kLParam, code, sender}}),
                    "passed on once, with the notification's wParam and lParam");
    EXPECT_EQ(recorder.Only(f.cell->Handle, ReflectedCommand).size(), 1u);
  }
  TControl* gone = CreateLabel(f.form, "gone");
  GetHandle(gone);
  const HWND goneWindow = gone->Handle;
  Release(gone);
  const HWND plain = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 1, 1, f.form->Handle, nullptr, nullptr, nullptr);
  for (HWND sender : {HWND{}, plain, goneWindow, reinterpret_cast<HWND>(0x7FFF1234)}) {
    MessageRecorder recorder;
    EXPECT_EQ(SendMessageA(f.box->Handle, WM_COMMAND, 0, reinterpret_cast<LPARAM>(sender)), 0);
    EXPECT_TRUE(recorder.Only(nullptr, ReflectedCommand).empty()) << "sender " << sender;
  }
  EXPECT_EQ(cellClicks.size(), 1u);
  DestroyWindow(plain);
}

TEST_F(DispatchTest, ColourRequestIsAnsweredByTheChild) {
  CellForm f;
  SetColor(f.cell, 0x808000);
  const HDC dc = GetDC(f.box->Handle);
  const auto asDc = reinterpret_cast<WPARAM>(dc);
  EXPECT_EQ(SendMessageA(f.box->Handle, WM_CTLCOLORSTATIC, asDc, reinterpret_cast<LPARAM>(f.cell->Handle)),
            reinterpret_cast<LRESULT>(GetBrush(f.cell)));
  EXPECT_EQ(GetBkColor(dc), 0x808000u);
  for (LPARAM notAWindow : {LPARAM{0}, LPARAM{0x7FFF1234}}) {
    MessageRecorder recorder;
    EXPECT_EQ(SendMessageA(f.box->Handle, WM_CTLCOLORSTATIC, asDc, notAWindow),
              CallWindowProcA(f.box->BaseWndProc, f.box->Handle, WM_CTLCOLORSTATIC, asDc, notAWindow))
        << "the standard answer";
    EXPECT_TRUE(recorder.Only(nullptr, ReflectedColorBase + WM_CTLCOLORSTATIC).empty());
  }
  ReleaseDC(f.box->Handle, dc);
}

// What reaches the standard procedure behind a control.
std::vector<std::pair<UINT, WPARAM>> reached;
WNDPROC standardEdit = nullptr;
LRESULT CALLBACK EditSpy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_KEYDOWN || msg == WM_CHAR) reached.emplace_back(msg, wParam);
  return CallWindowProcA(standardEdit, hwnd, msg, wParam, lParam);
}

TEST_F(DispatchTest, KeyboardRule) {
  TControl* form = CreateForm(nullptr, "keys");
  TControl* edit = CreateChildControl(form, "EDIT", WS_CHILD | WS_VISIBLE | ES_MULTILINE, nullptr, false);
  TControl* other = CreateChildControl(form, "EDIT", WS_CHILD | WS_VISIBLE, nullptr, false);
  ASSERT_NE(GetHandle(form), nullptr);
  standardEdit = edit->BaseWndProc;
  edit->BaseWndProc = EditSpy;
  struct Row {
    const char* label;
    TControl* focus;
    BYTE modifier;
    UINT msg;
    WPARAM key;
    bool passes;
  } rows[] = {
      {"a character passes", edit, 0, WM_CHAR, 'a', true},
      {"a Tab character is dropped", edit, 0, WM_CHAR, VK_TAB, false},
      {"the Tab key-down passes", edit, 0, WM_KEYDOWN, VK_TAB, true},
      {"Ctrl+Tab passes", edit, VK_CONTROL, WM_CHAR, VK_TAB, true},
      {"Alt+Tab passes", edit, VK_MENU, WM_CHAR, VK_TAB, true},
      {"input while another window has the focus is dropped", other, 0, WM_CHAR, 'b', false},
  };
  for (const Row& row : rows) {
    SetFocus(row.focus->Handle);
    ASSERT_EQ(GetFocus(), row.focus->Handle) << row.label;
    BYTE keys[256] = {};
    if (row.modifier != 0) keys[row.modifier] = 0x80;
    SetKeyboardState(keys);
    reached.clear();
    SendMessageA(edit->Handle, row.msg, row.key, 0);
    EXPECT_EQ(reached.size(), row.passes ? 1u : 0u) << row.label;
  }
  BYTE noKeys[256] = {};
  SetKeyboardState(noKeys);
  Release(form);
}

void Answer(void* data, ObjectBase*, bool& canClose) {
  auto* answers = static_cast<std::vector<bool>*>(data);
  canClose = answers->front();
  answers->erase(answers->begin());
}

TEST_F(DispatchTest, CloseQuery) {
  for (bool running : {true, false}) {
    TControl* form = CreateForm(nullptr, "main");
    ASSERT_NE(GetHandle(form), nullptr);
    MainWindow = form;
    Running = running;
    std::vector<bool> answers = {false, true};
    SetOnCloseQuery(form, CloseQueryEvent{Answer, &answers});
    const HWND window = form->Handle;
    MessageRecorder recorder;
    SendMessageA(window, WM_CLOSE, 0, 0);
    if (running) {
      EXPECT_SEQUENCE(recorder.Messages(window), std::vector<E>{{WM_CLOSE}}, "a refused close goes no further");
      EXPECT_TRUE(IsWindow(window)) << "a refusal keeps the window while the loop runs";
      EXPECT_FALSE(TakeQuitMessage());
      EXPECT_TRUE(form->OnCloseQuery.Assigned()) << "and asks again next time";
      SendMessageA(window, WM_CLOSE, 0, 0);
    }
    EXPECT_FALSE(IsWindow(window)) << (running ? "allowed" : "refused outside the loop");
    EXPECT_TRUE(TakeQuitMessage());
    EXPECT_EQ(answers.size(), running ? 0u : 1u);
    EXPECT_FALSE(form->OnCloseQuery.Assigned());
    Release(form);  // the main window is not released with its window
  }
}

TControl* doomedForm = nullptr;
bool DestroyingHandler(TControl* control, MessageRecord& message, LRESULT& result) {
  if (message.Msg == WM_APP + 1) Release(control);
  else if (message.Msg == WM_APP + 2) Release(doomedForm);
  else if (message.Msg == WM_APP + 3) DestroyWindow(message.Window);
  else return false;
  result = 42;
  return true;
}

// The control goes once its message has been handled, and nothing is left.
TEST_F(DispatchTest, HandlerThatDestroysControls) {
  struct Row {
    const char* label;
    UINT msg;
    bool onChild;
  } rows[] = {
      {"a form releasing itself", WM_APP + 1, false},
      {"a label releasing its form", WM_APP + 2, true},
      {"a label destroying its own window", WM_APP + 3, true},
  };
  for (const Row& row : rows) {
    const int32_t before = ObjectBase::LiveCount();
    doomedForm = CreateForm(nullptr, row.label);
    TControl* target = row.onChild ? CreateLabel(doomedForm, "label") : doomedForm;
    AddMessageHandler(target, DestroyingHandler);
    ASSERT_NE(GetHandle(doomedForm), nullptr);
    const HWND window = target->Handle;
    EXPECT_EQ(SendMessageA(window, row.msg, 0, 0), 42) << row.label;
    EXPECT_FALSE(IsWindow(window)) << row.label;
    if (row.msg == WM_APP + 3) {
      EXPECT_EQ(doomedForm->Children->Count, 0) << "the label was released";
      Release(doomedForm);
    }
    EXPECT_EQ(ObjectBase::LiveCount(), before) << row.label;
  }
}

std::vector<MessageRecord> mainSaw;
bool RecordForMain(TControl*, MessageRecord& message, LRESULT&) {
  mainSaw.push_back(message);
  return false;
}

// Once a teardown has cut a window loose, its last messages go to the main
// window, which is not itself marked destroyed by them.
TEST_F(DispatchTest, LastMessagesOfAReleasedFormGoToTheMainWindow) {
  TControl* main = CreateForm(nullptr, "main");
  TControl* other = CreateForm(nullptr, "other");
  ASSERT_NE(GetHandle(main), nullptr);
  ASSERT_NE(GetHandle(other), nullptr);
  MainWindow = main;
  AddMessageHandler(main, RecordForMain);
  const HWND otherWindow = other->Handle;
  Release(other);
  bool sawDestroy = false;
  for (const MessageRecord& m : mainSaw) sawDestroy |= m.Window == otherWindow && m.Msg == WM_DESTROY;
  EXPECT_TRUE(sawDestroy);
  EXPECT_FALSE(main->WindowDestroyed);
  Release(main);
  EXPECT_EQ(MainWindow, nullptr) << "a released main window is no longer the main window";
}

// The main window also handles the messages of a framework window that has
// no control; their default processing goes to that window, never to the
// main window's own, even when the main window is built on a standard class.
TEST_F(DispatchTest, WindowWithoutControlKeepsItsOwnDefaultProcessing) {
  TControl* form = CreateForm(nullptr, "owner");
  TControl* label = CreateLabel(form, "main");
  ASSERT_NE(GetHandle(form), nullptr);
  MainWindow = label;
  const HWND stranger = CreateWindowExA(0, "obj_Form", "stranger", WS_POPUP, 0, 0, 10, 10, nullptr,
                                        nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(stranger, nullptr);
  char text[32] = "";
  GetWindowTextA(stranger, text, sizeof text);
  EXPECT_STREQ(text, "stranger");
  EXPECT_EQ(GetText(label), "main");
  DestroyWindow(stranger);
  MainWindow = nullptr;
  Release(form);
}

// The combo box's inner edit field is subclassed once however often the
// subclassing runs, and unsubclassing gives it back its own procedure.
TEST_F(DispatchTest, InnerWindowSubclassing) {
  TControl* form = CreateForm(nullptr, "inner");
  TControl* combo = CreateComboBox(form, 0);
  ASSERT_NE(GetHandle(form), nullptr);
  const HWND edit = GetWindow(combo->Handle, GW_CHILD);
  const HANDLE original = GetPropA(edit, "PREV_PROC");
  ASSERT_NE(original, nullptr);
  EXPECT_EQ(GetWindowLongPtrA(edit, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&ChildSubclassProc));
  SubclassChildren(combo);
  EXPECT_EQ(GetPropA(edit, "PREV_PROC"), original);
  SendMessageA(edit, WM_CHAR, 'x', 0);
  UnsubclassChildren(combo->Handle);
  EXPECT_EQ(GetWindowLongPtrA(edit, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(original));
  SendMessageA(edit, WM_CHAR, 'y', 0);
  EXPECT_EQ(GetText(combo), "xy");
  Release(form);
}

bool RefuseCreation(TControl*, MessageRecord& message, LRESULT& result) {
  if (message.Msg != WM_CREATE) return false;
  result = -1;
  return true;
}

// A window that refuses to be created is a failed Realize, and the control
// stays usable until its owner releases it.
TEST_F(DispatchTest, RefusedCreationIsReported) {
  TControl* form = CreateForm(nullptr, "refused");
  AddMessageHandler(form, RefuseCreation);
  EXPECT_FALSE(form->Realize());
  EXPECT_EQ(form->Handle, nullptr);
  EXPECT_FALSE(form->WindowDestroyed);
  Release(form);
}

}  // namespace
