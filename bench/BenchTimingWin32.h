// Benchmark helpers for the window benchmarks: handling what is queued between measured steps,
// and the best and median of a set of timings.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <vector>

using BenchClock = std::chrono::steady_clock;

inline double MillisecondsSince(BenchClock::time_point start) {
  return std::chrono::duration<double, std::milli>(BenchClock::now() - start).count();
}

// Handles every queued message; answers the milliseconds that took.
inline double Pump() {
  const auto start = BenchClock::now();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return MillisecondsSince(start);
}

struct TTiming {
  double Best, Median;
};

// The best and the median of a non-empty set of timings.
inline TTiming BestAndMedian(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return TTiming{values.front(), values[values.size() / 2]};
}
