// The port library's logic against the ppdev double: the ppdev calls each
// access makes and what it returns, what a failed claim does, and which
// device answers which address.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <utility>

#include "library_api.h"
#include "port_library.h"
#include "ppdev_double.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Access {
  char Kind;  // 'r': a read that must give Value; 'w': a write of Value
  uint16_t Port;
  uint8_t Value;
};

// The library over the double's ports, routed as the kernel lists them, with
// a clock that the test moves and the failure lines it reports.
struct Library {
  explicit Library(const char* ports) {
    PpdevDoubleSetUp(ports);
    logic = std::make_unique<PortLibrary>(
        MapPorts(ListDevices(), {}), [this] { return now; },
        [this](const std::string& line) { reports.push_back(line); });
  }
  void Run(const std::vector<Access>& accesses) {
    for (const Access& a : accesses) {
      SCOPED_TRACE(testing::Message() << a.Kind << " 0x" << std::hex << a.Port);
      if (a.Kind == 'w') logic->Write(a.Port, a.Value);
      else EXPECT_EQ(logic->Read(a.Port), a.Value);
    }
  }
  Clock::time_point now{};
  std::vector<std::string> reports;
  std::unique_ptr<PortLibrary> logic;
};

struct SequenceCase {
  const char* Label;
  const char* Ports;
  std::vector<Access> Accesses;
  const char* Log;  // the double's log, the library's unloading included
};

const SequenceCase kSequences[] = {
    {"one exclusive claim; data is latched; the plug brings pin 2 to pin 15", "0x378:loopback",
     {{'w', 0x378, 0x01}, {'r', 0x378, 0x01}, {'r', 0x379, 0x8F}},
     "open /dev/parport0\nPPEXCL\nPPCLAIM\nPPWDATA 0x01\nPPRDATA 0x01\nPPRSTATUS 0x8F\nPPRELEASE\nclose\n"},
    {"control: bits 0-3 to ppdev, direction by PPDATADIR, bits 4-5 kept, 6-7 read 1", "0x378",
     {{'w', 0x37A, 0x35}, {'r', 0x37A, 0xF5}, {'w', 0x37A, 0x15}, {'r', 0x37A, 0xD5}},
     "open /dev/parport0\nPPEXCL\nPPCLAIM\nPPWCONTROL 0x05\nPPDATADIR 1\nPPRCONTROL 0x05\n"
     "PPWCONTROL 0x05\nPPDATADIR 0\nPPRCONTROL 0x05\nPPRELEASE\nclose\n"},
    {"in reverse the data register reads the pins", "0x378:loopback",
     {{'w', 0x37A, 0x20}, {'r', 0x378, 0xFF}, {'r', 0x379, 0x7F}},
     "open /dev/parport0\nPPEXCL\nPPCLAIM\nPPWCONTROL 0x00\nPPDATADIR 1\nPPRDATA 0xFF\n"
     "PPRSTATUS 0x7F\nPPRELEASE\nclose\n"},
    {"status writes and ports of no device touch nothing", "0x378",
     {{'w', 0x379, 0x00}, {'r', 0x278, 0xFF}, {'w', 0x27A, 0x01}, {'r', 0x37B, 0xFF}, {'r', 0x377, 0xFF}},
     ""},
    {"a card at 0xD010 answers there and as LPT1, claimed once", "0xd010:loopback",
     {{'w', 0x378, 0x02}, {'r', 0xD011, 0x97}},
     "open /dev/parport0\nPPEXCL\nPPCLAIM\nPPWDATA 0x02\nPPRSTATUS 0x97\nPPRELEASE\nclose\n"},
};

TEST(PortLibrary, AccessesMakeTheseCalls) {
  for (const SequenceCase& c : kSequences) {
    SCOPED_TRACE(c.Label);
    Library library(c.Ports);
    library.Run(c.Accesses);
    library.logic.reset();
    EXPECT_EQ(PpdevDoubleLog(), std::string(c.Log));
    EXPECT_TRUE(library.reports.empty());
  }
}

struct FailureCase {
  const char* Label;
  const char* Ports;
  const char* Cure;     // in the one line reported
  const char* Attempt;  // what one claim does
};

const FailureCase kFailures[] = {
    {"no port at all", "", "modprobe parport_pc", "open /dev/parport0: ENOENT\n"},
    {"no device node", "0x378:enoent", "modprobe parport_pc", "open /dev/parport0: ENOENT\n"},
    {"no permission", "0x378:eacces", "join group lp", "open /dev/parport0: EACCES\n"},
    {"held by the printer module", "0x378:busy", "rmmod lp",
     "open /dev/parport0\nPPEXCL\nPPCLAIM: ENXIO\nclose\n"},
};

