#include "outside.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

constexpr char kPortsKey[] = "HARDWARE\\DEVICEMAP\\PARALLEL PORTS";
constexpr int kFirstControlId = 32768;

// The test is given POSIX paths by CMake; Wine sees the root as drive Z:.
std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') {
    std::replace(path.begin(), path.end(), '/', '\\');
    path.insert(0, "Z:");
  }
  return path;
}

std::string Quoted(const std::string& text) {
  std::string quoted(1, '"');
  quoted += text;
  quoted += '"';
  return quoted;
}

struct TopLevelSearch {
  DWORD ProcessId;
  const char* ClassName;
  HWND Owner;
  std::vector<HWND> Found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM context) noexcept {
  auto* search = reinterpret_cast<TopLevelSearch*>(context);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->ProcessId || !IsWindowVisible(window)) return TRUE;
  if (ClassOf(window) != search->ClassName) return TRUE;
  if (search->Owner && GetWindow(window, GW_OWNER) != search->Owner) return TRUE;
  search->Found.push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevel(DWORD processId, const char* className, HWND owner = nullptr) {
  TopLevelSearch search{processId, className, owner, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM context) noexcept {
  reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  return TRUE;
}

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> all;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&all));
  return all;
}

// Absolute mouse coordinates address the primary screen in steps of 1/65536;
// rounding up lands on the wanted pixel.
LONG Normalised(LONG pixel, int extent) {
  return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + extent - 1) / extent);
}

}  // namespace

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    // The condition depends on other processes: look again shortly.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

// ---- Registry

PortListInRegistry::PortListInRegistry(const std::vector<Value>& values) {
  HKEY key;
  DWORD disposition;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPortsKey, 0, nullptr, REG_OPTION_VOLATILE,
                      KEY_READ | KEY_WRITE, nullptr, &key, &disposition) != ERROR_SUCCESS) {
    return;
  }
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD nameSize = sizeof name, type = 0, dataSize = 0;
    if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, nullptr, &dataSize) !=
        ERROR_SUCCESS) {
      break;
    }
    std::string data(dataSize, '\0');
    nameSize = sizeof name;
    RegEnumValueA(key, index, name, &nameSize, nullptr, &type,
                  reinterpret_cast<BYTE*>(data.data()), &dataSize);
    saved_.push_back({name, type, data});
  }
  for (const Value& old : saved_) RegDeleteValueA(key, old.Name.c_str());
  ok_ = true;
  for (const Value& value : values) {
    ok_ = ok_ && RegSetValueExA(key, value.Name.c_str(), 0, value.Type,
                                reinterpret_cast<const BYTE*>(value.Data.data()),
                                static_cast<DWORD>(value.Data.size())) == ERROR_SUCCESS;
  }
  RegCloseKey(key);
}

PortListInRegistry::~PortListInRegistry() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_READ | KEY_WRITE, &key) !=
      ERROR_SUCCESS) {
    return;
  }
  for (;;) {
    char name[256];
    DWORD nameSize = sizeof name;
    if (RegEnumValueA(key, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    if (RegDeleteValueA(key, name) != ERROR_SUCCESS) break;
  }
  for (const Value& value : saved_) {
    RegSetValueExA(key, value.Name.c_str(), 0, value.Type,
                   reinterpret_cast<const BYTE*>(value.Data.data()),
                   static_cast<DWORD>(value.Data.size()));
  }
  RegCloseKey(key);
}

PortListInRegistry::Value TextValue(const std::string& name, const std::string& text) {
  return {name, REG_SZ, text + '\0'};
}

std::vector<PortListInRegistry::Value> OnePort() {
  return {TextValue("\\Device\\Parallel0", "\\DosDevices\\LPT1")};
}

// ---- The program

Pinlorn::Pinlorn() {
  std::string commandLine = Quoted(WindowsPath(PINLORN_EXE));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  processId_ = info.dwProcessId;
  WaitFor(
      [&] {
        const std::vector<HWND> forms = TopLevel(processId_, "obj_Form");
        DWORD_PTR ignored;
        if (forms.size() == 1 &&
            SendMessageTimeoutA(forms[0], WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored)) {
          window_ = forms[0];
        }
        return window_ != nullptr || !Running();
      },
      15000);
}

Pinlorn::~Pinlorn() {
  if (!process_) return;
  if (Running()) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
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
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  std::vector<INPUT> inputs;
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx = Normalised(screen.x, width);
  move.mi.dy = Normalised(screen.y, height);
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs.push_back(move);
  for (int i = 0; i < times; ++i) {
    INPUT button = move;
    button.mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs.push_back(button);
    button.mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    inputs.push_back(button);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  WaitForInputIdle(process_, 2000);
}

void Pinlorn::Click(HWND target, int times) const {
  RECT rect;
  GetWindowRect(target, &rect);
  const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  // Other programs' windows may pass over the spot for a moment (tests run
  // side by side on one screen): click once the target is what lies there.
  WaitFor([&] { return WindowFromPoint(centre) == target; }, 2000);
  ClickAt(centre, times);
}

void Pinlorn::RequestClose() const { PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0); }

std::vector<HWND> Pinlorn::Dialogs() const { return TopLevel(processId_, "#32770"); }

HWND Pinlorn::WaitQuestion(DWORD timeoutMs) const {
  HWND box = nullptr;
  WaitFor(
      [&] {
        const std::vector<HWND> boxes = TopLevel(processId_, "#32770", window_);
        box = boxes.empty() ? nullptr : boxes[0];
        // Open means modal: shown, and the window behind it no longer takes input.
        return box != nullptr && !IsWindowEnabled(window_);
      },
      timeoutMs);
  return box;
}

void Pinlorn::Press(HWND box, int id) { PostMessageA(GetDlgItem(box, id), BM_CLICK, 0, 0); }

// ---- What the screen shows

std::string TextOf(HWND window) {
  char text[512] = "";
  DWORD_PTR length = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 2000, &length);
  return std::string(text, std::min<size_t>(length, sizeof text - 1));
}

