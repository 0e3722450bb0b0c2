#include "skin/adapters/skComponentWatch.h"

#include <utility>

TskComponentWatch::TskComponentWatch(std::function<void()> freed)
    : TComponent(nullptr), freed_(std::move(freed)) {}

TskComponentWatch::~TskComponentWatch() { Watch(nullptr); }

void TskComponentWatch::Watch(TComponent* c) {
  if (watched_ == c) return;
  if (watched_) watched_->RemoveFreeNotification(this);
  watched_ = c;
  if (watched_) watched_->FreeNotification(this);
}

void TskComponentWatch::Notification(TComponent* c, TOperation operation) {
  TComponent::Notification(c, operation);
  if (operation != opRemove || c != watched_ || !c) return;
  watched_ = nullptr;
  if (freed_) freed_();
}
