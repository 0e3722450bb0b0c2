// The Windows half of the PNG object: drawing on a device context and the clipboard.
#include <windows.h>

#include "framework/CanvasWin32.h"
#include "imaging/pngimage.h"
#include "imaging/pnglang.h"

namespace {

struct TDibDescription {
  BITMAPINFOHEADER header{};
  RGBQUAD colors[256]{};
};

// The header chunk's image as StretchDIBits wants it.
TDibDescription Describe(const TChunkIHDR& h) {
  TDibDescription d;
  d.header.biSize = sizeof(BITMAPINFOHEADER);
  d.header.biWidth = h.BitmapHeader.biWidth;
  d.header.biHeight = h.BitmapHeader.biHeight;
  d.header.biPlanes = 1;
  d.header.biBitCount = h.BitmapHeader.biBitCount;
  d.header.biCompression = BI_RGB;
  for (int i = 0; i < 256; ++i)
    d.colors[i] = RGBQUAD{h.ColorTable[i].Blue, h.ColorTable[i].Green, h.ColorTable[i].Red, 0};
  return d;
}

}  // namespace

void TPNGObject::Draw(TCanvas* canvas, const TRect& r) {
  if (canvas == nullptr || !HasHeader()) return;
  const TChunkIHDR* h = RequireHeader();
  if (h->ImageData.empty()) return;
  HDC dc = canvas->Handle();
  switch (TransparencyKind()) {
    case tmOpaque: {
      TDibDescription d = Describe(*h);
      ::StretchDIBits(dc, r.Left, r.Top, r.Width(), r.Height(), 0, 0, Width(), Height(),
                      h->ImageData.data(), reinterpret_cast<BITMAPINFO*>(&d), DIB_RGB_COLORS,
                      SRCCOPY);
      break;
    }
    case tmKeyColor: {
      // Stretched to the rectangle, pixels of the key colour left out.
      TBitmap image;
      image.Assign(this);
      const COLORREF key = static_cast<COLORREF>(KeyColor()) & 0xFFFFFF;
      ::TransparentBlt(dc, r.Left, r.Top, r.Width(), r.Height(), image.Canvas()->Handle(), 0, 0,
                       Width(), Height(), key);
      break;
    }
    case tmAlpha: {
      // At the image's own size from the rectangle's corner, blended over what is there.
      TBitmap work;
      try {
        work.SetPixelFormat(pf32bit);
        work.SetSize(Width(), Height());
        work.Canvas()->Handle();
      } catch (const EOutOfMemory&) {
        RaisePngException<EPNGOutMemory>(EPNGOutMemoryText);
      }
      HDC workDC = work.Canvas()->Handle();
      ::BitBlt(workDC, 0, 0, Width(), Height(), dc, r.Left, r.Top, SRCCOPY);
      // The bitmap's rows run bottom-up: start at the top row and step backwards.
      BlendOnto(work.ScanLine(0), -work.RowBytes());
      ::BitBlt(dc, r.Left, r.Top, Width(), Height(), workDC, 0, 0, SRCCOPY);
      break;
    }
  }
}

void TPNGObject::LoadFromClipboardFormat(uint16_t format, void* data, void* palette) {
  // Loaded into a bitmap first, so a refused format leaves this image as it was.
  TBitmap bitmap;
  bitmap.LoadFromClipboardFormat(format, data, palette);
  FromBitmap(&bitmap, false, 0);
}

void TPNGObject::SaveToClipboardFormat(uint16_t& format, void*& data, void*& palette) {
  TBitmap bitmap;
  bitmap.SetSize(Width(), Height());
  Draw(bitmap.Canvas(), Rect(0, 0, Width(), Height()));
  bitmap.SaveToClipboardFormat(format, data, palette);
}
