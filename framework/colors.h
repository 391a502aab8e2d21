#pragma once
// Colours: a control's background and text colours, the cached solid brushes
// that paint them, the answer to a colour request, and the background of
// forms and group boxes.
#include "control.h"
#include "handles.h"

COLORREF ColorToRGB(uint32_t color);
void SetColor(TControl* control, uint32_t color);
// The brush of the control or of the ancestor whose colour it shares.
// The caller never deletes it.
HBRUSH GetBrush(TControl* control);
// Sets up the device context of a colour request with the control's
// colours, and gives the brush to paint its background with.
HBRUSH AnswerColorRequest(TControl* control, HDC dc);

// Forms and group boxes: fills the client area with the background brush on
// WM_ERASEBKGND; never handled, so the default processing still runs.
bool EraseBackgroundHandler(TControl* control, MessageRecord& message, LRESULT& result);
