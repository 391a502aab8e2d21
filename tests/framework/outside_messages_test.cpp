// Messages that another program can send to any of the framework's windows:
// close, destroy and creation requests, forged slots and requests, and
// device contexts that belong to someone else. None of them may end,
// build, redirect or draw anything.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "combobox.h"
#include "framework_fixture.h"
#include "kinds.h"
#include "mouse_input.h"
#include "notifications.h"
#include "properties.h"
#include "timer.h"
#include "window.h"
#include "window_text.h"

namespace {

using OutsideMessagesTest = FrameworkTest;

BOOL CALLBACK FindDroppedList(HWND window, LPARAM found) {
  if (ClassOf(window) == "ComboLBox") *reinterpret_cast<HWND*>(found) = window;
  return TRUE;
}

// The one combo box's dropped list: a top-level window of this thread.
HWND DroppedListOfThisThread() {
  HWND list = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDroppedList, reinterpret_cast<LPARAM>(&list));
  return list;
}

// Another program may send WM_CLOSE to any window of the process, as a
// graceful taskkill does to the top-level ones: only the form closes.
TEST_F(OutsideMessagesTest, CloseRequestsToPartsOfAFormChangeNothing) {
  TControl* form = CreateForm(nullptr, "parts");
  TControl* box = CreateGroupBox(form, "box");
  TControl* cell = CreatePanel(box, 0);
  TControl* combo = CreateComboBox(form, 0);
  Timer* timer = NewTimer(10);
  EventCounter ticks;
  timer->OnTimer = ticks.Handler();
  timer->SetEnabled(true);
  ASSERT_NE(GetHandle(form), nullptr);
  const int32_t live = ObjectBase::LiveCount();
  const HWND parts[] = {box->Handle,     cell->Handle,          combo->Handle,
                        GetWindow(combo->Handle, GW_CHILD), DroppedListOfThisThread(),
                        TimerHost->Handle};
  for (HWND part : parts) {
    EXPECT_EQ(SendMessageA(part, WM_CLOSE, 0, 0), 0);
    PostMessageA(part, WM_CLOSE, 0, 0);
  }
  DrainMessages();
  for (HWND part : parts) EXPECT_TRUE(IsWindow(part));
  EXPECT_EQ(ObjectBase::LiveCount(), live);
  EXPECT_FALSE(TakeQuitMessage());
  ticks.calls = 0;
  EXPECT_TRUE(PumpUntil([&] { return ticks.calls >= 2; })) << "the timer still ticks";
  const HWND window = form->Handle;
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window)) << "the form itself closes, and is released with its window";
  EXPECT_TRUE(TakeQuitMessage());
  Release(timer);
}

// A destroy message from another program is no destruction, hidden window or
// not: the hidden label, the timer window and the combo box's inner windows
// all live on, and work. Another thread of this process stands in for the
// other program (a send from this thread is the program's own).
TEST_F(OutsideMessagesTest, DestroyMessagesFromOutsideEndNothing) {
  TControl* form = CreateForm(nullptr, "shown");
  SetPosition(form, -3000, -3000);  // shown, but where it covers no other test's window
  TControl* label = CreateLabel(form, "label");
  TControl* combo = CreateComboBox(form, 0);
  Timer* timer = NewTimer(10);
  EventCounter ticks;
  timer->OnTimer = ticks.Handler();
  timer->SetEnabled(true);
  ASSERT_TRUE(form->Realize());
  SetVisible(label, false);
  const int32_t live = ObjectBase::LiveCount();
  const HWND inner[] = {GetWindow(combo->Handle, GW_CHILD), DroppedListOfThisThread()};
  std::atomic<bool> sent{false};
  std::thread other([&, label = label->Handle, host = TimerHost->Handle] {
    for (HWND window : {label, host, inner[0], inner[1]}) {
      for (UINT msg : {WM_DESTROY, WM_NCDESTROY}) {
        SendMessageA(window, msg, 0, 0);
        PostMessageA(window, msg, 0, 0);
      }
    }
    sent = true;
  });
  EXPECT_TRUE(PumpUntil([&] { return sent.load(); }));
  other.join();
  DrainMessages();
  EXPECT_EQ(ObjectBase::LiveCount(), live);
  EXPECT_FALSE(label->WindowDestroyed);
  for (HWND window : inner) {
    EXPECT_NE(GetPropA(window, "PREV_PROC"), nullptr) << "still subclassed";
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
  DrainMessages();
  for (HWND window : inner) EXPECT_TRUE(IsWindow(window));
  SetText(label, "still");
  EXPECT_EQ(GetText(label), "still");
  ticks.calls = 0;
  EXPECT_TRUE(PumpUntil([&] { return ticks.calls >= 2; })) << "the timer still ticks";
  Release(timer);
  Release(form);
}

int ChildWindowCount(HWND window) {
  int count = 0;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    ++count;
  }
  return count;
}

