#include "skin/forms/skFormAnimSteps.h"

#include <algorithm>
#include <cmath>

int FadeStepAlpha(int steps) { return steps > 0 ? 255 / steps : 255; }

int FadeAlphaAt(int step, int steps) {
  if (steps <= 0) return 255;
  return std::clamp(FadeStepAlpha(steps) * step, 0, 255);
}

int MoveBlendStep(int time, int targetAlpha) {
  const int way = std::max(255 - targetAlpha, 0);
  if (time < 13) return way;
  // Rounded half to even, as the ticks are counted.
  return static_cast<int>(std::nearbyint(way / (time / 12.0)));
}

int NextMoveBlendAlpha(int alpha, int step, int targetAlpha) {
  if (alpha <= targetAlpha) return alpha;
  return std::max(alpha - std::max(step, 1), std::max(targetAlpha, 0));
}

int MinimizeSteps(int time) { return std::max(time, 0) / 12; }

TskTaskBarEdge TaskBarEdgeOf(const TRect& t) {
  if (t.Top != 0 && t.Left >= -4 && t.Left <= 0) return TskTaskBarEdge::Bottom;
  if (t.Top == 0 && t.Left == 0)
    return t.Width() > t.Height() ? TskTaskBarEdge::Top : TskTaskBarEdge::Left;
  return TskTaskBarEdge::Right;
}

TPoint TaskBarEdgePoint(const TRect& t, int centreX, int centreY) {
  switch (TaskBarEdgeOf(t)) {
    case TskTaskBarEdge::Left:
      return TPoint{t.Right, centreY};
    case TskTaskBarEdge::Right:
      return TPoint{t.Left, centreY};
    case TskTaskBarEdge::Top:
      return TPoint{centreX, t.Bottom};
    case TskTaskBarEdge::Bottom:
    default:
      return TPoint{centreX, t.Top};
  }
}

TRect TrayFallbackTarget(const TRect& w) {
  return TRect{w.Right - 48, w.Bottom - 24, w.Right - 8, w.Bottom};
}

TskMinimizeFrame MinimizeFrameAt(const TskMinimizePlan& plan, int step) {
  if (plan.Steps <= 0 || step >= plan.Steps) return TskMinimizeFrame{plan.Target, 0};
  step = std::max(step, 0);
  const double t = static_cast<double>(step) / plan.Steps;
  auto lerp = [t](int from, int to) {
    return static_cast<int>(std::lround(from + (to - from) * t));
  };
  const double startCX = (plan.Start.Left + plan.Start.Right) / 2.0;
  const double startCY = (plan.Start.Top + plan.Start.Bottom) / 2.0;
  const double targetCX = (plan.Target.Left + plan.Target.Right) / 2.0;
  const double targetCY = (plan.Target.Top + plan.Target.Bottom) / 2.0;
  const double cx = startCX + (targetCX - startCX) * t;
  const double cy = startCY + (targetCY - startCY) * t;
  const int w = lerp(plan.Start.Width(), plan.Target.Width());
  const int h = lerp(plan.Start.Height(), plan.Target.Height());
  const int left = static_cast<int>(std::lround(cx - w / 2.0));
  const int top = static_cast<int>(std::lround(cy - h / 2.0));
  const int alpha = std::clamp(lerp(plan.OpaqueAlpha, 0), 0, 255);
  return TskMinimizeFrame{TRect{left, top, left + w, top + h}, alpha};
}

TskToolbarButtonLayout ToolbarButtonLayout(bool process64) {
  // iBitmap, idCommand (4 bytes each), fsState, fsStyle, then padding to the pointer size
  // before dwData and iString.
  if (process64) return TskToolbarButtonLayout{32, 8, 9, 16, 8};
  return TskToolbarButtonLayout{20, 8, 9, 12, 4};
}

bool SkipsToolbarButton(uint8_t state, uint8_t style) {
  // BTNS_SEP, BTNS_GROUP, BTNS_DROPDOWN; TBSTATE_HIDDEN.
  return (style & 0x0D) != 0 || (state & 0x08) != 0;
}
