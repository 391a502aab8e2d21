#pragma once
// A hostile neighbour: another program on the same desktop that acts on a
// running Pinlorn through window messages only, as any program may. The
// end-to-end test and the long run (scripts/soak) both attack through here.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "virtual_port.h"

// Every window of the program's user-interface thread: the main window, its
// descendants, then its other top-level windows (the hidden timer window
// among them) and their descendants. The order depends only on how the
// program built its windows, so that a seed picks the same targets again.
std::vector<HWND> ProgramWindows(HWND mainWindow);

// Where the framework's tick procedure lies in the running program: its
// offset in the image, moved by the base the program's module loaded at.
uintptr_t TickProcedure(HWND mainWindow);

// What `taskkill /pid N` without /f does, minus the main window: WM_CLOSE
// posted to every other window of the program. Returns how many.
int PostCloseToAllButMain(HWND mainWindow);

// Moves a window of the program under a window of this process and destroys
// that: the system destroys the program's window with it.
void DestroyUnder(HWND window);

// Forged WM_TIMER posted to every window of the program, with lParam 0 and
// with the tick procedure, each with identifiers that name no timer. Returns
// how many.
int PostForgedTimers(HWND mainWindow);

// Whether the program polls again: a read of the data register arrives after
// `since` within `timeoutMs`. The program's timer only comes due once its
// queue holds no posted message, so a poll after a batch also tells that
// the batch has been taken.
bool PollsAfter(VirtualPort& port, uint32_t since, DWORD timeoutMs);

struct StormResult {
  uint64_t Delivered = 0;   // messages posted or sent
  uint64_t Posted = 0;
  uint64_t Sent = 0;
  uint64_t Unanswered = 0;  // sends that timed out: the program did not answer
  uint64_t Refused = 0;     // sends the platform would not carry to a live window
  size_t WindowsAtStart = 0;
  size_t WindowsLost = 0;   // targets that stopped being windows
  std::vector<AccessRecord> Writes;  // writes that reached the port meanwhile (the first 16)
  uint64_t FirstWriteBy = 0;  // the first of them came from a message up to this one
  std::string Stopped;      // why the storm ended early; empty when it ran to the end
};

// A seeded storm of random messages to every window of the program. The
// same seed against the same build picks the same messages, targets and
// parameters again.
class Storm {
 public:
  Storm(HWND mainWindow, uint32_t seed);

  // Delivers `count` messages in batches. After each batch it waits (up to
  // `pollTimeoutMs`) until the program has polled again; it stops early when
  // the program has ended or polls no more. `progress`, when not null, gets
  // a line every `progressEvery` messages.
  StormResult Run(uint64_t count, VirtualPort& port, DWORD pollTimeoutMs = 10000,
                  void (*progress)(const StormResult&) = nullptr, uint64_t progressEvery = 0);

  // The messages a storm leaves out, each with its reason (one line each).
  static std::string Exclusions();

  static constexpr int kBatch = 100;

  // When set, every message is written there as it goes, one line each.
  FILE* Log = nullptr;
  // Message ids left out besides the exclusions: known faults, so that a
  // run can go on to find others. PINSTORM_SKIP=ID,ID... (0x for hex) sets them.
  std::vector<UINT> Skipped;

 private:
  struct Message {
    HWND Target;
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    bool Send;
  };

  uint32_t Next();
  uint32_t Below(uint32_t limit) { return Next() % limit; }
  UINT PickMessageId();
  LPARAM PickParameter();
  Message Pick();
  bool Excluded(const Message& message) const;
  bool Deliver(Message message, StormResult& result);
  // Picks one message that no exclusion leaves out, delivers it and counts
  // what became of it; a send the program does not answer stops the storm.
  void DeliverOne(StormResult& result);
  // Whether the program still has its main window and polls again after a
  // batch; if not, says why in `result.Stopped`.
  bool StillServes(VirtualPort& port, DWORD pollTimeoutMs, StormResult& result) const;

  HWND main_;
  std::vector<HWND> windows_;
  std::vector<bool> lost_;  // which targets have stopped being windows
  uintptr_t tick_;
  uintptr_t moduleBase_;
  uint64_t state_;
  std::vector<UINT> registered_;
  std::vector<bool> pointerMessage_;  // ids below WM_USER whose data the platform copies
  std::vector<uint8_t> buffer_;
  DWORD lastError_ = 0;       // what those messages point at in this process
};
