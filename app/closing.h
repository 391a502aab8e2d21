#pragma once
// How the program ends: the exit question, log-off and shutdown, and the
// run's last write, DR 0, at every end of the run.
#include "control.h"
#include "object.h"

class MainForm;

// The question asked before the program quits, in UTF-16, as it is shown.
inline constexpr wchar_t kExitQuestion[] =
    L"\x0412\x044B \x0434\x0435\x0439\x0441\x0442\x0432\x0438\x0442\x0435\x043B\x044C\x043D\x043E "
    L"\x0445\x043E\x0442\x0438\x0442\x0435 \x0432\x044B\x0439\x0442\x0438?";

// The main window's close query: stops the poll and asks Yes/No; No refuses
// the close, restarts the poll and writes DR 0, any other answer lets the
// window close (the run's end). A close request while it asks is refused.
// `data` is the MainForm.
void ExitQuestion(void* data, ObjectBase* sender, bool& canClose);

// Whether the exit question's message box is on screen: the window then
// takes no clicks, and a further close request does not ask again.
bool ExitQuestionOpen();

// Log-off and shutdown, on the main window: WM_QUERYENDSESSION is agreed to
// at once, without the exit question, so that Pinlorn never holds up a
// log-off; WM_ENDSESSION that ends the session ends the run at once, before
// Windows ends the process. Both are handled; nothing else is.
bool SessionEndHandler(TControl* control, MessageRecord& message, LRESULT& result);

// The application's OnRunEnd: DR is written 0, once, as the run's last write.
void LeaveDataLinesLow(void* data, ObjectBase* sender);
