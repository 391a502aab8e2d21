// Closing the running window: the question, its two answers, what reaches the
// port meanwhile, and what a person can do while the question is open.
#include <gtest/gtest.h>

#include <cstdlib>

#include "pinlorn.h"
#include "port_list_registry.h"
#include "port_log.h"
#include "pump.h"
#include "window_text.h"

namespace {

constexpr wchar_t kQuestion[] = L"Вы действительно хотите выйти?";

class ExitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(port.IsOpen());
    ASSERT_TRUE(ports.Ok());
    port.Reset();
  }

  // The program polls again: some reads arrive after `since`.
  bool Polls(uint32_t since) {
    return PumpUntil([&] { return CountReads(port, since, kDR) >= 2; });
  }
  // Nothing reaches the port after `since` while the open question's loop
  // takes markers for three poll periods. A poll timer left running comes
  // due within one period, and the loop takes a due timer whenever its
  // queue is empty, as it is between two markers: its reads would be in the
  // log. The markers also show that the loop runs, so that the silence is
  // not that of a hung program.
  ::testing::AssertionResult Silent(const Pinlorn& program, HWND box, uint32_t since) {
    const DWORD start = GetTickCount();
    do {
      if (!program.QuestionRoundTrip(box)) {
        return ::testing::AssertionFailure() << "the question's loop took no marker";
      }
    } while (GetTickCount() - start < 3 * kPollPeriodMs);
    const std::vector<AccessRecord> accesses = port.LogSince(since);
    if (accesses.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "accesses while the question was open:\n"
                                         << Describe(accesses);
  }

  VirtualPort port;
  PortListInRegistry ports{OnePort()};
};

TEST_F(ExitTest, AnswerNoKeepsTheWindowClearsDataAndPollsAgain) {
  Pinlorn program;
  ASSERT_TRUE(program.Started());
  ASSERT_TRUE(ShowsRegisters(port, program, 0x3C, 0x05));
  const uint32_t before = port.NextSequence();
  PostMessageA(program.Window(), WM_CLOSE, 0, 0);
  HWND box = program.WaitBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(TextOf(box), "Pinlorn");
  EXPECT_EQ(GetWindow(box, GW_OWNER), program.Window());
  EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
  EXPECT_NE(GetDlgItem(box, IDNO), nullptr);
  EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
  EXPECT_FALSE(IsWindowEnabled(program.Window()));

  // The poll stops before the question shows.
  const uint32_t asking = port.NextSequence();
  EXPECT_TRUE(Silent(program, box, asking));
  EXPECT_TRUE(Writes(port, before).empty());

  Pinlorn::Press(box, IDNO);
  EXPECT_TRUE(Polls(asking));
  EXPECT_TRUE(program.Running());
  EXPECT_TRUE(IsWindowEnabled(program.Window()));
  EXPECT_TRUE(program.Dialogs().empty());
  const std::vector<AccessRecord> writes = Writes(port, before);
  ASSERT_EQ(writes.size(), 1u) << Describe(writes);
  EXPECT_EQ(writes[0].Port, kDR);
  EXPECT_EQ(writes[0].Value, 0);
  EXPECT_EQ(port.ControlValue(), 0xC5);
  EXPECT_TRUE(PumpUntil([&] { return TextOf(program.Label("DR", "Binary")) == "00000000"; }));

  // Asked again on the next close request.
  program.RequestClose();
  box = program.WaitBox();
  ASSERT_NE(box, nullptr);
  Pinlorn::Press(box, IDYES);
  EXPECT_EQ(program.WaitExit(), std::optional<DWORD>(0));
}

