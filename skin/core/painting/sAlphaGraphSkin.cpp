// Masks of the skin painted into 32-bit bitmaps: nine-piece borders, glyphs, masked copies and
// keyed corners. Plain pieces are copied row by row; only corners and masked pieces look at
// single pixels.
#include "skin/core/painting/sAlphaGraphSkin.h"

#include <algorithm>

#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

// A copy of w x h pixels from (SourceX, SourceY) to (DestX, DestY).
struct TArea {
  int DestX = 0, DestY = 0, SourceX = 0, SourceY = 0, Width = 0, Height = 0;
};

// Cuts the area to both bitmaps (negative positions shift both sides); false when nothing
// is left. sourceHeight may be less than the source bitmap's (a mask row below it).
bool ClipArea(TArea& a, int destWidth, int destHeight, int sourceWidth, int sourceHeight) {
  int64_t dx = a.DestX, dy = a.DestY, sx = a.SourceX, sy = a.SourceY, w = a.Width, h = a.Height;
  auto cutStart = [&](int64_t& p, int64_t& q, int64_t& size) {
    const int64_t shift = std::max<int64_t>({0, -p, -q});
    p += shift;
    q += shift;
    size -= shift;
  };
  cutStart(dx, sx, w);
  cutStart(dy, sy, h);
  w = std::min({w, destWidth - dx, sourceWidth - sx});
  h = std::min({h, destHeight - dy, sourceHeight - sy});
  if (w <= 0 || h <= 0) return false;
  a = {static_cast<int>(dx), static_cast<int>(dy), static_cast<int>(sx),
       static_cast<int>(sy), static_cast<int>(w),  static_cast<int>(h)};
  return true;
}

// The area copied from sourceRect to destRect: the smaller of their sizes.
TArea AreaBetween(const TRect& destRect, const TRect& sourceRect) {
  return {destRect.Left,
          destRect.Top,
          sourceRect.Left,
          sourceRect.Top,
          static_cast<int>(std::min(SafeWidth(destRect), SafeWidth(sourceRect))),
          static_cast<int>(std::min(SafeHeight(destRect), SafeHeight(sourceRect)))};
}

uint8_t Channel(uint32_t v, int i) { return static_cast<uint8_t>(v >> (i * 8)); }

// d := ((d - s) * m + s * 256) shr 8 per colour channel with the mask's own channel; alpha
// 255. The result never leaves 0..255 for bytes, so no clamp is needed.
uint32_t MaskedMix(uint32_t d, uint32_t s, uint32_t m) {
  uint32_t out = 0xFF000000u;
  for (int i = 0; i < 3; ++i) {
    const int dc = Channel(d, i), sc = Channel(s, i), mc = Channel(m, i);
    out |= static_cast<uint32_t>(((dc - sc) * mc + sc * 256) >> 8) << (i * 8);
  }
  return out;
}

// The pixel that a key pixel at (x, y) of the destination shows: the background bitmap's
// pixel at (x + X, y + Y) while inside it, else (no bitmap) the fill colour; false when the
// background has a bitmap that does not reach there.
bool BackgroundAt(const TsBackgroundSource& background, const TPixels32& bg, int x, int y,
                  uint32_t& pixel) {
  if (background.Bmp) {
    const int64_t bx = int64_t{x} + background.X, by = int64_t{y} + background.Y;
    if (!bg.Valid() || bx < 0 || by < 0 || bx >= bg.Width || by >= bg.Height) return false;
    pixel = bg.Row(static_cast<int>(by))[bx] | 0xFF000000u;
    return true;
  }
  pixel = ColorToPixel32(static_cast<uint32_t>(ColorToRGB(background.FillColor))) | 0xFF000000u;
  return true;
}

// Plain copy of an area, alpha as in the source.
void CopyPlain(TBitmap* dest, const TBitmap* source, TArea a) {
  TPixels32 d(dest), s(source);
  if (!d.Valid() || !s.Valid() || !ClipArea(a, d.Width, d.Height, s.Width, s.Height)) return;
  for (int row = 0; row < a.Height; ++row)
    std::copy_n(s.Row(a.SourceY + row) + a.SourceX, a.Width, d.Row(a.DestY + row) + a.DestX);
}

