// Real mouse clicks on the running window's cells, and what reached the port.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "pinlorn.h"
#include "port_log.h"
#include "pump.h"
#include "window_text.h"

namespace {

class ClickTest : public RunningPinlornTest {
 protected:
  static ::testing::AssertionResult Registers(uint8_t dr, uint8_t cr) {
    return ShowsRegisters(*port, *program, dr, cr);
  }

  // The program's writes from `since` on, once `count` of them have arrived.
  static std::vector<AccessRecord> WritesAfter(uint32_t since, size_t count) {
    PumpUntil([&] { return Writes(*port, since).size() >= count; });
    return Writes(*port, since);
  }
};

struct ClickCase {
  const char* Cell;
  uint8_t DR, CR;     // register values before the click (CR as written)
  uint16_t Written;   // port the click writes
  uint8_t Value;      // byte it writes
};

// Every writable cell flips its own bit in the value last read; CR bits 6
// and 7, which read as 1, are written back as read.
constexpr ClickCase kClicks[] = {
    {"2", 0x00, 0x00, kDR, 0x01},      {"3", 0x5A, 0x00, kDR, 0x58},
    {"4", 0x5A, 0x00, kDR, 0x5E},      {"5", 0x5A, 0x00, kDR, 0x52},
    {"6", 0x5A, 0x00, kDR, 0x4A},      {"7", 0x5A, 0x00, kDR, 0x7A},
    {"8", 0x5A, 0x00, kDR, 0x1A},      {"9", 0x7F, 0x00, kDR, 0xFF},
    {"1", 0x00, 0x00, kCR, 0xC1},      {"14", 0x00, 0x15, kCR, 0xD7},
    {"16", 0x00, 0x15, kCR, 0xD1},     {"17", 0x00, 0x15, kCR, 0xDD},
    {"AckIE", 0x00, 0x15, kCR, 0xC5},  {"Direct", 0x00, 0x04, kCR, 0xE4},
    {"9", 0x80, 0x00, kDR, 0x00},
};

TEST_F(ClickTest, EachWritableCellWritesItsRegisterWithItsBitFlipped) {
  for (const ClickCase& c : kClicks) {
    SCOPED_TRACE(c.Cell);
    ASSERT_TRUE(Registers(c.DR, c.CR));
    const uint32_t since = port->NextSequence();
    program->Click(program->Cell(c.Cell));
    const std::vector<AccessRecord> writes = WritesAfter(since, 1);
    ASSERT_EQ(writes.size(), 1u) << Describe(writes);
    EXPECT_EQ(writes[0].Port, c.Written);
    EXPECT_EQ(writes[0].Value, c.Value);
    // The window follows the port at the next poll.
    const std::string shown = std::to_string(c.Written == kDR ? port->DataLatch()
                                                              : port->ControlValue());
    EXPECT_TRUE(PumpUntil([&] {
      return TextOf(program->Label(c.Written == kDR ? "DR" : "CR", "Decimal")) == shown;
    }));
  }
}

TEST_F(ClickTest, StatusCellsWriteNothing) {
  ASSERT_TRUE(Registers(0x00, 0x00));
  const uint32_t since = port->NextSequence();
  for (const char* caption : {"PIRQ", "15", "13", "12", "10", "11"}) {
    program->Click(program->Cell(caption));
  }
  // Clicks are handled in turn: once this one's write arrives, the six
  // before it have been handled too.
  program->Click(program->Cell("5"));
  const std::vector<AccessRecord> writes = WritesAfter(since, 1);
  ASSERT_EQ(writes.size(), 1u) << Describe(writes);
  EXPECT_EQ(writes[0].Port, kDR);
  EXPECT_EQ(writes[0].Value, 0x08);
}

TEST_F(ClickTest, LabelsGroupBoxesAndThePortListWriteNothing) {
  ASSERT_TRUE(Registers(0x00, 0x00));
  const uint32_t since = port->NextSequence();
  program->Click(program->Label("DR", "Binary"));
  program->Click(program->Label("CR", "Hex"));
  RECT box;
  GetWindowRect(GetParent(program->Cell("2")), &box);
  program->ClickAt({box.left + 150, box.top + 40});  // inside DR's box, between its labels and cells
  RECT list;
  GetWindowRect(program->PortList(), &list);
  program->ClickAt({list.left + 8, (list.top + list.bottom) / 2});  // into the list's text
  program->Click(program->Cell("6"));
  const std::vector<AccessRecord> writes = WritesAfter(since, 1);
  ASSERT_EQ(writes.size(), 1u) << Describe(writes);
  EXPECT_EQ(writes[0].Value, 0x10);
}

// Presses and lets go of each key in turn, as one input.
void TypeKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Drops the port list down with its button, and closes it again with Esc.
void DropDownAndClose(Pinlorn& program, HWND list) {
  RECT rect;
  GetWindowRect(list, &rect);
  const auto dropped = [&] {
    DWORD_PTR state = 0;
    SendMessageTimeoutA(list, CB_GETDROPPEDSTATE, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &state);
    return state != 0;
  };
  // Under Wine a click on the button now and then leaves the list closed;
  // a person would click again.
  for (int attempt = 0; attempt < 3 && !dropped(); ++attempt) {
    program.ClickAt({rect.right - 8, (rect.top + rect.bottom) / 2});
    PumpUntil(dropped, 1000);
  }
  ASSERT_TRUE(dropped());
  TypeKeys({VK_ESCAPE});
  ASSERT_TRUE(PumpUntil([&] { return !dropped(); }));
}

// Typing another port into the port list, or dropping its list down, has no
// effect on the captions or on which port is polled and written.
TEST_F(ClickTest, EditingThePortListChangesNothing) {
  HWND list = program->PortList();
  RECT rect;
  GetWindowRect(list, &rect);
  program->ClickAt({rect.left + 8, (rect.top + rect.bottom) / 2});
  TypeKeys({VK_END, VK_BACK, VK_BACK, VK_BACK, VK_BACK, 'L', 'P', 'T', '3', VK_RETURN});
  ASSERT_TRUE(PumpUntil([&] { return TextOf(list) == "lpt3" || TextOf(list) == "LPT3"; }))
      << TextOf(list);
  ASSERT_NO_FATAL_FAILURE(DropDownAndClose(*program, list));

  EXPECT_EQ(TextOf(GetParent(program->Cell("2"))), "Data Register    (DR)  378");
  const uint32_t since = port->NextSequence();
  EXPECT_TRUE(PumpUntil([&] { return CountReads(*port, since, kDR) >= 3; }));
  EXPECT_TRUE(Writes(*port, since).empty());
  program->Click(program->Cell("7"));
  ASSERT_TRUE(PumpUntil([&] { return !Writes(*port, since).empty(); }));
  EXPECT_EQ(Writes(*port, since)[0].Port, kDR);
}

// However quickly a person clicks, every press of a cell flips its bit once,
// from the value the click before it wrote: a double click is two clicks, a
// triple click three, and two presses between polls both count. Each row
// starts from DR 0; a click on cell "9" after it ends the row, its write
// (bit 7 flipped) coming last.
struct PressCase {
  const char* Label;
  void (*Press)(const Pinlorn& program);
  std::vector<uint8_t> Written;  // DR's writes, in order, the one of "9" last
};

void PostPress(HWND cell, UINT msg) {
  PostMessageA(cell, msg, MK_LBUTTON, MAKELPARAM(4, 4));
  PostMessageA(cell, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

// Presses on "2" and "3" that reach a program busy for a moment (its thread
// held still): both wait in its queue, and it takes both before its timer.
void PressTwoInOnePeriod(const Pinlorn& program) {
  const HWND cells[] = {program.Cell("2"), program.Cell("3")};
  const DWORD id = GetWindowThreadProcessId(program.Window(), nullptr);
  const HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, id);
  ASSERT_NE(thread, nullptr);
  SuspendThread(thread);
  for (HWND cell : cells) PostPress(cell, WM_LBUTTONDOWN);
  ResumeThread(thread);
  CloseHandle(thread);
}

const PressCase kPresses[] = {
    {"double click", [](const Pinlorn& p) { p.Click(p.Cell("2"), 2); }, {0x01, 0x00, 0x80}},
    {"triple click", [](const Pinlorn& p) { p.Click(p.Cell("2"), 3); }, {0x01, 0x00, 0x01, 0x81}},
    {"posted double click", [](const Pinlorn& p) { PostPress(p.Cell("2"), WM_LBUTTONDBLCLK); }, {0x01, 0x81}},
    {"two presses in one period", PressTwoInOnePeriod, {0x01, 0x03, 0x83}},
};

TEST_F(ClickTest, EveryPressFlipsOnceFromTheValueLastWritten) {
  for (const PressCase& c : kPresses) {
    SCOPED_TRACE(c.Label);
    ASSERT_TRUE(Registers(0x00, 0x00));
    const uint32_t since = port->NextSequence();
    c.Press(*program);
    program->Click(program->Cell("9"));
    const std::vector<AccessRecord> writes = WritesAfter(since, c.Written.size());
    std::vector<uint8_t> written;
    for (const AccessRecord& write : writes) written.push_back(write.Value);
    EXPECT_EQ(written, c.Written) << Describe(writes);
  }
}

// A burst of clicks on one cell, faster than the poll and taken as double
// clicks or not: each flips bit 0 of DR's last value, read or written, and
// nothing else is written; the window keeps working.
TEST_F(ClickTest, BurstOfClicksOnOneCell) {
  constexpr int kClicks = 40;
  ASSERT_TRUE(Registers(0x40, 0x00));
  const uint32_t since = port->NextSequence();
  program->Click(program->Cell("2"), kClicks);
  // A click on another cell ends the burst: its write (bit 6 flipped) comes last.
  program->Click(program->Cell("8"));

  std::vector<AccessRecord> writes;
  ASSERT_TRUE(PumpUntil([&] {
    writes = Writes(*port, since);
    return writes.size() > kClicks;
  })) << Describe(writes);
  ASSERT_EQ(writes.size(), kClicks + 1u) << Describe(writes);
  uint8_t last = 0x40;
  for (const AccessRecord& write : writes) {
    const uint8_t flipped = &write == &writes.back() ? 0x40 : 0x01;
    EXPECT_EQ(write.Port, kDR);
    EXPECT_EQ(write.Value, last ^ flipped) << Describe(writes);
    last = write.Value;
  }
  // Still polling and showing the port as it is.
  EXPECT_TRUE(PumpUntil([&] {
    return TextOf(program->Label("DR", "Decimal")) == std::to_string(port->DataLatch());
  }));
}

}  // namespace
