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
