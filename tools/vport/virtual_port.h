#pragma once
// The virtual parallel port: a standard port at LPT1 (0x378) whose state lives
// in named shared memory, so that every process under one wineserver (the
// monitor, the port tool, the tests) sees the same port. The port I/O library's
// Inp32/Out32 are Read/Write of this class.
//
// Nothing is locked: an access changes the port and takes its sequence number
// in one interlocked step, then writes its log record into the ring slot of
// that number in one more. An access therefore costs what a real port access
// does, and a process that dies mid-access leaves at worst one record
// unwritten; readers skip such a record after a short wait.
#include <cstdint>
#include <vector>

#include "port_layout.h"

enum class Wiring : uint8_t { Nothing = 0, Loopback = 1 };  // Loopback: 2->15, 3->13, 4->12, 5->10, 6->11
enum class AccessKind : uint8_t { Read = 0, Write = 1 };

struct AccessRecord {
  uint32_t Sequence;
  uint16_t Port;
  AccessKind Kind;
  uint8_t Value;
};

struct VirtualPortShared;

class VirtualPort {  // RAII: opens (creating if needed) the shared block
 public:
  VirtualPort();
  ~VirtualPort();
  VirtualPort(const VirtualPort&) = delete;
  VirtualPort& operator=(const VirtualPort&) = delete;

  bool IsOpen() const;
  // Whether another process had the port open already. When none had, the
  // port's state ends with this object.
  bool WasAlreadyOpen() const;
  uint8_t Read(uint16_t port);               // exactly what Inp32 returns; logged
  void Write(uint16_t port, uint8_t value);  // exactly what Out32 does; logged
  // Pins 10, 11, 12, 13, 15: level of an input pin when the plug does not
  // drive it. False (nothing changed) for any other pin.
  bool SetInputPin(int pin, bool high);
  bool OpenInputPin(int pin);  // back to open (pulled up = high); false for non-input pins
  void SetWiring(Wiring wiring);
  Wiring GetWiring();
  // Register values as a read returns them (CR bits 6 and 7 read 1); not logged.
  uint8_t DataLatch();
  uint8_t ControlValue();
  uint8_t StatusValue();
  bool PinLevel(int pin);    // electrical level of connector pin 1..17 (true = high)
  uint32_t NextSequence();   // sequence number the next access will get
  // Records with Sequence >= sequence still in the ring, in order. A record
  // whose access is still in flight in another process is waited for
  // briefly; one that never gets written (its process died) is left out.
  std::vector<AccessRecord> LogSince(uint32_t sequence);
  void ClearLog();
  // DR 0, CR 0, all input pins open, wiring Nothing, driver open, log cleared
  void Reset();
  // What the library's IsInpOutDriverOpen answers: whether the port driver
  // is open. Reads and writes work either way, as the virtual port needs
  // no driver.
  bool DriverOpen();
  void SetDriverOpen(bool open);

  // What a client that dies in the middle of a write leaves behind: the
  // write has taken effect and used its sequence number, but its log record
  // is never written. For tests.
  void WriteAndDie(uint16_t port, uint8_t value);

 private:
  uint8_t Access(uint16_t port, AccessKind kind, uint8_t value, bool record);

  void* mapping_ = nullptr;  // HANDLE of the file mapping
  VirtualPortShared* shared_ = nullptr;
  bool wasAlreadyOpen_ = false;
};
