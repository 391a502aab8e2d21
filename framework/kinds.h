#pragma once
// The control kinds: shared construction steps and the five constructors.
#include "control.h"

// ComboOptions bits.
enum ComboOption : uint32_t {
  kComboDropDownList = 1u << 0,
  kComboNoAutoHScroll = 1u << 1,
  kComboDisableNoScroll = 1u << 2,
  kComboLowerCase = 1u << 3,
  kComboNoIntegralHeight = 1u << 4,
  kComboOemConvert = 1u << 5,
  kComboSort = 1u << 6,
  kComboUpperCase = 1u << 7,
  kComboOwnerDrawFixed = 1u << 8,
  kComboOwnerDrawVariable = 1u << 9,
  kComboSimple = 1u << 10,
};

extern const KindTable StaticKind;
extern const KindTable ButtonKind;
extern const KindTable ComboKind;

TControl* CreateControl(TControl* parent, const char* baseClassName, bool clientEdgeWanted);
TControl* CreateChildControl(TControl* parent, const char* baseClassName, uint32_t style,
                             const KindTable* table, bool clientEdgeWanted);
TControl* CreateForm(TControl* parent, const std::string& caption);
TControl* CreateLabel(TControl* parent, const std::string& text);
TControl* CreateGroupBox(TControl* parent, const std::string& caption);
TControl* CreatePanel(TControl* parent, uint8_t edgeStyle);  // 0 dialog frame, 1 sunken, 2/3 none
TControl* CreateComboBox(TControl* parent, uint32_t comboOptions);

uint32_t ComboStyleFromOptions(uint32_t comboOptions);
bool ComboBoxHandler(TControl* control, MessageRecord& message, LRESULT& result);
// DropDownHook of combo boxes: sizes the dropped list for 1 to 8 items.
void SizeComboList(TControl* combo);
