#include "virtual_port.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstddef>

namespace {

// The block's name carries its layout, so that a program still running an
// older virtual port never shares a block it would read differently.
constexpr char kMappingName[] = "PinlornVirtualPort.State.3";
// How long a reader waits, per call, for records whose accesses are in
// flight in other processes before it takes them as lost.
constexpr DWORD kInFlightWaitMs = 500;

// What an input pin does when the plug does not drive it. Zero is open, so a
// freshly created (zero-filled) block is an idle port with nothing attached.
enum InputSetting : uint8_t { kOpen = 0, kLow = 1, kHigh = 2 };

// The five input pins in SR bit order (bits 3-7), which is also the order of
// the DR bits 0-4 that the loopback plug puts on them: 2->15, 3->13, 4->12,
// 5->10, 6->11 (StatusOfInputs).
struct InputPin {
  int Pin;
};
constexpr InputPin kInputPins[] = {{15}, {13}, {12}, {10}, {11}};

const InputPin* FindInputPin(int pin) {
  for (const InputPin& input : kInputPins) {
    if (input.Pin == pin) return &input;
  }
  return nullptr;
}

// Everything a register access can see or change, unpacked from the high
// half of the shared state word: bits 0-7 DR, 8-13 CR, 14 wiring, and two
// bits per input pin from bit 16 on, in kInputPins order. All zero is reset.
struct Latches {
  uint8_t DataLatch;
  uint8_t ControlLatch;  // bits 0-5 only; 6 and 7 have no latch
  Wiring WiringValue;
  uint8_t Inputs[5];     // InputSetting, in kInputPins order

  static Latches Unpack(uint32_t word) {
    Latches l{};
    l.DataLatch = static_cast<uint8_t>(word);
    l.ControlLatch = static_cast<uint8_t>((word >> 8) & 0x3F);
    l.WiringValue = static_cast<Wiring>((word >> 14) & 1);
    for (size_t i = 0; i < 5; ++i) l.Inputs[i] = static_cast<uint8_t>((word >> (16 + 2 * i)) & 3);
    return l;
  }
  uint32_t Pack() const {
    uint32_t word = DataLatch | uint32_t{ControlLatch & 0x3Fu} << 8 |
                    uint32_t{static_cast<uint8_t>(WiringValue) & 1u} << 14;
    for (size_t i = 0; i < 5; ++i) word |= uint32_t{Inputs[i] & 3u} << (16 + 2 * i);
    return word;
  }
};

// A log slot holds one record in one 64-bit word, so that it is written and
// read whole: the sequence number in the low half; port, value and kind in
// the high half. Kind 0 marks a slot never written.
enum SlotKind : uint32_t { kEmpty = 0, kReadRecord = 1, kWriteRecord = 2, kLostRecord = 3 };

uint64_t SlotOf(uint32_t sequence, uint16_t port, SlotKind kind, uint8_t value) {
  const uint32_t high = port | uint32_t{value} << 16 | uint32_t{kind} << 24;
  return uint64_t{high} << 32 | sequence;
}
uint32_t SlotSequence(uint64_t slot) { return static_cast<uint32_t>(slot); }
SlotKind SlotKindOf(uint64_t slot) { return static_cast<SlotKind>((slot >> 56) & 3); }
AccessRecord RecordOf(uint64_t slot) {
  return AccessRecord{SlotSequence(slot), static_cast<uint16_t>(slot >> 32),
                      SlotKindOf(slot) == kWriteRecord ? AccessKind::Write : AccessKind::Read,
                      static_cast<uint8_t>(slot >> 48)};
}
// Whether `a` comes after `b`, counting from a sequence number that may wrap.
bool Later(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) > 0; }

// The state word: the next sequence number in the low half, the packed
// latches in the high half. One interlocked exchange of it is one access.
uint64_t StateOf(uint32_t nextSequence, const Latches& latches) {
  return uint64_t{latches.Pack()} << 32 | nextSequence;
}
uint32_t NextSequenceOf(uint64_t state) { return static_cast<uint32_t>(state); }
Latches LatchesOf(uint64_t state) { return Latches::Unpack(static_cast<uint32_t>(state >> 32)); }

}  // namespace

// The whole port as every process sees it. All zero is the reset state.
struct VirtualPortShared {
  std::atomic<uint64_t> State;
  std::atomic<uint32_t> LogStart;  // first sequence number not cleared from the log
  std::atomic<uint32_t> DriverClosed;  // 0: IsInpOutDriverOpen says TRUE
  std::atomic<uint64_t> Log[kPortLogCapacity];
};
// Shared between processes, the atomics must be plain memory operations.
static_assert(std::atomic<uint64_t>::is_always_lock_free && std::atomic<uint32_t>::is_always_lock_free);

