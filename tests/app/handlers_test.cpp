// Clicks on the cells and the exit question, through the real window paths.
#include <gtest/gtest.h>

#include <functional>

#include "app_support.h"
#include "handlers.h"
#include "properties.h"
#include "timer.h"
#include "vport_client.h"

namespace {

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
    SendMessageA(cell, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageA(cell, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));

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

  // With no port chosen a click touches nothing.
  PortState.BaseAddress = 0;
  const uint32_t start = vport.NextSequence();
  SendMessageA(form->Cell2->Handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  EXPECT_TRUE(vport.LogSince(start).empty());
}

TEST(ExitQuestion, TextIsConvertedWithoutLookAlikes) {
  const std::string text = ExitQuestionText();
  ASSERT_EQ(text.size(), 30u);
  CPINFO info;
  ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t letter = kExitQuestion[i];
    if (letter < 0x80) {
      EXPECT_EQ(text[i], static_cast<char>(letter));
    } else if (GetACP() == 1251) {
      EXPECT_EQ(static_cast<BYTE>(text[i]), letter - 0x0410 + 0xC0) << i;  // А..я
    } else {
      EXPECT_EQ(static_cast<BYTE>(text[i]), info.DefaultChar[0]) << i;
    }
  }
}

// Drives the running program from a thread timer: a person closing the
// window and answering the question.
struct Person {
  MainForm* Form = nullptr;
  std::function<bool()> Steps[8];
  int Step = 0;
  DWORD Started = GetTickCount();
};
Person* person = nullptr;

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
  if (GetTickCount() - person->Started > 10000 && person->Step < 7) {
    ADD_FAILURE() << "stuck at step " << person->Step;
    person->Step = 7;
    DestroyWindow(person->Form->Window->Handle);  // takes any open question with it
    PostQuitMessage(0);
    return;
  }
  // A step that opens a message box sees further ticks from inside it.
  if (busy || !person->Steps[person->Step]) return;
  busy = true;
  if (person->Steps[person->Step]()) ++person->Step;
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
  HWND window = f->Window->Handle;
  Person script;
  script.Form = f;
  person = &script;
  uint32_t asked = 0;
  int boxOpenTicks = 0;

  script.Steps[0] = [&] {  // the first poll has shown DR: close the window
    if (WindowText(f->DRDecimal->Handle) != "85") return false;
    asked = vport.NextSequence();
    PostMessageA(window, WM_CLOSE, 0, 0);
    return true;
  };
  script.Steps[1] = [&] {  // the question is up; a second close request adds nothing
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
  };
  script.Steps[2] = [&] {  // a while with the question open: no poll, no write; then No
    if (++boxOpenTicks < 5) return false;
    EXPECT_TRUE(vport.LogSince(asked).empty());
    SendMessageA(GetDlgItem(OpenQuestion(), IDNO), BM_CLICK, 0, 0);
    return true;
  };
  script.Steps[3] = [&] {  // answered No: DR zeroed, window open, polling again
    if (WindowText(f->DRDecimal->Handle) != "0") return false;
    const std::vector<AccessRecord> log = vport.LogSince(asked);
    EXPECT_EQ(log[0].Kind, AccessKind::Write);
    EXPECT_EQ(log[0].Port, 0x378);
    EXPECT_EQ(log[0].Value, 0);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(f->PollTimer->Enabled);
    asked = vport.NextSequence();
    PostMessageA(window, WM_CLOSE, 0, 0);
    return true;
  };
  script.Steps[4] = [&] {
    HWND box = OpenQuestion();
    if (box == nullptr) return false;
    SendMessageA(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
    return true;
  };
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, &Act);
  ::Run(f->Window);
  KillTimer(nullptr, timer);

  EXPECT_EQ(script.Step, 5);
  // Yes: the zero written to DR is the last access, and the only write.
  const std::vector<AccessRecord> log = vport.LogSince(asked);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back().Kind, AccessKind::Write);
  EXPECT_EQ(log.back().Port, 0x378);
  EXPECT_EQ(log.back().Value, 0);
  for (size_t i = 0; i + 1 < log.size(); ++i) EXPECT_EQ(log[i].Kind, AccessKind::Read);
  EXPECT_EQ(vport.ControlLatch(), 0xC4);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(MainWindow, nullptr);
  EXPECT_EQ(TimerCount, 0);
  EXPECT_EQ(ObjectBase::LiveCount(), objectsBefore);
}

}  // namespace
