#include "hostile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "private_messages.h"
#include "timer_tick.h"

namespace {

// The program's private messages: a passed-on command, the passed-on colour
// requests (WM_CTLCOLORMSGBOX ... WM_CTLCOLORSTATIC), and the request to show
// the port notices (with none due it shows nothing).
constexpr UINT kPrivateMessages[] = {
    ReflectedCommand, ReflectedColorBase + WM_CTLCOLORMSGBOX, ReflectedColorBase + WM_CTLCOLOREDIT,
    ReflectedColorBase + WM_CTLCOLORLISTBOX, ReflectedColorBase + WM_CTLCOLORBTN,
    ReflectedColorBase + WM_CTLCOLORDLG, ReflectedColorBase + WM_CTLCOLORSCROLLBAR,
    ReflectedColorBase + WM_CTLCOLORSTATIC, ShowPortNotices};
constexpr UINT kSysTimer = 0x118;  // the system's own timer message, dispatched like WM_TIMER
constexpr DWORD kSendTimeoutMs = 2000;
// Messages whose wParam, too, points at data the platform copies back.
constexpr UINT kPointerInWParam[] = {EM_GETSEL, CB_GETEDITSEL, SBM_GETRANGE};
constexpr size_t kBufferSize = 64 * 1024;
// Replies copied into the buffer stay within it: wParam counts at most this
// many characters or items.
constexpr uint32_t kPointerMessageCountLimit = 256;
// Names other programs register; their ids are the same in every process.
constexpr const char* kRegisteredNames[] = {"TaskbarCreated",    "MSWHEEL_ROLLMSG",
                                            "commdlg_FindReplace", "WM_HTML_GETOBJECT",
                                            "commdlg_help",      "SHELLHOOK"};

// Messages the storm leaves out whatever their target and parameters: each
// would end, block or click any program by design, whatever that program does.
// (Creation and destruction notices, WM_SETREDRAW, EM_SETMARGINS and
// EM_SETWORDBREAKPROC are in: Pinlorn takes them only from itself and the
// system.)
struct ExcludedRange {
  UINT First;
  UINT Last;
  const char* Reason;
};
constexpr ExcludedRange kExcludedRanges[] = {
    {WM_QUIT, WM_QUIT, "WM_QUIT: ends the message loop of any program"},
    {WM_ENDSESSION, WM_ENDSESSION, "WM_ENDSESSION: the session ends; the program may be ended "
                                   "right after, and leaves the data lines low as every exit does"},
    {WM_SYSCOMMAND, WM_SYSCOMMAND, "WM_SYSCOMMAND: the frame's close, move, size and menu "
                                   "commands act for the user; move, size and menus run modal "
                                   "loops that take every click until the user ends them"},
    {WM_SYSKEYDOWN, WM_SYSDEADCHAR, "WM_SYSKEYDOWN ... WM_SYSDEADCHAR: Alt+F4 and Alt are the "
                                    "keyboard's way to those commands"},
    {WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, "the right mouse button, on the frame too (WM_RBUTTONDOWN "
                                       "... WM_RBUTTONDBLCLK, WM_NCRBUTTONDOWN ... "
                                       "WM_NCRBUTTONDBLCLK): its release opens a context or the "
                                       "system menu"},
    {WM_NCRBUTTONDOWN, WM_NCRBUTTONDBLCLK, nullptr},
    {WM_CONTEXTMENU, WM_CONTEXTMENU, "WM_CONTEXTMENU, and 0x313 (the system menu at a point): "
                                     "open the edit field's or the system menu, whose modal "
                                     "loop stops the poll and takes the next click"},
    {0x313, 0x313, nullptr},
};

// Exclusions that depend on the target or the parameters.
constexpr const char* kConditionalExclusions[] = {
    "WM_CLOSE to the main window: the user's close, which asks the exit question",
    "WM_KEYDOWN, WM_KEYUP with F10, Alt or F4: F10 and Alt open the system menu, F4 drops "
    "the port list down; either then takes the next click",
    "CB_SHOWDROPDOWN with wParam TRUE: a dropped list takes the next click to close itself",
    "WM_TIMER, WM_SYSTIMER with lParam other than 0 and the tick procedure: Windows calls "
    "only timer procedures the thread registered; Wine 8 would call any address",
    "WM_LBUTTONDOWN and WM_LBUTTONDBLCLK to a label or cell, the click notification naming "
    "one, and its passed-on form: a click, which writes the port",
};

const ExcludedRange* ExcludedRangeOf(UINT msg) {
  for (const ExcludedRange& range : kExcludedRanges) {
    if (msg >= range.First && msg <= range.Last) return &range;
  }
  return nullptr;
}

std::string ClassName(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

bool IsStatic(HWND window) { return ClassName(window) == "obj_STATIC"; }

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) noexcept {
  reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  return TRUE;
}

void AppendWithDescendants(std::vector<HWND>& all, HWND window) {
  all.push_back(window);
  EnumChildWindows(window, CollectWindow, reinterpret_cast<LPARAM>(&all));
}

// The ids below WM_USER whose parameters point at data: the platform copies
// that data between processes for a send and refuses to post them. Asked of
// the platform itself by posting each to a window of this process.
std::vector<bool> PointerMessages() {
  std::vector<bool> pointer(WM_USER, false);
  HWND probe = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  for (UINT msg = 0; msg < WM_USER; ++msg) {
    // WM_DEVICECHANGE carries a pointer only for wParam with bit 15 set.
    for (WPARAM wParam : {WPARAM{0}, WPARAM{0x8000}}) {
      SetLastError(0);
      if (!PostMessageA(probe, msg, wParam, 0) && GetLastError() == ERROR_MESSAGE_SYNC_ONLY) {
        pointer[msg] = true;
      }
    }
  }
  MSG msg;
  while (PeekMessageA(&msg, probe, 0, 0, PM_REMOVE)) {
  }
  DestroyWindow(probe);
  return pointer;
}

}  // namespace

