#include "skin/forms/skMoveTimerWin32.h"

#include "skin/forms/skFormAnimSteps.h"

namespace {
constexpr uint32_t BlendInterval = 12;
}  // namespace

TskMoveTimer::TskMoveTimer(int formAlpha, int targetAlpha, int time,
                           std::function<void(int alpha)> showAlpha)
    : TskThreadedTimer(nullptr, nullptr, true),
      formAlpha_(formAlpha),
      targetAlpha_(targetAlpha),
      alphaStep_(MoveBlendStep(time, targetAlpha)),
      showAlpha_(std::move(showAlpha)) {
  SetInterval(BlendInterval);
}

TskMoveTimer::~TskMoveTimer() {
  // No tick may run into a provider that is ending the drag.
  SetEnabled(false);
}

void TskMoveTimer::Tick() {
  if (!Enabled()) return;
  if (showAlpha_) showAlpha_(formAlpha_);
  formAlpha_ = NextMoveBlendAlpha(formAlpha_, alphaStep_, targetAlpha_);
}
