#include "timer_marker.h"

namespace {

constexpr char kClassName[] = "test_timer_marker";
constexpr UINT kStart = WM_APP + 0x51;
constexpr UINT_PTR kTimerId = 1;

}  // namespace

TimerMarker::TimerMarker(DWORD periodMs) : periodMs_(periodMs) {
  WNDCLASSA cls{};
  cls.lpfnWndProc = Proc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpszClassName = kClassName;
  RegisterClassA(&cls);  // fails harmlessly once the class exists
  window_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            cls.hInstance, nullptr);
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TimerMarker::~TimerMarker() { DestroyWindow(window_); }

void TimerMarker::Start() {
  back_ = false;
  SendMessageA(window_, kStart, 0, 0);
}

LRESULT CALLBACK TimerMarker::Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  auto* self = reinterpret_cast<TimerMarker*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self != nullptr && msg == kStart) {
    SetTimer(window, kTimerId, self->periodMs_, nullptr);
    return 0;
  }
  if (self != nullptr && msg == WM_TIMER && wParam == kTimerId) {
    KillTimer(window, kTimerId);
    self->back_ = true;
    return 0;
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}
