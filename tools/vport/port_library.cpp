// The port I/O library for benches without a parallel port: Inp32 and Out32
// act on the virtual port that all processes share, and IsInpOutDriverOpen
// says what the port tool last set (open, unless told otherwise).
//
// Built with PINLORN_VPORT_FAULT_IN_INP32 or PINLORN_VPORT_FAULT_IN_OUT32 it
// is a library that faults, as broken ones do, for the tests: after the
// access, every Inp32 runs the processor's own in instruction, which Windows
// NT answers with a privileged-instruction fault, as an old library that
// reaches the port itself does; or every Out32 writes where nothing lies, an
// access violation.
#include <cstdint>

#define PINLORN_PORT_LIBRARY_DEFINITION
#include "port_library.h"
#include "virtual_port.h"

namespace {
VirtualPort& Port() {
  static VirtualPort port;  // opened on first use, not inside DllMain
  return port;
}

#if defined(PINLORN_VPORT_FAULT_IN_INP32)
void Fault(uint16_t port) {
  uint8_t value;
  asm volatile("inb %w1, %b0" : "=a"(value) : "Nd"(port));
}
#elif defined(PINLORN_VPORT_FAULT_IN_OUT32)
volatile uintptr_t nowhere = 16;  // an address in the page that is never mapped
void Fault(uint8_t value) { *reinterpret_cast<volatile uint8_t*>(nowhere) = value; }
#endif
}  // namespace

extern "C" short __stdcall Inp32(short port) {
  const uint8_t value = Port().Read(static_cast<uint16_t>(port));
#if defined(PINLORN_VPORT_FAULT_IN_INP32)
  Fault(static_cast<uint16_t>(port));
#endif
  return value;
}

extern "C" void __stdcall Out32(short port, short data) {
  Port().Write(static_cast<uint16_t>(port), static_cast<uint8_t>(data));
#if defined(PINLORN_VPORT_FAULT_IN_OUT32)
  Fault(static_cast<uint8_t>(data));
#endif
}

extern "C" int __stdcall IsInpOutDriverOpen() { return Port().DriverOpen() ? 1 : 0; }
