// The Windows half of the skin engine's PNG reader: drawing with alpha and icons.
#include <windows.h>

#include <cstring>

#include "framework/CanvasWin32.h"
#include "imaging/skPNG.h"

namespace {

// A 32-bit copy of the image at another size: colour by the nearest pixel, as a colour-on-
// colour stretch does, alpha likewise so that edges keep their transparency.
void ScaleImage(TBitmap& source, TBitmap& target, int width, int height) {
  target.SetPixelFormat(pf32bit);
  target.SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    const uint8_t* s = source.ScanLine(static_cast<int>(int64_t(y) * source.Height() / height));
    uint8_t* d = target.ScanLine(y);
    for (int x = 0; x < width; ++x)
      std::memcpy(d + 4 * x, s + 4 * (int64_t(x) * source.Width() / width), 4);
  }
}

}  // namespace

void TPNGGraphic::Draw(TCanvas* canvas, const TRect& r) {
  if (PixelFormat() != pf32bit) {
    TBitmap::Draw(canvas, r);
    return;
  }
  if (canvas == nullptr || Empty()) return;
  const int w = r.Width();
  const int h = r.Height();
  if (w <= 0 || h <= 0) return;
  const bool ownSize = w == Width() && h == Height();
  const int rows = ownSize && reflected_ ? h + h / 2 : h;
  TBitmap work;
  work.SetPixelFormat(pf32bit);
  work.SetSize(w, rows);
  HDC target = canvas->Handle();
  HDC workDC = work.Canvas()->Handle();
  ::BitBlt(workDC, 0, 0, w, rows, target, r.Left, r.Top, SRCCOPY);
  if (ownSize) {
    BlendAlphaImage(work, 0, 0, *this, reflected_);
  } else {
    TBitmap scaled;
    ScaleImage(*this, scaled, w, h);
    BlendAlphaImage(work, 0, 0, scaled, false);
  }
  ::BitBlt(target, r.Left, r.Top, w, rows, work.Canvas()->Handle(), 0, 0, SRCCOPY);
}

HICON TPNGGraphic::MakeIcon(bool force) {
  TBitmap mask;
  mask.SetPixelFormat(pf1bit);
  mask.SetPalette({QuadFromColor(clBlack), QuadFromColor(clWhite)});
  if (force || PixelFormat() != pf32bit) {
    SetPixelFormat(pf32bit);
    mask.SetSize(Width(), Height());
    // Pixels equal to the top-left one are transparent (white in the mask).
    uint32_t key = 0;
    if (!Empty()) std::memcpy(&key, ScanLine(0), 4);
    for (int y = 0; y < Height(); ++y) {
      const uint8_t* row = ScanLine(y);
      for (int x = 0; x < Width(); ++x) {
        uint32_t v;
        std::memcpy(&v, row + 4 * x, 4);
        mask.SetPixelColor(x, y, v == key ? clWhite : clBlack);
      }
    }
  } else {
    mask.SetSize(Width(), Height());
    mask.Fill(clBlack);  // all opaque: the alpha channel decides
  }
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = BitmapHandle(this);
  info.hbmMask = BitmapHandle(&mask);
  return ::CreateIconIndirect(&info);
}

HICON TPNGGraphic::MakeIconOnColor(TColor color) {
  TBitmap mask;
  mask.SetPixelFormat(pf1bit);
  mask.SetPalette({QuadFromColor(clBlack), QuadFromColor(clWhite)});
  mask.SetSize(Width(), Height());
  TBitmap image;
  image.SetPixelFormat(pf32bit);
  image.SetSize(Width(), Height());
  image.Fill(color);
  Draw(image.Canvas(), Rect(0, 0, Width(), Height()));
  if (PixelFormat() != pf32bit) {
    SetPixelFormat(pf32bit);
    for (int y = 0; y < Height(); ++y) {
      uint8_t* row = ScanLine(y);
      for (int x = 0; x < Width(); ++x) {
        uint32_t v;
        std::memcpy(&v, row + 4 * x, 4);
        row[4 * x + 3] = v == 0x00FF00FFu ? 0 : 255;
      }
    }
  }
  if (Width() >= 2 && Height() >= 2) {
    for (int y = 0; y < Height(); ++y) {
      const uint8_t* s = ScanLine(y);
      uint8_t* d = image.ScanLine(y);
      std::memcpy(d, s, static_cast<size_t>(Width()) * 4);
      for (int x = 0; x < Width(); ++x)
        mask.SetPixelColor(x, y, s[4 * x + 3] == 0 ? clWhite : clBlack);
    }
  }
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = BitmapHandle(&image);
  info.hbmMask = BitmapHandle(&mask);
  return ::CreateIconIndirect(&info);
}
