#include "skin/core/pixels/sAlphaGraph.h"

#include <algorithm>
#include <cmath>

#include "framework/SysUtils.h"
#include "skin/core/pixels/sPixelRows.h"

namespace {

bool IsBindable(const TBitmap* bitmap) {
  return bitmap && bitmap->Width() >= 2 && bitmap->Height() >= 2;
}

// The address of row 0 and the distance to row 1 (negative for bottom-up rows).
void RowLayout(TBitmap* bitmap, uint8_t*& firstRow, ptrdiff_t& rowStep) {
  firstRow = bitmap->ScanLine(0);
  rowStep = bitmap->ScanLine(1) - firstRow;
}

// r cut to the area 0..width, 0..height; may come out empty (Right <= Left).
TRect ClipToSize(const TRect& r, int width, int height) {
  TRect c{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, width),
          std::min(r.Bottom, height)};
  // An empty result keeps Right >= Left, so its width never overflows.
  c.Right = std::max(c.Right, c.Left);
  c.Bottom = std::max(c.Bottom, c.Top);
  return c;
}

}  // namespace

bool TskFast32::AttachBitmap(TBitmap* bitmap) {
  if (!IsBindable(bitmap)) {
    ImageWidth = 0;
    return false;
  }
  if (bitmap->PixelFormat() != pf32bit) {
    ImageWidth = 0;
    throw EAssertionFailed("Bitmap format is not supported");
  }
  Image = bitmap;
  ImageWidth = bitmap->Width();
  ImageHeight = bitmap->Height();
  RowLayout(bitmap, FirstRow, RowStep);
  return true;
}

uint32_t TskFast32::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= ImageWidth || y >= ImageHeight) return 0;
  return SwapRedBlueBytes(*PixelAddress(x, y));
}

void TskFast32::SetPixel(int x, int y, uint32_t color) {
  if (x < 0 || y < 0 || x >= ImageWidth || y >= ImageHeight) return;
  *PixelAddress(x, y) = SwapRedBlueBytes(color);
}

void TskFast32::FillRect(const TRect& r, uint32_t pixel) {
  const TRect c = ClipToSize(r, ImageWidth, ImageHeight);
  const uint32_t value = pixel | 0xFF000000u;
  const ptrdiff_t rowBytes = ptrdiff_t{ImageWidth} * 4;
  if (c.Width() == ImageWidth && c.Height() > 0 && (RowStep == rowBytes || RowStep == -rowBytes)) {
    // Whole rows lie back to back: one run from the lowest address, without a call a row.
    uint32_t* lowest = PixelAddress(0, RowStep > 0 ? c.Top : c.Bottom - 1);
    FillRow(lowest, static_cast<size_t>(ImageWidth) * static_cast<size_t>(c.Height()), value);
    return;
  }
  for (int y = c.Top; y < c.Bottom; ++y) FillPixels32(PixelAddress(c.Left, y), c.Width(), value);
}

TPixels32::TPixels32(const TBitmap* bitmap) {
  if (!bitmap || bitmap->Empty() || bitmap->PixelFormat() != pf32bit) return;
  // The pixels are only read through a const bitmap; writers pass their own.
  auto* b = const_cast<TBitmap*>(bitmap);
  Width = b->Width();
  Height = b->Height();
  firstRow_ = b->ScanLine(0);
  rowStep_ = Height > 1 ? b->ScanLine(1) - firstRow_ : 0;
}

void FillPixels32(uint32_t* first, int count, uint32_t value) {
  if (count > 0) FillRow(first, static_cast<size_t>(count), value);
}

bool TskFastSum::AttachBitmaps(TBitmap* source, TBitmap* dest) {
  // Blending reads whole pixels of its format from both; a bitmap of shorter pixels would be
  // read past its rows.
  if (!IsBindable(source) || !IsBindable(dest) || source->PixelFormat() != format_ ||
      dest->PixelFormat() != format_)
    return false;
  SourceImage = source;
  DestImage = dest;
  sourceWidth_ = source->Width();
  sourceHeight_ = source->Height();
  destWidth_ = dest->Width();
  destHeight_ = dest->Height();
  CommonWidth = std::min(sourceWidth_, destWidth_);
  CommonHeight = std::min(sourceHeight_, destHeight_);
  RowLayout(source, SourceFirstRow, SourceRowStep);
  RowLayout(dest, DestFirstRow, DestRowStep);
  return true;
}