// Reads give an open bus, writes go nowhere, one line names the cure, the
// claim is tried again once a second, and once cured the port works.
TEST(PortLibrary, FailedClaimsReadOpenBusRetryOnceASecondAndSayTheCure) {
  for (const FailureCase& c : kFailures) {
    SCOPED_TRACE(c.Label);
    Library library(c.Ports);
    library.Run({{'r', 0x379, 0xFF}, {'w', 0x378, 0x55}, {'r', 0x37A, 0xFF}});
    library.now += std::chrono::milliseconds(999);
    library.Run({{'r', 0x378, 0xFF}});
    EXPECT_EQ(PpdevDoubleLog(), std::string(c.Attempt));
    library.now += std::chrono::milliseconds(1);
    library.Run({{'w', 0x378, 0x55}});
    EXPECT_EQ(PpdevDoubleLog(), std::string(c.Attempt) + c.Attempt);
    ASSERT_EQ(library.reports.size(), 1u);
    EXPECT_NE(library.reports[0].find(c.Cure), std::string::npos) << library.reports[0];

    PpdevDoubleSetUp("0x378:loopback");
    library.now += std::chrono::seconds(1);
    library.Run({{'r', 0x379, 0x87}});
  }
}

TEST(PortLibrary, APortThatGoesAwayIsLetGoAndClaimedAgain) {
  Library library("0x378:loopback");
  library.Run({{'w', 0x378, 0x01}});
  PpdevDoubleSetUp("0x378:loopback");  // the claimed descriptor stops working
  library.Run({{'r', 0x379, 0xFF}, {'r', 0x379, 0xFF}});
  EXPECT_EQ(library.reports.size(), 1u);
  library.now += std::chrono::seconds(1);
  library.Run({{'r', 0x379, 0x87}});
}

struct MapCase {
  const char* Label;
  std::vector<std::pair<int, const char*>> BaseAddr;  // parportN's base-addr text
  const char* Given;
  std::vector<std::pair<uint16_t, const char*>> Routes;
};

const MapCase kMaps[] = {
    {"a card at 0xD010 serves LPT1", {{0, "53264 0\n"}}, "",
     {{0xD010, "/dev/parport0"}, {0x378, "/dev/parport0"}}},
    {"LPT1 is the device at 0x378, first or not", {{0, "53264 0\n"}, {1, "888 1912\n"}}, "",
     {{0xD010, "/dev/parport0"}, {0x378, "/dev/parport1"}}},
    {"given routes come first", {{0, "53264 0\n"}, {1, "888 1912\n"}}, "378=/dev/parport0",
     {{0x378, "/dev/parport0"}, {0xD010, "/dev/parport0"}}},
    {"without devices LPT1 names the first", {}, "", {{0x378, "/dev/parport0"}}},
    {"malformed entries are left out", {{0, "none"}, {2, "632 1656"}},
     "x=/dev/a, 3bc=relative, 0x278=/dev/parport9,378",
     {{0x278, "/dev/parport9"}, {0x378, "/dev/parport2"}}},
};

TEST(AddressMap, DevicesAndGivenRoutesMapToBases) {
  const auto root = std::filesystem::path(testing::TempDir()) / "parport-map";
  for (const MapCase& c : kMaps) {
    SCOPED_TRACE(c.Label);
    std::filesystem::remove_all(root);
    for (const auto& [n, text] : c.BaseAddr) {
      const auto folder = root / ("parport" + std::to_string(n));
      std::filesystem::create_directories(folder);
      std::ofstream(folder / "base-addr") << text;
    }
    std::vector<std::pair<uint16_t, std::string>> routes;
    for (const PortRoute& r : MapPorts(ListDevices(root), ParseRoutes(c.Given))) {
      routes.emplace_back(r.Base, r.Device);
    }
    EXPECT_EQ(routes, (std::vector<std::pair<uint16_t, std::string>>(c.Routes.begin(), c.Routes.end())));
  }
}

TEST(AddressMap, TheVariableComesBeforeWinesKey) {
  PpdevDoubleSetUp("0x378,0x278");
  setenv(kRoutesVariable, "378=/dev/parport1", 1);
  PpdevStart("378=/dev/parport0", nullptr);
  PpdevWrite(0x378, 0x01);
  PpdevStop();
  unsetenv(kRoutesVariable);
  EXPECT_EQ(std::string(PpdevDoubleLog()).substr(0, 19), "open /dev/parport1\n");
}

}  // namespace
