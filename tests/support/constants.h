#pragma once
// Numbers the tests share: where LPT1's registers are, how many accesses the
// virtual port's log keeps, and how long a test waits for what should happen.
#include <windows.h>

#include <cstdint>

// LPT1, the one port Pinlorn knows: DR at base + 0, SR at + 1, CR at + 2.
constexpr uint16_t kLpt1Address = 0x378;
constexpr uint16_t kDR = kLpt1Address;
constexpr uint16_t kSR = kLpt1Address + 1;
constexpr uint16_t kCR = kLpt1Address + 2;

// Pinlorn polls the port every 10 ms.
constexpr DWORD kPollPeriodMs = 10;

// The virtual port's log keeps the last 8192 accesses.
constexpr uint32_t kPortLogCapacity = 8192;

// How long a test waits for something that should happen soon: a message,
// a tick, a poll, a window of another program.
constexpr DWORD kWaitMs = 5000;
// How long a program may take to answer a message before it counts as hung.
constexpr DWORD kAnswerMs = 2000;
// How long a started program may take to show its window and answer.
constexpr DWORD kStartMs = 15000;
// How long a run of the port tool may take.
constexpr DWORD kPortToolMs = 30000;
