// Limits how often a long loop reports to the window: repainting for every line
// of a gigabyte dump would cost more than the work itself.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

class ProgressThrottle {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // At most one report per `interval`; the clock is read only every `stride` calls. Ten
  // reports a second keep a gauge moving smoothly; each one repaints a window's worth of
  // controls, which under Wine costs several milliseconds.
  explicit ProgressThrottle(std::chrono::milliseconds interval = std::chrono::milliseconds(100),
                            uint32_t stride = 256, Clock clock = {})
      : interval_(interval), stride_(stride == 0 ? 1 : stride), clock_(std::move(clock)) {
    last_ = Now();
  }

  // True when a report is due now; the caller then reports.
  bool Due() {
    if (++calls_ < stride_) return false;
    calls_ = 0;
    const auto now = Now();
    if (now - last_ < interval_) return false;
    last_ = now;
    return true;
  }

  // Forces the next check to read the clock (after a report made for another reason).
  void Reported() {
    last_ = Now();
    calls_ = 0;
  }

 private:
  std::chrono::steady_clock::time_point Now() const {
    return clock_ ? clock_() : std::chrono::steady_clock::now();
  }

  std::chrono::milliseconds interval_;
  uint32_t stride_;
  Clock clock_;
  uint32_t calls_ = 0;
  std::chrono::steady_clock::time_point last_;
};
