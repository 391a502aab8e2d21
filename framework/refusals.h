#pragma once
// What Pinlorn refuses from other programs. Any program on the desktop can
// post or send messages to Pinlorn's windows; the framework's windows and
// the inner windows of its combo box ask here before anything else sees a
// message, and a refused message is answered and goes nowhere. The list,
// with the reason for each, is kRefusals in refusals.cpp. Two lookups that
// believe nothing another program can write stay with the state they read:
// a tick is taken only for a running timer of the timer window (timer.cpp),
// and a window's GWLP_USERDATA only when it names a live control of that
// window (BoundControl, control.cpp).
#include "messages.h"

class TControl;

// Where a message arrived, and the control it concerns.
struct Arrival {
  // A framework window (Control is its own control), or an inner window of
  // a combo box, its edit field or dropped list (Control is the combo box,
  // or null once that is gone).
  bool InnerWindow;
  const TControl* Control;
  const MessageRecord& Message;
};

// Whether the message is refused; `answer` is then what the sender gets.
bool IsRefused(const Arrival& arrival, LRESULT& answer);

// Makes the messages that only the system sends, and never posts, into
// WM_NULL when another program posts them to this thread: creation and
// destruction notices. Idempotent; call before the first window is made.
void FilterPostedForgeries();

// Marks, for as long as it lives, something the program itself is doing,
// which the refusals then let through.
template <class What>
class OwnDoing {
 public:
  OwnDoing() { ++depth_; }
  ~OwnDoing() { --depth_; }
  OwnDoing(const OwnDoing&) = delete;
  OwnDoing& operator=(const OwnDoing&) = delete;
  static bool Active() { return depth_ != 0; }

 private:
  static inline int depth_ = 0;
};

// The program creates a window.
using WindowCreation = OwnDoing<struct CreatingAWindow>;
// The program destroys windows itself (perhaps serving a request that
// another thread sent).
using WindowDestruction = OwnDoing<struct DestroyingWindows>;
// The framework sends a request that it refuses from anyone else.
using OwnRequest = OwnDoing<struct SendingAnOwnRequest>;
