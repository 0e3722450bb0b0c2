#include "skin/adapters/skScrollBar.h"

#include <algorithm>

#include "framework/SysUtils.h"

int ResolveScrollBarSize(int value, int unit) { return value >= 0 ? value : -value * unit; }

TThumbGeometry GetThumbGeometry(const TskScrollBar& bar, const TRect& rect, int arrowLength) {
  const TScrollBarInfo& info = bar.Info;
  const int along = bar.IsVertical() ? rect.Height() : rect.Width();
  const int track = along - 2 * arrowLength;
  const int range = info.nMax - info.nMin + 1;
  const int page = static_cast<int>(info.nPage);
  TThumbGeometry thumb;
  if (page == 0)
    thumb.Length = arrowLength;
  else if (range > 0)
    thumb.Length = std::max(MulDiv(page, track, range), bar.MinThumbLength);
  int offset = 0;
  if (range > 0) {
    offset = MulDiv(info.nPos - info.nMin, track - thumb.Length, range - std::max(1, page));
    offset = std::clamp(offset, 0, std::max(0, track - thumb.Length));
  }
  thumb.Start = (bar.IsVertical() ? rect.Top : rect.Left) + arrowLength + offset;
  return thumb;
}

namespace {
// Hit test along one bar: `pos` along it, `first`/`last` its ends, `across` whether the point
// lies within the bar's thickness.
TScrollBarPart BarPartAlong(const TskScrollBar& bar, const TRect& rect, bool across, int pos,
                            int first, int last, int arrowLength) {
  if (!across) return TScrollBarPart::None;
  const int along = last - first;
  const int arrow = 2 * arrowLength < along ? arrowLength : along / 2;
  if (pos >= first && pos < first + arrow) return TScrollBarPart::FirstArrow;
  if (pos >= last - arrow && pos < last) return TScrollBarPart::SecondArrow;
  const TThumbGeometry thumb = GetThumbGeometry(bar, rect, arrowLength);
  if (thumb.Length >= along - 2 * arrowLength) return TScrollBarPart::None;
  if (pos >= thumb.Start && pos < thumb.Start + thumb.Length) return TScrollBarPart::Thumb;
  if (pos >= first + arrow && pos < thumb.Start) return TScrollBarPart::PageBefore;
  if (pos >= thumb.Start + thumb.Length && pos < last - arrow) return TScrollBarPart::PageAfter;
  return TScrollBarPart::None;
}

// The position a dragged thumb at `offset` into a track of `track` pixels stands for, kept
// within the positions the window accepts. `extra` is what the bar adds to the range.
int DragPosition(const TScrollBarInfo& info, int offset, int track, int thumbLength, int extra) {
  const int range = info.nMax - info.nMin;
  const int page = static_cast<int>(info.nPage);
  const int position =
      range < 1 ? offset : MulDiv(offset, range - page + extra, track - thumbLength);
  // Positions count from nMin and end where the last page starts: a window is never asked to
  // scroll past its range.
  const int last = std::max(info.nMin, info.nMax - std::max(1, page) + 1);
  return std::clamp(info.nMin + position, info.nMin, last);
}
}  // namespace

TScrollBarPart GetHorzBarPartAt(const TskScrollBar& bar, const TRect& rect, int y, int x,
                                int arrowLength) {
  return BarPartAlong(bar, rect, y >= rect.Top && y < rect.Bottom, x, rect.Left, rect.Right,
                      arrowLength);
}

TScrollBarPart GetVertBarPartAt(const TskScrollBar& bar, const TRect& rect, int y, int x,
                                int arrowLength) {
  return BarPartAlong(bar, rect, x >= rect.Left && x < rect.Right, y, rect.Top, rect.Bottom,
                      arrowLength);
}

TScrollBarPart GetBarPartAt(const TskScrollBar& bar, const TRect& rect, int y, int x,
                            int arrowLength) {
  return bar.IsVertical() ? GetVertBarPartAt(bar, rect, y, x, arrowLength)
                          : GetHorzBarPartAt(bar, rect, y, x, arrowLength);
}

TThumbDrag DragThumbH(const TskScrollBar& bar, const TRect& barRect, int mouse, int grabOffset,
                      int thumbLength, int arrowLength) {
  const int first = barRect.Left + arrowLength;
  const int last = barRect.Right - arrowLength;
  const int start = std::min(last - thumbLength, std::max(first, mouse - grabOffset));
  return {start, DragPosition(bar.Info, start - first, last - first, thumbLength, 1)};
}

TThumbDrag DragThumbV(const TskScrollBar& bar, const TRect& barRect, int mouse, int grabOffset,
                      int thumbLength, int arrowLength) {
  const int first = barRect.Top + arrowLength;
  const int last = barRect.Bottom - arrowLength;
  const int start = std::max(first, std::min(last - thumbLength, mouse - grabOffset));
  return {start, DragPosition(bar.Info, start - first, last - first, thumbLength, 2)};
}

TRect HorzBarRect(const TScrollBarLayout& l) {
  TRect r = l.Window;
  r.Bottom -= l.EdgeBottom;
  r.Top = r.Bottom - l.HorzThickness;
  if (l.LeftScrollBar) {
    r.Left += l.VertThickness + l.EdgeLeft;
    r.Right -= l.EdgeRight;
  } else {
    r.Left += l.EdgeLeft;
    r.Right -= l.VertThickness + l.EdgeRight;
  }
  return r;
}

TRect VertBarRect(const TScrollBarLayout& l) {
  TRect r = l.Window;
  r.Top += l.EdgeTop;
  r.Bottom -= l.HorzThickness + l.EdgeBottom;
  if (l.LeftScrollBar) {
    r.Left += l.EdgeLeft;
    r.Right = r.Left + l.VertThickness;
  } else {
    r.Right -= l.EdgeRight;
    r.Left = r.Right - l.VertThickness;
  }
  return r;
}

TRect CornerSquareRect(const TScrollBarLayout& l) {
  TRect r;
  r.Bottom = l.Window.Height() - l.EdgeBottom;
  r.Top = r.Bottom - l.HorzThickness;
  if (l.LeftScrollBar) {
    r.Left = l.EdgeLeft;
    r.Right = r.Left + l.VertThickness;
  } else {
    r.Right = l.Window.Width() - l.EdgeRight;
    r.Left = r.Right - l.VertThickness;
  }
  return r;
}
