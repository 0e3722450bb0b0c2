// Events over a mutex and a condition variable.
#include "framework/SyncObjs.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

struct TEvent::TImpl {
  std::mutex mutex;
  std::condition_variable cv;
  bool manualReset = true;
  bool signaled = false;
};

TEvent::TEvent(void*, bool manualReset, bool initialState, const std::string&)
    : TEvent(manualReset, initialState) {}

TEvent::TEvent(bool manualReset, bool initialState) : impl_(std::make_unique<TImpl>()) {
  impl_->manualReset = manualReset;
  impl_->signaled = initialState;
}

TEvent::~TEvent() = default;

void TEvent::SetEvent() {
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->signaled = true;
  }
  impl_->cv.notify_all();
}

void TEvent::ResetEvent() {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->signaled = false;
}

TWaitResult TEvent::WaitFor(uint32_t timeoutMs) {
  std::unique_lock<std::mutex> lock(impl_->mutex);
  auto ready = [this] { return impl_->signaled; };
  if (timeoutMs == kWaitForever) {
    impl_->cv.wait(lock, ready);
  } else if (!impl_->cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
    return wrTimeout;
  }
  if (!impl_->manualReset) impl_->signaled = false;
  return wrSignaled;
}

void* TEvent::Handle() const { return nullptr; }