// A creation message comes only from inside the program's own window
// creation: another program's would have the combo box build its parts again.
TEST_F(OutsideMessagesTest, CreationMessagesFromOutsideBuildNothing) {
  TControl* form = CreateForm(nullptr, "created");
  TControl* combo = CreateComboBox(form, 0);
  ASSERT_NE(GetHandle(form), nullptr);
  const int parts = ChildWindowCount(combo->Handle);
  CREATESTRUCTA create{};
  create.hwndParent = form->Handle;
  create.style = static_cast<LONG>(combo->Style);
  for (HWND window : {combo->Handle, GetWindow(combo->Handle, GW_CHILD)}) {
    for (UINT msg : {WM_NCCREATE, WM_CREATE}) {
      EXPECT_EQ(SendMessageA(window, msg, 0, reinterpret_cast<LPARAM>(&create)), 0);
    }
  }
  EXPECT_EQ(ChildWindowCount(combo->Handle), parts);
  Release(form);
}

int foreignCalls = 0;
LRESULT CALLBACK ForeignProc(HWND, UINT, WPARAM, LPARAM) {
  ++foreignCalls;
  return 0;
}

// Another program can write a window's GWLP_USERDATA and its properties. The
// framework follows neither to memory or code of someone else's choosing:
// messages still reach the right controls.
TEST_F(OutsideMessagesTest, SlotsAnyProgramCanWriteLeadNowhereElse) {
  CellForm f;
  TControl* combo = CreateComboBox(f.form, 0);
  TControl* label = CreateLabel(f.box, "label");
  RealizeChildren(f.form);
  ASSERT_NE(combo->Handle, nullptr);
  std::vector<ObjectBase*> cellClicks, labelClicks;
  f.cell->OnClick = NotifyEvent{RecordSender, &cellClicks};
  label->OnClick = NotifyEvent{RecordSender, &labelClicks};
  SetWindowLongPtrA(f.cell->Handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(label));
  SetWindowLongPtrA(label->Handle, GWLP_USERDATA, 0x7FFF1234);
  const HWND edit = GetWindow(combo->Handle, GW_CHILD);
  SetPropA(edit, "PREV_PROC", reinterpret_cast<HANDLE>(&ForeignProc));

  PressLeftButton(f.cell->Handle);
  EXPECT_EQ(cellClicks, std::vector<ObjectBase*>{f.cell});
  EXPECT_TRUE(labelClicks.empty());
  SetText(label, "still");
  EXPECT_EQ(GetText(label), "still");
  SendMessageA(edit, WM_CHAR, 'x', 0);
  EXPECT_EQ(foreignCalls, 0);
  EXPECT_EQ(GetText(combo), "x");
}

// Requests that would have a control write to an address, call a routine of
// the sender's choosing, or stop drawing, come only from the program itself.
TEST_F(OutsideMessagesTest, RequestsOnlyTheProgramMakesGoNowhereFromOutside) {
  TControl* form = CreateForm(nullptr, "requests");
  TControl* combo = CreateComboBox(form, 0);
  TControl* label = CreateLabel(form, "label");
  ASSERT_NE(GetHandle(form), nullptr);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  EXPECT_EQ(SendMessageA(combo->Handle, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
  EXPECT_EQ(info.hwndCombo, nullptr) << "nothing written";
  const HWND edit = GetWindow(combo->Handle, GW_CHILD);
  SendMessageA(edit, EM_SETWORDBREAKPROC, 0, reinterpret_cast<LPARAM>(&ForeignProc));
  EXPECT_EQ(SendMessageA(edit, EM_GETWORDBREAKPROC, 0, 0), 0);
  const LRESULT margins = SendMessageA(edit, EM_GETMARGINS, 0, 0);
  SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(0x9510, 0));
  EXPECT_EQ(SendMessageA(edit, EM_GETMARGINS, 0, 0), margins);
  for (HWND window : {label->Handle, combo->Handle, edit}) {
    SendMessageA(window, WM_SETREDRAW, FALSE, 0);
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) << "still drawn";
  }
  // A press that the mouse did not make does not take the mouse either.
  SendMessageA(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  EXPECT_EQ(GetCapture(), nullptr);
  ReleaseCapture();
  Release(form);
}

// A device context belongs to one process: one named in a message from
// another program is not drawn into, nor handed to the standard control.
TEST_F(OutsideMessagesTest, DeviceContextsFromAnotherProgramAreNotDrawnInto) {
  CellForm f;
  const HDC foreign = reinterpret_cast<HDC>(0x00660001);
  const HDC own = GetDC(f.cell->Handle);
  const auto cell = reinterpret_cast<LPARAM>(f.cell->Handle);
  for (const HDC dc : {own, foreign}) {
    const auto asWParam = reinterpret_cast<WPARAM>(dc);
    const bool answered = dc == own;
    EXPECT_EQ(SendMessageA(f.cell->Handle, ReflectedColorBase + WM_CTLCOLORSTATIC, asWParam, cell) != 0, answered);
    EXPECT_EQ(SendMessageA(f.box->Handle, WM_CTLCOLORSTATIC, asWParam, cell) != 0, answered);
    for (HWND window : {f.form->Handle, f.box->Handle, f.cell->Handle}) {
      PostMessageA(window, WM_ERASEBKGND, asWParam, 0);
      PostMessageA(window, WM_PRINTCLIENT, asWParam, PRF_CLIENT);
      PostMessageA(window, WM_PAINT, asWParam, 0);
    }
    DrainMessages();
  }
  ReleaseDC(f.cell->Handle, own);
}

}  // namespace
