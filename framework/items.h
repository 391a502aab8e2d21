#pragma once
// Item operations of list-like kinds, each through the kind's KindTable
// entry or its fallback.
#include "control.h"

int32_t ItemCount(TControl* control);
int32_t AddItem(TControl* control, const std::string& text);
void ClearItems(TControl* control);
LRESULT InsertItem(TControl* control, int32_t index, const std::string& text);
void DeleteItem(TControl* control, int32_t index);
void SetItemText(TControl* control, int32_t index, const std::string& text);
int32_t GetItemIndex(TControl* control);
void SetItemIndex(TControl* control, int32_t index);
uint32_t GetItemData(TControl* control, int32_t index);
void SetItemData(TControl* control, int32_t index, uint32_t data);
