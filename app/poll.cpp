#include "poll.h"

#include "colors.h"
#include "mainform.h"
#include "port_notices.h"
#include "properties.h"
#include "display.h"

void PollRegisters(void* data, ObjectBase* /*sender*/) {
  MainForm* form = static_cast<MainForm*>(data);
  // Once the port library has faulted the port is left alone, and the
  // window keeps the last values read; the fault's notice says why.
  if (PortFailed()) return;
  // With no port chosen nothing is read and the last values (zero) are shown.
  ReadRegisters();
  if (PortFailed()) {
    AnnouncePortTrouble(form->Window);
    return;
  }
  const RegisterDisplay display = DisplayOf(PortState.LastDR, PortState.LastCR, PortState.LastSR);
  // Labels are sent their text every time; SetColor repaints a cell only when
  // its colour changes, so steady pins cost nothing.
  // A control whose window the system destroyed is skipped; the rest of the
  // window goes on showing the port.
  for (size_t i = 0; i < kValueLabelFields.size(); ++i) {
    TControl* label = form->*kValueLabelFields[i];
    if (!label->WindowDestroyed) SetText(label, display.Texts[i]);
  }
  for (size_t i = 0; i < kCells.size(); ++i) {
    TControl* cell = form->*kCells[i].Field;
    if (!cell->WindowDestroyed) SetColor(cell, display.Colours[i]);
  }
}
