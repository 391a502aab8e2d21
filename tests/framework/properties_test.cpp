// Control properties: creation on demand, the window moves that geometry
// setters make, client size, text, alignment and the window icon.
#include <gtest/gtest.h>

#include <vector>

#include "framework_fixture.h"
#include "kinds.h"
#include "message_recorder.h"
#include "properties.h"
#include "window.h"

namespace {

class PropertiesTest : public FrameworkTest {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(MessageRecorder::RegisterRecordingClass("obj_Form", nullptr, FrameworkWindowProc));
    ASSERT_TRUE(MessageRecorder::RegisterRecordingClass("obj_STATIC", "STATIC", FrameworkWindowProc));
  }
};

using E = ExpectedMessage;

std::vector<RecordedMessage> PositionChanges(const MessageRecorder& recorder, HWND window) {
  return recorder.Only(window, WM_WINDOWPOSCHANGING);
}

TEST_F(PropertiesTest, WindowMadeEarlyIsHiddenUntilTheFormIsRealized) {
  TControl* form = CreateForm(nullptr, "early");
  TControl* label = CreateLabel(form, "label");
  SendToControl(label, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("filled early"));
  ASSERT_NE(form->Handle, nullptr) << "the parent is created with the child";
  EXPECT_FALSE(IsWindowVisible(form->Handle));
  EXPECT_EQ(GetWindowLongA(label->Handle, GWL_STYLE) & WS_VISIBLE, 0);
  EXPECT_TRUE(form->ShowPending && label->ShowPending);

  MessageRecorder recorder;
  ASSERT_TRUE(form->Realize());
  EXPECT_TRUE(IsWindowVisible(form->Handle));
  EXPECT_TRUE(IsWindowVisible(label->Handle));
  EXPECT_FALSE(form->ShowPending || label->ShowPending);
  EXPECT_TRUE(form->Visible && label->Visible);
  std::vector<RecordedMessage> shows;
  for (const RecordedMessage& m : recorder.Messages()) {
    if (m.Msg == WM_SHOWWINDOW && m.WParam) shows.push_back(m);
  }
  ASSERT_EQ(shows.size(), 2u);
  EXPECT_EQ(shows[0].Window, label->Handle) << "children are shown before their form";
  EXPECT_EQ(shows[1].Window, form->Handle);
  Release(form);
}

TEST_F(PropertiesTest, GeometrySettersMoveTheWindowWithExactFlags) {
  TControl* form = CreateForm(nullptr, "geometry");
  TControl* label = CreateLabel(form, "label");  // at (2, 2), 64 x 22
  ASSERT_NE(GetHandle(form), nullptr);
  const HWND window = label->Handle;

  struct Row {
    const char* label;
    void (*change)(TControl*);
    std::vector<UINT> flags;  // of each WM_WINDOWPOSCHANGING
    RECT after;
  } rows[] = {
      {"SetPosition: two moves", [](TControl* c) { SetPosition(c, 10, 20); },
       {0x15, 0x15}, {10, 20, 74, 42}},
      {"SetPosition with the left unchanged: one move", [](TControl* c) { SetPosition(c, 10, 30); },
       {0x15}, {10, 30, 74, 52}},
      {"SetSize of the width only: one resize", [](TControl* c) { SetSize(c, 56, 0); },
       {0x16}, {10, 30, 66, 52}},
      {"SetSize(0, 0): nothing", [](TControl* c) { SetSize(c, 0, 0); }, {}, {10, 30, 66, 52}},
      {"SetBounds moving and resizing", [](TControl* c) { SetBounds(c, RECT{1, 1, 41, 31}); },
       {0x14}, {1, 1, 41, 31}},
      {"SetBounds unchanged: nothing", [](TControl* c) { SetBounds(c, RECT{1, 1, 41, 31}); },
       {}, {1, 1, 41, 31}},
      {"SetAlignment refreshes the frame", [](TControl* c) { SetAlignment(c, 2); },
       {0x37}, {1, 1, 41, 31}},
  };
  for (const Row& row : rows) {
    MessageRecorder recorder;
    row.change(label);
    std::vector<E> expected;
    for (UINT flags : row.flags) expected.push_back({WM_WINDOWPOSCHANGING, E::kPosFlags, 0, 0, flags});
    EXPECT_SEQUENCE(PositionChanges(recorder, window), expected, row.label);
    const RECT bounds = GetBounds(label);
    EXPECT_TRUE(EqualRect(&bounds, &row.after))
        << row.label << ": " << bounds.left << "," << bounds.top << "," << bounds.right << ","
        << bounds.bottom;
  }
  EXPECT_EQ(label->PositionSet, 3);
  Release(form);
}

TEST_F(PropertiesTest, AlignmentChangesTheKindsStyleBits) {
  struct Row {
    const char* label;
    uint8_t alignment;
    uint32_t staticStyle;  // a label starts as 0x5600018C
    uint32_t buttonStyle;  // a group box starts as 0x56000007
  } rows[] = {
      {"left", 0, 0x56000180, 0x56000107},
      {"right", 1, 0x56000182, 0x56000207},
      {"centre", 2, 0x56000181, 0x56000307},
      {"not an alignment: unchanged", 7, 0x5600018C, 0x56000007},
  };
  for (const Row& row : rows) {
    TControl* form = CreateForm(nullptr, "alignment");
    TControl* label = CreateLabel(form, "label");
    TControl* box = CreateGroupBox(form, "box");
    SetAlignment(label, row.alignment);
    SetAlignment(box, row.alignment);
    EXPECT_EQ(label->Style, row.staticStyle) << row.label;
    EXPECT_EQ(box->Style, row.buttonStyle) << row.label;
    EXPECT_EQ(form->Handle, nullptr) << row.label << ": no window is made for it";
    Release(form);
  }
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
  EXPECT_GT(GetWidth(form), 371) << "the frame is added on top";

  SetClientSize(box, 50, 40);  // less the group box's insets
  const RECT area = GetClientArea(box);
  EXPECT_EQ(area.right - area.left, 50);
  EXPECT_EQ(area.bottom - area.top, 40);
  Release(form);
}

