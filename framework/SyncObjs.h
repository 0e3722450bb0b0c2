// Synchronisation objects: TEvent (a manual- or auto-reset event) and TCriticalSection.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "framework/System.h"

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

// Waits of 0xFFFFFFFF milliseconds (INFINITE) never time out.
constexpr uint32_t kWaitForever = 0xFFFFFFFF;

class TEvent : public TObject {
  K_CLASS(TEvent, TObject)

  // `attributes` and `name` exist for the classic signature; events here are unnamed.
  TEvent(void* attributes, bool manualReset, bool initialState, const std::string& name);
  explicit TEvent(bool manualReset = true, bool initialState = false);
  ~TEvent() override;
  TEvent(const TEvent&) = delete;
  TEvent& operator=(const TEvent&) = delete;

  void SetEvent();
  void ResetEvent();
  // An auto-reset event is cleared again by the wait it releases.
  TWaitResult WaitFor(uint32_t timeoutMs = kWaitForever);
  // On Windows the event's HANDLE (for WaitForMultipleObjects); nullptr elsewhere.
  void* Handle() const;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

// A lock that the thread holding it may take again (as a Win32 critical section).
class TCriticalSection : public TObject {
  K_CLASS(TCriticalSection, TObject)

  TCriticalSection() = default;
  void Enter() { mutex_.lock(); }
  void Leave() { mutex_.unlock(); }
  void Acquire() { Enter(); }
  void Release() { Leave(); }
  bool TryEnter() { return mutex_.try_lock(); }

 private:
  std::recursive_mutex mutex_;
};
