#pragma once
// What Pinlorn knows about the watched parallel port: its base address, the
// register values last read or written, whether the port library can reach
// the port, and the pin map of the 20 register bits that have a cell in the
// window. All port access goes through Inp32/Out32 of the port I/O library,
// each call guarded against the library's hardware faults.
#include <array>
#include <cstddef>
#include <cstdint>

#include "port_layout.h"

enum class Register : uint8_t { DR, CR, SR };

// The first call into the port library that raised a hardware fault.
struct PortFault {
  const char* Call;  // "Inp32", "Out32" or the driver query; null while no call has faulted
  uint16_t Port;     // the I/O port the call was given; 0 for a call without one
  uint32_t Code;     // the exception's code
};

struct PortStateRecord {
  uint32_t BaseAddress;  // 0 while no port has been chosen
  // The last value read from each register, or written to it since.
  uint8_t LastDR;
  uint8_t LastCR;
  uint8_t LastSR;
  bool RunEnded = false;  // the run's last write (DR 0) is made: nothing more is written
  // After a fault the port is left alone: nothing is read, and nothing is
  // written but the run's last write.
  PortFault Fault{};
  bool DriverClosed = false;  // the library said its port driver is not open
};
extern PortStateRecord PortState;

struct PinMapEntry {
  Register Reg;
  uint8_t Bit;
  uint8_t Mask;
  const char* Caption;
  bool Inverted;    // the register holds the inverse of the pin's level
  bool ClickFlips;  // a click on the cell writes the flipped bit
  int32_t Left;     // the cell's place in its register's group box
  int32_t Width;
};

// In the order the cells are made and coloured: DR bits 0-7, CR bits 0-5, SR
// bits 2-7. Within a register the cells run from bit 0 (rightmost) to the
// left, a bit's place 24 pixels wide; the cell of pin 6 sits one pixel off
// that grid. "AckIE" and "Direct" share the places of CR bits 4 to 7, "PIRQ"
// covers those of SR bits 0 to 2.
inline constexpr std::array<PinMapEntry, 20> PinMap = {{
    {Register::DR, 0, 0x01, "2", false, true, 336, 24},
    {Register::DR, 1, 0x02, "3", false, true, 312, 24},
    {Register::DR, 2, 0x04, "4", false, true, 288, 24},
    {Register::DR, 3, 0x08, "5", false, true, 264, 24},
    {Register::DR, 4, 0x10, "6", false, true, 239, 24},
    {Register::DR, 5, 0x20, "7", false, true, 216, 24},
    {Register::DR, 6, 0x40, "8", false, true, 192, 24},
    {Register::DR, 7, 0x80, "9", false, true, 168, 24},
    {Register::CR, 0, 0x01, "1", true, true, 336, 24},
    {Register::CR, 1, 0x02, "14", true, true, 312, 24},
    {Register::CR, 2, 0x04, "16", false, true, 288, 24},
    {Register::CR, 3, 0x08, "17", true, true, 264, 24},
    {Register::CR, 4, 0x10, "AckIE", false, true, 216, 48},
    {Register::CR, 5, 0x20, "Direct", false, true, 168, 48},
    {Register::SR, 2, 0x04, "PIRQ", false, false, 288, 72},
    {Register::SR, 3, 0x08, "15", false, false, 264, 24},
    {Register::SR, 4, 0x10, "13", false, false, 240, 24},
    {Register::SR, 5, 0x20, "12", false, false, 216, 24},
    {Register::SR, 6, 0x40, "10", false, false, 192, 24},
    {Register::SR, 7, 0x80, "11", true, false, 168, 24},
}};

// The I/O port of a register: the low 16 bits of BaseAddress + offset.
uint16_t RegisterPort(uint32_t offset);
// Whether a port has been chosen (BaseAddress is not 0). Until then no
// register operation touches the port: ports 0-2 are the DMA controller.
bool PortChosen();

// Whether a call into the port library has faulted (PortState.Fault).
bool PortFailed();

// Reads DR, then CR, then SR, storing each byte right after its own read.
// Returns false, leaving the last values as they are, when no port is chosen
// or the library has faulted; a read that faults stops the rest.
bool ReadRegisters();
// Write one register, which then holds the value as its last one; return
// false (nothing written) when no port is chosen, the run has ended or the
// library has faulted, and when this write faults.
bool WriteDR(uint8_t value);
bool WriteCR(uint8_t value);
// The end of the run, however it comes: DR is written 0, once, as the last
// write of the run, after a fault of the library too. False when that write
// was made already (or no port is chosen, or it faulted).
bool EndRunWithDataLow();
// Asks the port library whether its driver is open, where the library can
// tell (one without the query counts as open), and keeps the answer in
// PortState.DriverClosed. Nothing is asked while no port is chosen.
void CheckPortDriver();