// Lays pieces of sw x sh over dest from its top-left: whole pieces while they fit, then the
// rest cut. A source size of 0 lays nothing. Pieces wholly outside the bitmap are skipped
// without being visited, so a huge rectangle costs only what is visible.
template <class CopyPiece>
void TilePieces(const TRect& dest, int sw, int sh, int bitmapWidth, int bitmapHeight,
                CopyPiece copy) {
  if (sw <= 0 || sh <= 0 || dest.Right <= dest.Left || dest.Bottom <= dest.Top) return;
  auto firstTile = [](int start, int size) -> int64_t {
    return start >= 0 ? start : start + (int64_t{-start} / size) * size;
  };
  for (int64_t x = firstTile(dest.Left, sw); x < dest.Right && x < bitmapWidth; x += sw) {
    const int w = static_cast<int>(std::min<int64_t>(sw, dest.Right - x));
    for (int64_t y = firstTile(dest.Top, sh); y < dest.Bottom && y < bitmapHeight; y += sh) {
      const int h = static_cast<int>(std::min<int64_t>(sh, dest.Bottom - y));
      copy(static_cast<int>(x), static_cast<int>(y), w, h);
    }
  }
}

}  // namespace

const TBitmap* MaskSourceImage(const TsMaskData& mask) {
  if (mask.Image) return mask.Image.get();
  return mask.Manager ? mask.Manager->MasterImage() : nullptr;
}

void StretchNearest32(TBitmap* dest, const TRect& destRect, const TBitmap* source,
                      const TRect& sourceRect) {
  const int sx = sourceRect.Left, sy = sourceRect.Top;
  const int sw = static_cast<int>(SafeWidth(sourceRect)),
            sh = static_cast<int>(SafeHeight(sourceRect));
  TPixels32 d(dest), s(source);
  const int64_t dw = SafeWidth(destRect), dh = SafeHeight(destRect);
  if (!d.Valid() || !s.Valid() || !IsSaneRect(sourceRect) || dw <= 0 || dh <= 0 || sw <= 0 ||
      sh <= 0)
    return;
  if (sx < 0 || sy < 0 || int64_t{sx} + sw > s.Width || int64_t{sy} + sh > s.Height) return;
  const int x0 = std::max(0, destRect.Left), x1 = std::min(d.Width, destRect.Right);
  const int y0 = std::max(0, destRect.Top), y1 = std::min(d.Height, destRect.Bottom);
  for (int y = y0; y < y1; ++y) {
    const uint32_t* sp = s.Row(sy + static_cast<int>((y - destRect.Top) * int64_t{sh} / dh));
    uint32_t* dp = d.Row(y);
    for (int x = x0; x < x1; ++x)
      dp[x] = sp[sx + static_cast<int>((x - destRect.Left) * int64_t{sw} / dw)];
  }
}

TsFittedWidths FitBorderWidths(int first, int second, int length) {
  TsFittedWidths f{first, second};
  const int64_t excess = int64_t{first} + second - length;
  if (length >= 0 && excess > 0) {
    f.First = static_cast<int>(first - excess / 2);
    f.Second = static_cast<int>(second - excess / 2 - (length % 2));
  }
  f.First = std::max(f.First, 0);
  f.Second = std::max(f.Second, 0);
  return f;
}

void BlendMaskedRect(const TRect& destRect, const TRect& sourceRect, TBitmap* dest,
                     int maskRowOffset, bool useBackground, const TsBackgroundSource& background,
                     const TBitmap* maskImage) {
  TPixels32 d(dest), s(maskImage);
  if (!d.Valid() || !s.Valid() || maskRowOffset <= 0) return;
  TArea a = AreaBetween(destRect, sourceRect);
  if (!ClipArea(a, d.Width, d.Height, s.Width, s.Height - maskRowOffset)) return;
  TPixels32 bg(useBackground && background.Bmp != dest ? background.Bmp : nullptr);
  for (int row = 0; row < a.Height; ++row) {
    const uint32_t* sp = s.Row(a.SourceY + row) + a.SourceX;
    const uint32_t* mp = s.Row(a.SourceY + maskRowOffset + row) + a.SourceX;
    uint32_t* dp = d.Row(a.DestY + row) + a.DestX;
    for (int i = 0; i < a.Width; ++i) {
      if (sp[i] == KeyColor) {
        uint32_t p;
        if (useBackground && background.Bmp != dest &&
            BackgroundAt(background, bg, a.DestX + i, a.DestY + row, p))
          dp[i] = p;
        continue;
      }
      dp[i] = MaskedMix(dp[i], sp[i], mp[i]);
    }
  }
}

