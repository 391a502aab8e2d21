// waitwindow CAPTION [SECONDS [DESKTOP]]: waits until a visible top-level
// window with exactly this caption exists on the desktop (the default one, or
// the Wine desktop named DESKTOP) and its program answers messages, then
// prints its rectangle (left, top, width, height) and where its client area
// starts on the screen (left, top), so that a script can click into it. Exit code 0 when found, 1 when SECONDS (default 30)
// passed. scripts/run uses it to know when Pinlorn's window is up.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Search {
  const char* Caption;
  HWND Found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) noexcept {
  auto* search = reinterpret_cast<Search*>(context);
  char text[256];
  if (IsWindowVisible(window) && GetWindowTextA(window, text, sizeof text) > 0 &&
      std::strcmp(text, search->Caption) == 0) {
    search->Found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: waitwindow CAPTION [SECONDS [DESKTOP]]\n");
    return 2;
  }
  const DWORD limitMs = (argc >= 3 ? std::strtoul(argv[2], nullptr, 10) : 30) * 1000;
  // Windows of another desktop are seen only from a thread on that desktop.
  const char* desktopName = argc == 4 ? argv[3] : nullptr;
  bool onDesktop = desktopName == nullptr;
  const DWORD start = GetTickCount();
  Search search{argv[1], nullptr};
  for (;;) {
    search.Found = nullptr;
    // The named desktop appears only once its program has started.
    if (!onDesktop) {
      HDESK desktop = OpenDesktopA(desktopName, 0, FALSE, GENERIC_ALL);
      onDesktop = desktop && SetThreadDesktop(desktop);
    }
    if (onDesktop) EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    DWORD_PTR ignored;
    // A window that answers has left its start-up and is dispatching messages.
    if (search.Found &&
        SendMessageTimeoutA(search.Found, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored)) {
      break;
    }
    if (GetTickCount() - start >= limitMs) return 1;
    Sleep(50);
  }
  RECT rect;
  GetWindowRect(search.Found, &rect);
  POINT client{0, 0};
  ClientToScreen(search.Found, &client);
  std::printf("%ld %ld %ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
              rect.bottom - rect.top, client.x, client.y);
  return 0;
}
