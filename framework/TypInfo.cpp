#include "framework/TypInfo.h"

#include <algorithm>

namespace {

[[noreturn]] void Unknown(const std::string& name) {
  throw EPropertyError("Property " + name + " does not exist");
}

[[noreturn]] void WrongKind(const TPropInfo* prop) {
  throw EPropertyError("Invalid property type: " + prop->Name);
}

[[noreturn]] void ReadOnly(const TPropInfo* prop) {
  throw EPropertyError("Property " + prop->Name + " is read-only");
}

[[noreturn]] void InvalidElement(const std::string& element) {
  throw EPropertyError("Invalid property element: " + element);
}

bool IsOrdinal(TTypeKind k) {
  return k == tkInteger || k == tkChar || k == tkEnumeration || k == tkSet;
}

// Walks "Font.Name" down through object properties; `obj` ends as the owner of the last part.
const TPropInfo* Resolve(TObject*& obj, const std::string& path) {
  std::string rest = path;
  while (true) {
    if (obj == nullptr) Unknown(path);
    size_t dot = rest.find('.');
    const TPropInfo* prop = GetPropInfo(obj, rest.substr(0, dot));
    if (prop == nullptr) Unknown(path);
    if (dot == std::string::npos) return prop;
    if (prop->Kind != tkClass) Unknown(path);
    obj = prop->GetObj(obj);
    rest = rest.substr(dot + 1);
  }
}

}  // namespace

const TPropInfo* GetPropInfo(const TClassInfo* cls, const std::string& name) {
  for (const TClassInfo* c = cls; c != nullptr; c = c->ClassParent()) {
    for (const auto& p : c->OwnProps()) {
      if (SameText(p->Name, name)) return p.get();
    }
  }
  return nullptr;
}

const TPropInfo* GetPropInfo(const TObject* obj, const std::string& name) {
  return obj == nullptr ? nullptr : GetPropInfo(obj->ClassInfo(), name);
}

std::vector<const TPropInfo*> GetPropList(const TClassInfo* cls) {
  std::vector<const TClassInfo*> chain;
  for (const TClassInfo* c = cls; c != nullptr; c = c->ClassParent()) chain.push_back(c);
  std::vector<const TPropInfo*> list;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    for (const auto& p : (*it)->OwnProps()) {
      auto same = std::find_if(list.begin(), list.end(),
                               [&](const TPropInfo* q) { return SameText(q->Name, p->Name); });
      if (same != list.end()) {
        *same = p.get();  // a redeclaration replaces the ancestor's entry in place
      } else {
        list.push_back(p.get());
      }
    }
  }
  return list;
}

std::vector<const TPropInfo*> GetPropList(const TObject* obj) {
  return obj == nullptr ? std::vector<const TPropInfo*>{} : GetPropList(obj->ClassInfo());
}

bool IsPublishedProp(const TObject* obj, const std::string& name) {
  return GetPropInfo(obj, name) != nullptr;
}

std::string GetEnumName(const TPropInfo* prop, int value) {
  if (value < 0 || value >= static_cast<int>(prop->EnumNames.size())) return std::string();
  return prop->EnumNames[value];
}

int GetEnumValue(const TPropInfo* prop, const std::string& name) {
  const std::string trimmed = Trim(name);
  for (size_t i = 0; i < prop->EnumNames.size(); ++i) {
    if (SameText(prop->EnumNames[i], trimmed)) return static_cast<int>(i);
  }
  return -1;
}

std::string SetToString(const TPropInfo* prop, uint64_t bits, bool brackets) {
  std::string s;
  for (size_t i = 0; i < prop->EnumNames.size() && i < 64; ++i) {
    if ((bits >> i) & 1) {
      if (!s.empty()) s += ',';
      s += prop->EnumNames[i];
    }
  }
  return brackets ? "[" + s + "]" : s;
}

