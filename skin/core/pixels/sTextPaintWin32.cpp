#include "skin/core/pixels/sTextPaintWin32.h"

#include "framework/CanvasWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/core/pixels/sTextPaint.h"

int DrawTextRect(HDC dc, const std::string& text, TRect& r, uint32_t format) {
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  const int height = DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rc, format);
  r = {rc.left, rc.top, rc.right, rc.bottom};
  return height;
}

bool GetTextExtent(HDC dc, const std::string& text, TSize& size) {
  SIZE s{0, 0};
  const bool done =
      GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &s) != FALSE;
  size = {s.cx, s.cy};
  return done;
}

int TextWidthOf(TCanvas* canvas, const std::string& text) { return canvas->TextWidth(text); }
int TextHeightOf(TCanvas* canvas, const std::string& text) { return canvas->TextHeight(text); }
TSize GetTextSize(TCanvas* canvas, const std::string& text) { return canvas->TextExtent(text); }

void GetFontTextSize(HFONT font, const std::string& text, TSize& size) {
  size = {0, 0};
  TWindowDC screen(nullptr);
  if (!screen.Get()) return;
  TSelectObject selected(screen.Get(), font);
  if (!GetTextExtent(screen.Get(), text, size)) size = {0, 0};
}

void TextRectOut(TCanvas* canvas, const TRect& r, int x, int y, const std::string& text) {
  canvas->TextRect(r, x, y, text);
}

std::string CutTextEllipsis(TCanvas* canvas, const std::string& text, int width) {
  return CutTextEllipsis([canvas](const std::string& s) { return canvas->TextWidth(s); }, text,
                         width);
}

void PaintTextShadow(TBitmap* bitmap, const std::string& text, const TRect& r,
                     const TsTextGlow& glow, std::unique_ptr<TBitmap>& mask) {
  const TColor color = glow.Color;
  const int radius = glow.Radius, offsets = glow.Offsets;
  const uint32_t format = glow.Format;
  if (!bitmap || bitmap->Empty() || r.Width() <= 0 || r.Height() <= 0) return;
  const int d = radius + 4;
  const int width = r.Width() + 2 * d, height = r.Height() + 2 * d;
  if (!mask || mask->Width() != width || mask->Height() != height ||
      mask->PixelFormat() != pf8bit) {
    if (!mask) mask = std::make_unique<TBitmap>();
    mask->SetPixelFormat(pf8bit);
    TColorTable greys(256);
    for (int i = 0; i < 256; ++i) {
      const auto v = static_cast<uint8_t>(i);
      greys[static_cast<size_t>(i)] = {v, v, v, 0};
    }
    mask->SetPalette(greys);
    mask->SetSize(width, height);
    mask->Fill(clWhite);
    TCanvas* canvas = mask->Canvas();
    canvas->SetFont(bitmap->Canvas()->Font());
    canvas->Font()->SetColor(clBlack);
    canvas->Brush()->SetStyle(bsClear);
    HDC dc = canvas->Handle();
    SetBkMode(dc, TRANSPARENT);
    const TPoint shifts[] = {{0, 0}, {-1, 0}, {0, -1}, {1, 0}, {0, 1}};
    for (int k = 0; k < 5; ++k) {
      if (k > 0 && !(offsets & (1 << (k - 1)))) continue;
      TRect box{d + shifts[k].X, d + shifts[k].Y, d + r.Width() + shifts[k].X,
                d + r.Height() + shifts[k].Y};
      DrawTextRect(dc, text, box, format);
    }
    GdiFlush();
    BlurBitmap8(mask.get(), radius);
  }
  BlendGlowMask(bitmap, *mask, r, d, color);
}
