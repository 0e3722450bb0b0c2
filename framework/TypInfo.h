// Published properties: each class lists the properties that can be read and written by
// name (the translator and the skin engine use them), with their kind and accessors.
//
// A class declared with K_CLASS_PUBLISHED lists its properties in its .cpp:
//
//   K_PUBLISH(TControl) {
//     p.Prop("Left", &TControl::Left, &TControl::SetLeft);          // integer
//     p.Prop("Caption", &TControl::Caption, &TControl::SetCaption); // string
//     p.Prop("Visible", &TControl::Visible, &TControl::SetVisible); // bool = enumeration
//     False/True p.Prop("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut);  // TShortCut:
//     integer p.Enum("Align", &TControl::Align, &TControl::SetAlign,
//            {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
//     p.Set("Anchors", &TControl::Anchors, &TControl::SetAnchors,
//           {"akLeft", "akTop", "akRight", "akBottom"});
//     p.Prop("Font", &TControl::Font, &TControl::SetFont);          // object (TFont*)
//     p.Prop("ClientWidth", &TControl::ClientWidth);                 // no setter: read-only
//   }
//
// Getters and setters are member functions or lambdas taking the object pointer
// (`[](TControl* c) { return c->Width(); }`). Enumeration names list the values 0, 1, 2...
// in order. Inside K_PUBLISH the publisher is called `p`.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <vector>

#include "framework/SysUtils.h"
#include "framework/System.h"
#include "framework/Types.h"

enum TTypeKind { tkUnknown, tkInteger, tkChar, tkEnumeration, tkString, tkSet, tkClass };

struct TPropInfo {
  std::string Name;
  TTypeKind Kind = tkUnknown;
  const TClassInfo* Owner = nullptr;      // the class that published it
  std::vector<std::string> EnumNames;     // enumeration: value names; set: element names
  const TClassInfo* PropClass = nullptr;  // class: the declared class of the value

  // Ordinal kinds (integer, char, enumeration, set as bits), strings, objects.
  std::function<int64_t(TObject*)> GetOrd;
  std::function<void(TObject*, int64_t)> SetOrd;
  std::function<std::string(TObject*)> GetStr;
  std::function<void(TObject*, const std::string&)> SetStr;
  std::function<TObject*(TObject*)> GetObj;
  std::function<void(TObject*, TObject*)> SetObj;

  bool IsWritable() const { return SetOrd || SetStr || SetObj; }
};

// ---- lookup ---------------------------------------------------------------------------

// The property of that name (case ignored) of the class or its nearest ancestor; nullptr
// when there is none.
const TPropInfo* GetPropInfo(const TClassInfo* cls, const std::string& name);
const TPropInfo* GetPropInfo(const TObject* obj, const std::string& name);
// Ancestors' properties first, each class's in declaration order; a redeclared name
// appears once, at the descendant's entry.
std::vector<const TPropInfo*> GetPropList(const TClassInfo* cls);
std::vector<const TPropInfo*> GetPropList(const TObject* obj);
bool IsPublishedProp(const TObject* obj, const std::string& name);

// Value name of an enumeration (or set element) value; "" when out of range.
std::string GetEnumName(const TPropInfo* prop, int value);
// Value of a name (case ignored); -1 when the enumeration has no such name.
int GetEnumValue(const TPropInfo* prop, const std::string& name);
// "[fsBold,fsItalic]" (without brackets when `brackets` is false).
std::string SetToString(const TPropInfo* prop, uint64_t bits, bool brackets = true);
// Accepts the text with or without brackets, blanks allowed; an unknown element raises
// EPropertyError "Invalid property element: %s".
uint64_t StringToSet(const TPropInfo* prop, const std::string& text);

// ---- access through a TPropInfo --------------------------------------------------------
// A kind that does not fit raises EPropertyError "Invalid property type: %s"; writing a
// property without setter raises EPropertyError "Property %s is read-only"; an enumeration
// value outside its names raises ERangeError "Range check error".

