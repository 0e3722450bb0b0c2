#include "tests/imaging/AlphaGlyphFiles.h"

#include "tests/imaging/PngTestFiles.h"

namespace alphatest {

std::string RgbaPng(int width, int height, const std::function<Rgba(int x, int y)>& pixel) {
  pngtest::PngShape shape;
  shape.width = static_cast<uint32_t>(width);
  shape.height = static_cast<uint32_t>(height);
  shape.depth = 8;
  shape.colorType = 6;
  std::string rows;
  for (int y = 0; y < height; ++y) {
    rows += '\0';  // no filter
    for (int x = 0; x < width; ++x) {
      const Rgba p = pixel(x, y);
      rows += static_cast<char>(p.R);
      rows += static_cast<char>(p.G);
      rows += static_cast<char>(p.B);
      rows += static_cast<char>(p.A);
    }
  }
  return pngtest::Signature() + pngtest::Chunk("IHDR", pngtest::IhdrData(shape)) +
         pngtest::Chunk("IDAT", pngtest::Zlib(rows)) + pngtest::Chunk("IEND", "");
}

std::string HalfTransparentGlyph(int size) {
  return RgbaPng(size, size, [size](int x, int) {
    if (x == 0) return Rgba{0, 0, 0, 0};
    if (x == size - 1) return Rgba{0, 255, 0, 255};
    return Rgba{255, 0, 0, 128};
  });
}

}  // namespace alphatest