void TskFastSum::Blend() {
  if (!SourceFirstRow || !DestFirstRow) return;
  const int64_t dx = int64_t{DestRect.Left} - SourceRect.Left;
  const int64_t dy = int64_t{DestRect.Bottom} - SourceRect.Bottom;
  // Destination columns and rows whose source pixel also lies inside the source bitmap.
  const int64_t left = std::max<int64_t>({DestRect.Left, 0, dx});
  const int64_t right = std::min<int64_t>({DestRect.Right, destWidth_, sourceWidth_ + dx});
  const int64_t top = std::max<int64_t>({DestRect.Top, 0, dy});
  const int64_t bottom = std::min<int64_t>({DestRect.Bottom, destHeight_, sourceHeight_ + dy});
  if (right <= left || bottom <= top) return;

  const unsigned w = DestWeight;
  const size_t bytes = static_cast<size_t>(right - left) * bytesPerPixel_;
  for (int64_t y = bottom - 1; y >= top; --y) {
    uint8_t* d = DestFirstRow + y * DestRowStep + left * bytesPerPixel_;
    const uint8_t* s = SourceFirstRow + (y - dy) * SourceRowStep + (left - dx) * bytesPerPixel_;
    BlendRow(d, s, bytes, w);
  }
}

bool TskFast24::AttachBitmap(TBitmap* bitmap) {
  if (!IsBindable(bitmap)) {
    ImageWidth = 0;
    return false;
  }
  if (bitmap->PixelFormat() != pf24bit) {
    ImageWidth = 0;
    throw EAssertionFailed("Bitmap format is not supported");
  }
  Image = bitmap;
  ImageWidth = bitmap->Width();
  ImageHeight = bitmap->Height();
  RowLayout(bitmap, FirstRow, RowStep);
  return true;
}

uint32_t TskFast24::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= ImageWidth || y >= ImageHeight) return 0;
  const uint8_t* p = PixelAddress(x, y);
  return uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
}

void TskFast24::SetPixel(int x, int y, uint32_t color) {
  if (x < 0 || y < 0 || x >= ImageWidth || y >= ImageHeight) return;
  uint8_t* p = PixelAddress(x, y);
  p[0] = static_cast<uint8_t>(color >> 16);
  p[1] = static_cast<uint8_t>(color >> 8);
  p[2] = static_cast<uint8_t>(color);
}

void FillRect32(TBitmap* bitmap, const TRect& r, TColor color) {
  TskFast32 fast;
  if (fast.AttachBitmap(bitmap)) fast.FillRect(r, ColorToPixel32(static_cast<uint32_t>(color)));
}

void FillBorder32(TBitmap* bitmap, const TRect& r, int left, int top, int right, int bottom,
                  TColor color) {
  if (!IsSaneRect(r) || !IsSaneRect({left, top, right, bottom})) return;
  FillRect32(bitmap, {r.Left, r.Top, r.Right, r.Top + top}, color);
  FillRect32(bitmap, {r.Left, r.Top + top, r.Left + left, r.Bottom}, color);
  FillRect32(bitmap, {r.Left + left, r.Bottom - bottom, r.Right, r.Bottom}, color);
  FillRect32(bitmap, {r.Right - right, r.Top + top, r.Right, r.Bottom - bottom}, color);
}

void FillAlphaRect(TBitmap* bitmap, const TRect& r, uint8_t alpha, bool skipKey) {
  TskFast32 fast;
  if (!fast.AttachBitmap(bitmap)) return;
  const TRect c = ClipToSize(r, fast.ImageWidth, fast.ImageHeight);
  const uint32_t a = uint32_t{alpha} << 24;
  for (int y = c.Top; y < c.Bottom; ++y) {
    uint32_t* p = fast.PixelAddress(c.Left, y);
    for (int x = 0; x < c.Width(); ++x) {
      if (skipKey && p[x] == KeyColor) continue;
      p[x] = (p[x] & 0x00FFFFFFu) | a;
    }
  }
}

