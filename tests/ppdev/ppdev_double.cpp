// The ppdev double (ppdev_double.h): an SPP port per entry, its data latch,
// its control lines and direction, the loopback plug, and the kernel's rules
// for a claim. Interposes open (which the port library and the shell call),
// close and ioctl; a device is an open /dev/null, a /proc file a memory file.
#include "ppdev_double.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "port_layout.h"

namespace {

struct Port {
  unsigned Base = 0;
  bool Loopback = false;
  int OpenError = 0;     // ENOENT or EACCES for every open
  bool Busy = false;     // the printer module holds it: exclusive claims fail
  uint8_t Data = 0;
  uint8_t Control = 0;   // bits 0-3
  bool Reverse = false;
};

struct Handle {
  size_t Port;
  bool Exclusive = false;
  bool Claimed = false;
};

constexpr int kMaxFd = 1 << 16;
constexpr char kDevicePrefix[] = "/dev/parport";
constexpr char kProcPrefix[] = "/proc/sys/dev/parport";

std::mutex Lock;
bool Configured = false;
std::vector<Port> Ports;
std::map<int, Handle> Handles;
std::atomic<bool> Ours[kMaxFd];
bool Recording = false;  // from the first PpdevDoubleSetUp on
std::string Recorded;
int TraceFd = -1;

// The C library's own function. Looked up at the first call: a program's
// libraries may call before this library's initialisers have run.
template <typename Function>
Function Real(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}
auto RealOpen() { static const auto f = Real<int (*)(const char*, int, ...)>("open"); return f; }
auto RealClose() { static const auto f = Real<int (*)(int)>("close"); return f; }
auto RealIoctl() { static const auto f = Real<int (*)(int, unsigned long, void*)>("ioctl"); return f; }

void Note(const char* format, ...) {
  if (!Recording && TraceFd < 0) return;  // the bench's accesses cost no more than a port's
  char line[160];
  va_list arguments;
  va_start(arguments, format);
  const int length = std::vsnprintf(line, sizeof line - 1, format, arguments);
  va_end(arguments);
  if (length < 0) return;
  const size_t size = std::min(static_cast<size_t>(length), sizeof line - 2);
  line[size] = '\n';
  if (Recording) Recorded.append(line, size + 1);
  if (TraceFd >= 0 && write(TraceFd, line, size + 1) < 0) TraceFd = -1;
}

void Parse(const char* spec) {
  Ports.clear();
  for (std::string_view rest = spec != nullptr ? spec : ""; !rest.empty();) {
    const size_t comma = rest.find(',');
    std::string entry(rest.substr(0, comma));
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    const auto has = [&entry](const char* word) { return (entry + ":").find(word) != std::string::npos; };
    Port port;
    port.Base = static_cast<unsigned>(std::strtoul(entry.c_str(), nullptr, 0));
    port.Loopback = has(":loopback:");
    port.OpenError = has(":enoent:") ? ENOENT : has(":eacces:") ? EACCES : 0;
    port.Busy = has(":busy:");
    Ports.push_back(port);
  }
}

void ConfigureFromEnvironment() {
  if (Configured) return;
  Configured = true;
  Parse(std::getenv("PINLORN_PPDEV_DOUBLE"));
  if (const char* trace = std::getenv("PINLORN_PPDEV_TRACE")) {
    TraceFd = RealOpen()(trace, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  }
}

// The N in `path` when the whole path has the form of `pattern` ("...%u...%n"), else -1.
long Numbered(const char* path, const char* pattern) {
  unsigned number = 0;
  int end = -1;
  const bool whole = std::sscanf(path, pattern, &number, &end) == 1 && end >= 0 && path[end] == '\0';
  return whole && number < 1000 ? number : -1;
}

int Fail(int error) {
  errno = error;
  return -1;
}

int MemoryFile(const std::string& text) {
  const int fd = memfd_create("ppdev-double", MFD_CLOEXEC);
  if (fd < 0) return -1;
  if (write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()) || lseek(fd, 0, SEEK_SET) != 0) {
    RealClose()(fd);
    return Fail(EIO);
  }
  return fd;
}

int OpenDevice(size_t number, int flags) {
  if (number >= Ports.size()) return Note("open /dev/parport%zu: ENOENT", number), Fail(ENOENT);
  const Port& port = Ports[number];
  if (port.OpenError != 0) {
    Note("open /dev/parport%zu: %s", number, port.OpenError == ENOENT ? "ENOENT" : "EACCES");
    return Fail(port.OpenError);
  }
  const int fd = RealOpen()("/dev/null", O_RDWR | (flags & O_CLOEXEC));
  if (fd < 0 || fd >= kMaxFd) return fd;
  Handles[fd] = Handle{number};
  Ours[fd] = true;
  Note("open /dev/parport%zu", number);
  return fd;
}

// The double's answer for `path`, or -2 when the path is not the double's.
int OpenModelled(const char* path, int flags) {
  const std::string_view name = path;
  const bool device = name.starts_with(kDevicePrefix);
  if (!device && !name.starts_with(kProcPrefix)) return -2;
  const std::lock_guard<std::mutex> hold(Lock);
  ConfigureFromEnvironment();
  if (device) {
    const long number = Numbered(path, "/dev/parport%u%n");
    return number < 0 ? Fail(ENOENT) : OpenDevice(static_cast<size_t>(number), flags);
  }
  const long number = Numbered(path, "/proc/sys/dev/parport/parport%u/base-addr%n");
  if (number < 0 || static_cast<size_t>(number) >= Ports.size()) return Fail(ENOENT);
  return MemoryFile(std::to_string(Ports[static_cast<size_t>(number)].Base) + " 0\n");
}

// Open input pins are pulled up; the loopback plug drives them from data
// pins 2-6 while the port drives its data lines.
uint8_t Status(const Port& port) {
  return StatusOfInputs(port.Loopback && !port.Reverse ? port.Data : 0x1F);
}

// A claimant starts from the kernel's initial state: init and select-in
// high, data lines driven.
int Claim(Handle& handle, Port& port) {
  if (handle.Claimed) return Fail(EINVAL);
  if (port.Busy && handle.Exclusive) return Fail(ENXIO);
  handle.Claimed = true;
  port.Control = 0x0C;
  port.Reverse = false;
  return 0;
}

int Registers(Port& port, unsigned long request, void* argument) {
  auto* byte = static_cast<uint8_t*>(argument);
  switch (request) {
    case PPWDATA: port.Data = *byte; Note("PPWDATA 0x%02X", *byte); return 0;
    case PPRDATA: *byte = port.Reverse ? 0xFF : port.Data; Note("PPRDATA 0x%02X", *byte); return 0;
    case PPRSTATUS: *byte = Status(port); Note("PPRSTATUS 0x%02X", *byte); return 0;
    case PPWCONTROL: port.Control = *byte & 0x0F; Note("PPWCONTROL 0x%02X", *byte); return 0;
    case PPRCONTROL: *byte = port.Control; Note("PPRCONTROL 0x%02X", *byte); return 0;
    case PPDATADIR:
      port.Reverse = *static_cast<int*>(argument) != 0;
      Note("PPDATADIR %d", port.Reverse ? 1 : 0);
      return 0;
    default: Note("ioctl 0x%lX: ENOTTY", request); return Fail(ENOTTY);
  }
}

int Ppdev(int fd, unsigned long request, void* argument) {
  const std::lock_guard<std::mutex> hold(Lock);
  const auto found = Handles.find(fd);
  if (found == Handles.end()) return Fail(ENODEV);  // set up afresh since it was opened
  Handle& handle = found->second;
  Port& port = Ports[handle.Port];
  if (request == PPEXCL) {
    if (handle.Claimed) return Note("PPEXCL: EINVAL"), Fail(EINVAL);
    handle.Exclusive = true;
    return Note("PPEXCL"), 0;
  }
  if (request == PPCLAIM) {
    const int result = Claim(handle, port);
    Note(result == 0 ? "PPCLAIM" : "PPCLAIM: %s", errno == ENXIO ? "ENXIO" : "EINVAL");
    return result;
  }
  if (!handle.Claimed) return Note("ioctl before the claim: EINVAL"), Fail(EINVAL);
  if (request == PPRELEASE) return handle.Claimed = false, Note("PPRELEASE"), 0;
  return Registers(port, request, argument);
}

}  // namespace

