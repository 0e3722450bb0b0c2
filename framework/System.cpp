#include "framework/System.h"

#include <map>

#include "framework/SysUtils.h"
#include "framework/TypInfo.h"

namespace {

struct TClassRegistry {
  std::mutex mutex;
  std::map<std::string, const TClassInfo*> byName;  // upper-case names
};

TClassRegistry& Registry() {
  static TClassRegistry registry;
  return registry;
}

}  // namespace

TClassInfo::TClassInfo(const char* name, const TClassInfo* parent, TCreateFunc create,
                       TPublishFunc publish)
    : name_(name), parent_(parent), create_(create), publish_(publish) {
  RegisterClassInfo(this);
}

TClassInfo::~TClassInfo() = default;

bool TClassInfo::InheritsFrom(const TClassInfo* other) const {
  for (const TClassInfo* c = this; c != nullptr; c = c->parent_) {
    if (c == other) return true;
  }
  return false;
}

bool TClassInfo::ClassNameIs(const std::string& name) const { return SameText(name_, name); }

TObject* TClassInfo::CreateInstance(TObject* owner) const {
  if (create_ == nullptr) throw EInvalidOperation("Cannot create an instance of " + name_);
  return create_(owner);
}

const std::vector<std::unique_ptr<TPropInfo>>& TClassInfo::OwnProps() const {
  // Published lazily: the first lookup may come from any thread.
  std::call_once(published_, [this] {
    if (publish_ != nullptr) publish_(const_cast<TClassInfo&>(*this));
  });
  return props_;
}

TPropInfo& TClassInfo::AddProp(std::unique_ptr<TPropInfo> prop) {
  props_.push_back(std::move(prop));
  return *props_.back();
}

const TClassInfo* TObject::StaticClassInfo() {
  static const TClassInfo info("TObject", nullptr, nullptr, nullptr);
  return &info;
}

void RegisterClassInfo(const TClassInfo* cls) {
  if (cls == nullptr) return;
  TClassRegistry& r = Registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.byName[UpperCase(cls->ClassName())] = cls;
}

const TClassInfo* GetClass(const std::string& name) {
  TClassRegistry& r = Registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.byName.find(UpperCase(name));
  return it == r.byName.end() ? nullptr : it->second;
}

const TClassInfo* FindClass(const std::string& name) {
  const TClassInfo* cls = GetClass(name);
  if (cls == nullptr) throw EClassNotFound("Class " + name + " not found");
  return cls;
}

void RaiseInvalidCast() { throw EInvalidCast("Invalid class typecast"); }
