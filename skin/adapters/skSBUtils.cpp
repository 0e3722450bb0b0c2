#include "skin/adapters/skSBUtils.h"

#include <algorithm>

#include "framework/SysUtils.h"
#include "skin/core/sAlphaGraph.h"
#include "skin/core/sAlphaGraphSkin.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sConst.h"
#include "skin/core/sGraphics.h"
#include "skin/core/sSectionPaint.h"
#include "skin/core/sSkinManager.h"

bool DialogAdapterMode = false;

namespace {
// The key colour of skin images: "no colour".
constexpr TColor kKeyColor = 0xFF00FF;
}  // namespace

bool HasMultiStateSkin(const TsCommonData& data) {
  const TsSkinManager* manager = data.SkinManager();
  if (!manager || data.SectionIndex < 0 || data.BorderMaskIndex < 0) return false;
  if (manager->IsValidMaskIndex(data.BorderMaskIndex) &&
      manager->Masks()[static_cast<size_t>(data.BorderMaskIndex)].ImageCount > 1)
    return true;
  return manager->IsValidSectionIndex(data.SectionIndex) &&
         manager->Sections()[static_cast<size_t>(data.SectionIndex)].States > 1;
}

bool TskAdapterCmdHandler::Listening() const { return manager_ && manager_->Active(); }

bool TskAdapterCmdHandler::OnSkinChanged(TSkinCmdMessage& m) {
  if (NamesOurManager(m)) {
    Data().UpdateIndexes();
    Data().BackgroundDirty = true;
    window_.BroadcastToChildren(m);
  }
  return false;
}

bool TskAdapterCmdHandler::OnRemoveSkin(TSkinCmdMessage& m) {
  if (NamesOurManager(m)) window_.RestoreColors();
  return false;
}

bool TskAdapterCmdHandler::OnRefresh(TSkinCmdMessage& m) {
  if (!NamesOurManager(m)) return false;
  Data().UpdateIndexes();
  Data().BackgroundDirty = true;
  Data().SetPaintSuspended(false);
  if (window_.IsVisible()) window_.Repaint();
  return true;
}

bool TskAdapterCmdHandler::OnResumePainting(TSkinCmdMessage&) {
  TsCommonData& d = Data();
  if (!d.PaintSuspended) return false;
  d.PaintSuspended = false;
  d.PaintSuspended = d.PaintingSuspended();
  if (!d.PaintSuspended) window_.RedrawAll();
  return true;
}

bool TskAdapterCmdHandler::OnIsUpdating(TSkinCmdMessage& m) {
  m.Result = Data().PaintSuspended ? 1 : 0;
  return true;
}

bool TskAdapterCmdHandler::OnIsBgGraphic(TSkinCmdMessage& m) {
  return window_.HasHostControl() && TsSkinCmdHandler::OnIsBgGraphic(m);
}

bool TskAdapterCmdHandler::OnGetBgColor(TSkinCmdMessage& m) {
  m.Result = window_.OwnBgColorAnswer();
  if (m.Result == 0) m.Result = static_cast<intptr_t>(Data().BgColor(0));
  return true;
}

bool TskAdapterCmdHandler::OnPrepareCache(TSkinCmdMessage&) {
  window_.PrepareCache();
  return false;
}

bool TskAdapterCmdHandler::OnSetPrintDC(TSkinCmdMessage& m) {
  TsSkinCmdHandler::OnSetPrintDC(m);
  return false;
}

bool TskAdapterCmdHandler::OnGetApplication(TSkinCmdMessage& m) {
  m.Result = window_.ApplicationObject();
  return true;
}

bool HandleAdapterSkinCmd(TSkinCmdMessage& m, TsCommonData& data, TsSkinManager* manager,
                          IAdapterWindow& window) {
  return TskAdapterCmdHandler(data, manager, window).Handle(m);
}

void PaintWindowCache(TsCommonData& data, const TsBackgroundSource& behind, TPoint posInParent,
                      int width, int height, bool inDialog, bool hot, TColor windowColor) {
  data.UpdateCacheSize();
  TBitmap* cache = data.CacheBitmap.get();
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (cache->Width() != width || cache->Height() != height) cache->SetSize(width, height);
  const TRect whole{0, 0, width, height};
  TsSkinManager* manager = data.SkinManager();
  const TColor border = DefaultManager ? DefaultManager->CurrentSkin().BorderColor : kKeyColor;
  if (inDialog && DefaultManager && border != kKeyColor) {
    FillRect32(cache, whole, windowColor);
    if (width > 0 && height > 0) {
      FillRect32(cache, TRect{0, 0, width, 1}, border);
      FillRect32(cache, TRect{0, height - 1, width, height}, border);
      FillRect32(cache, TRect{0, 0, 1, height}, border);
      FillRect32(cache, TRect{width - 1, 0, width, height}, border);
    }
  } else if (manager && manager->IsValidSectionIndex(data.SectionIndex)) {
    const int state = hot && HasMultiStateSkin(data) ? 1 : 0;
    PaintControlItem(data, behind, cache, posInParent, whole, state);
  }
  data.BackgroundDirty = false;
}

