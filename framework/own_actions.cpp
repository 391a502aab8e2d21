#include "own_actions.h"

namespace {

// How many of each the program is in the middle of (they may nest).
int ownRequests = 0;
int ownCreations = 0;
int ownDestructions = 0;

// Counts one for as long as it lives.
class Underway {
 public:
  explicit Underway(int& count) : count_(count) { ++count_; }
  ~Underway() { --count_; }
  Underway(const Underway&) = delete;
  Underway& operator=(const Underway&) = delete;

 private:
  int& count_;
};

}  // namespace

LRESULT SendOwnRequest(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  const Underway request(ownRequests);
  return SendMessageA(window, msg, wParam, lParam);
}

HWND CreateOwnWindow(const CREATESTRUCTA& window) {
  const Underway creation(ownCreations);
  return CreateWindowExA(window.dwExStyle, window.lpszClass, window.lpszName,
                         static_cast<DWORD>(window.style), window.x, window.y, window.cx, window.cy,
                         window.hwndParent, window.hMenu, window.hInstance, window.lpCreateParams);
}

void DestroyOwnWindow(HWND window) {
  const Underway destruction(ownDestructions);
  DestroyWindow(window);
}

bool SendingOwnRequest() { return ownRequests != 0; }
bool CreatingOwnWindow() { return ownCreations != 0; }
bool DestroyingOwnWindow() { return ownDestructions != 0; }
