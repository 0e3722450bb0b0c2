#include "skin/controls/sUpDownGeometry.h"

namespace sUpDown {

namespace {
bool Inside(const TRect& r, TPoint p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}
}  // namespace

TsUpDownHalves UpDownHalves(TSize size, bool vertical) {
  if (vertical) {
    const int split = size.cy / 2;
    return {TRect{0, 0, size.cx, split}, TRect{0, split, size.cx, size.cy}};
  }
  const int split = size.cx / 2;
  return {TRect{0, 0, split, size.cy}, TRect{split, 0, size.cx, size.cy}};
}

int HalfLimit(bool firstHalf, bool vertical, const TsUpDownRange& range) {
  return firstHalf == vertical ? range.Max : range.Min;
}

bool HalfAtLimit(bool firstHalf, bool vertical, const TsUpDownRange& range) {
  // The whole 32-bit position is compared: a range beyond 16 bits reaches its limit too.
  return range.Position == HalfLimit(firstHalf, vertical, range);
}

TsBlockedHalves BlockedHalves(bool showInaccessibility, bool vertical, const TsUpDownRange& range) {
  if (!showInaccessibility) return {};
  return {HalfAtLimit(true, vertical, range), HalfAtLimit(false, vertical, range)};
}

TsUpDownLook LookUnderMouse(TPoint p, TSize size, bool vertical, TsBlockedHalves blocked) {
  const TsUpDownHalves halves = UpDownHalves(size, vertical);
  if (Inside(halves.First, p)) return blocked.First ? udlNone : udlFirstHot;
  if (Inside(halves.Second, p)) return blocked.Second ? udlNone : udlSecondHot;
  return udlNone;
}

TsUpDownLook LookAfterPress(TsUpDownLook look, TsBlockedHalves blocked) {
  if (look == udlFirstHot && !blocked.First) return udlFirstPressed;
  if (look == udlSecondHot && !blocked.Second) return udlSecondPressed;
  return look;
}

TsUpDownLook LookAfterRelease(TsUpDownLook look, TsBlockedHalves blocked) {
  // A half the press brought to its limit shows neither pressed nor hot any more.
  if (look == udlFirstPressed) return blocked.First ? udlNone : udlFirstHot;
  if (look == udlSecondPressed) return blocked.Second ? udlNone : udlSecondHot;
  return look;
}

int HalfPaintState(TsUpDownLook look, bool firstHalf) {
  if (look == (firstHalf ? udlFirstHot : udlSecondHot)) return 1;
  if (look == (firstHalf ? udlFirstPressed : udlSecondPressed)) return 2;
  return 0;
}

}  // namespace sUpDown
