// The list of parallel ports the system reports, as the started program
// shows it: the port list's entries and text, the group-box captions, and
// whether the program then uses the port at all.
#include <gtest/gtest.h>

#include "pinlorn.h"
#include "port_list_registry.h"
#include "port_log.h"
#include "pump.h"
#include "window_text.h"

namespace {

using Value = PortListInRegistry::Value;

const Value kParallel0 = TextValue("\\Device\\Parallel0", "\\DosDevices\\LPT1");
const Value kParallel1 = TextValue("\\Device\\Parallel1", "\\DosDevices\\LPT2");
const Value kParallel2 = TextValue("\\Device\\Parallel2", "\\DosDevices\\LPT3");

Value Dword(const std::string& name, DWORD number) {
  return {name, REG_DWORD, std::string(reinterpret_cast<const char*>(&number), sizeof number)};
}

struct DiscoveryCase {
  const char* Label;
  std::vector<Value> Values;
  std::vector<std::string> Entries;
  const char* Suffixes[3];  // of the DR, CR and SR captions
};

const DiscoveryCase kCases[] = {
    {"no port listed", {}, {}, {"000", "002", "001"}},
    {"Parallel0 and Parallel2", {kParallel0, kParallel2}, {"LPT1", "LPT3"}, {"378", "37A", "379"}},
    {"only Parallel1", {kParallel1}, {"LPT2"}, {"000", "002", "001"}},
    {"Parallel0 typed as a number", {Dword("\\Device\\Parallel0", 0x378), kParallel2}, {"LPT3"},
     {"000", "002", "001"}},
    {"Parallel0 empty", {TextValue("\\Device\\Parallel0", ""), kParallel1}, {"LPT2"},
     {"000", "002", "001"}},
    // What a value names does not matter, and a fourth port is never looked for.
    {"Parallel0 naming LPT2, and a Parallel3",
     {TextValue("\\Device\\Parallel0", "\\DosDevices\\LPT2"),
      TextValue("\\Device\\Parallel3", "\\DosDevices\\LPT4")},
     {"LPT1"},
     {"378", "37A", "379"}},
    {"Parallel0 as an expandable text",
     {{"\\Device\\Parallel0", REG_EXPAND_SZ, std::string("%SystemRoot%\\LPT1") + '\0'}},
     {"LPT1"},
     {"378", "37A", "379"}},
};

// The entries of the port list. Asked for in UTF-16: Wine hands another
// process's combo box entries back in UTF-16 even to the ANSI call.
std::vector<std::string> Entries(HWND list) {
  DWORD_PTR count = 0;
  SendMessageTimeoutW(list, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &count);
  std::vector<std::string> entries;
  for (DWORD_PTR i = 0; i < count; ++i) {
    wchar_t text[64] = L"";
    DWORD_PTR length = 0;
    SendMessageTimeoutW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        kAnswerMs, &length);
    std::string entry;
    for (const wchar_t* c = text; *c; ++c) entry += static_cast<char>(*c < 0x80 ? *c : '?');
    entries.push_back(entry);
  }
  return entries;
}

std::string Suffix(HWND box) {
  const std::string text = TextOf(box);
  return text.size() >= 3 ? text.substr(text.size() - 3) : text;
}

TEST(DiscoveryTest, PortListCaptionsAndPortUseFollowTheRegistry) {
  VirtualPort port;
  ASSERT_TRUE(port.IsOpen());
  for (const DiscoveryCase& c : kCases) {
    SCOPED_TRACE(c.Label);
    port.Reset();
    PortListInRegistry ports(c.Values);
    ASSERT_TRUE(ports.Ok());
    const uint32_t before = port.NextSequence();
    Pinlorn program;
    ASSERT_TRUE(program.Started());

    HWND list = program.PortList();
    EXPECT_EQ(Entries(list), c.Entries);
    EXPECT_EQ(TextOf(list), c.Entries.empty() ? "" : c.Entries[0]);
    HWND boxes[] = {GetParent(program.Cell("2")), GetParent(program.Cell("1")),
                    GetParent(program.Cell("11"))};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Suffix(boxes[i]), c.Suffixes[i]);

    // The first poll replaces the start-up text "000".
    ASSERT_TRUE(PumpUntil([&] { return TextOf(program.Label("SR", "Decimal")) != "000"; }));
    const bool lpt1 = !c.Entries.empty() && c.Entries[0] == "LPT1";
    if (lpt1) {
      EXPECT_TRUE(PumpUntil([&] { return CountReads(port, before, kDR) >= 2; }));
      continue;
    }
    // Without LPT1 there is no port address: the program never touches the
    // port, not even when a cell is clicked, and shows all registers as 0.
    EXPECT_EQ(TextOf(program.Label("SR", "Decimal")), "0");
    program.Click(program.Cell("2"));
    program.Click(program.Cell("1"));
    // The close button's question: the program has handled the clicks by then.
    program.CloseWithTheMouse();
    EXPECT_NE(program.WaitBox(), nullptr);
    EXPECT_TRUE(port.LogSince(before).empty()) << Describe(port.LogSince(before));
  }
}

TEST(DiscoveryTest, WithoutAPortClosingWritesNothing) {
  VirtualPort port;
  ASSERT_TRUE(port.IsOpen());
  port.Reset();
  PortListInRegistry ports({});
  ASSERT_TRUE(ports.Ok());
  const uint32_t before = port.NextSequence();
  Pinlorn program;
  ASSERT_TRUE(program.Started());
  program.RequestClose();
  HWND box = program.WaitBox();
  ASSERT_NE(box, nullptr);
  Pinlorn::Press(box, IDYES);
  EXPECT_EQ(program.WaitExit(), std::optional<DWORD>(0));
  EXPECT_TRUE(port.LogSince(before).empty()) << Describe(port.LogSince(before));
}

}  // namespace
