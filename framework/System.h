// The root of the class tree: TObject, run-time class information and the class registry.
//
// Every framework class names itself and its parent with one macro at the top of its body:
//
//   class TFoo : public TPersistent {
//     K_CLASS(TFoo, TPersistent)            // no published properties of its own
//    public: ...
//   };
//   class TBar : public TComponent {
//     K_CLASS_PUBLISHED(TBar, TComponent)   // has published properties: see TypInfo.h
//    public: ...
//   };
//
// The macros leave the access at `public:`. They give the class `inherited` (its parent),
// `StaticClassInfo()` and the `ClassInfo()` override that ClassName/InheritsFrom use.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <type_traits>
#include <vector>

class TObject;
class TComponent;
class TCollection;
class TCollectionItem;
class TClassInfo;
struct TPropInfo;
template <class T>
class TPublisher;

// What a class reference knows: name, parent, how to make an instance, published properties.
class TClassInfo {
 public:
  // Makes an instance. `owner` goes to a constructor taking a TComponent* owner or a
  // TCollection* collection; other classes are default-constructed.
  using TCreateFunc = TObject* (*)(TObject* owner);
  using TPublishFunc = void (*)(TClassInfo& info);

  TClassInfo(const char* name, const TClassInfo* parent, TCreateFunc create, TPublishFunc publish);
  ~TClassInfo();
  TClassInfo(const TClassInfo&) = delete;
  TClassInfo& operator=(const TClassInfo&) = delete;

  const std::string& ClassName() const { return name_; }
  const TClassInfo* ClassParent() const { return parent_; }
  bool InheritsFrom(const TClassInfo* other) const;  // true for the class itself
  bool ClassNameIs(const std::string& name) const;   // case ignored
  // nullptr for abstract classes and classes without a suitable constructor.
  TCreateFunc CreateFunc() const { return create_; }
  // Raises EInvalidOperation when the class cannot be instantiated.
  TObject* CreateInstance(TObject* owner = nullptr) const;

  // Properties this class itself publishes (not its parents'), in declaration order.
  const std::vector<std::unique_ptr<TPropInfo>>& OwnProps() const;
  // Used by TPublisher while the class publishes its properties.
  TPropInfo& AddProp(std::unique_ptr<TPropInfo> prop);

 private:
  std::string name_;
  const TClassInfo* parent_;
  TCreateFunc create_;
  TPublishFunc publish_;
  mutable std::once_flag published_;
  mutable std::vector<std::unique_ptr<TPropInfo>> props_;
};

namespace kfw_detail {
template <class T, class O>
TObject* CreateWithOwner(TObject* owner) {
  return new T(static_cast<O*>(owner));
}
template <class T>
TObject* CreateDefault(TObject*) {
  return new T();
}

template <class T>
constexpr TClassInfo::TCreateFunc CreateFuncFor() {
  if constexpr (std::is_abstract_v<T>) {
    return nullptr;
  } else if constexpr (std::is_base_of_v<TComponent, T> &&
                       std::is_constructible_v<T, TComponent*>) {
    return &CreateWithOwner<T, TComponent>;
  } else if constexpr (std::is_base_of_v<TCollectionItem, T> &&
                       std::is_constructible_v<T, TCollection*>) {
    return &CreateWithOwner<T, TCollection>;
  } else if constexpr (std::is_default_constructible_v<T>) {
    return &CreateDefault<T>;
  } else {
    return nullptr;
  }
}
}  // namespace kfw_detail

#define K_CLASS_COMMON_(T, P, PUBLISH)                                                     \
 public:                                                                                   \
  using inherited = P;                                                                     \
  static const TClassInfo* StaticClassInfo() {                                             \
    static const TClassInfo info(#T, P::StaticClassInfo(), kfw_detail::CreateFuncFor<T>(), \
                                 PUBLISH);                                                 \
    return &info;                                                                          \
  }                                                                                        \
  const TClassInfo* ClassInfo() const override { return StaticClassInfo(); }

#define K_CLASS(T, P) K_CLASS_COMMON_(T, P, nullptr)

// The class defines `K_PUBLISH(T) { p.Prop(...); ... }` in its .cpp (see TypInfo.h).
#define K_CLASS_PUBLISHED(T, P)                    \
  K_CLASS_COMMON_(T, P, &T::PublishClassInfo_)     \
  static void PublishClassInfo_(TClassInfo& info); \
  static void PublishProperties(TPublisher<T>& p);

class TObject {
 public:
  TObject() = default;
  virtual ~TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;

  static const TClassInfo* StaticClassInfo();
  virtual const TClassInfo* ClassInfo() const { return StaticClassInfo(); }

  const std::string& ClassName() const { return ClassInfo()->ClassName(); }
  const TClassInfo* ClassParent() const { return ClassInfo()->ClassParent(); }
  bool ClassNameIs(const std::string& name) const { return ClassInfo()->ClassNameIs(name); }
  bool InheritsFrom(const TClassInfo* cls) const { return ClassInfo()->InheritsFrom(cls); }
  // obj->Is<TButton>(): the dialect's `is` operator.
  template <class T>
  bool Is() const {
    return InheritsFrom(T::StaticClassInfo());
  }

  // Called by whoever completes a construction that a descendant wants to follow up
  // (the dialect calls it after the last constructor); empty here.
  virtual void AfterConstruction() {}
};

// `As<TButton>(obj)`: the dialect's `as` operator; nullptr stays nullptr, a wrong class
// raises EInvalidCast "Invalid class typecast".
template <class T>
T* As(TObject* obj);

// Class registry by name. Every class registers itself the first time its StaticClassInfo()
// is reached; RegisterClassInfo makes a class findable before that.
void RegisterClassInfo(const TClassInfo* cls);
const TClassInfo* GetClass(const std::string& name);   // nullptr when unknown; case ignored
const TClassInfo* FindClass(const std::string& name);  // EClassNotFound "Class %s not found"

// ---- implementation of As ---------------------------------------------------------
[[noreturn]] void RaiseInvalidCast();
template <class T>
T* As(TObject* obj) {
  if (obj == nullptr) return nullptr;
  if (!obj->InheritsFrom(T::StaticClassInfo())) RaiseInvalidCast();
  return static_cast<T*>(obj);
}
