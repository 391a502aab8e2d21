#pragma once
// Records the messages windows receive, in the way of the system's own
// conformance tests: a window class is copied with GetClassInfoA, given a
// recording procedure, and every message is forwarded with CallWindowProcA.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct RecordedMessage {
  HWND Window;
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  UINT PosFlags;     // WM_WINDOWPOSCHANGING/CHANGED: the WINDOWPOS flags
  RECT Pos;          // WM_WINDOWPOSCHANGING/CHANGED: x, y, x + cx, y + cy
  bool HasText;      // WM_SETTEXT: lParam was a string (not null)
  std::string Text;  // WM_SETTEXT: the string
};

// One expected message. Unless the flags say so, only the number is compared.
struct ExpectedMessage {
  enum Flags : unsigned { kWParam = 1, kLParam = 2, kPosFlags = 4 };
  UINT Msg;
  unsigned Check = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  UINT PosFlags = 0;
};

class MessageRecorder {
 public:
  // Registers `className` as a copy of `sourceClass` (a registered class, or
  // null for a plain class) whose procedure records, then forwards to
  // `forwardTo` (the copied class's own procedure when null). Registering a
  // name that already exists is accepted. Returns whether the class exists.
  static bool RegisterRecordingClass(const char* className, const char* sourceClass,
                                     WNDPROC forwardTo);

  MessageRecorder();   // becomes the active recorder
  ~MessageRecorder();  // stops recording
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  void Clear() { messages_.clear(); }
  // Recorded messages of `window` (all windows when null), noise removed:
  // icon queries, painting, hit testing, cursor and UI-state queries.
  std::vector<RecordedMessage> Messages(HWND window = nullptr) const;
  // Messages of `window` with number `msg`.
  std::vector<RecordedMessage> Only(HWND window, UINT msg) const;

  void Record(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  // When set, called with each message as it is recorded, before its window
  // handles it: for a test that looks at other state at that moment.
  std::function<void(const RecordedMessage&)> OnRecord;

 private:
  std::vector<RecordedMessage> messages_;
};

std::string MessageName(UINT msg);
std::string Describe(const std::vector<RecordedMessage>& messages);
std::string Describe(const std::vector<ExpectedMessage>& messages);
// Whether `actual` matches `expected` entry by entry. On a mismatch
// `report` shows expected against actual.
bool MatchSequence(const std::vector<RecordedMessage>& actual,
                   const std::vector<ExpectedMessage>& expected, std::string* report);

#define EXPECT_SEQUENCE(actual, expected, label)                                    \
  do {                                                                              \
    std::string sequenceReport;                                                     \
    EXPECT_TRUE(MatchSequence((actual), (expected), &sequenceReport))               \
        << (label) << "\n" << sequenceReport;                                       \
  } while (0)
