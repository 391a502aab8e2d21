#pragma once
// Test base for framework tests: starts every test from a clean application
// state and checks at the end that every object and brush it made is gone.
#include <gtest/gtest.h>

#include "colors.h"
#include "object.h"
#include "pump.h"
#include "state.h"

class FrameworkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainWindow = nullptr;
    Running = false;
    Terminated = false;
    liveObjects_ = ObjectBase::LiveCount();
    liveBrushes_ = LiveBrushCount();
  }

  void TearDown() override {
    DrainMessages();
    MainWindow = nullptr;
    Running = false;
    Terminated = false;
    EXPECT_EQ(ObjectBase::LiveCount(), liveObjects_) << "framework objects left alive";
    EXPECT_EQ(LiveBrushCount(), liveBrushes_) << "brushes left undeleted";
  }

 private:
  int32_t liveObjects_ = 0;
  int32_t liveBrushes_ = 0;
};
