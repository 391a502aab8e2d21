#pragma once
// A running Pinlorn.exe seen and driven from outside, as a person at the
// bench does: the mouse, the close button, the question's buttons, what its
// windows show. Nothing here reaches into the program's memory.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "constants.h"
#include "port_list_registry.h"
#include "virtual_port.h"

// The id of the window's first control; the others follow in the order the
// window creates them.
constexpr int kFirstControlId = 32768;

// One running Pinlorn.exe.
class Pinlorn {
 public:
  // Starts the program (it inherits this process's environment and with it
  // the port library's folder on the path) and waits until its window is
  // visible and its message loop answers. With `libraryFolder` (a Unix or
  // Windows path) that folder comes first on the program's path, and the
  // port library there is the one it loads.
  explicit Pinlorn(const std::string& libraryFolder = "");
  ~Pinlorn();  // ends the process if it still runs
  Pinlorn(const Pinlorn&) = delete;
  Pinlorn& operator=(const Pinlorn&) = delete;

  bool Started() const { return window_ != nullptr; }
  HWND Window() const { return window_; }

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
  // A real click on the title bar's close button. Input is taken in the
  // order it came, so once the question is open every click before this
  // one has been handled.
  void CloseWithTheMouse() const;

  // The message box owned by the window (the exit question, a notice), once
  // it is open: shown, with the window disabled behind it (nullptr after
  // the timeout).
  HWND WaitBox(DWORD timeoutMs = kWaitMs) const;
  // Every visible dialog box ("#32770") of the program.
  std::vector<HWND> Dialogs() const;
  // Presses the box's button `id` (IDYES, IDNO).
  static void Press(HWND box, int id);

  // Posts the open question box a marker and returns once its loop has
  // taken it: the box's No button is set pushed by a posted message and read
  // back, then released. Posted messages are taken in the order they were
  // posted, so everything posted to the program before the call has been
  // handled by then. False if the loop did not take it.
  bool QuestionRoundTrip(HWND box) const;

  // The program's exit code once it has ended, nothing if it still runs after the timeout.
  std::optional<DWORD> WaitExit(DWORD timeoutMs = kWaitMs) const;
  bool Running() const;

 private:
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  HWND window_ = nullptr;
};

// The text of a message box: its one static text that is not empty.
std::wstring MessageText(HWND box);

// Puts DR and CR at these values and waits until the window shows them, so
// that the program's last polled values are known.
::testing::AssertionResult ShowsRegisters(VirtualPort& port, const Pinlorn& program, uint8_t dr,
                                          uint8_t cr);

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
