#include "handlers.h"

#include <windows.h>

#include <array>
#include <utility>

#include "application.h"
#include "mainform.h"
#include "properties.h"

namespace {

// One handler per PinMap entry, so that the context stays the MainForm and
// the sender (the cell) is not needed to know which bit to flip.
template <size_t Index>
void FlipBit(void* data, ObjectBase* /*sender*/) {
  constexpr PinMapEntry entry = PinMap[Index];
  static_assert(entry.ClickFlips && entry.Reg != Register::SR);
  // The window takes no clicks while the exit question is open; a click
  // message that reaches a cell all the same writes nothing.
  if (static_cast<MainForm*>(data)->Asking) return;
  // The port is not read here: the bit is flipped in the last polled value,
  // and the next poll shows the result.
  if constexpr (entry.Reg == Register::DR) {
    WriteDR(static_cast<uint8_t>(PortState.LastDR ^ entry.Mask));
  } else {
    WriteCR(static_cast<uint8_t>(PortState.LastCR ^ entry.Mask));
  }
}

constexpr size_t kClickableCount = 14;  // DR bits 0-7, CR bits 0-5: the first PinMap entries

template <size_t... Index>
constexpr std::array<NotifyEvent::CodeType, sizeof...(Index)> MakeFlipHandlers(
    std::index_sequence<Index...>) {
  return {&FlipBit<Index>...};
}

constexpr auto kFlipHandlers = MakeFlipHandlers(std::make_index_sequence<kClickableCount>());

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

NotifyEvent::CodeType FlipBitHandler(size_t index) {
  return index < kFlipHandlers.size() ? kFlipHandlers[index] : nullptr;
}

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
  TControl* owner = MainWindow != nullptr ? MainWindow : form->Window;
  const std::string caption = GetText(owner);
  int answer;
  {
    AskingScope asking(form->Asking);
    answer = MessageBoxA(owner->Handle, question.c_str(), caption.c_str(), MB_YESNO);
  }
  if (answer == IDNO) {
    canClose = false;
    form->PollTimer->SetEnabled(true);
  }
  // The data lines are left low whatever the answer.
  WriteDR(0);
}

bool SessionEndHandler(TControl* /*control*/, MessageRecord& message, LRESULT& result) {
  if (message.Msg == WM_QUERYENDSESSION) {
    result = TRUE;
    return true;
  }
  if (message.Msg != WM_ENDSESSION) return false;
  if (message.WParam != FALSE) WriteDR(0);
  result = 0;
  return true;
}
