#pragma once
// What becomes of a message that another program may have sent: one table of
// rules judges it first (kRules, refusals.cpp, says what stays outside it).
#include "messages.h"

class TControl;

// Where a message arrives, and the control it concerns.
enum class Where {
  kFrameworkWindow,  // the window's own control
  kInnerWindow,      // the combo box (null once gone) of its edit field or dropped list
  kQueue,            // posted, to any window of the thread; no control
};

struct Arrival {
  Where Place;
  const TControl* Control;
  const MessageRecord& Message;
};

enum class Ruling {
  kTaken,        // the message goes its way
  kRefused,      // answered, and it goes nowhere else
  kNotPassedOn,  // a framework window keeps it from the window it names: it
                 // gets the standard class's handling instead
};

// The ruling of the first rule that applies to the message, or kTaken when
// none does. `answer` is what a refused message's sender gets.
Ruling Judge(const Arrival& arrival, LRESULT& answer);

// The hook that judges posted messages as any message loop takes them:
// started by the run loop, stopped at shutdown; either may be called again.
void StartJudgingTheQueue();
void StopJudgingTheQueue();
