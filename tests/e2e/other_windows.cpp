#include "other_windows.h"

#include "window_text.h"

namespace {

struct TopLevelSearch {
  DWORD ProcessId;
  const char* ClassName;
  HWND Owner;
  std::vector<HWND> Found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM context) noexcept {
  auto* search = reinterpret_cast<TopLevelSearch*>(context);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->ProcessId || !IsWindowVisible(window)) return TRUE;
  if (ClassOf(window) != search->ClassName) return TRUE;
  if (search->Owner && GetWindow(window, GW_OWNER) != search->Owner) return TRUE;
  search->Found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM context) noexcept {
  reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD processId, const char* className, HWND owner) {
  TopLevelSearch search{processId, className, owner, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> all;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&all));
  return all;
}

RECT PlaceInParent(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}
