#include "skin/controls/sPageControlGeometry.h"

#include <algorithm>

namespace sPageControl {

namespace {
void Inflate(TRect& r, int dx, int dy) {
  r.Left -= dx;
  r.Right += dx;
  r.Top -= dy;
  r.Bottom += dy;
}
void Move(TRect& r, int dx, int dy) {
  r.Left += dx;
  r.Right += dx;
  r.Top += dy;
  r.Bottom += dy;
}
}  // namespace

TRect SkinTabRect(const TRect& item, TsTabSide side, bool active, bool tabStyle) {
  TRect r = item;
  if (!tabStyle || r.Left == r.Right) return r;
  if (active) {
    r.Bottom -= 1;
  } else {
    r.Bottom += 3;
    r.Right -= 1;
  }
  switch (side) {
    case TsTabSide::Top:
      if (active) Inflate(r, 2, 2);
      r.Bottom += 1;
      break;
    case TsTabSide::Bottom:
      if (active) {
        Inflate(r, 2, 1);
        r.Top -= 2;
        r.Bottom += 1;
      } else {
        r.Top -= 2;
        r.Bottom -= 3;
      }
      break;
    case TsTabSide::Left:
      Inflate(r, 0, 1);
      r.Right += 2;
      if (active) {
        Inflate(r, 1, 1);
      } else {
        r.Bottom -= 4;
        r.Right += 2;
      }
      break;
    case TsTabSide::Right:
      Inflate(r, 1, 0);
      Move(r, -1, -1);
      if (active) {
        Inflate(r, 1, 1);
        r.Bottom += 3;
      } else {
        r.Bottom -= 2;
      }
      break;
  }
  return r;
}

TRect TabsArea(TSize size, const TRect& display, TsTabSide side, bool hasTabs) {
  if (!hasTabs) return TRect{0, 0, size.cx, size.cy};
  switch (side) {
    case TsTabSide::Top:
      return TRect{0, 0, size.cx, display.Top - 4};
    case TsTabSide::Bottom:
      return TRect{0, display.Bottom + 1, size.cx, size.cy};
    case TsTabSide::Left:
      return TRect{0, 0, display.Left - 1, size.cy};
    case TsTabSide::Right:
      return TRect{display.Right + 1, 0, size.cx, size.cy};
  }
  return TRect{};
}

TRect BodyArea(TSize size, const TRect& display, TsTabSide side, bool hasTabs) {
  // Without tabs there is only the body.
  if (!hasTabs) return TRect{0, 0, size.cx, size.cy};
  switch (side) {
    case TsTabSide::Top:
      return TRect{0, display.Top - 4, size.cx, size.cy};
    case TsTabSide::Bottom:
      return TRect{0, 0, size.cx, display.Bottom + 1};
    case TsTabSide::Left:
      return TRect{display.Left - 1, 0, size.cx, size.cy};
    case TsTabSide::Right:
      return TRect{0, 0, display.Right + 1, size.cy};
  }
  return TRect{};
}

int TabRow(const TRect& item, const TRect& tabsArea, TsTabSide side, int rowCount) {
  if (rowCount <= 1) return 1;
  const bool across = side == TsTabSide::Top || side == TsTabSide::Bottom;
  const int extent = across ? tabsArea.Height() : tabsArea.Width();
  if (extent <= 0) return 1;
  const int centre = across ? (item.Top + item.Bottom) / 2 : (item.Left + item.Right) / 2;
  // Distance of the centre from the body's edge of the strip.
  int fromBody = 0;
  switch (side) {
    case TsTabSide::Top:
      fromBody = tabsArea.Bottom - centre;
      break;
    case TsTabSide::Bottom:
      fromBody = centre - tabsArea.Top;
      break;
    case TsTabSide::Left:
      fromBody = tabsArea.Right - centre;
      break;
    case TsTabSide::Right:
      fromBody = centre - tabsArea.Left;
      break;
  }
  return std::clamp(fromBody * rowCount / extent + 1, 1, rowCount);
}

TRect CloseButtonRect(const TRect& tab, int closeWidth, int closeHeight) {
  return TRect{tab.Right - closeWidth - 1, tab.Top + 1, tab.Right - 1, tab.Top + closeHeight + 1};
}

}  // namespace sPageControl
