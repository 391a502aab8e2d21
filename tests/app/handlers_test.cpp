// Clicks on the cells and the exit question, through the real window paths.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "app_support.h"
#include "closing.h"
#include "constants.h"
#include "mouse_input.h"
#include "pump.h"
#include "timer.h"
#include "timer_marker.h"
#include "virtual_port.h"
#include "window_text.h"

namespace {

bool ZeroToDR(const AccessRecord& record) {
  return record.Kind == AccessKind::Write && record.Port == kDR && record.Value == 0;
}

// What a click on each cell writes when the last poll read DR 0x7F, CR 0xC4
// (bits 6 and 7 read as 1) and SR 0x55: the register with the cell's bit
// flipped. Status cells write nothing (port 0).
constexpr struct {
  const char* Caption;
  uint16_t Port;
  uint8_t Value;
} kClicks[] = {
    {"2", kDR, 0x7E},     {"3", kDR, 0x7D},       {"4", kDR, 0x7B},  {"5", kDR, 0x77},
    {"6", kDR, 0x6F},     {"7", kDR, 0x5F},       {"8", kDR, 0x3F},  {"9", kDR, 0xFF},
    {"1", kCR, 0xC5},     {"14", kCR, 0xC6},      {"16", kCR, 0xC0}, {"17", kCR, 0xCC},
    {"AckIE", kCR, 0xD4}, {"Direct", kCR, 0xE4},  {"PIRQ", 0, 0},    {"15", 0, 0},
    {"13", 0, 0},         {"12", 0, 0},           {"10", 0, 0},      {"11", 0, 0},
};

// The main window shown, its poll stopped, and the last poll's values set
// by the test.
struct StillForm {
  VirtualPort vport;
  BuiltForm form;
  explicit StillForm(const PortStateRecord& lastPoll) {
    vport.Reset();
    form->PollTimer->SetEnabled(false);
    form->Window->Realize();
    PortState = lastPoll;
  }
};

TEST(Clicks, WriteTheLastPolledValueWithTheCellsBitFlipped) {
  StillForm still({kLpt1Base, 0x7F, 0xC4, 0x55});
  VirtualPort& vport = still.vport;
  const PortStateRecord lastPoll = PortState;

  for (const auto& click : kClicks) {
    SCOPED_TRACE(click.Caption);
    TControl* cell = CellCaptioned(still.form.form, click.Caption);
    ASSERT_NE(cell, nullptr);
    PortState = lastPoll;
    const uint32_t start = vport.NextSequence();
    PressLeftButton(cell->Handle);

    const std::vector<AccessRecord> log = vport.LogSince(start);
    if (click.Port == 0) {
      EXPECT_TRUE(log.empty());
      continue;
    }
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].Kind, AccessKind::Write);
    EXPECT_EQ(log[0].Port, click.Port);
    EXPECT_EQ(log[0].Value, click.Value);
  }
  EXPECT_EQ(vport.DataLatch(), 0xFF);     // "9" was the last DR cell clicked
  EXPECT_EQ(vport.ControlValue(), 0xE4);  // "Direct": bits 6 and 7 kept
}

TEST(Clicks, WriteNothingWithoutAPort) {
  StillForm still({kLpt1Base, 0x7F, 0xC4, 0x55});
  VirtualPort& vport = still.vport;
  MainForm* form = still.form.form;

  // With no port chosen a click touches nothing.
  PortState.BaseAddress = 0;
  const uint32_t start = vport.NextSequence();
  PressLeftButton(form->Cell2->Handle);
  EXPECT_TRUE(vport.LogSince(start).empty());
}

// Log-off asks nothing and is agreed to at once; the session's end leaves
// DR at 0, and a log-off that was called off writes nothing.
TEST(SessionEnd, AgreedAtOnceAndEndsWithDataZero) {
  VirtualPort vport;
  vport.Reset();
  BuiltForm form;
  PortState.BaseAddress = kLpt1Base;
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
  EXPECT_TRUE(TakeQuitMessage()) << "the run ends with the session";
}

BOOL CALLBACK CollectBox(HWND window, LPARAM data) {
  if (ClassOf(window) == "#32770" && IsWindowVisible(window)) {
    auto* boxes = reinterpret_cast<std::vector<HWND>*>(data);
    boxes->push_back(window);
  }
  return TRUE;
}

// The message boxes open on a thread.
std::vector<HWND> OpenQuestions(DWORD thread) {
  std::vector<HWND> boxes;
  EnumThreadWindows(thread, &CollectBox, reinterpret_cast<LPARAM>(&boxes));
  return boxes;
}

// A person at the running program, on a thread of its own: the program's
// thread runs its loop (and the question's), the person looks and clicks.
class Person {
 public:
  Person(VirtualPort& vport, MainForm* form, DWORD program)
      : vport_(vport), form_(form), window_(form->Window->Handle), program_(program) {}

