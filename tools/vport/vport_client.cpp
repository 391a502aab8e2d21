#include "vport_client.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>

namespace {

constexpr uint16_t kBase = 0x378;  // LPT1: DR at +0, SR at +1, CR at +2
constexpr uint32_t kLogCapacity = 8192;
constexpr char kMappingName[] = "PinlornVirtualPort.State";
constexpr char kMutexName[] = "PinlornVirtualPort.Lock";

// What an input pin does when the plug does not drive it. Zero is open, so a
// freshly created (zero-filled) block is an idle port with nothing attached.
enum InputSetting : uint8_t { kOpen = 0, kLow = 1, kHigh = 2 };

// The five input pins in SR bit order (bits 3-7), and the DR bit that the
// loopback plug puts on each: 2->15, 3->13, 4->12, 5->10, 6->11.
struct InputPin {
  int Pin;
  uint8_t StatusBit;
  uint8_t LoopbackDataBit;
};
constexpr InputPin kInputPins[] = {
    {15, 3, 0}, {13, 4, 1}, {12, 5, 2}, {10, 6, 3}, {11, 7, 4},
};

const InputPin* FindInputPin(int pin) {
  for (const InputPin& input : kInputPins) {
    if (input.Pin == pin) return &input;
  }
  return nullptr;
}

}  // namespace

// The whole port as every process sees it. All zero is the reset state.
struct VirtualPortShared {
  uint8_t DataLatch;
  uint8_t ControlLatch;  // bits 0-5 only; 6 and 7 have no latch
  uint8_t WiringValue;
  uint8_t Inputs[5];     // InputSetting, in kInputPins order
  uint32_t NextSequence;
  uint32_t LogStart;     // first sequence number not cleared from the log
  AccessRecord Log[kLogCapacity];
};

namespace {

class SharedLock {
 public:
  explicit SharedLock(void* mutex) : mutex_(mutex) {
    // An abandoned mutex is still ours: a client that died mid-access left
    // at worst one half-written log record, never a broken block.
    DWORD r = WaitForSingleObject(static_cast<HANDLE>(mutex_), INFINITE);
    held_ = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
  }
  ~SharedLock() {
    if (held_) ReleaseMutex(static_cast<HANDLE>(mutex_));
  }
  SharedLock(const SharedLock&) = delete;
  SharedLock& operator=(const SharedLock&) = delete;

 private:
  void* mutex_;
  bool held_ = false;
};

bool InputLevel(const VirtualPortShared& s, const InputPin& input) {
  if (static_cast<Wiring>(s.WiringValue) == Wiring::Loopback) {
    return (s.DataLatch >> input.LoopbackDataBit) & 1;
  }
  return s.Inputs[&input - kInputPins] != kLow;  // open pins are pulled up
}

uint8_t StatusOf(const VirtualPortShared& s) {
  uint8_t value = 0x07;  // bits 0-2 are not pins and read 1
  for (const InputPin& input : kInputPins) {
    if (InputLevel(s, input)) value |= static_cast<uint8_t>(1u << input.StatusBit);
  }
  return value ^ 0x80;  // the port inverts pin 11
}

uint8_t ControlOf(const VirtualPortShared& s) { return 0xC0 | (s.ControlLatch & 0x3F); }

uint8_t ReadRegister(const VirtualPortShared& s, uint16_t port) {
  switch (port) {
    case kBase: return s.DataLatch;
    case kBase + 1: return StatusOf(s);
    case kBase + 2: return ControlOf(s);
    default: return 0xFF;  // no hardware behind the address
  }
}

void Record(VirtualPortShared& s, uint16_t port, AccessKind kind, uint8_t value) {
  AccessRecord& r = s.Log[s.NextSequence % kLogCapacity];
  r = AccessRecord{s.NextSequence, port, kind, value};
  ++s.NextSequence;
}

void ClearLogOf(VirtualPortShared& s) { s.LogStart = s.NextSequence; }

}  // namespace

VirtualPort::VirtualPort() {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, kMutexName);
  if (!mutex) return;
  SetLastError(ERROR_SUCCESS);
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(VirtualPortShared), kMappingName);
  bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  if (!mapping) {
    CloseHandle(mutex);
    return;
  }
  void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(VirtualPortShared));
  if (!view) {
    CloseHandle(mapping);
    CloseHandle(mutex);
    return;
  }
  mutex_ = mutex;
  mapping_ = mapping;
  shared_ = static_cast<VirtualPortShared*>(view);
  wasAlreadyOpen_ = existed;
}

VirtualPort::~VirtualPort() {
  if (shared_) UnmapViewOfFile(shared_);
  if (mapping_) CloseHandle(static_cast<HANDLE>(mapping_));
  if (mutex_) CloseHandle(static_cast<HANDLE>(mutex_));
}

