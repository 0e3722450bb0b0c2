#include "skin/core/runtime/skThdTimer.h"

#include <atomic>
#include <chrono>

#include "framework/Thread.h"

namespace {

class TSteadyClock : public ITimerClock {
 public:
  bool WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, uint32_t ms,
               const std::function<bool()>& wake) override {
    return !cv.wait_for(lock, std::chrono::milliseconds(ms), wake);
  }
};

bool Terminating() {
  return TskThreadedTimer::IsApplicationTerminating && TskThreadedTimer::IsApplicationTerminating();
}

}  // namespace

ITimerClock& SteadyTimerClock() {
  static TSteadyClock clock;
  return clock;
}

// The worker: waits the interval, then has the main thread run the tick; pauses while the
// run state says so; leaves its loop when told to stop.
class TskTimerThread : public TThread {
  K_CLASS(TskTimerThread, TThread)
  TskTimerThread(TskThreadedTimer* timer, ITimerClock& clock, uint32_t interval)
      : TThread(true), timer_(timer), clock_(clock), interval_(interval) {}
  ~TskTimerThread() override {
    Stop();
    WaitFor();
  }

  void SetInterval(uint32_t value) {
    std::lock_guard<std::mutex> lock(mutex_);
    interval_ = value;
  }
  void SetRunning(bool value) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      running_ = value;
    }
    cv_.notify_all();
  }
  void Stop() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    cv_.notify_all();
    Terminate();
  }

 protected:
  void Execute() override {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      cv_.wait(lock, [this] { return stop_ || running_; });
      if (stop_ || Terminated()) return;
      const bool elapsed =
          clock_.WaitFor(lock, cv_, interval_, [this] { return stop_ || !running_; });
      if (stop_ || Terminated() || Terminating()) return;
      if (!elapsed) continue;  // paused meanwhile
      lock.unlock();
      TskThreadedTimer* timer = timer_;
      Synchronize([timer] { timer->FireTimer(); });
      lock.lock();
    }
  }

 private:
  TskThreadedTimer* timer_;
  ITimerClock& clock_;
  std::mutex mutex_;
  std::condition_variable cv_;
  uint32_t interval_;
  bool running_ = false;
  bool stop_ = false;
};

TskThreadedTimer::TskThreadedTimer(TComponent* owner, ITimerClock* clock)
    : TComponent(owner), clock_(clock ? clock : &SteadyTimerClock()) {
  if (Terminating()) return;  // no thread, disabled, interval 0
  enabled_ = true;
  interval_ = 1000;
  StartThread();
}

TskThreadedTimer::TskThreadedTimer(TComponent* owner, TObject* worksFor, bool useOwnTick,
                                   ITimerClock* clock)
    : TskThreadedTimer(owner, clock) {
  SetEnabled(false);
  worksFor_ = worksFor;
  if (useOwnTick) SetOnTimer(MakeEvent<&TskThreadedTimer::OwnTick>(this));
}

TskThreadedTimer::~TskThreadedTimer() { StopThread(); }

void TskThreadedTimer::StartThread() {
  thread_ = new TskTimerThread(this, *clock_, interval_);
  UpdateThread();
  thread_->Start();
}

void TskThreadedTimer::StopThread() {
  if (!thread_) return;
  // Set before the wait: the wait serves queued ticks, and those must find the timer going.
  stopping_ = true;
  thread_->Stop();
  thread_->WaitFor();
  delete thread_;
  thread_ = nullptr;
}

void TskThreadedTimer::UpdateThread() {
  if (!thread_) return;
  thread_->SetInterval(interval_);
  thread_->SetRunning(interval_ != 0 && enabled_ && static_cast<bool>(onTimer_));
}

void TskThreadedTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  UpdateThread();
}

void TskThreadedTimer::SetInterval(uint32_t value) {
  if (value == interval_) return;
  interval_ = value;
  UpdateThread();
}

void TskThreadedTimer::SetThreadPriority(TskThreadPriority value) {
  if (value == priority_) return;
  priority_ = value;
  UpdateThread();
}

void TskThreadedTimer::SetOnTimer(const TNotifyEvent& handler) {
  onTimer_ = handler;
  UpdateThread();
}

void TskThreadedTimer::FireTimer() {
  if (stopping_ || Terminating()) return;
  if (onTimer_) onTimer_(this);
}