void FillTransparentCorners(TsCommonData& data, int state, bool inDialog, int width, int height,
                            TPoint posInParent, TsBackgroundSource behind) {
  TsSkinManager* manager = data.SkinManager();
  if (!manager || inDialog || !manager->IsValidMaskIndex(data.BorderMaskIndex) ||
      !data.CacheBitmap || width <= 1 || height <= 1)
    return;
  if (behind.HasBitmap && behind.Bmp) {
    behind.X += posInParent.X;
    behind.Y += posInParent.Y;
  } else {
    behind.HasBitmap = false;
    behind.Bmp = nullptr;
    if ((behind.FillColor & 0xFFFFFF) == kKeyColor) return;
  }
  const TsMaskData& mask = manager->Masks()[static_cast<size_t>(data.BorderMaskIndex)];
  if (MaskStateWidth(mask) == 0 || MaskStateHeight(mask) == 0) {
    // A mask with an image of its own but no count is read as three masked states.
    if (!(mask.ImageCount == 0 && mask.Image)) return;
  }
  FillMaskCorners(data.CacheBitmap.get(), mask, state, behind);
}

// ---- skinned scroll bars: geometry and hit testing ------------------------------------------

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
int BarPartAlong(const TskScrollBar& bar, const TRect& rect, bool across, int pos, int first,
                 int last, int arrowLength) {
  if (!across) return sbpNone;
  const int along = last - first;
  const int arrow = 2 * arrowLength < along ? arrowLength : along / 2;
  if (pos >= first && pos < first + arrow) return sbpFirstArrow;
  if (pos >= last - arrow && pos < last) return sbpSecondArrow;
  const TThumbGeometry thumb = GetThumbGeometry(bar, rect, arrowLength);
  if (thumb.Length >= along - 2 * arrowLength) return sbpNone;
  if (pos >= thumb.Start && pos < thumb.Start + thumb.Length) return sbpThumb;
  if (pos >= first + arrow && pos < thumb.Start) return sbpPageBefore;
  if (pos >= thumb.Start + thumb.Length && pos < last - arrow) return sbpPageAfter;
  return sbpNone;
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

int GetHorzBarPartAt(const TskScrollBar& bar, const TRect& rect, int y, int x, int arrowLength) {
  return BarPartAlong(bar, rect, y >= rect.Top && y < rect.Bottom, x, rect.Left, rect.Right,
                      arrowLength);
}

int GetVertBarPartAt(const TskScrollBar& bar, const TRect& rect, int y, int x, int arrowLength) {
  return BarPartAlong(bar, rect, x >= rect.Left && x < rect.Right, y, rect.Top, rect.Bottom,
                      arrowLength);
}

int GetBarPartAt(const TskScrollBar& bar, const TRect& rect, int y, int x, int arrowLength) {
  if (bar.Kind == 0) return GetHorzBarPartAt(bar, rect, y, x, arrowLength);
  if (bar.Kind == 1) return GetVertBarPartAt(bar, rect, y, x, arrowLength);
  return sbpNone;
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

// ---- skinned scroll bars: painting -------------------------------------------------------------

int SkinScrollArrowSize(const TsSkinManager& manager, bool vertical) {
  const TsFixedIndexes& fixed = manager.FixedIndexes();
  const TsFixedIndexes::TScrollPart& left = fixed.ScrollBtn[2];
  if (!manager.IsValidSectionIndex(left.Section) ||
      !manager.Sections()[static_cast<size_t>(left.Section)].ReservedBoolean ||
      !manager.IsValidMaskIndex(left.BorderMask))
    return 0;
  if (!vertical) return MaskStateWidth(manager.Masks()[static_cast<size_t>(left.BorderMask)]);
  const int top = fixed.ScrollBtn[0].BorderMask;
  // A skin without a border mask for the top arrow: the standard size alone.
  return manager.IsValidMaskIndex(top) ? MaskStateHeight(manager.Masks()[static_cast<size_t>(top)])
                                       : 0;
}

int ScrollBarArrowLength(const TskScrollBar& bar, const TsSkinManager* skin) {
  int unit = SkinScrollBarWidth;
  if (skin && bar.ArrowLength < 0)
    unit = std::max(unit, SkinScrollArrowSize(*skin, bar.IsVertical()));
  return ResolveScrollBarSize(bar.ArrowLength, unit);
}

namespace {
// A skin part painted over r, then its glyph centred in `glyphArea`.
void PaintScrollPart(TBitmap& bitmap, TsSkinManager& manager,
                     const TsFixedIndexes::TScrollPart& part, const TRect& r,
                     const TRect& glyphArea, int state, const TsBackgroundSource& background) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  PaintItemFast(part.Section, part.BorderMask, part.Pattern, part.HotPattern, &manager, &bitmap,
                TPoint{0, 0}, r, state, true, background, std::string());
  if (!manager.IsValidMaskIndex(part.GlyphMask)) return;
  const TsMaskData& mask = manager.Masks()[static_cast<size_t>(part.GlyphMask)];
  const int w = MaskStateWidth(mask), h = MaskStateHeight(mask);
  if (w <= 0 || h <= 0) return;
  const TPoint at{glyphArea.Left + (glyphArea.Width() - w) / 2,
                  glyphArea.Top + (glyphArea.Height() - h) / 2};
  PaintMaskGlyph(&bitmap, at, std::min(state, mask.ImageCount - 1), mask, background);
}

// A rectangle along the bar: [from, to) along, the whole thickness across.
TRect Along(bool vertical, int from, int to, int thickness) {
  return vertical ? TRect{0, from, thickness, to} : TRect{from, 0, to, thickness};
}
}  // namespace

bool PaintScrollBarImage(TBitmap& bitmap, TsSkinManager& manager, const TskScrollBar& bar,
                         int arrowLength, TThumbGeometry thumb, bool active,
                         const TScrollBarStates& states, const TsBackgroundSource& background) {
  const bool vertical = bar.IsVertical();
  const TsFixedIndexes& fixed = manager.FixedIndexes();
  const TsFixedIndexes::TScrollPart& page1 = fixed.ScrollBar[vertical ? 1 : 0];
  const TsFixedIndexes::TScrollPart& page2 = fixed.ScrollBar[vertical ? 3 : 2];
  const TsFixedIndexes::TScrollPart& arrow1 = fixed.ScrollBtn[vertical ? 0 : 2];
  const TsFixedIndexes::TScrollPart& arrow2 = fixed.ScrollBtn[vertical ? 1 : 3];
  const TsFixedIndexes::TScrollPart& slider = vertical ? fixed.ScrollSliderV : fixed.ScrollSliderH;
  if (!manager.IsValidSectionIndex(page1.Section)) return false;
  const int length = vertical ? bitmap.Height() : bitmap.Width();
  const int thick = vertical ? bitmap.Width() : bitmap.Height();
  if (length <= 0 || thick <= 0) return false;
  const int button = SkinScrollBarWidth;
  const auto glyphAtStart = [&](int size) { return Along(vertical, 0, size, thick); };
  const auto glyphAtEnd = [&](int size) { return Along(vertical, length - size, length, thick); };
  if (2 * arrowLength < length) {
    const int split = thumb.Start + thumb.Length / 2;
    PaintScrollPart(bitmap, manager, page1, Along(vertical, 0, split, thick), TRect{},
                    states.PageBefore, background);
    PaintScrollPart(bitmap, manager, page2, Along(vertical, split, length, thick), TRect{},
                    states.PageAfter, background);
    PaintScrollPart(bitmap, manager, arrow1, Along(vertical, 0, arrowLength, thick),
                    glyphAtStart(button), states.FirstArrow, background);
    PaintScrollPart(bitmap, manager, arrow2, Along(vertical, length - arrowLength, length, thick),
                    glyphAtEnd(button), states.SecondArrow, background);
    const int track = length - 2 * arrowLength;
    const int range = bar.Info.nMax - bar.Info.nMin;
    int proportional = MulDiv(static_cast<int>(bar.Info.nPage), track, range);
    if (proportional >= 0) proportional = std::max(proportional, bar.MinThumbLength);
    if (active && proportional > 0 && proportional <= track) {
      const TRect r = Along(vertical, thumb.Start, thumb.Start + thumb.Length, thick);
      PaintScrollPart(bitmap, manager, slider, r, r, states.Thumb, background);
    }
  } else {
    const int half = length / 2;
    PaintScrollPart(bitmap, manager, page1, Along(vertical, 0, half, thick), TRect{}, 0,
                    background);
    PaintScrollPart(bitmap, manager, page2, Along(vertical, half, length, thick), TRect{}, 0,
                    background);
    PaintScrollPart(bitmap, manager, arrow1, Along(vertical, 0, half, thick), glyphAtStart(button),
                    states.FirstArrow, background);
    PaintScrollPart(bitmap, manager, arrow2, Along(vertical, half, length, thick),
                    glyphAtEnd(button), states.SecondArrow, background);
  }
  if (!active) {
    // An unusable bar fades into what lies behind it: 60 % background, 40 % bar.
    if (background.HasBitmap && background.Bmp) {
      const TRect source{background.X, background.Y, background.X + bitmap.Width(),
                         background.Y + bitmap.Height()};
      BlendBitmapKeyed(&bitmap, 0, 0, SkinKeyColor, 0.4, source, background.Bmp);
    } else {
      PaintShadowRect(&bitmap, TRect{-1, -1, bitmap.Width() + 1, bitmap.Height() + 1}, 60, 0, 0,
                      background.FillColor);
    }
  }
  return true;
}
