#pragma once
// The one record behind every window-backed control: forms, labels, group
// boxes, framed panels and combo boxes differ only in the values their
// constructors put here. Also the record's registry, its teardown and its
// place among its parent's children.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "color_values.h"
#include "handles.h"
#include "messages.h"
#include "object.h"

class TControl;

// A handler in a control's chain. Returns true when it handled the message;
// the message result is written through `result`.
using MessageHandler = bool (*)(TControl* control, MessageRecord& message, LRESULT& result);
using ControlProc = void (*)(TControl* control);
using AddItemRoutine = void (*)(TControl* control, const std::string& text);

// A control's message handlers in the order they were added, each with
// whether it still runs once the quit message has been taken. They are kept
// as pairs in a pointer list; only this class knows that layout.
class HandlerList : public PointerList {
 public:
  struct Entry {
    MessageHandler Handler;
    bool KeepAfterTermination;
  };
  int32_t Size() const { return Count / 2; }
  Entry At(int32_t index) const;
  bool Contains(MessageHandler handler) const;
  void Append(MessageHandler handler, bool keepAfterTermination);
};

// A notification code a kind reacts to, or none (std::nullopt). Every 16-bit
// value is some kind's code (a static's click is STN_CLICKED, 0), so "none"
// is kept apart from all of them and matches no code.
using NotifyCode = std::optional<uint16_t>;

// Per-kind message numbers, notification codes and style bits that adapt the
// generic operations to a standard window class. A message or style entry of
// 0 means the kind has none; a kind names only the entries it has.
struct KindTable {
  ControlProc ClearProc{};
  AddItemRoutine AddItemProc{};
  NotifyCode ClickCode{};
  NotifyCode DoubleClickCode{};  // the second press of a double click: a click too
  NotifyCode EnterCode{};
  NotifyCode ExitCode{};
  NotifyCode ChangeCode{};
  NotifyCode SelectCode{};
  uint16_t CountMsg{};
  uint16_t ReplaceLineMsg{};
  uint16_t GetItemDataMsg{};
  uint16_t SetItemDataMsg{};
  uint16_t AddItemMsg{};
  uint16_t DeleteItemMsg{};
  uint16_t InsertItemMsg{};
  uint8_t LineIndexMsg{};
  uint16_t SelStartMsg{};
  uint16_t GetIndexMsg{};
  uint16_t SetCaretMsg{};
  uint16_t SetIndexMsg{};
  uint16_t SetSelMsg{};
  uint16_t SetSelRangeMsg{};
  uint16_t AlignLeftBits{};
  uint16_t AlignRightBits{};
  uint16_t AlignCentreBits{};
  uint8_t AlignClearBits{};
  uint16_t SetBackgroundMsg{};
};

// Margins taken off a window's client rectangle.
struct ClientInsetRect {
  int32_t Top;
  int32_t Bottom;
  int32_t Left;
  int32_t Right;
};

// The standard class of labels and framed panels (the port monitor's cells).
constexpr char kStaticClass[] = "STATIC";

constexpr uint32_t kDefaultClassStyle = CS_OWNDC;
constexpr uint32_t kDefaultStyle = WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW;
constexpr uint32_t kDefaultExStyle = WS_EX_CONTROLPARENT;

// Values of Alignment.
constexpr uint8_t kAlignLeft = 0;
constexpr uint8_t kAlignRight = 1;
constexpr uint8_t kAlignCentre = 2;

// Bits of PositionSet.
constexpr uint8_t kLeftSet = 1 << 0;
constexpr uint8_t kTopSet = 1 << 1;

class TControl : public ObjectBase {
 public:
  void Init() override;  // the control defaults
  void Done() override;  // the control's teardown
  virtual void InitControl(TControl* parent);
  virtual bool Realize();                                // window.cpp
  virtual LRESULT HandleMessage(MessageRecord& message);  // dispatch.cpp

  HWND Handle;
  uint32_t ClassStyle;
  uint32_t Style;
  uint32_t ExStyle;
  WindowIconHandle Icon;  // kNoIcon marks a control without an icon
  WNDPROC BaseWndProc;
  TControl* Parent;
  bool Visible;
  bool TabStop;
  uint8_t Alignment;  // kAlignLeft, kAlignRight, kAlignCentre
  HandlerList* MessageHandlers;
  PointerList* Children;
  SolidBrush Brush;
  COLORREF BrushColor;
  bool Destroying;
  bool WindowDestroyed;
  int32_t DispatchDepth;
  int32_t ControlId;
  // Not a form: every child control, and the timer window, which has no
  // parent but must never count as a form (no close, no icon, never the
  // main window).
  bool IsChild;
  bool NoTextRepaint;
  uint8_t PositionSet;  // kLeftSet, kTopSet
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
  // On a form, the child that last had the focus. The main window may hold
  // another form here instead: the one last active, which its activation
  // hands the focus on to.
  TControl* FocusedControl;
  bool ShowPending;
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
};

// Zero-filled control, then InitControl(parent).
TControl* NewControl(TControl* parent);
// Puts the control under `newParent` in the records: its list of children,
// its owned objects, and the old form's focus. AttachToParent (window.h)
// also moves the window.
void AttachRecord(TControl* control, TControl* newParent);
// The top-level control a control belongs to, or null.
TControl* ParentForm(TControl* control);
// The control of a window of this thread, or null when it has none.
TControl* BoundControl(HWND window);
// Whether the window exists and belongs to this thread.
bool IsOwnThreadWindow(HWND window);
// The control behind a window named in a message, or null for anything else
// (no window, a destroyed or foreign window, a window being torn down).
TControl* ControlOfWindow(HWND window);

// The application's main form (the run loop's, application.h). It lives
// here because a control's teardown makes everyone forget the control,
// the application among them.
extern TControl* MainWindow;
