#include "refusals.h"

#include <cstring>

#include "control.h"
#include "own_actions.h"

namespace {

// Requests that the framework takes only from its own code (SendOwnRequest),
// and what anyone else gets. Two hand a control an address to write to or a
// routine to call, which the system passes on from other programs unchecked;
// WM_SETREDRAW would freeze the window while the port changes; a margin far
// wider than the edit field has it scroll for minutes under Wine on every
// key. The port list's items change only through the item operations, so
// that no program fills it without bound, and the dropped list answers no
// request for a list of selected items, whose size the sender chooses.
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

// Each rule says whether it applies; one that refuses may set what the sender
// gets, 0 unless it does.

// A press on a static (a cell or a label), which it reports as a click: taken
// from anyone, as Windows draws no line between a posted press and the mouse's.
bool PressOnAStatic(const Arrival& arrival, LRESULT& /*answer*/) {
  const char* base = arrival.Control->BaseClassName;
  return IsLeftPress(arrival.Message.Msg) && base != nullptr && std::strcmp(base, kStaticClass) == 0;
}

// Any other press of the left button while the thread sees it up: another
// program's, which would drop the port list down, drag a window or take the mouse.
bool ForgedPress(const Arrival& arrival, LRESULT& /*answer*/) {
  const UINT msg = arrival.Message.Msg;
  const bool press = IsLeftPress(msg) || msg == WM_NCLBUTTONDOWN || msg == WM_NCLBUTTONDBLCLK;
  return press && GetKeyState(VK_LBUTTON) >= 0;
}

// A request that the framework takes only from its own code (kOwnRequests).
bool ForeignRequest(const Arrival& arrival, LRESULT& answer) {
  if (Doing(OwnAction::kRequest)) return false;
  for (const OwnRequestRow& request : kOwnRequests) {
    if (arrival.Message.Msg != request.Msg) continue;
    answer = request.Answer;
    return true;
  }
  return false;
}

// A creation notice while the program creates no window: another program's,
// which would have a standard control build its parts again. Only a window's
// own notices are judged (the main window also handles the last messages of
// windows whose controls are gone).
bool ForgedCreation(const Arrival& arrival, LRESULT& /*answer*/) {
  const MessageRecord& message = arrival.Message;
  if (!IsCreationNotice(message.Msg) || Doing(OwnAction::kCreation)) return false;
  return arrival.Place == Where::kInnerWindow || message.Window == arrival.Control->Handle;
}

// A destruction notice that no destruction sent: one sent from another thread
// while no window of another thread lies above the window (whose destruction
// would take it along) and the program destroys none itself. An inner window
// ends only with its combo box's window. (Posted ones: PostedNotice.)
bool ForgedDestruction(const Arrival& arrival, LRESULT& /*answer*/) {
  const MessageRecord& message = arrival.Message;
  if (!IsDestructionNotice(message.Msg)) return false;
  if (arrival.Place == Where::kInnerWindow) {
    return arrival.Control != nullptr && !arrival.Control->WindowDestroyed;
  }
  return !Doing(OwnAction::kDestruction) && InSendMessage() && !UnderAnotherThreadsWindow(message.Window);
}

// A creation or destruction notice in the queue, which the system never posts.
bool PostedNotice(const Arrival& arrival, LRESULT& /*answer*/) {
  return IsCreationNotice(arrival.Message.Msg) || IsDestructionNotice(arrival.Message.Msg);
}

// A new text sent from another thread (answered FALSE): a renamed cell would
// have the user flip a pin it no longer names. Only Pinlorn names its windows.
bool ForeignText(const Arrival& arrival, LRESULT& /*answer*/) {
  return arrival.Message.Msg == WM_SETTEXT && !Doing(OwnAction::kRequest) && InSendMessage();
}

// A close request to a part the program keeps pointers to (a child control,
// an inner window, the timer window): only a top-level form has a close box.
bool CloseOfAPart(const Arrival& arrival, LRESULT& /*answer*/) {
  if (arrival.Message.Msg != WM_CLOSE) return false;
  return arrival.Place == Where::kInnerWindow || arrival.Control->IsChild;
}

// A device context of another process in a message that carries one in
// wParam: drawing into it could take the program down.
bool ForeignDeviceContext(const Arrival& arrival, LRESULT& /*answer*/) {
  const MessageRecord& message = arrival.Message;
  switch (message.Msg) {
    case WM_PAINT:
      if (message.WParam == 0) return false;  // the usual paint, into the window's own context
      break;
    case WM_ERASEBKGND:
    case kOldColorRequest:
    case WM_ICONERASEBKGND:
    case WM_PRINT:
    case WM_PRINTCLIENT:
      break;
    default:
      if (!IsColorRequest(message.Msg) && !IsReflectedColorRequest(message.Msg)) return false;
  }
  // The framework draws only into screen and memory contexts of its own.
  const DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(message.WParam));
  return type != OBJ_DC && type != OBJ_MEMDC;
}

