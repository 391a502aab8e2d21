#include "closing.h"

#include <windows.h>

#include <string>

#include "application.h"
#include "mainform.h"
#include "properties.h"

namespace {

// The exit question's message box is on screen.
bool asking = false;

// The main window's text, from the ANSI code page into UTF-16: the exit
// question's caption. Empty when it cannot be converted.
constexpr int kCaptionSize = 128;
void WideCaption(TControl* window, wchar_t (&caption)[kCaptionSize]) {
  const std::string text = GetText(window);
  if (MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, caption, kCaptionSize) == 0) caption[0] = L'\0';
}

}  // namespace

bool ExitQuestionOpen() { return asking; }

void ExitQuestion(void* data, ObjectBase* /*sender*/, bool& canClose) {
  MainForm* form = static_cast<MainForm*>(data);
  // The message box runs its own message loop, so a further close request can
  // arrive while it is open: refuse it, and leave the timer and the port to
  // the question already asked.
  if (asking) {
    canClose = false;
    return;
  }
  // No poll may run under the open question.
  form->PollTimer->SetEnabled(false);
  TControl* owner = form->Window;  // the main window
  // The question is Russian whatever the system's code page: shown in
  // UTF-16, it reads the same on every Windows.
  wchar_t caption[kCaptionSize];
  WideCaption(owner, caption);
  asking = true;
  const int answer = MessageBoxW(owner->Handle, kExitQuestion, caption, MB_YESNO);
  asking = false;
  // The data lines are left low whatever the answer: after No now, after
  // any other answer as the window's close ends the run.
  if (answer == IDNO) {
    canClose = false;
    form->PollTimer->SetEnabled(true);
    WriteDR(0);
  }
}

bool SessionEndHandler(TControl* /*control*/, MessageRecord& message, LRESULT& result) {
  if (message.Msg == WM_QUERYENDSESSION) {
    result = TRUE;
    return true;
  }
  if (message.Msg != WM_ENDSESSION) return false;
  // The session ends: Windows may end the process as soon as this returns,
  // so the run ends now, its last write made.
  if (message.WParam != FALSE) EndRun();
  result = 0;
  return true;
}

void LeaveDataLinesLow(void* /*data*/, ObjectBase* /*sender*/) { EndRunWithDataLow(); }
