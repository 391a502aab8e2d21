#pragma once
// Object base of the window framework: hold counts, owned objects released
// with their owner (oldest first), the growable pointer list and the
// callback pair that carries every event.
#include <cstdint>
#include <utility>

class PointerList;

// Root of every framework type; only Init exists at this level.
class ObjectRoot {
 public:
  virtual void Init() {}

 protected:
  virtual ~ObjectRoot() = default;
};

// An object with one holder at HoldCount 0; Release below zero runs Done.
class ObjectBase : public ObjectRoot {
 public:
  // Tears the object down (releases what it owns) and frees its memory.
  virtual void Done();

  int32_t HoldCount = 0;
  PointerList* Owned = nullptr;

  // Number of framework objects alive in this process (for leak checks).
  static int32_t LiveCount();

 protected:
  ObjectBase();
  ~ObjectBase() override;
};

// Makes an object: zero-filled (value-initialised) memory, then Init.
template <class T>
T* NewObject() {
  T* object = new T();
  object->Init();
  return object;
}

PointerList* NewList();  // a PointerList with Delta 4

void AddRef(ObjectBase* object);
// Drops one holder; the object is destroyed when the count goes below zero.
// Null is accepted and ignored. Always returns null.
ObjectBase* Release(ObjectBase* object);

template <class T>
void ReleaseAndClear(T*& variable) {
  ObjectBase* object = variable;
  variable = nullptr;
  Release(object);
}

// One hold on an object: taken when the holder is given the object, let go
// when the holder is reset or destroyed. An object whose teardown has begun
// is not held again: the holder then holds nothing.
template <class T>
class Held {
 public:
  Held() = default;
  explicit Held(T* object) { Reset(object); }
  ~Held() { Reset(); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

  // Holds `object` (a hold more on it) instead of what was held before.
  void Reset(T* object = nullptr) {
    if (object != nullptr && object->HoldCount < 0) object = nullptr;
    AddRef(object);
    Release(std::exchange(object_, object));
  }
  // Becomes the one holder of an object just made: its maker's hold.
  void Adopt(T* made) { Release(std::exchange(object_, made)); }

  operator T*() const { return object_; }
  T* operator->() const { return object_; }

 private:
  T* object_ = nullptr;
};

void AddOwned(ObjectBase* owner, ObjectBase* object);
void RemoveOwned(ObjectBase* owner, ObjectBase* object);
void FreeOwned(ObjectBase* owner);

// Growable array of pointer-sized values.
class PointerList : public ObjectBase {
 public:
  void Done() override;

  void** Items = nullptr;
  int32_t Count = 0;
  int32_t Capacity = 0;
  int32_t Delta = 0;  // growth step; 0 or less grows automatically

  // The most entries a list can hold: its array's size in bytes must fit a
  // signed 32-bit count. Growing past it throws std::bad_alloc.
  static constexpr int32_t kMaxCapacity = INT32_MAX / sizeof(void*);

  void Add(void* value);
  void Insert(int32_t index, void* value);
  void Delete(int32_t index);
  void DeleteRange(int32_t index, int32_t n);
  void Remove(void* value);
  int32_t IndexOf(void* value) const;
  void* Get(int32_t index) const;
  void SetCapacity(int32_t n);
  void Clear();
};

// Lists the framework keeps only while they hold something: made by the first
// AddToList and released when DeleteFromList takes the last entry out, so
// that they count as live objects exactly while they are in use.
void AddToList(PointerList*& list, void* value);
void DeleteFromList(PointerList*& list, int32_t index, int32_t n = 1);
int32_t IndexInList(const PointerList* list, void* value);  // -1 when absent or no list

// Callback pair (Code, Data), called as Code(Data, sender, args...).
// Unassigned while Code is null; invoking an unassigned handler does nothing.
template <typename... Args>
struct EventHandler {
  using CodeType = void (*)(void* data, ObjectBase* sender, Args... args);
  CodeType Code = nullptr;
  void* Data = nullptr;

  bool Assigned() const { return Code != nullptr; }
  void operator()(ObjectBase* sender, Args... args) const {
    if (Code != nullptr) Code(Data, sender, args...);
  }
};

using NotifyEvent = EventHandler<>;
using CloseQueryEvent = EventHandler<bool&>;  // CanClose, true on entry