namespace {

bool InputLevel(const Latches& l, const InputPin& input) {
  const size_t index = static_cast<size_t>(&input - kInputPins);
  if (l.WiringValue == Wiring::Loopback) return (l.DataLatch >> index) & 1;
  return l.Inputs[index] != kLow;  // open pins are pulled up
}

uint8_t StatusOf(const Latches& l) {
  uint8_t inputs = 0;
  for (const InputPin& input : kInputPins) {
    if (InputLevel(l, input)) inputs |= static_cast<uint8_t>(1u << (&input - kInputPins));
  }
  return StatusOfInputs(inputs);
}

uint8_t ReadRegister(const Latches& l, uint16_t port) {
  switch (port) {
    case kLpt1DR: return l.DataLatch;
    case kLpt1SR: return StatusOf(l);
    case kLpt1CR: return 0xC0 | l.ControlLatch;
    default: return 0xFF;  // no hardware behind the address
  }
}

void WriteRegister(Latches& l, uint16_t port, uint8_t value) {
  if (port == kLpt1DR) {
    l.DataLatch = value;
  } else if (port == kLpt1CR) {
    l.ControlLatch = value & 0x3F;
  }  // SR is read-only and other addresses have no hardware
}

// Applies `change` to the latches in one interlocked step, leaving the
// sequence number alone; returns the state it replaced.
template <typename Change>
uint64_t ChangeLatches(VirtualPortShared& s, Change change) {
  uint64_t old = s.State.load(std::memory_order_acquire);
  for (;;) {
    Latches l = LatchesOf(old);
    change(l);
    if (s.State.compare_exchange_weak(old, StateOf(NextSequenceOf(old), l), std::memory_order_acq_rel,
                                      std::memory_order_acquire)) {
      return old;
    }
  }
}

// Writes the record into its slot, unless the ring has already come round
// and a later record holds the slot (this one then fell out of the log).
void Publish(VirtualPortShared& s, uint64_t record) {
  std::atomic<uint64_t>& slot = s.Log[SlotSequence(record) % kPortLogCapacity];
  uint64_t current = slot.load(std::memory_order_acquire);
  for (;;) {
    if (SlotKindOf(current) != kEmpty && Later(SlotSequence(current), SlotSequence(record))) return;
    if (slot.compare_exchange_weak(current, record, std::memory_order_release, std::memory_order_acquire)) {
      return;
    }
  }
}

// The time one reader gives records in flight, counted from the first one it
// meets.
class InFlightWait {
 public:
  bool Expired() {
    if (!started_) {
      started_ = true;
      deadline_ = GetTickCount() + kInFlightWaitMs;
    }
    return static_cast<int32_t>(GetTickCount() - deadline_) >= 0;
  }

 private:
  bool started_ = false;
  DWORD deadline_ = 0;
};

// Waits for the slot of `sequence` to hold its record, as long as `wait`
// allows, then marks it lost. True with the record; false when it was lost
// or a later record has taken its slot.
bool TakeRecord(VirtualPortShared& s, uint32_t sequence, InFlightWait& wait, AccessRecord& record) {
  std::atomic<uint64_t>& slot = s.Log[sequence % kPortLogCapacity];
  uint64_t current = slot.load(std::memory_order_acquire);
  for (;;) {
    const SlotKind kind = SlotKindOf(current);
    if (kind != kEmpty && SlotSequence(current) == sequence) {
      if (kind == kLostRecord) return false;
      record = RecordOf(current);
      return true;
    }
    if (kind != kEmpty && Later(SlotSequence(current), sequence)) return false;
    // Claimed but not written yet: its process is between its two steps.
    if (wait.Expired()) {
      const uint64_t lost = SlotOf(sequence, 0, kLostRecord, 0);
      if (slot.compare_exchange_strong(current, lost, std::memory_order_acq_rel)) return false;
      continue;  // written after all, or taken by a later lap: look again
    }
    SwitchToThread();
    current = slot.load(std::memory_order_acquire);
  }
}

}  // namespace

VirtualPort::VirtualPort() {
  SetLastError(ERROR_SUCCESS);
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(VirtualPortShared), kMappingName);
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  if (!mapping) return;
  void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(VirtualPortShared));
  if (!view) {
    CloseHandle(mapping);
    return;
  }
  mapping_ = mapping;
  shared_ = static_cast<VirtualPortShared*>(view);
  wasAlreadyOpen_ = existed;
}

VirtualPort::~VirtualPort() {
  if (shared_) UnmapViewOfFile(shared_);
  if (mapping_) CloseHandle(static_cast<HANDLE>(mapping_));
}

bool VirtualPort::IsOpen() const { return shared_ != nullptr; }

bool VirtualPort::WasAlreadyOpen() const { return wasAlreadyOpen_; }

// One access: reads or changes the latches and takes the next sequence
// number in a single interlocked step, so that the log's order is the order
// in which accesses took effect; then writes the record.
uint8_t VirtualPort::Access(uint16_t port, AccessKind kind, uint8_t value, bool record) {
  VirtualPortShared& s = *shared_;
  uint64_t old = s.State.load(std::memory_order_acquire);
  uint8_t result;
  for (;;) {
    Latches l = LatchesOf(old);
    if (kind == AccessKind::Read) {
      result = ReadRegister(l, port);
    } else {
      result = value;
      WriteRegister(l, port, value);
    }
    if (s.State.compare_exchange_weak(old, StateOf(NextSequenceOf(old) + 1, l), std::memory_order_acq_rel,
                                      std::memory_order_acquire)) {
      break;
    }
  }
  if (record) {
    Publish(s, SlotOf(NextSequenceOf(old), port, kind == AccessKind::Write ? kWriteRecord : kReadRecord, result));
  }
  return result;
}

