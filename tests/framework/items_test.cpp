// Item operations on a real combo box, and the fallbacks of kinds without
// item messages.
#include <gtest/gtest.h>

#include <string>

#include "framework_fixture.h"
#include "items.h"
#include "kinds.h"
#include "properties.h"
#include "window.h"
#include "combobox.h"

namespace {

using ItemsTest = FrameworkTest;

std::string ItemText(TControl* combo, int index) {
  char buffer[64] = {};
  SendMessageA(combo->Handle, CB_GETLBTEXT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

TEST_F(ItemsTest, ComboItems) {
  TControl* form = CreateForm(nullptr, "items");
  TControl* combo = CreateComboBox(form, 0);
  AddItem(combo, "stale");
  ClearItems(combo);
  EXPECT_EQ(ItemCount(combo), 0);

  EXPECT_EQ(AddItem(combo, "a"), 0);
  EXPECT_EQ(GetItemIndex(combo), 0) << "the first item of an empty list is selected";
  SetItemIndex(combo, -1);
  EXPECT_EQ(AddItem(combo, "b"), 1);
  EXPECT_EQ(AddItem(combo, ""), 2);
  EXPECT_EQ(GetItemIndex(combo), -1) << "a non-empty list keeps its selection";

  SetItemData(combo, 1, 0x378);
  SetItemIndex(combo, 2);
  SetItemText(combo, 1, "B");
  ASSERT_EQ(ItemCount(combo), 3);
  EXPECT_EQ(ItemText(combo, 0), "a");
  EXPECT_EQ(ItemText(combo, 1), "B");
  EXPECT_EQ(ItemText(combo, 2), "");
  EXPECT_EQ(GetItemData(combo, 1), 0x378u);
  EXPECT_EQ(GetItemIndex(combo), 2);
  EXPECT_EQ(InsertItem(combo, 99, "nowhere"), CB_ERR) << "the platform's reply is passed on";
  Release(form);
}

TEST_F(ItemsTest, SetItemTextOnAnEmptyCombo) {
  TControl* form = CreateForm(nullptr, "items");
  TControl* combo = CreateComboBox(form, 0);
  SetItemText(combo, 0, "only");
  ASSERT_EQ(ItemCount(combo), 1);
  EXPECT_EQ(ItemText(combo, 0), "only");
  EXPECT_EQ(GetItemIndex(combo), -1) << "the remembered no-selection is restored";
  EXPECT_EQ(GetItemData(combo, 0), 0xFFFFFFFFu) << "the failed data read is stored";
  SetItemIndex(combo, 0);
  EXPECT_EQ(GetItemIndex(combo), 0);
  Release(form);
}

TEST_F(ItemsTest, KindsWithoutItemMessagesFallBack) {
  TControl* form = CreateForm(nullptr, "items");
  TControl* label = CreateLabel(form, "pin");
  // None of these needs the window, so none is made.
  EXPECT_EQ(ItemCount(label), 0);
  EXPECT_EQ(InsertItem(label, 0, "x"), -1);
  EXPECT_EQ(GetItemData(label, 0), 0u);
  DeleteItem(label, 0);
  SetItemText(label, 0, "ignored");
  SetItemIndex(label, 5);
  EXPECT_EQ(GetItemIndex(label), 5);
  EXPECT_EQ(label->Handle, nullptr);

  // Adding appends to the text and clearing empties it, window or not.
  EXPECT_EQ(AddItem(label, " 2"), 0);
  EXPECT_EQ(GetText(label), "pin 2");
  TControl* box = CreateGroupBox(form, "");
  ASSERT_NE(GetHandle(form), nullptr);
  AddItem(box, "DR");
  EXPECT_EQ(GetWindowTextLengthA(box->Handle), 2);
  ClearItems(box);
  ClearItems(label);
  EXPECT_EQ(GetWindowTextLengthA(box->Handle), 0);
  EXPECT_EQ(GetText(label), "");
  Release(form);
}

}  // namespace
