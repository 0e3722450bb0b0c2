// Hears of one component's freeing, for an object that is no component itself (a handler or
// an adapter holding a control it does not own): the callback runs while the component is
// being freed, and the watch ends then.
#pragma once

#include <functional>

#include "framework/Component.h"

class TskComponentWatch : public TComponent {
 public:
  explicit TskComponentWatch(std::function<void()> freed);
  ~TskComponentWatch() override;
  // Watches `c` from now on (null: nothing); the one watched before is let go.
  void Watch(TComponent* c);
  TComponent* Watched() const { return watched_; }

 protected:
  void Notification(TComponent* c, TOperation operation) override;

 private:
  std::function<void()> freed_;
  TComponent* watched_ = nullptr;
};
