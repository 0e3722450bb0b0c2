#include "skin/core/pixels/sGraphics.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/pixels/sPixelRows.h"

namespace {

// Where a copy reads and writes, already cut to both bitmaps.
struct TCopyArea {
  int DestX = 0, DestY = 0, SourceX = 0, SourceY = 0, Width = 0, Height = 0;
};

// sourceRect cut to the source (a cut left or top edge moves the destination start with it),
// then to the destination (a negative destination start moves the source start). False when
// nothing is left. 64-bit arithmetic, so no rectangle a caller passes can overflow.
bool ClipCopy(const TRect& sourceRect, int64_t dx, int64_t dy, int sourceWidth, int sourceHeight,
              int destWidth, int destHeight, TCopyArea& area) {
  int64_t sl = sourceRect.Left, st = sourceRect.Top;
  int64_t sr = std::min<int64_t>(sourceRect.Right, sourceWidth);
  int64_t sb = std::min<int64_t>(sourceRect.Bottom, sourceHeight);
  if (sl < 0) dx -= sl, sl = 0;
  if (st < 0) dy -= st, st = 0;
  if (dx < 0) sl -= dx, dx = 0;
  if (dy < 0) st -= dy, dy = 0;
  const int64_t w = std::min(sr - sl, destWidth - dx);
  const int64_t h = std::min(sb - st, destHeight - dy);
  if (w <= 0 || h <= 0) return false;
  area = {static_cast<int>(dx), static_cast<int>(dy), static_cast<int>(sl),
          static_cast<int>(st), static_cast<int>(w),  static_cast<int>(h)};
  return true;
}

uint32_t KeyPixel(TColor key) { return SwapRedBlueBytes(static_cast<uint32_t>(key)); }

uint8_t Byte(uint32_t v, int index) { return static_cast<uint8_t>(v >> (index * 8)); }

// The house mixing rule: d := ((s - d) * w + d * 256) shr 8, w in 0..255.
inline uint32_t MixByte(int d, int s, int w) {
  return static_cast<uint32_t>(((s - d) * w + d * 256) >> 8);
}

// The pixel of a background bitmap at (x, y), or false when it lies outside.
bool BackgroundPixel(const TPixels32& bg, int64_t x, int64_t y, uint32_t& pixel) {
  if (x < 0 || y < 0 || x >= bg.Width || y >= bg.Height) return false;
  pixel = bg.Row(static_cast<int>(y))[x];
  return true;
}

// A 32-bit copy of any bitmap; the caller's bitmap keeps its format and alpha.
std::unique_ptr<TBitmap> Copy32(const TBitmap* source) {
  auto copy = std::make_unique<TBitmap>();
  copy->Assign(const_cast<TBitmap*>(source));
  copy->SetPixelFormat(pf32bit);
  return copy;
}

TRect WholeRect(const TBitmap* b) { return {0, 0, b->Width(), b->Height()}; }

// A rectangle from a start and a 64-bit size, the far edges kept inside the int range.
TRect SizedRect(int left, int top, int64_t width, int64_t height) {
  return {left, top, static_cast<int>(std::min<int64_t>(left + width, INT32_MAX)),
          static_cast<int>(std::min<int64_t>(top + height, INT32_MAX))};
}

// The area a copy from sourceRect to destRect covers, the smaller of their sizes, clipped
// to both bitmaps; false when nothing lands.
bool ClipRectToRect(const TRect& destRect, const TRect& sourceRect, const TPixels32& s,
                    const TPixels32& d, TCopyArea& a) {
  const int64_t w = std::min(SafeWidth(destRect), SafeWidth(sourceRect));
  const int64_t h = std::min(SafeHeight(destRect), SafeHeight(sourceRect));
  return w > 0 && h > 0 &&
         ClipCopy(SizedRect(sourceRect.Left, sourceRect.Top, w, h), destRect.Left, destRect.Top,
                  s.Width, s.Height, d.Width, d.Height, a);
}

// Calls visit(sourceRow, destRow, area, row) for each row of sourceRect that lands on dest at
// (x, y), the rows starting at the area's first pixel; nothing when either bitmap is not 32-bit
// or nothing lands.
template <class TVisit>
void ForEachCopiedRow(TBitmap* dest, const TBitmap* source, const TRect& sourceRect, int x, int y,
                      TVisit visit) {
  TPixels32 d(dest), s(source);
  TCopyArea a;
  if (!d.Valid() || !s.Valid() ||
      !ClipCopy(sourceRect, x, y, s.Width, s.Height, d.Width, d.Height, a))
    return;
  for (int row = 0; row < a.Height; ++row)
    visit(s.Row(a.SourceY + row) + a.SourceX, d.Row(a.DestY + row) + a.DestX, a, row);
}

}  // namespace

std::unique_ptr<TBitmap> CreateBmp32(int width, int height) {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(pf32bit);
  bmp->SetSize(std::max(width, 0), std::max(height, 0));
  return bmp;
}

