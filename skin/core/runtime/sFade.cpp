// Cross-fade steps of skinned controls.
#include "skin/core/runtime/sFade.h"

#include <algorithm>

#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sSkinManager.h"

int FadeTimerCount = 0;
bool FadesStopped = false;

bool IsAnimEventActive(TskAnimatEvent event, TskAnimatEvents events, TsSkinManager* manager) {
  if (events.Contains(event)) return true;
  if (!events.Contains(aeGlobalDef)) return false;
  if (!manager) manager = DefaultManager;
  if (!manager) return false;
  static constexpr TskBtnEvent mapped[] = {beMouseEnter, beMouseLeave, beMouseDown, beMouseUp,
                                           beMouseUp};
  return manager->AnimEffects()->Buttons.Events.Contains(mapped[event]);
}

uint8_t FadeWeight(int step, int count) {
  if (count <= 0) return 0;
  return static_cast<uint8_t>(
      std::clamp(255 - int64_t{step} * 256 / count, int64_t{0}, int64_t{255}));
}

int FadeStepCount(int iterations, bool pressed) {
  return std::max(pressed ? iterations / 2 : iterations, 0);
}

TsFadeSteps::TsFadeSteps() { ++FadeTimerCount; }
TsFadeSteps::~TsFadeSteps() { --FadeTimerCount; }

void TsFadeSteps::Prepare(IFadeHost* host, const TBitmap& startImage, int iterations,
                          bool pressed) {
  host_ = host;
  start_ = CreateBmp32(startImage.Width(), startImage.Height());
  BlendBitmapRect(start_.get(), &startImage, 0, TPoint{0, 0},
                  TRect{0, 0, startImage.Width(), startImage.Height()});
  StepCount = FadeStepCount(iterations, pressed);
  if (Step >= StepCount || Step <= 0) Step = 1;
  running_ = true;
}

bool TsFadeSteps::IsFinished() {
  if (!running_) return true;
  // A control that is gone, or a session that ends, stops the fade at once: nothing would
  // ever end it otherwise, and log-off waits for every fade.
  if (!host_ || !host_->Alive() || FadesStopped) {
    running_ = false;
    return true;
  }
  if (Step >= 0 && Step <= StepCount) return false;
  running_ = false;
  host_->FadeEnded();
  return true;
}

void TsFadeSteps::FadeStep() {
  if (!running_ || !host_ || !host_->Alive() || StepCount == 0 || FadesStopped) return;
  if (!host_->Enabled()) {
    running_ = false;
    StepCount = 0;
    host_->Invalidate();
    return;
  }
  const TBitmap* cache = host_->CacheBitmap();
  if (cache && start_ && cache->Width() == start_->Width() && cache->Height() == start_->Height()) {
    if (!frame_ || frame_->Width() != cache->Width() || frame_->Height() != cache->Height())
      frame_ = CreateBmp32(cache->Width(), cache->Height());
    const TRect whole{0, 0, cache->Width(), cache->Height()};
    BlendBitmapRect(frame_.get(), start_.get(), 0, TPoint{0, 0}, whole);
    BlendBitmapRect(frame_.get(), cache, FadeWeight(Step, StepCount), TPoint{0, 0}, whole);
    host_->ShowFrame(*frame_);
  }
  ++Step;
}

bool TsFadeSteps::Tick() {
  if (IsFinished()) return false;
  FadeStep();
  return running_;
}
