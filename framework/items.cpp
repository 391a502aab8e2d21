#include "items.h"

#include "own_actions.h"
#include "properties.h"
#include "window.h"

namespace {

// Items travel to the platform as zero-terminated text; an empty string is
// an empty text, never a null pointer.
LPARAM TextParam(const std::string& text) { return reinterpret_cast<LPARAM>(text.c_str()); }

}  // namespace

int32_t ItemCount(TControl* control) {
  const UINT msg = control->KindMessages.CountMsg;
  if (msg == 0) return 0;
  return static_cast<int32_t>(SendToControl(control, msg, 0, 0));
}

int32_t AddItem(TControl* control, const std::string& text) {
  const KindTable& kind = control->KindMessages;
  if (kind.AddItemMsg != 0) {
    const auto index =
        static_cast<int32_t>(SendOwnRequest(GetHandle(control), kind.AddItemMsg, 0, TextParam(text)));
    // The first item added to an empty list becomes the current one.
    if (ItemCount(control) == 1 && kind.SetIndexMsg != 0) {
      SendToControl(control, kind.SetIndexMsg, 0, 0);
    }
    return index;
  }
  if (kind.AddItemProc != nullptr) {
    kind.AddItemProc(control, text);
    return 0;
  }
  SetText(control, GetText(control) + text);
  return 0;
}

void ClearItems(TControl* control) {
  if (control->KindMessages.ClearProc != nullptr) {
    control->KindMessages.ClearProc(control);
  } else {
    SetText(control, std::string());
  }
}

LRESULT InsertItem(TControl* control, int32_t index, const std::string& text) {
  const UINT msg = control->KindMessages.InsertItemMsg;
  if (msg == 0) return -1;
  return SendOwnRequest(GetHandle(control), msg, static_cast<WPARAM>(index), TextParam(text));
}

void DeleteItem(TControl* control, int32_t index) {
  const UINT msg = control->KindMessages.DeleteItemMsg;
  if (msg == 0) return;
  SendOwnRequest(GetHandle(control), msg, static_cast<WPARAM>(index), 0);
}

void SetItemText(TControl* control, int32_t index, const std::string& text) {
  if (control->KindMessages.DeleteItemMsg == 0) return;
  // Replaced by delete and insert, keeping the selection and the item's data.
  const int32_t current = GetItemIndex(control);
  const uint32_t data = GetItemData(control, index);
  DeleteItem(control, index);
  InsertItem(control, index, text);
  SetItemIndex(control, current);
  SetItemData(control, index, data);
}

int32_t GetItemIndex(TControl* control) {
  const UINT msg = control->KindMessages.GetIndexMsg;
  if (msg == 0) return control->ItemIndex;
  return static_cast<int32_t>(SendToControl(control, msg, 0, 0));
}

void SetItemIndex(TControl* control, int32_t index) {
  const UINT msg = control->KindMessages.SetIndexMsg;
  if (msg != 0) {
    SendToControl(control, msg, static_cast<WPARAM>(index), 0);
    return;
  }
  control->ItemIndex = index;
  Invalidate(control);
}

uint32_t GetItemData(TControl* control, int32_t index) {
  const UINT msg = control->KindMessages.GetItemDataMsg;
  if (msg == 0) return 0;
  return static_cast<uint32_t>(SendToControl(control, msg, static_cast<WPARAM>(index), 0));
}

void SetItemData(TControl* control, int32_t index, uint32_t data) {
  const UINT msg = control->KindMessages.SetItemDataMsg;
  if (msg != 0) {
    SendToControl(control, msg, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
  }
}
