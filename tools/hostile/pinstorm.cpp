// pinstorm: the hostile neighbour of a running Pinlorn, for scripts/soak.
//
//   pinstorm storm COUNT [SEED]   COUNT random messages to all of Pinlorn's windows
//   pinstorm polls SECONDS        Pinlorn's polls per second over SECONDS
//   pinstorm figures              Pinlorn's windows and GDI objects, counted from outside
//   pinstorm close                the close button, "Yes" to the question; prints the
//                                 exit code and the last write to the port
//
// PINSTORM_LOG=FILE writes every message of a storm to FILE, one a line:
// number, post or send, target window and class, message, wParam, lParam.
// PINSTORM_SKIP=ID,ID... leaves those message ids out (0x prefix for hex).
//
// Exit code 0 when the command did what it says, 1 when Pinlorn is not
// running or the storm stopped early, 2 for a bad command line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "hostile.h"

namespace {

// Pinlorn's one form, found by its class: a storm may have changed its caption.
BOOL CALLBACK FindMainWindow(HWND window, LPARAM context) noexcept {
  char name[32] = "";
  GetClassNameA(window, name, sizeof name);
  if (std::strcmp(name, "obj_Form") == 0) {
    *reinterpret_cast<HWND*>(context) = window;
    return FALSE;
  }
  return TRUE;
}

HWND PinlornWindow() {
  HWND found = nullptr;
  EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

struct ProcessWindows {
  DWORD ProcessId;
  std::vector<HWND> Found;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM context) noexcept {
  reinterpret_cast<ProcessWindows*>(context)->Found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM context) noexcept {
  auto* windows = reinterpret_cast<ProcessWindows*>(context);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId == windows->ProcessId) {
    windows->Found.push_back(window);
    EnumChildWindows(window, CollectChild, context);
  }
  return TRUE;
}

// USER objects: every window of the process, top-level and child, as the
// window manager lists them.
size_t CountWindows(DWORD processId) {
  ProcessWindows windows{processId, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&windows));
  return windows.Found.size();
}

// GDI objects: the entries in use in the process's GDI handle table, which
// Wine keeps in the process's own memory and names in its PEB
// (GdiSharedHandleTable, a pointer at 0x94 of a 32-bit PEB and at 0xF8 of a
// 64-bit one; 0x10000 entries of 24 bytes either way, the object type at
// byte 14, 0 for a free entry). Stock objects count too. -1 when the table
// cannot be read. pinstorm is built like the program it looks at, so its
// own PEB's layout is the program's.
constexpr size_t kGdiEntries = 0x10000, kGdiEntrySize = 24, kGdiTypeOffset = 14;
constexpr size_t kPebGdiTable = sizeof(void*) == 8 ? 0xF8 : 0x94;

struct BasicInformation {
  LONG ExitStatus;
  void* PebBaseAddress;
  ULONG_PTR AffinityMask;
  LONG BasePriority;
  ULONG_PTR UniqueProcessId;
  ULONG_PTR InheritedFromUniqueProcessId;
};
using QueryInformationProcess = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);

long CountGdiObjects(HANDLE process) {
  const auto query = reinterpret_cast<QueryInformationProcess>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  BasicInformation basic{};
  if (query == nullptr || query(process, 0, &basic, sizeof basic, nullptr) != 0) return -1;
  uintptr_t table = 0;
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, static_cast<char*>(basic.PebBaseAddress) + kPebGdiTable,
                         &table, sizeof table, &read) ||
      table == 0) {
    return -1;
  }
  std::vector<uint8_t> entries(kGdiEntries * kGdiEntrySize);
  if (!ReadProcessMemory(process, reinterpret_cast<void*>(table),
                         entries.data(), entries.size(), &read)) {
    return -1;
  }
  long used = 0;
  for (size_t i = 0; i < kGdiEntries; ++i) used += entries[i * kGdiEntrySize + kGdiTypeOffset] != 0;
  return used;
}

// The table's layout is Wine's own: the count is trusted only when it
// follows objects made and deleted here.
bool GdiCountFollowsObjects() {
  constexpr int kMade = 8;
  const long before = CountGdiObjects(GetCurrentProcess());
  HBRUSH brushes[kMade];
  for (HBRUSH& brush : brushes) brush = CreateSolidBrush(RGB(1, 2, 3));
  const long during = CountGdiObjects(GetCurrentProcess());
  for (HBRUSH brush : brushes) DeleteObject(brush);
  const long after = CountGdiObjects(GetCurrentProcess());
  return before >= 0 && during == before + kMade && after == before;
}

double PollsPerSecond(VirtualPort& port, DWORD seconds) {
  const uint32_t start = port.NextSequence();
  const DWORD startTime = GetTickCount();
  // The log holds the last kPortLogCapacity accesses (27 s of polling): count in slices.
  uint32_t unseen = start;
  long polls = 0;
  while (GetTickCount() - startTime < seconds * 1000) {
    Sleep(1000);
    for (const AccessRecord& record : port.LogSince(unseen)) {
      polls += record.Kind == AccessKind::Read && record.Port == kLpt1DR;
      unseen = record.Sequence + 1;
    }
  }
  return polls * 1000.0 / (GetTickCount() - startTime);
}

void PrintProgress(const StormResult& result) {
  std::printf("  %llu messages, %llu unanswered, %zu windows lost\n",
              static_cast<unsigned long long>(result.Delivered),
              static_cast<unsigned long long>(result.Unanswered), result.WindowsLost);
  std::fflush(stdout);
}

