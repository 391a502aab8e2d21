// Control properties: windows made on demand, the window moves geometry
// setters make, client size, text and the window icon.
#include <gtest/gtest.h>

#include <vector>

#include "framework_fixture.h"
#include "kinds.h"
#include "message_recorder.h"
#include "properties.h"
#include "window.h"
#include "application.h"
#include "dispatch.h"
#include "focus.h"

namespace {

class PropertiesTest : public FrameworkTest {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(MessageRecorder::RegisterRecordingClass("obj_Form", nullptr, FrameworkWindowProc));
    ASSERT_TRUE(MessageRecorder::RegisterRecordingClass("obj_STATIC", "STATIC", FrameworkWindowProc));
  }
};

using E = ExpectedMessage;

TEST_F(PropertiesTest, WindowMadeEarlyIsHiddenUntilTheFormIsRealized) {
  TControl* form = CreateForm(nullptr, "early");
  TControl* label = CreateLabel(form, "label");
  SendToControl(label, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("filled early"));
  ASSERT_NE(form->Handle, nullptr) << "the parent is made with the child";
  EXPECT_FALSE(IsWindowVisible(form->Handle));
  EXPECT_EQ(GetWindowLongA(label->Handle, GWL_STYLE) & WS_VISIBLE, 0);

  MessageRecorder recorder;
  ASSERT_TRUE(form->Realize());
  EXPECT_TRUE(IsWindowVisible(label->Handle));
  EXPECT_FALSE(form->ShowPending || label->ShowPending);
  std::vector<HWND> shown;
  for (const RecordedMessage& m : recorder.Only(nullptr, WM_SHOWWINDOW)) shown.push_back(m.Window);
  EXPECT_EQ(shown, (std::vector<HWND>{label->Handle, form->Handle})) << "children first, then the form";
  Release(form);
}

TEST_F(PropertiesTest, GeometrySettersMoveTheWindowWithExactFlags) {
  TControl* form = CreateForm(nullptr, "geometry");
  TControl* label = CreateLabel(form, "label");  // at (2, 2), 64 x 22
  ASSERT_NE(GetHandle(form), nullptr);
  struct Row {
    const char* label;
    void (*change)(TControl*);
    std::vector<UINT> flags;  // of each WM_WINDOWPOSCHANGING
    RECT after;
  } rows[] = {
      {"SetPosition: two moves", [](TControl* c) { SetPosition(c, 10, 20); }, {0x15, 0x15}, {10, 20, 74, 42}},
      {"SetPosition, left unchanged: one move", [](TControl* c) { SetPosition(c, 10, 30); }, {0x15}, {10, 30, 74, 52}},
      {"SetSize of the width only", [](TControl* c) { SetSize(c, 56, 0); }, {0x16}, {10, 30, 66, 52}},
      {"SetSize(0, 0): nothing", [](TControl* c) { SetSize(c, 0, 0); }, {}, {10, 30, 66, 52}},
      {"SetBounds moving and resizing", [](TControl* c) { SetBounds(c, RECT{1, 1, 41, 31}); }, {0x14}, {1, 1, 41, 31}},
      {"SetAlignment refreshes the frame", [](TControl* c) { SetAlignment(c, 2); }, {0x37}, {1, 1, 41, 31}},
  };
  for (const Row& row : rows) {
    MessageRecorder recorder;
    row.change(label);
    std::vector<E> expected;
    for (UINT flags : row.flags) expected.push_back({WM_WINDOWPOSCHANGING, E::kPosFlags, 0, 0, flags});
    EXPECT_SEQUENCE(recorder.Only(label->Handle, WM_WINDOWPOSCHANGING), expected, row.label);
    const RECT bounds = GetBounds(label);
    EXPECT_TRUE(EqualRect(&bounds, &row.after)) << row.label;
  }
  EXPECT_EQ(label->Style & 0xFF, 0x81u) << "centred: SS_CENTER replaces the no-wrap bits";
  Release(form);
}