TEST_F(ExitTest, AnswerYesClearsDataLeavesControlAndEndsWithCodeZero) {
  Pinlorn program;
  ASSERT_TRUE(program.Started());
  ASSERT_TRUE(ShowsRegisters(port, program, 0xFF, 0x2A));
  const uint32_t before = port.NextSequence();
  program.RequestClose();
  HWND box = program.WaitBox();
  ASSERT_NE(box, nullptr);
  const uint32_t asking = port.NextSequence();
  Pinlorn::Press(box, IDYES);
  EXPECT_EQ(program.WaitExit(), std::optional<DWORD>(0));

  // Nothing but the one write of 0 to DR, and no poll once the question showed.
  const std::vector<AccessRecord> after = port.LogSince(asking);
  ASSERT_EQ(after.size(), 1u) << Describe(after);
  EXPECT_EQ(after[0].Kind, AccessKind::Write);
  EXPECT_EQ(after[0].Port, kDR);
  EXPECT_EQ(after[0].Value, 0);
  EXPECT_EQ(Writes(port, before).size(), 1u);
  EXPECT_EQ(port.DataLatch(), 0);
  EXPECT_EQ(port.ControlValue(), 0xEA);
}

// While the question is open the window takes no clicks, and further close
// requests neither stack a second question nor touch the port.
TEST_F(ExitTest, ClicksAndCloseRequestsWhileTheQuestionIsOpen) {
  Pinlorn program;
  ASSERT_TRUE(program.Started());
  ASSERT_TRUE(ShowsRegisters(port, program, 0x00, 0x00));
  const uint32_t before = port.NextSequence();
  program.RequestClose();
  HWND box = program.WaitBox();
  ASSERT_NE(box, nullptr);

  RECT boxRect;
  GetWindowRect(box, &boxRect);
  for (const char* caption : {"2", "9", "1", "Direct", "11"}) {
    RECT cell;
    GetWindowRect(program.Cell(caption), &cell);
    POINT centre{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    if (!PtInRect(&boxRect, centre)) program.ClickAt(centre);
  }
  for (int i = 0; i < 3; ++i) {
    PostMessageA(program.Window(), WM_CLOSE, 0, 0);
    program.RequestClose();
  }
  const uint32_t asking = port.NextSequence();
  EXPECT_TRUE(Silent(program, box, asking));
  EXPECT_EQ(program.Dialogs().size(), 1u);
  EXPECT_TRUE(Writes(port, before).empty()) << Describe(Writes(port, before));

  Pinlorn::Press(box, IDNO);
  EXPECT_TRUE(Polls(asking));
  const std::vector<AccessRecord> writes = Writes(port, before);
  ASSERT_EQ(writes.size(), 1u) << Describe(writes);
  EXPECT_EQ(writes[0].Value, 0);
  EXPECT_TRUE(program.Dialogs().empty());

  // The window works as before: a click writes, the poll shows it.
  const uint32_t answered = port.NextSequence();
  program.Click(program.Cell("4"));
  EXPECT_TRUE(PumpUntil([&] { return !Writes(port, answered).empty(); }));
  EXPECT_TRUE(PumpUntil([&] { return TextOf(program.Label("DR", "Hex")) == "04"; }));
}

// The question is shown in UTF-16, so it reads the same under every ANSI
// code page: a Western one (this test's own locale) and a Cyrillic one. Wine
// takes a program's code page from the locale of the Unix environment the
// test itself runs in (an environment given to CreateProcess does not change
// it), so CTest runs this test once more under ru_RU.UTF-8.
TEST_F(ExitTest, QuestionReadsInRussianUnderAnyAnsiCodePage) {
  const char* locale = std::getenv("LC_ALL");
  const bool russian = locale && std::string(locale).rfind("ru_RU", 0) == 0;
  ASSERT_EQ(GetACP(), russian ? 1251u : 1252u) << "LC_ALL=" << (locale ? locale : "");
  Pinlorn program;
  ASSERT_TRUE(program.Started());
  program.RequestClose();
  HWND box = program.WaitBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageText(box), kQuestion);
  EXPECT_EQ(TextOf(box), "Pinlorn");
  Pinlorn::Press(box, IDYES);
  EXPECT_EQ(program.WaitExit(), std::optional<DWORD>(0));
}

}  // namespace
