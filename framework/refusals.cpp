#include "refusals.h"

#include <cstring>
#include <optional>

#include "control.h"
#include "own_actions.h"

namespace {

// Requests that the framework takes only from its own code (SendOwnRequest),
// and what anyone else gets for them. Two hand a standard control an address
// to write to (CB_GETCOMBOBOXINFO) or a routine to call later
// (EM_SETWORDBREAKPROC), and the system passes both on from other programs
// unchecked; WM_SETREDRAW would freeze a window's picture while the port goes
// on changing; a margin far wider than the port list's edit field
// (EM_SETMARGINS) has the field scroll through it on every key, for minutes
// under Wine, while nothing else runs. The port list holds what port
// discovery put there and nothing else: its items change only through the
// framework's item operations, so that no program can fill it without bound,
// and the dropped list, which selects one item, answers no request for a list
// of selected items (whose size the sender chooses).
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

bool IsCreationNotice(UINT msg) { return msg == WM_NCCREATE || msg == WM_CREATE; }
bool IsDestructionNotice(UINT msg) { return msg == WM_DESTROY || msg == WM_NCDESTROY; }
bool IsLeftPress(UINT msg) { return msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK; }

bool IsStatic(const TControl& control) {
  return control.BaseClassName != nullptr && std::strcmp(control.BaseClassName, kStaticClass) == 0;
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

// What a rule makes of a message, or nothing, when the rule does not speak
// of it.
struct Verdict {
  Ruling What;
  LRESULT Answer;
};
using Opinion = std::optional<Verdict>;
constexpr Opinion kNoOpinion = std::nullopt;
constexpr Verdict kTaken{Ruling::kTaken, 0};
constexpr Verdict kNotPassedOn{Ruling::kNotPassedOn, 0};
constexpr Verdict Refused(LRESULT answer) { return {Ruling::kRefused, answer}; }

// A press on a cell or a label, a static's client area, which the static
// reports as a click: taken from anyone, as Windows draws no line between a
// program's posted press and the mouse's.
Opinion PressOnAStatic(const Arrival& arrival) {
  return IsLeftPress(arrival.Message.Msg) && IsStatic(*arrival.Control) ? Opinion(kTaken) : kNoOpinion;
}

// Any other press of the left button while the thread sees the button up:
// another program posted or sent it. It would drop the port list down, start
// dragging a window or take the mouse.
Opinion ForgedPress(const Arrival& arrival) {
  const UINT msg = arrival.Message.Msg;
  if (!IsLeftPress(msg) && msg != WM_NCLBUTTONDOWN && msg != WM_NCLBUTTONDBLCLK) return kNoOpinion;
  return GetKeyState(VK_LBUTTON) >= 0 ? Opinion(Refused(0)) : kNoOpinion;
}

// A request that the framework takes only from its own code (kOwnRequests).
Opinion ForeignRequest(const Arrival& arrival) {
  if (SendingOwnRequest()) return kNoOpinion;
  for (const OwnRequestRow& request : kOwnRequests) {
    if (arrival.Message.Msg == request.Msg) return Refused(request.Answer);
  }
  return kNoOpinion;
}

// A creation notice while the program creates no window: the system sends
// them only from inside CreateWindowExA. Another program's would have a
// standard control build its parts again. (A framework window also handles
// the last messages of windows whose controls are gone: only its own
// window's notices are judged.)
Opinion ForgedCreation(const Arrival& arrival) {
  const MessageRecord& message = arrival.Message;
  if (!IsCreationNotice(message.Msg) || CreatingOwnWindow()) return kNoOpinion;
  const bool own = arrival.Place == Where::kInnerWindow || message.Window == arrival.Control->Handle;
  return own ? Opinion(Refused(0)) : kNoOpinion;
}

// A destruction notice that no destruction sent. The system sends them from
// the thread that destroys the window: this one, or another thread whose
// window the window was moved under. One sent from another thread while no
// window of another thread lies above, and this program destroys no window
// itself, came from another program. An inner window ends only with its
// combo box: while the combo box's window stands, a destruction notice to
// an inner window is forged. (Posted ones never get here: PostedNotice.)
Opinion ForgedDestruction(const Arrival& arrival) {
  const MessageRecord& message = arrival.Message;
  if (!IsDestructionNotice(message.Msg)) return kNoOpinion;
  if (arrival.Place == Where::kInnerWindow) {
    return arrival.Control != nullptr && !arrival.Control->WindowDestroyed ? Opinion(Refused(0)) : kNoOpinion;
  }
  const bool fromNoDestruction = !DestroyingOwnWindow() && InSendMessage();
  return fromNoDestruction && !UnderAnotherThreadsWindow(message.Window) ? Opinion(Refused(0)) : kNoOpinion;
}

// A creation or destruction notice in the queue: the system sends them and
// never posts them. Such a message taken from the queue becomes a WM_NULL,
// whichever window of the thread it names.
Opinion PostedNotice(const Arrival& arrival) {
  const UINT msg = arrival.Message.Msg;
  return IsCreationNotice(msg) || IsDestructionNotice(msg) ? Opinion(Refused(0)) : kNoOpinion;
}

// A new text for a window, sent from another thread: another program
// renaming a cell would have the user flip the pin its caption no longer
// names. Only Pinlorn names its windows (SetText, and the standard controls'
// own texts, all on its one thread).
Opinion ForeignText(const Arrival& arrival) {
  if (arrival.Message.Msg != WM_SETTEXT || SendingOwnRequest() || !InSendMessage()) return kNoOpinion;
  return Refused(FALSE);
}

// A close request to a part of the program: only a top-level form has a
// close box. Child controls, their inner windows and the timer window are
// parts that the program keeps pointers to.
Opinion CloseOfAPart(const Arrival& arrival) {
  if (arrival.Message.Msg != WM_CLOSE) return kNoOpinion;
  const bool part = arrival.Place == Where::kInnerWindow || arrival.Control->IsChild;
  return part ? Opinion(Refused(0)) : kNoOpinion;
}

// A device context that is not one of this process's own, in a message that
// carries one in wParam (painting, erasing, printing, colour requests).
// Device contexts belong to one process: such a message came from another
// program, and drawing into its context could take the program down.
Opinion ForeignDeviceContext(const Arrival& arrival) {
  const MessageRecord& message = arrival.Message;
  switch (message.Msg) {
    case WM_PAINT:
      if (message.WParam == 0) return kNoOpinion;  // the usual paint, into the window's own context
      break;
    case WM_ERASEBKGND:
    case kOldColorRequest:
    case WM_ICONERASEBKGND:
    case WM_PRINT:
    case WM_PRINTCLIENT:
      break;
    default:
      if (!IsColorRequest(message.Msg) && !IsReflectedColorRequest(message.Msg)) return kNoOpinion;
  }
  // The framework draws only into screen and memory contexts of its own.
  const DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(message.WParam));
  return type != OBJ_DC && type != OBJ_MEMDC ? Opinion(Refused(0)) : kNoOpinion;
}

// A command notification that names a window which is no child control of
// the window it reaches: a control notifies its parent, so someone else made
// it up (or it is the notification of a standard control's own inner window,
// which its class handles).
Opinion CommandFromNoChild(const Arrival& arrival) {
  const MessageRecord& message = arrival.Message;
  if (message.Msg != WM_COMMAND) return kNoOpinion;
  const HWND sender = AsCommand(message).Sender;
  const bool fromChild = ControlOfWindow(sender) != nullptr && GetParent(sender) == message.Window;
  return fromChild ? kNoOpinion : Opinion(kNotPassedOn);
}

// A colour request that names no window of this thread: no window of
// another program is sent anything on its behalf.
Opinion ColorRequestForNoOwnWindow(const Arrival& arrival) {
  const MessageRecord& message = arrival.Message;
  if (!IsColorRequest(message.Msg)) return kNoOpinion;
  return IsOwnThreadWindow(AsColorRequest(message).Window) ? kNoOpinion : Opinion(kNotPassedOn);
}

// Where a rule applies.
constexpr uint8_t PlaceBit(Where place) { return static_cast<uint8_t>(1u << static_cast<uint8_t>(place)); }
constexpr uint8_t kWindow = PlaceBit(Where::kFrameworkWindow);
constexpr uint8_t kInner = PlaceBit(Where::kInnerWindow);
constexpr uint8_t kQueue = PlaceBit(Where::kQueue);

struct Rule {
  uint8_t Places;
  Opinion (*Judge)(const Arrival&);
};

// What happens to a message from another program. Any program on the desktop
// can post or send messages to Pinlorn's windows. Each message is judged here
// before anything else sees it: on a framework window (TControl::
// HandleMessage, dispatch.cpp), on an inner window of the combo box
// (ChildSubclassProc, combobox.cpp) and, posted ones, as any message loop
// takes them from the queue (the hook of StartJudgingTheQueue). The rules are
// asked in this order, each only where it applies; the first one that speaks
// decides, and a message that none speaks of is taken. The program's own
// doings are let through where they would look forged: its requests, window
// creation and destruction go through the helpers of own_actions.h.
//
// Three lookups stay with the state they read, and believe nothing another
// program can write:
// - a tick runs only for a running Timer of the timer window (TimerTick,
//   timer.cpp);
// - a window's GWLP_USERDATA leads to a control only when it names a live
//   control of that window (BoundControl, control.cpp);
// - an inner window's own procedure is the one the combo box recorded when it
//   subclassed it (combobox.cpp). The "PREV_PROC" property names the same
//   procedure and is still written, for whoever looks there, but any program
//   can write a window property, and the procedure is called: the framework
//   trusts its own list.
constexpr Rule kRules[] = {
    {kWindow, PressOnAStatic},
    {kWindow | kInner, ForgedPress},
    {kWindow | kInner, ForeignRequest},
    {kWindow | kInner, ForgedCreation},
    {kWindow | kInner, ForgedDestruction},
    {kQueue, PostedNotice},
    {kWindow | kInner, ForeignText},
    {kWindow | kInner, CloseOfAPart},
    {kWindow | kInner, ForeignDeviceContext},
    {kWindow, CommandFromNoChild},
    {kWindow, ColorRequestForNoOwnWindow},
};

HHOOK queueHook = nullptr;

// Sees every message the thread takes from its queue, in any message loop.
LRESULT CALLBACK JudgeTakenMessage(int code, WPARAM removal, LPARAM message) noexcept {
  if (code == HC_ACTION && removal == PM_REMOVE) {
    MSG* taken = reinterpret_cast<MSG*>(message);
    const MessageRecord record{taken->hwnd, taken->message, taken->wParam, taken->lParam};
    LRESULT unanswered = 0;
    if (Judge(Arrival{Where::kQueue, nullptr, record}, unanswered) == Ruling::kRefused) {
      taken->message = WM_NULL;
    }
  }
  return CallNextHookEx(queueHook, code, removal, message);
}

}  // namespace

Ruling Judge(const Arrival& arrival, LRESULT& answer) {
  const uint8_t place = PlaceBit(arrival.Place);
  for (const Rule& rule : kRules) {
    if ((rule.Places & place) == 0) continue;
    if (const Opinion opinion = rule.Judge(arrival)) {
      answer = opinion->Answer;
      return opinion->What;
    }
  }
  return Ruling::kTaken;
}

void StartJudgingTheQueue() {
  if (queueHook == nullptr) {
    queueHook = SetWindowsHookExA(WH_GETMESSAGE, JudgeTakenMessage, nullptr, GetCurrentThreadId());
  }
}

void StopJudgingTheQueue() {
  if (queueHook != nullptr && UnhookWindowsHookEx(queueHook)) queueHook = nullptr;
}
