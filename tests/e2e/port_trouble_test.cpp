// A port library that faults, and a port driver that is not open: each is
// named in one message box owned by the window. After a fault the program
// leaves the port alone but for the exit's DR 0; with a closed driver it goes
// on as it would. Its Wine trace holds the library's faults and no other.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fault_trace.h"
#include "pinlorn.h"
#include "port_list_registry.h"
#include "port_log.h"
#include "pump.h"
#include "window_text.h"

namespace {

struct Trouble {
  const char* Label;
  const char* Library;  // the folder of the port library the program loads; "" the virtual port's
  bool DriverOpen;
  bool RaisedByAClick;  // at a click on "2", not at the start
  std::vector<std::wstring> Told;  // what the box says, among other things
  const char* FaultCode;           // of every fault in the trace
  size_t Faults;                   // the exit's write faults too; none: the port is used as before
  const char* WritesAfterTold;     // from the box's OK to the exit
};

const Trouble kTroubles[] = {
    {"Inp32 faults", PINLORN_FAULTING_INP32, true, false,
     {L"Inp32(0x378)", L"privileged instruction (C0000096)", L"no longer reads or writes the port"},
     "c0000096", 1, "write 378 00\n"},
    {"Out32 faults", PINLORN_FAULTING_OUT32, true, true,
     {L"Out32(0x378)", L"access violation (C0000005)", L"no longer reads or writes the port"},
     "c0000005", 2, "write 378 00\n"},
    {"driver not open", "", false, false, {L"driver is not open", L"as administrator", L"memory integrity"},
     "", 0, "write 378 01\nwrite 378 00\n"},
};

TEST(PortTroubleTest, NamedOnceThenThePortIsLeftAloneOrUsedAsBefore) {
  FaultTrace trace;
  VirtualPort port;
  PortListInRegistry ports(OnePort());
  ASSERT_TRUE(trace.Available()) << "CTest names the trace in PINLORN_SEH_TRACE";
  ASSERT_TRUE(port.IsOpen() && ports.Ok());
  for (const Trouble& t : kTroubles) {
    SCOPED_TRACE(t.Label);
    port.Reset();
    port.SetDriverOpen(t.DriverOpen);
    const size_t faultsBefore = trace.Faults("c").size();
    const uint32_t start = port.NextSequence();
    Pinlorn program(t.Library);
    ASSERT_TRUE(program.Started());
    if (t.RaisedByAClick) {
      ASSERT_TRUE(PumpUntil([&] { return CountReads(port, start, kDR) > 0; }));
      program.Click(program.Cell("2"));
    }
    HWND box = program.WaitBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), "Pinlorn");
    const std::wstring text = MessageText(box);
    for (const std::wstring& told : t.Told) EXPECT_NE(text.find(told), std::wstring::npos);

    // After OK the window stays; a click, then the exit question and Yes.
    const uint32_t told = port.NextSequence();
    Pinlorn::Press(box, IDOK);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(program.Window()) && program.Dialogs().empty(); }));
    const bool leftAlone = t.Faults > 0;
    if (!leftAlone) {
      EXPECT_TRUE(PumpUntil([&] { return CountReads(port, told, kDR) > 0; }));
    }
    program.Click(program.Cell("2"));
    program.CloseWithTheMouse();
    box = program.WaitBox();
    ASSERT_NE(box, nullptr);
    Pinlorn::Press(box, IDYES);
    EXPECT_EQ(program.WaitExit(), std::optional<DWORD>(0));

    EXPECT_EQ(Describe(Writes(port, told)), t.WritesAfterTold);
    EXPECT_EQ(CountReads(port, told, kDR) == 0, leftAlone) << Describe(port.LogSince(told));
    const std::vector<std::string> faults = trace.Faults("c");
    ASSERT_EQ(faults.size() - faultsBefore, t.Faults);
    for (size_t i = faultsBefore; i < faults.size(); ++i) {
      EXPECT_NE(faults[i].find(t.FaultCode), std::string::npos) << faults[i];
    }
  }
}

}  // namespace