void BlendRectColor(TBitmap* bitmap, const TRect& r, int percent, TColor color) {
  TskFast32 fast;
  if (!fast.AttachBitmap(bitmap)) return;
  const TRect c = ClipToSize(r, fast.ImageWidth, fast.ImageHeight);
  const uint32_t rgb = static_cast<uint32_t>(ColorToRGB(color));
  const double k = percent / 100.0;
  const double colourPart[3] = {(1 - k) * ((rgb >> 16) & 0xFF), (1 - k) * ((rgb >> 8) & 0xFF),
                                (1 - k) * (rgb & 0xFF)};  // blue, green, red
  for (int y = c.Top; y < c.Bottom; ++y) {
    auto* p = reinterpret_cast<uint8_t*>(fast.PixelAddress(c.Left, y));
    for (int x = 0; x < c.Width(); ++x, p += 4)
      for (int ch = 0; ch < 3; ++ch) p[ch] = RoundToByte(k * p[ch] + colourPart[ch]);
  }
}

void PaintDisabledEffect(TBitmap* bitmap, TsDisabledKind kind, TColor controlColor, TPoint offset,
                         const TsBackgroundSource& background) {
  if (!bitmap || bitmap->Empty()) return;
  if (kind.Contains(dkGrayed)) GrayscaleBitmap(bitmap);
  if (!kind.Contains(dkBlended)) return;
  if (background.Bmp) {
    const int64_t x = int64_t{background.X} + offset.X, y = int64_t{background.Y} + offset.Y;
    if (x < INT32_MIN || y < INT32_MIN || x > INT32_MAX || y > INT32_MAX) return;
    const TRect area{static_cast<int>(x), static_cast<int>(y),
                     static_cast<int>(std::min<int64_t>(x + bitmap->Width(), INT32_MAX)),
                     static_cast<int>(std::min<int64_t>(y + bitmap->Height(), INT32_MAX))};
    BlendBitmapKeyed(bitmap, TPoint{0, 0}, background.Bmp, area, clFuchsia, 0.4);
  } else {
    const TColor fill = background.FillColor == clFuchsia ? controlColor : background.FillColor;
    BlendRectColor(bitmap, {0, 0, bitmap->Width(), bitmap->Height()}, 50, fill);
  }
}

void BlendTextCoverage(TBitmap* target, const TBitmap& coverage, const TRect& r, TColor color) {
  TskFast32 fast;
  if (!fast.AttachBitmap(target) || coverage.PixelFormat() != pf32bit || coverage.Empty()) return;
  // The covered area: r cut to the target and to the coverage bitmap laid at r's top-left.
  const int left = std::max(r.Left, 0), top = std::max(r.Top, 0);
  const int right = static_cast<int>(
      std::min<int64_t>({r.Right, fast.ImageWidth, int64_t{r.Left} + coverage.Width()}));
  const int bottom = static_cast<int>(
      std::min<int64_t>({r.Bottom, fast.ImageHeight, int64_t{r.Top} + coverage.Height()}));
  const uint32_t rgb = static_cast<uint32_t>(color);
  const int colour[3] = {static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                         static_cast<int>(rgb & 0xFF)};  // blue, green, red
  if (right <= left) return;
  for (int y = top; y < bottom; ++y) {
    const auto* cov = reinterpret_cast<const uint32_t*>(coverage.ScanLine(y - r.Top));
    auto* p = reinterpret_cast<uint8_t*>(fast.PixelAddress(0, y));
    for (int x = left; x < right; ++x) {
      const uint32_t cv = cov[x - r.Left];
      if ((cv & 0x00FFFFFFu) == 0x00FFFFFFu) continue;
      const int c = static_cast<int>(((cv & 0xFF) + ((cv >> 8) & 0xFF) + ((cv >> 16) & 0xFF)) / 3);
      uint8_t* t = p + x * 4;
      for (int ch = 0; ch < 3; ++ch)
        t[ch] = static_cast<uint8_t>(((t[ch] - colour[ch]) * c + colour[ch] * 256) >> 8);
      t[3] = 255;
    }
  }
}
