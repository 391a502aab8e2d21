#pragma once
// The one record behind every window-backed control: forms, labels, group
// boxes, framed panels and combo boxes differ only in the values their
// constructors put here.
#include <windows.h>

#include <cstdint>
#include <string>

#include "object.h"

class TControl;

// One window message as the framework passes it; handlers may change WParam.
struct MessageRecord {
  HWND Window;
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};

// A handler in a control's chain. Returns true when it handled the message;
// the message result is written through `result`.
using MessageHandler = bool (*)(TControl* control, MessageRecord& message, LRESULT& result);
using ControlProc = void (*)(TControl* control);
using AddItemRoutine = void (*)(TControl* control, const std::string& text);

// Per-kind message numbers, notification codes and style bits that adapt the
// generic operations to a standard window class. 0 = the kind has none.
struct KindTable {
  ControlProc ClearProc;
  AddItemRoutine AddItemProc;
  uint16_t ClickCode;
  uint16_t EnterCode;
  uint16_t ExitCode;
  uint16_t ChangeCode;
  uint16_t SelectCode;
  uint16_t CountMsg;
  uint16_t ReplaceLineMsg;
  uint16_t GetItemDataMsg;
  uint16_t SetItemDataMsg;
  uint16_t AddItemMsg;
  uint16_t DeleteItemMsg;
  uint16_t InsertItemMsg;
  uint8_t LineIndexMsg;
  uint16_t SelStartMsg;
  uint16_t GetIndexMsg;
  uint16_t SetCaretMsg;
  uint16_t SetIndexMsg;
  uint16_t SetSelMsg;
  uint16_t SetSelRangeMsg;
  uint16_t AlignLeftBits;
  uint16_t AlignRightBits;
  uint16_t AlignCentreBits;
  uint8_t AlignClearBits;
  uint16_t SetBackgroundMsg;
};

// Margins taken off a window's client rectangle.
struct ClientInsetRect {
  int32_t Top;
  int32_t Bottom;
  int32_t Left;
  int32_t Right;
};

constexpr uint32_t kDefaultClassStyle = CS_OWNDC;
constexpr uint32_t kDefaultStyle = 0x16CF0000;  // visible, clip siblings/children, overlapped window
constexpr uint32_t kDefaultExStyle = WS_EX_CONTROLPARENT;
constexpr uint32_t kColorBtnFace = 0x8000000F;
constexpr uint32_t kColorWindowText = 0x80000008;
constexpr uint32_t kColorWindow = 0x80000005;
inline HICON const kNoIcon = reinterpret_cast<HICON>(static_cast<intptr_t>(-1));

class TControl : public ObjectBase {
 public:
  void Init() override;                      // slot 0: control defaults
  void Done() override;                      // slot 1: control teardown
  virtual void InitControl(TControl* parent);  // slot 2
  virtual bool Realize();                    // slot 3: window.cpp
  virtual LRESULT HandleMessage(MessageRecord& message);  // slot 4: window.cpp

  HWND Handle;
  uint32_t ClassStyle;
  uint32_t Style;
  uint32_t ExStyle;
  HICON Icon;  // kNoIcon marks a control without an icon
  WNDPROC BaseWndProc;
  TControl* Parent;
  bool Visible;
  bool TabStop;
  uint8_t Alignment;  // 0 left, 1 right, 2 centre
  PointerList* MessageHandlers;  // pairs (MessageHandler, keep-after-termination)
  PointerList* Children;
  HBRUSH Brush;
  COLORREF BrushColor;
  bool Destroying;
  bool WindowDestroyed;
  int32_t DispatchDepth;
  int32_t ControlId;
  bool IsChild;
  bool NoTextRepaint;
  uint8_t PositionSet;  // bit 0 left set, bit 1 top set
  NotifyEvent OnExit;
  ControlProc ClickProc;        // null does nothing
  ControlProc TextChangedProc;  // null does nothing
  const char* BaseClassName;
  bool Ctl3D;
  bool ClientEdge;
  uint32_t TextColor;
  uint32_t Color;
  int32_t Margin;
  RECT Bounds;
  ClientInsetRect ClientInsets;
  NotifyEvent OnClick;
  TControl* FocusedControl;
  bool ShowPending;
  ControlProc DropDownHook;
  bool DroppedDown;
  int32_t SelectionAtDropDown;
  uint8_t FocusDepth;
  int32_t ItemIndex;
  NotifyEvent OnChange;
  NotifyEvent OnEnter;
  KindTable KindMessages;
  NotifyEvent OnDropDown;
  NotifyEvent OnCloseUp;
  NotifyEvent OnSelect;
  bool RepaintOnResize;
  std::string Text;
  CloseQueryEvent OnCloseQuery;
  ControlProc AfterCreateHook;
};

// The control of a window of this thread, or null when it has none.
TControl* BoundControl(HWND window);
// Zero-filled control, then InitControl(parent).
TControl* NewControl(TControl* parent);
void AttachToParent(TControl* control, TControl* newParent);
// The top-level control a control belongs to, or null.
TControl* ParentForm(TControl* control);
