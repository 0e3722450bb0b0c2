#include "imaging/GIFBitmapOps.h"

#include <algorithm>

namespace {

bool Direct(const TBitmap& b) { return b.BitsPerPixel() == 24 || b.BitsPerPixel() == 32; }

TColor ReadColor(const TBitmap& b, const uint8_t* row, int x) {
  if (row == nullptr) return b.PixelColor(x, 0);
  const uint8_t* p = row + static_cast<int64_t>(x) * (b.BitsPerPixel() / 8);
  return MakeColor(p[2], p[1], p[0]);
}

}  // namespace

void StretchPixels(TBitmap& dst, const TRect& to, const TBitmap& src, const TRect& from) {
  const int tw = to.Width();
  const int th = to.Height();
  const int fw = from.Width();
  const int fh = from.Height();
  if (tw <= 0 || th <= 0 || fw <= 0 || fh <= 0) return;
  const int x0 = std::max(to.Left, 0);
  const int y0 = std::max(to.Top, 0);
  const int x1 = std::min(to.Right, dst.Width());
  const int y1 = std::min(to.Bottom, dst.Height());
  const bool srcDirect = Direct(src);
  const bool dstDirect = Direct(dst);
  for (int y = y0; y < y1; ++y) {
    const int sy = from.Top + static_cast<int>(static_cast<int64_t>(y - to.Top) * fh / th);
    if (sy < 0 || sy >= src.Height()) continue;
    const uint8_t* srow = srcDirect ? src.ScanLine(sy) : nullptr;
    uint8_t* drow = dstDirect ? dst.ScanLine(y) : nullptr;
    for (int x = x0; x < x1; ++x) {
      const int sx = from.Left + static_cast<int>(static_cast<int64_t>(x - to.Left) * fw / tw);
      if (sx < 0 || sx >= src.Width()) continue;
      const TColor c = srow != nullptr ? ReadColor(src, srow, sx) : src.PixelColor(sx, sy);
      if (drow != nullptr) {
        uint8_t* p = drow + static_cast<int64_t>(x) * (dst.BitsPerPixel() / 8);
        p[0] = ColorB(c);
        p[1] = ColorG(c);
        p[2] = ColorR(c);
      } else {
        dst.SetPixelColor(x, y, c);
      }
    }
  }
}

void CopyPixels(TBitmap& dst, const TRect& to, const TBitmap& src, int srcLeft, int srcTop) {
  StretchPixels(dst, to, src, Bounds(srcLeft, srcTop, to.Width(), to.Height()));
}

void FillArea(TBitmap& bitmap, const TRect& area, TColor color) {
  color = ColorToRGB(color);
  const int x0 = std::max(area.Left, 0);
  const int y0 = std::max(area.Top, 0);
  const int x1 = std::min(area.Right, bitmap.Width());
  const int y1 = std::min(area.Bottom, bitmap.Height());
  const bool direct = Direct(bitmap);
  for (int y = y0; y < y1; ++y) {
    uint8_t* row = direct ? bitmap.ScanLine(y) : nullptr;
    for (int x = x0; x < x1; ++x) {
      if (row != nullptr) {
        uint8_t* p = row + static_cast<int64_t>(x) * (bitmap.BitsPerPixel() / 8);
        p[0] = ColorB(color);
        p[1] = ColorG(color);
        p[2] = ColorR(color);
      } else {
        bitmap.SetPixelColor(x, y, color);
      }
    }
  }
}
