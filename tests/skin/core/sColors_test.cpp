#include "skin/core/pixels/sColors.h"

#include <gtest/gtest.h>

#include "tests/skin/core/SkinTestBitmaps.h"

namespace {

struct HueCase {
  int amount;
  TColor color;
  TColor expected;
};

TEST(ColorHue, RotatesByTheGivenDegreesAndWrapsEitherWay) {
  const HueCase cases[] = {
      {120, clRed, clLime},    {240, clRed, clBlue},
      {120, clLime, clBlue},   {360, clRed, clRed},
      {0, 0x123456, 0x123456}, {-120, clRed, clBlue},
      {-240, clRed, clLime},  // negative sums wrap to 0..359
      {-480, clRed, clBlue},   {-30, clRed, MakeColor(255, 0, 128)},
      {77, clGray, clGray},    {-77, clSilver, clSilver},  // grey keeps its hue-less self
  };
  for (const auto& c : cases)
    EXPECT_EQ(ChangeColorHue(c.amount, c.color), c.expected)
        << "amount " << c.amount << " colour " << std::hex << c.color;
}

TEST(ColorHue, AnyAmountActsAsItsRemainderInZeroTo359) {
  std::mt19937 rng(7);
  for (int i = 0; i < 2000; ++i) {
    const uint32_t pixel = rng() & 0xFFFFFFFFu;
    const int amount = static_cast<int>(rng() % 2001) - 1000;
    const int normalised = ((amount % 360) + 360) % 360;
    ASSERT_EQ(ChangeHue(amount, pixel), ChangeHue(normalised, pixel))
        << std::hex << pixel << std::dec << " by " << amount;
    ASSERT_EQ(ChangeHue(amount, pixel) >> 24, pixel >> 24) << "alpha kept";
  }
  EXPECT_EQ(ChangeHue(INT32_MAX, 0x00FF0000), ChangeHue(INT32_MAX % 360, 0x00FF0000));
  EXPECT_EQ(ChangeHue(INT32_MIN, 0x00FF0000), ChangeHue(360 + INT32_MIN % 360, 0x00FF0000));
  EXPECT_EQ(ChangeSaturation(INT32_MAX, 0x000064C8), 0x000064FFu);  // limited, not wrapped
}

struct SaturationCase {
  int amount;
  uint32_t color;
  uint32_t expected;
};

TEST(ColorSaturation, MovesChannelsFromTheirAverageAndLimitsThem) {
  const SaturationCase cases[] = {
      {100, 0x000064C8, 0x000064FF},   // 200,100,0 -> 255,100,0
      {100, 0xAB0064C8, 0xAB0064FF},   // the top byte travels unchanged
      {-100, 0x005A3C1E, 0x003C3C3C},  // 30,60,90 -> its average 60
      {-100, 0x001F140A, 0x00141414},  // average 20.33 rounds to 20
      {50, 0x00808080, 0x00808080},    // grey has nothing to spread
      {0, 0x00123456, 0x00123456},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ChangeSaturation(c.amount, c.color), c.expected)
        << c.amount << " " << std::hex << c.color;
  EXPECT_EQ(ChangeColorSaturation(0x000064C8, 0), 0x000064C8);
  EXPECT_EQ(ChangeColorSaturation(0x000064C8, 100), 0x000064FF);
}

TEST(ColorMix, FollowsTheWeightsAndKeepsTheFirstTopByte) {
  EXPECT_EQ(MixColors(clWhite, clBlack, 0.4), 0x666666);
  EXPECT_EQ(MixColors(clWhite, clBlack, 1.0), clWhite);
  EXPECT_EQ(MixColors(clWhite, clBlack, 0.0), clBlack);
  EXPECT_EQ(static_cast<uint32_t>(MixColors(static_cast<TColor>(0x7F0000FF), 0xFF0000, 0.5)),
            0x7F800080u);  // 127.5 ties to the even 128
  EXPECT_EQ(AverageColors(clWhite, clBlack), 0x7E7E7E);
  EXPECT_EQ(AverageColors(clBlack, clWhite), 0x808080);
  EXPECT_EQ(MixColorsHalf(static_cast<TColor>(0xFF000000), 0), 0);  // top byte 0
}

TEST(BitmapColors, LeaveKeyAndGreyPixelsAlone) {
  auto bmp = MakeBitmap32(4, 2);
  Px(*bmp, 0, 0) = 0x00FF00FF;  // key, full match: untouched
  Px(*bmp, 1, 0) = 0xFFFF00FF;  // magenta with alpha: an ordinary pixel
  Px(*bmp, 2, 0) = 0x80404040;  // grey
  Px(*bmp, 3, 0) = 0x40FF0000;  // red, alpha 0x40
  auto hue = MakeBitmap32(4, 2);
  for (int x = 0; x < 4; ++x) Px(*hue, x, 0) = Px(*bmp, x, 0);
  ShiftBitmapHue(hue.get(), 120);
  EXPECT_EQ(Px(*hue, 0, 0), 0x00FF00FFu);
  EXPECT_EQ(Px(*hue, 1, 0), ChangeHue(120, 0xFFFF00FF));
  EXPECT_NE(Px(*hue, 1, 0), 0xFFFF00FFu);
  EXPECT_EQ(Px(*hue, 2, 0), 0x80404040u);
  EXPECT_EQ(Px(*hue, 3, 0), 0x4000FF00u);

  ChangeBitmapSaturation(bmp.get(), -100);
  EXPECT_EQ(Px(*bmp, 0, 0), 0x00FF00FFu);
  EXPECT_EQ(Px(*bmp, 1, 0), 0xFFAAAAAAu);
  EXPECT_EQ(Px(*bmp, 2, 0), 0x80404040u);
  EXPECT_EQ(Px(*bmp, 3, 0), 0x40555555u);

  ShiftBitmapHue(nullptr, 10);  // a missing bitmap is no error
  ChangeBitmapSaturation(nullptr, 10);
}

TEST(BitmapColors, GreyscaleAveragesAndTheKeyedOneSkipsTheKey) {
  auto bmp = MakeBitmap32(2, 2, 0x11302010);  // 0x30,0x20,0x10 -> 0x20
  Px(*bmp, 1, 1) = 0x00FF00FF;
  auto keyed = MakeBitmap32(2, 2, 0x11302010);
  Px(*keyed, 1, 1) = 0x00FF00FF;
  GrayscaleBitmap(bmp.get());
  GrayscaleBitmapKeyed(keyed.get(), 0x00FF00FF);
  EXPECT_EQ(Px(*bmp, 0, 0), 0x11202020u);
  EXPECT_EQ(Px(*bmp, 1, 1), 0x00AAAAAAu);
  EXPECT_EQ(Px(*keyed, 0, 0), 0x11202020u);
  EXPECT_EQ(Px(*keyed, 1, 1), 0x00FF00FFu);
}

}  // namespace
