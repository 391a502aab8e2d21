// Clicks on the cells and the exit question, through the real window paths.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app_support.h"
#include "closing.h"
#include "mouse_input.h"
#include "properties.h"
#include "timer.h"
#include "virtual_port.h"
#include "application.h"

namespace {

bool ZeroToDR(const AccessRecord& record) {
  return record.Kind == AccessKind::Write && record.Port == 0x378 && record.Value == 0;
}

bool SamePortState(const PortStateRecord& a, const PortStateRecord& b) {
  return a.BaseAddress == b.BaseAddress && a.LastDR == b.LastDR && a.LastCR == b.LastCR &&
         a.LastSR == b.LastSR;
}

TEST(Clicks, WriteTheLastPolledValueWithTheCellsBitFlipped) {
  VirtualPort vport;
  vport.Reset();
  BuiltForm form;
  form->PollTimer->SetEnabled(false);
  ASSERT_TRUE(form->Window->Realize());
  // Every click starts from these values: no click reads or changes them.
  PortState = {0x378, 0x7F, 0xC4, 0x55};
  const PortStateRecord before = PortState;

  for (size_t i = 0; i < PinMap.size(); ++i) {
    const PinMapEntry& entry = PinMap[i];
    SCOPED_TRACE(entry.Caption);
    const uint32_t start = vport.NextSequence();
    HWND cell = (form.form->*kCellFields[i])->Handle;
    PressLeftButton(cell);

    const std::vector<AccessRecord> log = vport.LogSince(start);
    if (!entry.ClickFlips) {
      EXPECT_TRUE(log.empty());
      continue;
    }
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].Kind, AccessKind::Write);
    const bool dr = entry.Reg == Register::DR;
    EXPECT_EQ(log[0].Port, dr ? 0x378 : 0x37A);
    EXPECT_EQ(log[0].Value, (dr ? 0x7F : 0xC4) ^ entry.Mask);
    EXPECT_TRUE(SamePortState(PortState, before));
  }
  EXPECT_EQ(vport.DataLatch(), 0x7F ^ 0x80);  // "9" was the last DR cell clicked
  EXPECT_EQ(vport.ControlLatch(), 0xC4 ^ 0x20);  // "Direct": bits 6 and 7 kept

  // While the exit question is open a click message that reaches a cell
  // writes nothing.
  form->Asking = true;
  uint32_t start = vport.NextSequence();
  PressLeftButton(form->Cell2->Handle);
  EXPECT_TRUE(vport.LogSince(start).empty());
  form->Asking = false;

  // With no port chosen a click touches nothing.
  PortState.BaseAddress = 0;
  start = vport.NextSequence();
  PressLeftButton(form->Cell2->Handle);
  EXPECT_TRUE(vport.LogSince(start).empty());
}

// Log-off asks nothing and is agreed to at once; the session's end leaves
// DR at 0, and a log-off that was called off writes nothing.
TEST(SessionEnd, AgreedAtOnceAndEndsWithDataZero) {
  VirtualPort vport;
  vport.Reset();
  BuiltForm form;
  PortState.BaseAddress = 0x378;
  const HWND window = form->Window->Handle;
  uint32_t start = vport.NextSequence();
  EXPECT_EQ(SendMessageA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_TRUE(form->PollTimer->Enabled);
  EXPECT_EQ(SendMessageA(window, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF), 0);
  EXPECT_TRUE(vport.LogSince(start).empty());
  EXPECT_EQ(SendMessageA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF), 0);
  const std::vector<AccessRecord> log = vport.LogSince(start);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(ZeroToDR(log[0]));
}

// A person at the running program, acting from a thread timer: each step
// reports whether it is done, and the next one follows.
std::vector<std::function<bool()>> steps;
size_t step = 0;
DWORD started = 0;
HWND mainWindow = nullptr;

struct FoundBoxes {
  HWND Box;
  int Count;
};

BOOL CALLBACK CountBox(HWND window, LPARAM data) {
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  if (std::string(className) == "#32770" && IsWindowVisible(window)) {
    FoundBoxes* found = reinterpret_cast<FoundBoxes*>(data);
    found->Box = window;
    ++found->Count;
  }
  return TRUE;
}