std::unique_ptr<TBitmap> CreateBitmapLike(const TBitmap* bitmap) {
  auto bmp = std::make_unique<TBitmap>();
  if (!bitmap) return bmp;
  bmp->SetPixelFormat(bitmap->PixelFormat());
  bmp->SetSize(bitmap->Width(), bitmap->Height());
  return bmp;
}

void CopyKeyedBitmap(TBitmap* dest, const TBitmap* source, int x, TColor key, int y) {
  TPixels32 d(dest);
  if (!d.Valid() || !source || source->Empty()) return;
  TCopyArea a;
  if (!ClipCopy(WholeRect(source), x, y, source->Width(), source->Height(), d.Width, d.Height, a))
    return;
  const uint32_t keyPixel = KeyPixel(key);
  if (source->PixelFormat() == pf32bit) {
    TPixels32 s(source);
    for (int row = 0; row < a.Height; ++row) {
      const uint32_t* sp = s.Row(a.SourceY + row) + a.SourceX;
      uint32_t* dp = d.Row(a.DestY + row) + a.DestX;
      for (int i = 0; i < a.Width; ++i)
        if (sp[i] != keyPixel) dp[i] = sp[i] | 0xFF000000u;
    }
    return;
  }
  // Other formats are compared as 24-bit pixels, on a copy: the caller's bitmap stays as it is.
  TBitmap rgb;
  rgb.Assign(const_cast<TBitmap*>(source));
  rgb.SetPixelFormat(pf24bit);
  const uint32_t key24 = keyPixel & 0x00FFFFFFu;
  for (int row = 0; row < a.Height; ++row) {
    const uint8_t* sp = rgb.ScanLine(a.SourceY + row) + a.SourceX * 3;
    uint32_t* dp = d.Row(a.DestY + row) + a.DestX;
    for (int i = 0; i < a.Width; ++i, sp += 3) {
      const uint32_t v = sp[0] | sp[1] << 8 | sp[2] << 16;
      if (v != key24) dp[i] = v | 0xFF000000u;
    }
  }
}

void CopyBitmapRect(TBitmap* dest, int x, int y, const TBitmap* source, const TRect& sourceRect) {
  ForEachCopiedRow(dest, source, sourceRect, x, y,
                   [](const uint32_t* sp, uint32_t* dp, const TCopyArea& a, int) {
                     std::copy_n(sp, a.Width, dp);
                   });
}

std::unique_ptr<TBitmap> CopyBitmapArea(const TBitmap& source, const TRect& area) {
  auto copy = CreateBmp32(std::max(area.Width(), 0), std::max(area.Height(), 0));
  std::unique_ptr<TBitmap> converted;
  if (source.PixelFormat() != pf32bit) converted = Copy32(&source);
  CopyBitmapRect(copy.get(), 0, 0, converted ? converted.get() : &source, area);
  return copy;
}

void CopyRectSkippingKey(TBitmap* dest, TPoint at, const TBitmap* source, const TRect& sourceRect,
                         TColor key) {
  const uint32_t keyPixel = KeyPixel(key);
  ForEachCopiedRow(dest, source, sourceRect, at.X, at.Y,
                   [&](const uint32_t* sp, uint32_t* dp, const TCopyArea& a, int) {
                     for (int i = 0; i < a.Width; ++i)
                       if (sp[i] != keyPixel) dp[i] = sp[i];
                   });
}

void CopyRectWithBackground(TBitmap* dest, TPoint at, const TBitmap* source,
                            const TRect& sourceRect, TColor key, bool useBackground,
                            const TsBackgroundSource& background) {
  const int x = at.X, y = at.Y;
  const uint32_t keyPixel = KeyPixel(key);
  const bool hasBitmap = background.Bmp != nullptr;
  const bool fromBitmap = hasBitmap && useBackground;
  const bool bgIsDest = fromBitmap && background.Bmp == dest;
  TPixels32 bg(fromBitmap && !bgIsDest ? background.Bmp : nullptr);
  const uint32_t fill = (KeyPixel(ColorToRGB(background.FillColor)) & 0x00FFFFFFu) | 0xFF000000u;
  ForEachCopiedRow(dest, source, sourceRect, x, y,
                   [&](const uint32_t* sp, uint32_t* dp, const TCopyArea& a, int row) {
                     for (int i = 0; i < a.Width; ++i) {
                       const bool isKey = sp[i] == keyPixel;
                       if (fromBitmap) {
                         if (!isKey) {
                           dp[i] = sp[i] | 0xFF000000u;
                         } else if (!bgIsDest) {
                           uint32_t p;
                           if (BackgroundPixel(bg, int64_t{a.DestX} + i + background.X,
                                               int64_t{a.DestY} + row + background.Y, p))
                             dp[i] = p | 0xFF000000u;
                         }
                       } else if (hasBitmap) {
                         if (!isKey) dp[i] = sp[i];
                       } else {
                         dp[i] = isKey ? fill : sp[i];
                       }
                     }
                   });
}

