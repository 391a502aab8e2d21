#include "mouse_input.h"

POINT ClientCentreOnScreen(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  POINT centre{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
  ClientToScreen(window, &centre);
  return centre;
}

bool ClickAt(POINT at, int clicks) {
  if (!SetCursorPos(at.x, at.y)) return false;
  for (int i = 0; i < clicks; ++i) {
    INPUT input[2] = {};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    if (SendInput(2, input, sizeof(INPUT)) != 2) return false;
  }
  return true;
}

namespace {

void SetLeftButtonState(bool down) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_LBUTTON] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

}  // namespace

void PressLeftButton(HWND window, int clicks) {
  const LPARAM inside = MAKELPARAM(4, 4);
  for (int i = 0; i < clicks; ++i) {
    SetLeftButtonState(true);
    SendMessageA(window, i == 0 ? WM_LBUTTONDOWN : WM_LBUTTONDBLCLK, MK_LBUTTON, inside);
    SetLeftButtonState(false);
    SendMessageA(window, WM_LBUTTONUP, 0, inside);
  }
}
