#include "pinlorn.h"

#include "mouse_input.h"
#include "other_windows.h"
#include "port_log.h"
#include "port_tool.h"
#include "pump.h"
#include "window_text.h"

namespace {

bool IsPushed(HWND button) {
  DWORD_PTR state = 0;
  SendMessageTimeoutA(button, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &state);
  return (state & BST_PUSHED) != 0;
}

}  // namespace

Pinlorn::Pinlorn(const std::string& libraryFolder) {
  std::string commandLine = '"' + WindowsPath(PINLORN_EXE) + '"';
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  char path[4096] = "";
  GetEnvironmentVariableA("PATH", path, sizeof path);
  if (!libraryFolder.empty()) {
    SetEnvironmentVariableA("PATH", (WindowsPath(libraryFolder) + ';' + path).c_str());
  }
  const bool started = StartProcess(commandLine, FALSE, 0, startup, info);
  SetEnvironmentVariableA("PATH", path);
  if (!started) return;
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  processId_ = info.dwProcessId;
  PumpUntil(
      [&] {
        const std::vector<HWND> forms = TopLevelWindows(processId_, "obj_Form");
        DWORD_PTR ignored;
        if (forms.size() == 1 &&
            SendMessageTimeoutA(forms[0], WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &ignored)) {
          window_ = forms[0];
        }
        return window_ != nullptr || !Running();
      },
      kStartMs);
}

Pinlorn::~Pinlorn() {
  if (!process_) return;
  if (Running()) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, kWaitMs);
  }
  CloseHandle(process_);
}

bool Pinlorn::Running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Pinlorn::WaitExit(DWORD timeoutMs) const {
  if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

HWND Pinlorn::ControlById(int id) const {
  for (HWND child : Descendants(window_)) {
    if (GetDlgCtrlID(child) == id) return child;
  }
  return nullptr;
}

HWND Pinlorn::Cell(const std::string& caption) const {
  for (HWND child : Descendants(window_)) {
    if ((GetWindowLongA(child, GWL_STYLE) & WS_DLGFRAME) && TextOf(child) == caption) {
      return child;
    }
  }
  return nullptr;
}

HWND Pinlorn::Label(const std::string& reg, const std::string& form) const {
  // The labels are rows 2-4, 14-16 and 24-26 of the window's composition.
  const int firstRow = reg == "DR" ? 2 : reg == "CR" ? 14 : 24;
  const int offset = form == "Decimal" ? 0 : form == "Hex" ? 1 : 2;
  return ControlById(kFirstControlId + firstRow - 1 + offset);
}

HWND Pinlorn::PortList() const { return ControlById(kFirstControlId + 32); }

void Pinlorn::ClickAt(POINT screen, int times) const {
  ::ClickAt(screen, times);
  WaitForInputIdle(process_, kAnswerMs);
}

void Pinlorn::Click(HWND target, int times) const {
  RECT rect;
  GetWindowRect(target, &rect);
  const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  // Other programs' windows may pass over the spot for a moment (tests run
  // side by side on one screen): click once the target is what lies there.
  PumpUntil([&] { return WindowFromPoint(centre) == target; }, kAnswerMs);
  ClickAt(centre, times);
}

void Pinlorn::RequestClose() const { PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0); }

void Pinlorn::CloseWithTheMouse() const {
  RECT frame;
  GetWindowRect(window_, &frame);
  // Across the middle of the title bar from the right, to where the window
  // itself places its close button.
  const LONG y = frame.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  for (LONG x = frame.right - 1; x > frame.right - 3 * GetSystemMetrics(SM_CXSIZE); --x) {
    DWORD_PTR hit = HTNOWHERE;
    SendMessageTimeoutA(window_, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, kAnswerMs, &hit);
    if (hit == HTCLOSE) {
      ClickAt({x - 2, y});
      return;
    }
  }
  ADD_FAILURE() << "no close button on the title bar";
}

std::vector<HWND> Pinlorn::Dialogs() const { return TopLevelWindows(processId_, "#32770"); }

HWND Pinlorn::WaitBox(DWORD timeoutMs) const {
  HWND box = nullptr;
  PumpUntil(
      [&] {
        const std::vector<HWND> boxes = TopLevelWindows(processId_, "#32770", window_);
        box = boxes.empty() ? nullptr : boxes[0];
        // Open means modal: shown, and the window behind it no longer takes input.
        return box != nullptr && !IsWindowEnabled(window_);
      },
      timeoutMs);
  return box;
}

void Pinlorn::Press(HWND box, int id) { PostMessageA(GetDlgItem(box, id), BM_CLICK, 0, 0); }

bool Pinlorn::QuestionRoundTrip(HWND box) const {
  const HWND button = GetDlgItem(box, IDNO);
  for (const bool pushed : {true, false}) {
    if (!PostMessageA(button, BM_SETSTATE, pushed, 0)) return false;
    if (!PumpUntil([&] { return IsPushed(button) == pushed; })) return false;
  }
  return true;
}

std::wstring MessageText(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == "Static") {
      const std::wstring text = WideTextOf(child);
      if (!text.empty()) return text;
    }
  }
  return L"";
}

::testing::AssertionResult ShowsRegisters(VirtualPort& port, const Pinlorn& program, uint8_t dr,
                                          uint8_t cr) {
  port.Write(kDR, dr);
  port.Write(kCR, cr);
  const uint32_t written = port.NextSequence();
  const std::string drText = std::to_string(dr);
  const std::string crText = std::to_string(port.ControlValue());
  // The labels may show these values from before: a poll that read them
  // is what makes them the program's last values.
  if (PumpUntil([&] {
        return CountReads(port, written, kDR) > 0 && TextOf(program.Label("DR", "Decimal")) == drText &&
               TextOf(program.Label("CR", "Decimal")) == crText;
      })) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "the window never showed DR " << drText << ", CR "
                                       << crText;
}