  // Asks to close the window; returns the question once it is open.
  HWND AsksToClose() {
    PostMessageA(window_, WM_CLOSE, 0, 0);
    HWND box = nullptr;
    PumpUntil([&] {
      const std::vector<HWND> boxes = OpenQuestions(program_);
      box = boxes.empty() ? nullptr : boxes[0];
      return box != nullptr;
    });
    // Taken once the question is open: a poll that was under way when the
    // person asked has ended by then.
    Asked = vport_.NextSequence();
    return box;
  }

  // The question is the program's own and asks what it should; while it is
  // open, nothing polls and nothing is written, not even by a click message
  // that reaches a cell, and a second close request adds nothing.
  void SeesTheQuestionHoldEverything(HWND box, TimerMarker& marker) {
    EXPECT_EQ(GetWindow(box, GW_OWNER), window_);
    EXPECT_EQ(TextOf(box), "Pinlorn");
    EXPECT_NE(FindWindowExW(box, nullptr, L"Static", kExitQuestion), nullptr);
    EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
    EXPECT_FALSE(form_->PollTimer->Enabled);
    // A second close request, taken by the question's loop, adds nothing.
    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(OpenQuestions(program_).size(), 1u);
    EXPECT_FALSE(form_->PollTimer->Enabled);
    PressLeftButton(form_->Cell2->Handle);
    // No poll and no write while the question is open: a poll timer left
    // running would tick before a marker of its period started now.
    marker.Start();
    ASSERT_TRUE(PumpUntil([&] { return marker.CameBack(); }));
    EXPECT_TRUE(vport_.LogSince(Asked).empty());
  }

  // Answered No: DR zeroed, the window open and polling again.
  void SeesTheWindowPollAgainWithDataZero() {
    ASSERT_TRUE(PumpUntil([&] { return TextOf(form_->DRDecimal->Handle) == "0"; }));
    const std::vector<AccessRecord> log = vport_.LogSince(Asked);
    EXPECT_TRUE(!log.empty() && ZeroToDR(log[0]));
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_TRUE(form_->PollTimer->Enabled);
  }

  // The first poll has shown DR: closes the window and answers No, then
  // closes it again and answers Yes.
  void AnswersNoThenYes(TimerMarker& marker) {
    ASSERT_TRUE(PumpUntil([&] { return TextOf(form_->DRDecimal->Handle) == "85"; }));
    HWND box = AsksToClose();
    ASSERT_NE(box, nullptr);
    ASSERT_NO_FATAL_FAILURE(SeesTheQuestionHoldEverything(box, marker));
    SendMessageA(GetDlgItem(box, IDNO), BM_CLICK, 0, 0);
    ASSERT_NO_FATAL_FAILURE(SeesTheWindowPollAgainWithDataZero());
    box = AsksToClose();
    ASSERT_NE(box, nullptr);
    SendMessageA(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
    Done = true;
  }

  uint32_t Asked = 0;  // where the port log stood when the last question opened
  bool Done = false;   // the person went through to the end

 private:
  VirtualPort& vport_;
  MainForm* form_;
  HWND window_;
  DWORD program_;
};

// Ends the program's run should the person stop half way.
struct EndRunUnlessDone {
  DWORD program;
  const bool& done;
  ~EndRunUnlessDone() {
    if (!done) PostThreadMessageA(program, WM_QUIT, 0, 0);
  }
};

TEST(ExitQuestion, NoKeepsTheWindowYesEndsTheRunBothZeroDR) {
  VirtualPort vport;
  vport.Reset();
  const int32_t objectsBefore = ObjectBase::LiveCount();
  BuiltForm form;
  PortState.BaseAddress = kLpt1Base;
  vport.Write(kDR, 0x55);
  vport.Write(kCR, 0x04);
  MainForm* f = form.form;
  const HWND window = f->Window->Handle;
  const DWORD program = GetCurrentThreadId();
  TimerMarker marker(kPollPeriodMs);  // on the program's thread
  Person person(vport, f, program);

  std::thread personsThread([&] {
    const EndRunUnlessDone endRun{program, person.Done};
    person.AnswersNoThenYes(marker);
  });
  ::Run(f->Window);
  personsThread.join();
  EXPECT_TRUE(person.Done) << "the person stopped half way";

  // Yes: the zero written to DR is the last access, and the only write.
  const std::vector<AccessRecord> log = vport.LogSince(person.Asked);
  ASSERT_FALSE(log.empty());
  EXPECT_TRUE(ZeroToDR(log.back()));
  for (size_t i = 0; i + 1 < log.size(); ++i) EXPECT_EQ(log[i].Kind, AccessKind::Read);
  EXPECT_EQ(vport.ControlValue(), 0xC4);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(MainWindow, nullptr);
  EXPECT_EQ(TimerCount, 0);
  EXPECT_EQ(ObjectBase::LiveCount(), objectsBefore);
}

}  // namespace
