// Border masks over whole bitmaps.
#include "skin/core/painting/sBorders.h"

#include <algorithm>

#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sCommonData.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

// The mask as painted: an image count below 1 stands for one image covering the whole own
// image.
struct TMaskView {
  TRect Source;
  int Count = 1;
};

TMaskView ViewOf(const TsMaskData& mask, const TBitmap* image) {
  if (mask.ImageCount >= 1) return {mask.SourceRect, mask.ImageCount};
  return {TRect{0, 0, image->Width(), image->Height()}, 1};
}

}  // namespace

void CopyMaskPiece(const TRect& destRect, const TRect& sourceRect, bool corner,
                   const TsMaskData& mask, std::vector<TRect>* holes, TBitmap* bitmap) {
  const TBitmap* image = MaskSourceImage(mask);
  TPixels32 d(bitmap), s(image);
  if (!d.Valid() || !s.Valid() || !IsSaneRect(destRect) || !IsSaneRect(sourceRect)) return;
  const bool masked = mask.MaskType == 1;
  const int maskRow = masked ? static_cast<int>(SafeHeight(ViewOf(mask, image).Source) / 2) : 0;
  int64_t w = std::min(SafeWidth(destRect), SafeWidth(sourceRect));
  int64_t h = std::min(SafeHeight(destRect), SafeHeight(sourceRect));
  int64_t dx = destRect.Left, dy = destRect.Top, sx = sourceRect.Left, sy = sourceRect.Top;
  // Cut to both bitmaps (negative positions shift both sides).
  const int64_t shiftX = std::max<int64_t>({0, -dx, -sx}),
                shiftY = std::max<int64_t>({0, -dy, -sy});
  dx += shiftX, sx += shiftX, w -= shiftX;
  dy += shiftY, sy += shiftY, h -= shiftY;
  w = std::min({w, d.Width - dx, s.Width - sx});
  h = std::min({h, d.Height - dy, s.Height - maskRow - sy});
  if (w <= 0 || h <= 0) return;
  for (int64_t row = 0; row < h; ++row) {
    const uint32_t* sp = s.Row(static_cast<int>(sy + row)) + sx;
    const uint32_t* mp = masked ? s.Row(static_cast<int>(sy + maskRow + row)) + sx : nullptr;
    uint32_t* dp = d.Row(static_cast<int>(dy + row)) + dx;
    int64_t runStart = -1;
    for (int64_t i = 0; i <= w; ++i) {
      const bool key = i < w && corner && sp[i] == KeyColor;
      if (key) {
        if (runStart < 0) runStart = i;
        continue;
      }
      if (runStart >= 0) {
        // A run of transparent pixels ends: it becomes a hole of the region.
        if (holes)
          holes->push_back(TRect{static_cast<int>(dx + runStart), static_cast<int>(dy + row),
                                 static_cast<int>(dx + i), static_cast<int>(dy + row + 1)});
        runStart = -1;
      }
      if (i == w) break;
      if (!masked) {
        dp[i] = sp[i];
        continue;
      }
      uint32_t out = 0xFF000000u;
      for (int c = 0; c < 3; ++c) {
        const int dc = (dp[i] >> (8 * c)) & 0xFF, sc = (sp[i] >> (8 * c)) & 0xFF;
        const int mc = (mp[i] >> (8 * c)) & 0xFF;
        out |= static_cast<uint32_t>(((dc - sc) * mc + sc * 256) >> 8) << (8 * c);
      }
      dp[i] = out;
    }
  }
}

void PaintMaskBitmap(TBitmap* bitmap, std::vector<TRect>* holes, bool drawCentre, int state,
                     const TsMaskData& mask) {
  const TBitmap* image = MaskSourceImage(mask);
  if (!bitmap || bitmap->Width() <= 1 || bitmap->Height() <= 1 || !mask.Manager || !image) return;
  const TMaskView view = ViewOf(mask, image);
  const TsFittedWidths lr = FitBorderWidths(mask.WidthLeft, mask.WidthRight, bitmap->Width());
  const TsFittedWidths tb = FitBorderWidths(mask.WidthTop, mask.WidthBottom, bitmap->Height());
  const int left = lr.First, right = lr.Second, top = tb.First, bottom = tb.Second;
  state = std::clamp(state, 0, view.Count - 1);
  const int w = static_cast<int>(SafeWidth(view.Source) / view.Count);
  const int h = mask.MaskType == 1 ? static_cast<int>(SafeHeight(view.Source) / 2)
                                   : static_cast<int>(SafeHeight(view.Source));
  const int cw = std::max(w - left - right, 0), ch = std::max(h - top - bottom, 0);
  const int x0 = view.Source.Left + state * w, y0 = view.Source.Top;
  const int bw = bitmap->Width(), bh = bitmap->Height();
  const bool stretch = (mask.DrawFlags & 1) && mask.MaskType != 1;

  auto piece = [&](const TRect& dest, int sx, int sy, int pw, int ph, bool corner) {
    CopyMaskPiece(dest, TRect{sx, sy, sx + pw, sy + ph}, corner, mask, holes, bitmap);
  };
  auto fill = [&](const TRect& dest, int sx, int sy, int sw, int sh) {
    if (dest.Right <= dest.Left || dest.Bottom <= dest.Top || sw <= 0 || sh <= 0) return;
    if (stretch) {
      StretchNearest32(bitmap, dest, image, TRect{sx, sy, sx + sw, sy + sh});
      return;
    }
    for (int x = dest.Left; x < dest.Right; x += sw)
      for (int y = dest.Top; y < dest.Bottom; y += sh)
        piece(TRect{x, y, std::min(x + sw, dest.Right), std::min(y + sh, dest.Bottom)}, sx, sy, sw,
              sh, false);
  };

  piece(TRect{0, 0, left, top}, x0, y0, left, top, true);
  piece(TRect{0, bh - bottom, left, bh}, x0, y0 + h - bottom, left, bottom, true);
  fill(TRect{0, top, left, bh - bottom}, x0, y0 + top, left, ch);
  fill(TRect{left, 0, bw - right, top}, x0 + left, y0, cw, top);
  fill(TRect{left, bh - bottom, bw - right, bh}, x0 + left, y0 + h - bottom, cw, bottom);
  fill(TRect{bw - right, top, bw, bh - bottom}, x0 + w - right, y0 + top, right, ch);
  piece(TRect{bw - right, bh - bottom, bw, bh}, x0 + w - right, y0 + h - bottom, right, bottom,
        true);
  piece(TRect{bw - right, 0, bw, top}, x0 + w - right, y0, right, top, true);
  if (drawCentre && (mask.DrawFlags & 4) && cw > 0 && ch > 0)
    fill(TRect{left, top, bw - right, bh - bottom}, x0 + left, y0 + top, cw, ch);
}

