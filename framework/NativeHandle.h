// A system object (a font, pen, brush or icon of the window system) owned by a portable
// class. The portable class only keeps, hands on and frees it; its system half makes and
// reads it and says how it is freed and, where it can be, copied.
#pragma once

#include <utility>

class TNativeHandle {
 public:
  using TFree = void (*)(void* value);
  using TCopy = void* (*)(void* value);

  TNativeHandle() = default;
  ~TNativeHandle() { Reset(); }
  TNativeHandle(TNativeHandle&& other) noexcept
      : value_(std::exchange(other.value_, nullptr)),
        free_(std::exchange(other.free_, nullptr)),
        copy_(std::exchange(other.copy_, nullptr)) {}
  TNativeHandle(const TNativeHandle&) = delete;
  TNativeHandle& operator=(const TNativeHandle&) = delete;
  TNativeHandle& operator=(TNativeHandle&&) = delete;

  void* Get() const { return value_; }
  explicit operator bool() const { return value_ != nullptr; }

  // Frees the object held (unless it is value itself) and takes over value.
  void Reset(void* value = nullptr, TFree free = nullptr, TCopy copy = nullptr) {
    void* old = std::exchange(value_, value);
    TFree oldFree = std::exchange(free_, free);
    copy_ = copy;
    if (old != nullptr && old != value && oldFree != nullptr) oldFree(old);
  }
  // Gives the object to the caller, who frees it.
  void* Release() {
    free_ = nullptr;
    copy_ = nullptr;
    return std::exchange(value_, nullptr);
  }
  // Holds a copy of other's object, or nothing when it has none or it cannot be copied.
  void CopyFrom(const TNativeHandle& other) {
    if (other.value_ == nullptr || other.copy_ == nullptr) {
      Reset();
      return;
    }
    Reset(other.copy_(other.value_), other.free_, other.copy_);
  }

 private:
  void* value_ = nullptr;
  TFree free_ = nullptr;
  TCopy copy_ = nullptr;
};
