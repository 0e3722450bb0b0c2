#include "skin/forms/sFrameMetrics.h"

#include <algorithm>

#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

bool IsToolWindow(const TsFormFacts& f) {
  return f.Border == TsFrameBorder::ToolWindow || f.Border == TsFrameBorder::SizeToolWin;
}

bool SmallImage(const TsFormFacts& f) { return f.Minimized && !f.MainForm; }

// num / den rounded to the nearest integer, halves to even (den > 0, num >= 0).
int RoundHalfEven(long long num, long long den) {
  long long q = num / den;
  const long long twice = 2 * (num % den);
  if (twice > den || (twice == den && (q & 1))) ++q;
  return static_cast<int>(q);
}

}  // namespace

bool HasFrame(const TsFormFacts& f) {
  return f.Border != TsFrameBorder::None || f.ChildBit || f.MdiChild;
}

int GetBorderWidth(const TsFormFacts& f, bool extended) {
  if (extended && f.BorderWindow && f.Skin.BorderWidth != 0) return f.Skin.BorderWidth;
  if (f.ThickFrame) return f.Metrics.CxFrame;
  if (f.BorderBit) return f.Metrics.CxDlgFrame;
  return 0;
}

int GetStdBorderWidth(const TsFormFacts& f, bool extended) {
  return f.BorderWindow ? 0 : GetBorderWidth(f, extended);
}

int GetFrameWidth(const TsFormFacts& f, bool extended) {
  return GetStdBorderWidth(f, extended) + f.FormBorderWidth;
}

int GetExtFrameWidth(const TsFormFacts& f, bool extended) {
  return GetBorderWidth(f, extended) + f.FormBorderWidth;
}

int GetCaptionHeight(const TsFormFacts& f, bool extended) {
  if (!f.Minimized && !(HasFrame(f) && f.CaptionBits)) return 0;
  const int h = extended && f.BorderWindow ? f.Skin.TitleHeight : 0;
  // A minimized tool window shows the ordinary caption.
  const int s = IsToolWindow(f) && !f.Minimized ? f.Metrics.CySmCaption : f.Metrics.CyCaption;
  if (f.CompactMaxTitle) return std::max(h, s + 4);
  return h != 0 ? h : s;
}

TRect GetShadowMargins(const TsFormFacts& f) { return f.BorderWindow ? f.ShadowMargins : TRect{}; }

int GetExBorderDelta(const TsFormFacts& f) {
  return f.BorderWindow ? GetBorderWidth(f, true) - GetBorderWidth(f, false) : 0;
}

int GetExTitleDelta(const TsFormFacts& f) {
  if (!f.BorderWindow) return 0;
  return GetCaptionHeight(f, true) - GetCaptionHeight(f, false) - GetBorderWidth(f, false);
}

int GetImageWidth(const TsFormFacts& f) {
  const TRect s = GetShadowMargins(f);
  if (SmallImage(f)) return f.Width + s.Left + s.Right;
  return f.Width + 2 * GetExBorderDelta(f) + s.Left + s.Right;
}

int GetImageHeight(const TsFormFacts& f) {
  if (SmallImage(f)) return GetFrameWidth(f, false) + GetCaptionHeight(f, false) + 2;
  if (!f.BorderWindow) return f.Height;
  const TRect s = GetShadowMargins(f);
  return f.Height + GetExBorderDelta(f) + GetExTitleDelta(f) + s.Top + s.Bottom +
         (f.MenuLines > 0 ? 1 : 0);
}

int GetMenuLineHeight(const TsFormFacts& f) { return f.MenuLines > 0 ? f.Metrics.CyMenu - 1 : 0; }

int GetHeaderHeight(const TsFormFacts& f) {
  if (f.BorderWindow) return GetCaptionHeight(f, true);
  int h = f.Height - f.ClientHeight;
  if (f.CaptionBits || f.BorderBit) h -= GetFrameWidth(f, true);
  h = std::max(h, 0);
  if (f.Minimized) h += GetStdBorderWidth(f, false);
  return h;
}

int GetClientOffsetX(const TsFormFacts& f) {
  if (f.BorderWindow) return GetExtFrameWidth(f, true) + GetShadowMargins(f).Left;
  return (f.Width - f.ClientWidth) / 2;
}

int GetClientOffsetY(const TsFormFacts& f) {
  const int lineHeight = GetMenuLineHeight(f);
  if (f.BorderWindow)
    return GetCaptionHeight(f, true) + f.MenuLines * lineHeight + f.FormBorderWidth +
           GetShadowMargins(f).Top + (lineHeight > 0 ? 1 : 0);
  return f.Height - f.ClientHeight - (f.BorderBit ? GetExtFrameWidth(f, true) : 0);
}

int GetTitleBottom(const TsFormFacts& f) {
  return GetStdBorderWidth(f, false) + GetCaptionHeight(f, true) + GetShadowMargins(f).Top;
}

bool HasBigButtons(const TsFormFacts& f) {
  return f.Border == TsFrameBorder::Single || f.Border == TsFrameBorder::Sizeable;
}

int IconSizeForHeight(int height) {
  if (height >= -100 && height <= 8) return 1;
  if (height >= 9 && height <= 16) return 8;
  return 16;
}

