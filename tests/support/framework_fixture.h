#pragma once
// Test base for framework tests: starts every test from a clean application
// state and checks at the end that every object and brush it made is gone;
// and the small windows the tests build.
#include <gtest/gtest.h>

#include <vector>

#include "application.h"
#include "colors.h"
#include "kinds.h"
#include "object.h"
#include "pump.h"
#include "refusals.h"
#include "window.h"

class FrameworkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainWindow = nullptr;
    Running = false;
    Terminated = false;
    StartJudgingTheQueue();  // as the run loop does
    liveObjects_ = ObjectBase::LiveCount();
    liveBrushes_ = LiveBrushCount();
  }

  void TearDown() override {
    DrainMessages();
    MainWindow = nullptr;
    Running = false;
    Terminated = false;
    StopJudgingTheQueue();
    EXPECT_EQ(ObjectBase::LiveCount(), liveObjects_) << "framework objects left alive";
    EXPECT_EQ(LiveBrushCount(), liveBrushes_) << "brushes left undeleted";
  }

 private:
  int32_t liveObjects_ = 0;
  int32_t liveBrushes_ = 0;
};

// Counts the calls of an event and remembers the last sender.
struct EventCounter {
  int calls = 0;
  ObjectBase* sender = nullptr;
  static void Count(void* data, ObjectBase* sender) {
    auto* counter = static_cast<EventCounter*>(data);
    ++counter->calls;
    counter->sender = sender;
  }
  NotifyEvent Handler() { return NotifyEvent{&EventCounter::Count, this}; }
};

// A form with a group box holding one framed cell, as the port monitor's
// bit cells are. Its windows are made hidden (hiding a shown window is slow
// under Wine); Show shows them.
struct CellForm {
  TControl* form = CreateForm(nullptr, "cells");
  TControl* box = CreateGroupBox(form, "DR");
  TControl* cell = CreatePanel(box, 0);
  CellForm() { GetHandle(form); }
  ~CellForm() { Release(form); }
  CellForm(const CellForm&) = delete;
  CellForm& operator=(const CellForm&) = delete;
  void Show() {
    form->Realize();
    DrainMessages();
  }
};

// An event handler that appends each sender to the std::vector<ObjectBase*>
// its data points to.
inline void RecordSender(void* data, ObjectBase* sender) {
  static_cast<std::vector<ObjectBase*>*>(data)->push_back(sender);
}
