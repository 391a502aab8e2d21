#include "window_text.h"

#include <algorithm>

#include "constants.h"

std::string TextOf(HWND window) {
  char text[512] = "";
  DWORD_PTR length = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, kAnswerMs, &length);
  return std::string(text, std::min<size_t>(length, sizeof text - 1));
}

std::wstring WideTextOf(HWND window) {
  wchar_t text[512] = L"";
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      kAnswerMs, &length);
  return std::wstring(text, std::min<size_t>(length, 511));
}

std::string ClassOf(HWND window) {
  char name[128] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}