int textChanges = 0;
void CountTextChange(TControl*) { ++textChanges; }

TEST_F(PropertiesTest, Text) {
  TControl* form = CreateForm(nullptr, "text");
  TControl* label = CreateLabel(form, "before");
  label->TextChangedProc = CountTextChange;
  textChanges = 0;
  SetText(label, "stored");
  EXPECT_EQ(GetText(label), "stored");
  ASSERT_NE(GetHandle(form), nullptr);
  char shown[32] = {};
  GetWindowTextA(label->Handle, shown, sizeof shown);
  EXPECT_STREQ(shown, "stored") << "the window is made with the stored text";

  MessageRecorder recorder;
  SetText(label, "");
  SetText(label, "");
  const auto sets = recorder.Only(label->Handle, WM_SETTEXT);
  ASSERT_EQ(sets.size(), 2u) << "every call sends, unchanged or not";
  EXPECT_TRUE(sets[0].HasText) << "an empty text is sent as an empty string, not null";
  EXPECT_EQ(sets[0].Text, "");
  EXPECT_EQ(textChanges, 3);

  SetWindowTextA(label->Handle, "typed");
  EXPECT_EQ(GetText(label), "typed") << "the window's text wins";
  SetWindowTextA(label->Handle, "");
  EXPECT_EQ(GetText(label), "");
  Release(form);
}

HICON MakeIcon() {
  BYTE andMask[32 * 4];
  BYTE xorMask[32 * 4];
  FillMemory(andMask, sizeof andMask, 0x00);
  FillMemory(xorMask, sizeof xorMask, 0xFF);
  return CreateIcon(GetModuleHandleA(nullptr), 32, 32, 1, 1, andMask, xorMask);
}

HICON BigIcon(TControl* form) {
  return reinterpret_cast<HICON>(SendMessageA(form->Handle, WM_GETICON, ICON_BIG, 0));
}

TEST_F(PropertiesTest, WindowIcon) {
  {
    SCOPED_TRACE("this program has no MAINICON: no icon, and that is remembered");
    TControl* form = CreateForm(nullptr, "no icon");
    ASSERT_NE(GetHandle(form), nullptr);
    EXPECT_EQ(BigIcon(form), nullptr);
    EXPECT_EQ(form->Icon, kNoIcon);
    EXPECT_EQ(WindowIcon(form), nullptr);
    Release(form);
  }
  {
    SCOPED_TRACE("other top-level windows get a copy of the main window's icon");
    TControl* main = CreateForm(nullptr, "main");
    main->Icon = MakeIcon();
    ASSERT_NE(main->Icon, nullptr);
    MainWindow = main;
    TControl* other = CreateForm(nullptr, "other");
    ASSERT_NE(GetHandle(other), nullptr);
    EXPECT_NE(other->Icon, nullptr);
    EXPECT_NE(other->Icon, kNoIcon);
    EXPECT_NE(other->Icon, main->Icon) << "a copy of its own, destroyed with it";
    EXPECT_EQ(BigIcon(other), other->Icon);
    Release(other);
    Release(main);
  }
  {
    SCOPED_TRACE("a form marked as having no icon gets none");
    TControl* form = CreateForm(nullptr, "marked");
    form->Icon = kNoIcon;
    ASSERT_NE(GetHandle(form), nullptr);
    EXPECT_EQ(BigIcon(form), nullptr);
    Release(form);
  }
}

TEST_F(PropertiesTest, VisibilityAndEnabledStateWithoutWindow) {
  TControl* form = CreateForm(nullptr, "state");
  TControl* label = CreateLabel(form, "label");
  SetVisible(label, false);
  EXPECT_FALSE(IsVisible(label));
  EXPECT_EQ(label->Style & WS_VISIBLE, 0u);
  EXPECT_TRUE(IsEnabled(label));
  SetStyle(label, label->Style | WS_DISABLED);
  EXPECT_FALSE(IsEnabled(label));
  ASSERT_NE(GetHandle(form), nullptr);
  EXPECT_FALSE(IsWindowVisible(label->Handle));
  EXPECT_FALSE(IsWindowEnabled(label->Handle));
  Release(form);
}

// A form other than the main window that gets the focus becomes the main
// window's FocusedControl; without a FocusedControl of its own it does not
// claim the message.
TEST_F(PropertiesTest, FormFocusHandlerRemembersTheActiveForm) {
  TControl* main = CreateForm(nullptr, "main");
  TControl* dialog = CreateForm(nullptr, "dialog");
  ASSERT_NE(GetHandle(dialog), nullptr);
  MainWindow = main;
  MessageRecord message{dialog->Handle, WM_SETFOCUS, 0, 0};
  LRESULT result = 0;
  EXPECT_FALSE(FormFocusHandler(dialog, message, result));
  EXPECT_EQ(main->FocusedControl, dialog);
  Release(dialog);
  EXPECT_EQ(main->FocusedControl, nullptr) << "a released form is forgotten";
  Release(main);
}

}  // namespace
