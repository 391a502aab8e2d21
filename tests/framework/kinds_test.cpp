// Control kinds: styles, default placement, identifiers, and the combo box's
// own handler (filled early, dropped list sizing, keys, deferred selection).
#include <gtest/gtest.h>

#include <string>

#include "framework_fixture.h"
#include "items.h"
#include "mouse_input.h"
#include "kinds.h"
#include "properties.h"
#include "window.h"
#include "window_text.h"
#include "combobox.h"

namespace {

using KindsTest = FrameworkTest;


// What each kind is on screen: a visible child of its form, with the frame
// its edge style asks for (the combo box draws its edge itself, inside); a
// label and every panel take a press of the mouse as a click.
TEST_F(KindsTest, EveryKindUnderAForm) {
  TControl* form = CreateForm(nullptr, "kinds");
  SetPosition(form, -3000, -3000);  // shown, but where it covers no other test's window
  const int dialogFrame = GetSystemMetrics(SM_CXDLGFRAME);
  struct Row {
    const char* label;
    TControl* control;
    int frame;  // pixels between the window's edge and its client area, on each side
    bool clicks;  // a press raises OnClick
  } rows[] = {
      {"label", CreateLabel(form, "x"), 0, true},
      {"group box", CreateGroupBox(form, "g"), 0, false},
      {"panel, dialog frame", CreatePanel(form, 0), dialogFrame, true},
      {"panel, sunken", CreatePanel(form, 1), 1, true},
      {"panel, no frame", CreatePanel(form, 3), 0, true},
      {"panel, edge style past the table", CreatePanel(form, 9), 0, true},
      {"combo box", CreateComboBox(form, kComboNoIntegralHeight), 0, false},
  };
  ASSERT_TRUE(form->Realize());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const HWND window = row.control->Handle;
    EXPECT_EQ(GetParent(window), form->Handle);
    EXPECT_TRUE(IsWindowVisible(window));
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    EXPECT_EQ((outer.right - outer.left - client.right) / 2, row.frame);
    if (row.clicks) {
      EventCounter clicks;
      row.control->OnClick = clicks.Handler();
      PressLeftButton(window);
      EXPECT_EQ(clicks.calls, 1);
      EXPECT_EQ(clicks.sender, row.control);
    }
  }
  Release(form);
}

// The combo box is an editable drop-down list: an edit field, and a list
// that drops down.
TEST_F(KindsTest, ComboBoxIsAnEditableDropDownList) {
  TControl* form = CreateForm(nullptr, "combo");
  SetPosition(form, -3000, -3000);
  TControl* combo = CreateComboBox(form, kComboNoIntegralHeight);
  ASSERT_TRUE(form->Realize());
  const HWND window = combo->Handle;
  EXPECT_EQ(ClassOf(GetWindow(window, GW_CHILD)), "Edit");
  SendMessageA(window, CB_SHOWDROPDOWN, TRUE, 0);
  EXPECT_TRUE(SendMessageA(window, CB_GETDROPPEDSTATE, 0, 0));
  SendMessageA(window, CB_SHOWDROPDOWN, FALSE, 0);
  Release(form);
}

TEST_F(KindsTest, DefaultPlacementIdentifiersAndFocusCandidate) {
  TControl* form = CreateForm(nullptr, "placement");
  const uint16_t firstId = NextControlId;
  TControl* label = CreateLabel(form, "first");
  TControl* box = CreateGroupBox(form, "box");
  TControl* cell = CreatePanel(box, 0);
  TControl* firstCombo = CreateComboBox(box, 0);
  TControl* other = CreateForm(nullptr, "other form");
  TControl* otherCombo = CreateComboBox(other, 0);
  CreateComboBox(form, 0);

  struct Row {
    const char* label;
    TControl* control;
    RECT bounds;
    int id;
  } rows[] = {
      {"label at the form's margin", label, {2, 2, 66, 24}, firstId},
      {"group box", box, {2, 2, 102, 102}, firstId + 1},
      {"first child of a group box", cell, {4, 24, 104, 124}, firstId + 2},
      {"combo box on another form", otherCombo, {2, 2, 102, 24}, firstId + 4},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_TRUE(EqualRect(&row.control->Bounds, &row.bounds));
    EXPECT_EQ(row.control->ControlId, row.id);
  }
  EXPECT_EQ(form->FocusedControl, firstCombo) << "the first tab stop, kept by later ones";

  ASSERT_NE(GetHandle(form), nullptr);
  const RECT placed = GetBounds(cell);
  EXPECT_EQ(placed.left, 4);
  EXPECT_EQ(placed.top, 24);
  EXPECT_EQ(GetDlgCtrlID(cell->Handle), firstId + 2);
  Release(form);
  Release(other);
}