// A command notification from no child control of the window it reaches:
// made up by another program, or a standard control's inner window's own.
bool CommandFromNoChild(const Arrival& arrival, LRESULT& /*answer*/) {
  const MessageRecord& message = arrival.Message;
  if (message.Msg != WM_COMMAND) return false;
  const HWND sender = AsCommand(message).Sender;
  return ControlOfWindow(sender) == nullptr || GetParent(sender) != message.Window;
}

// A colour request naming no window of this thread, which is sent nothing.
bool ColorRequestForNoOwnWindow(const Arrival& arrival, LRESULT& /*answer*/) {
  return IsColorRequest(arrival.Message.Msg) && !IsOwnThreadWindow(AsColorRequest(arrival.Message).Window);
}

constexpr uint8_t PlaceBit(Where place) { return static_cast<uint8_t>(1u << static_cast<int>(place)); }
constexpr uint8_t kWindow = PlaceBit(Where::kFrameworkWindow);
constexpr uint8_t kInner = PlaceBit(Where::kInnerWindow);
constexpr uint8_t kQueue = PlaceBit(Where::kQueue);

struct Rule {
  uint8_t Places;  // where it applies
  Ruling What;     // what becomes of a message it applies to
  bool (*Applies)(const Arrival& arrival, LRESULT& answer);
};

// What happens to a message from another program. Any program can post or
// send messages to Pinlorn's windows; each is judged here before anything
// else sees it: on a framework window (TControl::HandleMessage), on an inner
// window of the combo box (ChildSubclassProc) and, posted ones, as any
// message loop takes them from the queue (StartJudgingTheQueue). The rules
// are asked in this order, each where it applies; the first that applies
// decides, and a message none applies to is taken. The program's own
// requests, creations and destructions go through own_actions.h.
//
// Three lookups stay with the state they read, believing nothing another
// program can write: a tick runs only for a running Timer of the timer
// window (TimerTick, timer.cpp); GWLP_USERDATA leads to a control only when
// it names a live control of that window (BoundControl, control.cpp); an
// inner window's own procedure is the one the combo box recorded when it
// subclassed it (combobox.cpp). "PREV_PROC" names the same procedure and is
// still written for whoever looks there, but any program can write a window
// property, and the procedure gets called: the framework trusts its list.
constexpr Rule kRules[] = {
    {kWindow, Ruling::kTaken, PressOnAStatic},
    {kWindow | kInner, Ruling::kRefused, ForgedPress},
    {kWindow | kInner, Ruling::kRefused, ForeignRequest},
    {kWindow | kInner, Ruling::kRefused, ForgedCreation},
    {kWindow | kInner, Ruling::kRefused, ForgedDestruction},
    {kQueue, Ruling::kRefused, PostedNotice},
    {kWindow | kInner, Ruling::kRefused, ForeignText},
    {kWindow | kInner, Ruling::kRefused, CloseOfAPart},
    {kWindow | kInner, Ruling::kRefused, ForeignDeviceContext},
    {kWindow, Ruling::kNotPassedOn, CommandFromNoChild},
    {kWindow, Ruling::kNotPassedOn, ColorRequestForNoOwnWindow},
};

HHOOK queueHook = nullptr;

// Sees every message the thread takes from its queue, in any message loop.
LRESULT CALLBACK JudgeTakenMessage(int code, WPARAM removal, LPARAM message) noexcept {
  if (code == HC_ACTION && removal == PM_REMOVE) {
    MSG* taken = reinterpret_cast<MSG*>(message);
    const MessageRecord record{taken->hwnd, taken->message, taken->wParam, taken->lParam};
    LRESULT unanswered = 0;
    const Ruling ruling = Judge(Arrival{Where::kQueue, nullptr, record}, unanswered);
    if (ruling == Ruling::kRefused) taken->message = WM_NULL;
  }
  return CallNextHookEx(queueHook, code, removal, message);
}

}  // namespace

Ruling Judge(const Arrival& arrival, LRESULT& answer) {
  for (const Rule& rule : kRules) {
    answer = 0;
    if ((rule.Places & PlaceBit(arrival.Place)) != 0 && rule.Applies(arrival, answer)) return rule.What;
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
