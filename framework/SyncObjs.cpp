#include "framework/SyncObjs.h"

#include <chrono>

#include "framework/SysUtils.h"

#ifdef _WIN32
#include <windows.h>

// A kernel event, so that Handle() can join WaitForMultipleObjects.
struct TEvent::TImpl {
  HANDLE handle = nullptr;
  ~TImpl() {
    if (handle != nullptr) ::CloseHandle(handle);
  }
};

TEvent::TEvent(void*, bool manualReset, bool initialState, const std::string&)
    : TEvent(manualReset, initialState) {}

TEvent::TEvent(bool manualReset, bool initialState) : impl_(std::make_unique<TImpl>()) {
  impl_->handle = ::CreateEventA(nullptr, manualReset, initialState, nullptr);
  if (impl_->handle == nullptr) throw EOSError("Cannot create event");
}

TEvent::~TEvent() = default;

void TEvent::SetEvent() { ::SetEvent(impl_->handle); }
void TEvent::ResetEvent() { ::ResetEvent(impl_->handle); }

TWaitResult TEvent::WaitFor(uint32_t timeoutMs) {
  switch (::WaitForSingleObject(impl_->handle, timeoutMs == kWaitForever ? INFINITE : timeoutMs)) {
    case WAIT_OBJECT_0:
      return wrSignaled;
    case WAIT_TIMEOUT:
      return wrTimeout;
    case WAIT_ABANDONED:
      return wrAbandoned;
    default:
      return wrError;
  }
}

void* TEvent::Handle() const { return impl_->handle; }

#else

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

#endif