int64_t GetOrdProp(TObject* obj, const TPropInfo* prop);
void SetOrdProp(TObject* obj, const TPropInfo* prop, int64_t value);
std::string GetStrProp(TObject* obj, const TPropInfo* prop);
void SetStrProp(TObject* obj, const TPropInfo* prop, const std::string& value);
std::string GetEnumProp(TObject* obj, const TPropInfo* prop);
// By value name (case ignored) or by number in decimal; an unknown name raises
// EPropertyError "Invalid property element: %s".
void SetEnumProp(TObject* obj, const TPropInfo* prop, const std::string& value);
std::string GetSetProp(TObject* obj, const TPropInfo* prop, bool brackets = true);
void SetSetProp(TObject* obj, const TPropInfo* prop, const std::string& value);
TObject* GetObjectProp(TObject* obj, const TPropInfo* prop);
// A value that is not of the declared class raises EPropertyError "Invalid property value".
void SetObjectProp(TObject* obj, const TPropInfo* prop, TObject* value);
// Any non-object kind as text: integer in decimal, char as itself, enumeration by name,
// set as "[a,b]", string as is.
std::string GetPropValue(TObject* obj, const TPropInfo* prop);
void SetPropValue(TObject* obj, const TPropInfo* prop, const std::string& value);

// ---- access by name ---------------------------------------------------------------------
// The name may be a path through object properties ("Font.Name"). A missing property
// raises EPropertyError "Property %s does not exist".

int64_t GetOrdProp(TObject* obj, const std::string& name);
void SetOrdProp(TObject* obj, const std::string& name, int64_t value);
std::string GetStrProp(TObject* obj, const std::string& name);
void SetStrProp(TObject* obj, const std::string& name, const std::string& value);
std::string GetEnumProp(TObject* obj, const std::string& name);
void SetEnumProp(TObject* obj, const std::string& name, const std::string& value);
std::string GetSetProp(TObject* obj, const std::string& name, bool brackets = true);
void SetSetProp(TObject* obj, const std::string& name, const std::string& value);
TObject* GetObjectProp(TObject* obj, const std::string& name);
void SetObjectProp(TObject* obj, const std::string& name, TObject* value);
std::string GetPropValue(TObject* obj, const std::string& name);
void SetPropValue(TObject* obj, const std::string& name, const std::string& value);

// ---- publishing ----------------------------------------------------------------------------

template <class T>
class TPublisher {
 public:
  explicit TPublisher(TClassInfo& info) : info_(info) {}

  // Integer, bool, char, string or object property; the kind follows the getter's type.
  template <class G, class S = std::nullptr_t>
  TPublisher& Prop(const char* name, G get, S set = nullptr);
  // Enumeration: `names` are the value names of 0, 1, 2...
  template <class G, class S>
  TPublisher& Enum(const char* name, G get, S set, std::initializer_list<const char*> names);
  // Set (TSet<E> or an integer of bits): `elements` are the element names of bit 0, 1, 2...
  template <class G, class S>
  TPublisher& Set(const char* name, G get, S set, std::initializer_list<const char*> elements);

 private:
  TPropInfo& Add(const char* name, TTypeKind kind);
  // Integers, enumerations and sets all travel as ordinals.
  template <class G, class S>
  static void BindOrdinal(TPropInfo& info, G get, S set);
  TClassInfo& info_;
};

#define K_PUBLISH(T)                            \
  void T::PublishClassInfo_(TClassInfo& info) { \
    TPublisher<T> p(info);                      \
    PublishProperties(p);                       \
  }                                             \
  void T::PublishProperties([[maybe_unused]] TPublisher<T>& p)

// ---- implementation ------------------------------------------------------------------------

