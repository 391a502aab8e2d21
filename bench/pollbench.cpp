// pollbench [POLLS]: what one register poll of the real main form costs,
// timed over POLLS polls (default 2000) with steady pins and again with every
// pin changing before each poll, what the poll's three port reads alone cost,
// what one access of the port library (Inp32, Out32) costs, and how long a
// reader of the port's log waits for a record whose writer died. scripts/bench
// runs it and also measures the polls per second and CPU use of a running Pinlorn.
//
// Needs the virtual port's library on the path and LPT1 listed in the
// registry (scripts/bench arranges both). The poll is called directly, not
// from the timer; the repaint it causes is timed apart, by dispatching the
// messages it leaves until the queue is empty.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "port_library.h"
#include "startup.h"
#include "poll.h"
#include "port.h"
#include "virtual_port.h"

namespace {

constexpr int kAccessesPerSample = 100;  // one timer read per 100 accesses

double Microseconds(LONGLONG ticks) {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  return static_cast<double>(ticks) * 1e6 / static_cast<double>(frequency);
}

LONGLONG Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

void DispatchAll() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

struct Figures {
  double Median, Worst, Mean;
};

Figures Summarise(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  double sum = 0;
  for (double s : samples) sum += s;
  return {samples[samples.size() / 2], samples.back(), sum / static_cast<double>(samples.size())};
}

void Print(const char* label, const Figures& poll, const Figures& paint) {
  std::printf("%-34s poll: median %7.1f us, worst %8.1f us, mean %7.1f us\n", label, poll.Median,
              poll.Worst, poll.Mean);
  std::printf("%-34s  + repaint: median %7.1f us, worst %8.1f us, mean %7.1f us\n", "",
              paint.Median, paint.Worst, paint.Mean);
}

// Steady: the port stays as it is. Changing: before each poll DR, CR and
// the five input pins are driven to the opposite of the previous poll, so
// every cell with a pin (19 of 20; PIRQ reads 1 always) changes colour.
void TimePolls(MainForm* form, VirtualPort& port, int polls, bool changing) {
  std::vector<double> pollTimes, paintTimes;
  for (int i = 0; i < polls; ++i) {
    if (changing) {
      const bool high = i % 2 == 0;
      port.Write(kLpt1DR, high ? 0xFF : 0x00);
      port.Write(kLpt1CR, high ? 0x0F : 0x00);
      for (int pin : {10, 11, 12, 13, 15}) port.SetInputPin(pin, !high);
    }
    const LONGLONG start = Now();
    PollRegisters(form, form->PollTimer);
    const LONGLONG polled = Now();
    DispatchAll();
    const LONGLONG painted = Now();
    pollTimes.push_back(Microseconds(polled - start));
    paintTimes.push_back(Microseconds(painted - polled));
  }
  Print(changing ? "all pins changing every poll:" : "steady pins:", Summarise(pollTimes),
        Summarise(paintTimes));
}

// Microseconds per call of `access`, from `samples` samples of
// kAccessesPerSample calls each: the clock is read around a sample, not
// around each call, so its own cost does not count.
template <typename Access>
void TimeAccesses(const char* label, Access access, int samples) {
  std::vector<double> times;
  for (int i = 0; i < samples; ++i) {
    const LONGLONG start = Now();
    for (int n = 0; n < kAccessesPerSample; ++n) access();
    times.push_back(Microseconds(Now() - start) / kAccessesPerSample);
  }
  const Figures figures = Summarise(times);
  std::printf("%-34s  each: median %7.2f us, worst %8.2f us, mean %7.2f us\n", label, figures.Median,
              figures.Worst, figures.Mean);
}

// A client that dies between its access and its log record: the first reader
// waits a short while for the record, then skips it; later readers skip it at once.
void TimeLostRecord(VirtualPort& port) {
  const uint32_t start = port.NextSequence();
  port.WriteAndDie(kLpt1DR, 0x00);
  for (const char* reader : {"first", "next"}) {
    const LONGLONG begin = Now();
    port.LogSince(start);
    std::printf("%-34s %s reader waits %7.1f ms\n", "a record whose writer died:", reader,
                Microseconds(Now() - begin) / 1000);
  }
}

int PollCost(int polls) {
  VirtualPort port;
  if (!port.IsOpen()) {
    std::fprintf(stderr, "pollbench: the virtual port cannot be opened\n");
    return 1;
  }
  port.Reset();
  MainForm* form = nullptr;
  BuildMainForm(form);
  if (!PortChosen()) {
    std::fprintf(stderr, "pollbench: LPT1 is not listed in the registry\n");
    return 1;
  }
  // Only this loop polls: the timer stays off, the window is shown and painted.
  form->PollTimer->SetEnabled(false);
  form->Window->Realize();
  DispatchAll();
  std::printf("%d polls each, times in microseconds per poll\n", polls);
  TimePolls(form, port, polls, false);
  TimePolls(form, port, polls, true);
  // The share of the port library: the poll's three reads alone.
  std::vector<double> readTimes;
  for (int i = 0; i < polls; ++i) {
    const LONGLONG start = Now();
    ReadRegisters();
    readTimes.push_back(Microseconds(Now() - start));
  }
  const Figures reads = Summarise(readTimes);
  std::printf("%-34s reads: median %7.1f us, worst %8.1f us, mean %7.1f us\n",
              "the three port reads alone:", reads.Median, reads.Worst, reads.Mean);
  TimeAccesses("one read (Inp32 of SR):", [] { Inp32(static_cast<short>(kLpt1SR)); }, polls);
  TimeAccesses("one write (Out32 to DR):", [] { Out32(static_cast<short>(kLpt1DR), 0x55); }, polls);
  TimeLostRecord(port);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int polls = argc == 2 ? std::atoi(argv[1]) : 2000;
  if (argc > 2 || polls <= 0) {
    std::fprintf(stderr, "usage: pollbench [POLLS]\n");
    return 2;
  }
  return PollCost(polls);
}
