#pragma once
// Calls into the port library that survive its hardware faults. A port
// library is foreign code: an old one runs the processor's in and out
// instructions itself, which Windows NT answers with a privileged-instruction
// fault, and a broken one may read or write where nothing lies. C++ catch
// sees none of these, and a fault in a click would end the program.
#include <cstdint>

// How a guarded call ended: kNoFault when it returned, otherwise the code of
// the hardware exception it raised (EXCEPTION_ACCESS_VIOLATION and the like).
using FaultCode = uint32_t;
constexpr FaultCode kNoFault = 0;

// Runs call(argument) on this thread. Should the call raise a hardware
// exception, it is abandoned where it stands and the exception's code is
// returned. What the abandoned frames held is not cleaned up: `call` must
// own nothing that needs it, as a bare call into the library owns nothing.
// Other exceptions, and faults outside a guarded call, go their usual way.
FaultCode CallGuarded(void (*call)(void* argument), void* argument);

// What a fault is, for a person: "an access violation"; null for a code
// that is no hardware fault.
const char* FaultName(FaultCode code);