namespace kfw_detail {
template <class X>
struct IsTSet : std::false_type {};
template <class E>
struct IsTSet<TSet<E>> : std::true_type {};

template <class V>
int64_t ToOrd(const V& v) {
  if constexpr (IsTSet<V>::value) {
    return static_cast<int64_t>(v.Bits());
  } else if constexpr (std::is_same_v<V, char>) {
    return static_cast<unsigned char>(v);
  } else {
    return static_cast<int64_t>(v);
  }
}
template <class V>
V FromOrd(int64_t v) {
  if constexpr (IsTSet<V>::value) {
    return V::FromBits(static_cast<uint64_t>(v));
  } else if constexpr (std::is_same_v<V, bool>) {
    return v != 0;
  } else {
    return static_cast<V>(v);
  }
}
}  // namespace kfw_detail

template <class T>
TPropInfo& TPublisher<T>::Add(const char* name, TTypeKind kind) {
  auto prop = std::make_unique<TPropInfo>();
  prop->Name = name;
  prop->Kind = kind;
  prop->Owner = &info_;
  return info_.AddProp(std::move(prop));
}

template <class T>
template <class G, class S>
void TPublisher<T>::BindOrdinal(TPropInfo& info, G get, S set) {
  using V = std::remove_cvref_t<std::invoke_result_t<G, T*>>;
  info.GetOrd = [get](TObject* o) {
    return kfw_detail::ToOrd<V>(std::invoke(get, static_cast<T*>(o)));
  };
  if constexpr (!std::is_same_v<S, std::nullptr_t>)
    info.SetOrd = [set](TObject* o, int64_t v) {
      std::invoke(set, static_cast<T*>(o), kfw_detail::FromOrd<V>(v));
    };
}

template <class T>
template <class G, class S>
TPublisher<T>& TPublisher<T>::Prop(const char* name, G get, S set) {
  using V = std::remove_cvref_t<std::invoke_result_t<G, T*>>;
  constexpr bool hasSetter = !std::is_same_v<S, std::nullptr_t>;
  if constexpr (std::is_same_v<V, std::string>) {
    TPropInfo& info = Add(name, tkString);
    info.GetStr = [get](TObject* o) { return std::string(std::invoke(get, static_cast<T*>(o))); };
    if constexpr (hasSetter)
      info.SetStr = [set](TObject* o, const std::string& v) {
        std::invoke(set, static_cast<T*>(o), v);
      };
  } else if constexpr (std::is_pointer_v<V>) {
    using C = std::remove_cv_t<std::remove_pointer_t<V>>;
    static_assert(std::is_base_of_v<TObject, C>, "object properties hold TObject descendants");
    TPropInfo& info = Add(name, tkClass);
    info.PropClass = C::StaticClassInfo();
    info.GetObj = [get](TObject* o) -> TObject* {
      return const_cast<C*>(std::invoke(get, static_cast<T*>(o)));
    };
    if constexpr (hasSetter)
      info.SetObj = [set](TObject* o, TObject* v) {
        std::invoke(set, static_cast<T*>(o), static_cast<C*>(v));
      };
  } else {
    static_assert(std::is_integral_v<V>, "use Enum or Set for enumerations and sets");
    TTypeKind kind = std::is_same_v<V, bool>   ? tkEnumeration
                     : std::is_same_v<V, char> ? tkChar
                                               : tkInteger;
    TPropInfo& info = Add(name, kind);
    if constexpr (std::is_same_v<V, bool>) info.EnumNames = {"False", "True"};
    BindOrdinal(info, get, set);
  }
  return *this;
}

template <class T>
template <class G, class S>
TPublisher<T>& TPublisher<T>::Enum(const char* name, G get, S set,
                                   std::initializer_list<const char*> names) {
  TPropInfo& info = Add(name, tkEnumeration);
  info.EnumNames.assign(names.begin(), names.end());
  BindOrdinal(info, get, set);
  return *this;
}

template <class T>
template <class G, class S>
TPublisher<T>& TPublisher<T>::Set(const char* name, G get, S set,
                                  std::initializer_list<const char*> elements) {
  TPropInfo& info = Add(name, tkSet);
  info.EnumNames.assign(elements.begin(), elements.end());
  BindOrdinal(info, get, set);
  return *this;
}
