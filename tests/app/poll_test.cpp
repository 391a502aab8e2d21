// The register poll: what it reads, in which order it shows it, and that
// unchanged colours cost no repainting.
#include <gtest/gtest.h>

#include "app_support.h"
#include "constants.h"
#include "dispatch.h"
#include "display.h"
#include "message_recorder.h"
#include "poll.h"
#include "virtual_port.h"

namespace {

// A label's text arriving: when, by the port log, and whether any cell had
// been recoloured yet.
struct TextArrival {
  HWND Window;
  uint32_t Sequence;
  uint32_t FirstCellColour;
};

class Poll : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Labels and cells record: the framework finds their class registered.
    ASSERT_TRUE(MessageRecorder::RegisterRecordingClass("obj_STATIC", "STATIC", FrameworkWindowProc));
  }
  void SetUp() override {
    vport.Reset();
    form->PollTimer->SetEnabled(false);
    ASSERT_TRUE(form->Window->Realize());
    PortState.BaseAddress = kLpt1Base;
    recorder.OnRecord = [this](const RecordedMessage& m) {
      if (m.Msg == WM_SETTEXT) arrivals.push_back({m.Window, vport.NextSequence(), form->Cell2->Color});
    };
  }
  void Paint() { RedrawWindow(form->Window->Handle, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }
  std::vector<std::string> LabelTexts() {
    std::vector<std::string> texts;
    for (ControlField field : kValueLabelFields) texts.push_back(TextOf((form.form->*field)->Handle));
    return texts;
  }

  VirtualPort vport;
  BuiltForm form;
  MessageRecorder recorder;
  std::vector<TextArrival> arrivals;
};

TEST_F(Poll, ReadsThreeRegistersThenSetsTextsThenColours) {
  vport.Write(kDR, 0xA5);
  vport.Write(kCR, 0x04);  // CR bits 6 and 7 read as 1
  const uint32_t start = vport.NextSequence();
  PollRegisters(form.form, form->PollTimer);

  const std::vector<AccessRecord> log = vport.LogSince(start);
  ASSERT_EQ(log.size(), 3u);
  const uint16_t order[] = {kDR, kCR, kSR};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(log[i].Port, order[i]);
    EXPECT_EQ(log[i].Kind, AccessKind::Read);
  }
  EXPECT_EQ(PortState.LastDR, 0xA5);
  EXPECT_EQ(PortState.LastCR, 0xC4);
  EXPECT_EQ(PortState.LastSR, 0x7F);

  ASSERT_EQ(arrivals.size(), 9u);
  for (size_t i = 0; i < arrivals.size(); ++i) {
    EXPECT_EQ(arrivals[i].Window, (form.form->*kValueLabelFields[i])->Handle) << i;
    EXPECT_EQ(arrivals[i].Sequence, start + 3) << "text set before all three reads";
    EXPECT_EQ(arrivals[i].FirstCellColour, kColorBtnFace) << "cell coloured before the texts";
  }
  const std::vector<std::string> texts = {"165", "196", "127", "A5", "C4", "7F",
                                          "10100101", "11000100", "01111111"};
  EXPECT_EQ(LabelTexts(), texts);

  // Lit: DR 2, 4, 7, 9; CR 1, 14, 17 (inverted, 0) and 16; every SR cell.
  const bool lit[20] = {1, 0, 1, 0, 0, 1, 0, 1, 1, 1, 1, 1, 0, 0, 1, 1, 1, 1, 1, 1};
  for (size_t i = 0; i < PinMap.size(); ++i) {
    EXPECT_EQ((form.form->*kCells[i].Field)->Color, lit[i] ? kLitColour : kUnlitColour)
        << PinMap[i].Caption;
  }
}

TEST_F(Poll, ResendsTextsButRepaintsOnlyChangedCells) {
  PollRegisters(form.form, form->PollTimer);
  Paint();
  arrivals.clear();
  PollRegisters(form.form, form->PollTimer);
  EXPECT_EQ(arrivals.size(), 9u);
  for (const CellRow& cell : kCells) {
    EXPECT_FALSE(GetUpdateRect((form.form->*cell.Field)->Handle, nullptr, FALSE));
  }

  vport.Write(kDR, 0x01);
  Paint();
  PollRegisters(form.form, form->PollTimer);
  for (size_t i = 0; i < PinMap.size(); ++i) {
    EXPECT_EQ(GetUpdateRect((form.form->*kCells[i].Field)->Handle, nullptr, FALSE) != FALSE, i == 0)
        << PinMap[i].Caption;
  }
}

}  // namespace