uint64_t StringToSet(const TPropInfo* prop, const std::string& text) {
  std::string s = Trim(text);
  if (!s.empty() && s.front() == '[') s.erase(0, 1);
  if (!s.empty() && s.back() == ']') s.pop_back();
  uint64_t bits = 0;
  size_t from = 0;
  while (from <= s.size()) {
    size_t comma = s.find(',', from);
    std::string element =
        Trim(s.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
    if (!element.empty()) {
      int v = GetEnumValue(prop, element);
      if (v < 0 || v >= 64) InvalidElement(element);
      bits |= uint64_t{1} << v;
    } else if (comma != std::string::npos) {
      InvalidElement(element);  // "[a,,b]"
    }
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  return bits;
}

int64_t GetOrdProp(TObject* obj, const TPropInfo* prop) {
  if (!IsOrdinal(prop->Kind)) WrongKind(prop);
  return prop->GetOrd(obj);
}

void SetOrdProp(TObject* obj, const TPropInfo* prop, int64_t value) {
  if (!IsOrdinal(prop->Kind)) WrongKind(prop);
  if (!prop->SetOrd) ReadOnly(prop);
  // An enumeration never holds a value it has no name for.
  if (prop->Kind == tkEnumeration &&
      (value < 0 || value >= static_cast<int64_t>(prop->EnumNames.size())))
    throw ERangeError("Range check error");
  if (prop->Kind == tkSet && prop->EnumNames.size() < 64 && (value >> prop->EnumNames.size()) != 0)
    throw ERangeError("Range check error");
  prop->SetOrd(obj, value);
}

std::string GetStrProp(TObject* obj, const TPropInfo* prop) {
  if (prop->Kind != tkString) WrongKind(prop);
  return prop->GetStr(obj);
}

void SetStrProp(TObject* obj, const TPropInfo* prop, const std::string& value) {
  if (prop->Kind != tkString) WrongKind(prop);
  if (!prop->SetStr) ReadOnly(prop);
  prop->SetStr(obj, value);
}

std::string GetEnumProp(TObject* obj, const TPropInfo* prop) {
  if (prop->Kind != tkEnumeration) WrongKind(prop);
  return GetEnumName(prop, static_cast<int>(prop->GetOrd(obj)));
}

void SetEnumProp(TObject* obj, const TPropInfo* prop, const std::string& value) {
  if (prop->Kind != tkEnumeration) WrongKind(prop);
  int v = GetEnumValue(prop, value);
  if (v < 0) {
    int number;
    if (!TryStrToInt(Trim(value), number)) InvalidElement(value);
    v = number;
  }
  SetOrdProp(obj, prop, v);
}

std::string GetSetProp(TObject* obj, const TPropInfo* prop, bool brackets) {
  if (prop->Kind != tkSet) WrongKind(prop);
  return SetToString(prop, static_cast<uint64_t>(prop->GetOrd(obj)), brackets);
}

void SetSetProp(TObject* obj, const TPropInfo* prop, const std::string& value) {
  if (prop->Kind != tkSet) WrongKind(prop);
  SetOrdProp(obj, prop, static_cast<int64_t>(StringToSet(prop, value)));
}

TObject* GetObjectProp(TObject* obj, const TPropInfo* prop) {
  if (prop->Kind != tkClass) WrongKind(prop);
  return prop->GetObj(obj);
}

void SetObjectProp(TObject* obj, const TPropInfo* prop, TObject* value) {
  if (prop->Kind != tkClass) WrongKind(prop);
  if (!prop->SetObj) ReadOnly(prop);
  if (value != nullptr && prop->PropClass != nullptr && !value->InheritsFrom(prop->PropClass))
    throw EPropertyError("Invalid property value");
  prop->SetObj(obj, value);
}

std::string GetPropValue(TObject* obj, const TPropInfo* prop) {
  switch (prop->Kind) {
    case tkInteger:
      return IntToStr(prop->GetOrd(obj));
    case tkChar:
      return std::string(1, static_cast<char>(prop->GetOrd(obj)));
    case tkEnumeration:
      return GetEnumProp(obj, prop);
    case tkSet:
      return GetSetProp(obj, prop);
    case tkString:
      return prop->GetStr(obj);
    default:
      WrongKind(prop);
  }
}

void SetPropValue(TObject* obj, const TPropInfo* prop, const std::string& value) {
  switch (prop->Kind) {
    case tkInteger:
      SetOrdProp(obj, prop, StrToInt64(value));
      break;
    case tkChar:
      if (value.size() != 1) throw EConvertError("'" + value + "' is not a valid character");
      SetOrdProp(obj, prop, static_cast<unsigned char>(value[0]));
      break;
    case tkEnumeration:
      SetEnumProp(obj, prop, value);
      break;
    case tkSet:
      SetSetProp(obj, prop, value);
      break;
    case tkString:
      SetStrProp(obj, prop, value);
      break;
    default:
      WrongKind(prop);
  }
}

// ---- by name ---------------------------------------------------------------------------------

int64_t GetOrdProp(TObject* obj, const std::string& name) {
  const TPropInfo* p = Resolve(obj, name);
  return GetOrdProp(obj, p);
}
void SetOrdProp(TObject* obj, const std::string& name, int64_t value) {
  const TPropInfo* p = Resolve(obj, name);
  SetOrdProp(obj, p, value);
}
std::string GetStrProp(TObject* obj, const std::string& name) {
  const TPropInfo* p = Resolve(obj, name);
  return GetStrProp(obj, p);
}
void SetStrProp(TObject* obj, const std::string& name, const std::string& value) {
  const TPropInfo* p = Resolve(obj, name);
  SetStrProp(obj, p, value);
}
std::string GetEnumProp(TObject* obj, const std::string& name) {
  const TPropInfo* p = Resolve(obj, name);
  return GetEnumProp(obj, p);
}
void SetEnumProp(TObject* obj, const std::string& name, const std::string& value) {
  const TPropInfo* p = Resolve(obj, name);
  SetEnumProp(obj, p, value);
}
std::string GetSetProp(TObject* obj, const std::string& name, bool brackets) {
  const TPropInfo* p = Resolve(obj, name);
  return GetSetProp(obj, p, brackets);
}
void SetSetProp(TObject* obj, const std::string& name, const std::string& value) {
  const TPropInfo* p = Resolve(obj, name);
  SetSetProp(obj, p, value);
}
TObject* GetObjectProp(TObject* obj, const std::string& name) {
  const TPropInfo* p = Resolve(obj, name);
  return GetObjectProp(obj, p);
}
void SetObjectProp(TObject* obj, const std::string& name, TObject* value) {
  const TPropInfo* p = Resolve(obj, name);
  SetObjectProp(obj, p, value);
}
std::string GetPropValue(TObject* obj, const std::string& name) {
  const TPropInfo* p = Resolve(obj, name);
  return GetPropValue(obj, p);
}
void SetPropValue(TObject* obj, const std::string& name, const std::string& value) {
  const TPropInfo* p = Resolve(obj, name);
  SetPropValue(obj, p, value);
}