std::vector<HWND> ProgramWindows(HWND mainWindow) {
  std::vector<HWND> topLevel;
  EnumThreadWindows(GetWindowThreadProcessId(mainWindow, nullptr), CollectWindow,
                    reinterpret_cast<LPARAM>(&topLevel));
  topLevel.erase(std::remove(topLevel.begin(), topLevel.end(), mainWindow), topLevel.end());
  std::stable_sort(topLevel.begin(), topLevel.end(),
                   [](HWND a, HWND b) { return ClassName(a) < ClassName(b); });
  std::vector<HWND> all;
  AppendWithDescendants(all, mainWindow);
  for (HWND window : topLevel) AppendWithDescendants(all, window);
  return all;
}

uintptr_t TickProcedure(HWND mainWindow) {
  const auto base = static_cast<uintptr_t>(GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE));
  return base != 0 ? base + kTimerTickOffset : 0;
}

int PostCloseToAllButMain(HWND mainWindow) {
  int posted = 0;
  for (HWND window : ProgramWindows(mainWindow)) {
    if (window != mainWindow) posted += PostMessageA(window, WM_CLOSE, 0, 0) != FALSE;
  }
  return posted;
}

void DestroyUnder(HWND window) {
  HWND own = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  SetParent(window, own);
  DestroyWindow(own);
}

int PostForgedTimers(HWND mainWindow) {
  const uintptr_t tick = TickProcedure(mainWindow);
  const auto base = static_cast<uintptr_t>(GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE));
  // Identifiers that name no timer: nothing, small numbers, all ones, an
  // arbitrary address, a window handle, and addresses inside the program.
  const WPARAM ids[] = {0,    1,    0xFFFFFFFF, 0x12345678, reinterpret_cast<WPARAM>(mainWindow),
                        base, tick, 0x7FFE0000};
  int posted = 0;
  for (HWND window : ProgramWindows(mainWindow)) {
    for (LPARAM procedure : {LPARAM{0}, static_cast<LPARAM>(tick)}) {
      for (WPARAM id : ids) posted += PostMessageA(window, WM_TIMER, id, procedure) != FALSE;
    }
  }
  return posted;
}

bool PollsAfter(VirtualPort& port, uint32_t since, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    for (const AccessRecord& record : port.LogSince(since)) {
      if (record.Kind == AccessKind::Read && record.Port == kLpt1DR) return true;
    }
    if (GetTickCount() - start >= timeoutMs) return false;
    // The poll comes from another process: look again shortly.
    Sleep(2);
  }
}

// ---- The storm