void PaintMaskRect(TBitmap* bitmap, const TRect& r, const TsMaskData& mask, int state,
                   bool cornerBackground, const TsBackgroundSource& background) {
  if ((state == 0 && (mask.DrawFlags & 2)) || SafeWidth(r) < 2 || SafeHeight(r) < 2 ||
      !mask.Manager || mask.ImageCount <= 0 || !IsSaneRect(r))
    return;
  const TBitmap* source = MaskSourceImage(mask);
  TPixels32 target(bitmap);
  if (!source || !target.Valid()) return;
  state = std::clamp(state, 0, mask.ImageCount - 1);
  const int w = MaskStateWidth(mask), h = MaskStateHeight(mask);
  const TsFittedWidths lr = FitBorderWidths(mask.WidthLeft, mask.WidthRight, r.Right - r.Left);
  const TsFittedWidths tb = FitBorderWidths(mask.WidthTop, mask.WidthBottom, r.Bottom - r.Top);
  const int left = lr.First, right = lr.Second, top = tb.First, bottom = tb.Second;
  const int cw = w - left - right, ch = h - top - bottom;
  if (cw < 0 || ch < 0) return;
  const int x0 = mask.SourceRect.Left + state * w, y0 = mask.SourceRect.Top;
  const bool masked = mask.MaskType != 0;

  // One piece: w x h from (sx, sy) to (dx, dy).
  auto piece = [&](int dx, int dy, int sx, int sy, int pw, int ph, bool corner) {
    if (pw <= 0 || ph <= 0) return;
    if (masked) {
      BlendMaskedRect(TRect{dx, dy, dx + pw, dy + ph}, TRect{sx, sy, sx + pw, sy + ph}, bitmap, h,
                      corner && cornerBackground, background, source);
    } else if (corner) {
      CopyRectWithBackground(bitmap, TPoint{dx, dy}, source, TRect{sx, sy, sx + pw, sy + ph},
                             clFuchsia, cornerBackground, background);
    } else {
      CopyPlain(bitmap, source, TArea{dx, dy, sx, sy, pw, ph});
    }
  };
  // An edge or the centre: sw x sh from (sx, sy) over dest, tiled or stretched.
  auto fill = [&](const TRect& dest, int sx, int sy, int sw, int sh) {
    if (dest.Right <= dest.Left || dest.Bottom <= dest.Top) return;
    if (!masked && (mask.DrawFlags & 1)) {
      StretchNearest32(bitmap, dest, source, TRect{sx, sy, sx + sw, sy + sh});
      return;
    }
    TilePieces(dest, sw, sh, target.Width, target.Height,
               [&](int x, int y, int pw, int ph) { piece(x, y, sx, sy, pw, ph, false); });
  };

  // Corners.
  piece(r.Left, r.Top, x0, y0, left, top, true);
  piece(r.Right - right, r.Top, x0 + left + cw, y0, right, top, true);
  piece(r.Left, r.Bottom - bottom, x0, y0 + h - bottom, left, bottom, true);
  piece(r.Right - right, r.Bottom - bottom, x0 + left + cw, y0 + h - bottom, right, bottom, true);
  // Edges.
  fill(TRect{r.Left, r.Top + top, r.Left + left, r.Bottom - bottom}, x0, y0 + top, left, ch);
  fill(TRect{r.Right - right, r.Top + top, r.Right, r.Bottom - bottom}, x0 + left + cw, y0 + top,
       right, ch);
  fill(TRect{r.Left + left, r.Top, r.Right - right, r.Top + top}, x0 + left, y0, cw, top);
  fill(TRect{r.Left + left, r.Bottom - bottom, r.Right - right, r.Bottom}, x0 + left,
       y0 + h - bottom, cw, bottom);
  // Centre.
  if (mask.DrawFlags & 4)
    fill(TRect{r.Left + left, r.Top + top, r.Right - right, r.Bottom - bottom}, x0 + left, y0 + top,
         cw, ch);
}

