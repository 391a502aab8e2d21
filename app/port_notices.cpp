#include "port_notices.h"

#include <windows.h>

#include "display.h"
#include "guarded_call.h"
#include "properties.h"

namespace {

constexpr char kDriverClosed[] =
    "The port driver is not open, so the port library cannot reach the port: every register "
    "reads 0.\n\n"
    "- Run Pinlorn once as administrator, so that the library can install its driver.\n"
    "- On 64-bit Windows 10 and 11, memory integrity (Core isolation) blocks that driver: the "
    "port can be reached only with memory integrity turned off.";
constexpr char kPortLeftAlone[] =
    "Pinlorn no longer reads or writes the port: the window shows the last values read.";
constexpr int32_t kFaultCodeDigits = 8;

// Which notices have been shown in this run.
struct Told {
  bool DriverClosed;
  bool Fault;
};
Told told{};

std::string PortFaultText(const PortFault& fault) {
  std::string call = std::string(fault.Call) + '(';
  if (fault.Port != 0) call += "0x" + HexText(fault.Port, kAddressHexDigits);
  call += ')';
  const char* name = FaultName(fault.Code);
  return call + " in the port library raised " + (name != nullptr ? name : "a fault") + " (" +
         HexText(fault.Code, kFaultCodeDigits) + ").\n\n" + kPortLeftAlone;
}

void Show(TControl* window, const std::string& text, UINT icon) {
  const std::string caption = GetText(window);
  MessageBoxA(window->Handle, text.c_str(), caption.c_str(), MB_OK | icon);
}

}  // namespace

void AnnouncePortTrouble(TControl* mainWindow) {
  PostMessageA(GetHandle(mainWindow), ShowPortNotices, 0, 0);
}

bool PortNoticeHandler(TControl* control, MessageRecord& message, LRESULT& result) {
  if (message.Msg != ShowPortNotices) return false;
  result = 0;
  // Marked as told before it shows: the box's own message loop may take
  // another request meanwhile.
  if (PortState.DriverClosed && !told.DriverClosed) {
    told.DriverClosed = true;
    Show(control, kDriverClosed, MB_ICONWARNING);
  }
  if (PortFailed() && !told.Fault) {
    told.Fault = true;
    Show(control, PortFaultText(PortState.Fault), MB_ICONERROR);
  }
  return true;
}
