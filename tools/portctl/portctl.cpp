// portctl: shows and steers the virtual parallel port from the command line.
// Every process under the same wineserver shares the port, so this changes
// what a running monitor or test reads. The port lasts only while some
// process has it open (a running program, or portctl hold), so a change with
// no other process holding it would be lost on exit: that is reported as a
// failure. Exit code 0 on success, 1 when
// the port cannot be opened or the change would be lost, 2 for a bad command
// line (then nothing is changed).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "virtual_port.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitNoPort = 1;
constexpr int kExitUsage = 2;
constexpr unsigned kDefaultLogLines = 20;
constexpr unsigned kMaxHoldSeconds = 3600;

int Fail(const std::string& message) {
  std::fprintf(stderr, "portctl: %s\n", message.c_str());
  return kExitUsage;
}

// Strict decimal: digits only, at most 9 of them. False for anything else.
bool ParseNumber(const char* text, unsigned& value) {
  size_t length = std::strlen(text);
  if (length == 0 || length > 9 || std::strspn(text, "0123456789") != length) return false;
  value = static_cast<unsigned>(std::strtoul(text, nullptr, 10));
  return true;
}

std::string Bits(uint8_t value) {
  std::string text(8, '0');
  for (int bit = 0; bit < 8; ++bit) {
    if (value & (1u << bit)) text[static_cast<size_t>(7 - bit)] = '1';
  }
  return text;
}

struct PinRole {
  int Pin;
  const char* Role;
};
constexpr PinRole kPins[] = {
    {1, "output  CR bit 0, inverted"}, {2, "output  DR bit 0"},  {3, "output  DR bit 1"},
    {4, "output  DR bit 2"},           {5, "output  DR bit 3"},  {6, "output  DR bit 4"},
    {7, "output  DR bit 5"},           {8, "output  DR bit 6"},  {9, "output  DR bit 7"},
    {10, "input   SR bit 6"},          {11, "input   SR bit 7, inverted"},
    {12, "input   SR bit 5"},          {13, "input   SR bit 4"},
    {14, "output  CR bit 1, inverted"}, {15, "input   SR bit 3"},
    {16, "output  CR bit 2"},          {17, "output  CR bit 3, inverted"},
};

const char* WiringName(Wiring wiring) { return wiring == Wiring::Loopback ? "loopback" : "none"; }

int Status(VirtualPort& port, char**) {
  uint8_t dr = port.DataLatch(), sr = port.StatusValue(), cr = port.ControlValue();
  std::printf("wiring %s\n", WiringName(port.GetWiring()));
  std::printf("driver %s\n", port.DriverOpen() ? "open" : "closed");
  std::printf("DR 0x%03X  0x%02X  %s\n", kLpt1DR, dr, Bits(dr).c_str());
  std::printf("SR 0x%03X  0x%02X  %s\n", kLpt1SR, sr, Bits(sr).c_str());
  std::printf("CR 0x%03X  0x%02X  %s\n", kLpt1CR, cr, Bits(cr).c_str());
  for (const PinRole& pin : kPins) {
    std::printf("pin %2d  %-4s  %s\n", pin.Pin, port.PinLevel(pin.Pin) ? "high" : "low", pin.Role);
  }
  return kExitOk;
}

int Set(VirtualPort& port, char** args) {
  unsigned pin = 0;
  if (!ParseNumber(args[0], pin)) return Fail(std::string("not a pin number: ") + args[0]);
  const char* level = args[1];
  if (std::strcmp(level, "high") && std::strcmp(level, "low") && std::strcmp(level, "open")) {
    return Fail(std::string("level must be high, low or open, not: ") + level);
  }
  bool known = !std::strcmp(level, "open") ? port.OpenInputPin(static_cast<int>(pin))
                                           : port.SetInputPin(static_cast<int>(pin), !std::strcmp(level, "high"));
  if (!known) return Fail("pin " + std::to_string(pin) + " is not an input pin (inputs: 10, 11, 12, 13, 15)");
  return kExitOk;
}

int SetWiring(VirtualPort& port, char** args) {
  if (!std::strcmp(args[0], "none")) {
    port.SetWiring(Wiring::Nothing);
  } else if (!std::strcmp(args[0], "loopback")) {
    port.SetWiring(Wiring::Loopback);
  } else {
    return Fail(std::string("wiring must be none or loopback, not: ") + args[0]);
  }
  return kExitOk;
}

