// Runs an action on every path out of a scope: returns, breaks and exceptions alike.
// It replaces the try / catch (...) { cleanup; throw; } / cleanup pattern.
#pragma once

#include <exception>
#include <utility>

// When the scope ends normally an exception from the action goes on to the caller, as
// the same call written after the scope's last statement would. While another exception
// unwinds the scope the action's own exception is dropped: two at once would end the
// program, and the first one says what went wrong.
template <class F>
class TScopeExit {
 public:
  explicit TScopeExit(F action) : action_(std::move(action)) {}
  ~TScopeExit() noexcept(false) {
    if (dismissed_) return;
    if (std::uncaught_exceptions() == unwinding_) {
      action_();
      return;
    }
    try {
      action_();
    } catch (...) {
      // Dropped: the exception already on its way out wins.
    }
  }
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;

  // The action will not run: for cleanup that only a failure needs.
  void Dismiss() noexcept { dismissed_ = true; }

 private:
  F action_;
  int unwinding_ = std::uncaught_exceptions();
  bool dismissed_ = false;
};

// An action whose failure must never leave the scope on any path (putting a window's
// state back, ending a modal state): its exceptions are dropped.
template <class F>
auto IgnoringExceptions(F action) {
  return [action = std::move(action)]() mutable noexcept {
    try {
      action();
    } catch (...) {
      // Dropped on purpose, see above.
    }
  };
}
