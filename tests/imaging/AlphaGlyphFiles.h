// RGBA PNG files made in code for the alpha image list's tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace alphatest {

struct Rgba {
  uint8_t R = 0, G = 0, B = 0, A = 0;
};

// An 8-bit RGBA PNG of width x height whose pixel (x, y) is pixel(x, y).
std::string RgbaPng(int width, int height, const std::function<Rgba(int x, int y)>& pixel);

// A 16 x 16 glyph: transparent left column, half-transparent red middle (alpha 128),
// opaque green right column.
std::string HalfTransparentGlyph(int size = 16);

}  // namespace alphatest
