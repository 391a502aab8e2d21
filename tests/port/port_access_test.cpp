// Port access as the virtual port's log sees it: which ports, in which order,
// and what lands in PortState.
#include <gtest/gtest.h>

#include <vector>

#include "constants.h"
#include "port.h"
#include "virtual_port.h"

namespace {

struct Access {
  uint16_t port;
  AccessKind kind;
  uint8_t value;
  bool operator==(const Access&) const = default;
};

void PrintTo(const Access& a, std::ostream* os) {
  *os << (a.kind == AccessKind::Read ? "read 0x" : "write 0x") << std::hex << a.port << "=0x" << int{a.value};
}

class PortAccess : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(port_.IsOpen());
    saved_ = PortState;
    port_.Reset();
  }
  void TearDown() override {
    PortState = saved_;
    port_.Reset();
  }
  // Everything the port saw since `from`.
  std::vector<Access> Since(uint32_t from) {
    std::vector<Access> out;
    for (const AccessRecord& r : port_.LogSince(from)) out.push_back({r.Port, r.Kind, r.Value});
    return out;
  }

  VirtualPort port_;
  PortStateRecord saved_{};
};

TEST_F(PortAccess, ReadingTouchesDrThenCrThenSrAndKeepsEachByte) {
  // Three registers that read differently: DR 0x5A, CR 0xC5, SR with pins 15 and 11 low.
  port_.Write(kDR, 0x5A);
  port_.Write(kCR, 0x05);
  port_.SetInputPin(15, false);
  port_.SetInputPin(11, false);
  PortState = {kLpt1Base, 0, 0, 0};

  uint32_t from = port_.NextSequence();
  ASSERT_TRUE(ReadRegisters());
  EXPECT_EQ(Since(from), (std::vector<Access>{{kDR, AccessKind::Read, 0x5A},
                                              {kCR, AccessKind::Read, 0xC5},
                                              {kSR, AccessKind::Read, 0xF7}}));
  EXPECT_EQ(PortState.LastDR, 0x5A);
  EXPECT_EQ(PortState.LastCR, 0xC5);
  EXPECT_EQ(PortState.LastSR, 0xF7);
}

TEST_F(PortAccess, WritesReachTheirRegistersAndBecomeTheirLastValues) {
  PortState = {kLpt1Base, 0x11, 0x22, 0x33};
  uint32_t from = port_.NextSequence();
  ASSERT_TRUE(WriteDR(0xA5));
  ASSERT_TRUE(WriteCR(0xFF));
  EXPECT_EQ(Since(from), (std::vector<Access>{{kDR, AccessKind::Write, 0xA5},
                                              {kCR, AccessKind::Write, 0xFF}}));
  EXPECT_EQ(port_.DataLatch(), 0xA5);
  EXPECT_EQ(port_.ControlValue(), 0xFF);
  EXPECT_EQ(PortState.LastDR, 0xA5);
  EXPECT_EQ(PortState.LastCR, 0xFF);
  EXPECT_EQ(PortState.LastSR, 0x33);
}

TEST_F(PortAccess, NothingTouchesThePortBeforeOneIsChosen) {
  PortState = {0, 1, 2, 3};
  uint32_t from = port_.NextSequence();
  EXPECT_FALSE(PortChosen());
  EXPECT_FALSE(ReadRegisters());
  EXPECT_FALSE(WriteDR(0xFF));
  EXPECT_FALSE(WriteCR(0xFF));
  EXPECT_TRUE(Since(from).empty());
  EXPECT_EQ(PortState.LastDR, 1);
  EXPECT_EQ(PortState.LastCR, 2);
  EXPECT_EQ(PortState.LastSR, 3);
  EXPECT_EQ(port_.DataLatch(), 0);
}

TEST_F(PortAccess, PortNumbersAreTheLow16BitsOfBasePlusOffset) {
  // Base 0x1FFFF: DR at 0xFFFF (passed to the library as a negative short), CR at
  // 0x0001 and SR at 0x0000 after the carry; no hardware there, so all read 0xFF.
  PortState = {0x1FFFF, 0, 0, 0};
  EXPECT_EQ(RegisterPort(kDROffset), 0xFFFF);
  uint32_t from = port_.NextSequence();
  ASSERT_TRUE(ReadRegisters());
  ASSERT_TRUE(WriteDR(0x80));
  EXPECT_EQ(Since(from), (std::vector<Access>{{0xFFFF, AccessKind::Read, 0xFF},
                                              {0x0001, AccessKind::Read, 0xFF},
                                              {0x0000, AccessKind::Read, 0xFF},
                                              {0xFFFF, AccessKind::Write, 0x80}}));
  EXPECT_EQ(PortState.LastDR, 0x80);
  EXPECT_EQ(port_.DataLatch(), 0);
}

}  // namespace