void BlendBitmapKeyed(TBitmap* dest, TPoint at, const TBitmap* source, const TRect& sourceRect,
                      TColor key, double t) {
  const uint32_t keyPixel = KeyPixel(key);
  ForEachCopiedRow(dest, source, sourceRect, at.X, at.Y,
                   [&](const uint32_t* sp, uint32_t* dp, const TCopyArea& a, int) {
                     for (int i = 0; i < a.Width; ++i) {
                       if (sp[i] == keyPixel) continue;
                       uint32_t out = dp[i] & 0xFF000000u;
                       for (int c = 0; c < 3; ++c) {
                         const double sc = Byte(sp[i], c), dc = Byte(dp[i], c);
                         out |= uint32_t{RoundToByte(sc - (sc - dc) * t)} << (c * 8);
                       }
                       dp[i] = out;
                     }
                   });
}

void TintBitmap(TBitmap* bitmap, TColor color, double k) {
  TPixels32 b(bitmap);
  if (!b.Valid()) return;
  const uint32_t c = KeyPixel(ColorToRGB(color));
  for (int y = 0; y < b.Height; ++y) {
    uint32_t* p = b.Row(y);
    for (int x = 0; x < b.Width; ++x) {
      if (p[x] == KeyColor) continue;
      uint32_t out = p[x] & 0xFF000000u;
      for (int i = 0; i < 3; ++i)
        out |= uint32_t{RoundToByte(k * (Byte(p[x], i) - Byte(c, i)) + Byte(c, i))} << (i * 8);
      p[x] = out;
    }
  }
}

void ColorizeByMask(TBitmap* bitmap, const TBitmap* mask, TColor color) {
  TPixels32 b(bitmap), m(mask);
  if (!b.Valid() || !m.Valid() || b.Width != m.Width || b.Height != m.Height) return;
  const uint32_t rgb = static_cast<uint32_t>(ColorToRGB(color));
  const int cr = rgb & 0xFF, cg = (rgb >> 8) & 0xFF, cb = (rgb >> 16) & 0xFF;
  for (int y = 0; y < b.Height; ++y) {
    uint32_t* p = b.Row(y);
    const uint32_t* mp = m.Row(y);
    for (int x = 0; x < b.Width; ++x) {
      const int blue = Byte(p[x], 0), green = Byte(p[x], 1), red = Byte(p[x], 2);
      const int mb = Byte(mp[x], 0), mg = Byte(mp[x], 1), mr = Byte(mp[x], 2);
      const int nr = std::clamp(cr - ((mr * (cr - red) + 255) >> 8), 0, 255);
      const int ng = std::clamp((cg * 256 + (green - cg) * mg) >> 8, 0, 255);
      const int nb = std::clamp((cb * 256 + (blue - cb) * mb) >> 8, 0, 255);
      p[x] = (p[x] & 0xFF000000u) | uint32_t(nr) << 16 | uint32_t(ng) << 8 | uint32_t(nb);
    }
  }
}

void BlendBitmaps(TBitmap* dest, const TBitmap* source, uint8_t weight) {
  if (!dest || !source || dest->Width() != source->Width() || dest->Height() != source->Height())
    return;
  TskFastSum32 sum;
  if (!sum.AttachBitmaps(const_cast<TBitmap*>(source), dest)) return;
  sum.DestWeight = weight;
  sum.DestRect = sum.SourceRect = WholeRect(dest);
  sum.Blend();
}

void BlendBitmapRect(TBitmap* dest, const TBitmap* source, uint8_t weight, TPoint point,
                     const TRect& sourceRect) {
  if (!dest || !source) return;
  TCopyArea a;
  if (SafeWidth(sourceRect) <= 0 || SafeHeight(sourceRect) <= 0 ||
      !ClipCopy(sourceRect, point.X, point.Y, source->Width(), source->Height(), dest->Width(),
                dest->Height(), a))
    return;
  TskFastSum32 sum;
  if (!sum.AttachBitmaps(const_cast<TBitmap*>(source), dest)) return;
  sum.DestWeight = weight;
  sum.DestRect = Bounds(a.DestX, a.DestY, a.Width, a.Height);
  sum.SourceRect = Bounds(a.SourceX, a.SourceY, a.Width, a.Height);
  sum.Blend();
}

