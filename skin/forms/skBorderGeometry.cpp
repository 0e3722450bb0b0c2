#include "skin/forms/skBorderGeometry.h"

#include <algorithm>

namespace {

// The hit-test codes, as the system numbers them.
enum : int {
  HitNowhere = 0,
  HitCaption = 2,
  HitSysMenu = 3,
  HitMenu = 5,
  HitLeft = 10,
  HitRight = 11,
  HitTop = 12,
  HitTopLeft = 13,
  HitTopRight = 14,
  HitBottom = 15,
  HitBottomLeft = 16,
  HitBottomRight = 17,
};

bool HasCaption(const TsFormFacts& f) { return HasFrame(f) && f.CaptionBits; }

bool Inside(const TRect& r, TPoint p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

}  // namespace

int GetOwnerOffsetX(const TsFormFacts& f) {
  return GetBorderWidth(f, true) + GetShadowMargins(f).Left - GetBorderWidth(f, false);
}

int GetOwnerOffsetY(const TsFormFacts& f) {
  const int frame = GetBorderWidth(f, false);
  if (f.CompactMaxTitle) return frame + GetShadowMargins(f).Top + GetExTitleDelta(f);
  if (!HasCaption(f)) return GetShadowMargins(f).Top - frame;
  return GetShadowMargins(f).Top + GetCaptionHeight(f, true) - frame - GetCaptionHeight(f, false);
}

TskBorderPlacement PlaceBorderWindow(const TsFormFacts& f, const TRect& ownerRect, TSize imageSize,
                                     bool composition) {
  TskBorderPlacement p;
  const int x = ownerRect.Left - GetOwnerOffsetX(f);
  const int y = ownerRect.Top - GetOwnerOffsetY(f);
  p.ShownSize = imageSize;
  if (f.Maximized) {
    const int inset = composition ? 5 : 0;
    p.ShownSize.cy =
        std::max(imageSize.cy - GetShadowMargins(f).Bottom - GetBorderWidth(f, true) - inset, 0);
  }
  p.Bounds = TRect{x, y, x + p.ShownSize.cx, y + p.ShownSize.cy};
  return p;
}

TskBorderRegion PlanBorderRegion(const TsFormFacts& f, TSize windowSize, bool wholeImage) {
  TskBorderRegion r;
  const TRect s = GetShadowMargins(f);
  if (f.Maximized) {
    const int frame = GetBorderWidth(f, false), delta = GetExBorderDelta(f);
    r.Bounds = TRect{frame + delta + s.Left, s.Top + 4, windowSize.cx - frame - delta - s.Right,
                     windowSize.cy - frame - delta - s.Bottom};
  } else {
    r.Bounds = TRect{0, 0, windowSize.cx, windowSize.cy};
  }
  if (wholeImage) return r;
  // The menu line lies in the hole as well: the owner window paints it.
  const int menu = f.MenuLines > 0 ? f.MenuLines * GetMenuLineHeight(f) + 1 : 0;
  const int x = GetClientOffsetX(f), y = GetClientOffsetY(f);
  r.Hole = TRect{x, y - menu, x + f.ClientWidth, y + f.ClientHeight};
  if (r.Hole.Width() <= 0 || r.Hole.Height() <= 0) r.Hole = TRect{};
  return r;
}

bool IsOutsideFrame(const TsFormFacts& f, TSize windowSize, TPoint p) {
  if (f.Maximized) return false;
  const TRect s = GetShadowMargins(f);
  return p.Y < s.Top || p.Y >= windowSize.cy - s.Bottom || p.X < s.Left ||
         p.X >= windowSize.cx - s.Right;
}

int BorderHitTest(const TsFormFacts& f, TSize windowSize, TPoint p,
                  const TskBorderHitFacts& owner) {
  if (owner.ButtonCode != 0) return owner.ButtonCode;
  const TRect s = GetShadowMargins(f);
  const int frame = GetBorderWidth(f, false);
  if (!f.Maximized && f.ThickFrame) {
    // The bands are as wide as the owner's own sizing frame, bounds included.
    const bool top = p.Y >= s.Top && p.Y <= s.Top + frame;
    const bool bottom = p.Y >= windowSize.cy - frame - s.Bottom && p.Y <= windowSize.cy - s.Bottom;
    const bool left = p.X >= s.Left && p.X <= s.Left + frame;
    const bool right = p.X >= windowSize.cx - frame - s.Right && p.X <= windowSize.cx - s.Right;
    if (left) return top ? HitTopLeft : bottom ? HitBottomLeft : HitLeft;
    if (right) return top ? HitTopRight : bottom ? HitBottomRight : HitRight;
    if (bottom) return HitBottom;
    if (top) return HitTop;
  }
  const int titleBottom = GetTitleBottom(f);
  if (p.Y >= 0 && p.Y < titleBottom) return Inside(owner.IconRect, p) ? HitSysMenu : HitCaption;
  const int menu = f.MenuLines > 0 ? f.MenuLines * GetMenuLineHeight(f) + 1 : 0;
  if (p.Y < titleBottom + menu) return HitMenu;
  if (owner.GripAt) return HitBottomRight;
  return HitNowhere;
}

TskStretchAxis StretchAxisOf(int code) {
  switch (code) {
    case HitLeft:
    case HitRight:
      return TskStretchAxis::Width;
    case HitTop:
    case HitBottom:
      return TskStretchAxis::Height;
    default:
      return TskStretchAxis::None;
  }
}

TRect StretchOwner(const TsFormFacts& f, const TRect& owner, const TRect& workArea,
                   TskStretchAxis axis) {
  const int border = GetExBorderDelta(f);
  TRect r = owner;
  if (axis == TskStretchAxis::Width) {
    r.Left = workArea.Left + border;
    r.Right = workArea.Right - border;
  } else if (axis == TskStretchAxis::Height) {
    r.Top = workArea.Top + GetExTitleDelta(f);
    r.Bottom = workArea.Bottom - border;
  }
  return r;
}

namespace {

int StartOf(const TRect& r, TskStretchAxis axis) {
  return axis == TskStretchAxis::Width ? r.Left : r.Top;
}
int LengthOf(const TRect& r, TskStretchAxis axis) {
  return axis == TskStretchAxis::Width ? r.Width() : r.Height();
}
TRect WithSpan(TRect r, TskStretchAxis axis, int start, int length) {
  if (axis == TskStretchAxis::Width) {
    r.Left = start;
    r.Right = start + length;
  } else {
    r.Top = start;
    r.Bottom = start + length;
  }
  return r;
}

}  // namespace

bool TskEdgeStretch::Stretched(TskStretchAxis axis, const TRect& owner) const {
  if (axis == TskStretchAxis::None) return false;
  const TSaved& saved = SavedFor(axis);
  return saved.Active && StartOf(owner, axis) == saved.StretchedStart &&
         LengthOf(owner, axis) == saved.StretchedLength;
}

TRect TskEdgeStretch::Toggle(const TsFormFacts& f, const TRect& owner, const TRect& workArea,
                             TskStretchAxis axis) {
  if (axis == TskStretchAxis::None) return owner;
  TSaved& saved = SavedFor(axis);
  if (Stretched(axis, owner)) {
    saved.Active = false;
    return WithSpan(owner, axis, saved.Start, saved.Length);
  }
  const TRect stretched = StretchOwner(f, owner, workArea, axis);
  saved = TSaved{true, StartOf(owner, axis), LengthOf(owner, axis), StartOf(stretched, axis),
                 LengthOf(stretched, axis)};
  return stretched;
}
