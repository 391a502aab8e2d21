// One Pinlorn per session: a second start brings the first one's window
// forward and ends with exit code 0 without touching the port, and a
// Pinlorn that has ended, however it ended, keeps none from starting.
#include <gtest/gtest.h>

#include <memory>

#include "pinlorn.h"
#include "port_list_registry.h"
#include "port_log.h"
#include "pump.h"

namespace {

TEST(InstanceTest, ASecondStartHandsOverToTheFirst) {
  VirtualPort port;
  PortListInRegistry ports(OnePort());
  ASSERT_TRUE(port.IsOpen() && ports.Ok());
  port.Reset();
  auto first = std::make_unique<Pinlorn>();
  ASSERT_TRUE(first->Started());
  ASSERT_TRUE(ShowsRegisters(port, *first, 0x5A, 0x00));
  ShowWindow(first->Window(), SW_MINIMIZE);
  ASSERT_TRUE(PumpUntil([&] { return IsIconic(first->Window()) != FALSE; }));

  const uint32_t since = port.NextSequence();
  Pinlorn second;
  EXPECT_FALSE(second.Started());
  EXPECT_EQ(second.WaitExit(), std::optional<DWORD>(0));
  EXPECT_TRUE(PumpUntil([&] { return !IsIconic(first->Window()); })) << "the first one's window stays minimised";
  EXPECT_EQ(Describe(Writes(port, since)), "(nothing)\n");
  EXPECT_TRUE(ShowsRegisters(port, *first, 0xA5, 0x00)) << "the first one no longer polls";

  first.reset();  // ended from outside: it ran no exit of its own
  Pinlorn third;
  EXPECT_TRUE(third.Started());
}

}  // namespace
