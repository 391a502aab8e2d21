#pragma once
// Control text, geometry, style and alignment, and repainting. Every setter
// works before the window exists (record only) and after (record and window
// kept in step); the getters read the window when there is one, and change
// nothing. Visibility and the icon are
// the window's (window.h); which controls take the focus, focus.h; the
// focus move of a click, notifications.h.
#include "control.h"
#include "focus.h"
#include "window.h"

void SetText(TControl* control, const std::string& text);
std::string GetText(TControl* control);

RECT GetBounds(TControl* control);
void SetBounds(TControl* control, const RECT& bounds);
void SetLeft(TControl* control, int32_t left);
void SetTop(TControl* control, int32_t top);
void SetWidth(TControl* control, int32_t width);
void SetHeight(TControl* control, int32_t height);
int32_t GetWidth(TControl* control);
int32_t GetHeight(TControl* control);
TControl* SetPosition(TControl* control, int32_t left, int32_t top);
TControl* SetSize(TControl* control, int32_t width, int32_t height);  // <= 0 keeps that side
RECT GetClientArea(TControl* control);
TControl* SetClientSize(TControl* control, int32_t width, int32_t height);

void SetStyle(TControl* control, uint32_t style);
void SetAlignment(TControl* control, uint8_t alignment);  // kAlignLeft, kAlignRight, kAlignCentre

void Invalidate(TControl* control);
