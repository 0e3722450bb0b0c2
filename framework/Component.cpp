#include "framework/Component.h"

#include <algorithm>

#include "framework/SysUtils.h"
#include "framework/TypInfo.h"

// ---- TPersistent --------------------------------------------------------------------------

void TPersistent::Assign(TPersistent* source) {
  if (source != nullptr) {
    source->AssignTo(this);
  } else {
    AssignError(nullptr);
  }
}

void TPersistent::AssignTo(TPersistent* dest) { dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* source) {
  const std::string sourceName = source != nullptr ? source->ClassName() : "nil";
  throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName() + ".");
}

// ---- TComponent ---------------------------------------------------------------------------

K_PUBLISH(TComponent) {
  p.Prop("Name", &TComponent::Name, &TComponent::SetName);
  p.Prop("Tag", &TComponent::Tag, &TComponent::SetTag);
}

TComponent::TComponent(TComponent* owner) {
  if (owner != nullptr) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  SendFreeNotifications();
  DestroyComponents();
  if (owner_ != nullptr) {
    try {
      owner_->RemoveComponent(this);
    } catch (...) {
      // A destructor lets nothing through; the list entry goes regardless.
      owner_->Remove(this);
    }
  }
}

void TComponent::SendFreeNotifications() {
  Destroying();
  // Whoever asked to hear of our end hears it now, while our address is still meaningful.
  while (!freeNotifies_.empty()) {
    TComponent* c = freeNotifies_.back();
    freeNotifies_.pop_back();
    auto& back = c->freeNotifies_;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    NotifyNoThrow(c, this, opRemove);
  }
}

void TComponent::NotifyNoThrow(TComponent* target, TComponent* c, TOperation operation) {
  try {
    target->Notification(c, operation);
  } catch (...) {
    // Runs during destruction: a failing listener must not stop the others.
  }
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty()) {
    bool valid = !(name[0] >= '0' && name[0] <= '9');
    for (char c : name) {
      if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
        valid = false;
    }
    if (!valid) throw EComponentError("'" + name + "' is not a valid component name");
    if (owner_ != nullptr) {
      TComponent* other = owner_->FindComponent(name);
      if (other != nullptr && other != this)
        throw EComponentError("A component named " + name + " already exists");
    }
  }
  name_ = name;
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EListError(Format("List index out of bounds (%d)", index));
  return components_[index];
}

int TComponent::ComponentIndex() const {
  if (owner_ == nullptr) return -1;
  const auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_) {
    if (SameText(c->name_, name)) return c;
  }
  return nullptr;
}

void TComponent::Insert(TComponent* c) {
  components_.push_back(c);
  c->owner_ = this;
}

void TComponent::Remove(TComponent* c) {
  components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
  c->owner_ = nullptr;
}

void TComponent::InsertComponent(TComponent* c) {
  if (c == nullptr || c->owner_ == this) return;
  if (!c->name_.empty()) {
    TComponent* other = FindComponent(c->name_);
    if (other != nullptr)
      throw EComponentError("A component named " + c->name_ + " already exists");
  }
  if (c->owner_ != nullptr) c->owner_->RemoveComponent(c);
  Insert(c);
  Notification(c, opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
  if (c == nullptr || c->owner_ != this) return;
  // Notification first: listeners still see `c` in its owner while they let go of it.
  Notification(c, opRemove);
  Remove(c);
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* c = components_.back();
    // Leave quietly: the owner is going too, and its siblings hear of `c` through their
    // free notifications if they asked for them.
    Remove(c);
    delete c;
  }
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_ += csDestroying;
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::SetDesigning(bool value, bool setChildren) {
  if (value) {
    state_ += csDesigning;
  } else {
    state_ -= csDesigning;
  }
  if (setChildren) {
    for (TComponent* c : components_) c->SetDesigning(value, true);
  }
}

void TComponent::FreeNotification(TComponent* c) {
  if (c == nullptr || c == this) return;
  state_ += csFreeNotification;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), c) == freeNotifies_.end())
    freeNotifies_.push_back(c);
  auto& back = c->freeNotifies_;
  if (std::find(back.begin(), back.end(), this) == back.end()) back.push_back(this);
  c->state_ += csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* c) {
  if (c == nullptr) return;
  freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), c),
                      freeNotifies_.end());
  auto& back = c->freeNotifies_;
  back.erase(std::remove(back.begin(), back.end(), this), back.end());
}

void TComponent::Notification(TComponent* c, TOperation operation) {
  if (operation == opRemove && c != nullptr) RemoveFreeNotification(c);
  // Copy: a listener may free or add components while it hears the notice.
  std::vector<TComponent*> owned = components_;
  for (TComponent* child : owned) {
    if (std::find(components_.begin(), components_.end(), child) != components_.end()) {
      child->Notification(c, operation);
    }
  }
}

void TComponent::CollectForLoading(std::vector<TComponent*>& out) {
  out.push_back(this);
  for (TComponent* c : components_) c->CollectForLoading(out);
}

void TComponent::BeginLoading() {
  std::vector<TComponent*> all;
  CollectForLoading(all);
  for (TComponent* c : all) c->state_ += TComponentState{csLoading, csReading};
}

void TComponent::EndLoading() {
  std::vector<TComponent*> all;
  CollectForLoading(all);
  for (TComponent* c : all) c->state_ -= csReading;
  for (TComponent* c : all) {
    if (c->state_.Contains(csLoading)) c->Loaded();
  }
}

void TComponent::Loaded() { state_ -= csLoading; }
