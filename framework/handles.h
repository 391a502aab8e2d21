#pragma once
// The GDI and USER handles a control owns: its cached solid brush and its
// window icon. Each is deleted by its owner, at the moment the owner lets
// it go; brushes are counted while they exist, so that tests can tell that
// nothing is left behind.
#include <windows.h>

#include <cstdint>

// A handle, or none, deleted by `Delete` when it is reset or replaced, or
// when its holder goes.
template <class Handle, void (*Delete)(Handle)>
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(Handle handle) : handle_(handle) {}
  ~OwnedHandle() { Reset(); }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;

  operator Handle() const { return handle_; }
  OwnedHandle& operator=(Handle handle) {
    Reset();
    handle_ = handle;
    return *this;
  }
  void Reset() {
    if (handle_ != nullptr) Delete(handle_);
    handle_ = nullptr;
  }

 private:
  Handle handle_ = nullptr;
};

// A solid brush of `rgb`, counted until DeleteBrush; null when the platform
// refuses.
HBRUSH MakeBrush(COLORREF rgb);
void DeleteBrush(HBRUSH brush);
// Brushes made and not yet deleted, in the whole process.
int32_t LiveBrushCount();
using SolidBrush = OwnedHandle<HBRUSH, DeleteBrush>;

// Marks a control that has no icon, so that none is looked for again.
inline HICON const kNoIcon = reinterpret_cast<HICON>(static_cast<intptr_t>(-1));
// Destroys a window icon; kNoIcon is none.
void DestroyWindowIcon(HICON icon);
// A window icon, none yet (null), or known to be none (kNoIcon).
using WindowIconHandle = OwnedHandle<HICON, DestroyWindowIcon>;
