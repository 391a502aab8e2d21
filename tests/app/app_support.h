#pragma once
// Helpers of the port monitor's tests: the main window built as the program
// builds it, released at the end of the test.
#include <windows.h>

#include <string>

#include "application.h"
#include "mainform.h"
#include "application.h"

class BuiltForm {
 public:
  BuiltForm() {
    PortState = {};
    Running = false;
    Terminated = false;
    BuildMainForm(form);
  }
  ~BuiltForm() {
    TControl* window = MainWindow;
    if (window != nullptr) Shutdown(window);
  }
  BuiltForm(const BuiltForm&) = delete;
  BuiltForm& operator=(const BuiltForm&) = delete;
  MainForm* operator->() const { return form; }

  MainForm* form = nullptr;
};

inline std::string WindowText(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}
