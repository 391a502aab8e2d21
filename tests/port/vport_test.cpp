// The virtual port behaves like a standard parallel port, and every process
// sees the same port: checked here through the client and through portctl.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include "constants.h"
#include "port_tool.h"
#include "virtual_port.h"

namespace {

class VPort : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(port_.IsOpen());
    port_.Reset();
  }
  void TearDown() override { port_.Reset(); }
  VirtualPort port_;
};

TEST_F(VPort, RegistersReadBackAsTheHardwareDoes) {
  const struct {
    const char* label;
    uint16_t port;
    uint8_t written;
    uint16_t readPort;
    uint8_t read;
  } cases[] = {
      {"DR latch", kDR, 0xA5, kDR, 0xA5},
      {"CR bits 6-7 read 1", kCR, 0x15, kCR, 0xD5},
      {"CR all set", kCR, 0xFF, kCR, 0xFF},
      {"SR is read-only", kSR, 0x00, kSR, 0x7F},
      {"no hardware at 0x278", 0x278, 0x00, 0x278, 0xFF},
      {"LPT1 untouched by 0x278", 0x278, 0x00, kDR, 0x00},
      {"no hardware at 0x3BC", 0x3BC, 0x12, 0x3BC, 0xFF},
  };
  for (const auto& c : cases) {
    port_.Reset();
    port_.Write(c.port, c.written);
    EXPECT_EQ(port_.Read(c.readPort), c.read) << c.label;
  }
}

TEST_F(VPort, IdlePortAndControlPinInversion) {
  EXPECT_EQ(port_.StatusValue(), 0x7F);
  EXPECT_EQ(port_.ControlValue(), 0xC0);
  for (int pin : {1, 14, 17, 10, 11, 12, 13, 15}) EXPECT_TRUE(port_.PinLevel(pin)) << pin;
  for (int pin : {2, 9, 16, 18, 25, 0}) EXPECT_FALSE(port_.PinLevel(pin)) << pin;
  port_.Write(kCR, 0x0F);
  for (int pin : {1, 14, 17}) EXPECT_FALSE(port_.PinLevel(pin)) << pin;
  EXPECT_TRUE(port_.PinLevel(16));
}

TEST_F(VPort, InputPinsDriveStatusBitsWithPin11Inverted) {
  const struct {
    int pin;
    uint8_t statusWhenLow;
  } cases[] = {{15, 0x77}, {13, 0x6F}, {12, 0x5F}, {10, 0x3F}, {11, 0xFF}};
  for (const auto& c : cases) {
    ASSERT_TRUE(port_.SetInputPin(c.pin, false));
    EXPECT_EQ(port_.StatusValue(), c.statusWhenLow) << c.pin;
    EXPECT_FALSE(port_.PinLevel(c.pin));
    ASSERT_TRUE(port_.SetInputPin(c.pin, true));
    EXPECT_EQ(port_.StatusValue(), 0x7F) << c.pin;
    port_.SetInputPin(c.pin, false);
    ASSERT_TRUE(port_.OpenInputPin(c.pin));
    EXPECT_EQ(port_.StatusValue(), 0x7F) << c.pin;
  }
  port_.SetInputPin(15, false);
  for (int pin : {0, 1, 2, 9, 14, 16, 17, 18}) {
    EXPECT_FALSE(port_.SetInputPin(pin, true)) << pin;
    EXPECT_FALSE(port_.OpenInputPin(pin)) << pin;
  }
  EXPECT_EQ(port_.StatusValue(), 0x77);
}

TEST_F(VPort, LoopbackPlugOverridesInputPins) {
  port_.SetInputPin(13, false);
  port_.SetWiring(Wiring::Loopback);
  const struct {
    uint8_t dr;
    uint8_t sr;
  } cases[] = {{0x00, 0x87}, {0x1F, 0x7F}, {0x01, 0x8F}, {0x02, 0x97}, {0x10, 0x07}, {0xE0, 0x87}};
  for (const auto& c : cases) {
    port_.Write(kDR, c.dr);
    EXPECT_EQ(port_.Read(kSR), c.sr) << int{c.dr};
  }
  port_.SetWiring(Wiring::Nothing);
  EXPECT_EQ(port_.StatusValue(), 0x6F);  // pin 13's own setting is back
}

