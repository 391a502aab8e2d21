#include "port_notices.h"

#include <windows.h>

#include "guarded_call.h"
#include "port.h"
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
constexpr size_t kTextSize = 1024;  // the most wsprintfA ever writes

// Which notices have been shown in this run.
struct Told {
  bool DriverClosed;
  bool Fault;
};
Told told{};

// "Inp32(0x378) in the port library raised an access violation (C0000005)."
// and what follows from it. wsprintfA, the system's own, keeps the C
// library's formatting out of the program.
void FormatFault(const PortFault& fault, char (&text)[kTextSize]) {
  const char* name = FaultName(fault.Code);
  if (name == nullptr) name = "a fault";
  const unsigned long code = fault.Code;
  if (fault.Port != 0) {
    wsprintfA(text, "%s(0x%03X) in the port library raised %s (%08lX).\n\n%s", fault.Call,
              static_cast<unsigned>(fault.Port), name, code, kPortLeftAlone);
  } else {
    wsprintfA(text, "%s() in the port library raised %s (%08lX).\n\n%s", fault.Call, name, code,
              kPortLeftAlone);
  }
}

void Show(TControl* window, const char* text, UINT icon) {
  const std::string caption = GetText(window);
  MessageBoxA(window->Handle, text, caption.c_str(), MB_OK | icon);
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
    char text[kTextSize];
    FormatFault(PortState.Fault, text);
    Show(control, text, MB_ICONERROR);
  }
  return true;
}
