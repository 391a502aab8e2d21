#pragma once
// Which Linux parallel port device answers which I/O base address.
//
// Each device /dev/parportN answers the base that the kernel gives for it in
// /proc/sys/dev/parport/parportN/base-addr. LPT1 (0x378), the one port
// Pinlorn polls, goes to the first device when none sits at 0x378, so that a
// PCI or ExpressCard port (at 0xD010, say) serves it. Routes given by the
// user (Wine's ppdev key, or an environment variable) come before both.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ParportDevice {
  std::string Path;  // /dev/parportN
  uint16_t Base;
};

struct PortRoute {
  uint16_t Base;
  std::string Device;
};

inline constexpr char kParportProcRoot[] = "/proc/sys/dev/parport";
inline constexpr uint16_t kLptOneBase = 0x378;

// The base in a base-addr file's text ("888 1912" is 0x378): its first
// decimal number, if that is an I/O port address.
std::optional<uint16_t> ParseBaseAddr(std::string_view text);

// The devices parport0 .. parport15 whose base-addr file under procRoot
// names a base, in the order of their numbers. Files are read with open()
// and read(), as any program reads them.
std::vector<ParportDevice> ListDevices(const std::string& procRoot = kParportProcRoot);

// Routes written as Wine's key holds them, one "BASE=DEVICE" per entry,
// entries separated by commas: BASE in hexadecimal ("378", "0x378"), DEVICE
// an absolute path. Entries of another form are left out.
std::vector<PortRoute> ParseRoutes(std::string_view text);

// Every base that reaches a device, each once: the given routes first, then
// each device at its own base, then LPT1 to the first device when neither
// gave it one (/dev/parport0 when the kernel lists no device, so that what
// is missing can be named).
std::vector<PortRoute> MapPorts(const std::vector<ParportDevice>& devices,
                                const std::vector<PortRoute>& given);
