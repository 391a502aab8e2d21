#pragma once
// The port I/O library's logic, without Windows: I/O port numbers in, ppdev
// calls out. PortLibrary routes each port to the device of its base
// (address_map.h); any other port reads 0xFF and ignores writes.
#include <cstdint>
#include <memory>
#include <vector>

#include "address_map.h"
#include "ppdev_port.h"

class PortLibrary {
 public:
  PortLibrary(const std::vector<PortRoute>& routes, SteadyClock clock, FailureReport report);

  uint8_t Read(uint16_t port);
  void Write(uint16_t port, uint8_t value);

 private:
  struct Route {
    uint16_t Base;
    PpdevPort* Port;
  };
  const Route* Find(uint16_t port) const;

  // One PpdevPort per device, however many bases reach it: a device is
  // claimed once.
  std::vector<std::unique_ptr<PpdevPort>> devices_;
  std::vector<Route> routes_;
};

// The variable whose routes come before Wine's key, in the key's form
// ("378=/dev/parport1"): for tests, and for one run.
inline constexpr char kRoutesVariable[] = "PINLORN_PPDEV_MAP";
