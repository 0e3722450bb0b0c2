// The alpha image list's portable half: items keep whole files, PNG items decode with their
// alpha at the list's size, and the two alpha repairs touch only bitmaps without alpha.
#include "imaging/skAlphaImageList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/SysUtils.h"
#include "imaging/skAlphaImageListPixels.h"
#include "tests/imaging/AlphaGlyphFiles.h"

namespace {

void SetData(TsImgListItem& item, const std::string& bytes) {
  item.ImgData().Clear();
  item.ImgData().Write(bytes.data(), static_cast<int32_t>(bytes.size()));
}

std::string DataOf(const TsImgListItem& item) {
  return std::string(reinterpret_cast<const char*>(item.DataBytes()),
                     static_cast<size_t>(item.DataSize()));
}

uint32_t Pixel(const TBitmap& b, int x, int y) {
  uint32_t v;
  std::memcpy(&v, b.ScanLine(y) + 4 * x, 4);
  return v;
}

void SetPixel(TBitmap& b, int x, int y, uint32_t v) { std::memcpy(b.ScanLine(y) + 4 * x, &v, 4); }

TEST(AlphaImageListItems, AssignCopiesFormatPixelFormatAndEveryByteThroughTheCollection) {
  TsImgListItems source;
  TsImgListItem* png = source.Add();
  SetData(*png, alphatest::HalfTransparentGlyph());
  TsImgListItem* ico = source.Add();
  ico->SetImageFormat(ifICO);
  ico->SetPixelFormat(pf24bit);
  SetData(*ico, std::string("\0\0\1\0", 4));

  TsImgListItems copy;
  copy.Add();  // replaced by the copy
  copy.Assign(&source);
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(copy.ItemAt(0)->ImageFormat(), ifPNG);
  EXPECT_EQ(copy.ItemAt(0)->PixelFormat(), pf32bit);
  EXPECT_EQ(DataOf(*copy.ItemAt(0)), DataOf(*png));
  EXPECT_EQ(copy.ItemAt(1)->ImageFormat(), ifICO);
  EXPECT_EQ(copy.ItemAt(1)->PixelFormat(), pf24bit);
  EXPECT_EQ(DataOf(*copy.ItemAt(1)), DataOf(*ico));
  // The copy owns its bytes: changing the source leaves it alone.
  SetData(*png, "other");
  EXPECT_EQ(DataOf(*copy.ItemAt(0)), alphatest::HalfTransparentGlyph());
}

TEST(AlphaImageListItems, PngItemDecodesWithItsAlphaAtTheListSize) {
  TsImgListItem item;
  SetData(item, alphatest::HalfTransparentGlyph());
  TBitmap bitmap;
  ASSERT_TRUE(DecodeItemBitmap(item, 16, 16, bitmap));
  EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
  EXPECT_EQ(bitmap.Width(), 16);
  EXPECT_EQ(Pixel(bitmap, 0, 5) >> 24, 0u);
  EXPECT_EQ(Pixel(bitmap, 15, 5), 0xFF00FF00u);  // opaque green as BGRA
  EXPECT_EQ(Pixel(bitmap, 8, 5) >> 24, 128u);
  EXPECT_EQ((Pixel(bitmap, 8, 5) >> 16) & 0xFF, 255u);  // red, not premultiplied
}

TEST(AlphaImageListItems, PngOfAnotherSizeIsResampledToTheRequestedSize) {
  TsImgListItem item;
  SetData(item, alphatest::RgbaPng(16, 16, [](int, int) {
            return alphatest::Rgba{0, 0, 255, 255};
          }));
  TBitmap bitmap;
  ASSERT_TRUE(DecodeItemBitmap(item, 24, 24, bitmap));
  EXPECT_EQ(bitmap.Width(), 24);
  EXPECT_EQ(bitmap.Height(), 24);
  EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
  EXPECT_EQ(Pixel(bitmap, 12, 12), 0xFF0000FFu);  // opaque blue as BGRA
}

// A program that forgot to lend the list the skin engine's routines learns it at the first
// item to scale, instead of getting a blank glyph.
TEST(AlphaImageListItems, ScalingWithoutRegisteredPixelRoutinesIsAnError) {
  IAlphaImagePixels& registered = AlphaImagePixels();
  SetAlphaImagePixels(nullptr);
  TsImgListItem item;
  SetData(item, alphatest::RgbaPng(16, 16, [](int, int) {
            return alphatest::Rgba{0, 0, 255, 255};
          }));
  TBitmap bitmap;
  EXPECT_TRUE(DecodeItemBitmap(item, 16, 16, bitmap));  // its own size needs no scaling
  EXPECT_THROW(DecodeItemBitmap(item, 24, 24, bitmap), EInvalidOperation);
  SetAlphaImagePixels(&registered);
}

TEST(AlphaImageListItems, IconItemsEmptyItemsAndDamagedPngs) {
  TBitmap bitmap;
  TsImgListItem empty;
  EXPECT_FALSE(DecodeItemBitmap(empty, 16, 16, bitmap));
  TsImgListItem ico;
  ico.SetImageFormat(ifICO);
  SetData(ico, alphatest::HalfTransparentGlyph());
  EXPECT_FALSE(DecodeItemBitmap(ico, 16, 16, bitmap));
  TsImgListItem damaged;
  std::string bytes = alphatest::HalfTransparentGlyph();
  bytes.resize(bytes.size() / 2);
  SetData(damaged, bytes);
  EXPECT_ANY_THROW(DecodeItemBitmap(damaged, 16, 16, bitmap));
}

TBitmap* PlainBitmap(TBitmap& b) {
  b.SetPixelFormat(pf32bit);
  b.SetSize(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) SetPixel(b, x, y, 0x00102030u);
  return &b;
}

TEST(AlphaRepairs, RepairMakesTheBottomLeftColourTransparentAndTheRestOpaque) {
  TBitmap b;
  PlainBitmap(b);
  SetPixel(b, 2, 0, 0x00FF00FFu);
  RepairAlpha(b);
  EXPECT_EQ(Pixel(b, 0, 1), 0x00102030u);  // the bottom-left colour: transparent
  EXPECT_EQ(Pixel(b, 1, 0), 0x00102030u);
  EXPECT_EQ(Pixel(b, 2, 0), 0xFFFF00FFu);
}

TEST(AlphaRepairs, KeyColourStaysTransparentWhenAPlainImageGetsAlpha) {
  TBitmap b;
  PlainBitmap(b);
  SetPixel(b, 1, 1, 0x00FF00FFu);
  EXPECT_TRUE(GiveOpaqueAlphaExceptKey(b));
  EXPECT_EQ(Pixel(b, 0, 0), 0xFF102030u);
  EXPECT_EQ(Pixel(b, 1, 1), 0x00FF00FFu);
}

TEST(AlphaRepairs, BitmapsThatCarryAlphaAreLeftAlone) {
  TBitmap b;
  PlainBitmap(b);
  SetPixel(b, 1, 0, 0x40102030u);
  EXPECT_FALSE(GiveOpaqueAlphaExceptKey(b));
  RepairAlpha(b);
  EXPECT_EQ(Pixel(b, 0, 0), 0x00102030u);
  EXPECT_EQ(Pixel(b, 1, 0), 0x40102030u);
}

TEST(AlphaImageListCells, StateSelectsTheCellAndIsLimitedToTheLast) {
  struct Case {
    int width, cells, state, left, cellWidth;
  } cases[] = {
      {64, 4, 0, 0, 16},  {64, 4, 2, 32, 16}, {64, 4, 9, 48, 16},
      {64, 4, -1, 0, 16}, {50, 3, 1, 16, 16}, {16, 0, 3, 0, 16},
  };
  for (const Case& c : cases) {
    const TGlyphCell cell = GlyphCellOf(c.width, c.cells, c.state);
    EXPECT_EQ(cell.Left, c.left) << c.width << " " << c.cells << " " << c.state;
    EXPECT_EQ(cell.Width, c.cellWidth) << c.width << " " << c.cells << " " << c.state;
  }
}

}  // namespace