void CopyMaskImagePart(const TRect& destRect, const TRect& sourceRect, TBitmap* bitmap,
                       const TsMaskData& mask, const TBitmap* sourceImage) {
  TPixels32 d(bitmap), s(sourceImage);
  if (!d.Valid() || !s.Valid() || !IsSaneRect(destRect) || !IsSaneRect(sourceRect)) return;
  const int w = static_cast<int>(std::min(SafeWidth(destRect), SafeWidth(sourceRect)));
  const int h = static_cast<int>(std::min(SafeHeight(destRect), SafeHeight(sourceRect)));
  if (mask.MaskType == 0) {
    CopyRectSkippingKey(
        bitmap, destRect.TopLeft(), sourceImage,
        TRect{sourceRect.Left, sourceRect.Top, sourceRect.Left + w, sourceRect.Top + h}, clFuchsia);
    return;
  }
  const int maskRow =
      mask.MaskType > 0 ? static_cast<int>(SafeHeight(mask.SourceRect) / (mask.MaskType + 1)) : 0;
  if (maskRow <= 0) return;
  TArea a{destRect.Left, destRect.Top, sourceRect.Left, sourceRect.Top, w, h};
  if (!ClipArea(a, d.Width, d.Height, s.Width, s.Height - maskRow)) return;
  for (int row = 0; row < a.Height; ++row) {
    const uint32_t* sp = s.Row(a.SourceY + row) + a.SourceX;
    const uint32_t* mp = s.Row(a.SourceY + maskRow + row) + a.SourceX;
    uint32_t* dp = d.Row(a.DestY + row) + a.DestX;
    for (int i = 0; i < a.Width; ++i) {
      const int maskRed = Channel(mp[i], 2);
      if (sp[i] == KeyColor || maskRed == 255) continue;
      const uint32_t alpha = Channel(dp[i], 3);
      const uint32_t mixed = MaskedMix(dp[i], sp[i], mp[i]) & 0x00FFFFFFu;
      dp[i] = mixed | ((alpha + (255 - alpha) * (255 - maskRed) / 255) << 24);
    }
  }
}

void BlendMasterMaskedRect(const TRect& destRect, const TRect& sourceRect, TBitmap* bitmap,
                           const TsMaskData& mask, const TsBackgroundSource& background) {
  const TBitmap* master = mask.Manager ? mask.Manager->MasterImage() : nullptr;
  TPixels32 d(bitmap), s(master);
  if (!d.Valid() || !s.Valid() || !IsSaneRect(destRect) || !IsSaneRect(sourceRect)) return;
  const int maskRow = static_cast<int>(SafeHeight(mask.SourceRect) / 2);
  if (maskRow <= 0) return;
  TArea a = AreaBetween(destRect, sourceRect);
  if (!ClipArea(a, d.Width, d.Height, s.Width, s.Height - maskRow)) return;
  const bool fromBitmap = background.FillColor == clFuchsia && background.Bmp != nullptr;
  TPixels32 bg(fromBitmap && background.Bmp != bitmap ? background.Bmp : nullptr);
  const uint32_t fill =
      ColorToPixel32(static_cast<uint32_t>(ColorToRGB(background.FillColor))) | 0xFF000000u;
  for (int row = 0; row < a.Height; ++row) {
    const uint32_t* sp = s.Row(a.SourceY + row) + a.SourceX;
    const uint32_t* mp = s.Row(a.SourceY + maskRow + row) + a.SourceX;
    uint32_t* dp = d.Row(a.DestY + row) + a.DestX;
    for (int i = 0; i < a.Width; ++i) {
      if (sp[i] != KeyColor) {
        dp[i] = MaskedMix(dp[i], sp[i], mp[i]);
      } else if (!fromBitmap) {
        dp[i] = fill;
      } else if (bg.Valid()) {
        const int64_t bx = int64_t{a.DestX} + i + background.X;
        const int64_t by = int64_t{a.DestY} + row + background.Y;
        if (bx >= 0 && by >= 0 && bx < bg.Width && by < bg.Height)
          dp[i] = bg.Row(static_cast<int>(by))[bx] | 0xFF000000u;
      }
    }
  }
}

