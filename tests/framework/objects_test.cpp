// Object lifetime: hold counts, owned objects released oldest first, the
// pointer list's growth, and the control record's construction and teardown.
#include <gtest/gtest.h>

#include <vector>

#include "control.h"
#include "framework_fixture.h"
#include "kinds.h"
#include "window.h"

namespace {

using ObjectsTest = FrameworkTest;

// An object that notes its teardown in a shared log, and may release other
// objects from inside its own teardown.
class Probe : public ObjectBase {
 public:
  void Done() override {
    if (log != nullptr) log->push_back(id);
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
  EXPECT_EQ(probe->HoldCount, 0);
  AddRef(probe);
  EXPECT_EQ(Release(probe), nullptr);
  EXPECT_TRUE(log.empty()) << "an extra holder's release must not destroy the object";
  Release(probe);
  EXPECT_EQ(log, std::vector<int>{1});

  EXPECT_EQ(Release(nullptr), nullptr);
  Probe* cleared = NewProbe(2, &log);
  ReleaseAndClear(cleared);
  EXPECT_EQ(cleared, nullptr);
  ReleaseAndClear(cleared);  // null again: nothing happens
  EXPECT_EQ(log, (std::vector<int>{1, 2}));
}

TEST_F(ObjectsTest, OwnedObjectsAreReleasedOldestFirst) {
  std::vector<int> log;
  Probe* owner = NewProbe(0, &log);
  for (int id = 1; id <= 3; ++id) AddOwned(owner, NewProbe(id, &log));
  // Newest pair at the front: [Release, 3, Release, 2, Release, 1].
  ASSERT_NE(owner->Owned, nullptr);
  EXPECT_EQ(owner->Owned->Count, 6);
  EXPECT_EQ(static_cast<Probe*>(owner->Owned->Get(1))->id, 3);
  EXPECT_EQ(owner->Owned->Get(0), owner->Owned->Get(4));
  Release(owner);
  EXPECT_EQ(log, (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(ObjectsTest, RemovingTheLastOwnedObjectDropsTheList) {
  std::vector<int> log;
  Probe* owner = NewProbe(0, &log);
  Probe* a = NewProbe(1, &log);
  Probe* b = NewProbe(2, &log);
  AddOwned(owner, a);
  AddOwned(owner, b);
  RemoveOwned(owner, a);
  ASSERT_NE(owner->Owned, nullptr);
  EXPECT_EQ(owner->Owned->Count, 2);
  RemoveOwned(owner, b);
  EXPECT_EQ(owner->Owned, nullptr);
  RemoveOwned(owner, b);  // nothing owned: nothing happens
  AddOwned(owner, a);
  EXPECT_NE(owner->Owned, nullptr);
  Release(b);
  Release(owner);
  EXPECT_EQ(log, (std::vector<int>{2, 0, 1}));
}

// One owned object releases its siblings while the owner is being torn down:
// each object still goes exactly once.
TEST_F(ObjectsTest, SiblingsReleasedDuringTheOwnersTeardownGoOnce) {
  std::vector<int> log;
  Probe* owner = NewProbe(0, &log);
  Probe* first = NewProbe(1, &log);
  Probe* second = NewProbe(2, &log);
  Probe* third = NewProbe(3, &log);
  AddOwned(owner, first);
  AddOwned(owner, second);
  AddOwned(owner, third);
  // The first (released first) takes the third with it, after taking it out
  // of the owner's list as an object's own teardown would.
  AddRef(third);
  first->releaseOnDone = {third};
  RemoveOwned(owner, third);
  Release(third);
  Release(owner);
  EXPECT_EQ(log, (std::vector<int>{0, 1, 3, 2}));
}

TEST_F(ObjectsTest, PointerListGrowth) {
  struct Row {
    const char* label;
    int32_t delta;
    std::vector<int32_t> capacities;  // capacity after each Add
  } rows[] = {
      {"NewList grows by its delta of 4", 4, {4, 4, 4, 4, 8, 8, 8, 8, 12}},
      {"automatic growth: by 1 below 4 items, then count/4 + 1",
       0, {1, 2, 3, 4, 6, 6, 8, 8, 11, 11, 11, 14}},
  };
  for (const Row& row : rows) {
    PointerList* list = NewList();
    list->Delta = row.delta;
    std::vector<int32_t> seen;
    for (size_t i = 0; i < row.capacities.size(); ++i) {
      list->Add(reinterpret_cast<void*>(i + 1));
      seen.push_back(list->Capacity);
    }
    EXPECT_EQ(seen, row.capacities) << row.label;
    Release(list);
  }

  PointerList* big = NewObject<PointerList>();
  big->SetCapacity(8000);
  for (int i = 0; i < 8000; ++i) big->Add(nullptr);
  big->Add(nullptr);
  EXPECT_EQ(big->Capacity, 9000) << "growth is capped at 1000 entries";
  Release(big);
}

TEST_F(ObjectsTest, PointerListEditing) {
  PointerList* list = NewList();
  auto v = [](intptr_t n) { return reinterpret_cast<void*>(n); };
  auto contents = [&] {
    std::vector<intptr_t> out;
    for (int32_t i = 0; i < list->Count; ++i) out.push_back(reinterpret_cast<intptr_t>(list->Get(i)));
    return out;
  };
  list->Add(v(1));
  list->Add(v(3));
  list->Insert(1, v(2));
  list->Insert(list->Count, v(4));  // at Count: appends
  EXPECT_EQ(contents(), (std::vector<intptr_t>{1, 2, 3, 4}));
  list->Insert(99, v(5));  // past the end: appended, never written out of bounds
  list->Insert(-1, v(0));  // before the start: inserted at the front
  EXPECT_EQ(contents(), (std::vector<intptr_t>{0, 1, 2, 3, 4, 5}));

  EXPECT_EQ(list->IndexOf(v(3)), 3);
  EXPECT_EQ(list->IndexOf(v(9)), -1);
  EXPECT_EQ(list->Get(-1), nullptr);
  EXPECT_EQ(list->Get(list->Count), nullptr);

  list->DeleteRange(4, 10);  // clamped to the tail
  list->DeleteRange(4, 1);   // at Count: nothing
  list->DeleteRange(-1, 2);  // before the start: nothing
  list->DeleteRange(0, 0);
  list->Remove(v(1));
  EXPECT_EQ(contents(), (std::vector<intptr_t>{0, 2, 3}));

  list->SetCapacity(1);  // never below Count
  EXPECT_EQ(list->Capacity, 3);
  list->Clear();
  EXPECT_EQ(list->Items, nullptr);
  EXPECT_EQ(list->Capacity, 0);
  Release(list);
}

TEST_F(ObjectsTest, ControlDefaultsAndParentColour) {
  TControl* form = NewControl(nullptr);
  EXPECT_EQ(form->Style, 0x16CF0000u);
  EXPECT_EQ(form->ExStyle, 0x00010000u);
  EXPECT_EQ(form->ClassStyle, 0x20u);
  EXPECT_EQ(form->Color, 0x8000000Fu);
  EXPECT_EQ(form->TextColor, 0x80000008u);
  EXPECT_EQ(form->Margin, 2);
  EXPECT_TRUE(form->Visible && form->Ctl3D && form->ClientEdge);
  EXPECT_EQ(form->Handle, nullptr);

  form->Color = 0x808000;
  TControl* child = NewControl(form);
  EXPECT_EQ(child->Color, 0x808000u) << "a child takes its parent's colour";
  EXPECT_EQ(child->Parent, form);
  EXPECT_EQ(form->Children->Get(0), child);
  EXPECT_EQ(form->Owned->Get(1), child);

  // Moving the child to another parent moves the ownership with it.
  TControl* other = NewControl(nullptr);
  AttachToParent(child, other);
  EXPECT_EQ(form->Children->Count, 0);
  EXPECT_EQ(form->Owned, nullptr);
  EXPECT_EQ(other->Children->Get(0), child);
  Release(form);
  Release(other);
}

TEST_F(ObjectsTest, ParentFormWalksUpToTheTopLevelControl) {
  TControl* form = CreateForm(nullptr, "form");
  TControl* box = CreateGroupBox(form, "box");
  TControl* label = CreateLabel(box, "label");
  EXPECT_EQ(ParentForm(label), form);
  EXPECT_EQ(ParentForm(box), form);
  EXPECT_EQ(ParentForm(form), form);
  TControl* orphan = CreateLabel(nullptr, "orphan");
  EXPECT_EQ(ParentForm(orphan), nullptr);
  Release(orphan);
  Release(form);
}

// Releasing a form with windows destroys its children's windows first and
// leaves nothing alive; a focused child is forgotten by its form.
TEST_F(ObjectsTest, ReleasingAFormTearsDownItsWindowsAndChildren) {
  TControl* form = CreateForm(nullptr, "teardown");
  TControl* box = CreateGroupBox(form, "box");
  TControl* label = CreateLabel(box, "label");
  ASSERT_NE(GetHandle(form), nullptr);
  const HWND formWindow = form->Handle;
  const HWND labelWindow = label->Handle;
  ASSERT_TRUE(IsWindow(labelWindow));
  form->FocusedControl = label;

  Release(label);
  EXPECT_FALSE(IsWindow(labelWindow));
  EXPECT_EQ(form->FocusedControl, nullptr);
  EXPECT_EQ(box->Children->Count, 0);
  EXPECT_EQ(box->Owned, nullptr);

  Release(form);
  EXPECT_FALSE(IsWindow(formWindow));
}

// A child kept alive by another holder outlives its parent without pointing
// at the freed parent.
TEST_F(ObjectsTest, AHeldChildOutlivesItsParent) {
  TControl* form = CreateForm(nullptr, "parent");
  TControl* label = CreateLabel(form, "held");
  ASSERT_NE(GetHandle(form), nullptr);
  AddRef(label);
  Release(form);
  EXPECT_EQ(label->Parent, nullptr);
  EXPECT_EQ(ParentForm(label), nullptr);
  Release(label);
}

}  // namespace
