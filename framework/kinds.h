#pragma once
// The control kinds: the two shared construction steps and the constructors
// of forms, labels, group boxes and framed panels, with the kind tables of
// statics and buttons. (Combo boxes: combobox.h.)
#include "control.h"

extern const KindTable StaticKind;
extern const KindTable ButtonKind;

// The next child control's window identifier; the first is 32768.
extern uint16_t NextControlId;

TControl* CreateControl(TControl* parent, const char* baseClassName, bool clientEdgeWanted);
TControl* CreateChildControl(TControl* parent, const char* baseClassName, uint32_t style,
                             const KindTable* table, bool clientEdgeWanted);
TControl* CreateForm(TControl* parent, const std::string& caption);
TControl* CreateLabel(TControl* parent, const std::string& text);
TControl* CreateGroupBox(TControl* parent, const std::string& caption);
TControl* CreatePanel(TControl* parent, uint8_t edgeStyle);  // 0 dialog frame, 1 sunken, 2/3 none

// Gives a freshly constructed child its kind's default size at its default place.
void SetDefaultSize(TControl* control, int32_t width, int32_t height);
