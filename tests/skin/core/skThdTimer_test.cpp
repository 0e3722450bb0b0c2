// The threaded timer over a clock moved by hand: when ticks come, the run-state rule, and
// stopping without suspending a thread.
#include "skin/core/runtime/skThdTimer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "framework/Thread.h"

namespace {

// Time passes only when the test says so.
class TManualClock : public ITimerClock {
 public:
  bool WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, uint32_t ms,
               const std::function<bool()>& wake) override {
    const uint64_t deadline = now_ + ms;
    ++waits_;
    // Short waits on the worker's own variable: the test's Advance cannot notify it.
    while (!wake() && now_ < deadline) cv.wait_for(lock, std::chrono::milliseconds(1));
    return !wake();
  }
  void Advance(uint64_t ms) { now_ += ms; }
  int Waits() const { return waits_; }

 private:
  std::atomic<uint64_t> now_{0};
  std::atomic<int> waits_{0};
};

// Serves the worker's ticks on this (the main) thread until `done` or about `limitMs`.
template <class F>
bool ServeUntil(F done, int limitMs = 10000) {
  for (int i = 0; i < limitMs && !done(); ++i) {
    TThread::CheckSynchronize();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return done();
}

struct TTickCounter : TObject {
  int ticks = 0;
  void OnTick(TObject*) { ++ticks; }
};

TEST(ThreadedTimer, TicksComeOnlyWhenTheIntervalHasPassed) {
  TManualClock clock;
  TTickCounter counter;
  TskThreadedTimer timer(nullptr, &clock);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1000u);
  timer.SetInterval(50);
  timer.SetOnTimer(MakeEvent<&TTickCounter::OnTick>(&counter));
  ASSERT_TRUE(ServeUntil([&] { return clock.Waits() >= 1; }));
  clock.Advance(49);
  ServeUntil([] { return false; }, 100);  // nothing may come meanwhile
  EXPECT_EQ(counter.ticks, 0);
  clock.Advance(1);
  EXPECT_TRUE(ServeUntil([&] { return counter.ticks == 1; }));
  // The next interval counts from when the worker waits again: advancing earlier would
  // move its deadline along with it.
  ASSERT_TRUE(ServeUntil([&] { return clock.Waits() >= 2; }));
  clock.Advance(50);
  EXPECT_TRUE(ServeUntil([&] { return counter.ticks == 2; }));
}

TEST(ThreadedTimer, TicksRunOnlyWhileEnabledWithIntervalAndHandler) {
  TManualClock clock;
  TTickCounter counter;
  TskThreadedTimer timer(nullptr, &clock);
  timer.SetInterval(10);
  timer.SetOnTimer(MakeEvent<&TTickCounter::OnTick>(&counter));
  const struct {
    bool enabled;
    uint32_t interval;
    bool ticks;
  } cases[] = {{false, 10, false}, {true, 10, true}, {true, 0, false}, {true, 20, true}};
  for (const auto& c : cases) {
    const int waitsBefore = clock.Waits();
    timer.SetEnabled(c.enabled);
    timer.SetInterval(c.interval);
    // A running worker must wait on the new interval before time moves, or its deadline
    // would move along; a stopped one has nothing to wait for.
    if (c.ticks)
      ASSERT_TRUE(ServeUntil([&] { return clock.Waits() > waitsBefore; }));
    else
      ServeUntil([] { return false; }, 100);
    const int before = counter.ticks;
    clock.Advance(100);
    const bool ticked = ServeUntil([&] { return counter.ticks > before; }, c.ticks ? 10000 : 100);
    EXPECT_EQ(ticked, c.ticks) << c.enabled << " " << c.interval;
  }
}

// Notes when a worker has queued a call for the main thread (and passes the news on).
struct TQueuedCallWatch {
  static inline std::atomic<bool> queued{false};
  static inline void (*previous)() = nullptr;
  TQueuedCallWatch() {
    queued = false;
    previous = TThread::WakeMainThread;
    TThread::WakeMainThread = [] {
      queued = true;
      if (previous) previous();
    };
  }
  ~TQueuedCallWatch() { TThread::WakeMainThread = previous; }
};

TEST(ThreadedTimer, FreeingAPausedTimerReturnsAndQueuedTicksNeverRun) {
  TManualClock clock;
  TTickCounter counter;
  {
    TskThreadedTimer paused(nullptr, &clock);
    paused.SetEnabled(false);
  }  // a paused worker is woken by the condition variable, not resumed from outside
  {
    // The worker queues a tick; the timer is freed before the main thread serves it.
    TQueuedCallWatch watch;
    TskThreadedTimer timer(nullptr, &clock);
    timer.SetInterval(5);
    timer.SetOnTimer(MakeEvent<&TTickCounter::OnTick>(&counter));
    ASSERT_TRUE(ServeUntil([&] { return clock.Waits() >= 1; }));
    clock.Advance(5);
    // Waits without serving, so the tick stays queued.
    for (int i = 0; i < 10000 && !TQueuedCallWatch::queued; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(TQueuedCallWatch::queued) << "the worker never queued its tick";
  }
  TThread::CheckSynchronize();
  EXPECT_EQ(counter.ticks, 0);
}

TEST(ThreadedTimer, SecondConstructorStartsDisabledAndCallsTick) {
  struct TCountingTimer : TskThreadedTimer {
    using TskThreadedTimer::TskThreadedTimer;
    void Tick() override { ++ticks; }
    int ticks = 0;
  };
  TManualClock clock;
  TObject target;
  TCountingTimer timer(nullptr, &target, true, &clock);
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(timer.WorksFor(), &target);
  timer.SetInterval(5);
  timer.SetEnabled(true);
  ASSERT_TRUE(ServeUntil([&] { return clock.Waits() >= 1; }));
  clock.Advance(5);
  EXPECT_TRUE(ServeUntil([&] { return timer.ticks >= 1; }));
}

TEST(ThreadedTimer, WhileTheProgramEndsNoThreadAndNoTick) {
  TskThreadedTimer::IsApplicationTerminating = [] { return true; };
  TskThreadedTimer timer(nullptr);
  TskThreadedTimer::IsApplicationTerminating = nullptr;
  EXPECT_FALSE(timer.HasThread());
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 0u);
  timer.SetThreadPriority(tpHigher);  // safe without a thread
  EXPECT_EQ(timer.ThreadPriority(), tpHigher);
}

}  // namespace