std::vector<TsFrameCopy> FrameCopyRects(const TsFormFacts& f) {
  const int F = GetFrameWidth(f, false);
  const int E = GetExtFrameWidth(f, false);
  const int W = GetImageWidth(f);
  const int H = GetImageHeight(f);
  const int Y = f.CaptionBits ? GetHeaderHeight(f) : F;
  const int menu = f.MenuLines > 0 ? f.MenuLines * GetMenuLineHeight(f) + 1 : 0;
  const int S = (f.Minimized ? 1 : 0) + GetStdBorderWidth(f, false) + GetCaptionHeight(f, false) +
                menu + f.FormBorderWidth;
  return {
      {TRect{0, 0, W, Y}, TPoint{0, 0}},
      {TRect{0, Y, E, H}, TPoint{0, S}},
      {TRect{E, f.Height - F, W, f.Height},
       TPoint{GetBorderWidth(f, true) + f.FormBorderWidth, f.Height - F}},
      {TRect{W - E, Y, W - E + F, H}, TPoint{W - E, S}},
  };
}

TsRegionPlan PlanFormRegion(const TsFormFacts& f, const std::vector<TRect>& holes) {
  TsRegionPlan plan;
  if (!HasFrame(f) && !f.Minimized && !f.ThickFrame) return plan;
  plan.Kind = TsRegionKind::Shape;
  if (f.BorderWindow) {
    const int b = GetBorderWidth(f, false);
    const int t = b + GetCaptionHeight(f, false) - (f.CompactMaxTitle ? 4 : 0);
    plan.Bounds = TRect{b, t, f.Width - b, f.Height - b};
  } else if (f.Maximized && !f.HasMaxConstraints && !f.MdiChild) {
    // The system places a maximized window's border beyond the screen: cut it off, or it
    // would show on a neighbouring monitor.
    const int b = GetBorderWidth(f, false), s = GetStdBorderWidth(f, false);
    plan.Bounds = TRect{b, s, f.Width - b, f.Height - s};
  } else {
    plan.Bounds = TRect{0, 0, GetImageWidth(f), f.Height};
    plan.Holes = holes;
  }
  // A region that is the whole window shapes nothing: none is cheaper, as the system then
  // need not clip every paint of a resize to it.
  if (plan.Holes.empty() && plan.Bounds == TRect{0, 0, f.Width, f.Height}) {
    plan.Kind = TsRegionKind::Remove;
    plan.Bounds = TRect{};
  }
  return plan;
}

std::vector<TsCornerRun> CollectCornerRuns(const TsSkinManager& manager, int formMask,
                                           int titleMask) {
  std::vector<TsCornerRun> runs;
  auto add = [&](int index, bool bottom) {
    if (!manager.IsValidMaskIndex(index)) return;
    const TsMaskData& mask = manager.Masks()[static_cast<size_t>(index)];
    const int width = MaskStateWidth(mask);
    std::vector<TRect> local;
    // Placed for an image exactly as wide as the mask: the runs stay in its coordinates.
    GetMaskHoleRects(local, width, mask, bottom, 0);
    for (const TRect& r : local)
      runs.push_back(TsCornerRun{r, width, r.Left >= width - mask.WidthRight,
                                 bottom ? static_cast<int>(mask.WidthBottom) : -1});
  };
  add(formMask, false);
  add(formMask, true);
  add(titleMask, false);
  return runs;
}

std::vector<TRect> PlaceCornerRuns(const std::vector<TsCornerRun>& runs, int imageWidth,
                                   int formHeight) {
  std::vector<TRect> holes;
  holes.reserve(runs.size());
  for (const TsCornerRun& run : runs) {
    const int dx = run.Right ? imageWidth - run.MaskWidth : 0;
    const int dy = run.BottomWidth >= 0 ? formHeight - run.BottomWidth : 0;
    holes.push_back(TRect{run.R.Left + dx, run.R.Top + dy, run.R.Right + dx, run.R.Bottom + dy});
  }
  return holes;
}

std::vector<TRect> CollectRegionHoles(const TsSkinManager& manager, int formMask, int titleMask,
                                      int imageWidth, int formHeight) {
  return PlaceCornerRuns(CollectCornerRuns(manager, formMask, titleMask), imageWidth, formHeight);
}

TsMaximizedBounds LimitMaximizedBounds(const TsFormFacts& f, const TRect& workArea) {
  int a = GetBorderWidth(f, false), b = 0, c = 0;
  if (f.BorderWindow) {
    if (f.CaptionBits) {
      c = GetCaptionHeight(f, true) - (a + GetCaptionHeight(f, false));
      if (c <= 0) c = a;
    }
    const int maxHeight = f.Skin.MaxHeight != 0 ? f.Skin.MaxHeight : f.Skin.TitleHeight;
    if (f.Skin.TitleHeight != maxHeight) b = f.Skin.TitleHeight + f.Skin.CenterOffset - maxHeight;
    if (f.Skin.BIVAlign == 1 && f.Skin.BITop != 0) b += f.Skin.BITop - a;
    b = std::max(b, 0);
  }
  return TsMaximizedBounds{TPoint{-a, c - a - b},
                           TSize{workArea.Width() + 2 * a, workArea.Height() + 2 * a + b - c}};
}

TSize FitThumbnail(int width, int height, int sourceWidth, int sourceHeight) {
  if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return TSize{};
  if (static_cast<long long>(width) * sourceHeight > static_cast<long long>(sourceWidth) * height)
    width = RoundHalfEven(static_cast<long long>(height) * sourceWidth, sourceHeight);
  else
    height = RoundHalfEven(static_cast<long long>(width) * sourceHeight, sourceWidth);
  if (width == 0 || height == 0) return TSize{};
  return TSize{width, height};
}

int GetButtonsWidth(const TsTitleButtonsFacts& b) {
  int w = b.BIRight;
  if (!b.CloseVisible) return w;
  const int space = b.Big ? b.BISpace : 0;
  w += b.CloseWidth;
  if (b.MaxVisible) w += b.MaxWidth + space;
  if (b.MinVisible) w += b.MinWidth + space;
  if (b.HelpVisible) w += b.HelpWidth + space;
  return w;
}