void MixBitmaps(TBitmap* result, const TBitmap* first, const TBitmap* second, uint8_t weight,
                const TBitmap* mask) {
  TPixels32 r(result), a(first), b(second), m(mask);
  if (!r.Valid() || !a.Valid() || !b.Valid() || a.Width != b.Width || a.Height != b.Height ||
      r.Width != a.Width || r.Height != a.Height)
    return;
  if (mask && (!m.Valid() || m.Width != a.Width || m.Height != a.Height)) return;
  for (int y = 0; y < a.Height; ++y) {
    auto* rp = reinterpret_cast<uint8_t*>(r.Row(y));
    const auto* ap = reinterpret_cast<const uint8_t*>(a.Row(y));
    const auto* bp = reinterpret_cast<const uint8_t*>(b.Row(y));
    const auto* mp = mask ? reinterpret_cast<const uint8_t*>(m.Row(y)) : nullptr;
    for (int i = 0; i < a.Width * 4; ++i)
      rp[i] = static_cast<uint8_t>(MixByte(bp[i], ap[i], mp ? mp[i] : weight));
  }
}

void BlendByAlphaMask(TBitmap* dest, const TBitmap* source, const TBitmap* mask, const TRect& r) {
  TPixels32 d(dest), s(source), m(mask);
  if (!d.Valid() || !s.Valid() || !m.Valid() || d.Width < SafeWidth(r) || d.Height < SafeHeight(r))
    return;
  const int left = std::max(r.Left, 0), top = std::max(r.Top, 0);
  const int right = std::min({r.Right, d.Width, s.Width, m.Width});
  const int bottom = std::min({r.Bottom, d.Height, s.Height, m.Height});
  for (int y = top; y < bottom; ++y) {
    uint32_t* dp = d.Row(y);
    const uint32_t* sp = s.Row(y);
    const uint32_t* mp = m.Row(y);
    for (int x = left; x < right; ++x) {
      const int mv = Byte(mp[x], 2), alpha = Byte(sp[x], 3);
      if (mv == 255) continue;
      const int w = mv == 0 ? alpha : ((255 - mv) * alpha) >> 8;
      dp[x] = MixColourChannels(dp[x], sp[x], w);
    }
  }
}

void CopyAlphaBitmap(const TRect& destRect, const TRect& sourceRect, TBitmap* dest,
                     bool useBackground, const TsBackgroundSource& background,
                     const TBitmap* source) {
  TPixels32 d(dest), s(source);
  if (!d.Valid() || !s.Valid()) return;
  TCopyArea a;
  if (!ClipRectToRect(destRect, sourceRect, s, d, a)) return;
  const bool withBackground = background.Bmp != nullptr;
  TPixels32 bg(withBackground && useBackground ? background.Bmp : nullptr);
  for (int row = 0; row < a.Height; ++row) {
    const uint32_t* sp = s.Row(a.SourceY + row) + a.SourceX;
    uint32_t* dp = d.Row(a.DestY + row) + a.DestX;
    if (!withBackground) {
      AlphaOverRow(dp, sp, static_cast<size_t>(a.Width));
      continue;
    }
    for (int i = 0; i < a.Width; ++i) {
      const uint32_t sv = sp[i];
      if (sv != KeyColor) {
        dp[i] = AlphaOver(dp[i], sv);
        continue;
      }
      uint32_t p;
      if (bg.Valid() && BackgroundPixel(bg, int64_t{background.X} + a.DestX + i,
                                        int64_t{background.Y} + a.DestY + row, p))
        dp[i] = p | 0xFF000000u;
    }
  }
}