TEST_F(VPort, LogKeepsTheLatestAccessesInOrderWithinItsRing) {
  uint32_t start = port_.NextSequence();
  port_.Read(kDR);
  port_.Write(kCR, 0x2F);
  auto log = port_.LogSince(start);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].Sequence, start);
  EXPECT_EQ(log[1].Sequence, start + 1);
  EXPECT_EQ(log[1].Port, kCR);
  EXPECT_EQ(log[1].Kind, AccessKind::Write);
  EXPECT_EQ(log[1].Value, 0x2F);
  EXPECT_TRUE(port_.LogSince(start + 5).empty());  // not given yet
  EXPECT_EQ(port_.StatusValue(), 0x7F);            // not logged
  EXPECT_EQ(port_.NextSequence(), start + 2);

  for (int i = 0; i < 9000; ++i) port_.Read(kSR);
  log = port_.LogSince(start);
  ASSERT_EQ(log.size(), kPortLogCapacity);
  EXPECT_EQ(log.front().Sequence, start + 9002 - kPortLogCapacity);
  EXPECT_EQ(log.back().Sequence, start + 9001);

  port_.ClearLog();
  EXPECT_TRUE(port_.LogSince(start).empty());
  EXPECT_EQ(port_.NextSequence(), start + 9002);
}

// Follows the log of a port with the loopback plug, reading what is new
// since its last look: every record must come in order and well formed, and
// each SR read must show the DR write logged last before it.
class LoopbackLogFollower {
 public:
  explicit LoopbackLogFollower(uint32_t start) : Next(start) {}

  void Look(VirtualPort& port) {
    const std::vector<AccessRecord> log = port.LogSince(Next);
    if (log.empty()) return;
    if (log.front().Sequence != Next) LeftOut();
    for (size_t i = 0; i < log.size() && Fault.empty(); ++i) {
      if (i > 0 && log[i].Sequence <= log[i - 1].Sequence) {
        Fault = "sequence " + std::to_string(log[i].Sequence) + " out of order";
        return;
      }
      if (i > 0 && log[i].Sequence != log[i - 1].Sequence + 1) LeftOut();
      Check(log[i]);
    }
    Next = log.back().Sequence + 1;
  }

  std::atomic<uint32_t> Next;  // the first record not looked at yet
  std::string Fault;           // the first fault found
  int Checked = 0;             // SR reads checked against DR
  int Gaps = 0;                // records left out (their client was held up too long)

 private:
  // DR is unknown after a gap, until the next write.
  void LeftOut() {
    dr_ = -1;
    ++Gaps;
  }

  void Check(const AccessRecord& r) {
    if (r.Port == kDR && r.Kind == AccessKind::Write && r.Value < 0x20) {
      dr_ = r.Value;
    } else if (r.Port != kSR || r.Kind != AccessKind::Read) {
      Fault = "malformed record at " + std::to_string(r.Sequence);
    } else if (dr_ >= 0) {
      // Loopback: DR bits 0-4 on pins 15, 13, 12, 10, 11; SR bit 7 inverted.
      if (r.Value != static_cast<uint8_t>((0x07 | (dr_ << 3)) ^ 0x80)) {
        Fault = "read at " + std::to_string(r.Sequence) + " saw " + std::to_string(r.Value) +
                " after DR " + std::to_string(dr_);
      }
      ++Checked;
    }
  }

  int dr_ = 0x00;  // the DR value at Next, while the log is followed without a gap
};

