// Pinlorn's main sequence: build the window, run it, exit with code 0.
#include <windows.h>

#include "application.h"
#include "mainform.h"

namespace {
// The one MainForm of the run; the main window owns and releases it.
MainForm* TheMainForm = nullptr;
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  BuildMainForm(TheMainForm);
  // Run releases the window, and with it the MainForm, when the loop ends.
  Run(TheMainForm->Window);
  TheMainForm = nullptr;
  return 0;
}
