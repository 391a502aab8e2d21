#include "refusals.h"

#include <cstring>
#include <optional>

#include "control.h"

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

// The colour request of 16-bit Windows, which the system still knows.
constexpr UINT kOldColorRequest = 0x0019;

HHOOK postedFilter = nullptr;

bool IsCreationNotice(UINT msg) { return msg == WM_NCCREATE || msg == WM_CREATE; }
bool IsDestructionNotice(UINT msg) { return msg == WM_DESTROY || msg == WM_NCDESTROY; }

// Sees every message the thread takes from its queue, in any message loop.
LRESULT CALLBACK NullPostedForgery(int code, WPARAM removal, LPARAM message) noexcept {
  if (code == HC_ACTION && removal == PM_REMOVE) {
    MSG* taken = reinterpret_cast<MSG*>(message);
    if (IsCreationNotice(taken->message) || IsDestructionNotice(taken->message)) taken->message = WM_NULL;
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

// A refusal's answer to the sender, or none when the rule lets the message pass.
using Verdict = std::optional<LRESULT>;
constexpr Verdict kPasses = std::nullopt;
constexpr Verdict kRefused = 0;

// A press of the left button while the thread sees the button up: another
// program posted or sent it. A static control only reports a press in its
// client area as a click, and takes it from anyone, as Windows draws no line
// between a program's posted press and the mouse's. Anywhere else it would
// drop the port list down, start dragging a window or take the mouse.
Verdict ForgedPress(const Arrival& arrival) {
  const UINT msg = arrival.Message.Msg;
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!arrival.InnerWindow && arrival.Control->BaseClassName != nullptr &&
          std::strcmp(arrival.Control->BaseClassName, kStaticClass) == 0) {
        return kPasses;
      }
      break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      break;
    default:
      return kPasses;
  }
  return GetKeyState(VK_LBUTTON) >= 0 ? kRefused : kPasses;
}

// A request that the framework takes only from its own code (kOwnRequests).
Verdict ForeignRequest(const Arrival& arrival) {
  if (OwnRequest::Active()) return kPasses;
  for (const OwnRequestRow& request : kOwnRequests) {
    if (arrival.Message.Msg == request.Msg) return request.Answer;
  }
  return kPasses;
}

// A creation notice while the program creates no window: the system sends
// them only from inside CreateWindowExA. Another program's would have a
// standard control build its parts again. (A framework window also handles
// the last messages of windows whose controls are gone: only its own
// window's notices are judged.)
Verdict ForgedCreation(const Arrival& arrival) {
  const MessageRecord& message = arrival.Message;
  if (!IsCreationNotice(message.Msg) || WindowCreation::Active()) return kPasses;
  return arrival.InnerWindow || message.Window == arrival.Control->Handle ? kRefused : kPasses;
}

// A destruction notice that no destruction sent. The system sends them from
// the thread that destroys the window: this one, or another thread whose
// window the window was moved under. One sent from another thread while no
// window of another thread lies above, and this program destroys no window
// itself, came from another program. An inner window ends only with its
// combo box: while the combo box's window stands, a destruction notice to
// an inner window is forged. (Posted ones never get here: see
// FilterPostedForgeries.)
Verdict ForgedDestruction(const Arrival& arrival) {
  const MessageRecord& message = arrival.Message;
  if (!IsDestructionNotice(message.Msg)) return kPasses;
  if (arrival.InnerWindow) {
    return arrival.Control != nullptr && !arrival.Control->WindowDestroyed ? kRefused : kPasses;
  }
  const bool fromNoDestruction = !WindowDestruction::Active() && InSendMessage();
  return fromNoDestruction && !UnderAnotherThreadsWindow(message.Window) ? kRefused : kPasses;
}

// A new text for a window, sent from another thread: another program
// renaming a cell would have the user flip the pin its caption no longer
// names. Only Pinlorn names its windows (SetText, and the standard controls'
// own texts, all on its one thread).
Verdict ForeignText(const Arrival& arrival) {
  if (arrival.Message.Msg != WM_SETTEXT || OwnRequest::Active() || !InSendMessage()) return kPasses;
  return FALSE;
}

// A close request to a part of the program: only a top-level form has a
// close box. Child controls, their inner windows and the timer window are
// parts that the program keeps pointers to.
Verdict CloseOfAPart(const Arrival& arrival) {
  if (arrival.Message.Msg != WM_CLOSE) return kPasses;
  return arrival.InnerWindow || arrival.Control->IsChild ? kRefused : kPasses;
}

// A device context that is not one of this process's own, in a message that
// carries one in wParam (painting, erasing, printing, colour requests).
// Device contexts belong to one process: such a message came from another
// program, and drawing into its context could take the program down.
Verdict ForeignDeviceContext(const Arrival& arrival) {
  const MessageRecord& message = arrival.Message;
  switch (message.Msg) {
    case WM_PAINT:
      if (message.WParam == 0) return kPasses;  // the usual paint, into the window's own context
      break;
    case WM_ERASEBKGND:
    case kOldColorRequest:
    case WM_ICONERASEBKGND:
    case WM_PRINT:
    case WM_PRINTCLIENT:
      break;
    default:
      if (!IsColorRequest(message.Msg) && !IsReflectedColorRequest(message.Msg)) return kPasses;
  }
  // The framework draws only into screen and memory contexts of its own.
  const DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(message.WParam));
  return type != OBJ_DC && type != OBJ_MEMDC ? kRefused : kPasses;
}

// Everything Pinlorn refuses, in the order it is asked.
constexpr Verdict (*kRefusals[])(const Arrival&) = {
    ForgedPress,  ForeignRequest, ForgedCreation,       ForgedDestruction,
    ForeignText, CloseOfAPart,   ForeignDeviceContext,
};

}  // namespace

bool IsRefused(const Arrival& arrival, LRESULT& answer) {
  for (const auto refusal : kRefusals) {
    if (const Verdict verdict = refusal(arrival); verdict.has_value()) {
      answer = *verdict;
      return true;
    }
  }
  return false;
}

void FilterPostedForgeries() {
  if (postedFilter == nullptr) {
    postedFilter = SetWindowsHookExA(WH_GETMESSAGE, NullPostedForgery, nullptr, GetCurrentThreadId());
  }
}
