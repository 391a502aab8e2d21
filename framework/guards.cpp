#include "guards.h"

namespace {

// Requests that the framework takes only from its own code. Two hand a
// standard control an address to write to (CB_GETCOMBOBOXINFO) or a routine
// to call later (EM_SETWORDBREAKPROC), and the system passes both on from
// other programs unchecked; WM_SETREDRAW would freeze a window's picture
// while the port goes on changing; and a margin far wider than the port
// list's edit field (EM_SETMARGINS) has the field scroll through it on every
// key, for minutes under Wine, while nothing else runs.
constexpr UINT kOwnRequests[] = {WM_SETREDRAW, CB_GETCOMBOBOXINFO, EM_SETWORDBREAKPROC,
                                 EM_SETMARGINS};
int ownRequestDepth = 0;
int windowsBeingCreated = 0;

// The colour request of 16-bit Windows, which the system still knows.
constexpr UINT kOldColorRequest = 0x0019;

}  // namespace

bool IsForgedLeftPress(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      return GetKeyState(VK_LBUTTON) >= 0;
    default:
      return false;
  }
}

bool IsForeignRequest(UINT msg) {
  if (ownRequestDepth != 0) return false;
  for (UINT request : kOwnRequests) {
    if (msg == request) return true;
  }
  return false;
}

bool IsForgedDestruction(UINT msg, HWND window) {
  return (msg == WM_DESTROY || msg == WM_NCDESTROY) && IsWindowVisible(window);
}

bool IsForgedCreation(UINT msg) {
  return (msg == WM_NCCREATE || msg == WM_CREATE) && windowsBeingCreated == 0;
}

bool HasForeignDeviceContext(UINT msg, WPARAM wParam) {
  switch (msg) {
    case WM_PAINT:
      if (wParam == 0) return false;  // the usual paint, into the window's own context
      break;
    case WM_ERASEBKGND:
    case kOldColorRequest:
    case WM_ICONERASEBKGND:
    case WM_PRINT:
    case WM_PRINTCLIENT:
      break;
    default:
      if (!IsColorRequest(msg) && !IsReflectedColorRequest(msg)) return false;
  }
  // The framework draws only into screen and memory contexts of its own.
  const DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(wParam));
  return type != OBJ_DC && type != OBJ_MEMDC;
}

OwnRequest::OwnRequest() { ++ownRequestDepth; }
OwnRequest::~OwnRequest() { --ownRequestDepth; }

WindowCreation::WindowCreation() { ++windowsBeingCreated; }
WindowCreation::~WindowCreation() { --windowsBeingCreated; }