void CopyImageWithEffects(TBitmap* dest, const TRect& destRect, const TBitmap* source,
                          const TRect& sourceRect, const TsImageEffects& effects) {
  const bool reflected = effects.Reflected, useBackground = effects.UseBackground;
  const int transparency = effects.Transparency;
  const TColor blendColor = effects.BlendColor;
  const TsBackgroundSource& background = effects.Background;
  if (!source || source->Empty()) return;
  std::unique_ptr<TBitmap> converted;
  if (source->PixelFormat() != pf32bit) {
    converted = Copy32(source);  // the caller's bitmap keeps its format
    source = converted.get();
  }
  TPixels32 d(dest), s(source);
  if (!d.Valid() || !s.Valid()) return;
  TCopyArea a;
  if (!ClipRectToRect(destRect, sourceRect, s, d, a)) return;
  const int extra = std::clamp(transparency, 0, 100);
  const bool tinted = blendColor != NoBlendColor;
  const uint32_t tint = tinted ? KeyPixel(ColorToRGB(blendColor)) : 0;
  const bool withBackground = background.Bmp != nullptr;
  TPixels32 bg(withBackground && useBackground ? background.Bmp : nullptr);

  auto tintedSource = [&](uint32_t sv) {
    if (!tinted) return sv;
    const int g = (Byte(sv, 0) + Byte(sv, 1) + Byte(sv, 2)) / 3;
    uint32_t out = sv & 0xFF000000u;
    for (int c = 0; c < 3; ++c)
      out |= uint32_t{RoundToByte(std::min(g * Byte(tint, c) / 255.0, 255.0))} << (c * 8);
    return out;
  };

  for (int row = 0; row < a.Height; ++row) {
    const uint32_t* sp = s.Row(a.SourceY + row) + a.SourceX;
    uint32_t* dp = d.Row(a.DestY + row) + a.DestX;
    for (int i = 0; i < a.Width; ++i) {
      const uint32_t sv = sp[i];
      if (sv == KeyColor) {
        uint32_t p;
        if (bg.Valid() && BackgroundPixel(bg, int64_t{background.X} + a.DestX + i,
                                          int64_t{background.Y} + a.DestY + row, p))
          dp[i] = p | 0xFF000000u;
        continue;
      }
      const int alpha = Byte(sv, 3);
      const int weight = (100 - extra) * alpha / 100;
      uint32_t out = MixColourChannels(dp[i], tintedSource(sv), weight);
      if (extra == 0 && !tinted && withBackground)
        out = (out & 0x00FFFFFFu) | uint32_t(std::max<int>(Byte(dp[i], 3), alpha)) << 24;
      dp[i] = out;
    }
  }
  if (!reflected) return;

  // The mirror image: rows below the copy take the copy's rows from its bottom upwards,
  // fading out. A source under 2 rows has nothing to mirror.
  const int half = a.Height / 2;
  const int destBottom = a.DestY + a.Height;
  const int rows = std::min(half - 1, d.Height - destBottom - 1);
  if (rows <= 0 || half <= 0) return;
  const int fallPerRow = 255 / half;
  int level = 255;
  for (int k = 1; k <= rows; ++k, level -= fallPerRow) {
    const uint32_t* sp = s.Row(a.SourceY + a.Height - k) + a.SourceX;
    uint32_t* dp = d.Row(destBottom - 1 + k) + a.DestX;
    for (int i = 0; i < a.Width; ++i) {
      const uint32_t sv = sp[i];
      if (sv == KeyColor) continue;
      const int alpha = Byte(sv, 3);
      const int m =
          extra == 0 ? level * (alpha / 3) / 255 : (100 - extra) * alpha / 300 * level / 255;
      dp[i] = MixColourChannels(dp[i], tintedSource(sv), std::max(m, 0));
    }
  }
}

std::unique_ptr<TBitmap> RotateBitmap90(const TBitmap* bitmap, bool clockwise) {
  TPixels32 s(bitmap);
  if (!s.Valid()) return nullptr;
  auto result = CreateBmp32(s.Height, s.Width);
  TPixels32 d(result.get());
  for (int y = 0; y < s.Height; ++y) {
    const uint32_t* sp = s.Row(y);
    for (int x = 0; x < s.Width; ++x) {
      if (clockwise)
        d.Row(x)[s.Height - 1 - y] = sp[x];
      else
        d.Row(s.Width - 1 - x)[y] = sp[x];
    }
  }
  return result;
}

std::unique_ptr<TBitmap> RotateBitmap90(std::unique_ptr<TBitmap>& bitmap, bool clockwise,
                                        bool freeSource) {
  auto result = RotateBitmap90(bitmap.get(), clockwise);
  if (freeSource) bitmap.reset();
  return result;
}

void CopyBitmapChannel(TBitmap* bitmap32, TBitmap* bitmap8, int channel, bool toEightBit) {
  TPixels32 b(bitmap32);
  if (!b.Valid() || !bitmap8 || bitmap8->PixelFormat() != pf8bit || channel < 0 || channel > 3)
    return;
  const int w = std::min(b.Width, bitmap8->Width()), h = std::min(b.Height, bitmap8->Height());
  for (int y = 0; y < h; ++y) {
    auto* p = reinterpret_cast<uint8_t*>(b.Row(y)) + channel;
    uint8_t* q = bitmap8->ScanLine(y);
    for (int x = 0; x < w; ++x, p += 4) {
      if (toEightBit)
        q[x] = *p;
      else
        *p = q[x];
    }
  }
}

