#include "skin/forms/sVclUtils.h"

#include <algorithm>
#include <cmath>

bool IsPaintableGraphicChild(const TGraphicChildFacts& child) {
  if (!child.Visible && !child.Designing) return false;
  if (!child.Graphic || child.Width < 1 || child.Height < 1) return false;
  if (child.Designing && child.HiddenAtDesignTime) return false;
  if (child.Destroying || child.PushToolButton) return false;
  return child.BoundsVisibleInDC;
}

TClientRectInWindow ClientRectInWindow(const TClientPlacement& p) {
  const int x = p.ClientScreenX - p.WindowScreenX;
  const int y = p.ClientScreenY - p.WindowScreenY;
  return {x, y, x + p.ClientWidth, y + p.ClientHeight};
}

int AnimationFrames(int time) { return std::max(time, 0) / kAnimationFrameTime; }

TskAnimationSteps::TskAnimationSteps(TskAnimDirection direction, TskAnimType mode, int time,
                                     int value, int width, int height)
    : direction_(direction),
      mode_(mode),
      frames_(AnimationFrames(time)),
      value_(std::clamp(value, 0, 255)),
      width_(std::max(width, 0)),
      height_(std::max(height, 0)) {
  if (frames_ == 0) return;
  // A dialog's frame 0 already adds one step, so its N + 1 frames end exactly at the value.
  const int steps = direction_ == TskAnimDirection::DialogShow ? frames_ + 1 : frames_;
  step_ = static_cast<double>(value_) / steps;
}

TskAnimFrame TskAnimationSteps::FrameAt(int index) const {
  TskAnimFrame frame;
  frame.ImageRect = TRect{0, 0, width_, height_};
  if (frames_ == 0) {
    frame.Alpha = FinalAlpha();
    return frame;
  }
  index = std::clamp(index, 0, frames_);
  // Each frame takes its step before it is shown; the alpha is reckoned from the index, so
  // rounding never adds up.
  const double moved = step_ * (index + 1);
  if (direction_ == TskAnimDirection::Hide)
    frame.Alpha = static_cast<int>(std::lround(std::max(0.0, value_ - moved)));
  else
    frame.Alpha = static_cast<int>(std::lround(std::min<double>(value_, moved)));
  if (mode_ != atAero) return frame;
  // The zoom moves each edge by an eighth of the size over the N frames.
  const double dx = width_ / 8.0, dy = height_ / 8.0;
  const double share = static_cast<double>(index) / frames_;
  const double insetX = direction_ == TskAnimDirection::Hide ? dx * share : dx * (1 - share);
  const double insetY = direction_ == TskAnimDirection::Hide ? dy * share : dy * (1 - share);
  const TRect r{static_cast<int>(std::lround(insetX)), static_cast<int>(std::lround(insetY)),
                static_cast<int>(std::lround(width_ - insetX)),
                static_cast<int>(std::lround(height_ - insetY))};
  if (r.Left < 0 || r.Top < 0) return frame;
  frame.ImageRect = r;
  frame.Stretched = r.Width() != width_ || r.Height() != height_;
  return frame;
}

int TskAnimationSteps::FinalAlpha() const {
  return direction_ == TskAnimDirection::Hide ? 0 : value_;
}

int CrossFadeOldAlpha(int value, int alpha) { return std::clamp(3 * (value - alpha), 0, 255); }

int MixOldShareAt(int index, int frames) {
  if (frames <= 0) return 0;
  return std::max(0, 255 - index * (255 / frames));
}

int MixChannel(int oldValue, int newValue, int share) {
  // Never below 0: a weighted mean, rounded down as the pixel loop does.
  return ((oldValue - newValue) * share + newValue * 256) >> 8;
}

namespace {
IskAnimationFrameSink* FrameSink = nullptr;
}  // namespace

void SetAnimationFrameSink(IskAnimationFrameSink* sink) { FrameSink = sink; }

IskAnimationFrameSink* AnimationFrameSink() { return FrameSink; }
