// Events as kernel objects, so that a handle can join a wait on several objects.
#include "framework/SyncObjs.h"

#include "framework/SysUtils.h"

#include <windows.h>

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
