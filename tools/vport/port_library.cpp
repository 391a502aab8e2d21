// The port I/O library for benches without a parallel port: Inp32 and Out32
// act on the virtual port that all processes share.
#define PINLORN_PORT_LIBRARY_DEFINITION
#include "port_library.h"
#include "virtual_port.h"

namespace {
VirtualPort& Port() {
  static VirtualPort port;  // opened on first use, not inside DllMain
  return port;
}
}  // namespace

extern "C" short __stdcall Inp32(short port) {
  return Port().Read(static_cast<uint16_t>(port));
}

extern "C" void __stdcall Out32(short port, short data) {
  Port().Write(static_cast<uint16_t>(port), static_cast<uint8_t>(data));
}
