#include "closing.h"

#include <windows.h>

#include <iterator>

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

}  // namespace

std::string ExitQuestionText() {
  const int length = static_cast<int>(std::size(kExitQuestion) - 1);
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, kExitQuestion, length,
                                       nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::string text(static_cast<size_t>(size), '\0');
  const int written = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, kExitQuestion, length,
                                          text.data(), size, nullptr, nullptr);
  text.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return text;
}

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
  const std::string question = ExitQuestionText();
  TControl* owner = form->Window;  // the main window
  const std::string caption = GetText(owner);
  int answer;
  {
    AskingScope asking(form->Asking);
    answer = MessageBoxA(owner->Handle, question.c_str(), caption.c_str(), MB_YESNO);
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
