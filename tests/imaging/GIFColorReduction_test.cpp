// Colour lookups, dither engines, the quantizer and the reduction of bitmaps.
#include "imaging/GIFColorReduction.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::unique_ptr<TBitmap> Solid(int w, int h, TColor c) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(w, h);
  b->Fill(c);
  return b;
}

TEST(GIFColorReduction, CubeLookup) {
  struct Case {
    uint8_t grey;
    int index;
  } cases[] = {{255, 215}, {24, 0}, {25, 0}, {48, 43}};
  TNetscapeColorLookup cube;
  for (const Case& c : cases) {
    uint8_t r, g, b;
    EXPECT_EQ(cube.NearestColor(c.grey, c.grey, c.grey, r, g, b), c.index) << int(c.grey);
  }
  EXPECT_EQ(CreateColorCubePalette()[43], (TRGBQuad{51, 51, 51, 0}));
  EXPECT_EQ(CreateColorCubePalette()[36], (TRGBQuad{0, 0, 51, 0}));
}

TEST(GIFColorReduction, MonochromeThreshold) {
  TMonochromeLookup mono;
  uint8_t r, g, b;
  EXPECT_EQ(mono.NearestColor(127, 127, 127, r, g, b), 0);
  EXPECT_EQ(mono.NearestColor(128, 128, 128, r, g, b), 1);
  EXPECT_EQ(r, 255);
}

TEST(GIFColorReduction, UniformPaletteColourDithersToItselfWithEveryEngine) {
  for (uint8_t dither = dtNearest; dither <= dtBurkes; ++dither) {
    auto source = Solid(17, 9, MakeColor(102, 204, 51));
    std::unique_ptr<TBitmap> result =
        DitherBitmapToPalette(*source, crColorCube216, dither, nullptr, 8);
    ASSERT_EQ(result->PixelFormat(), pf8bit) << int(dither);
    const int expected = 2 * 36 + 4 * 6 + 1;
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 17; ++x)
        ASSERT_EQ(result->ScanLine(y)[x], expected) << int(dither) << " " << x << "," << y;
  }
}

TEST(GIFColorReduction, DitheringKeepsTheAverageOfAMidGrey) {
  for (uint8_t dither = dtFloydSteinberg; dither <= dtBurkes; ++dither) {
    auto source = Solid(40, 40, MakeColor(128, 128, 128));
    std::unique_ptr<TBitmap> result =
        DitherBitmapToPalette(*source, crMonochrome, dither, nullptr, 8);
    int white = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) white += result->ScanLine(y)[x];
    // Half of the pixels white, give or take the edges.
    EXPECT_NEAR(white, 800, 120) << int(dither);
  }
}

TEST(GIFColorReduction, QuantizedPaletteHoldsLeafAverages) {
  auto source = Solid(2, 2, clBlack);
  source->SetPixelColor(0, 0, MakeColor(250, 0, 0));
  source->SetPixelColor(1, 0, MakeColor(240, 0, 0));
  source->SetPixelColor(0, 1, MakeColor(0, 0, 10));
  source->SetPixelColor(1, 1, MakeColor(0, 0, 20));
  std::unique_ptr<TBitmap> result =
      DitherBitmapToPalette(*source, crQuantize, dtNearest, nullptr, 1);
  ASSERT_EQ(result->Palette().size(), 2u);
  std::set<TColor> colors{ColorFromQuad(result->Palette()[0]), ColorFromQuad(result->Palette()[1])};
  EXPECT_EQ(colors, (std::set<TColor>{MakeColor(245, 0, 0), MakeColor(0, 0, 15)}));
  EXPECT_NE(result->ScanLine(0)[0], result->ScanLine(1)[0]);
}

TEST(GIFColorReduction, QuantizingWithSystemColoursKeepsThemAtBothEnds) {
  auto source = Solid(4, 4, MakeColor(12, 34, 56));
  const TColorTable table = QuantizedPaletteOfBitmap(*source, 256, 8, true);
  const TColorTable system = SystemPalette20();
  ASSERT_EQ(table.size(), 256u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(table[i], system[i]);
    EXPECT_EQ(table[246 + i], system[10 + i]);
  }
  EXPECT_EQ(ColorFromQuad(table[10]), MakeColor(12, 34, 56));
  // Entries after the last leaf are defined (black).
  EXPECT_EQ(table[11], TRGBQuad{});
}

TEST(GIFColorReduction, ReductionWithoutUsablePaletteGivesAnEmptyBitmap) {
  auto source = Solid(3, 3, clRed);
  EXPECT_TRUE(DitherBitmapToPalette(*source, crCustomPalette, dtNearest, nullptr, 8)->Empty());
  EXPECT_TRUE(DitherBitmapToPalette(*source, 42, dtNearest, nullptr, 8)->Empty());
  EXPECT_TRUE(DitherBitmapToPalette(*source, crGray256, 9, nullptr, 8)->Empty());
  const TColorTable custom{QuadFromColor(clBlue), QuadFromColor(clRed)};
  std::unique_ptr<TBitmap> result =
      DitherBitmapToPalette(*source, crCustomPalette, dtNearest, &custom, 8);
  EXPECT_EQ(result->ScanLine(1)[1], 1);
}

TEST(GIFColorReduction, SourceIsLeftAtTwentyFourBits) {
  TBitmap source;
  source.SetPixelFormat(pf32bit);
  source.SetSize(2, 2);
  DitherBitmapToPalette(source, crGray256, dtNearest, nullptr, 8);
  EXPECT_EQ(source.PixelFormat(), pf24bit);
}

}  // namespace
