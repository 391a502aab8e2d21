#include "ppdev_port.h"

#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr unsigned kData = 0, kStatus = 1, kControl = 2;
constexpr uint8_t kOpenBus = 0xFF;
constexpr uint8_t kPpdevControlBits = 0x0F;  // strobe, autofd, init, select-in
constexpr uint8_t kKeptControlBits = 0x30;   // interrupt enable, direction
constexpr uint8_t kDirectionBit = 0x20;
constexpr uint8_t kUnusedControlBits = 0xC0;  // read as 1
constexpr auto kClaimInterval = std::chrono::seconds(1);

struct Cure {
  int Error;
  const char* What;
  const char* Remedy;
};

constexpr Cure kCures[] = {
    {ENOENT, "no such device", "load the port's driver (sudo modprobe parport_pc) or map the port to "
                               "another device (HKCU\\Software\\Wine\\VDM\\ppdev)"},
    {ENODEV, "no such device", "load the port's driver (sudo modprobe parport_pc)"},
    {EACCES, "permission denied", "join group lp (sudo adduser $USER lp), then log in again"},
    {EPERM, "permission denied", "join group lp (sudo adduser $USER lp), then log in again"},
    {ENXIO, "in use by another driver", "unload the printer module lp (sudo rmmod lp)"},
    {EBUSY, "in use by another driver", "unload the printer module lp (sudo rmmod lp)"},
};

}  // namespace

std::string FailureLine(const std::string& device, uint16_t base, int error) {
  char line[512];
  for (const Cure& cure : kCures) {
    if (cure.Error != error) continue;
    std::snprintf(line, sizeof line, "parallel port 0x%X (%s): %s: %s; it reads 0xFF until then",
                  base, device.c_str(), cure.What, cure.Remedy);
    return line;
  }
  std::snprintf(line, sizeof line, "parallel port 0x%X (%s): %s; it reads 0xFF until then", base,
                device.c_str(), std::strerror(error));
  return line;
}

PpdevPort::PpdevPort(std::string device, SteadyClock clock, FailureReport report)
    : device_(std::move(device)), clock_(std::move(clock)), report_(std::move(report)) {}

PpdevPort::~PpdevPort() { Release(); }

uint8_t PpdevPort::Read(uint16_t base, unsigned offset) {
  if (offset > kControl || !Claimed(base)) return kOpenBus;
  uint8_t value = 0;
  const unsigned long requests[] = {PPRDATA, PPRSTATUS, PPRCONTROL};
  if (!Ioctl(base, requests[offset], &value)) return kOpenBus;
  if (offset != kControl) return value;
  return static_cast<uint8_t>((value & kPpdevControlBits) | keptControl_ | kUnusedControlBits);
}

void PpdevPort::Write(uint16_t base, unsigned offset, uint8_t value) {
  if ((offset != kData && offset != kControl) || !Claimed(base)) return;
  if (offset == kData) {
    Ioctl(base, PPWDATA, &value);
    return;
  }
  uint8_t lines = value & kPpdevControlBits;
  if (!Ioctl(base, PPWCONTROL, &lines)) return;
  if ((value ^ keptControl_) & kDirectionBit) {
    int reverse = (value & kDirectionBit) ? 1 : 0;
    if (!Ioctl(base, PPDATADIR, &reverse)) return;
  }
  keptControl_ = value & kKeptControlBits;
}

bool PpdevPort::Claimed(uint16_t base) {
  if (fd_ >= 0) return true;
  const auto now = clock_();
  if (claimAttempted_ && now < nextClaim_) return false;
  const int error = TryClaim();
  if (error == 0) {
    reportedError_ = 0;
    keptControl_ = 0;  // the claim starts the port afresh, forward
    return true;
  }
  Fail(base, error);
  return false;
}

int PpdevPort::TryClaim() {
  const int fd = open(device_.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return errno;
  if (ioctl(fd, PPEXCL) != 0 || ioctl(fd, PPCLAIM) != 0) {
    const int error = errno;
    close(fd);
    return error;
  }
  fd_ = fd;
  return 0;
}

bool PpdevPort::Ioctl(uint16_t base, unsigned long request, void* argument) {
  if (ioctl(fd_, request, argument) == 0) return true;
  // The device went away under the claim (unplugged, driver unloaded): let
  // go of it and claim it again later, as after a failed claim.
  const int error = errno;
  Release();
  Fail(base, error);
  return false;
}

void PpdevPort::Fail(uint16_t base, int error) {
  claimAttempted_ = true;
  nextClaim_ = clock_() + kClaimInterval;
  if (error == reportedError_) return;
  reportedError_ = error;
  if (report_) report_(FailureLine(device_, base, error));
}

void PpdevPort::Release() {
  if (fd_ < 0) return;
  ioctl(fd_, PPRELEASE);
  close(fd_);
  fd_ = -1;
}