uint8_t VirtualPort::Read(uint16_t port) {
  if (!shared_) return 0xFF;
  return Access(port, AccessKind::Read, 0, true);
}

void VirtualPort::Write(uint16_t port, uint8_t value) {
  if (!shared_) return;
  Access(port, AccessKind::Write, value, true);
}

void VirtualPort::WriteAndDie(uint16_t port, uint8_t value) {
  if (!shared_) return;
  Access(port, AccessKind::Write, value, false);
}

bool VirtualPort::SetInputPin(int pin, bool high) {
  const InputPin* input = FindInputPin(pin);
  if (!shared_ || !input) return false;
  ChangeLatches(*shared_, [&](Latches& l) { l.Inputs[input - kInputPins] = high ? kHigh : kLow; });
  return true;
}

bool VirtualPort::OpenInputPin(int pin) {
  const InputPin* input = FindInputPin(pin);
  if (!shared_ || !input) return false;
  ChangeLatches(*shared_, [&](Latches& l) { l.Inputs[input - kInputPins] = kOpen; });
  return true;
}

void VirtualPort::SetWiring(Wiring wiring) {
  if (!shared_) return;
  ChangeLatches(*shared_, [&](Latches& l) { l.WiringValue = wiring; });
}

Wiring VirtualPort::GetWiring() {
  if (!shared_) return Wiring::Nothing;
  return LatchesOf(shared_->State.load(std::memory_order_acquire)).WiringValue;
}

uint8_t VirtualPort::DataLatch() {
  if (!shared_) return 0xFF;
  return ReadRegister(LatchesOf(shared_->State.load(std::memory_order_acquire)), kLpt1DR);
}

uint8_t VirtualPort::ControlValue() {
  if (!shared_) return 0xFF;
  return ReadRegister(LatchesOf(shared_->State.load(std::memory_order_acquire)), kLpt1CR);
}

uint8_t VirtualPort::StatusValue() {
  if (!shared_) return 0xFF;
  return ReadRegister(LatchesOf(shared_->State.load(std::memory_order_acquire)), kLpt1SR);
}

bool VirtualPort::PinLevel(int pin) {
  if (!shared_) return false;
  const Latches l = LatchesOf(shared_->State.load(std::memory_order_acquire));
  if (pin >= 2 && pin <= 9) return (l.DataLatch >> (pin - 2)) & 1;
  switch (pin) {
    case 1: return !(l.ControlLatch & 0x01);  // the port inverts pins 1, 14 and 17
    case 14: return !(l.ControlLatch & 0x02);
    case 16: return l.ControlLatch & 0x04;
    case 17: return !(l.ControlLatch & 0x08);
  }
  const InputPin* input = FindInputPin(pin);
  return input && InputLevel(l, *input);  // pins 18-25 are ground
}

uint32_t VirtualPort::NextSequence() {
  if (!shared_) return 0;
  return NextSequenceOf(shared_->State.load(std::memory_order_acquire));
}

std::vector<AccessRecord> VirtualPort::LogSince(uint32_t sequence) {
  std::vector<AccessRecord> records;
  if (!shared_) return records;
  VirtualPortShared& s = *shared_;
  const uint32_t next = NextSequenceOf(s.State.load(std::memory_order_acquire));
  const uint32_t start = s.LogStart.load(std::memory_order_acquire);
  // Distances back from the next sequence number, so that the counter may wrap.
  const uint32_t kept = std::min(next - start, kPortLogCapacity);
  uint32_t wanted = next - sequence;
  if (wanted > 0x80000000u) wanted = 0;  // a sequence number not given yet
  wanted = std::min(wanted, kept);
  records.reserve(wanted);
  InFlightWait wait;
  for (uint32_t seq = next - wanted; seq != next; ++seq) {
    AccessRecord record;
    if (TakeRecord(s, seq, wait, record)) records.push_back(record);
  }
  return records;
}

void VirtualPort::ClearLog() {
  if (!shared_) return;
  shared_->LogStart.store(NextSequence(), std::memory_order_release);
}

void VirtualPort::Reset() {
  if (!shared_) return;
  const uint64_t old = ChangeLatches(*shared_, [](Latches& l) { l = Latches{}; });
  shared_->DriverClosed.store(0, std::memory_order_release);
  shared_->LogStart.store(NextSequenceOf(old), std::memory_order_release);
}

bool VirtualPort::DriverOpen() {
  return shared_ && shared_->DriverClosed.load(std::memory_order_acquire) == 0;
}

void VirtualPort::SetDriverOpen(bool open) {
  if (shared_) shared_->DriverClosed.store(open ? 0 : 1, std::memory_order_release);
}
