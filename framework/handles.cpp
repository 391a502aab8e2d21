#include "handles.h"

namespace {
int32_t liveBrushes = 0;
}  // namespace

HBRUSH MakeBrush(COLORREF rgb) {
  const HBRUSH brush = CreateSolidBrush(rgb);
  if (brush != nullptr) ++liveBrushes;
  return brush;
}

void DeleteBrush(HBRUSH brush) {
  DeleteObject(brush);
  --liveBrushes;
}

int32_t LiveBrushCount() { return liveBrushes; }

void DestroyWindowIcon(HICON icon) {
  if (icon != kNoIcon) DestroyIcon(icon);
}