void PaintMaskGlyph(TBitmap* bitmap, TPoint point, int state, const TsMaskData& mask,
                    const TsBackgroundSource& background) {
  if (mask.ImageCount <= 0 || !bitmap) return;
  state = std::clamp(state, 0, mask.ImageCount - 1);
  const int w = MaskStateWidth(mask), h = MaskStateHeight(mask);
  TRect source{mask.SourceRect.Left + state * w, mask.SourceRect.Top, 0, 0};
  TRect dest{point.X, point.Y, 0, 0};
  // A negative point drops the part outside and moves the source with it.
  if (dest.Left < 0) {
    source.Left -= dest.Left;
    dest.Left = 0;
  }
  if (dest.Top < 0) {
    source.Top -= dest.Top;
    dest.Top = 0;
  }
  const int width = w - (source.Left - (mask.SourceRect.Left + state * w));
  const int height = h - (source.Top - mask.SourceRect.Top);
  if (width <= 0 || height <= 0) return;
  source.Right = source.Left + width;
  source.Bottom = source.Top + height;
  dest.Right = dest.Left + width;
  dest.Bottom = dest.Top + height;
  if (mask.Image) {
    if (mask.Image->Width() < mask.SourceRect.Right ||
        mask.Image->Height() < mask.SourceRect.Bottom)
      return;
    CopyMaskImagePart(dest, source, bitmap, mask, mask.Image.get());
    return;
  }
  if (!mask.Manager || !mask.Manager->MasterImage()) return;
  if (mask.MaskType > 0)
    CopyMaskImagePart(dest, source, bitmap, mask, mask.Manager->MasterImage());
  else
    CopyRectWithBackground(bitmap, dest.TopLeft(), mask.Manager->MasterImage(), source, clFuchsia,
                           true, background);
}

void RestoreKeyedPixels(TBitmap* bitmap, const TRect& r, const TBitmap* background, TPoint origin,
                        int corner, const TsSkinManager* manager, int maskIndex) {
  TPixels32 d(bitmap), bg(background);
  if (!d.Valid() || !bg.Valid() || !IsSaneRect(r) || origin.X < 0 || origin.Y < 0) return;
  // The covered size: the rectangle cut to what the background holds from the origin.
  TArea a{r.Left,
          r.Top,
          origin.X,
          origin.Y,
          static_cast<int>(SafeWidth(r)),
          static_cast<int>(SafeHeight(r))};
  if (!ClipArea(a, d.Width, d.Height, bg.Width, bg.Height)) return;
  const TsMaskData* mask = nullptr;
  if (maskIndex >= 0 && manager && manager->IsValidMaskIndex(maskIndex))
    mask = &manager->Masks()[static_cast<size_t>(maskIndex)];
  if (!mask) {
    for (int row = 0; row < a.Height; ++row) {
      const uint32_t* bp = bg.Row(a.SourceY + row) + a.SourceX;
      uint32_t* dp = d.Row(a.DestY + row) + a.DestX;
      for (int i = 0; i < a.Width; ++i)
        if ((dp[i] & 0x00FFFFFFu) == KeyColor) dp[i] = bp[i];
    }
    return;
  }
  TPixels32 m(MaskSourceImage(*mask));
  if (!m.Valid()) return;
  const int w = MaskStateWidth(*mask), h = MaskStateHeight(*mask);
  int mx = mask->SourceRect.Left, my = mask->SourceRect.Top;
  if (corner == CornerTopRight || corner == CornerBottomRight) mx += w - mask->WidthRight;
  if (corner == CornerBottomLeft || corner == CornerBottomRight) my += h - mask->WidthBottom;
  for (int row = 0; row < a.Height; ++row) {
    const int64_t sy = int64_t{my} + (a.DestY - r.Top) + row;
    if (sy < 0 || sy >= m.Height) continue;
    const uint32_t* mp = m.Row(static_cast<int>(sy));
    const uint32_t* bp = bg.Row(a.SourceY + row) + a.SourceX;
    uint32_t* dp = d.Row(a.DestY + row) + a.DestX;
    for (int i = 0; i < a.Width; ++i) {
      const int64_t sx = int64_t{mx} + (a.DestX - r.Left) + i;
      if (sx >= 0 && sx < m.Width && (mp[sx] & 0x00FFFFFFu) == KeyColor) dp[i] = bp[i];
    }
  }
}

