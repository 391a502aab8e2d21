#pragma once
// The framework's private window messages.
#include <windows.h>

// A WM_COMMAND passed on to the child control that sent it (same wParam, lParam).
constexpr UINT ReflectedCommand = 0xB005;
// Base of a colour request passed on to the child: ReflectedColorBase + WM_CTLCOLOR*.
constexpr UINT ReflectedColorBase = 0xBC00;
// Notification code of a combo box's deferred selection change.
constexpr WORD DeferredSelectCode = 15;
