#include "guards.h"

namespace {

// Requests that the framework takes only from its own code, and what anyone
// else gets for them. Two hand a standard control an address to write to
// (CB_GETCOMBOBOXINFO) or a routine to call later (EM_SETWORDBREAKPROC), and
// the system passes both on from other programs unchecked; WM_SETREDRAW
// would freeze a window's picture while the port goes on changing; a margin
// far wider than the port list's edit field (EM_SETMARGINS) has the field
// scroll through it on every key, for minutes under Wine, while nothing else
// runs. The port list holds what port discovery put there and nothing else:
// its items change only through the framework's item operations, so that no
// program can fill it without bound, and the dropped list, which selects one
// item, answers no request for a list of selected items (whose size the
// sender chooses).
struct OwnRequestRow {
  UINT Msg;
  LRESULT Answer;
};
constexpr OwnRequestRow kOwnRequests[] = {
    {WM_SETREDRAW, 0},        {CB_GETCOMBOBOXINFO, 0},  {EM_SETWORDBREAKPROC, 0},
    {EM_SETMARGINS, 0},       {CB_ADDSTRING, CB_ERR},   {CB_INSERTSTRING, CB_ERR},
    {CB_DELETESTRING, CB_ERR}, {CB_RESETCONTENT, CB_ERR}, {CB_DIR, CB_ERR},
    {CB_INITSTORAGE, CB_ERR}, {LB_ADDSTRING, LB_ERR},   {LB_INSERTSTRING, LB_ERR},
    {LB_DELETESTRING, LB_ERR}, {LB_RESETCONTENT, LB_ERR}, {LB_DIR, LB_ERR},
    {LB_ADDFILE, LB_ERR},     {LB_INITSTORAGE, LB_ERR}, {LB_GETSELITEMS, LB_ERR},
};
int ownRequestDepth = 0;
int windowsBeingCreated = 0;
int windowsBeingDestroyed = 0;

// The colour request of 16-bit Windows, which the system still knows.
constexpr UINT kOldColorRequest = 0x0019;

HHOOK postedFilter = nullptr;

// Sees every message the thread takes from its queue, in any message loop.
LRESULT CALLBACK NullPostedForgery(int code, WPARAM removal, LPARAM message) noexcept {
  if (code == HC_ACTION && removal == PM_REMOVE) {
    MSG* taken = reinterpret_cast<MSG*>(message);
    switch (taken->message) {
      case WM_NCCREATE:
      case WM_CREATE:
      case WM_DESTROY:
      case WM_NCDESTROY:
        taken->message = WM_NULL;
        break;
      default:
        break;
    }
  }
  return CallNextHookEx(postedFilter, code, removal, message);
}

// Whether a window of another thread lies above the window: then that
// thread's destruction of its window takes this one along.
bool UnderAnotherThreadsWindow(HWND window) {
  const HWND desktop = GetDesktopWindow();
  for (HWND above = GetAncestor(window, GA_PARENT); above != nullptr && above != desktop;
       above = GetAncestor(above, GA_PARENT)) {
    if (GetWindowThreadProcessId(above, nullptr) != GetCurrentThreadId()) return true;
  }
  return false;
}

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

bool IsForeignRequest(UINT msg, LRESULT& answer) {
  if (ownRequestDepth != 0) return false;
  for (const OwnRequestRow& request : kOwnRequests) {
    if (msg == request.Msg) {
      answer = request.Answer;
      return true;
    }
  }
  return false;
}

bool IsForgedDestruction(UINT msg, HWND window) {
  if (msg != WM_DESTROY && msg != WM_NCDESTROY) return false;
  return windowsBeingDestroyed == 0 && InSendMessage() && !UnderAnotherThreadsWindow(window);
}

void FilterPostedForgeries() {
  if (postedFilter == nullptr) {
    postedFilter = SetWindowsHookExA(WH_GETMESSAGE, NullPostedForgery, nullptr, GetCurrentThreadId());
  }
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

WindowDestruction::WindowDestruction() { ++windowsBeingDestroyed; }
WindowDestruction::~WindowDestruction() { --windowsBeingDestroyed; }
