#pragma once
// What becomes of a message that another program may have sent. Every
// message that reaches the framework is judged by one table of rules
// (kRules, refusals.cpp, whose comment says what each rule is for and what
// stays outside it) before anything else sees it.
#include <cstdint>

#include "messages.h"

class TControl;

// Where a message arrives.
enum class Where : uint8_t {
  kFrameworkWindow,  // a framework window; the control is its own
  kInnerWindow,      // an inner window of a combo box (its edit field or dropped
                     // list); the control is the combo box, null once that is gone
  kQueue,            // the thread's queue, as any message loop takes a posted
                     // message for any window of the thread; no control
};

struct Arrival {
  Where Place;
  const TControl* Control;
  const MessageRecord& Message;
};

enum class Ruling : uint8_t {
  kTaken,        // the message goes its way
  kRefused,      // answered, and it goes nowhere else
  kNotPassedOn,  // a framework window keeps it from the window it names: it
                 // gets the standard class's handling instead
};

// The ruling of the first rule that applies to the message, or kTaken when
// none does. `answer` is what a refused message's sender gets.
Ruling Judge(const Arrival& arrival, LRESULT& answer);

// Posted messages are judged as the thread's message loops take them from the
// queue, by a hook that the run loop starts when it starts and stops at
// shutdown. Both may be called again.
void StartJudgingTheQueue();
void StopJudgingTheQueue();
