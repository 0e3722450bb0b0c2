// A timer whose ticks come from a worker thread of its own and are delivered on the main
// thread (through TThread::Synchronize), so it keeps ticking while the main thread sits in a
// modal loop. The worker waits on a condition variable: pausing, resuming and stopping only
// change state under a lock and wake it; no thread is ever suspended from outside, so it can
// never be stopped while it holds a lock.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

#include "framework/Component.h"
#include "framework/Events.h"

// How the worker waits between ticks; tests hand in a clock they move by hand.
class ITimerClock {
 public:
  virtual ~ITimerClock() = default;
  // Waits (lock held on entry and return) until wake() is true or `ms` have passed; true when
  // the time passed without wake().
  virtual bool WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, uint32_t ms,
                       const std::function<bool()>& wake) = 0;
};
ITimerClock& SteadyTimerClock();

enum TskThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TskTimerThread;

class TskThreadedTimer : public TComponent {
  K_CLASS(TskThreadedTimer, TComponent)
  explicit TskThreadedTimer(TComponent* owner, ITimerClock* clock = nullptr);
  // The second constructor: disabled, working for `worksFor`; with useOwnTick its OnTimer
  // calls Tick.
  TskThreadedTimer(TComponent* owner, TObject* worksFor, bool useOwnTick,
                   ITimerClock* clock = nullptr);
  ~TskThreadedTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  uint32_t Interval() const { return interval_; }
  // Takes effect at the worker's next wait.
  void SetInterval(uint32_t value);
  TskThreadPriority ThreadPriority() const { return priority_; }
  // Kept for the thread; safe on a timer without a thread.
  void SetThreadPriority(TskThreadPriority value);
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(const TNotifyEvent& handler);
  TObject* WorksFor() const { return worksFor_; }
  bool HasThread() const { return thread_ != nullptr; }

  // Descendants put their per-tick work here.
  virtual void Tick() {}
  // On the main thread, for every tick: OnTimer when assigned. Nothing once the timer is
  // being freed, so a tick queued before that never reaches a freed handler.
  void FireTimer();

  // Asked before a tick is delivered and when a timer is made: while the program ends no
  // tick runs and new timers get no thread. The Win32 half points it at the application.
  static inline bool (*IsApplicationTerminating)() = nullptr;

 private:
  void StartThread();
  void StopThread();
  void UpdateThread();
  void OwnTick(TObject*) { Tick(); }

  bool enabled_ = false;
  uint32_t interval_ = 0;
  TskThreadPriority priority_ = tpNormal;
  TNotifyEvent onTimer_;
  TObject* worksFor_ = nullptr;
  ITimerClock* clock_;
  bool stopping_ = false;
  TskTimerThread* thread_ = nullptr;
};
