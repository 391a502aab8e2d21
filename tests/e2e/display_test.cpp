// What the running window shows while it polls the port: the order of the
// reads, the value texts and the cell colours for several port
// states, and the port tool changing the port under the running program.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "pinlorn.h"
#include "port_log.h"
#include "port_tool.h"
#include "pump.h"
#include "screen_colour.h"
#include "window_text.h"

namespace {

class DisplayTest : public RunningPinlornTest {
 protected:
  // Waits until the nine labels read `texts`: DR, CR, SR decimal; then hex; then binary.
  static ::testing::AssertionResult ShowsTexts(const std::array<const char*, 9>& texts) {
    const char* regs[] = {"DR", "CR", "SR"};
    const char* forms[] = {"Decimal", "Hex", "Binary"};
    std::string seen;
    const bool ok = PumpUntil([&] {
      seen.clear();
      bool all = true;
      for (int r = 0; r < 3; ++r) {
        for (int f = 0; f < 3; ++f) {
          const std::string text = TextOf(program->Label(regs[r], forms[f]));
          seen += text + " ";
          all = all && text == texts[f * 3 + r];
        }
      }
      return all;
    });
    if (ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "labels read: " << seen;
  }

  // Waits until exactly the cells in `lit` show teal and all others button face.
  static ::testing::AssertionResult ShowsLit(const std::vector<std::string>& lit) {
    static const char* kCells[] = {"2",  "3",  "4",     "5",      "6",    "7",  "8",
                                   "9",  "1",  "14",    "16",     "17",   "AckIE",
                                   "Direct", "PIRQ", "15", "13", "12", "10", "11"};
    std::string wrong;
    const bool ok = PumpUntil([&] {
      wrong.clear();
      for (const char* caption : kCells) {
        const bool wantLit = std::find(lit.begin(), lit.end(), caption) != lit.end();
        const COLORREF colour = ScreenColour(program->Cell(caption));
        if (colour != (wantLit ? kTeal : GetSysColor(COLOR_BTNFACE))) {
          char line[64];
          std::snprintf(line, sizeof line, "%s=%06lX ", caption, static_cast<unsigned long>(colour));
          wrong += line;
        }
      }
      return wrong.empty();
    });
    if (ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "cells not as expected: " << wrong;
  }
};

// The program polls by itself, reading only. (How often: scripts/bench.)
TEST_F(DisplayTest, EachPollReadsDrCrSrInTurn) {
  constexpr size_t kPolls = 20;
  const uint32_t since = port->NextSequence();
  std::vector<AccessRecord> log;
  ASSERT_TRUE(PumpUntil([&] {
    log = port->LogSince(since);
    return log.size() >= 3 * (kPolls + 1);
  })) << log.size() << " accesses";

  // The log starts wherever a poll happened to be: skip to the first DR read.
  size_t first = 0;
  while (first < log.size() && log[first].Port != kDR) ++first;
  size_t polls = 0;
  for (size_t i = first; i + 2 < log.size(); i += 3) {
    ASSERT_TRUE(log[i].Kind == AccessKind::Read && log[i].Port == kDR &&
                log[i + 1].Kind == AccessKind::Read && log[i + 1].Port == kCR &&
                log[i + 2].Kind == AccessKind::Read && log[i + 2].Port == kSR)
        << "poll " << polls << " out of order:\n"
        << Describe({log.begin() + i, log.begin() + i + 3});
    ++polls;
  }
  EXPECT_GE(polls, kPolls);
  EXPECT_TRUE(Writes(*port, since).empty()) << Describe(Writes(*port, since));
}

TEST_F(DisplayTest, IdlePortWithNothingAttached) {
  // DR 0; CR latch 0 reads back 0xC0; open inputs read SR 0x7F. The inverted
  // pins 1, 14, 17 and 11 are high, and so are the open inputs.
  EXPECT_TRUE(ShowsTexts({"0", "192", "127", "00", "C0", "7F", "00000000", "11000000",
                          "01111111"}));
  EXPECT_TRUE(ShowsLit({"1", "14", "17", "PIRQ", "15", "13", "12", "10", "11"}));
}

TEST_F(DisplayTest, EveryOutputDrivenAndEveryInputPulledLow) {
  port->Write(kDR, 0xA5);
  port->Write(kCR, 0xFF);
  for (int pin : {10, 11, 12, 13, 15}) port->SetInputPin(pin, false);
  EXPECT_TRUE(ShowsTexts({"165", "255", "135", "A5", "FF", "87", "10100101", "11111111",
                          "10000111"}));
  EXPECT_TRUE(ShowsLit({"2", "4", "7", "9", "16", "AckIE", "Direct", "PIRQ"}));
}

TEST_F(DisplayTest, LoopbackPlugCarriesDataPinsToInputPins) {
  port->SetWiring(Wiring::Loopback);
  // Pins 3 and 5 high: through the plug pins 13 and 10 high, 15, 12, 11 low.
  port->Write(kDR, 0x0A);
  port->Write(kCR, 0x04);
  EXPECT_TRUE(ShowsTexts({"10", "196", "215", "0A", "C4", "D7", "00001010", "11000100",
                          "11010111"}));
  EXPECT_TRUE(ShowsLit({"3", "5", "1", "14", "16", "17", "PIRQ", "13", "10"}));
}

TEST_F(DisplayTest, BenchToolChangesPinsAndWiringWhileTheProgramPolls) {
  const uint32_t since = port->NextSequence();
  ASSERT_EQ(RunPortTool("set 10 low").ExitCode, 0u);
  ASSERT_EQ(RunPortTool("set 11 low").ExitCode, 0u);
  EXPECT_TRUE(ShowsTexts({"0", "192", "191", "00", "C0", "BF", "00000000", "11000000",
                          "10111111"}));
  ASSERT_EQ(RunPortTool("wiring loopback").ExitCode, 0u);
  // With the plug in and DR 0 all five inputs follow pins 2-6: low.
  EXPECT_TRUE(ShowsTexts({"0", "192", "135", "00", "C0", "87", "00000000", "11000000",
                          "10000111"}));
  ASSERT_EQ(RunPortTool("wiring none").ExitCode, 0u);
  ASSERT_EQ(RunPortTool("set 10 open").ExitCode, 0u);
  ASSERT_EQ(RunPortTool("set 11 open").ExitCode, 0u);
  EXPECT_TRUE(ShowsTexts({"0", "192", "127", "00", "C0", "7F", "00000000", "11000000",
                          "01111111"}));
  EXPECT_TRUE(ShowsLit({"1", "14", "17", "PIRQ", "15", "13", "12", "10", "11"}));
  // Nobody clicked: the program wrote nothing, and it still polls.
  EXPECT_TRUE(Writes(*port, since).empty()) << Describe(Writes(*port, since));
  const uint32_t later = port->NextSequence();
  EXPECT_TRUE(PumpUntil([&] { return CountReads(*port, later, kDR) >= 3; }));
}

}  // namespace