extern "C" {

void PpdevDoubleSetUp(const char* ports) {
  const std::lock_guard<std::mutex> hold(Lock);
  Configured = true;
  Parse(ports);
  Handles.clear();
  Recording = true;
  Recorded.clear();
}

const char* PpdevDoubleLog() {
  const std::lock_guard<std::mutex> hold(Lock);
  return Recorded.c_str();
}

int open(const char* path, int flags, ...) {
  // The mode that follows the flags with O_CREAT or O_TMPFILE.
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = va_arg(arguments, mode_t);
  va_end(arguments);
  const int modelled = OpenModelled(path, flags);
  return modelled != -2 ? modelled : RealOpen()(path, flags, mode);
}

int close(int fd) {
  if (fd >= 0 && fd < kMaxFd && Ours[fd]) {
    const std::lock_guard<std::mutex> hold(Lock);
    if (Handles.erase(fd) != 0) Note("close");
    Ours[fd] = false;
  }
  return RealClose()(fd);
}

int ioctl(int fd, unsigned long request, ...) {
  va_list arguments;
  va_start(arguments, request);
  void* argument = va_arg(arguments, void*);
  va_end(arguments);
  if (fd >= 0 && fd < kMaxFd && Ours[fd]) return Ppdev(fd, request, argument);
  return RealIoctl()(fd, request, argument);
}

}  // extern "C"
