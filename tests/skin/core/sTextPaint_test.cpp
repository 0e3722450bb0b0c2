#include "skin/core/pixels/sTextPaint.h"

#include <gtest/gtest.h>

#include "tests/skin/core/SkinTestBitmaps.h"

namespace {

// Every character 5 pixels wide.
int FixedWidth(const std::string& text) { return static_cast<int>(text.size()) * 5; }

TEST(Ellipsis, CutsUntilTheDotsFitAndKeepsTextsThatFit) {
  struct Case {
    std::string text;
    int width;
    std::string expected;
  } cases[] = {{"Kestrava", 0, ""},
               {"Kestrava", -3, ""},
               {"Kestrava", 40, "Kestrava"},
               {"Kestrava", 39, "Kest..."},
               {"Kestrava", 20, "K..."},
               {"Kestrava", 14, ""},
               {"", 10, ""}};
  for (const auto& c : cases)
    EXPECT_EQ(CutTextEllipsis(FixedWidth, c.text, c.width), c.expected)
        << c.text << " in " << c.width;
}

std::unique_ptr<TBitmap> Grey8(int w, int h, uint8_t value) {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(pf8bit);
  bmp->SetSize(w, h);
  for (int y = 0; y < h; ++y) std::fill_n(bmp->ScanLine(y), w, value);
  return bmp;
}

TEST(Blur, SpreadsADotSymmetricallyAndKeepsFlatAreas) {
  auto flat = Grey8(9, 7, 200);
  BlurBitmap8(flat.get(), 3);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x) EXPECT_NEAR(flat->ScanLine(y)[x], 200, 1);
  auto dot = Grey8(21, 21, 255);
  dot->ScanLine(10)[10] = 0;
  BlurBitmap8(dot.get(), 2);
  EXPECT_LT(dot->ScanLine(10)[10], 255);
  EXPECT_LT(dot->ScanLine(10)[11], 255);
  EXPECT_EQ(dot->ScanLine(10)[9], dot->ScanLine(10)[11]);
  EXPECT_EQ(dot->ScanLine(9)[10], dot->ScanLine(11)[10]);
  EXPECT_GE(dot->ScanLine(0)[0], 253);  // far away: white, less the truncation of two passes
}

TEST(Blur, RadiusBelowOneAndOtherFormatsAreLeftAlone) {
  auto dot = Grey8(5, 5, 255);
  dot->ScanLine(2)[2] = 0;
  BlurBitmap8(dot.get(), 0);
  BlurBitmap8(dot.get(), -4);
  EXPECT_EQ(dot->ScanLine(2)[2], 0);
  EXPECT_EQ(dot->ScanLine(2)[3], 255);
  auto tiny = Grey8(1, 1, 9);
  BlurBitmap8(tiny.get(), 50);  // a kernel much wider than the bitmap
  EXPECT_NEAR(tiny->ScanLine(0)[0], 9, 1);
  auto colour = MakeBitmap32(3, 3, 0x12345678);
  BlurBitmap8(colour.get(), 2);
  EXPECT_EQ(Px(*colour, 1, 1), 0x12345678u);
  BlurBitmap8(nullptr, 2);
}

TEST(GlowMask, PullsTowardTheColourByCoverageAndStaysInside) {
  auto bmp = MakeBitmap32(4, 4, 0x00FFFFFF);
  auto mask = Grey8(6, 6, 255);
  mask->ScanLine(1)[1] = 0;    // bitmap (0, 0): full glow
  mask->ScanLine(2)[2] = 128;  // bitmap (1, 1): half
  mask->ScanLine(0)[0] = 0;    // bitmap (-1, -1): outside, left out
  BlendGlowMask(bmp.get(), *mask, Rect(1, 1, 5, 5), 2, clRed);
  EXPECT_EQ(Px(*bmp, 0, 0), 0xFFFF0000u);
  // green and blue: 0 + 255 * 128 / 255 = 128; alpha 0 + 127 * 255 / 255 = 127
  EXPECT_EQ(Px(*bmp, 1, 1), 0x7FFF8080u);
  EXPECT_EQ(Px(*bmp, 3, 3), 0x00FFFFFFu);
}

struct LayoutCase {
  TsItemLayout layout;
  TsItemAlignment alignment;
  int margin, spacing;
  uint32_t flags;
  TPoint glyph;
  TRect text;
};

TEST(ItemLayout, PlacesGlyphAndCaptionByLayoutAlignmentMarginAndSpacing) {
  // Client 100 x 40 at (10, 20); glyph 16 x 16; caption 30 x 12.
  const LayoutCase cases[] = {
      // Glyph left, centred together: M = (100 - 16 - 4 - 30 + 1) div 2 = 25.
      {ilGlyphLeft, iaCenter, -1, 4, 0, {35, 32}, {55, 34, 85, 46}},
      // Glyph left, left aligned, default margin 2.
      {ilGlyphLeft, iaLeft, -1, 4, 0, {12, 32}, {32, 34, 62, 46}},
      // Right to left: the glyph goes to the right of the caption.
      {ilGlyphLeft, iaLeft, -1, 4, ItemLayoutRightToLeft, {46, 32}, {12, 34, 42, 46}},
      {ilGlyphRight, iaRight, 3, 4, 0, {91, 32}, {57, 34, 87, 46}},
      // Spacing and margin computed: M = S = (100 - 46) div 3 = 18.
      {ilGlyphLeft, iaLeft, -1, -1, 0, {28, 32}, {62, 34, 92, 46}},
      // Glyph on top: y = (40 - 16 - 2 - 12) div 2 = 5, caption below after spacing 2.
      {ilGlyphTop, iaCenter, 0, 2, 0, {52, 25}, {45, 43, 75, 55}},
  };
  for (const auto& c : cases) {
    const TsItemPlaces places = CalcItemLayout(Rect(10, 20, 110, 60), TSize{16, 16}, TSize{30, 12},
                                               {.Layout = c.layout,
                                                .Alignment = c.alignment,
                                                .Spacing = c.spacing,
                                                .Margin = c.margin,
                                                .Flags = c.flags});
    EXPECT_EQ(places.GlyphPos, c.glyph) << "layout " << c.layout << " alignment " << c.alignment;
    EXPECT_EQ(places.TextBounds, c.text) << "layout " << c.layout << " alignment " << c.alignment;
  }
}

}  // namespace
