// Colour arithmetic of the skin engine: saturation and hue changes (the run-time recolouring
// of a skin), colour mixes, grey conversion and the hue and saturation of whole 32-bit
// bitmaps. Pure functions on 32-bit values plus loops over 32-bit bitmaps; no Win32.
//
// Byte orders: a TColor is 0x00BBGGRR; a 32-bit pixel read as one value is 0xAARRGGBB.
// Each routine names the order it takes.
#pragma once

#include <cstdint>

#include "framework/Graphics.h"

// The colour that marks transparent pixels; the same value in both byte orders.
constexpr uint32_t KeyColor = 0x00FF00FF;

// The three low bytes moved away from (amount > 0) or toward (amount < 0) their average by
// amount percent, each limited to 0..255; the top byte kept. Either byte order.
uint32_t ChangeSaturation(int amount, uint32_t color);
// The colour unchanged for amount 0, else ChangeSaturation.
TColor ChangeColorSaturation(TColor color, int amount);
// The hue of a pixel (0x00RRGGBB) rotated by amount degrees (any sign); alpha kept.
uint32_t ChangeHue(int amount, uint32_t pixel);
// ChangeHue for a TColor; the colour unchanged for amount 0.
TColor ChangeColorHue(int amount, TColor color);

// Per channel Round(a x k + b x (1 - k)), ties to even; the top byte of a kept.
TColor MixColors(TColor a, TColor b, double k);
// Per channel (a x 127 + b x 129) shr 8; top byte 0.
TColor MixColorsHalf(TColor a, TColor b);
TColor AverageColors(TColor a, TColor b);

// Red and blue of a 32-bit value exchanged; green and the top byte kept.
constexpr uint32_t SwapRedBlueBytes(uint32_t value) {
  return (value & 0xFF00FF00u) | ((value & 0xFFu) << 16) | ((value >> 16) & 0xFFu);
}

// Whole-bitmap recolouring. Each does nothing for a null bitmap or one that is not 32 bits
// per pixel. Grey: red, green and blue := (red + green + blue) div 3.
void GrayscaleBitmap(TBitmap* bitmap);
// As GrayscaleBitmap, except pixels whose full 32-bit value equals key.
void GrayscaleBitmapKeyed(TBitmap* bitmap, uint32_t key);
// ChangeHue or ChangeSaturation on every pixel that is neither grey (red = green = blue)
// nor a full key match (0x00FF00FF).
void ShiftBitmapHue(TBitmap* bitmap, int amount);
void ChangeBitmapSaturation(TBitmap* bitmap, int amount);
