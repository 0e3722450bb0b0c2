// The alpha image list under Wine: PNG items fill the system list, a half-transparent glyph
// is drawn by its alpha over what lies beneath it, and images added through the plain list
// methods get alpha.
#include "imaging/skAlphaImageListWin32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/imaging/AlphaGlyphFiles.h"

namespace {

void AddPng(TsAlphaImageList& list, const std::string& bytes) {
  TsImgListItem* item = list.Items()->Add();
  item->ImgData().Write(bytes.data(), static_cast<int32_t>(bytes.size()));
}

bool Near(TColor c, int r, int g, int b, int tolerance = 2) {
  const uint32_t v = static_cast<uint32_t>(c);
  return std::abs(static_cast<int>(v & 0xFF) - r) <= tolerance &&
         std::abs(static_cast<int>((v >> 8) & 0xFF) - g) <= tolerance &&
         std::abs(static_cast<int>((v >> 16) & 0xFF) - b) <= tolerance;
}

uint8_t AlphaAt(const TBitmap& b, int x, int y) { return b.ScanLine(y)[4 * x + 3]; }

TEST(AlphaImageList, SeventeenPngItemsFillTheSystemListOnLoading) {
  TsAlphaImageList list(nullptr);
  for (int i = 0; i < 17; ++i) AddPng(list, alphatest::HalfTransparentGlyph());
  list.Loaded();
  EXPECT_EQ(list.Count(), 17);
  EXPECT_EQ(list.Width(), 16);
}

TEST(AlphaImageList, HalfTransparentGlyphIsBlendedOverTheCanvas) {
  TsAlphaImageList list(nullptr);
  AddPng(list, alphatest::HalfTransparentGlyph());
  list.AfterConstruction();
  ASSERT_EQ(list.Count(), 1);
  TBitmap canvas;
  canvas.SetPixelFormat(pf24bit);
  canvas.SetSize(20, 20);
  canvas.Fill(static_cast<TColor>(0x00FF0000));  // blue
  list.Draw(canvas.Canvas(), 2, 2, 0);
  const TColor transparent = canvas.Canvas()->Pixels(2, 8);
  const TColor half = canvas.Canvas()->Pixels(10, 8);
  const TColor opaque = canvas.Canvas()->Pixels(17, 8);
  EXPECT_TRUE(Near(transparent, 0, 0, 255)) << std::hex << transparent;
  EXPECT_TRUE(Near(half, 128, 0, 127)) << std::hex << half;
  EXPECT_TRUE(Near(opaque, 0, 255, 0)) << std::hex << opaque;
  EXPECT_TRUE(Near(canvas.Canvas()->Pixels(0, 0), 0, 0, 255));  // outside the glyph
}

TEST(AlphaImageList, ListImageBitmapResamplesAPngItemToTheTargetSize) {
  TsAlphaImageList list(nullptr);
  AddPng(list, alphatest::HalfTransparentGlyph());
  list.AfterConstruction();
  TBitmap target;
  target.SetPixelFormat(pf32bit);
  target.SetSize(24, 24);
  ASSERT_TRUE(GetListImageBitmap(&list, 0, &target));
  EXPECT_EQ(target.Width(), 24);
  EXPECT_EQ(target.Height(), 24);
  EXPECT_EQ(target.PixelFormat(), pf32bit);
  EXPECT_FALSE(GetListImageBitmap(&list, 1, &target));
  EXPECT_FALSE(GetListImageBitmap(&list, 0, nullptr));
}

TEST(AlphaImageList, PlainImageAddedLaterGetsAlphaExceptOnTheKeyColour) {
  TsAlphaImageList list(nullptr);
  AddPng(list, alphatest::HalfTransparentGlyph());
  list.AfterConstruction();
  TBitmap plain;
  plain.SetPixelFormat(pf32bit);
  plain.SetSize(16, 16);
  plain.Fill(static_cast<TColor>(0x00204060));
  plain.SetPixelColor(3, 3, static_cast<TColor>(0x00FF00FF));  // the key colour
  // The alpha bytes of a filled 32-bit bitmap are zero: it carries no alpha.
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) plain.ScanLine(y)[4 * x + 3] = 0;
  ASSERT_EQ(list.Add(&plain, nullptr), 1);
  TBitmap back;
  back.SetPixelFormat(pf32bit);
  back.SetSize(16, 16);
  ASSERT_TRUE(GetListImageBitmap(&list, 1, &back));
  EXPECT_EQ(AlphaAt(back, 0, 0), 255);
  EXPECT_EQ(AlphaAt(back, 3, 3), 0);
}

TEST(AlphaImageList, GlyphCellOfAStripLandsAtThePoint) {
  // Four cells of 4 pixels: red, green, blue, white, all opaque.
  const std::string strip = alphatest::RgbaPng(16, 16, [](int x, int) {
    const alphatest::Rgba cells[] = {
        {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
    return cells[x / 4];
  });
  TsAlphaImageList list(nullptr);
  AddPng(list, strip);
  list.AfterConstruction();
  TBitmap target;
  target.SetPixelFormat(pf32bit);
  target.SetSize(20, 20);
  target.Fill(clBlack);
  const TPoint size = DrawGlyphCell(&list, &target, {5, 2}, 0, 4, 2, false, 0, clNone);
  EXPECT_EQ(size.X, 4);
  EXPECT_EQ(size.Y, 16);
  EXPECT_TRUE(Near(target.Canvas()->Pixels(6, 5), 0, 0, 255));  // the blue cell
  EXPECT_TRUE(Near(target.Canvas()->Pixels(9, 5), 0, 0, 0));    // beside it: untouched
}

}  // namespace
