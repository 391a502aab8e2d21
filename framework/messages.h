#pragma once
// One window message as the framework passes it, the framework's private
// messages, and the decoding of message parameters into typed values. This
// is the one place where a parameter is split into words or taken for a
// handle: handlers read the names below.
#include <windows.h>

#include "private_messages.h"

// One window message as the framework passes it; handlers may change WParam.
struct MessageRecord {
  HWND Window;
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};

// Notification code of a combo box's deferred selection change.
constexpr WORD DeferredSelectCode = 15;

// The key messages that the keyboard rule looks at: WM_KEYFIRST up to 0x108,
// the WM_KEYLAST of the systems that came before WM_UNICHAR.
constexpr UINT kLastRuledKeyMessage = WM_UNICHAR - 1;

inline bool IsRuledKeyMessage(UINT msg) { return msg >= WM_KEYFIRST && msg <= kLastRuledKeyMessage; }
inline bool IsColorRequest(UINT msg) { return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC; }
inline bool IsReflectedColorRequest(UINT msg) {
  return msg >= ReflectedColorBase + WM_CTLCOLORMSGBOX && msg <= ReflectedColorBase + WM_CTLCOLORSTATIC;
}

// WM_COMMAND, and the ReflectedCommand that passes it on: the notification
// code and the window of the control that sent it.
struct CommandMessage {
  WORD Code;
  HWND Sender;
};
inline CommandMessage AsCommand(const MessageRecord& message) {
  return {HIWORD(message.WParam), reinterpret_cast<HWND>(message.LParam)};
}
// The wParam of a command notification with this code and no control id.
inline WPARAM CommandWParam(WORD code) { return MAKEWPARAM(0, code); }

// A colour request (WM_CTLCOLOR*, or one passed on): the device context to
// set up and the window about to be painted with it.
struct ColorRequestMessage {
  HDC Dc;
  HWND Window;
};
inline ColorRequestMessage AsColorRequest(const MessageRecord& message) {
  return {reinterpret_cast<HDC>(message.WParam), reinterpret_cast<HWND>(message.LParam)};
}
// The answer to a colour request: the brush to paint the background with.
inline LRESULT BrushResult(HBRUSH brush) { return reinterpret_cast<LRESULT>(brush); }

// WM_ERASEBKGND: the device context to paint.
inline HDC EraseDcOf(const MessageRecord& message) { return reinterpret_cast<HDC>(message.WParam); }