Storm::Storm(HWND mainWindow, uint32_t seed)
    : main_(mainWindow),
      windows_(ProgramWindows(mainWindow)),
      tick_(TickProcedure(mainWindow)),
      moduleBase_(static_cast<uintptr_t>(GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE))),
      state_(seed),
      pointerMessage_(PointerMessages()),
      buffer_(kBufferSize, 0) {
  for (const char* name : kRegisteredNames) registered_.push_back(RegisterWindowMessageA(name));
  if (const char* skip = std::getenv("PINSTORM_SKIP")) {
    for (char* end = nullptr; *skip != '\0'; skip = *end != '\0' ? end + 1 : end) {
      Skipped.push_back(static_cast<UINT>(std::strtoul(skip, &end, 0)));
      if (end == skip) break;
    }
  }
}

std::string Storm::Exclusions() {
  std::string text;
  for (const ExcludedRange& range : kExcludedRanges) {
    if (range.Reason != nullptr) text += std::string("- ") + range.Reason + "\n";
  }
  for (const char* reason : kConditionalExclusions) text += std::string("- ") + reason + "\n";
  return text;
}

// splitmix64: the same sequence from the same seed on every build.
uint32_t Storm::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

UINT Storm::PickMessageId() {
  const uint32_t band = Below(100);
  if (band < 50) return Below(WM_USER);                         // the system's and the controls'
  if (band < 55) return WM_USER + Below(WM_APP - WM_USER);      // private to a window class
  if (band < 70) return WM_APP + Below(0xC000 - WM_APP);        // private to an application
  if (band < 85) return kPrivateMessages[Below(std::size(kPrivateMessages))];
  if (band < 92) return registered_[Below(registered_.size())];
  return 0xC000 + Below(0x4000);                                // any registered id
}

LPARAM Storm::PickParameter() {
  switch (Below(10)) {
    case 0: return 0;
    case 1: return -1;
    case 2: return Below(32);
    case 3: return static_cast<LPARAM>(Below(2) ? 0x7FFFFFFF : 0x80000000);
    case 4: return reinterpret_cast<LPARAM>(windows_[Below(windows_.size())]);
    case 5: return static_cast<LPARAM>(tick_);
    case 6: return static_cast<LPARAM>(moduleBase_ + Below(0x10000));
    case 7: return MAKELPARAM(Below(0x10000), Below(32));  // a control id and a notification code
    default: return static_cast<LPARAM>(Next());
  }
}

Storm::Message Storm::Pick() {
  Message message{};
  message.Target = windows_[Below(windows_.size())];
  message.Msg = PickMessageId();
  message.WParam = static_cast<WPARAM>(PickParameter());
  message.LParam = PickParameter();
  message.Send = Below(2) == 0;
  if ((message.Msg == WM_TIMER || message.Msg == kSysTimer) && Below(2) == 0) {
    message.LParam = static_cast<LPARAM>(tick_);
  }
  return message;
}

bool Storm::Excluded(const Message& m) const {
  if (ExcludedRangeOf(m.Msg) != nullptr) return true;
  if (std::find(Skipped.begin(), Skipped.end(), m.Msg) != Skipped.end()) return true;
  switch (m.Msg) {
    case WM_CLOSE: return m.Target == main_;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case ReflectedCommand: return IsStatic(m.Target);
    case WM_COMMAND: return IsStatic(reinterpret_cast<HWND>(m.LParam));
    case WM_KEYDOWN:
    case WM_KEYUP: return m.WParam == VK_F10 || m.WParam == VK_MENU || m.WParam == VK_F4;
    case CB_SHOWDROPDOWN: return m.WParam != 0;
    case WM_TIMER:
    case kSysTimer: return m.LParam != 0 && static_cast<uintptr_t>(m.LParam) != tick_;
    default: return false;
  }
}

