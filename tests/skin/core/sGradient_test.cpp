#include "skin/core/pixels/sGradient.h"

#include <gtest/gtest.h>

#include "framework/SysUtils.h"
#include "tests/skin/core/SkinTestBitmaps.h"

namespace {

TsGradArray Parse(const std::string& text) {
  TsGradArray result;
  ParseGradientData(text, result);
  return result;
}

uint32_t Grey(int v) { return 0xFF000000u | 0x010101u * static_cast<uint32_t>(v); }

TEST(GradientText, FiveFieldsMakeAStopAndOutOfRangeValuesAreLimited) {
  EXPECT_EQ(Parse("1;2;3;0;0;4;5;6;0").size(), 1u);
  EXPECT_EQ(Parse("1;2;3;0;0;4;5;6;0;0").size(), 2u);
  const auto loose = Parse(";;16777215;;0;100;0;0;");
  ASSERT_EQ(loose.size(), 1u);
  EXPECT_EQ(loose[0].Color1, 0xFFFFFF);
  EXPECT_EQ(loose[0].Color2, 0);
  EXPECT_EQ(loose[0].Percent, 100);
  EXPECT_EQ(loose[0].Mode, 0);
  const auto limited = Parse("-5;7;150;9;0;1;2;-3;-1;0");
  ASSERT_EQ(limited.size(), 2u);
  EXPECT_EQ(limited[0].Color1, 0);
  EXPECT_EQ(limited[0].Percent, 100);
  EXPECT_EQ(limited[0].Mode, 9);
  EXPECT_EQ(limited[1].Percent, 0);
  EXPECT_EQ(limited[1].Mode, -1);
  EXPECT_THROW(Parse("1;2;x;0;0"), EConvertError);
  TsGradArray none{TsGradStop{}};
  ParseGradientData(static_cast<const char*>(nullptr), none);
  EXPECT_TRUE(none.empty());
}

TEST(GradientPaint, RowBandsFollowTheWorkedExample) {
  auto bmp = MakeBitmap32(3, 11);
  PaintGradient(bmp.get(), Rect(0, 0, 3, 11),
                Parse("16777215;12632256;50;0;0;12632256;8421504;50;0;0"));
  // First band rows 0..5 white to silver (255 -> 192 in 5 steps of 12.6), the second
  // from row 5 to the bottom, silver to grey; row 5 painted again by the second band.
  EXPECT_EQ(Px(*bmp, 0, 0), Grey(255));
  EXPECT_EQ(Px(*bmp, 2, 2), Grey(230));
  EXPECT_EQ(Px(*bmp, 1, 5), Grey(192));
  EXPECT_EQ(Px(*bmp, 1, 10), Grey(128));
}

TEST(GradientPaint, TheLastBandAlwaysReachesTheBottomAndOddModesPaintNothing) {
  auto bmp = MakeBitmap32(2, 10);
  PaintGradient(bmp.get(), Rect(0, 0, 2, 10), Parse("255;255;30;0;0"));
  for (int y = 0; y < 10; ++y) EXPECT_EQ(Px(*bmp, 1, y), 0xFFFF0000u) << y;
  auto none = MakeBitmap32(2, 2);
  PaintGradient(none.get(), Rect(0, 0, 2, 2), Parse("255;255;100;7;0"));
  EXPECT_EQ(Px(*none, 0, 0), 0u);
#ifndef _WIN32
  PaintGradient(none.get(), Rect(0, 0, 2, 2), Parse("255;255;100;2;0"));
  EXPECT_EQ(Px(*none, 0, 0), 0u);  // no system gradient fill here
#endif
}

TEST(GradientPaint, ColumnBandsRepeatTheTopRow) {
  auto bmp = MakeBitmap32(6, 3);
  PaintGradient(bmp.get(), Rect(0, 0, 6, 3), Parse("0;16777215;100;1;0"));
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(Px(*bmp, 0, y), Grey(0));
    EXPECT_EQ(Px(*bmp, 1, y), Grey(51));
    EXPECT_EQ(Px(*bmp, 5, y), Grey(255));
  }
}

#ifdef _WIN32
TEST(GradientPaint, TrianglesWithOneStopPaintItsColour) {
  auto bmp = MakeBitmap32(8, 8);
  PaintGradient(bmp.get(), Rect(0, 0, 8, 8), Parse("255;0;100;2;0"));
  EXPECT_EQ(Px(*bmp, 4, 4) & 0x00FFFFFF, 0x00FF0000u);
  EXPECT_EQ(Px(*bmp, 1, 6) & 0x00FFFFFF, 0x00FF0000u);
}
#endif

TEST(GradientPaint, TextureMixesByTheWeightAndTilesFromTheBitmapOrigin) {
  auto texture = MakeBitmap32(4, 4, 0xFF000000);
  Px(*texture, 1, 1) = 0xFFFFFFFF;
  auto bmp = MakeBitmap32(6, 6);
  // Tile 2 x 2 from (0, 0) of a 4 x 4 texture: the texture pixel (1, 1) shows at odd x, y.
  PaintGradientTextured(bmp.get(), Rect(1, 1, 6, 6), Parse("16777215;16777215;100;0;0"), 255,
                        Rect(0, 0, 2, 2), texture.get());
  EXPECT_EQ(Px(*bmp, 1, 1), Grey(255));  // ((255 - 255) * 255 + 255 * 256) >> 8
  EXPECT_EQ(Px(*bmp, 2, 1), Grey(0));    // (-255 * 255 + 255 * 256) >> 8 = 0.99 -> 0
  EXPECT_EQ(Px(*bmp, 3, 3), Grey(255));
  EXPECT_EQ(Px(*bmp, 0, 0), 0u);
  auto plain = MakeBitmap32(6, 6);
  PaintGradientTextured(plain.get(), Rect(0, 0, 6, 6), Parse("0;16777215;100;1;0"), 0,
                        Rect(0, 0, 0, 0), texture.get());
  EXPECT_EQ(Px(*plain, 5, 4), Grey(255));
}

TEST(GradientPaint, RandomRectanglesPaintOnlyInsideTheBitmap) {
  std::mt19937 rng(142);
  std::uniform_int_distribution<int> d(-20, 30);
  const TsGradArray gradients[] = {Parse("255;65280;40;0;0;65280;16711680;60;0;0"),
                                   Parse("255;65280;40;1;0;65280;16711680;0;0;0;1;2;200;0;0"),
                                   Parse("1;2;0;0;0;3;4;0;0;0")};
  auto texture = MakeNoiseBitmap32(5, 3, 1);
  for (int i = 0; i < 600; ++i) {
    auto bmp = MakeBitmap32(1 + rng() % 9, 1 + rng() % 9, 0);
    const TRect r{d(rng), d(rng), d(rng), d(rng)};
    const TsGradArray& g = gradients[i % 3];
    if (i % 2)
      PaintGradient(bmp.get(), r, g);
    else
      PaintGradientTextured(bmp.get(), r, g, static_cast<uint8_t>(rng()),
                            TRect{d(rng), d(rng), d(rng), d(rng)}, texture.get());
    for (int y = 0; y < bmp->Height(); ++y)
      for (int x = 0; x < bmp->Width(); ++x)
        if (x < r.Left || x >= r.Right || y < r.Top || y >= r.Bottom) {
          ASSERT_EQ(Px(*bmp, x, y), 0u) << i;
        }
  }
}

}  // namespace