namespace {

// sourceRect copied as it is to (x, y), cut to both bitmaps and to the clip rectangle.
void CopyRect32(const TPixels32& d, int64_t x, int64_t y, const TPixels32& s, TRect sourceRect,
                const TRect& clip) {
  // Cut the source so that the copy stays inside clip.
  const int64_t cutLeft = std::max<int64_t>(0, clip.Left - x);
  const int64_t cutTop = std::max<int64_t>(0, clip.Top - y);
  sourceRect.Left =
      static_cast<int>(std::min<int64_t>(sourceRect.Left + cutLeft, sourceRect.Right));
  sourceRect.Top = static_cast<int>(std::min<int64_t>(sourceRect.Top + cutTop, sourceRect.Bottom));
  x += cutLeft;
  y += cutTop;
  sourceRect.Right = static_cast<int>(
      std::min<int64_t>(sourceRect.Right, sourceRect.Left + (int64_t{clip.Right} - x)));
  sourceRect.Bottom = static_cast<int>(
      std::min<int64_t>(sourceRect.Bottom, sourceRect.Top + (int64_t{clip.Bottom} - y)));
  TCopyArea a;
  if (!ClipCopy(sourceRect, x, y, s.Width, s.Height, d.Width, d.Height, a)) return;
  for (int row = 0; row < a.Height; ++row)
    std::copy_n(s.Row(a.SourceY + row) + a.SourceX, a.Width, d.Row(a.DestY + row) + a.DestX);
}

// area filled with copies of the piece (last column and row cut); pieces are laid from the
// area's top-left, and only those reaching into the bitmap are copied.
void TileRect32(const TPixels32& d, const TRect& area, const TPixels32& s, const TRect& piece) {
  const int64_t pw = piece.Width(), ph = piece.Height();
  const TRect clip{std::max(area.Left, 0), std::max(area.Top, 0), std::min(area.Right, d.Width),
                   std::min(area.Bottom, d.Height)};
  if (pw <= 0 || ph <= 0 || clip.Right <= clip.Left || clip.Bottom <= clip.Top) return;
  const int64_t firstX = area.Left + (clip.Left - int64_t{area.Left}) / pw * pw;
  const int64_t firstY = area.Top + (clip.Top - int64_t{area.Top}) / ph * ph;
  for (int64_t ty = firstY; ty < clip.Bottom; ty += ph)
    for (int64_t tx = firstX; tx < clip.Right; tx += pw) CopyRect32(d, tx, ty, s, piece, clip);
}

// Per destination index along one axis: the two source indexes and the weight (0..256) of
// the second, sampling pixel centres; indexes kept inside first..last.
struct TLinearTap {
  int First, Second;
  unsigned Weight;
};

std::vector<TLinearTap> LinearTaps(int64_t destStart, int64_t destSize, int64_t from, int64_t to,
                                   int64_t sourceStart, int64_t sourceSize, int first, int last) {
  std::vector<TLinearTap> taps;
  taps.reserve(static_cast<size_t>(std::max<int64_t>(to - from, 0)));
  for (int64_t i = from; i < to; ++i) {
    // Source position in 1/256 pixels: ((i + 0.5) * sourceSize / destSize - 0.5).
    const int64_t pos =
        ((2 * (i - destStart) + 1) * sourceSize * 256) / (2 * destSize) - 128 + sourceStart * 256;
    int64_t i0 = pos >> 8;
    unsigned w = static_cast<unsigned>(pos & 0xFF);
    if (i0 < first) i0 = first, w = 0;
    if (i0 > last) i0 = last;
    const int64_t i1 = std::min<int64_t>(i0 + 1, last);
    taps.push_back({static_cast<int>(i0), static_cast<int>(i1), w});
  }
  return taps;
}

}  // namespace

void StretchRect32(TBitmap* dest, const TRect& destRect, const TBitmap* source,
                   const TRect& sourceRect) {
  TPixels32 d(dest), s(source);
  if (!d.Valid() || !s.Valid() || !IsSaneRect(destRect) || !IsSaneRect(sourceRect)) return;
  const int64_t dw = int64_t{destRect.Right} - destRect.Left;
  const int64_t dh = int64_t{destRect.Bottom} - destRect.Top;
  const int64_t sw = int64_t{sourceRect.Right} - sourceRect.Left;
  const int64_t sh = int64_t{sourceRect.Bottom} - sourceRect.Top;
  // Samples are taken only inside the part of sourceRect that lies in the source.
  const int sx0 = std::max(sourceRect.Left, 0), sx1 = std::min(sourceRect.Right, s.Width) - 1;
  const int sy0 = std::max(sourceRect.Top, 0), sy1 = std::min(sourceRect.Bottom, s.Height) - 1;
  const int left = std::max(destRect.Left, 0), right = std::min(destRect.Right, d.Width);
  const int top = std::max(destRect.Top, 0), bottom = std::min(destRect.Bottom, d.Height);
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || sx1 < sx0 || sy1 < sy0 || right <= left ||
      bottom <= top)
    return;
  const auto xs = LinearTaps(destRect.Left, dw, left, right, sourceRect.Left, sw, sx0, sx1);
  const auto ys = LinearTaps(destRect.Top, dh, top, bottom, sourceRect.Top, sh, sy0, sy1);
  const size_t width = static_cast<size_t>(right - left);

  // Source rows scaled across once each and kept while destination rows still need them.
  struct TScaledRow {
    int Index = -1;
    std::vector<uint32_t> Pixels;
  };
  TScaledRow cache[2];
  auto scaled = [&](int index, int avoid) -> const uint32_t* {
    for (TScaledRow& c : cache)
      if (c.Index == index) return c.Pixels.data();
    TScaledRow& slot = cache[0].Index == avoid ? cache[1] : cache[0];
    slot.Index = index;
    slot.Pixels.resize(width);
    const uint32_t* row = s.Row(index);
    for (size_t x = 0; x < width; ++x) {
      const TLinearTap& tx = xs[x];
      const uint32_t a = row[tx.First], b = row[tx.Second];
      const uint32_t wb = tx.Weight, wa = 256 - wb;
      // Two channels at a time: blue and red, then green and alpha.
      const uint32_t rb = (((a & 0x00FF00FFu) * wa + (b & 0x00FF00FFu) * wb) >> 8) & 0x00FF00FFu;
      const uint32_t ga =
          (((a >> 8) & 0x00FF00FFu) * wa + ((b >> 8) & 0x00FF00FFu) * wb) & 0xFF00FF00u;
      slot.Pixels[x] = rb | ga;
    }
    return slot.Pixels.data();
  };
  for (int y = top; y < bottom; ++y) {
    const TLinearTap& ty = ys[static_cast<size_t>(y - top)];
    const uint32_t* first = scaled(ty.First, ty.Second);
    uint32_t* out = d.Row(y) + left;
    if (ty.Weight == 0 || ty.Second == ty.First) {
      std::copy_n(first, width, out);
      continue;
    }
    LerpRow(reinterpret_cast<uint8_t*>(out), reinterpret_cast<const uint8_t*>(first),
            reinterpret_cast<const uint8_t*>(scaled(ty.Second, ty.First)), width * 4, ty.Weight);
  }
}

