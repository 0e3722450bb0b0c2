// One counted reference to a COM interface, released on every path.
#pragma once

#include <unknwn.h>

#include <utility>

template <class T>
class TComRef {
 public:
  TComRef() noexcept = default;
  // Takes over a reference the caller already holds.
  explicit TComRef(T* p) noexcept : p_(p) {}
  TComRef(const TComRef& other) noexcept : p_(other.p_) {
    if (p_) p_->AddRef();
  }
  TComRef(TComRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  TComRef& operator=(TComRef other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~TComRef() { Reset(); }

  T* Get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }
  void Reset() noexcept {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  // For calls that hand a new reference out through a parameter.
  T** Put() noexcept {
    Reset();
    return &p_;
  }
  void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

  // The object's other interface, or an empty reference when it has none.
  template <class U>
  TComRef<U> As(REFIID iid) const {
    TComRef<U> result;
    if (p_ && FAILED(p_->QueryInterface(iid, result.PutVoid()))) result.Reset();
    return result;
  }

 private:
  T* p_ = nullptr;
};