bool Storm::Deliver(Message m, StormResult& result) {
  if (m.Msg < WM_USER && pointerMessage_[m.Msg]) {
    // The platform copies what these point at from this process: they point
    // at a buffer of ours, and are sent, since they cannot be posted.
    std::fill(buffer_.begin(), buffer_.end(), 0);
    const bool wParamPoints =
        std::find(std::begin(kPointerInWParam), std::end(kPointerInWParam), m.Msg) !=
        std::end(kPointerInWParam);
    m.WParam = wParamPoints ? reinterpret_cast<WPARAM>(buffer_.data() + kBufferSize / 2)
                            : m.WParam % kPointerMessageCountLimit;
    m.LParam = reinterpret_cast<LPARAM>(buffer_.data());
    m.Send = true;
  }
  bool delivered;
  if (m.Send) {
    DWORD_PTR reply = 0;
    SetLastError(0);  // a refusal need not set one
    delivered = SendMessageTimeoutA(m.Target, m.Msg, m.WParam, m.LParam,
                                    SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMs, &reply) != 0;
    lastError_ = delivered ? 0 : GetLastError();
    // A live window that did not answer in time hangs; any other failure is
    // the platform refusing the message between processes (Wine does for
    // the messages that carry a device context, font, icon or region).
    if (!delivered && lastError_ == ERROR_TIMEOUT) ++result.Unanswered;
    if (!delivered && lastError_ != ERROR_TIMEOUT && IsWindow(m.Target)) ++result.Refused;
    ++result.Sent;
  } else {
    delivered = PostMessageA(m.Target, m.Msg, m.WParam, m.LParam) != FALSE;
    ++result.Posted;
  }
  ++result.Delivered;
  return delivered || IsWindow(m.Target);
}

StormResult Storm::Run(uint64_t count, VirtualPort& port, DWORD pollTimeoutMs,
                       void (*progress)(const StormResult&), uint64_t progressEvery) {
  StormResult result;
  result.WindowsAtStart = windows_.size();
  lost_.assign(windows_.size(), false);
  // Every access from here on is looked at once, batch after batch.
  uint32_t unseen = port.NextSequence();
  while (result.Delivered < count) {
    for (int i = 0; i < kBatch && result.Delivered < count && result.Stopped.empty(); ++i) {
      DeliverOne(result);
      if (progress != nullptr && progressEvery != 0 && result.Delivered % progressEvery == 0) {
        progress(result);
      }
    }
    if (!result.Stopped.empty() || !StillServes(port, pollTimeoutMs, result)) break;
    for (const AccessRecord& record : port.LogSince(unseen)) {
      if (record.Kind == AccessKind::Write && result.Writes.size() < 16) {
        if (result.Writes.empty()) result.FirstWriteBy = result.Delivered;
        result.Writes.push_back(record);
      }
      unseen = record.Sequence + 1;
    }
  }
  return result;
}

void Storm::DeliverOne(StormResult& result) {
  Message message = Pick();
  while (Excluded(message)) message = Pick();
  const size_t target =
      std::find(windows_.begin(), windows_.end(), message.Target) - windows_.begin();
  const uint64_t unanswered = result.Unanswered;
  const bool reached = Deliver(message, result);
  const bool answered = result.Unanswered == unanswered;
  if (!answered && result.Stopped.empty()) {
    result.Stopped = "no answer to message " + std::to_string(result.Delivered) + " within " +
                     std::to_string(kSendTimeoutMs) + " ms";
  }
  if (!reached && !lost_[target]) {
    lost_[target] = true;
    ++result.WindowsLost;
  }
  if (Log != nullptr) {
    // The parameters are pointer-wide: unsigned long would cut a 64-bit one.
    std::fprintf(Log, "%llu %s %p %s %04X %08llX %08llX%s%s %lu\n",
                 static_cast<unsigned long long>(result.Delivered), message.Send ? "send" : "post",
                 static_cast<void*>(message.Target), ClassName(message.Target).c_str(),
                 message.Msg, static_cast<unsigned long long>(message.WParam),
                 static_cast<unsigned long long>(static_cast<ULONG_PTR>(message.LParam)),
                 reached ? "" : " (no window)",
                 answered ? "" : " (unanswered)", lastError_);
    std::fflush(Log);
  }
}

bool Storm::StillServes(VirtualPort& port, DWORD pollTimeoutMs, StormResult& result) const {
  if (!IsWindow(main_)) {
    result.Stopped = "the main window is gone after " + std::to_string(result.Delivered) +
                     " messages";
    return false;
  }
  if (!PollsAfter(port, port.NextSequence(), pollTimeoutMs)) {
    result.Stopped = "no poll within " + std::to_string(pollTimeoutMs) + " ms after " +
                     std::to_string(result.Delivered) + " messages";
    return false;
  }
  return true;
}