void FillKeyedCornerRect(TBitmap* bitmap, const TBitmap* maskImage, const TRect& maskRect,
                         TPoint at, const TsBackgroundSource& background) {
  TPixels32 d(bitmap), m(maskImage);
  if (!d.Valid() || !m.Valid() || !IsSaneRect(maskRect)) return;
  TArea a{at.X,
          at.Y,
          maskRect.Left,
          maskRect.Top,
          static_cast<int>(SafeWidth(maskRect)),
          static_cast<int>(SafeHeight(maskRect))};
  if (!ClipArea(a, d.Width, d.Height, m.Width, m.Height)) return;
  TPixels32 bg(background.Bmp != bitmap ? background.Bmp : nullptr);
  for (int row = 0; row < a.Height; ++row) {
    const uint32_t* mp = m.Row(a.SourceY + row) + a.SourceX;
    uint32_t* dp = d.Row(a.DestY + row) + a.DestX;
    for (int i = 0; i < a.Width; ++i) {
      uint32_t p;
      if ((mp[i] & 0x00FFFFFFu) == KeyColor &&
          BackgroundAt(background, bg, a.DestX + i, a.DestY + row, p))
        dp[i] = p;
    }
  }
}

void FillKeyedCorner(TBitmap* bitmap, const TBitmap* maskImage, const TRect& maskRect, TPoint at,
                     const TsBackgroundSource& background) {
  FillKeyedCornerRect(bitmap, maskImage, maskRect, at, background);
}

void FillMaskCorners(TBitmap* bitmap, const TsMaskData& mask, int state,
                     const TsBackgroundSource& background) {
  const TBitmap* image = MaskSourceImage(mask);
  if (!bitmap || !image) return;
  TsMaskData view;  // only the geometry is used
  view.SourceRect = mask.SourceRect;
  view.ImageCount = mask.ImageCount;
  view.MaskType = mask.MaskType;
  if (mask.ImageCount == 0 && mask.Image) {
    view.MaskType = 1;
    view.ImageCount = 3;
    view.SourceRect = TRect{0, 0, image->Width(), image->Height()};
  }
  if (view.ImageCount <= 0) return;
  state = std::clamp(state, 0, view.ImageCount - 1);
  const int w = MaskStateWidth(view), h = MaskStateHeight(view);
  const int left = mask.WidthLeft, top = mask.WidthTop, right = mask.WidthRight,
            bottom = mask.WidthBottom;
  const int x0 = view.SourceRect.Left + state * w, y0 = view.SourceRect.Top;
  const int bw = bitmap->Width(), bh = bitmap->Height();
  auto corner = [&](int sx, int sy, int cw, int ch, int dx, int dy) {
    if (cw <= 0 || ch <= 0) return;
    const TRect source{sx, sy, sx + cw, sy + ch};
    if (view.MaskType == 0)
      FillKeyedCorner(bitmap, image, source, TPoint{dx, dy}, background);
    else
      FillKeyedCornerRect(bitmap, image, source, TPoint{dx, dy}, background);
  };
  corner(x0, y0, left, top, 0, 0);
  corner(x0 + w - right, y0, right, top, bw - right, 0);
  corner(x0, y0 + h - bottom, left, bottom, 0, bh - bottom);
  corner(x0 + w - right, y0 + h - bottom, right, bottom, bw - right, bh - bottom);
}
