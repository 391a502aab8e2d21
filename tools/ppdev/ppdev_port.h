#pragma once
// One parallel port device reached through Linux ppdev, as a port at some
// base address sees it: data at +0, status at +1, control at +2.
//
// The device is opened and claimed exclusively (PPEXCL, then PPCLAIM) at the
// first access. An exclusive claim never waits: it fails at once while
// another driver (the printer module lp) holds the port. Until a claim
// holds, whatever the cause (no such device, no permission, the port in
// use), reads give 0xFF, as an open bus does, writes go nowhere, a claim is
// tried again at most once a second, and each new cause is reported once,
// in one line that names its cure.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;
using FailureReport = std::function<void(const std::string& line)>;

class PpdevPort {
 public:
  PpdevPort(std::string device, SteadyClock clock, FailureReport report);
  ~PpdevPort();  // releases the claim
  PpdevPort(const PpdevPort&) = delete;
  PpdevPort& operator=(const PpdevPort&) = delete;

  // `base` only names the port in a failure report.
  uint8_t Read(uint16_t base, unsigned offset);
  void Write(uint16_t base, unsigned offset, uint8_t value);

 private:
  bool Claimed(uint16_t base);
  int TryClaim();  // 0, or the errno of the step that failed
  bool Ioctl(uint16_t base, unsigned long request, void* argument);
  void Fail(uint16_t base, int error);
  void Release();

  std::string device_;
  SteadyClock clock_;
  FailureReport report_;
  int fd_ = -1;
  bool claimAttempted_ = false;
  std::chrono::steady_clock::time_point nextClaim_{};
  int reportedError_ = 0;
  // Control bits 4 (interrupt enable) and 5 (direction) as last written:
  // ppdev reads back only bits 0-3.
  uint8_t keptControl_ = 0;
};

// The one line that reports a failed claim or access of `device` for the
// port at `base`, with its cure.
std::string FailureLine(const std::string& device, uint16_t base, int error);
