#include "skin/adapters/skSBUtils.h"

#include <algorithm>

#include "framework/SysUtils.h"
#include "skin/core/sAlphaGraph.h"
#include "skin/core/sAlphaGraphSkin.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sGraphics.h"
#include "skin/core/sSectionPaint.h"
#include "skin/core/sSkinManager.h"

bool DialogAdapterMode = false;

namespace {
// The key colour of skin images: "no colour".
constexpr TColor kKeyColor = 0xFF00FF;

// Questions anybody may ask; every other command changes state and is obeyed only when it
// comes from our own senders.
bool IsAdapterQuery(int cmd) {
  return cmd == CmdIsSkinned || cmd == CmdIsUpdating || cmd == CmdGetBgColor ||
         cmd == CmdIsBgGraphic;
}
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

bool HandleAdapterSkinCmd(TSkinCmdMessage& m, TsCommonData& d, TsSkinManager* manager,
                          IAdapterWindow& window) {
  if (!manager || !manager->Active()) return false;
  if (!m.FromOwnThread && !IsAdapterQuery(m.Cmd)) return false;
  // Compared as a number only: a command naming another manager changes nothing here.
  const bool ourManager = m.LParam == reinterpret_cast<intptr_t>(manager);
  switch (m.Cmd) {
    case CmdSkinChanged:
      if (ourManager) {
        d.UpdateIndexes();
        d.BackgroundDirty = true;
        window.BroadcastToChildren(m);
      }
      return false;
    case CmdRemoveSkin:
      if (ourManager) window.RestoreColors();
      return false;
    case CmdRefresh:
      if (!ourManager) return false;
      d.UpdateIndexes();
      d.BackgroundDirty = true;
      d.SetPaintSuspended(false);
      if (window.IsVisible()) window.Repaint();
      return true;
    case CmdResumePainting:
      if (!d.PaintSuspended) return false;
      d.PaintSuspended = false;
      d.PaintSuspended = d.PaintingSuspended();
      if (!d.PaintSuspended) window.RedrawAll();
      return true;
    case CmdIsSkinned:
      m.Result = 1;
      return true;
    case CmdIsUpdating:
      m.Result = d.PaintSuspended ? 1 : 0;
      return true;
    case CmdSetSection:
      if (m.LParam != 0)
        d.SetSkinSection(reinterpret_cast<const TskSectionInfo*>(m.LParam)->SectionName);
      return false;
    case CmdIsBgGraphic:
      return window.AnswerBgGraphic(m);
    case CmdGetBgColor:
      m.Result = window.OwnBgColorAnswer();
      if (m.Result == 0) m.Result = static_cast<intptr_t>(d.BgColor(0));
      return true;
    case CmdPrepareCache:
      window.PrepareCache();
      return false;
    case CmdGetBgInfo:
      if (m.LParam == 0) return false;
      d.FillBackgroundRequest(*reinterpret_cast<TsBackgroundRequest*>(m.LParam), 0);
      return true;
    case CmdSetPrintDC:
      d.SetPrintTarget(m.LParam);
      return false;
    case CmdGetApplication:
      m.Result = window.ApplicationObject();
      return true;
    default:
      return false;
  }
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