// Two clients that each open the port themselves, as processes do: one
// writes DR, the other reads SR, both as fast as they can until stopped. They
// stay within half the log's ring of the follower, so that it sees every
// record.
class PacedClients {
 public:
  explicit PacedClients(const LoopbackLogFollower& follower)
      : follower_(follower), writer_([this] { WriteDR(); }), reader_([this] { ReadSR(); }) {}
  ~PacedClients() { Stop(); }
  PacedClients(const PacedClients&) = delete;
  PacedClients& operator=(const PacedClients&) = delete;

  void Stop() {
    stop_ = true;
    if (writer_.joinable()) writer_.join();
    if (reader_.joinable()) reader_.join();
  }

  std::atomic<int> Writes{0}, Reads{0};

 private:
  void KeepPace(VirtualPort& own) {
    while (!stop_ && own.NextSequence() - follower_.Next > 4096) SwitchToThread();
  }
  void WriteDR() {
    VirtualPort own;
    for (int i = 0; !stop_; ++i, ++Writes) {
      KeepPace(own);
      own.Write(kDR, static_cast<uint8_t>(i & 0x1F));
    }
  }
  void ReadSR() {
    VirtualPort own;
    for (; !stop_; ++Reads) {
      KeepPace(own);
      own.Read(kSR);
    }
  }

  const LoopbackLogFollower& follower_;
  std::atomic<bool> stop_{false};
  std::thread writer_, reader_;
};

// Clients that each open the port themselves, as processes do, access it at
// the same time while a third follows the log. Every access is logged once,
// in the order the accesses took effect: with the loopback plug, each SR read
// shows the DR write logged last before it. No record is ever half-written.
TEST_F(VPort, ConcurrentClientsAreLoggedInTheOrderTheirAccessesTookEffect) {
  constexpr int kEach = 50000;  // accesses each client makes at least
  port_.SetWiring(Wiring::Loopback);
  port_.Write(kDR, 0x00);
  const uint32_t start = port_.NextSequence();
  LoopbackLogFollower follower(start);
  PacedClients clients(follower);
  const DWORD deadline = GetTickCount() + 20000;
  while (follower.Fault.empty() && (clients.Writes < kEach || clients.Reads < kEach) &&
         static_cast<int32_t>(GetTickCount() - deadline) < 0) {
    follower.Look(port_);
  }
  clients.Stop();
  EXPECT_EQ(follower.Fault, "");
  EXPECT_GE(clients.Writes, kEach);
  EXPECT_GE(clients.Reads, kEach);
  EXPECT_GT(follower.Checked, kEach / 2) << follower.Gaps << " gaps";
  EXPECT_EQ(port_.NextSequence() - start, static_cast<uint32_t>(clients.Writes + clients.Reads));
}

// A client that dies between changing the port and writing its record
// leaves a claimed slot that is never marked written. Accesses go on, and
// every reader skips that record (how long each waits: scripts/bench).
TEST_F(VPort, AClientDyingMidAccessStallsNobody) {
  const uint32_t start = port_.NextSequence();
  port_.Write(kDR, 0x01);
  port_.WriteAndDie(kDR, 0x02);
  EXPECT_EQ(port_.DataLatch(), 0x02);  // the access itself took effect
  port_.Write(kCR, 0x03);
  EXPECT_EQ(port_.Read(kDR), 0x02);

  for (int pass = 0; pass < 2; ++pass) {
    const std::vector<AccessRecord> log = port_.LogSince(start);
    ASSERT_EQ(log.size(), 3u) << "pass " << pass;
    EXPECT_EQ(log[0].Sequence, start);
    EXPECT_EQ(log[0].Value, 0x01);
    EXPECT_EQ(log[1].Sequence, start + 2);
    EXPECT_EQ(log[1].Port, kCR);
    EXPECT_EQ(log[2].Sequence, start + 3);
    EXPECT_EQ(log[2].Kind, AccessKind::Read);
    EXPECT_EQ(log[2].Value, 0x02);
  }
  EXPECT_EQ(port_.NextSequence(), start + 4);
}

