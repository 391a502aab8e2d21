#include "pump.h"

namespace {

constexpr DWORD kLookAgainMs = 5;

}  // namespace

void DrainMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    DrainMessages();
    if (done()) return true;
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    const DWORD left = timeoutMs - elapsed;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, left < kLookAgainMs ? left : kLookAgainMs,
                              QS_ALLINPUT);
  }
}

bool TakeQuitMessage() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}
