// Pinlorn's main sequence: make sure it is the session's only Pinlorn, build
// the window, run it, exit with code 0.
#include <windows.h>

#include "application.h"
#include "startup.h"
#include "one_instance.h"

namespace {
// The one MainForm of the run; the main window owns and releases it.
MainForm* TheMainForm = nullptr;
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // A second Pinlorn hands over to the first before anything touches the
  // port or builds a window.
  if (!FirstInSession()) return 0;
  try {
    BuildMainForm(TheMainForm);
    // The window is the run's from here on; it goes, the MainForm with it,
    // when the loop ends.
    Run(TheMainForm->Window);
  } catch (...) {
    // Only memory running out while the window is built gets here: every
    // message and tick catches what it throws. The run ends as every run
    // does, with exit code 0.
    Shutdown();
  }
  TheMainForm = nullptr;
  return 0;
}
