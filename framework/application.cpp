#include "application.h"

#include <utility>

#include "refusals.h"

bool Running = false;
bool Terminated = false;
NotifyEvent OnRunEnd;

bool IsMainWindow(TControl* control) {
  if (control == nullptr) return false;
  if (MainWindow == nullptr) return !control->IsChild;
  return control == MainWindow;
}

bool PumpOne() {
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

void ProcessMessages() {
  while (PumpOne()) {
  }
}

void EndRun() {
  OnRunEnd(MainWindow);
  PostQuitMessage(0);
}

void Shutdown() {
  Terminated = true;
  Running = false;
  StopJudgingTheQueue();
  OnRunEnd(MainWindow);
  OnRunEnd = {};
  // The run's hold on the main form, which its maker handed to Run.
  Release(std::exchange(MainWindow, nullptr));
}

void Run(TControl* mainForm) {
  Running = true;
  MainWindow = mainForm;
  StartJudgingTheQueue();
  if (mainForm != nullptr) mainForm->Realize();
  while (!Terminated) {
    // Blocks while the queue is empty. Unlike WaitMessage this also returns
    // for messages already seen but left queued (those behind a WM_NULL that
    // ended the last drain), which would otherwise wait for new input.
    HANDLE noObjects = nullptr;  // the queue is all it waits for
    MsgWaitForMultipleObjectsEx(0, &noObjects, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    ProcessMessages();
  }
  if (mainForm != nullptr) Shutdown();
}
