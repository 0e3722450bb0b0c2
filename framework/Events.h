// Event handlers: an object and one of its methods, comparable so that handlers can be
// added, removed and compared as method pointers are in the dialect.
//
//   button->SetOnClick(MakeEvent<&TForm1::Button1Click>(this));
//   if (OnClick) OnClick(this);
//   if (OnClick == MakeEvent<&TForm1::Button1Click>(form)) ...
//   timer->SetOnTimer([this](TObject*) { Tick(); });   // a plain callable works too
//
// Two events are equal when they call the same method of the same object. A callable
// (lambda, std::function) is stored shared: copies of that event compare equal, separately
// made ones do not.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

class TObject;

template <class Sig>
class TMethod;

template <class R, class... A>
class TMethod<R(A...)> {
 public:
  using TCode = R (*)(void* data, A... args);

  TMethod() = default;
  TMethod(std::nullptr_t) {}
  TMethod(TCode code, void* data) : code_(code), data_(data) {}

  // Any other callable: kept alive by the event and its copies.
  template <class F>
  requires(!std::is_same_v<std::remove_cvref_t<F>, TMethod> &&
           !std::is_same_v<std::remove_cvref_t<F>, std::nullptr_t> &&
           std::is_invocable_r_v<R, F&, A...>) TMethod(F&& f) {
    auto fn = std::make_shared<std::function<R(A...)>>(std::forward<F>(f));
    data_ = fn.get();
    keep_ = std::move(fn);
    code_ = [](void* data, A... args) -> R {
      return (*static_cast<std::function<R(A...)>*>(data))(std::forward<A>(args)...);
    };
  }

  // The handler `M` of `obj`.
  template <auto M, class C>
  static TMethod Of(C* obj) {
    return TMethod(
        [](void* data, A... args) -> R {
          return (static_cast<C*>(data)->*M)(std::forward<A>(args)...);
        },
        const_cast<void*>(static_cast<const void*>(obj)));
  }

  explicit operator bool() const { return code_ != nullptr; }
  R operator()(A... args) const { return code_(data_, std::forward<A>(args)...); }

  void* Data() const { return data_; }  // the object whose method is called
  TCode Code() const { return code_; }

  friend bool operator==(const TMethod& a, const TMethod& b) {
    return a.code_ == b.code_ && a.data_ == b.data_;
  }
  friend bool operator==(const TMethod& a, std::nullptr_t) { return a.code_ == nullptr; }

 private:
  TCode code_ = nullptr;
  void* data_ = nullptr;
  std::shared_ptr<void> keep_;
};

namespace kfw_detail {
template <class M>
struct MethodTraits;
template <class C, class R, class... A>
struct MethodTraits<R (C::*)(A...)> {
  using Class = C;
  using Event = TMethod<R(A...)>;
};
template <class C, class R, class... A>
struct MethodTraits<R (C::*)(A...) const> {
  using Class = const C;
  using Event = TMethod<R(A...)>;
};
}  // namespace kfw_detail

// MakeEvent<&TForm1::Button1Click>(this): the event type follows the method's signature.
template <auto M, class C>
auto MakeEvent(C* obj) {
  // Seen through the method's own class, so the same handler made from a pointer to a
  // descendant compares equal.
  using Traits = kfw_detail::MethodTraits<decltype(M)>;
  using Class = typename Traits::Class;
  return Traits::Event::template Of<M>(static_cast<Class*>(obj));
}

using TNotifyEvent = TMethod<void(TObject* sender)>;