void CopyNineSlice(TBitmap* dest, const TRect& destRect, const TBitmap* source,
                   const TRect& sourceRect, const TsNineSlice& slice) {
  TPixels32 d(dest), s(source);
  if (!d.Valid() || !s.Valid() || !IsSaneRect(destRect) || !IsSaneRect(slice.CornerLimits) ||
      !IsSaneRect(slice.Margins) || !IsSaneRect(sourceRect))
    return;
  const TRect& D = destRect;
  const TRect& S = sourceRect;
  const TRect& M = slice.Margins;
  const TRect& K = slice.CornerLimits;
  const TsNineSliceModes& edgeModes = slice.EdgeModes;
  const TRect whole{0, 0, d.Width, d.Height};

  // Corners, each no higher than its limit; the band the limit leaves below a top corner
  // (above a bottom one) up to the full margin is filled limit-wide from the source band.
  auto corner = [&](int dx, int dy, int sx, int sy, int w, int margin, int limit, bool top,
                    int bandWidth) {
    const int h = std::min(margin, limit);
    CopyRect32(d, dx, top ? dy : dy + margin - h, s, Bounds(sx, top ? sy : sy + margin - h, w, h),
               whole);
    if (limit < margin) {
      const int bandH = margin - h;
      CopyRect32(d, dx, top ? dy + h : dy, s, Bounds(sx, top ? sy + h : sy, bandWidth, bandH),
                 whole);
    }
  };
  corner(D.Left, D.Top, S.Left, S.Top, M.Left, M.Top, K.Top, true, K.Left);
  corner(D.Right - M.Right, D.Top, S.Right - M.Right, S.Top, M.Right, M.Top, K.Top, true, K.Right);
  corner(D.Left, D.Bottom - M.Bottom, S.Left, S.Bottom - M.Bottom, M.Left, M.Bottom, K.Bottom,
         false, K.Left);
  corner(D.Right - M.Right, D.Bottom - M.Bottom, S.Right - M.Right, S.Bottom - M.Bottom, M.Right,
         M.Bottom, K.Bottom, false, K.Right);

  const int cx = std::max(0, S.Width() - M.Left - M.Right);
  const int cy = std::max(0, S.Height() - M.Top - M.Bottom);
  auto paint = [&](int mode, const TRect& area, const TRect& piece) {
    if (mode == 0)
      TileRect32(d, area, s, piece);
    else if (mode == 1)
      StretchRect32(dest, area, source, piece);
  };
  const int left = std::min(M.Left, K.Left), right = std::min(M.Right, K.Right);
  const int top = std::min(M.Top, K.Top), bottom = std::min(M.Bottom, K.Bottom);
  paint(edgeModes.Left, {D.Left, D.Top + M.Top, D.Left + left, D.Bottom - M.Bottom},
        Bounds(S.Left, S.Top + M.Top, left, cy));
  paint(edgeModes.Right, {D.Right - right, D.Top + M.Top, D.Right, D.Bottom - M.Bottom},
        Bounds(S.Right - right, S.Top + M.Top, right, cy));
  paint(edgeModes.Top, {D.Left + M.Left, D.Top, D.Right - M.Right, D.Top + top},
        Bounds(S.Left + M.Left, S.Top, cx, top));
  paint(edgeModes.Bottom, {D.Left + M.Left, D.Bottom - bottom, D.Right - M.Right, D.Bottom},
        Bounds(S.Left + M.Left, S.Bottom - bottom, cx, bottom));
  if (slice.DrawCentre)
    paint(slice.CentreMode,
          {D.Left + M.Left, D.Top + M.Top, D.Right - M.Right, D.Bottom - M.Bottom},
          Bounds(S.Left + M.Left, S.Top + M.Top, cx, cy));
}

