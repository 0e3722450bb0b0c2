// Text measures and text painting through GDI (Win32 half of sTextPaint).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/Graphics.h"
#include "framework/Types.h"

class TCanvas;

// DrawText of the whole string; with DT_CALCRECT r receives the size. The text height.
int DrawTextRect(HDC dc, const std::string& text, TRect& r, uint32_t format);
// GetTextExtentPoint32 of the string.
bool GetTextExtent(HDC dc, const std::string& text, TSize& size);
int TextWidthOf(TCanvas* canvas, const std::string& text);
int TextHeightOf(TCanvas* canvas, const std::string& text);
TSize GetTextSize(TCanvas* canvas, const std::string& text);
// The text's size in that font on the screen; 0 x 0 when the measurement fails.
void GetFontTextSize(HFONT font, const std::string& text, TSize& size);
// The canvas's TextRect: the text written from (x, y), clipped to r.
void TextRectOut(TCanvas* canvas, const TRect& r, int x, int y, const std::string& text);
// CutTextEllipsis measured by the canvas.
std::string CutTextEllipsis(TCanvas* canvas, const std::string& text, int width);

// Offset flags of PaintTextShadow: extra copies of the text one pixel away.
constexpr int ShadowOffsetLeft = 1, ShadowOffsetUp = 2, ShadowOffsetRight = 4, ShadowOffsetDown = 8;
// The look of a text's glow.
struct TsTextGlow {
  TColor Color = clBlack;
  int Radius = 0;
  int Offsets = 0;      // ShadowOffset... flags
  uint32_t Format = 0;  // DrawText flags of the text
};
// A blurred glow of the text behind r on a 32-bit bitmap, in the bitmap canvas's font. The
// 8-bit mask is kept in mask and reused while its size fits.
void PaintTextShadow(TBitmap* bitmap, const std::string& text, const TRect& r,
                     const TsTextGlow& glow, std::unique_ptr<TBitmap>& mask);
