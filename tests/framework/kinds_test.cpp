// Control kinds: styles, default placement, identifiers, and the combo box's
// own handler (filled early, dropped list sizing, keys, deferred selection).
#include <gtest/gtest.h>

#include <string>

#include "framework_fixture.h"
#include "items.h"
#include "kinds.h"
#include "properties.h"
#include "window.h"
#include "combobox.h"

namespace {

using KindsTest = FrameworkTest;

TEST_F(KindsTest, StylesOfEveryKindUnderAForm) {
  TControl* form = CreateForm(nullptr, "kinds");
  struct Row {
    const char* label;
    TControl* control;
    uint32_t style;
    uint32_t exStyle;
  } rows[] = {
      {"label", CreateLabel(form, "x"), 0x5600018C, WS_EX_CONTROLPARENT},
      {"group box", CreateGroupBox(form, "g"), 0x56000007, WS_EX_CONTROLPARENT},
      {"panel, dialog frame", CreatePanel(form, 0), 0x5600018C | WS_DLGFRAME, WS_EX_CONTROLPARENT},
      {"panel, sunken", CreatePanel(form, 1), 0x5600018C | SS_SUNKEN, WS_EX_CONTROLPARENT},
      {"panel, no frame", CreatePanel(form, 3), 0x5600018C, WS_EX_CONTROLPARENT},
      {"panel, edge style past the table", CreatePanel(form, 9), 0x5600018C, WS_EX_CONTROLPARENT},
      {"combo box {4}", CreateComboBox(form, kComboNoIntegralHeight), 0x56210642,
       WS_EX_CONTROLPARENT | WS_EX_CLIENTEDGE},
  };
  ASSERT_NE(GetHandle(form), nullptr);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(row.control->Style, row.style);
    EXPECT_EQ(row.control->ExStyle, row.exStyle);
    // The combo box adjusts its own window styles and draws its edge itself.
    if (row.control->KindMessages.CountMsg == 0) {
      EXPECT_EQ(static_cast<uint32_t>(GetWindowLongA(row.control->Handle, GWL_STYLE)), row.style);
    }
  }
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
