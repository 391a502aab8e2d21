#pragma once
// Colours, cached solid brushes, the child-control handler (colour requests,
// command notifications, focus recording) and background erasing.
#include "control.h"

COLORREF ColorToRGB(uint32_t color);
void SetColor(TControl* control, uint32_t color);
// The brush of the control or of the ancestor whose colour it shares.
// The caller never deletes it.
HBRUSH GetBrush(TControl* control);
void Click(TControl* control);

bool ChildControlHandler(TControl* control, MessageRecord& message, LRESULT& result);
bool EraseBackgroundHandler(TControl* control, MessageRecord& message, LRESULT& result);

// Brushes the framework has made and not yet deleted (for leak checks).
int32_t LiveBrushCount();
// Deletes a brush the framework made, keeping LiveBrushCount in step.
void DeleteControlBrush(TControl* control);
