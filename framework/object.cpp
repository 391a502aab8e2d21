#include "object.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

int32_t liveObjects = 0;

// The release routine stored in front of every owned object.
using ReleaseRoutine = ObjectBase* (*)(ObjectBase*);

void* AsEntry(ReleaseRoutine routine) { return reinterpret_cast<void*>(routine); }
ReleaseRoutine AsRoutine(void* entry) { return reinterpret_cast<ReleaseRoutine>(entry); }

}  // namespace

ObjectBase::ObjectBase() { ++liveObjects; }

ObjectBase::~ObjectBase() { --liveObjects; }

int32_t ObjectBase::LiveCount() { return liveObjects; }

void ObjectBase::Done() {
  FreeOwned(this);
  delete this;
}

PointerList* NewList() {
  PointerList* list = NewObject<PointerList>();
  list->Delta = 4;
  return list;
}

void AddRef(ObjectBase* object) {
  if (object != nullptr) ++object->HoldCount;
}

ObjectBase* Release(ObjectBase* object) {
  if (object == nullptr) return nullptr;
  if (--object->HoldCount < 0) object->Done();
  return nullptr;
}

void AddOwned(ObjectBase* owner, ObjectBase* object) {
  if (owner->Owned == nullptr) owner->Owned = NewList();
  owner->Owned->Insert(0, object);
  owner->Owned->Insert(0, AsEntry(&Release));
}

void RemoveOwned(ObjectBase* owner, ObjectBase* object) {
  PointerList* owned = owner->Owned;
  if (owned == nullptr) return;
  const int32_t index = owned->IndexOf(object);
  if (index >= 0) owned->DeleteRange(index & ~1, 2);
  if (owned->Count == 0) ReleaseAndClear(owner->Owned);
}

void FreeOwned(ObjectBase* owner) {
  // The list is looked up afresh on every round: releasing one object may
  // remove others from it (or drop the list) through RemoveOwned.
  while (owner->Owned != nullptr && owner->Owned->Count > 0) {
    PointerList* owned = owner->Owned;
    if (owned->Count < 2) {
      owned->Clear();
      break;
    }
    ReleaseRoutine routine = AsRoutine(owned->Items[owned->Count - 2]);
    auto* object = static_cast<ObjectBase*>(owned->Items[owned->Count - 1]);
    owned->DeleteRange(owned->Count - 2, 2);
    routine(object);
  }
  ReleaseAndClear(owner->Owned);
}

void PointerList::Done() {
  Clear();
  ObjectBase::Done();
}

void PointerList::Add(void* value) {
  if (Capacity <= Count) {
    // Any Delta is a valid step: the sum is taken wide and capped, so that a
    // large one cannot wrap round to a capacity that does not grow.
    const int64_t step = Delta > 0 ? Delta : std::min<int32_t>(1000, Count / 4 + 1);
    if (Count >= kMaxCapacity) throw std::bad_alloc();
    SetCapacity(static_cast<int32_t>(std::min<int64_t>(Count + step, kMaxCapacity)));
  }
  Items[Count] = value;
  ++Count;
}

void PointerList::Insert(int32_t index, void* value) {
  Add(nullptr);
  // An index outside the list would write past its end: such values insert
  // at the nearest end instead.
  index = std::clamp(index, 0, Count - 1);
  if (index < Count - 1) {
    std::memmove(Items + index + 1, Items + index, sizeof(void*) * (Count - 1 - index));
  }
  Items[index] = value;
}

void PointerList::Delete(int32_t index) { DeleteRange(index, 1); }

void PointerList::DeleteRange(int32_t index, int32_t n) {
  if (n <= 0 || index < 0 || index >= Count) return;
  n = std::min(n, Count - index);
  std::memmove(Items + index, Items + index + n, sizeof(void*) * (Count - index - n));
  Count -= n;
}

void PointerList::Remove(void* value) {
  const int32_t index = IndexOf(value);
  if (index >= 0) Delete(index);
}

int32_t PointerList::IndexOf(void* value) const {
  for (int32_t i = 0; i < Count; ++i) {
    if (Items[i] == value) return i;
  }
  return -1;
}

void* PointerList::Get(int32_t index) const {
  if (index < 0 || index >= Count) return nullptr;
  return Items[index];
}

void PointerList::SetCapacity(int32_t n) {
  n = std::max(n, Count);
  if (n == Capacity) return;
  if (n > kMaxCapacity) throw std::bad_alloc();  // its size in bytes would not fit
  if (n == 0) {
    std::free(Items);
    Items = nullptr;
  } else {
    void* grown = std::realloc(Items, sizeof(void*) * n);
    if (grown == nullptr) throw std::bad_alloc();
    Items = static_cast<void**>(grown);
  }
  Capacity = n;
}

void PointerList::Clear() {
  std::free(Items);
  Items = nullptr;
  Count = 0;
  Capacity = 0;
}

void AddToList(PointerList*& list, void* value) {
  if (list == nullptr) list = NewList();
  list->Add(value);
}

void DeleteFromList(PointerList*& list, int32_t index, int32_t n) {
  if (list == nullptr) return;
  list->DeleteRange(index, n);
  if (list->Count == 0) ReleaseAndClear(list);
}

int32_t IndexInList(const PointerList* list, void* value) {
  return list != nullptr ? list->IndexOf(value) : -1;
}