// ---- a control's border over its cache bitmap ---------------------------------------------

namespace {

bool HasOwnerControl(const TsCommonData& data) { return data.Host() && data.Host()->IsControl(); }

}  // namespace

TsBackgroundSource BackgroundBehind(TsCommonData& data) {
  TsBackgroundSource source;
  data.GetParentBackground(source);
  if (source.HasBitmap && data.Host()) {
    const TPoint origin = data.Host()->OriginInParent();
    source.X += origin.X;
    source.Y += origin.Y;
  }
  return source;
}

void FillBorderCorners(TsCommonData& data, TsPaintState state) {
  const TsMaskData* mask = data.BorderMask();
  if (!mask || !data.CacheBitmap || data.CacheBitmap->Empty() || !HasOwnerControl(data)) return;
  FillMaskCorners(data.CacheBitmap.get(), *mask, StateIndex(state), BackgroundBehind(data));
}

void PaintCtrlBorder(TsCommonData& data, TsPaintState look) {
  const int state = StateIndex(look);
  const TsMaskData* mask = data.BorderMask();
  TBitmap* cache = data.CacheBitmap.get();
  if (!mask || !cache || cache->Empty() || !HasOwnerControl(data)) return;
  const TsBackgroundSource behind = BackgroundBehind(data);
  FillMaskCorners(cache, *mask, state, behind);
  PaintMaskRect(cache, TRect{0, 0, cache->Width(), cache->Height()}, *mask, state, true, behind);
}

bool PaintBorderIntoCache(const TRect& r, int width, TRect& inner, TsPaintState look,
                          TsCommonData& data) {
  const TsMaskData* mask = data.BorderMask();
  if (!mask) return false;
  const TColor bgColor = ColorToRGB(data.BgColor(StateIndex(look)));
  TsSkinManager* manager = data.SkinManager();
  if (manager->IsValidSectionIndex(data.SectionIndex))
    look = LimitSectionState(*manager, data.SectionIndex, look);
  const int state = StateIndex(look);
  data.UpdateCacheSize();
  TBitmap* cache = data.CacheBitmap.get();
  const TsBackgroundSource behind = BackgroundBehind(data);
  if (mask->MaskType == 1) {
    // A masked border mixes with what lies under it: lay the parent's image (or colour) first.
    if (behind.Bmp)
      CopyBitmapRect(cache, r.Left, r.Top, behind.Bmp,
                     TRect{behind.X, behind.Y, behind.X + r.Width(), behind.Y + r.Height()});
    else
      FillBorder32(cache, r, mask->WidthLeft, mask->WidthTop, mask->WidthRight, mask->WidthBottom,
                   bgColor);
  }
  PaintMaskRect(cache, r, *mask, state, true, behind);
  inner = TRect{r.Left + mask->WidthLeft, r.Top + mask->WidthTop, r.Right - mask->WidthRight,
                r.Bottom - mask->WidthBottom};
  if (width == 0) return true;
  const int w = r.Width(), h = r.Height();
  auto band = [width](int size, int opposite, int own) {
    return std::max(std::min(width, size - opposite) - own, 0);
  };
  FillBorder32(cache, inner, band(w, mask->WidthRight, mask->WidthLeft),
               band(h, mask->WidthBottom, mask->WidthTop),
               band(w, mask->WidthLeft, mask->WidthRight),
               band(h, mask->WidthTop, mask->WidthBottom), bgColor);
  inner = TRect{r.Left + width, r.Top + width, r.Right - width, r.Bottom - width};
  inner.Right = std::max(inner.Right, inner.Left);
  inner.Bottom = std::max(inner.Bottom, inner.Top);
  return true;
}
