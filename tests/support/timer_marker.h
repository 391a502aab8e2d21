#pragma once
// A marker that comes back through a thread's timers, for showing that
// something driven by a timer did not happen: a timer that was already
// running with the same period falls due no later than the marker, and
// timers come in the order they fall due, so it has ticked by the time the
// marker comes back.
#include <windows.h>

#include <atomic>

class TimerMarker {
 public:
  // The marker belongs to the thread that makes it; `periodMs` is the period
  // of the timer it stands beside.
  explicit TimerMarker(DWORD periodMs);
  ~TimerMarker();
  TimerMarker(const TimerMarker&) = delete;
  TimerMarker& operator=(const TimerMarker&) = delete;

  // Starts the marker's timer on the owning thread, from any thread. From
  // another thread it returns once the owner's message loop (a modal one
  // included) has taken the request.
  void Start();
  // Whether the marker has come back since the last Start.
  bool CameBack() const { return back_; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

  HWND window_ = nullptr;
  DWORD periodMs_;
  std::atomic<bool> back_{false};
};
