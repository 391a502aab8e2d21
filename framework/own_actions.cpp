#include "own_actions.h"

namespace {

// How many of each action the program is in the middle of (they may nest).
int underway[3] = {};

// Counts one action for as long as it lives.
struct Underway {
  explicit Underway(OwnAction action) : Count(underway[static_cast<size_t>(action)]) { ++Count; }
  ~Underway() { --Count; }
  int& Count;
};

}  // namespace

LRESULT SendOwnRequest(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  const Underway request(OwnAction::kRequest);
  return SendMessageA(window, msg, wParam, lParam);
}

HWND CreateOwnWindow(DWORD exStyle, const char* className, const char* text, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU id, HINSTANCE instance) {
  const Underway creation(OwnAction::kCreation);
  return CreateWindowExA(exStyle, className, text, style, x, y, width, height, parent, id, instance, nullptr);
}

void DestroyOwnWindow(HWND window) {
  const Underway destruction(OwnAction::kDestruction);
  DestroyWindow(window);
}

bool Doing(OwnAction action) { return underway[static_cast<size_t>(action)] != 0; }
