#include "skin/controls/sBevelGeometry.h"

namespace {
// The width of the frame strips a skin's border masks give the lines.
constexpr int kStrip = 3;
}  // namespace

std::string BevelSection(TsBevelLines lines, bool raised) {
  if (lines == TsBevelLines::Frame) return "GROUPBOX";
  return raised ? "PANEL" : "PANEL_LOW";
}

std::vector<TRect> BevelStrips(TsBevelLines lines, int width, int height) {
  std::vector<TRect> strips;
  switch (lines) {
    case TsBevelLines::Box:
    case TsBevelLines::Frame:
      strips = {TRect{0, 0, width, kStrip}, TRect{0, height - kStrip, width, height},
                TRect{0, kStrip, kStrip, height - kStrip},
                TRect{width - kStrip, kStrip, width, height - kStrip}};
      break;
    case TsBevelLines::TopLine:
      strips = {TRect{kStrip, 0, width - kStrip, kStrip}};
      break;
    case TsBevelLines::BottomLine:
      strips = {TRect{kStrip, height - kStrip, width - kStrip, height}};
      break;
    case TsBevelLines::LeftLine:
      strips = {TRect{0, kStrip, kStrip, height - kStrip}};
      break;
    case TsBevelLines::RightLine:
      strips = {TRect{width - kStrip, kStrip, width, height - kStrip}};
      break;
    case TsBevelLines::Spacer:
      break;
  }
  std::erase_if(strips, [](const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; });
  return strips;
}
