#include "mouse_input.h"

#include <vector>

namespace {

// Absolute mouse coordinates address the primary screen in steps of 1/65536;
// rounding up lands on the wanted pixel.
LONG Normalised(LONG pixel, int extent) {
  return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + extent - 1) / extent);
}

INPUT MouseEvent(POINT at, DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = Normalised(at.x, GetSystemMetrics(SM_CXSCREEN));
  input.mi.dy = Normalised(at.y, GetSystemMetrics(SM_CYSCREEN));
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  return input;
}

void SetLeftButtonState(bool down) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_LBUTTON] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

}  // namespace

POINT ClientCentreOnScreen(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  POINT centre{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
  ClientToScreen(window, &centre);
  return centre;
}

bool ClickAt(POINT at, int clicks) {
  // Each button event carries its own position: a press without one lands
  // wherever the cursor is by then, which a late pointer event from the X
  // server may have moved.
  std::vector<INPUT> inputs{MouseEvent(at, MOUSEEVENTF_MOVE)};
  for (int i = 0; i < clicks; ++i) {
    inputs.push_back(MouseEvent(at, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN));
    inputs.push_back(MouseEvent(at, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP));
  }
  const UINT count = static_cast<UINT>(inputs.size());
  return SendInput(count, inputs.data(), sizeof(INPUT)) == count;
}

void PressLeftButton(HWND window, int clicks) {
  const LPARAM inside = MAKELPARAM(4, 4);
  for (int i = 0; i < clicks; ++i) {
    SetLeftButtonState(true);
    SendMessageA(window, i == 0 ? WM_LBUTTONDOWN : WM_LBUTTONDBLCLK, MK_LBUTTON, inside);
    SetLeftButtonState(false);
    SendMessageA(window, WM_LBUTTONUP, 0, inside);
  }
}
