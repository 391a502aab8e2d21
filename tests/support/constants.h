#pragma once
// Numbers the tests share: where LPT1's registers are, and how long a test
// waits for what should happen.
#include <windows.h>

#include <cstdint>

#include "port_layout.h"

// LPT1's registers, the port every test runs against.
constexpr uint16_t kDR = kLpt1DR;
constexpr uint16_t kSR = kLpt1SR;
constexpr uint16_t kCR = kLpt1CR;

// Pinlorn polls the port every 10 ms.
constexpr DWORD kPollPeriodMs = 10;

// How long a test waits for something that should happen soon: a message,
// a tick, a poll, a window of another program.
constexpr DWORD kWaitMs = 5000;
// How long a program may take to answer a message before it counts as hung.
constexpr DWORD kAnswerMs = 2000;
// How long a started program may take to show its window and answer.
constexpr DWORD kStartMs = 15000;
// How long a run of the port tool may take.
constexpr DWORD kPortToolMs = 30000;
