// The blend of a skinned form while it is dragged by its title: from the form's own alpha
// down to the skin manager's blend value, one step per 12 ms tick, so that the form fades
// within the blend's time and stays faded while it moves. Its ticks come from a threaded
// timer and so keep coming while the system's move loop runs on the main thread.
#pragma once

#include <functional>

#include "skin/core/runtime/skThdTimer.h"

class TskMoveTimer : public TskThreadedTimer {
  K_CLASS(TskMoveTimer, TskThreadedTimer)

 public:
  // `showAlpha` shows the form at an alpha (on the main thread); `time` is the blend's time
  // in milliseconds (12 or less: the whole way in one step).
  TskMoveTimer(int formAlpha, int targetAlpha, int time, std::function<void(int alpha)> showAlpha);
  ~TskMoveTimer() override;

  void Tick() override;
  int FormAlpha() const { return formAlpha_; }
  int TargetAlpha() const { return targetAlpha_; }
  int AlphaStep() const { return alphaStep_; }

 private:
  int formAlpha_;
  int targetAlpha_;
  int alphaStep_;
  std::function<void(int)> showAlpha_;
};
