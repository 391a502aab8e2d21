// The window as it appears on screen: caption, place, size, and every control
// where the layout puts it, with its class, text and id.
#include <gtest/gtest.h>

#include "other_windows.h"
#include "pinlorn.h"
#include "window_text.h"

namespace {

struct Row {
  const char* Label;
  const char* ClassName;
  int ParentRow;  // 0: the main window
  const char* Text;
  int Left, Top, Width, Height;
};

// The window's composition, one row per control in creation order, with the
// texts as they read once the port list is filled (LPT1 at 0x378). Value
// labels are left out of the text check: the poll rewrites them.
constexpr Row kLayout[] = {
    {"DRBox", "obj_BUTTON", 0, "Data Register    (DR)  378", 0, 8, 368, 52},
    {"DRDecimal", "obj_STATIC", 1, nullptr, 8, 24, 32, 16},
    {"DRHex", "obj_STATIC", 1, nullptr, 48, 24, 25, 16},
    {"DRBinary", "obj_STATIC", 1, nullptr, 80, 24, 66, 16},
    {"Cell2", "obj_STATIC", 1, "2", 336, 16, 24, 24},
    {"Cell3", "obj_STATIC", 1, "3", 312, 16, 24, 24},
    {"Cell4", "obj_STATIC", 1, "4", 288, 16, 24, 24},
    {"Cell5", "obj_STATIC", 1, "5", 264, 16, 24, 24},
    {"Cell6", "obj_STATIC", 1, "6", 239, 16, 24, 24},
    {"Cell7", "obj_STATIC", 1, "7", 216, 16, 24, 24},
    {"Cell8", "obj_STATIC", 1, "8", 192, 16, 24, 24},
    {"Cell9", "obj_STATIC", 1, "9", 168, 16, 24, 24},
    {"CRBox", "obj_BUTTON", 0, "Control Register (CR)  37A", 1, 64, 368, 52},
    {"CRDecimal", "obj_STATIC", 13, nullptr, 8, 24, 32, 16},
    {"CRHex", "obj_STATIC", 13, nullptr, 48, 24, 24, 16},
    {"CRBinary", "obj_STATIC", 13, nullptr, 80, 24, 65, 16},
    {"Cell1", "obj_STATIC", 13, "1", 336, 16, 24, 24},
    {"Cell14", "obj_STATIC", 13, "14", 312, 16, 24, 24},
    {"Cell16", "obj_STATIC", 13, "16", 288, 16, 24, 24},
    {"Cell17", "obj_STATIC", 13, "17", 264, 16, 24, 24},
    {"CellAckIE", "obj_STATIC", 13, "AckIE", 216, 16, 48, 24},
    {"CellDirect", "obj_STATIC", 13, "Direct", 168, 16, 48, 24},
    {"SRBox", "obj_BUTTON", 0, "Status Register  (SR)  379", 1, 120, 368, 52},
    {"SRDecimal", "obj_STATIC", 23, nullptr, 8, 24, 32, 16},
    {"SRHex", "obj_STATIC", 23, nullptr, 48, 24, 24, 16},
    {"SRBinary", "obj_STATIC", 23, nullptr, 80, 24, 65, 16},
    {"CellPIRQ", "obj_STATIC", 23, "PIRQ", 288, 16, 72, 24},
    {"Cell15", "obj_STATIC", 23, "15", 264, 16, 24, 24},
    {"Cell13", "obj_STATIC", 23, "13", 240, 16, 24, 24},
    {"Cell12", "obj_STATIC", 23, "12", 216, 16, 24, 24},
    {"Cell10", "obj_STATIC", 23, "10", 192, 16, 24, 24},
    {"Cell11", "obj_STATIC", 23, "11", 168, 16, 24, 24},
    {"PortList", "obj_COMBOBOX", 0, "LPT1", 304, 184, 56, 0},
};

class WindowTest : public RunningPinlornTest {};

// The height the platform gives a drop-down combo box of the port list's
// styles, in its default font, when asked for the framework's default 22.
int DefaultComboHeight() {
  HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                nullptr, nullptr);
  HWND combo = CreateWindowExA(WS_EX_CONTROLPARENT | WS_EX_CLIENTEDGE, "COMBOBOX", "",
                               0x56210642, 0, 0, 56, 22, parent, nullptr, nullptr, nullptr);
  RECT rect{};
  GetWindowRect(combo, &rect);
  DestroyWindow(parent);
  return rect.bottom - rect.top;
}

TEST_F(WindowTest, CaptionPlaceAndClientSize) {
  HWND window = program->Window();
  EXPECT_EQ(TextOf(window), "Pinlorn");
  EXPECT_EQ(ClassOf(window), "obj_Form");
  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.left, 328);
  EXPECT_EQ(outer.top, 87);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 371);
  EXPECT_EQ(client.bottom, 216);
  EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION);
  EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(WindowTest, EveryControlWhereTheLayoutPutsIt) {
  int row = 0;
  for (const Row& expected : kLayout) {
    ++row;
    SCOPED_TRACE(expected.Label);
    // Ids follow creation order, so the row's id finds the row's control.
    HWND control = program->ControlById(kFirstControlId + row - 1);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(ClassOf(control), expected.ClassName);
    HWND parent = expected.ParentRow ? program->ControlById(kFirstControlId + expected.ParentRow - 1)
                                     : program->Window();
    EXPECT_EQ(GetParent(control), parent);
    const RECT place = PlaceInParent(control);
    EXPECT_EQ(place.left, expected.Left);
    EXPECT_EQ(place.top, expected.Top);
    EXPECT_EQ(place.right, expected.Width);
    // The port list is sized with height 0, which keeps the combo box's own height.
    EXPECT_EQ(place.bottom, expected.Height ? expected.Height : DefaultComboHeight());
    if (expected.Text) {
      EXPECT_EQ(TextOf(control), expected.Text);
    }
    EXPECT_TRUE(IsWindowVisible(control));
  }
  // Nothing beyond the table: 33 controls in all.
  EXPECT_EQ(program->ControlById(kFirstControlId + 33), nullptr);
}

TEST_F(WindowTest, CellsAreFramedAndCentredWhileLabelsAreNot) {
  for (const char* caption : {"2", "9", "1", "Direct", "PIRQ", "11"}) {
    SCOPED_TRACE(caption);
    HWND cell = program->Cell(caption);
    ASSERT_NE(cell, nullptr);
    const LONG style = GetWindowLongA(cell, GWL_STYLE);
    EXPECT_TRUE(style & WS_DLGFRAME);
    EXPECT_EQ(style & SS_TYPEMASK, SS_CENTER);
  }
  const LONG labelStyle = GetWindowLongA(program->Label("DR", "Binary"), GWL_STYLE);
  EXPECT_FALSE(labelStyle & WS_DLGFRAME);
  EXPECT_EQ(labelStyle & SS_TYPEMASK, SS_LEFTNOWORDWRAP);
}

TEST_F(WindowTest, PortListIsAnEditableDropDownHoldingTheOnePort) {
  HWND list = program->PortList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(GetWindowLongA(list, GWL_STYLE) & 3, CBS_DROPDOWN);
  DWORD_PTR count = 0;
  SendMessageTimeoutA(list, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &count);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(TextOf(list), "LPT1");
}

}  // namespace
