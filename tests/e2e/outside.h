#pragma once
// A running Pinlorn.exe seen and driven from outside, as a person at the bench
// does: the mouse, the close button, the question's buttons, what the screen
// shows, and (through the virtual port's log) what reached the port.
// Nothing here reaches into the program's memory.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "virtual_port.h"

// Checks `done` every few milliseconds, dispatching this thread's messages in
// between, until it holds or `timeoutMs` has passed. Returns whether it held.
bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// The values of HKLM\HARDWARE\DEVICEMAP\PARALLEL PORTS for one test: replaces
// all of them on construction and puts the previous ones back on destruction.
class PortListInRegistry {
 public:
  struct Value {
    std::string Name;
    DWORD Type;
    std::string Data;  // the raw bytes stored, terminating NUL included where wanted
  };
  explicit PortListInRegistry(const std::vector<Value>& values);
  ~PortListInRegistry();
  PortListInRegistry(const PortListInRegistry&) = delete;
  PortListInRegistry& operator=(const PortListInRegistry&) = delete;
  bool Ok() const { return ok_; }

 private:
  std::vector<Value> saved_;
  bool ok_ = false;
};

// A REG_SZ value as Windows itself writes one: the text and its NUL.
PortListInRegistry::Value TextValue(const std::string& name, const std::string& text);
// The usual machine: one parallel port, LPT1.
std::vector<PortListInRegistry::Value> OnePort();

// One running Pinlorn.exe.
class Pinlorn {
 public:
  // Starts the program (it inherits this process's environment and with it
  // the port library's folder on the path) and waits until its window is
  // visible and its message loop answers.
  Pinlorn();
  ~Pinlorn();  // ends the process if it still runs
  Pinlorn(const Pinlorn&) = delete;
  Pinlorn& operator=(const Pinlorn&) = delete;

  bool Started() const { return window_ != nullptr; }
  HWND Window() const { return window_; }
  HANDLE Process() const { return process_; }

  // The child control with this id, searched among all descendants.
  HWND ControlById(int id) const;
  // The bit cell with this caption.
  HWND Cell(const std::string& caption) const;
  // The value label of a register ("DR", "CR", "SR") and form ("Decimal", "Hex", "Binary").
  HWND Label(const std::string& reg, const std::string& form) const;
  HWND PortList() const;

  // Real left clicks (mouse input at the screen position) at the centre of
  // `target`, once nothing else covers it there.
  void Click(HWND target, int times = 1) const;
  // Real left clicks at a screen position, whatever lies there. Both return
  // once the program waits for input again: until then a control of it may
  // still hold the mouse (an edit field does between button down and up) and
  // would take the next click.
  void ClickAt(POINT screen, int times = 1) const;
  // The close request that the title bar's close button makes.
  void RequestClose() const;

  // The question box owned by the window, once it is open: shown, with the
  // window disabled behind it (nullptr after the timeout).
  HWND WaitQuestion(DWORD timeoutMs = 5000) const;
  // Every visible dialog box ("#32770") of the program.
  std::vector<HWND> Dialogs() const;
  // Presses the box's button `id` (IDYES, IDNO).
  static void Press(HWND box, int id);

  // The program's exit code once it has ended, nothing if it still runs after the timeout.
  std::optional<DWORD> WaitExit(DWORD timeoutMs = 5000) const;
  bool Running() const;

 private:
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  HWND window_ = nullptr;
};

// What a window shows as its text (its own, or a combo box's edit field),
// asked for with the message a screen reader would send.
std::string TextOf(HWND window);
std::wstring WideTextOf(HWND window);
std::string ClassOf(HWND window);
// Position of `window` relative to its parent's client area, and its size.
RECT PlaceInParent(HWND window);

// The colour that fills most of the window's client area on screen, which
// for a cell is its background, whatever its caption covers.
COLORREF ScreenColour(HWND window);
constexpr COLORREF kTeal = RGB(0, 128, 128);
COLORREF ButtonFace();

// Accesses recorded by the virtual port from `since` on, and checks on them.
std::vector<AccessRecord> Accesses(VirtualPort& port, uint32_t since);
std::vector<AccessRecord> Writes(VirtualPort& port, uint32_t since);
int CountReads(VirtualPort& port, uint32_t since, uint16_t address);
std::string Describe(const std::vector<AccessRecord>& records);

// Puts DR and CR at these values and waits until the window shows them, so
// that the program's last polled values are known.
::testing::AssertionResult ShowsRegisters(VirtualPort& port, const Pinlorn& program, uint8_t dr,
                                          uint8_t cr);

// Runs the port tool with `arguments` and returns its exit code (or -1).
int RunPortTool(const std::string& arguments);

// One program for a whole test suite, started with LPT1 listed and the
// virtual port reset: the tests of the suite steer the port and look.
class RunningPinlornTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    port = new VirtualPort;
    port->Reset();
    ports = new PortListInRegistry(OnePort());
    program = new Pinlorn;
  }
  static void TearDownTestSuite() {
    delete program;
    delete ports;
    delete port;
  }
  void SetUp() override {
    ASSERT_TRUE(port->IsOpen());
    ASSERT_TRUE(ports->Ok());
    ASSERT_TRUE(program->Started());
    port->Reset();
  }

  static inline VirtualPort* port = nullptr;
  static inline PortListInRegistry* ports = nullptr;
  static inline Pinlorn* program = nullptr;
};