std::wstring WideTextOf(HWND window) {
  wchar_t text[512] = L"";
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      2000, &length);
  return std::wstring(text, std::min<size_t>(length, 511));
}

std::string ClassOf(HWND window) {
  char name[128] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

RECT PlaceInParent(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

COLORREF ScreenColour(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  const int width = client.right, height = client.bottom;
  if (width <= 0 || height <= 0) return CLR_INVALID;

  // Copy the area from the screen, as a screenshot would, and count colours.
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  std::map<uint32_t, int> counts;
  const auto* pixels = static_cast<const uint32_t*>(bits);
  for (int i = 0; i < width * height; ++i) ++counts[pixels[i] & 0xFFFFFF];
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  const auto most = std::max_element(counts.begin(), counts.end(),
                                     [](const auto& a, const auto& b) { return a.second < b.second; });
  const uint32_t bgr = most->first;  // DIB pixels are 0x00RRGGBB
  return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

COLORREF ButtonFace() { return GetSysColor(COLOR_BTNFACE); }

// ---- The port's log

std::vector<AccessRecord> Accesses(VirtualPort& port, uint32_t since) {
  return port.LogSince(since);
}

std::vector<AccessRecord> Writes(VirtualPort& port, uint32_t since) {
  std::vector<AccessRecord> writes;
  for (const AccessRecord& record : port.LogSince(since)) {
    if (record.Kind == AccessKind::Write) writes.push_back(record);
  }
  return writes;
}

int CountReads(VirtualPort& port, uint32_t since, uint16_t address) {
  int count = 0;
  for (const AccessRecord& record : port.LogSince(since)) {
    count += record.Kind == AccessKind::Read && record.Port == address;
  }
  return count;
}

std::string Describe(const std::vector<AccessRecord>& records) {
  std::string text;
  for (const AccessRecord& record : records) {
    char line[48];
    std::snprintf(line, sizeof line, "%s %03X %02X\n",
                  record.Kind == AccessKind::Read ? "read " : "write", record.Port, record.Value);
    text += line;
  }
  return text.empty() ? "(nothing)\n" : text;
}

int RunPortTool(const std::string& arguments) {
  std::string commandLine = Quoted(WindowsPath(PORTCTL_EXE)) + ' ' + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, nullptr, &startup, &info)) {
    return -1;
  }
  CloseHandle(info.hThread);
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(info.hProcess, 10000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(info.hProcess, &code);
  } else {
    TerminateProcess(info.hProcess, 1);
  }
  CloseHandle(info.hProcess);
  return static_cast<int>(code);
}

::testing::AssertionResult ShowsRegisters(VirtualPort& port, const Pinlorn& program, uint8_t dr,
                                          uint8_t cr) {
  constexpr uint16_t kDataRegister = 0x378, kControlRegister = 0x37A;
  port.Write(kDataRegister, dr);
  port.Write(kControlRegister, cr);
  const std::string drText = std::to_string(dr);
  const std::string crText = std::to_string(port.ControlLatch());
  if (WaitFor([&] {
        return TextOf(program.Label("DR", "Decimal")) == drText &&
               TextOf(program.Label("CR", "Decimal")) == crText;
      })) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "the window never showed DR " << drText << ", CR "
                                       << crText;
}
