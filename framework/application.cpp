#include "application.h"

TControl* MainWindow = nullptr;
bool Running = false;
bool Terminated = false;

namespace {

// A control that goes is no longer the main window, nor the form the main
// window remembers as its active one.
void ForgetControl(TControl* control) {
  if (MainWindow == control) MainWindow = nullptr;
  if (MainWindow != nullptr && MainWindow->FocusedControl == control) MainWindow->FocusedControl = nullptr;
}

[[maybe_unused]] const bool forgetControlHooked = (ForgetControlHook = ForgetControl, true);

}  // namespace

bool IsMainWindow(TControl* control) {
  if (control == nullptr) return false;
  if (MainWindow == nullptr) return !control->IsChild;
  return control == MainWindow;
}

bool PumpOne(TControl* /*mainForm*/) {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  // A WM_NULL is still dispatched but ends the current drain.
  const bool more = msg.message != WM_NULL;
  if (msg.message == WM_QUIT) {
    Terminated = true;
    return more;
  }
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  return more;
}

void ProcessMessages(TControl* mainForm) {
  while (PumpOne(mainForm)) {
  }
}

void Shutdown(TControl*& mainForm) {
  Terminated = true;
  Running = false;
  TControl* form = MainWindow;
  MainWindow = nullptr;
  if (form == nullptr) return;
  // One release for the hold taken here, one for the caller's variable.
  AddRef(form);
  mainForm = nullptr;
  Release(form);
  Release(form);
}

void Run(TControl*& mainForm) {
  Running = true;
  MainWindow = mainForm;
  if (mainForm != nullptr) mainForm->Realize();
  while (!Terminated) {
    // Blocks while the queue is empty. Unlike WaitMessage this also returns
    // for messages already seen but left queued (those behind a WM_NULL that
    // ended the last drain), which would otherwise wait for new input.
    MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    ProcessMessages(mainForm);
  }
  if (mainForm != nullptr) Shutdown(mainForm);
}
