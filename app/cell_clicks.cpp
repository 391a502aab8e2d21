#include "cell_clicks.h"

#include "mainform.h"
#include "port_notices.h"

void FlipBit(void* data, ObjectBase* sender) {
  const MainForm* form = static_cast<MainForm*>(data);
  // The window takes no clicks while the exit question is open; a click
  // message that reaches a cell all the same writes nothing. Nor does a
  // click once the port library has faulted: the value it would flip was
  // never read.
  if (form->Asking || PortFailed()) return;
  size_t i = 0;
  while (i < PinMap.size() && form->*kCellFields[i] != sender) ++i;
  if (i == PinMap.size() || !PinMap[i].ClickFlips) return;
  // The port is not read here: the bit is flipped in the register's last
  // value, read by the poll or written by a click since, so that two clicks
  // between polls both count. The next poll shows the result.
  const PinMapEntry& pin = PinMap[i];
  if (pin.Reg == Register::DR) WriteDR(static_cast<uint8_t>(PortState.LastDR ^ pin.Mask));
  if (pin.Reg == Register::CR) WriteCR(static_cast<uint8_t>(PortState.LastCR ^ pin.Mask));
  if (PortFailed()) AnnouncePortTrouble(form->Window);
}