bool VirtualPort::IsOpen() const { return shared_ != nullptr; }

bool VirtualPort::WasAlreadyOpen() const { return wasAlreadyOpen_; }

uint8_t VirtualPort::Read(uint16_t port) {
  if (!shared_) return 0xFF;
  SharedLock lock(mutex_);
  uint8_t value = ReadRegister(*shared_, port);
  Record(*shared_, port, AccessKind::Read, value);
  return value;
}

void VirtualPort::Write(uint16_t port, uint8_t value) {
  if (!shared_) return;
  SharedLock lock(mutex_);
  if (port == kBase) {
    shared_->DataLatch = value;
  } else if (port == kBase + 2) {
    shared_->ControlLatch = value & 0x3F;
  }  // SR is read-only and other addresses have no hardware
  Record(*shared_, port, AccessKind::Write, value);
}

bool VirtualPort::SetInputPin(int pin, bool high) {
  const InputPin* input = FindInputPin(pin);
  if (!shared_ || !input) return false;
  SharedLock lock(mutex_);
  shared_->Inputs[input - kInputPins] = high ? kHigh : kLow;
  return true;
}

bool VirtualPort::OpenInputPin(int pin) {
  const InputPin* input = FindInputPin(pin);
  if (!shared_ || !input) return false;
  SharedLock lock(mutex_);
  shared_->Inputs[input - kInputPins] = kOpen;
  return true;
}

void VirtualPort::SetWiring(Wiring wiring) {
  if (!shared_) return;
  SharedLock lock(mutex_);
  shared_->WiringValue = static_cast<uint8_t>(wiring);
}

Wiring VirtualPort::GetWiring() {
  if (!shared_) return Wiring::Nothing;
  SharedLock lock(mutex_);
  return static_cast<Wiring>(shared_->WiringValue);
}

uint8_t VirtualPort::DataLatch() {
  if (!shared_) return 0xFF;
  SharedLock lock(mutex_);
  return ReadRegister(*shared_, kBase);
}

uint8_t VirtualPort::ControlLatch() {
  if (!shared_) return 0xFF;
  SharedLock lock(mutex_);
  return ReadRegister(*shared_, kBase + 2);
}

uint8_t VirtualPort::StatusValue() {
  if (!shared_) return 0xFF;
  SharedLock lock(mutex_);
  return ReadRegister(*shared_, kBase + 1);
}

bool VirtualPort::PinLevel(int pin) {
  if (!shared_) return false;
  SharedLock lock(mutex_);
  const VirtualPortShared& s = *shared_;
  if (pin >= 2 && pin <= 9) return (s.DataLatch >> (pin - 2)) & 1;
  switch (pin) {
    case 1: return !(s.ControlLatch & 0x01);  // the port inverts pins 1, 14 and 17
    case 14: return !(s.ControlLatch & 0x02);
    case 16: return s.ControlLatch & 0x04;
    case 17: return !(s.ControlLatch & 0x08);
  }
  const InputPin* input = FindInputPin(pin);
  return input && InputLevel(s, *input);  // pins 18-25 are ground
}

uint32_t VirtualPort::NextSequence() {
  if (!shared_) return 0;
  SharedLock lock(mutex_);
  return shared_->NextSequence;
}

std::vector<AccessRecord> VirtualPort::LogSince(uint32_t sequence) {
  std::vector<AccessRecord> records;
  if (!shared_) return records;
  SharedLock lock(mutex_);
  const VirtualPortShared& s = *shared_;
  // Distances back from the next sequence number, so that the counter may wrap.
  uint32_t kept = std::min(s.NextSequence - s.LogStart, kLogCapacity);
  uint32_t wanted = s.NextSequence - sequence;
  if (wanted > 0x80000000u) wanted = 0;  // a sequence number not given yet
  wanted = std::min(wanted, kept);
  records.reserve(wanted);
  for (uint32_t seq = s.NextSequence - wanted; seq != s.NextSequence; ++seq) {
    records.push_back(s.Log[seq % kLogCapacity]);
  }
  return records;
}

void VirtualPort::ClearLog() {
  if (!shared_) return;
  SharedLock lock(mutex_);
  ClearLogOf(*shared_);
}

void VirtualPort::Reset() {
  if (!shared_) return;
  SharedLock lock(mutex_);
  VirtualPortShared& s = *shared_;
  s.DataLatch = 0;
  s.ControlLatch = 0;
  s.WiringValue = static_cast<uint8_t>(Wiring::Nothing);
  std::fill(std::begin(s.Inputs), std::end(s.Inputs), kOpen);
  ClearLogOf(s);
}