// A form with a combo box of `items` entries, made and filled before the
// form is shown, as port discovery does.
struct ShownCombo {
  TControl* form = CreateForm(nullptr, "combo");
  TControl* combo = CreateComboBox(form, kComboNoIntegralHeight);
  explicit ShownCombo(int items) {
    ClearItems(combo);
    for (int i = 0; i < items; ++i) AddItem(combo, "item " + std::to_string(i));
    form->Realize();
    DrainMessages();
  }
  ~ShownCombo() { Release(form); }
  bool Dropped() const { return SendMessageA(combo->Handle, CB_GETDROPPEDSTATE, 0, 0) != 0; }
};

TEST_F(KindsTest, ComboFilledBeforeItsFormIsShown) {
  TControl* form = CreateForm(nullptr, "early");
  TControl* combo = CreateComboBox(form, kComboNoIntegralHeight);
  AddItem(combo, "LPT1");
  ASSERT_NE(combo->Handle, nullptr);
  EXPECT_FALSE(IsWindowVisible(form->Handle));
  EXPECT_TRUE(form->ShowPending);
  ASSERT_TRUE(form->Realize());
  EXPECT_TRUE(IsWindowVisible(combo->Handle));
  EXPECT_EQ(GetText(combo), "LPT1");
  Release(form);
}

TEST_F(KindsTest, DroppedListIsSizedForOneToEightItems) {
  struct Row {
    const char* label;
    int items;
    int shown;
  } rows[] = {{"empty list", 0, 1}, {"twenty items", 20, 8}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    ShownCombo c(row.items);
    EventCounter dropped;
    c.combo->OnDropDown = dropped.Handler();
    const int closedHeight = GetHeight(c.combo);
    SendMessageA(c.combo->Handle, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_TRUE(c.combo->DroppedDown);
    EXPECT_EQ(dropped.calls, 1);
    EXPECT_EQ(GetHeight(c.combo), closedHeight) << "the closed box keeps its size";
    // The combo's window is made (shown + 1) closed heights + 2 tall; the
    // dropped list takes all of it below the closed box.
    RECT list{};
    SendMessageA(c.combo->Handle, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&list));
    EXPECT_EQ(list.bottom - list.top, closedHeight * row.shown + 2);
  }
}

TEST_F(KindsTest, EscAndEnterInTheOpenList) {
  struct Row {
    const char* label;
    WPARAM key;
    int selectedAfter;
  } rows[] = {{"Esc restores the selection the list opened with", VK_ESCAPE, 0},
              {"Enter keeps the new selection", VK_RETURN, 2}};
  ShownCombo c(3);
  EventCounter closed;
  c.combo->OnCloseUp = closed.Handler();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    SendMessageA(c.combo->Handle, CB_SETCURSEL, 0, 0);
    SendMessageA(c.combo->Handle, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(c.Dropped());
    SendMessageA(c.combo->Handle, CB_SETCURSEL, 2, 0);
    SendMessageA(GetWindow(c.combo->Handle, GW_CHILD), WM_CHAR, row.key, 0);
    EXPECT_FALSE(c.Dropped());
    EXPECT_FALSE(c.combo->DroppedDown);
    EXPECT_EQ(GetItemIndex(c.combo), row.selectedAfter);
  }
  EXPECT_EQ(closed.calls, 2);
}

TEST_F(KindsTest, SelectionChangeIsAnnouncedThroughTheQueue) {
  ShownCombo c(3);
  EventCounter selected;
  c.combo->OnSelect = selected.Handler();
  SendMessageA(c.form->Handle, WM_COMMAND, MAKEWPARAM(c.combo->ControlId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(c.combo->Handle));
  EXPECT_EQ(selected.calls, 0) << "deferred until the queue is drained";
  DrainMessages();
  EXPECT_EQ(selected.calls, 1);
  EXPECT_EQ(selected.sender, c.combo);
}

}  // namespace
