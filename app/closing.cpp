#include "closing.h"

#include <windows.h>

#include <string>

#include "mainform.h"
#include "properties.h"

namespace {

// Marks the question as open for as long as the message box is up.
class AskingScope {
 public:
  explicit AskingScope(bool& asking) : asking_(asking) { asking_ = true; }
  ~AskingScope() { asking_ = false; }
  AskingScope(const AskingScope&) = delete;
  AskingScope& operator=(const AskingScope&) = delete;

 private:
  bool& asking_;
};

// Text in the ANSI code page as UTF-16; empty when it cannot be converted.
std::wstring WideFromAnsi(const std::string& text) {
  const int length = static_cast<int>(text.size());
  const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (size <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(size), L'\0');
  const int written = MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), size);
  wide.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return wide;
}

}  // namespace

void ExitQuestion(void* data, ObjectBase* /*sender*/, bool& canClose) {
  MainForm* form = static_cast<MainForm*>(data);
  // The message box runs its own message loop, so a further close request can
  // arrive while it is open: refuse it, and leave the timer and the port to
  // the question already asked.
  if (form->Asking) {
    canClose = false;
    return;
  }
  // No poll may run under the open question.
  form->PollTimer->SetEnabled(false);
  TControl* owner = form->Window;  // the main window
  // The question is Russian whatever the system's code page: shown in
  // UTF-16, it reads the same on every Windows.
  const std::wstring caption = WideFromAnsi(GetText(owner));
  int answer;
  {
    AskingScope asking(form->Asking);
    answer = MessageBoxW(owner->Handle, kExitQuestion, caption.c_str(), MB_YESNO);
  }
  // The data lines are left low whatever the answer; after any answer but
  // No the run ends, and that write is its last.
  if (answer == IDNO) {
    canClose = false;
    form->PollTimer->SetEnabled(true);
    WriteDR(0);
  } else {
    EndRunWithDataLow();
  }
}

bool SessionEndHandler(TControl* /*control*/, MessageRecord& message, LRESULT& result) {
  if (message.Msg == WM_QUERYENDSESSION) {
    result = TRUE;
    return true;
  }
  if (message.Msg != WM_ENDSESSION) return false;
  // The session ends: Windows may end the process as soon as this returns,
  // so the data lines go low now, and the run ends as Windows expects.
  if (message.WParam != FALSE) {
    EndRunWithDataLow();
    PostQuitMessage(0);
  }
  result = 0;
  return true;
}
