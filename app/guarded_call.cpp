#include "guarded_call.h"

#include <windows.h>

#include <float.h>

// How a faulting call is abandoned, on 32-bit and 64-bit Windows alike.
//
// A vectored exception handler sees every exception of the process first,
// before any frame-based handler. It acts only while a guarded call is in
// progress on the faulting thread, and only on the hardware faults below. It
// does not unwind: it points the faulting thread's context at
// ResumeAfterFault, on the stack below CallGuarded's frames, and lets the
// thread go on there. ResumeAfterFault jumps back into CallGuarded
// (__builtin_longjmp to the point its __builtin_setjmp marked), which
// returns the fault's code. The system, not the handler, leaves the
// exception, so its own dispatch ends as after any handled fault. Seeing
// the fault first, the handler also takes one that the library would have
// handled itself as the library's fault.
//
// 32-bit Windows keeps its frame-based handlers in a chain that starts in
// the thread's information block; the library may have added frames to it
// that the jump leaves behind, so CallGuarded puts back the chain's start
// that it found at entry. 64-bit Windows keeps no such chain: its handlers
// are found from tables, by the instruction address.
//
// mingw's g++ has no __try, and C++ catch does not see hardware exceptions:
// this is the way that works for both processors.

namespace {

struct HardwareFault {
  FaultCode Code;
  const char* Name;
};
// The faults a call into the library is abandoned on.
constexpr HardwareFault kHardwareFaults[] = {
    {EXCEPTION_ACCESS_VIOLATION, "an access violation"},
    {EXCEPTION_IN_PAGE_ERROR, "an in-page error"},
    {EXCEPTION_PRIV_INSTRUCTION, "a privileged instruction"},
    {EXCEPTION_ILLEGAL_INSTRUCTION, "an illegal instruction"},
    {EXCEPTION_DATATYPE_MISALIGNMENT, "a misaligned access"},
    {EXCEPTION_ARRAY_BOUNDS_EXCEEDED, "an array bounds fault"},
    {EXCEPTION_INT_DIVIDE_BY_ZERO, "an integer division by zero"},
    {EXCEPTION_INT_OVERFLOW, "an integer overflow"},
    {EXCEPTION_FLT_DENORMAL_OPERAND, "a floating-point fault"},
    {EXCEPTION_FLT_DIVIDE_BY_ZERO, "a floating-point fault"},
    {EXCEPTION_FLT_INEXACT_RESULT, "a floating-point fault"},
    {EXCEPTION_FLT_INVALID_OPERATION, "a floating-point fault"},
    {EXCEPTION_FLT_OVERFLOW, "a floating-point fault"},
    {EXCEPTION_FLT_STACK_CHECK, "a floating-point fault"},
    {EXCEPTION_FLT_UNDERFLOW, "a floating-point fault"},
    {EXCEPTION_STACK_OVERFLOW, "a stack overflow"},
};

// The guarded call in progress. Pinlorn guards calls on one thread; a
// guarded call that runs a message loop (a library may show a message box)
// can lead to another, which keeps the outer one's record and puts it back.
struct Guard {
  void* Resume[5];           // CallGuarded's __builtin_setjmp buffer
  DWORD Thread;              // the thread whose call is guarded; 0 while none is
  FaultCode Code;            // the fault that abandoned the call
  uintptr_t FreeStackTop;    // below this the stack belongs to the call alone
  void* ChainAtEntry;        // the start of 32-bit Windows' chain of frame handlers
};
Guard guard{};

// Room left between the abandoned call's stack and the resumed thread's.
constexpr uintptr_t kStackGap = 64;

// The start of 32-bit Windows' chain of frame handlers, the first word of
// the thread's information block (fs:[0]).
#if defined(__i386__)
void* HandlerChainStart() {
  void* start;
  asm volatile("movl %%fs:0, %0" : "=r"(start));
  return start;
}
void SetHandlerChainStart(void* start) { asm volatile("movl %0, %%fs:0" : : "r"(start) : "memory"); }
#else
void* HandlerChainStart() { return nullptr; }
void SetHandlerChainStart(void*) {}
#endif

// Where an abandoned call goes on.
[[noreturn]] void ResumeAfterFault() noexcept { __builtin_longjmp(guard.Resume, 1); }

// Makes the call from a frame of its own below CallGuarded's: the stack
// below this frame's address is the call's, and free once the call is
// abandoned.
[[gnu::noinline]] void EnterCall(void (*call)(void*), void* argument) {
  guard.FreeStackTop = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  call(argument);
}

LONG CALLBACK AbandonFaultingCall(EXCEPTION_POINTERS* exception) noexcept {
  const FaultCode code = exception->ExceptionRecord->ExceptionCode;
  if (guard.Thread == 0 || guard.Thread != GetCurrentThreadId() || FaultName(code) == nullptr) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  guard.Thread = 0;  // a fault on the way back is not the call's
  guard.Code = code;
  // The stack as a call into ResumeAfterFault would find it: 16-byte
  // aligned before the return address that the call would have pushed.
  const uintptr_t stack = ((guard.FreeStackTop - kStackGap) & ~uintptr_t{15}) - sizeof(void*);
  CONTEXT& context = *exception->ContextRecord;
#if defined(__x86_64__)
  context.Rsp = stack;
  context.Rip = reinterpret_cast<uintptr_t>(&ResumeAfterFault);
#else
  context.Esp = stack;
  context.Eip = reinterpret_cast<uintptr_t>(&ResumeAfterFault);
#endif
  return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

FaultCode CallGuarded(void (*call)(void*), void* argument) {
  static const bool handlerAdded = AddVectoredExceptionHandler(1, AbandonFaultingCall) != nullptr;
  if (!handlerAdded) {
    call(argument);
    return kNoFault;
  }
  const Guard outer = guard;
  guard.ChainAtEntry = HandlerChainStart();
  guard.Code = kNoFault;
  if (__builtin_setjmp(guard.Resume) == 0) {
    guard.Thread = GetCurrentThreadId();
    EnterCall(call, argument);
  } else {
    SetHandlerChainStart(guard.ChainAtEntry);
    // A floating-point fault leaves its flags pending in the FPU, where the
    // next floating-point instruction would raise them again.
    _fpreset();
  }
  const FaultCode code = guard.Code;
  guard = outer;
  return code;
}

const char* FaultName(FaultCode code) {
  for (const HardwareFault& fault : kHardwareFaults) {
    if (fault.Code == code) return fault.Name;
  }
  return nullptr;
}
