// Gradient descriptions of skin sections: the text of GRADIENTDATA and HOTGRADIENTDATA
// parsed into stops, and their painting into 32-bit bitmaps: bands from top to bottom
// (mode 0), from left to right (mode 1), four triangles meeting in the centre (mode 2,
// through the system's gradient fill, Win32 only), or mixed with a tiled texture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Graphics.h"
#include "framework/Types.h"

struct TsGradStop {
  TColor Color1 = 0;    // colour at the start of the stop's band (0x00BBGGRR)
  TColor Color2 = 0;    // colour at its end
  uint8_t Percent = 0;  // the band's share of the length, 0..100
  int32_t Mode = 0;     // read from the first stop only: 0 rows, 1 columns, 2 triangles
};
using TsGradArray = std::vector<TsGradStop>;

// Integer fields separated by ";" (runs of separators count as one), five to a stop:
// Color1; Color2; Percent; Mode; one field not read. Colours below 0 become 0, percents are
// limited to 0..100. A field that is not an integer raises EConvertError. A null text gives
// no stops.
void ParseGradientData(const char* text, TsGradArray& result);
void ParseGradientData(const std::string& text, TsGradArray& result);

// Paints the gradient into r of a 32-bit bitmap (alpha 255), r cut to the bitmap.
void PaintGradient(TBitmap* bitmap, const TRect& r, const TsGradArray& gradient);
// The gradient (modes 0 and 1) mixed with a texture tiled from the bitmap's origin:
// each channel ((texture - gradient) * mix + gradient * 256) shr 8. An empty textureRect
// stands for the whole texture.
void PaintGradientTextured(TBitmap* bitmap, const TRect& r, const TsGradArray& gradient,
                           uint8_t mix, const TRect& textureRect, const TBitmap* texture);

// Mode 2: the four triangles through the system's gradient fill on the bitmap's device
// context; false (nothing painted) where the system has none (every platform but Win32).
bool PaintGradientTriangles(TBitmap* bitmap, const TRect& r, const TsGradArray& gradient);
