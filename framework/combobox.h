#pragma once
// The combo box kind, all of it: its options and kind table, its
// constructor, its own message handler (inner colour requests, the dropped
// list, deferred selection changes), the sizing of its dropped list, and the
// subclassing of its inner windows (the edit field and the dropped list),
// through which their keys reach the combo box.
#include "control.h"

// ComboOptions bits.
enum ComboOption : uint32_t {
  kComboDropDownList = 1u << 0,
  kComboNoAutoHScroll = 1u << 1,
  kComboDisableNoScroll = 1u << 2,
  kComboLowerCase = 1u << 3,
  kComboNoIntegralHeight = 1u << 4,
  kComboOemConvert = 1u << 5,
  kComboSort = 1u << 6,
  kComboUpperCase = 1u << 7,
  kComboOwnerDrawFixed = 1u << 8,
  kComboOwnerDrawVariable = 1u << 9,
  kComboSimple = 1u << 10,
};

extern const KindTable ComboKind;

TControl* CreateComboBox(TControl* parent, uint32_t comboOptions);
uint32_t ComboStyleFromOptions(uint32_t comboOptions);

// Combo boxes: answers the colour requests of the inner edit field and list
// with the combo's own colours (handled), subclasses the inner windows once
// WM_CREATE has made them (handled), tracks the dropped list and defers
// selection changes through the queue (not handled), unsubclasses on
// WM_DESTROY (not handled).
bool ComboBoxHandler(TControl* control, MessageRecord& message, LRESULT& result);
// As the list drops down: sizes it for 1 to 8 items.
void SizeComboList(TControl* combo);

// Whether the control and all its parents are shown or about to be.
bool IsShowing(const TControl* control);

// The inner windows get ChildSubclassProc, their own procedure kept (also in
// their "PREV_PROC" property).
void SubclassChildren(TControl* control);
// Gives the inner windows of `window` their own procedures back.
void UnsubclassChildren(HWND window);
LRESULT CALLBACK ChildSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
