#include "poll.h"

#include "colors.h"
#include "mainform.h"
#include "properties.h"
#include "display.h"

void PollRegisters(void* data, ObjectBase* /*sender*/) {
  MainForm* form = static_cast<MainForm*>(data);
  // With no port chosen nothing is read and the last values (zero) are shown.
  ReadRegisters();
  const RegisterDisplay display = DisplayOf(PortState.LastDR, PortState.LastCR, PortState.LastSR);
  // Labels are sent their text every time; SetColor repaints a cell only when
  // its colour changes, so steady pins cost nothing.
  for (size_t i = 0; i < kValueLabelFields.size(); ++i) {
    SetText(form->*kValueLabelFields[i], display.Texts[i]);
  }
  for (size_t i = 0; i < kCellFields.size(); ++i) {
    SetColor(form->*kCellFields[i], display.Colours[i]);
  }
}
