#pragma once
// The GDI and USER handles a control owns: its cached solid brush and its
// window icon. Each is deleted by its owner, at the moment the owner lets
// it go; brushes are counted while they exist, so that tests can tell that
// nothing is left behind.
#include <windows.h>

#include <cstdint>

// A solid brush and the colour it was made from, or none.
class SolidBrush {
 public:
  SolidBrush() = default;
  ~SolidBrush() { Reset(); }
  SolidBrush(const SolidBrush&) = delete;
  SolidBrush& operator=(const SolidBrush&) = delete;

  operator HBRUSH() const { return brush_; }
  // Makes the brush of `rgb`; none when the platform refuses.
  void Make(COLORREF rgb);
  // Deletes the brush, if there is one.
  void Reset();

  // Brushes made and not yet deleted, in the whole process.
  static int32_t LiveCount();

 private:
  HBRUSH brush_ = nullptr;
};

// Marks a control that has no icon, so that none is looked for again.
inline HICON const kNoIcon = reinterpret_cast<HICON>(static_cast<intptr_t>(-1));

// A window icon, none yet (null), or known to be none (kNoIcon).
class WindowIconHandle {
 public:
  WindowIconHandle() = default;
  ~WindowIconHandle() { Reset(); }
  WindowIconHandle(const WindowIconHandle&) = delete;
  WindowIconHandle& operator=(const WindowIconHandle&) = delete;

  operator HICON() const { return icon_; }
  WindowIconHandle& operator=(HICON icon) {
    Reset();
    icon_ = icon;
    return *this;
  }
  // Destroys the icon, if there is one, and forgets it.
  void Reset();

 private:
  HICON icon_ = nullptr;
};