TEST_F(VPort, BenchToolSteersAndShowsTheSamePort) {
  PortToolRun run = RunPortTool("set 15 low");
  EXPECT_EQ(run.ExitCode, 0u) << run.Err;
  EXPECT_EQ(port_.StatusValue(), 0x77);

  EXPECT_EQ(RunPortTool("wiring loopback").ExitCode, 0u);
  EXPECT_EQ(port_.GetWiring(), Wiring::Loopback);
  EXPECT_EQ(RunPortTool("driver closed").ExitCode, 0u);
  EXPECT_FALSE(port_.DriverOpen());

  port_.Write(kDR, 0x1F);
  port_.Read(kSR);
  run = RunPortTool("status");
  EXPECT_EQ(run.ExitCode, 0u) << run.Err;
  EXPECT_NE(run.Out.find("wiring loopback"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("driver closed"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("SR 0x379  0x7F  01111111"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("pin  6  high"), std::string::npos) << run.Out;

  run = RunPortTool("log 2");
  EXPECT_EQ(run.ExitCode, 0u) << run.Err;
  EXPECT_NE(run.Out.find("write  0x378  0x1F"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("read   0x379  0x7F"), std::string::npos) << run.Out;
  EXPECT_LT(run.Out.find("write"), run.Out.find("read")) << run.Out;

  EXPECT_EQ(RunPortTool("reset").ExitCode, 0u);
  EXPECT_EQ(port_.GetWiring(), Wiring::Nothing);
  EXPECT_TRUE(port_.DriverOpen());
  EXPECT_EQ(port_.DataLatch(), 0);
  EXPECT_EQ(port_.StatusValue(), 0x7F);
}

TEST_F(VPort, BenchToolRejectsBadInputAndChangesNothing) {
  port_.Write(kDR, 0x5A);
  port_.SetInputPin(13, false);
  auto snapshot = [&] {
    std::string s = std::to_string(port_.DataLatch()) + "/" + std::to_string(port_.ControlValue()) + "/" +
                    std::to_string(port_.StatusValue()) + "/" + std::to_string(int(port_.GetWiring())) + "/" +
                    std::to_string(port_.NextSequence()) + "/" + std::to_string(port_.LogSince(0).size()) +
                    "/" + std::to_string(port_.DriverOpen());
    return s;
  };
  const std::string before = snapshot();
  // "log 8193" asks for one access more than the log keeps.
  for (const char* args : {"", "frobnicate", "set 2 low", "set 16 high", "set 15 middle", "set 15",
                           "set x15 low", "set -15 low", "set 15 low extra", "wiring star", "log 0",
                           "log 8193", "log -1", "log 99999999999", "status now", "reset please",
                           "driver ajar", "driver", "hold 0", "hold 3601", "hold soon"}) {
    PortToolRun run = RunPortTool(args);
    EXPECT_EQ(run.ExitCode, 2u) << "'" << args << "'";
    EXPECT_NE(run.Err.find("portctl"), std::string::npos) << "'" << args << "': " << run.Err;
    EXPECT_TRUE(run.Out.empty()) << "'" << args << "': " << run.Out;
    EXPECT_EQ(snapshot(), before) << "'" << args << "'";
  }
}

// With no other process holding the port, a change would vanish with portctl.
TEST(VPortAlone, BenchChangeNobodyKeepsIsReportedAsFailure) {
  PortToolRun run = RunPortTool("set 15 low");
  EXPECT_EQ(run.ExitCode, 1u);
  EXPECT_NE(run.Err.find("no other program"), std::string::npos) << run.Err;
  run = RunPortTool("status");
  EXPECT_EQ(run.ExitCode, 0u) << run.Err;
  EXPECT_NE(run.Out.find("SR 0x379  0x7F"), std::string::npos) << run.Out;
}

}  // namespace