void PaintGlyph(TBitmap* dest, const TRect& rect, const TBitmap* glyph, const TsGlyphLook& look) {
  const int count = look.Count, mode = look.Mode, state = look.State, blend = look.Blend;
  const bool enabled = look.Enabled;
  const TsDisabledKind disabledKind = look.DisabledKind;
  if (!glyph || glyph->Empty() || !dest || count < 1) return;
  auto copy = Copy32(glyph);
  const double t = blend / 100.0;
  const int h = copy->Height();
  TPixels32 g(copy.get());
  if (count == 1) {
    if (!enabled && disabledKind.Contains(dkGrayed)) GrayscaleBitmap(copy.get());
    // The key is the bottom-left pixel, compared with its alpha.
    const auto key = static_cast<TColor>(SwapRedBlueBytes(g.Row(h - 1)[0]));
    if (enabled) {
      if (mode != 0 || blend < 1)
        CopyKeyedBitmap(dest, copy.get(), rect.Left, key, rect.Top);
      else
        BlendBitmapKeyed(dest, rect.TopLeft(), copy.get(), WholeRect(copy.get()), clFuchsia, t);
    } else if (disabledKind.Contains(dkBlended)) {
      BlendBitmapKeyed(dest, rect.TopLeft(), copy.get(), WholeRect(copy.get()), key, 0.5);
    } else {
      CopyKeyedBitmap(dest, copy.get(), rect.Left, key, rect.Top);
    }
    return;
  }
  const int imageWidth = copy->Width() / count;
  if (imageWidth <= 0) return;
  const bool fourBit = glyph->PixelFormat() == pf4bit;
  int index;
  if (!enabled || mode == 0)
    index = 0;
  else if (mode == 1)
    index = fourBit ? 0 : 1;
  else if (mode == 2)
    index = int64_t{state} + 2 < count ? state + 2 : (fourBit ? 0 : std::min(1, count - 1));
  else
    return;
  if (index < 0) return;
  const TRect image = Bounds(index * imageWidth, 0, imageWidth, h);
  if (!enabled && mode == 0 && blend > 0) {
    BlendBitmapKeyed(dest, rect.TopLeft(), copy.get(), image, clFuchsia, t);
    return;
  }
  const int keyColumn = enabled ? image.Left : 0;
  const auto key = static_cast<TColor>(SwapRedBlueBytes(g.Row(h - 1)[keyColumn]));
  CopyRectSkippingKey(dest, rect.TopLeft(), copy.get(), image, key);
}

void PaintShadowRect(TBitmap* bitmap, const TRect& r, int intensity, int radius, int blurSize,
                     TColor color) {
  TPixels32 b(bitmap);
  if (!b.Valid()) return;
  const TRect c{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, b.Width),
                std::min(r.Bottom, b.Height)};
  if (SafeWidth(c) <= 0 || SafeHeight(c) <= 0) return;
  const int w = c.Width(), h = c.Height();
  auto work = CreateBmp32(w, h);
  auto mask = CreateBmp32(w, h);
  TPixels32 wp(work.get()), mp(mask.get());
  for (int y = 0; y < h; ++y) {
    std::copy_n(b.Row(c.Top + y) + c.Left, w, wp.Row(y));
    std::fill_n(mp.Row(y), w, 0xFFFFFFFFu);
  }
  const int n = std::max(0, std::min({blurSize, w / 2, h / 2}));
  const int rad = std::max(0, std::min({radius, w / 2, h / 2}));
  const int darkest = std::clamp(intensity, 0, 100) * 255 / 100;
  // Concentric rounded rectangles from white at the rim toward the darkest grey inside.
  for (int t = 0; t <= n; ++t) {
    const int grey =
        t == n
            ? darkest
            : darkest + static_cast<int>(std::nearbyint((255.0 - darkest) / (n + 1) * (n - t + 1)));
    const uint32_t v = 0xFF000000u | 0x010101u * static_cast<uint32_t>(std::clamp(grey, 0, 255));
    const int l = t, tp = t, rt = w - t, bt = h - t;
    for (int y = tp; y < bt; ++y)
      for (int x = l; x < rt; ++x) {
        // Outside the rounded corners: measured from the corner circle's centre.
        const int cxm = x < l + rad ? l + rad - x : (x >= rt - rad ? x - (rt - rad - 1) : 0);
        const int cym = y < tp + rad ? tp + rad - y : (y >= bt - rad ? y - (bt - rad - 1) : 0);
        if (cxm > 0 && cym > 0 && (cxm - 0.5) * (cxm - 0.5) + (cym - 0.5) * (cym - 0.5) > rad * rad)
          continue;
        mp.Row(y)[x] = v;
      }
  }
  ColorizeByMask(work.get(), mask.get(), color);
  for (int y = 0; y < h; ++y) std::copy_n(wp.Row(y), w, b.Row(c.Top + y) + c.Left);
}

#ifndef _WIN32
bool HasLayeredWindows() { return false; }
#endif
