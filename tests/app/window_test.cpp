// The main window as built at start-up, read back from the windows themselves.
#include <gtest/gtest.h>

#include "app_support.h"
#include "colors.h"
#include "items.h"

namespace {

struct Expected {
  ControlField Field;
  const char* ClassName;
  ControlField Parent;
  const char* Text;
  int Left, Top, Width, Height;
};

using F = MainForm;
const Expected kLayout[] = {
    {&F::DRBox, "obj_BUTTON", &F::Window, "Data Register    (DR)  378", 0, 8, 368, 52},
    {&F::DRDecimal, "obj_STATIC", &F::DRBox, "000", 8, 24, 32, 16},
    {&F::DRHex, "obj_STATIC", &F::DRBox, "00", 48, 24, 25, 16},
    {&F::DRBinary, "obj_STATIC", &F::DRBox, "00000000", 80, 24, 66, 16},
    {&F::Cell2, "obj_STATIC", &F::DRBox, "2", 336, 16, 24, 24},
    {&F::Cell3, "obj_STATIC", &F::DRBox, "3", 312, 16, 24, 24},
    {&F::Cell4, "obj_STATIC", &F::DRBox, "4", 288, 16, 24, 24},
    {&F::Cell5, "obj_STATIC", &F::DRBox, "5", 264, 16, 24, 24},
    {&F::Cell6, "obj_STATIC", &F::DRBox, "6", 239, 16, 24, 24},
    {&F::Cell7, "obj_STATIC", &F::DRBox, "7", 216, 16, 24, 24},
    {&F::Cell8, "obj_STATIC", &F::DRBox, "8", 192, 16, 24, 24},
    {&F::Cell9, "obj_STATIC", &F::DRBox, "9", 168, 16, 24, 24},
    {&F::CRBox, "obj_BUTTON", &F::Window, "Control Register (CR)  37A", 1, 64, 368, 52},
    {&F::CRDecimal, "obj_STATIC", &F::CRBox, "000", 8, 24, 32, 16},
    {&F::CRHex, "obj_STATIC", &F::CRBox, "00", 48, 24, 24, 16},
    {&F::CRBinary, "obj_STATIC", &F::CRBox, "00000000", 80, 24, 65, 16},
    {&F::Cell1, "obj_STATIC", &F::CRBox, "1", 336, 16, 24, 24},
    {&F::Cell14, "obj_STATIC", &F::CRBox, "14", 312, 16, 24, 24},
    {&F::Cell16, "obj_STATIC", &F::CRBox, "16", 288, 16, 24, 24},
    {&F::Cell17, "obj_STATIC", &F::CRBox, "17", 264, 16, 24, 24},
    {&F::CellAckIE, "obj_STATIC", &F::CRBox, "AckIE", 216, 16, 48, 24},
    {&F::CellDirect, "obj_STATIC", &F::CRBox, "Direct", 168, 16, 48, 24},
    {&F::SRBox, "obj_BUTTON", &F::Window, "Status Register  (SR)  379", 1, 120, 368, 52},
    {&F::SRDecimal, "obj_STATIC", &F::SRBox, "000", 8, 24, 32, 16},
    {&F::SRHex, "obj_STATIC", &F::SRBox, "00", 48, 24, 24, 16},
    {&F::SRBinary, "obj_STATIC", &F::SRBox, "00000000", 80, 24, 65, 16},
    {&F::CellPIRQ, "obj_STATIC", &F::SRBox, "PIRQ", 288, 16, 72, 24},
    {&F::Cell15, "obj_STATIC", &F::SRBox, "15", 264, 16, 24, 24},
    {&F::Cell13, "obj_STATIC", &F::SRBox, "13", 240, 16, 24, 24},
    {&F::Cell12, "obj_STATIC", &F::SRBox, "12", 216, 16, 24, 24},
    {&F::Cell10, "obj_STATIC", &F::SRBox, "10", 192, 16, 24, 24},
    {&F::Cell11, "obj_STATIC", &F::SRBox, "11", 168, 16, 24, 24},
    {&F::PortList, "obj_COMBOBOX", &F::Window, "LPT1", 304, 184, 56, 0},  // its own height
};

bool IsCell(ControlField field) {
  for (ControlField cell : kCellFields) {
    if (cell == field) return true;
  }
  return false;
}

TEST(MainWindow, IsBuiltAsLaidOutAndWired) {
  ParallelPortsKey ports;
  ParallelPortsKey::Clear();
  ParallelPortsKey::SetText("\\Device\\Parallel0", "\\Device\\Parallel0");
  BuiltForm form;
  // The window owns the record and the timer; the timer is already running.
  EXPECT_GE(form->Window->Owned->IndexOf(form.form), 0);
  EXPECT_GE(form->Window->Owned->IndexOf(form->PollTimer), 0);
  EXPECT_NE(form->PollTimer->TimerId, 0u);
  EXPECT_EQ(form->PollTimer->Interval, 10);
  form->PollTimer->SetEnabled(false);
  ASSERT_TRUE(form->Window->Realize());

  HWND window = form->Window->Handle;
  RECT frame, client;
  GetWindowRect(window, &frame);
  GetClientRect(window, &client);
  EXPECT_EQ(WindowText(window), "Pinlorn");
  EXPECT_EQ(frame.left, 328);
  EXPECT_EQ(frame.top, 87);
  EXPECT_EQ(client.right, 371);
  EXPECT_EQ(client.bottom, 216);
  EXPECT_EQ(MainWindow, form->Window);

  for (const Expected& row : kLayout) {
    TControl* control = form.form->*row.Field;
    ASSERT_NE(control, nullptr);
    HWND handle = control->Handle;
    SCOPED_TRACE(row.Text);
    ASSERT_TRUE(IsWindowVisible(handle));
    char className[64] = {};
    GetClassNameA(handle, className, sizeof className);
    EXPECT_STREQ(className, row.ClassName);
    EXPECT_EQ(GetParent(handle), (form.form->*row.Parent)->Handle);
    EXPECT_EQ(WindowText(handle), row.Text);
    RECT bounds;
    GetWindowRect(handle, &bounds);
    MapWindowPoints(nullptr, GetParent(handle), reinterpret_cast<POINT*>(&bounds), 2);
    EXPECT_EQ(bounds.left, row.Left);
    EXPECT_EQ(bounds.top, row.Top);
    EXPECT_EQ(bounds.right - bounds.left, row.Width);
    if (row.Height != 0) {
      EXPECT_EQ(bounds.bottom - bounds.top, row.Height);
    }
    EXPECT_GE(GetDlgCtrlID(handle), 32768);

    const LONG style = GetWindowLongA(handle, GWL_STYLE);
    if (IsCell(row.Field)) {
      EXPECT_EQ(style & WS_DLGFRAME, WS_DLGFRAME);
      EXPECT_EQ(style & SS_TYPEMASK, SS_CENTER);
      EXPECT_EQ(control->Color, kColorBtnFace);  // until the first poll
    } else if (std::string(row.ClassName) == "obj_BUTTON") {
      EXPECT_EQ(style & BS_TYPEMASK, BS_GROUPBOX);
      EXPECT_FALSE(control->TabStop);
    }
  }

  TControl* list = form->PortList;
  const LONG listStyle = GetWindowLongA(list->Handle, GWL_STYLE);
  EXPECT_EQ(listStyle & 3, CBS_DROPDOWN);
  EXPECT_TRUE(listStyle & CBS_NOINTEGRALHEIGHT);
  EXPECT_TRUE(listStyle & WS_TABSTOP);
  EXPECT_EQ(list->Color, kColorWindow);
  // Sized with height 0, the port list keeps the height a combo box of its
  // kind gives itself (22 pixels on Windows; Wine's font makes it 24).
  HWND reference = CreateWindowExA(GetWindowLongA(list->Handle, GWL_EXSTYLE), "COMBOBOX", "",
                                   listStyle & ~WS_VISIBLE, 0, 0, 56, 22, window, nullptr, nullptr, nullptr);
  RECT listRect, referenceRect;
  GetWindowRect(list->Handle, &listRect);
  GetWindowRect(reference, &referenceRect);
  EXPECT_EQ(listRect.bottom - listRect.top, referenceRect.bottom - referenceRect.top);
  DestroyWindow(reference);
  EXPECT_EQ(ItemCount(list), 1);

  // The DR and CR cells, and only they, answer a click.
  for (size_t i = 0; i < PinMap.size(); ++i) {
    const NotifyEvent& click = (form.form->*kCellFields[i])->OnClick;
    EXPECT_EQ(click.Assigned(), PinMap[i].ClickFlips) << PinMap[i].Caption;
    if (click.Assigned()) {
      EXPECT_EQ(click.Data, form.form);
    }
  }
  EXPECT_FALSE(list->OnClick.Assigned());
  EXPECT_FALSE(list->OnChange.Assigned());
}

}  // namespace
