#include "message_recorder.h"

#include <cstdio>
#include <map>
#include <sstream>

#include "private_messages.h"

namespace {

MessageRecorder* activeRecorder = nullptr;
// Class atom -> the procedure its recording procedure forwards to.
std::map<ATOM, WNDPROC>& ForwardTargets() {
  static std::map<ATOM, WNDPROC> targets;
  return targets;
}

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  if (activeRecorder != nullptr) activeRecorder->Record(hwnd, msg, wParam, lParam);
  const auto atom = static_cast<ATOM>(GetClassLongA(hwnd, GCW_ATOM));
  const auto target = ForwardTargets().find(atom);
  if (target == ForwardTargets().end() || target->second == nullptr) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  return CallWindowProcA(target->second, hwnd, msg, wParam, lParam);
}

bool IsNoise(UINT msg) {
  switch (msg) {
    case WM_GETICON:
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_ERASEBKGND:
    case WM_SYNCPAINT:
    case WM_NCHITTEST:
    case WM_SETCURSOR:
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_TIMER:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_GETFONT:
    case WM_GETDLGCODE:
    case 0x0127:  // WM_CHANGEUISTATE
    case 0x0129:  // WM_QUERYUISTATE
    case 0x0318:  // WM_PRINTCLIENT
    case 0x0363:  // WM_IME_* and friends in Wine
    case WM_IME_SETCONTEXT:
    case WM_IME_NOTIFY:
    case WM_DEVICECHANGE:
      return true;
    default:
      return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC;
  }
}

bool Matches(const RecordedMessage& actual, const ExpectedMessage& expected) {
  if (actual.Msg != expected.Msg) return false;
  if ((expected.Check & ExpectedMessage::kWParam) && actual.WParam != expected.WParam) return false;
  if ((expected.Check & ExpectedMessage::kLParam) && actual.LParam != expected.LParam) return false;
  if ((expected.Check & ExpectedMessage::kPosFlags) && actual.PosFlags != expected.PosFlags) {
    return false;
  }
  return true;
}

}  // namespace

bool MessageRecorder::RegisterRecordingClass(const char* className, const char* sourceClass,
                                             WNDPROC forwardTo) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA existing{};
  if (GetClassInfoA(instance, className, &existing)) return true;

  WNDCLASSA copy{};
  copy.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  if (sourceClass != nullptr && !GetClassInfoA(instance, sourceClass, &copy)) return false;
  const WNDPROC target = forwardTo != nullptr ? forwardTo : copy.lpfnWndProc;
  copy.hInstance = instance;
  copy.style &= ~static_cast<UINT>(CS_GLOBALCLASS | CS_PARENTDC | CS_CLASSDC | CS_OWNDC);
  copy.lpfnWndProc = RecordingProc;
  copy.lpszClassName = className;
  const ATOM atom = RegisterClassA(&copy);
  if (atom == 0) return false;
  ForwardTargets()[atom] = target;
  return true;
}

MessageRecorder::MessageRecorder() { activeRecorder = this; }

MessageRecorder::~MessageRecorder() {
  if (activeRecorder == this) activeRecorder = nullptr;
}

void MessageRecorder::Record(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  RecordedMessage entry{window, msg, wParam, lParam, 0, RECT{}, false, std::string()};
  if ((msg == WM_WINDOWPOSCHANGING || msg == WM_WINDOWPOSCHANGED) && lParam != 0) {
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    entry.PosFlags = pos->flags;
    entry.Pos = RECT{pos->x, pos->y, pos->x + pos->cx, pos->y + pos->cy};
  }
  if (msg == WM_SETTEXT && lParam != 0) {
    entry.HasText = true;
    entry.Text = reinterpret_cast<const char*>(lParam);
  }
  messages_.push_back(entry);
  if (OnRecord) OnRecord(messages_.back());
}

std::vector<RecordedMessage> MessageRecorder::Messages(HWND window) const {
  std::vector<RecordedMessage> result;
  for (const RecordedMessage& m : messages_) {
    if ((window == nullptr || m.Window == window) && !IsNoise(m.Msg)) result.push_back(m);
  }
  return result;
}

std::vector<RecordedMessage> MessageRecorder::Only(HWND window, UINT msg) const {
  std::vector<RecordedMessage> result;
  for (const RecordedMessage& m : messages_) {
    if ((window == nullptr || m.Window == window) && m.Msg == msg) result.push_back(m);
  }
  return result;
}

std::string MessageName(UINT msg) {
  static const std::map<UINT, const char*> names = {
      {WM_CREATE, "WM_CREATE"},
      {WM_DESTROY, "WM_DESTROY"},
      {WM_MOVE, "WM_MOVE"},
      {WM_SIZE, "WM_SIZE"},
      {WM_SETFOCUS, "WM_SETFOCUS"},
      {WM_KILLFOCUS, "WM_KILLFOCUS"},
      {WM_SETTEXT, "WM_SETTEXT"},
      {WM_CLOSE, "WM_CLOSE"},
      {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
      {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
      {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
      {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
      {WM_SETICON, "WM_SETICON"},
      {WM_NCCREATE, "WM_NCCREATE"},
      {WM_NCDESTROY, "WM_NCDESTROY"},
      {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
      {WM_STYLECHANGING, "WM_STYLECHANGING"},
      {WM_STYLECHANGED, "WM_STYLECHANGED"},
      {WM_KEYDOWN, "WM_KEYDOWN"},
      {WM_KEYUP, "WM_KEYUP"},
      {WM_CHAR, "WM_CHAR"},
      {WM_COMMAND, "WM_COMMAND"},
      {0x0128, "WM_UPDATEUISTATE"},
      {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
      {ReflectedCommand, "ReflectedCommand"},
  };
  const auto found = names.find(msg);
  if (found != names.end()) return found->second;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%04X", msg);
  return buffer;
}

std::string Describe(const std::vector<RecordedMessage>& messages) {
  std::ostringstream out;
  for (const RecordedMessage& m : messages) {
    out << "  " << MessageName(m.Msg) << " w=0x" << std::hex << m.WParam << " l=0x" << m.LParam;
    if (m.Msg == WM_WINDOWPOSCHANGING || m.Msg == WM_WINDOWPOSCHANGED) {
      out << " flags=0x" << m.PosFlags << std::dec << " (" << m.Pos.left << "," << m.Pos.top
          << " " << m.Pos.right - m.Pos.left << "x" << m.Pos.bottom - m.Pos.top << ")";
    }
    out << std::dec << "\n";
  }
  return out.str();
}

std::string Describe(const std::vector<ExpectedMessage>& messages) {
  std::ostringstream out;
  for (const ExpectedMessage& m : messages) {
    out << "  " << MessageName(m.Msg) << std::hex;
    if (m.Check & ExpectedMessage::kWParam) out << " w=0x" << m.WParam;
    if (m.Check & ExpectedMessage::kLParam) out << " l=0x" << m.LParam;
    if (m.Check & ExpectedMessage::kPosFlags) out << " flags=0x" << m.PosFlags;
    out << std::dec << "\n";
  }
  return out.str();
}

bool MatchSequence(const std::vector<RecordedMessage>& actual,
                   const std::vector<ExpectedMessage>& expected, std::string* report) {
  bool ok = actual.size() == expected.size();
  for (size_t i = 0; ok && i < actual.size(); ++i) ok = Matches(actual[i], expected[i]);
  if (!ok && report != nullptr) {
    *report = "expected:\n" + Describe(expected) + "actual:\n" + Describe(actual);
  }
  return ok;
}
