#include "handles.h"

namespace {
int32_t liveBrushes = 0;
}  // namespace

void SolidBrush::Make(COLORREF rgb) {
  Reset();
  brush_ = CreateSolidBrush(rgb);
  if (brush_ != nullptr) ++liveBrushes;
}

void SolidBrush::Reset() {
  if (brush_ == nullptr) return;
  DeleteObject(brush_);
  brush_ = nullptr;
  --liveBrushes;
}

int32_t SolidBrush::LiveCount() { return liveBrushes; }

void WindowIconHandle::Reset() {
  if (icon_ != nullptr && icon_ != kNoIcon) DestroyIcon(icon_);
  icon_ = nullptr;
}
