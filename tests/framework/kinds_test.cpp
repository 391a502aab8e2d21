// Control kinds: styles, default placement, identifiers, focus candidates,
// and the combo box's own handler (dropped list, keys, deferred selection).
#include <gtest/gtest.h>

#include "framework_fixture.h"
#include "items.h"
#include "kinds.h"
#include "messages.h"
#include "properties.h"
#include "window.h"

namespace {

using KindsTest = FrameworkTest;

struct Counter {
  int calls = 0;
  ObjectBase* sender = nullptr;
  static void Count(void* data, ObjectBase* sender) {
    auto* counter = static_cast<Counter*>(data);
    ++counter->calls;
    counter->sender = sender;
  }
  NotifyEvent Handler() { return NotifyEvent{&Counter::Count, this}; }
};

TEST_F(KindsTest, ChildStylesOfEveryKindUnderAForm) {
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
      {"panel, no frame (2)", CreatePanel(form, 2), 0x5600018C, WS_EX_CONTROLPARENT},
      {"panel, no frame (3)", CreatePanel(form, 3), 0x5600018C, WS_EX_CONTROLPARENT},
      {"panel, edge style past the table", CreatePanel(form, 9), 0x5600018C, WS_EX_CONTROLPARENT},
      {"combo box {4}", CreateComboBox(form, kComboNoIntegralHeight), 0x56210642,
       WS_EX_CONTROLPARENT | WS_EX_CLIENTEDGE},
  };
  ASSERT_NE(GetHandle(form), nullptr);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(row.control->Style, row.style);
    EXPECT_EQ(row.control->ExStyle, row.exStyle);
    ASSERT_NE(row.control->Handle, nullptr);
    // The combo box adjusts its own window styles and draws its edge itself;
    // the platform adds frame bits of its own to the extended styles.
    if (row.control->KindMessages.CountMsg == 0) {
      EXPECT_EQ(static_cast<uint32_t>(GetWindowLongA(row.control->Handle, GWL_STYLE)), row.style);
    }
  }
  EXPECT_EQ(form->ClassStyle & CS_DBLCLKS, static_cast<UINT>(CS_DBLCLKS));
  Release(form);
}

TEST_F(KindsTest, ClientEdgeOnlyWhereTheParentAllowsIt) {
  TControl* form = CreateForm(nullptr, "flat");
  form->Ctl3D = false;
  TControl* combo = CreateComboBox(form, kComboNoIntegralHeight);
  EXPECT_FALSE(combo->ClientEdge);
  EXPECT_EQ(combo->ExStyle, static_cast<uint32_t>(WS_EX_CONTROLPARENT));
  Release(form);
}

TEST_F(KindsTest, ComboOptionsToStyles) {
  struct Row {
    const char* label;
    uint32_t options;
    uint32_t style;
  } rows[] = {
      {"none: drop-down with horizontal scrolling", 0, CBS_DROPDOWN | CBS_AUTOHSCROLL},
      {"no integral height", kComboNoIntegralHeight, 0x442},
      {"drop-down list", kComboDropDownList, CBS_DROPDOWNLIST | CBS_AUTOHSCROLL},
      {"simple without scrolling", kComboSimple | kComboNoAutoHScroll, CBS_SIMPLE},
      {"sorted, upper case", kComboSort | kComboUpperCase,
       CBS_SORT | CBS_UPPERCASE | CBS_AUTOHSCROLL | CBS_DROPDOWN},
      {"unused bits ignored", 0xFFFFF800u, CBS_DROPDOWN | CBS_AUTOHSCROLL},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ComboStyleFromOptions(row.options), row.style);
  }
}

