#pragma once
// Helpers of the port monitor's tests: the main window built as the program
// builds it, released at the end of the test.
#include <windows.h>

#include <string>

#include "application.h"
#include "startup.h"
#include "window_text.h"

class BuiltForm {
 public:
  BuiltForm() {
    PortState = {};
    Running = false;
    Terminated = false;
    BuildMainForm(form);
  }
  ~BuiltForm() { Shutdown(); }
  BuiltForm(const BuiltForm&) = delete;
  BuiltForm& operator=(const BuiltForm&) = delete;
  MainForm* operator->() const { return form; }

  MainForm* form = nullptr;
};

// The cell with this caption.
inline TControl* CellCaptioned(MainForm* form, const std::string& caption) {
  for (const CellRow& row : kCells) {
    TControl* cell = form->*row.Field;
    if (TextOf(cell->Handle) == caption) return cell;
  }
  return nullptr;
}
