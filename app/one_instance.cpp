#include "one_instance.h"

#include <windows.h>

#include "dispatch.h"
#include "mainform.h"

namespace {

// A mutex of the session's namespace marks the running Pinlorn; the system
// closes its handle when the process ends.
constexpr char kRunningMark[] = "Local\\Pinlorn.Running";

// The first Pinlorn's main window, its message box when one is open.
void BringForward() {
  char windowClass[32];
  wsprintfA(windowClass, "%sForm", kClassPrefix);
  const HWND window = FindWindowA(windowClass, kWindowCaption);
  if (window == nullptr) return;  // still building it
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(GetLastActivePopup(window));
}

}  // namespace

bool FirstInSession() {
  // Held, never closed, for as long as the process lives. Should the mark
  // not be made at all, this Pinlorn runs: a second one is the lesser harm
  // than none.
  const HANDLE mark = CreateMutexA(nullptr, FALSE, kRunningMark);
  if (mark == nullptr || GetLastError() != ERROR_ALREADY_EXISTS) return true;
  CloseHandle(mark);
  BringForward();
  return false;
}