bool WholeNumber(const char* text, unsigned long long& value) {
  if (text == nullptr || *text == '\0') return false;
  char* end = nullptr;
  value = std::strtoull(text, &end, 10);
  return *end == '\0';
}

int Usage() {
  std::fprintf(stderr,
               "usage: pinstorm storm COUNT [SEED] | polls SECONDS | figures | close\n");
  return 2;
}

int Storming(HWND main, unsigned long long count, uint32_t seed) {
  VirtualPort port;
  std::printf("seed %lu\nleft out of the storm, by design:\n%s", static_cast<unsigned long>(seed),
              Storm::Exclusions().c_str());
  std::fflush(stdout);
  Storm storm(main, seed);
  // PINSTORM_LOG names a file that gets every message of the storm.
  const char* logPath = std::getenv("PINSTORM_LOG");
  FILE* log = logPath != nullptr ? std::fopen(logPath, "w") : nullptr;
  storm.Log = log;
  for (UINT skipped : storm.Skipped) std::printf("skipping message %04X\n", skipped);
  const StormResult result = storm.Run(count, port, 10000, PrintProgress, 100000);
  if (log != nullptr) std::fclose(log);
  std::printf("survived %llu\n", static_cast<unsigned long long>(result.Delivered));
  std::printf("posted %llu, sent %llu, unanswered %llu, refused by the platform %llu\n",
              static_cast<unsigned long long>(result.Posted),
              static_cast<unsigned long long>(result.Sent),
              static_cast<unsigned long long>(result.Unanswered),
              static_cast<unsigned long long>(result.Refused));
  std::printf("windows %zu, lost %zu\n", result.WindowsAtStart, result.WindowsLost);
  std::printf("writes %zu\n", result.Writes.size());
  if (!result.Writes.empty()) {
    std::printf("  the first from a message up to %llu\n",
                static_cast<unsigned long long>(result.FirstWriteBy));
  }
  for (const AccessRecord& write : result.Writes) {
    std::printf("  write %03X %02X\n", write.Port, write.Value);
  }
  if (!result.Stopped.empty()) std::printf("stopped: %s\n", result.Stopped.c_str());
  return result.Stopped.empty() ? 0 : 1;
}

int Figures(HWND main) {
  DWORD processId = 0;
  GetWindowThreadProcessId(main, &processId);
  std::printf("windows %zu\n", CountWindows(processId));
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  const long gdi = process != nullptr && GdiCountFollowsObjects() ? CountGdiObjects(process) : -1;
  if (process != nullptr) CloseHandle(process);
  if (gdi >= 0) {
    std::printf("gdi %ld\n", gdi);
  } else {
    std::printf("gdi unavailable\n");
  }
  return 0;
}

struct QuestionSearch {
  HWND Owner;
  HWND Found;
};

BOOL CALLBACK FindQuestion(HWND window, LPARAM context) noexcept {
  auto* search = reinterpret_cast<QuestionSearch*>(context);
  char name[16] = "";
  GetClassNameA(window, name, sizeof name);
  if (std::strcmp(name, "#32770") == 0 && IsWindowVisible(window) &&
      GetWindow(window, GW_OWNER) == search->Owner) {
    search->Found = window;
    return FALSE;
  }
  return TRUE;
}

int Close(HWND main) {
  DWORD processId = 0;
  GetWindowThreadProcessId(main, &processId);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
  if (process == nullptr) return 1;
  // Held open here, the port outlives the program: its last write stays readable.
  VirtualPort port;
  const uint32_t closing = port.NextSequence();
  PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  QuestionSearch search{main, nullptr};
  for (int i = 0; i < 1000 && search.Found == nullptr; ++i) {
    Sleep(10);
    EnumWindows(FindQuestion, reinterpret_cast<LPARAM>(&search));
  }
  if (search.Found == nullptr) {
    std::printf("no exit question\n");
    CloseHandle(process);
    return 1;
  }
  PostMessageA(GetDlgItem(search.Found, IDYES), BM_CLICK, 0, 0);
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process, 10000) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
  CloseHandle(process);
  if (code == STILL_ACTIVE) {
    std::printf("still running\n");
    return 1;
  }
  std::printf("exit code %lu\n", code);
  const AccessRecord* last = nullptr;
  const std::vector<AccessRecord> log = port.LogSince(closing);
  for (const AccessRecord& record : log) {
    if (record.Kind == AccessKind::Write) last = &record;
  }
  if (last != nullptr) {
    std::printf("last write %03X %02X\n", last->Port, last->Value);
  } else {
    std::printf("no write\n");
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  unsigned long long number = 0, seed = GetTickCount();
  if (command == "storm") {
    if (argc < 3 || argc > 4 || !WholeNumber(argv[2], number) ||
        (argc == 4 && !WholeNumber(argv[3], seed))) {
      return Usage();
    }
  } else if (command == "polls") {
    if (argc != 3 || !WholeNumber(argv[2], number) || number == 0) return Usage();
  } else if ((command != "figures" && command != "close") || argc != 2) {
    return Usage();
  }

  HWND main = PinlornWindow();
  if (main == nullptr) {
    std::fprintf(stderr, "pinstorm: Pinlorn is not running\n");
    return 1;
  }
  if (command == "storm") return Storming(main, number, static_cast<uint32_t>(seed));
  if (command == "figures") return Figures(main);
  if (command == "close") return Close(main);
  VirtualPort port;
  std::printf("polls per second %.1f\n", PollsPerSecond(port, static_cast<DWORD>(number)));
  return 0;
}
