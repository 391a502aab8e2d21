// Lets Pinlorn.exe load on Windows XP. The thread library that the C++
// runtime links in statically calls GetTickCount64, which XP's kernel32 does
// not have: an import of it would keep the program from starting there. This
// file fills that import slot itself, so kernel32's entry is never linked in.
// Where Windows has GetTickCount64 it is used; on XP, GetTickCount is carried
// past its 49.7-day wrap.
#include <windows.h>

namespace {

using TickCount64Function = ULONGLONG(WINAPI*)();

// Last value handed out; its high half counts the wraps of GetTickCount.
volatile LONGLONG lastExtendedTick = 0;

ULONGLONG ExtendedTickCount() {
  for (;;) {
    const LONGLONG last = InterlockedCompareExchange64(&lastExtendedTick, 0, 0);
    const DWORD now = GetTickCount();
    LONGLONG next = (last & ~0xFFFFFFFFLL) | now;
    if (now < static_cast<DWORD>(last)) next += 0x100000000LL;
    if (InterlockedCompareExchange64(&lastExtendedTick, next, last) == last) {
      return static_cast<ULONGLONG>(next);
    }
  }
}

ULONGLONG WINAPI TickCount64() {
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  const auto system = reinterpret_cast<TickCount64Function>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "GetTickCount64")));
  return system != nullptr ? system() : ExtendedTickCount();
}

}  // namespace

// The import slot that calls of GetTickCount64 go through.
extern "C" {
TickCount64Function pinlornTickCount64Slot __asm__("__imp__GetTickCount64@0") = TickCount64;
}