// The message box open on this thread, if any; `count` gets how many are.
HWND OpenQuestion(int* count = nullptr) {
  FoundBoxes found{nullptr, 0};
  EnumThreadWindows(GetCurrentThreadId(), &CountBox, reinterpret_cast<LPARAM>(&found));
  if (count != nullptr) *count = found.Count;
  return found.Box;
}

void CALLBACK Act(HWND, UINT, UINT_PTR, DWORD) {
  static bool busy = false;
  if (step < steps.size() && GetTickCount() - started > 10000) {
    ADD_FAILURE() << "stuck at step " << step;
    step = steps.size();
    DestroyWindow(mainWindow);  // takes any open question with it
    PostQuitMessage(0);
  }
  // A step that opens a message box sees further ticks from inside it.
  if (busy || step >= steps.size()) return;
  busy = true;
  if (steps[step]()) ++step;
  busy = false;
}

TEST(ExitQuestion, NoKeepsTheWindowYesEndsTheRunBothZeroDR) {
  VirtualPort vport;
  vport.Reset();
  const int32_t objectsBefore = ObjectBase::LiveCount();
  BuiltForm form;
  PortState.BaseAddress = 0x378;
  vport.Write(0x378, 0x55);
  vport.Write(0x37A, 0x04);
  MainForm* f = form.form;
  HWND window = mainWindow = f->Window->Handle;
  uint32_t asked = 0;
  int boxOpenTicks = 0;

  steps.push_back([&] {  // the first poll has shown DR: close the window
    if (WindowText(f->DRDecimal->Handle) != "85") return false;
    asked = vport.NextSequence();
    PostMessageA(window, WM_CLOSE, 0, 0);
    return true;
  });
  steps.push_back([&] {  // the question is up; a second close request adds nothing
    HWND box = OpenQuestion();
    if (box == nullptr) return false;
    EXPECT_EQ(GetWindow(box, GW_OWNER), window);
    EXPECT_EQ(WindowText(box), "Pinlorn");
    EXPECT_NE(FindWindowExA(box, nullptr, "Static", ExitQuestionText().c_str()), nullptr);
    EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
    EXPECT_FALSE(f->PollTimer->Enabled);
    SendMessageA(window, WM_CLOSE, 0, 0);
    int count = 0;
    OpenQuestion(&count);
    EXPECT_EQ(count, 1);
    EXPECT_FALSE(f->PollTimer->Enabled);
    return true;
  });
  steps.push_back([&] {  // a while with the question open: no poll, no write; then No
    if (++boxOpenTicks < 5) return false;
    EXPECT_TRUE(vport.LogSince(asked).empty());
    SendMessageA(GetDlgItem(OpenQuestion(), IDNO), BM_CLICK, 0, 0);
    return true;
  });
  steps.push_back([&] {  // answered No: DR zeroed, window open, polling again
    if (WindowText(f->DRDecimal->Handle) != "0") return false;
    const std::vector<AccessRecord> log = vport.LogSince(asked);
    EXPECT_TRUE(!log.empty() && ZeroToDR(log[0]));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(f->PollTimer->Enabled);
    asked = vport.NextSequence();
    PostMessageA(window, WM_CLOSE, 0, 0);
    return true;
  });
  steps.push_back([&] {
    HWND box = OpenQuestion();
    if (box == nullptr) return false;
    SendMessageA(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
    return true;
  });
  started = GetTickCount();
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, &Act);
  ::Run(f->Window);
  KillTimer(nullptr, timer);

  EXPECT_EQ(step, steps.size());
  // Yes: the zero written to DR is the last access, and the only write.
  const std::vector<AccessRecord> log = vport.LogSince(asked);
  ASSERT_FALSE(log.empty());
  EXPECT_TRUE(ZeroToDR(log.back()));
  for (size_t i = 0; i + 1 < log.size(); ++i) EXPECT_EQ(log[i].Kind, AccessKind::Read);
  EXPECT_EQ(vport.ControlLatch(), 0xC4);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(MainWindow, nullptr);
  EXPECT_EQ(TimerCount, 0);
  EXPECT_EQ(ObjectBase::LiveCount(), objectsBefore);
}

}  // namespace
