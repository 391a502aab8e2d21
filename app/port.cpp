#include "port.h"

#include <windows.h>

#include "guarded_call.h"
#include "port_library.h"  // the port I/O library, bound when the program loads

PortStateRecord PortState{};

namespace {

// One call into the library: the I/O port, and the byte read or written.
struct PortCall {
  uint16_t Port;
  uint8_t Value;
};

void CallInp32(void* call) {
  PortCall& c = *static_cast<PortCall*>(call);
  c.Value = static_cast<uint8_t>(Inp32(static_cast<short>(c.Port)));
}

void CallOut32(void* call) {
  const PortCall& c = *static_cast<PortCall*>(call);
  Out32(static_cast<short>(c.Port), c.Value);
}

// Makes the call guarded; a fault is kept as the library's first, unless
// one came before. False when the call faulted.
bool Guarded(const char* name, void (*call)(void*), void* argument, uint16_t port) {
  const FaultCode code = CallGuarded(call, argument);
  if (code == kNoFault) return true;
  if (!PortFailed()) PortState.Fault = PortFault{name, port, code};
  return false;
}

bool ReadPort(uint32_t offset, uint8_t& value) {
  PortCall call{RegisterPort(offset), 0};
  if (!Guarded("Inp32", CallInp32, &call, call.Port)) return false;
  value = call.Value;
  return true;
}

bool WritePort(uint32_t offset, uint8_t value) {
  PortCall call{RegisterPort(offset), value};
  return Guarded("Out32", CallOut32, &call, call.Port);
}

// A write asked for while the port is in use; the register then holds the
// value written as its last value, until the next poll reads it back.
bool WriteRegister(uint32_t offset, uint8_t value, uint8_t& last) {
  if (!PortChosen() || PortState.RunEnded || PortFailed()) return false;
  if (!WritePort(offset, value)) return false;
  last = value;
  return true;
}

struct DriverQuestion {
  DriverOpenQuery Query;
  int Open;
};

void AskDriverOpen(void* question) {
  DriverQuestion& q = *static_cast<DriverQuestion*>(question);
  q.Open = q.Query();
}

// The library's driver query, from the module that Inp32 was bound to.
DriverOpenQuery FindDriverOpenQuery() {
  HMODULE library = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(&Inp32), &library)) {
    return nullptr;
  }
  // Through the generic function type, which converts to and from any other.
  const auto found = reinterpret_cast<void (*)()>(GetProcAddress(library, kDriverOpenQueryName));
  return reinterpret_cast<DriverOpenQuery>(found);
}

}  // namespace

uint16_t RegisterPort(uint32_t offset) {
  return static_cast<uint16_t>(PortState.BaseAddress + offset);
}

bool PortChosen() { return PortState.BaseAddress != 0; }

bool PortFailed() { return PortState.Fault.Call != nullptr; }

bool ReadRegisters() {
  if (!PortChosen() || PortFailed()) return false;
  return ReadPort(kDROffset, PortState.LastDR) && ReadPort(kCROffset, PortState.LastCR) &&
         ReadPort(kSROffset, PortState.LastSR);
}

bool WriteDR(uint8_t value) { return WriteRegister(kDROffset, value, PortState.LastDR); }

bool WriteCR(uint8_t value) { return WriteRegister(kCROffset, value, PortState.LastCR); }

bool EndRunWithDataLow() {
  // Tried after a fault of the library too: the data lines are left low
  // wherever the library still can.
  const bool written = PortChosen() && !PortState.RunEnded && WritePort(kDROffset, 0);
  if (written) PortState.LastDR = 0;
  PortState.RunEnded = true;
  return written;
}

void CheckPortDriver() {
  if (!PortChosen() || PortFailed()) return;
  DriverQuestion question{FindDriverOpenQuery(), TRUE};
  if (question.Query == nullptr) return;
  if (Guarded(kDriverOpenQueryName, AskDriverOpen, &question, 0)) {
    PortState.DriverClosed = question.Open == FALSE;
  }
}
