// Text helpers of the skin engine that need no window: the ellipsis cutter (with the text
// measure handed in), the Gaussian blur of 8-bit glow masks and the blend of such a mask
// onto a 32-bit bitmap, and the placement of a glyph and a caption in a button-like item.
// The Win32 half (sTextPaintWin32.h) measures and draws with GDI.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "framework/Graphics.h"
#include "framework/Types.h"

// Width of a text in pixels, as the canvas that will draw it measures it.
using TTextMeasure = std::function<int(const std::string& text)>;

// The text itself when it fits the width; otherwise shortened from the end until it fits
// with "..." appended. Empty for a width of 0 or less, and for a text cut to nothing.
std::string CutTextEllipsis(const TTextMeasure& measure, const std::string& text, int width);

// Gaussian blur of an 8-bit bitmap in place: rows, then columns, edges repeated. Anything
// but a non-empty 8-bit bitmap, and a radius below 1, is left alone.
void BlurBitmap8(TBitmap* bitmap, int radius);

// The glow of a text: every pixel m < 255 of the 8-bit mask, which covers rect grown by
// margin on every side, pulls the bitmap pixel under it toward the colour:
// c + (t - c) * m / 255 per channel, alpha a + (255 - m) * (255 - a) / 255. Pixels outside
// the bitmap are left out.
void BlendGlowMask(TBitmap* bitmap, const TBitmap& mask, const TRect& rect, int margin,
                   TColor color);

// Right-to-left flag of CalcItemLayout (DrawText's DT_RIGHT): glyph-left and glyph-right
// layouts change places.
constexpr uint32_t ItemLayoutRightToLeft = 0x2;
enum TsItemAlignment { iaLeft = 0, iaRight = 1, iaCenter = 2 };
enum TsItemLayout { ilGlyphLeft = 0, ilGlyphRight = 1, ilGlyphTop = 2, ilGlyphBottom = 3 };

// How CalcItemLayout places a glyph and a caption.
struct TsItemPlacement {
  TsItemLayout Layout = ilGlyphLeft;
  TsItemAlignment Alignment = iaLeft;
  int Spacing = -1;    // between glyph and caption; negative: computed
  int Margin = -1;     // from the edge; -1: computed
  uint32_t Flags = 0;  // ItemLayoutRightToLeft
};
// Where CalcItemLayout puts them.
struct TsItemPlaces {
  TRect TextBounds{};
  TPoint GlyphPos{0, 0};
};
// Places a glyph and a caption of the given sizes inside client.
TsItemPlaces CalcItemLayout(const TRect& client, TSize glyphSize, TSize textSize,
                            const TsItemPlacement& placement);
