#include "cell_clicks.h"

#include "closing.h"
#include "mainform.h"
#include "port_notices.h"

void FlipBit(void* data, ObjectBase* /*sender*/) {
  const PinMapEntry& pin = *static_cast<const CellRow*>(data)->Pin;
  // The window takes no clicks while the exit question is open; a click
  // message that reaches a cell all the same writes nothing. Nor does a
  // click once the port library has faulted: the value it would flip was
  // never read.
  if (ExitQuestionOpen() || PortFailed()) return;
  // The port is not read here: the bit is flipped in the register's last
  // value, read by the poll or written by a click since, so that two clicks
  // between polls both count. The next poll shows the result.
  if (pin.Reg == Register::DR) WriteDR(static_cast<uint8_t>(PortState.LastDR ^ pin.Mask));
  if (pin.Reg == Register::CR) WriteCR(static_cast<uint8_t>(PortState.LastCR ^ pin.Mask));
  if (PortFailed()) AnnouncePortTrouble(MainWindow);
}