int SetDriver(VirtualPort& port, char** args) {
  if (std::strcmp(args[0], "open") && std::strcmp(args[0], "closed")) {
    return Fail(std::string("driver must be open or closed, not: ") + args[0]);
  }
  port.SetDriverOpen(!std::strcmp(args[0], "open"));
  return kExitOk;
}

// Keeps the port open, so that what is set meanwhile lasts until a program
// opens the port; says so once it holds it.
int Hold(VirtualPort&, char** args) {
  unsigned seconds = 0;
  if (!ParseNumber(args[0], seconds) || seconds < 1 || seconds > kMaxHoldSeconds) {
    return Fail(std::string("hold needs 1 to ") + std::to_string(kMaxHoldSeconds) + " seconds, not: " + args[0]);
  }
  std::printf("holding\n");
  std::fflush(stdout);
  Sleep(seconds * 1000);
  return kExitOk;
}

int Log(VirtualPort& port, char** args) {
  unsigned count = kDefaultLogLines;
  if (args[0] && (!ParseNumber(args[0], count) || count < 1 || count > kPortLogCapacity)) {
    return Fail(std::string("log count must be 1 to ") + std::to_string(kPortLogCapacity) + ", not: " + args[0]);
  }
  for (const AccessRecord& r : port.LogSince(port.NextSequence() - count)) {
    std::printf("%10u  %-5s  0x%03X  0x%02X\n", static_cast<unsigned>(r.Sequence),
                r.Kind == AccessKind::Read ? "read" : "write", r.Port, r.Value);
  }
  return kExitOk;
}

int Reset(VirtualPort& port, char**) {
  port.Reset();
  return kExitOk;
}

int Help(VirtualPort&, char**);

struct Command {
  const char* Name;
  const char* Arguments;
  int MinArgs;
  int MaxArgs;
  bool Changes;  // steers the port rather than showing it
  int (*Run)(VirtualPort&, char**);
  const char* Summary;
};
constexpr Command kCommands[] = {
    {"status", "", 0, 0, false, Status, "registers, wiring and the level of pins 1-17"},
    {"set", "PIN high|low|open", 2, 2, true, Set, "level of input pin 10, 11, 12, 13 or 15 (open = pulled up)"},
    {"wiring", "none|loopback", 1, 1, true, SetWiring, "loopback plug: 2->15, 3->13, 4->12, 5->10, 6->11"},
    {"driver", "open|closed", 1, 1, true, SetDriver, "what IsInpOutDriverOpen says"},
    {"log", "[N]", 0, 1, false, Log, "the last N port accesses, oldest first (default 20)"},
    {"reset", "", 0, 0, true, Reset, "DR 0, CR 0, inputs open, no wiring, driver open, log cleared"},
    {"hold", "SECONDS", 1, 1, false, Hold, "keep the port open that long, so that changes last"},
    {"help", "", 0, 0, false, Help, "this text"},
};

void PrintUsage(FILE* out) {
  std::fprintf(out, "usage: portctl COMMAND [ARGUMENTS]\n");
  for (const Command& c : kCommands) {
    std::fprintf(out, "  %-6s %-18s %s\n", c.Name, c.Arguments, c.Summary);
  }
}

int Help(VirtualPort&, char**) {
  PrintUsage(stdout);
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage(stderr);
    return kExitUsage;
  }
  for (const Command& c : kCommands) {
    if (std::strcmp(argv[1], c.Name)) continue;
    int given = argc - 2;
    if (given < c.MinArgs || given > c.MaxArgs) {
      return Fail(std::string("usage: portctl ") + c.Name + " " + c.Arguments);
    }
    VirtualPort port;
    if (!port.IsOpen()) {
      std::fprintf(stderr, "portctl: cannot open the virtual port\n");
      return kExitNoPort;
    }
    int result = c.Run(port, argv + 2);  // argv[argc] is null: an absent optional argument reads as null
    if (result == kExitOk && c.Changes && !port.WasAlreadyOpen()) {
      std::fprintf(stderr, "portctl: no other program has the virtual port open, so the change ends with"
                           " portctl; start the program that uses the port first\n");
      return kExitNoPort;
    }
    return result;
  }
  std::fprintf(stderr, "portctl: unknown command: %s\n", argv[1]);
  PrintUsage(stderr);
  return kExitUsage;
}
