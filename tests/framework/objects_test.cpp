// Object lifetime: hold counts, owned objects released oldest first, the
// pointer list's growth, and controls torn down with their windows.
#include <gtest/gtest.h>

#include <new>
#include <vector>

#include "framework_fixture.h"
#include "kinds.h"
#include "window.h"
#include "combobox.h"

namespace {

using ObjectsTest = FrameworkTest;

// Notes its teardown in a log; may release other objects from inside it.
class Probe : public ObjectBase {
 public:
  void Done() override {
    log->push_back(id);
    for (ObjectBase* other : releaseOnDone) Release(other);
    ObjectBase::Done();
  }
  int id = 0;
  std::vector<int>* log = nullptr;
  std::vector<ObjectBase*> releaseOnDone;
};

Probe* NewProbe(int id, std::vector<int>* log) {
  Probe* probe = NewObject<Probe>();
  probe->id = id;
  probe->log = log;
  return probe;
}

TEST_F(ObjectsTest, HoldCountDecidesWhenAnObjectGoes) {
  std::vector<int> log;
  Probe* probe = NewProbe(1, &log);
  AddRef(probe);
  EXPECT_EQ(Release(probe), nullptr);
  EXPECT_TRUE(log.empty()) << "an extra holder's release keeps the object";
  ReleaseAndClear(probe);
  EXPECT_EQ(probe, nullptr);
  EXPECT_EQ(log, std::vector<int>{1});
  ReleaseAndClear(probe);  // null: nothing happens
  EXPECT_EQ(Release(nullptr), nullptr);
}

TEST_F(ObjectsTest, OwnedObjectsAreReleasedOldestFirst) {
  std::vector<int> log;
  Probe* owner = NewProbe(0, &log);
  Probe* probes[5];
  for (int id = 1; id <= 5; ++id) AddOwned(owner, probes[id - 1] = NewProbe(id, &log));
  // 1 takes 3 with it, as a control's teardown takes itself off its owner's
  // list; 5 is removed from the owner and released by the test.
  AddRef(probes[2]);
  probes[0]->releaseOnDone = {probes[2]};
  RemoveOwned(owner, probes[2]);
  Release(probes[2]);
  RemoveOwned(owner, probes[4]);
  Release(probes[4]);
  Release(owner);
  EXPECT_EQ(log, (std::vector<int>{5, 0, 1, 3, 2, 4}));

  // The owner drops its one hold on each object: one held elsewhere too
  // outlives it.
  log.clear();
  Probe* keeper = NewProbe(8, &log);
  Probe* kept = NewProbe(9, &log);
  AddOwned(keeper, kept);
  AddRef(kept);
  Release(keeper);
  EXPECT_EQ(log, std::vector<int>{8});
  Release(kept);
  EXPECT_EQ(log, (std::vector<int>{8, 9}));

  Probe* single = NewProbe(6, &log);
  Probe* item = NewProbe(7, &log);
  AddOwned(single, item);
  RemoveOwned(single, item);
  EXPECT_EQ(single->Owned, nullptr) << "removing the last owned object drops the list";
  Release(item);
  Release(single);
}

TEST_F(ObjectsTest, PointerListGrowthAndBounds) {
  struct Row {
    const char* label;
    int32_t delta;
    std::vector<int32_t> capacities;  // after each Add
  } rows[] = {
      {"NewList grows by its delta of 4", 4, {4, 4, 4, 4, 8, 8, 8, 8, 12}},
      {"automatic: by 1 below 4 items, then count/4 + 1", 0, {1, 2, 3, 4, 6, 6, 8, 8, 11, 11, 11, 14}},
  };
  for (const Row& row : rows) {
    PointerList* list = NewList();
    list->Delta = row.delta;
    std::vector<int32_t> seen;
    for (size_t i = 0; i < row.capacities.size(); ++i) {
      list->Add(nullptr);
      seen.push_back(list->Capacity);
    }
    EXPECT_EQ(seen, row.capacities) << row.label;
    Release(list);
  }
  PointerList* list = NewObject<PointerList>();
  list->SetCapacity(8000);
  for (int i = 0; i <= 8000; ++i) list->Add(reinterpret_cast<void*>(i + 1));
  EXPECT_EQ(list->Capacity, 9000) << "growth is capped at 1000 entries";
  list->DeleteRange(3, 9000);  // clamped to the tail
  list->DeleteRange(-1, 2);    // outside the list: nothing
  list->Insert(99, reinterpret_cast<void*>(9));  // past the end: appended
  list->Insert(-5, reinterpret_cast<void*>(8));  // before the start: at the front
  std::vector<intptr_t> contents;
  for (int32_t i = 0; i <= list->Count; ++i) contents.push_back(reinterpret_cast<intptr_t>(list->Get(i)));
  EXPECT_EQ(contents, (std::vector<intptr_t>{8, 1, 2, 3, 9, 0}));
  Release(list);
}

// A step or a capacity too large for memory is refused, never wrapped round
// to a list that does not grow.
TEST_F(ObjectsTest, PointerListRefusesGrowthBeyondMemory) {
  PointerList* list = NewList();
  for (int i = 0; i < 4; ++i) list->Add(nullptr);
  list->Delta = INT32_MAX;
  // The widest step asks for an array of gigabytes, which a process may or
  // may not get: the item is added to a list with room for it, or refused
  // with the list as it was.
  void* const item = list;
  bool added = false;
  try {
    list->Add(item);
    added = true;
  } catch (const std::bad_alloc&) {
  }
  const int32_t count = list->Count, capacity = list->Capacity;
  EXPECT_EQ(count, added ? 5 : 4);
  EXPECT_GE(capacity, count);
  EXPECT_EQ(list->Get(4), added ? item : nullptr);
  EXPECT_THROW(list->SetCapacity(0x40000001), std::bad_alloc);
  EXPECT_EQ(list->Count, count);
  EXPECT_EQ(list->Capacity, capacity);
  Release(list);
}

// Releasing a control takes its window and its children; a child still held
// elsewhere outlives its parent without pointing at it; a form forgets a
// focused child that goes.
TEST_F(ObjectsTest, ControlsGoWithTheirWindows) {
  TControl* form = CreateForm(nullptr, "teardown");
  form->Color = 0x808000;
  TControl* box = CreateGroupBox(form, "box");
  EXPECT_EQ(box->Color, 0x808000u) << "a child takes its parent's colour";
  TControl* label = CreateLabel(box, "label");
  TControl* held = CreateLabel(box, "held");
  ASSERT_NE(GetHandle(form), nullptr);
  const HWND formWindow = form->Handle;
  const HWND labelWindow = label->Handle;
  form->FocusedControl = label;

  Release(label);
  EXPECT_FALSE(IsWindow(labelWindow));
  EXPECT_EQ(form->FocusedControl, nullptr);
  EXPECT_EQ(box->Children->Count, 1);

  AddRef(held);
  Release(form);
  EXPECT_FALSE(IsWindow(formWindow));
  EXPECT_EQ(held->Parent, nullptr);
  EXPECT_EQ(ParentForm(held), nullptr);
  Release(held);
}

// A control moved to another form leaves the old form's focus: the old form
// must not hand the focus to it, least of all once its new owner freed it.
TEST_F(ObjectsTest, MovedControlLeavesTheOldFormsFocus) {
  TControl* first = CreateForm(nullptr, "first");
  TControl* box = CreateGroupBox(first, "box");
  TControl* combo = CreateComboBox(box, 0);
  TControl* second = CreateForm(nullptr, "second");
  ASSERT_EQ(first->FocusedControl, combo) << "the form's first tab stop";
  AttachToParent(box, second);
  EXPECT_EQ(first->FocusedControl, nullptr);
  Release(second);
  ASSERT_NE(GetHandle(first), nullptr);
  SendMessageA(first->Handle, WM_SETFOCUS, 0, 0);
  Release(first);
}

// A control that someone holds outlives its window when the system destroys
// it: it keeps no handle another window could inherit, and gets no new one.
TEST_F(ObjectsTest, HeldControlForgetsItsDestroyedWindow) {
  TControl* form = CreateForm(nullptr, "held");
  TControl* label = CreateLabel(form, "label");
  ASSERT_NE(GetHandle(form), nullptr);
  AddRef(label);
  DestroyWindow(label->Handle);
  EXPECT_EQ(label->Handle, nullptr);
  EXPECT_EQ(GetHandle(label), nullptr);
  Release(label);
  Release(form);
}

}  // namespace
