#include "skin/forms/sTitleButtonStates.h"

namespace {

constexpr int Normal = 0, Hot = 1, Pressed = 2;

}  // namespace

std::vector<int> TsTitleButtonStates::SetHot(int hitCode) {
  std::vector<int> changed;
  if (hitCode == hot_ || (hot_ == -1 && hitCode == 0)) return changed;
  if (hot_ > 0) changed.push_back(hot_);
  hot_ = hitCode;
  state_ = hitCode > 0 ? Hot : Normal;
  pressed_ = false;
  if (hitCode > 0) changed.push_back(hitCode);
  return changed;
}

std::vector<int> TsTitleButtonStates::SetPressed(int hitCode, bool canAct) {
  std::vector<int> changed;
  if (hot_ > 0 && (hitCode != hot_ || !canAct)) changed.push_back(hot_);
  if (!canAct || hitCode <= 0) {
    hot_ = 0;
    state_ = Normal;
    pressed_ = false;
    return changed;
  }
  hot_ = hitCode;
  state_ = Pressed;
  pressed_ = true;
  changed.push_back(hitCode);
  return changed;
}

std::vector<int> TsTitleButtonStates::ShowPressed(bool over) {
  if (!pressed_ || hot_ <= 0) return {};
  const int wanted = over ? Pressed : Normal;
  if (state_ == wanted) return {};
  state_ = wanted;
  return {hot_};
}