TEST_F(KindsTest, DefaultPlacementSizesAndIdentifiers) {
  TControl* form = CreateForm(nullptr, "placement");
  const uint16_t firstId = NextControlId;
  TControl* label = CreateLabel(form, "first");
  TControl* box = CreateGroupBox(form, "box");
  TControl* cell = CreatePanel(box, 0);
  TControl* other = CreateForm(nullptr, "other form");
  TControl* combo = CreateComboBox(other, 0);

  struct Row {
    const char* label;
    TControl* control;
    RECT bounds;
    int id;
  } rows[] = {
      {"label at the form's margin", label, {2, 2, 66, 24}, firstId},
      {"group box", box, {2, 2, 102, 102}, firstId + 1},
      {"first child of a group box", cell, {4, 24, 104, 124}, firstId + 2},
      {"combo box on another form", combo, {2, 2, 102, 24}, firstId + 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(row.control->Bounds.left, row.bounds.left);
    EXPECT_EQ(row.control->Bounds.top, row.bounds.top);
    EXPECT_EQ(row.control->Bounds.right, row.bounds.right);
    EXPECT_EQ(row.control->Bounds.bottom, row.bounds.bottom);
    EXPECT_EQ(row.control->ControlId, row.id);
  }
  EXPECT_EQ(form->ControlId, 0) << "forms take no child identifier";

  // The real windows land where the records say.
  ASSERT_NE(GetHandle(form), nullptr);
  RECT placed = GetBounds(cell);
  EXPECT_EQ(placed.left, 4);
  EXPECT_EQ(placed.top, 24);
  EXPECT_EQ(GetDlgCtrlID(cell->Handle), firstId + 2);
  Release(form);
  Release(other);
}

TEST_F(KindsTest, FirstTabStopControlBecomesTheFocusedControl) {
  TControl* form = CreateForm(nullptr, "focus");
  CreateLabel(form, "no tab stop");
  TControl* box = CreateGroupBox(form, "box");
  EXPECT_EQ(form->FocusedControl, nullptr);
  TControl* first = CreateComboBox(box, 0);
  CreateComboBox(form, 0);
  EXPECT_EQ(form->FocusedControl, first) << "found through the group box, kept by later ones";
  Release(form);
}

TEST_F(KindsTest, ComboFilledBeforeItsFormIsShown) {
  TControl* form = CreateForm(nullptr, "early");
  TControl* combo = CreateComboBox(form, kComboNoIntegralHeight);
  ClearItems(combo);
  AddItem(combo, "LPT1");
  AddItem(combo, "LPT2");
  AddItem(combo, "LPT3");

  ASSERT_NE(combo->Handle, nullptr);
  ASSERT_NE(form->Handle, nullptr);
  EXPECT_FALSE(IsWindowVisible(form->Handle));
  EXPECT_FALSE(IsWindowVisible(combo->Handle));
  EXPECT_EQ(GetText(combo), "LPT1");

  ASSERT_TRUE(form->Realize());
  EXPECT_TRUE(IsWindowVisible(form->Handle));
  EXPECT_TRUE(IsWindowVisible(combo->Handle));
  EXPECT_FALSE(form->ShowPending);
  EXPECT_FALSE(combo->ShowPending);
  EXPECT_EQ(ItemCount(combo), 3);
  Release(form);
}

// A shown form with a combo box of `items` entries, first one selected.
struct ShownCombo {
  TControl* form;
  TControl* combo;
  explicit ShownCombo(int items) {
    form = CreateForm(nullptr, "combo");
    SetPosition(form, 40, 40);
    combo = CreateComboBox(form, kComboNoIntegralHeight);
    for (int i = 0; i < items; ++i) AddItem(combo, "item " + std::to_string(i));
    form->Realize();
    DrainMessages();
  }
  ~ShownCombo() {
    if (combo->Handle != nullptr) SendMessageA(combo->Handle, CB_SHOWDROPDOWN, FALSE, 0);
    Release(form);
  }
  HWND Edit() const { return GetWindow(combo->Handle, GW_CHILD); }
  bool Dropped() const { return SendMessageA(combo->Handle, CB_GETDROPPEDSTATE, 0, 0) != 0; }
};

TEST_F(KindsTest, DroppedListIsSizedForOneToEightItems) {
  struct Row {
    const char* label;
    int items;
    int shown;
  } rows[] = {{"empty list", 0, 1}, {"three items", 3, 3}, {"twenty items", 20, 8}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    ShownCombo c(row.items);
    Counter dropped;
    c.combo->OnDropDown = dropped.Handler();
    const int closedHeight = GetHeight(c.combo);
    SendMessageA(c.combo->Handle, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_TRUE(c.Dropped());
    EXPECT_TRUE(c.combo->DroppedDown);
    EXPECT_EQ(dropped.calls, 1);
    EXPECT_EQ(dropped.sender, c.combo);
    EXPECT_EQ(GetHeight(c.combo), closedHeight) << "the closed box keeps its size";
    // The combo's window was made (shown + 1) closed heights + 2 tall; the
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
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    ShownCombo c(3);
    Counter closed;
    c.combo->OnCloseUp = closed.Handler();
    SendMessageA(c.combo->Handle, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(c.Dropped());
    EXPECT_EQ(c.combo->SelectionAtDropDown, 0);
    SendMessageA(c.combo->Handle, CB_SETCURSEL, 2, 0);
    EXPECT_EQ(SendMessageA(c.Edit(), WM_CHAR, row.key, 0), 0);
    EXPECT_FALSE(c.Dropped());
    EXPECT_FALSE(c.combo->DroppedDown);
    EXPECT_EQ(closed.calls, 1);
    EXPECT_EQ(GetItemIndex(c.combo), row.selectedAfter);
  }
}

TEST_F(KindsTest, SelectionChangeIsAnnouncedThroughTheQueue) {
  ShownCombo c(3);
  Counter selected;
  Counter changed;
  c.combo->OnSelect = selected.Handler();
  c.combo->OnChange = changed.Handler();
  const WPARAM selChange = MAKEWPARAM(c.combo->ControlId, CBN_SELCHANGE);
  SendMessageA(c.form->Handle, WM_COMMAND, selChange, reinterpret_cast<LPARAM>(c.combo->Handle));
  EXPECT_EQ(selected.calls, 0) << "deferred until the queue is drained";
  DrainMessages();
  EXPECT_EQ(selected.calls, 1);
  EXPECT_EQ(selected.sender, c.combo);
  EXPECT_EQ(changed.calls, 0);

  // Without OnSelect the deferred change raises OnChange.
  c.combo->OnSelect = NotifyEvent{};
  SendMessageA(c.form->Handle, WM_COMMAND, selChange, reinterpret_cast<LPARAM>(c.combo->Handle));
  DrainMessages();
  EXPECT_EQ(changed.calls, 1);

  // A combo that is not showing ignores the notification.
  SetVisible(c.form, false);
  SendMessageA(c.form->Handle, WM_COMMAND, selChange, reinterpret_cast<LPARAM>(c.combo->Handle));
  DrainMessages();
  EXPECT_EQ(selected.calls, 1);
  EXPECT_EQ(changed.calls, 1);
}

TEST_F(KindsTest, InnerWindowsAskTheComboForTheirColours) {
  ShownCombo c(1);
  SetColor(c.combo, 0x808000);
  HDC dc = GetDC(c.Edit());
  const LRESULT brush = SendMessageA(c.combo->Handle, WM_CTLCOLOREDIT,
                                     reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(c.Edit()));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), GetBrush(c.combo));
  EXPECT_EQ(GetBkColor(dc), static_cast<COLORREF>(0x808000));
  ReleaseDC(c.Edit(), dc);
}

}  // namespace
