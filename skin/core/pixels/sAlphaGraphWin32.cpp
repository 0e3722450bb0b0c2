// GDI half of the 32-bit text writer: GDI draws the text black on white into a temporary
// 32-bit bitmap; the portable BlendTextCoverage blends that coverage onto the target.
#include <windows.h>

#include <memory>

#include "framework/CanvasWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"

void DrawTextOnBitmap32(TBitmap* bitmap, const std::string& text, TColor color, uint32_t format,
                        const TRect& r) {
  if (!bitmap || text.empty() || r.Width() <= 0 || r.Height() <= 0) return;
  auto coverage = std::make_unique<TBitmap>();
  coverage->SetPixelFormat(pf32bit);
  coverage->SetSize(r.Width(), r.Height());
  coverage->Fill(clWhite);  // new bitmaps start black; coverage is read as black on white
  TCanvas* canvas = coverage->Canvas();
  canvas->SetFont(bitmap->Canvas()->Font());
  canvas->Font()->SetColor(clBlack);
  canvas->Brush()->SetColor(clWhite);
  canvas->Brush()->SetStyle(bsClear);
  RECT box{0, 0, r.Width(), r.Height()};
  HDC dc = canvas->Handle();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &box, format);
  GdiFlush();
  BlendTextCoverage(bitmap, *coverage, r, color);
}
