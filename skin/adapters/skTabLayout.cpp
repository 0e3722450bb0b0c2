#include "skin/adapters/skTabLayout.h"

namespace {

TRect Inflated(TRect r, int dx, int dy) {
  return {r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy};
}
TRect Moved(TRect r, int dx, int dy) {
  return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

}  // namespace

TsTabPosition TabPosition(uint32_t style) {
  if ((style & tabbits::Vertical) == 0)
    return (style & tabbits::Bottom) ? TsTabPosition::Bottom : TsTabPosition::Top;
  return (style & tabbits::Bottom) ? TsTabPosition::Right : TsTabPosition::Left;
}

TsTabStyle TabStyleOf(uint32_t style) {
  if (style & tabbits::FlatButtons) return TsTabStyle::FlatButtons;
  if (style & tabbits::Buttons) return TsTabStyle::Buttons;
  return TsTabStyle::Tabs;
}

TRect TabDisplayRect(const TRect& adjusted) {
  TRect r = adjusted;
  r.Top += 2;
  return r;
}

TRect TabFrameRect(TSize size, bool hasTabs, TsTabPosition pos, const TRect& d) {
  TRect r{0, 0, size.cx, size.cy};
  if (!hasTabs) return r;
  switch (pos) {
    case TsTabPosition::Top:
      r.Top = d.Top - 4;
      break;
    case TsTabPosition::Bottom:
      r.Bottom = d.Bottom + 1;
      break;
    case TsTabPosition::Left:
      r.Left = d.Left - 1;
      break;
    case TsTabPosition::Right:
      r.Right = d.Right + 1;
      break;
  }
  return r;
}

TRect TabsArea(TSize size, bool hasTabs, TsTabPosition pos, const TRect& d) {
  TRect r{0, 0, size.cx, size.cy};
  if (!hasTabs) return r;
  switch (pos) {
    case TsTabPosition::Top:
      r.Bottom = d.Top - 4;
      break;
    case TsTabPosition::Bottom:
      r.Top = d.Bottom + 1;
      break;
    case TsTabPosition::Left:
      r.Right = d.Left - 1;
      break;
    case TsTabPosition::Right:
      r.Left = d.Right + 1;
      break;
  }
  return r;
}

TRect TabRect(const TRect& item, bool active, TsTabPosition pos, TsTabStyle style) {
  TRect r = item;
  if (style != TsTabStyle::Tabs || r.Width() == 0) return r;
  const int a = active ? 1 : 0;
  if (active) {
    r.Bottom -= 1;
  } else {
    r.Bottom += 3;
    r.Right -= 1;
  }
  switch (pos) {
    case TsTabPosition::Top:
      r = Inflated(r, 2 * a, 2 * a);
      r.Bottom += 1;
      break;
    case TsTabPosition::Bottom:
      r = Inflated(r, 2 * a, a);
      r.Top -= 2;
      r.Bottom += active ? 1 : -3;
      break;
    case TsTabPosition::Left:
      r = Inflated(r, 0, 1);
      r.Right += 2;
      if (active) {
        r = Inflated(r, 1, 1);
      } else {
        r.Bottom -= 4;
        r.Right += 2;
      }
      break;
    case TsTabPosition::Right:
      r = Moved(Inflated(r, 1, 0), -1, -1);
      if (active) {
        r = Inflated(r, 1, 1);
        r.Bottom += 3;
      } else {
        r.Bottom -= 2;
      }
      break;
  }
  return r;
}

int TabRow(const TRect& item, int rows, TsTabPosition pos, const TRect& area) {
  if (rows < 2) return 1;
  const int w = item.Width(), h = item.Height();
  const bool across = pos == TsTabPosition::Left || pos == TsTabPosition::Right;
  // A hidden or empty tab reports an empty rectangle: dividing by its size would crash.
  if ((across && w <= 0) || (!across && h <= 0)) return 1;
  switch (pos) {
    case TsTabPosition::Top:
      return (item.Bottom + h / 2) / h;
    case TsTabPosition::Left:
      return (item.Right + w / 2) / w;
    case TsTabPosition::Right:
      return rows - (item.Right + w / 2 - area.Left) / w + 1;
    case TsTabPosition::Bottom:
      return rows - (item.Bottom + h / 2 - area.Top) / h + 1;
  }
  return 1;
}

TPoint TabImagePos(const TRect& tab, TSize icon, int textWidth) {
  return {tab.Left + (tab.Width() - (textWidth + icon.cx + 8)) / 2,
          tab.Top + (tab.Height() - icon.cy) / 2};
}

std::string PageSectionName(bool hasTabs, const std::string& ownSection, TsTabPosition pos) {
  if (!hasTabs) return "CHECKBOX";
  if (!ownSection.empty() && ownSection != "PAGECONTROL") return ownSection;
  switch (pos) {
    case TsTabPosition::Bottom:
      return "PAGECONTROLBOTTOM";
    case TsTabPosition::Left:
      return "PAGECONTROLLEFT";
    case TsTabPosition::Right:
      return "PAGECONTROLRIGHT";
    default:
      return "PAGECONTROL";
  }
}

std::string TabSectionName(TsTabPosition pos, TsTabStyle style) {
  if (style == TsTabStyle::Buttons) return "BUTTON";
  if (style == TsTabStyle::FlatButtons) return "TOOLBUTTON";
  switch (pos) {
    case TsTabPosition::Bottom:
      return "TABBOTTOM";
    case TsTabPosition::Left:
      return "TABLEFT";
    case TsTabPosition::Right:
      return "TABRIGHT";
    default:
      return "TABTOP";
  }
}