TEST_F(PropertiesTest, ClientSizeIsExact) {
  TControl* form = CreateForm(nullptr, "client");
  TControl* box = CreateGroupBox(form, "box");
  SetClientSize(form, 371, 216);
  ASSERT_NE(form->Handle, nullptr) << "setting the client size makes the window";
  RECT client;
  GetClientRect(form->Handle, &client);
  EXPECT_EQ(client.right, 371);
  EXPECT_EQ(client.bottom, 216);
  EXPECT_GT(GetWidth(form), 371) << "the frame comes on top";
  SetClientSize(box, 50, 40);  // the group box's insets come off its client area
  const RECT area = GetClientArea(box);
  EXPECT_EQ(area.right - area.left, 50);
  EXPECT_EQ(area.bottom - area.top, 40);
  Release(form);
}

TEST_F(PropertiesTest, Text) {
  TControl* form = CreateForm(nullptr, "text");
  TControl* label = CreateLabel(form, "before");
  SetText(label, "stored");
  ASSERT_NE(GetHandle(form), nullptr);
  char shown[16] = {};
  GetWindowTextA(label->Handle, shown, sizeof shown);
  EXPECT_STREQ(shown, "stored") << "the window is made with the stored text";

  MessageRecorder recorder;
  SetText(label, "");
  SetText(label, "");
  const auto sets = recorder.Only(label->Handle, WM_SETTEXT);
  ASSERT_EQ(sets.size(), 2u) << "every call sends";
  EXPECT_TRUE(sets[0].HasText) << "an empty text is an empty string, not null";
  SetWindowTextA(label->Handle, "typed");
  EXPECT_EQ(GetText(label), "typed") << "the window's text wins";
  Release(form);
}

HICON BigIcon(TControl* form) {
  return reinterpret_cast<HICON>(SendMessageA(form->Handle, WM_GETICON, ICON_BIG, 0));
}

TEST_F(PropertiesTest, WindowIcon) {
  TControl* plain = CreateForm(nullptr, "no MAINICON in this program");
  TControl* marked = CreateForm(nullptr, "marked as having none");
  marked->Icon = kNoIcon;
  for (TControl* form : {plain, marked}) {
    ASSERT_NE(GetHandle(form), nullptr);
    EXPECT_EQ(BigIcon(form), nullptr) << form->Text;
    EXPECT_EQ(form->Icon, kNoIcon) << form->Text << ": remembered";
  }
  BYTE andMask[128] = {}, xorMask[128];
  FillMemory(xorMask, sizeof xorMask, 0xFF);
  plain->Icon = CreateIcon(GetModuleHandleA(nullptr), 32, 32, 1, 1, andMask, xorMask);
  MainWindow = plain;
  TControl* other = CreateForm(nullptr, "other");
  ASSERT_NE(GetHandle(other), nullptr);
  EXPECT_NE(other->Icon, kNoIcon);
  EXPECT_NE(other->Icon, plain->Icon) << "a copy of its own, destroyed with it";
  EXPECT_EQ(BigIcon(other), other->Icon);
  Release(other);
  Release(marked);
  Release(plain);
}

// A form other than the main window that takes the focus is remembered by
// the main window, and forgotten when it goes.
TEST_F(PropertiesTest, MainWindowRemembersTheActiveForm) {
  TControl* main = CreateForm(nullptr, "main");
  TControl* dialog = CreateForm(nullptr, "dialog");
  ASSERT_NE(GetHandle(dialog), nullptr);
  MainWindow = main;
  MessageRecord message{dialog->Handle, WM_SETFOCUS, 0, 0};
  LRESULT result = 0;
  EXPECT_FALSE(FormFocusHandler(dialog, message, result)) << "no focused control of its own";
  EXPECT_EQ(main->FocusedControl, dialog);
  Release(dialog);
  EXPECT_EQ(main->FocusedControl, nullptr);
  Release(main);
}

}  // namespace
