#include "skin/core/pixels/sGraphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "skin/core/pixels/sAlphaGraph.h"
#include "tests/skin/core/SkinTestBitmaps.h"

namespace {

constexpr TColor kAsymmetricKey = 0x00336699;  // red 0x99, blue 0x33: order matters

TEST(KeyedCopy, SkipsTheSameKeyPixelsFor24And32BitSourcesAndLeavesTheSourceAlone) {
  auto source32 = MakeBitmap32(3, 2, 0x80102030);
  Px(*source32, 1, 0) = SwapRedBlueBytes(kAsymmetricKey);                // the key, alpha 0
  Px(*source32, 2, 1) = SwapRedBlueBytes(kAsymmetricKey) | 0x80000000u;  // not a full match
  TBitmap source24;
  source24.Assign(source32.get());
  source24.SetPixelFormat(pf24bit);

  auto dest32 = MakeBitmap32(4, 3, 0x11111111);
  auto dest24 = MakeBitmap32(4, 3, 0x11111111);
  CopyKeyedBitmap(dest32.get(), source32.get(), 1, kAsymmetricKey, 1);
  CopyKeyedBitmap(dest24.get(), &source24, 1, kAsymmetricKey, 1);
  EXPECT_EQ(Px(*dest32, 2, 1), 0x11111111u);  // key left out
  EXPECT_EQ(Px(*dest32, 1, 1), 0xFF102030u);  // copied opaque
  EXPECT_EQ(Px(*dest32, 3, 2), 0xFF996633u);
  EXPECT_EQ(Px(*dest24, 2, 1), 0x11111111u);  // the same pixel left out from 24 bits
  EXPECT_EQ(Px(*dest24, 1, 1), 0xFF102030u);
  EXPECT_EQ(Px(*dest24, 3, 2), 0x11111111u);  // 24 bits carry no alpha to tell them apart
  EXPECT_EQ(source24.PixelFormat(), pf24bit);

  TBitmap source8;  // a source of another format is compared on a copy
  source8.Assign(source32.get());
  source8.SetPixelFormat(pf8bit);
  const auto palette = source8.Palette();
  CopyKeyedBitmap(dest24.get(), &source8, 0, kAsymmetricKey, 0);
  EXPECT_EQ(source8.PixelFormat(), pf8bit);
  EXPECT_EQ(source8.Palette(), palette);
}

TEST(KeyedCopy, RectangleCopiesSkipOrReplaceKeyPixels) {
  auto source = MakeBitmap32(2, 2, 0x40ABCDEF);
  Px(*source, 0, 0) = 0x00FF00FF;
  auto skipped = MakeBitmap32(3, 3, 0x01010101);
  CopyRectSkippingKey(skipped.get(), TPoint{1, 1}, source.get(), Rect(0, 0, 2, 2), clFuchsia);
  EXPECT_EQ(Px(*skipped, 1, 1), 0x01010101u);
  EXPECT_EQ(Px(*skipped, 2, 2), 0x40ABCDEFu);  // copied as it is

  auto filled = MakeBitmap32(3, 3, 0x01010101);
  TsBackgroundSource colour;
  colour.FillColor = 0x00112233;
  CopyRectWithBackground(filled.get(), TPoint{0, 0}, source.get(), Rect(0, 0, 2, 2), clFuchsia,
                         false, colour);
  EXPECT_EQ(Px(*filled, 0, 0), 0xFF332211u);
  EXPECT_EQ(Px(*filled, 1, 1), 0x40ABCDEFu);

  auto bg = MakeBitmap32(4, 4, 0x00777777);
  Px(*bg, 3, 3) = 0x00555555;
  auto shown = MakeBitmap32(3, 3, 0x01010101);
  CopyRectWithBackground(shown.get(), TPoint{1, 1}, source.get(), Rect(0, 0, 2, 2), clFuchsia, true,
                         MakeBackgroundSource(bg.get(), 2, 2));
  EXPECT_EQ(Px(*shown, 1, 1), 0xFF555555u);  // background pixel at (1 + 2, 1 + 2)
  EXPECT_EQ(Px(*shown, 2, 2), 0xFFABCDEFu);
}

TEST(AreaCopy, TakesTheAreaIntoANewBitmapAndLeavesWhatLiesOutsideTheSourceClear) {
  auto source = MakeNoiseBitmap32(4, 3, 7);
  // Reaches one pixel past the left, top and right edges.
  auto copy = CopyBitmapArea(*source, Rect(-1, -1, 5, 2));
  ASSERT_EQ(copy->Width(), 6);
  ASSERT_EQ(copy->Height(), 3);
  EXPECT_EQ(copy->PixelFormat(), pf32bit);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x) {
      const int sx = x - 1, sy = y - 1;
      const bool inside = sx >= 0 && sx < 4 && sy >= 0;
      EXPECT_EQ(Px(*copy, x, y), inside ? Px(*source, sx, sy) : 0u) << x << "," << y;
    }
  // A 24-bit source is read as 32 bits; the caller's bitmap keeps its format.
  TBitmap rgb;
  rgb.SetPixelFormat(pf24bit);
  rgb.SetSize(2, 1);
  uint8_t* row = rgb.ScanLine(0);
  const uint8_t bgr[6] = {0x33, 0x22, 0x11, 0x66, 0x55, 0x44};
  std::copy(bgr, bgr + 6, row);
  auto converted = CopyBitmapArea(rgb, Rect(1, 0, 2, 1));
  EXPECT_EQ(rgb.PixelFormat(), pf24bit);
  ASSERT_EQ(converted->Width(), 1);
  EXPECT_EQ(Px(*converted, 0, 0) & 0xFFFFFFu, 0x445566u);
}

TEST(BlendRect, NegativePointsAndSourceTopsPickTheRightSourcePixels) {
  auto source = MakeBitmap32(8, 14);
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < 8; ++x) Px(*source, x, y) = static_cast<uint32_t>(y * 16 + x);
  auto dest = MakeBitmap32(6, 4, 0);
  BlendBitmapRect(dest.get(), source.get(), 0, Point(-3, 0), Rect(0, 0, 8, 4));
  EXPECT_EQ(Px(*dest, 0, 0), 3u);  // source column 3 at the left edge
  EXPECT_EQ(Px(*dest, 4, 2), 2u * 16 + 7);
  EXPECT_EQ(Px(*dest, 5, 3), 0u);  // the source ran out

  auto rows = MakeBitmap32(6, 4, 0);
  BlendBitmapRect(rows.get(), source.get(), 0, Point(0, 0), Rect(0, 10, 8, 14));
  EXPECT_EQ(Px(*rows, 1, 0), 10u * 16 + 1);
  EXPECT_EQ(Px(*rows, 1, 3), 13u * 16 + 1);

  auto whole = MakeBitmap32(8, 14, 0xFFFFFFFF);
  BlendBitmaps(whole.get(), source.get(), 0);
  EXPECT_TRUE(SamePixels(*whole, *source));
  auto other = MakeBitmap32(7, 14, 0x12345678);
  BlendBitmaps(other.get(), source.get(), 0);  // sizes differ: nothing
  EXPECT_EQ(Px(*other, 0, 0), 0x12345678u);
}

TEST(KeyedBlend, MixesColourChannelsByTheFactorAndSkipsKeys) {
  auto source = MakeBitmap32(2, 2, 0x00C86400);  // red 200, green 100, blue 0
  Px(*source, 1, 1) = 0x00FF00FF;
  auto dest = MakeBitmap32(2, 2, 0x7F0000C8);  // blue 200
  BlendBitmapKeyed(dest.get(), TPoint{0, 0}, source.get(), Rect(0, 0, 2, 2), clFuchsia, 0.4);
  // d := s - (s - d) * 0.4: red 120, green 60, blue 80; alpha kept
  EXPECT_EQ(Px(*dest, 0, 0), 0x7F783C50u);
  EXPECT_EQ(Px(*dest, 1, 1), 0x7F0000C8u);
}

TEST(Tints, MoveTowardTheColourAndMixByTheMask) {
  auto bmp = MakeBitmap32(2, 1, 0x20C86400);
  Px(*bmp, 1, 0) = 0x00FF00FF;
  TintBitmap(bmp.get(), clBlack, 0.5);  // halfway to black
  EXPECT_EQ(Px(*bmp, 0, 0), 0x20643200u);
  EXPECT_EQ(Px(*bmp, 1, 0), 0x00FF00FFu);

  auto image = MakeBitmap32(2, 1, 0x00000000);
  auto mask = MakeBitmap32(2, 1, 0x00000000);
  Px(*mask, 1, 0) = 0x00FFFFFF;
  ColorizeByMask(image.get(), mask.get(), clWhite);
  EXPECT_EQ(Px(*image, 0, 0), 0x00FFFFFFu);  // mask 0: the colour
  EXPECT_EQ(Px(*image, 1, 0), 0x00000000u);  // mask 255: the image
}

TEST(Mixes, TwoImagesMixByWeightOrMaskAndOnlyAtEqualSizes) {
  auto a = MakeBitmap32(2, 2, 0xFFFFFFFF);
  auto b = MakeBitmap32(2, 2, 0x00000000);
  auto result = MakeBitmap32(2, 2, 0x12121212);
  MixBitmaps(result.get(), a.get(), b.get(), 128, nullptr);
  EXPECT_EQ(Px(*result, 0, 0), 0x7F7F7F7Fu);  // (255 * 128) >> 8
  auto mask = MakeBitmap32(2, 2, 0x000000FF);
  MixBitmaps(result.get(), a.get(), b.get(), 0, mask.get());
  EXPECT_EQ(Px(*result, 1, 1), 0x000000FEu);
  auto small = MakeBitmap32(1, 2, 0);
  MixBitmaps(result.get(), a.get(), small.get(), 0, nullptr);
  EXPECT_EQ(Px(*result, 1, 1), 0x000000FEu);
}

TEST(Mixes, AlphaMaskWeakensTheSourceAlpha) {
  auto dest = MakeBitmap32(3, 1, 0xFF000000);
  auto source = MakeBitmap32(3, 1, 0xFFFFFFFF);
  auto mask = MakeBitmap32(3, 1, 0);
  Px(*mask, 1, 0) = 0x00800000;  // red 128
  Px(*mask, 2, 0) = 0x00FF0000;  // red 255: unchanged
  BlendByAlphaMask(dest.get(), source.get(), mask.get(), Rect(0, 0, 3, 1));
  EXPECT_EQ(Px(*dest, 0, 0), 0xFFFEFEFEu);  // (255 * 255) >> 8
  EXPECT_EQ(Px(*dest, 1, 0), 0xFF7D7D7Du);  // w = (127 * 255) >> 8 = 126; (255 * 126) >> 8
  EXPECT_EQ(Px(*dest, 2, 0), 0xFF000000u);
}

TEST(AlphaCopy, MixesBySourceAlphaAndRaisesDestinationAlpha) {
  auto dest = MakeBitmap32(2, 2, 0x00000000);
  auto source = MakeBitmap32(2, 2, 0x80FFFFFF);
  Px(*source, 1, 1) = 0x00FF00FF;
  CopyAlphaBitmap(Rect(0, 0, 2, 2), Rect(0, 0, 2, 2), dest.get(), false, EmptyBackgroundSource,
                  source.get());
  EXPECT_EQ(Px(*dest, 0, 0), 0x807F7F7Fu);
  auto bg = MakeBitmap32(2, 2, 0x00123456);
  CopyAlphaBitmap(Rect(0, 0, 2, 2), Rect(0, 0, 2, 2), dest.get(), true,
                  MakeBackgroundSource(bg.get(), 0, 0), source.get());
  EXPECT_EQ(Px(*dest, 1, 1), 0xFF123456u);
}

TEST(AlphaCopy, EveryPixelFollowsTheMixingRule) {
  for (int width : {1, 3, 4, 7, 33}) {
    auto source = MakeNoiseBitmap32(width, 5, width);
    auto dest = MakeNoiseBitmap32(width, 5, width + 100);
    auto expected = MakeNoiseBitmap32(width, 5, width + 100);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < width; ++x) {
        const uint32_t s = Px(*source, x, y), d = Px(*expected, x, y);
        const int a = static_cast<int>(s >> 24), da = static_cast<int>(d >> 24);
        uint32_t out = static_cast<uint32_t>(a == 0 ? da : da + a * (255 - da) / 255) << 24;
        for (int c = 0; c < 24; c += 8) {
          const int sc = (s >> c) & 0xFF, dc = (d >> c) & 0xFF;
          out |= static_cast<uint32_t>(((sc - dc) * a + dc * 256) >> 8) << c;
        }
        Px(*expected, x, y) = out;
      }
    CopyAlphaBitmap(Rect(0, 0, width, 5), Rect(0, 0, width, 5), dest.get(), false,
                    EmptyBackgroundSource, source.get());
    EXPECT_TRUE(SamePixels(*dest, *expected)) << width;
  }
}

TEST(EffectsCopy, FullTransparencyChangesNothingAndReflectionIsBounded) {
  auto source = MakeNoiseBitmap32(6, 20, 3);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 6; ++x) Px(*source, x, y) |= 0xFF000000u;
  auto dest = MakeNoiseBitmap32(6, 60, 4);
  auto before = MakeNoiseBitmap32(6, 60, 4);
  CopyImageWithEffects(dest.get(), Rect(0, 0, 6, 20), source.get(), Rect(0, 0, 6, 20),
                       {.Transparency = 100, .Reflected = true});
  EXPECT_TRUE(SamePixels(*dest, *before));

  CopyImageWithEffects(dest.get(), Rect(0, 0, 6, 20), source.get(), Rect(0, 0, 6, 20),
                       {.Reflected = true});
  int changedBelow = 0;
  for (int y = 20; y < 60; ++y)
    if (Px(*dest, 0, y) != Px(*before, 0, y) || Px(*dest, 3, y) != Px(*before, 3, y))
      changedBelow = y - 19;
  EXPECT_GT(changedBelow, 0);
  EXPECT_LE(changedBelow, 9);

  auto flat = MakeBitmap32(6, 1, 0xFFFFFFFF);  // a one-row source has nothing to mirror
  auto target = MakeBitmap32(6, 5, 0);
  CopyImageWithEffects(target.get(), Rect(0, 0, 6, 1), flat.get(), Rect(0, 0, 6, 1),
                       {.Reflected = true});
  EXPECT_EQ(Px(*target, 0, 0), 0x00FEFEFEu);  // (255 * 255) >> 8
  EXPECT_EQ(Px(*target, 0, 1), 0u);
}

TEST(EffectsCopy, BlendColourTintsByTheSourceGrey) {
  auto source = MakeBitmap32(2, 2, 0xFF808080);
  auto dest = MakeBitmap32(2, 2, 0);
  CopyImageWithEffects(dest.get(), Rect(0, 0, 2, 2), source.get(), Rect(0, 0, 2, 2),
                       {.BlendColor = clRed});
  EXPECT_EQ(Px(*dest, 0, 0), 0x007F0000u);  // red 128 mixed at 255: (128 * 255) >> 8
  TBitmap rgb;                              // a 24-bit source is read through a copy
  rgb.Assign(source.get());
  rgb.SetPixelFormat(pf24bit);
  CopyImageWithEffects(dest.get(), Rect(0, 0, 2, 2), &rgb, Rect(0, 0, 2, 2), {});
  EXPECT_EQ(rgb.PixelFormat(), pf24bit);
}

TEST(Rotation, QuarterTurnsMapPixelsAndFourGiveTheOriginal) {
  auto source = MakeNoiseBitmap32(3, 2, 9);
  auto cw = RotateBitmap90(source.get(), true);
  ASSERT_TRUE(cw);
  EXPECT_EQ(cw->Width(), 2);
  EXPECT_EQ(cw->Height(), 3);
  EXPECT_EQ(Px(*cw, 2 - 1 - 0, 2), Px(*source, 2, 0));  // (x, y) -> (height - 1 - y, x)
  auto ccw = RotateBitmap90(source.get(), false);
  EXPECT_EQ(Px(*ccw, 1, 3 - 1 - 2), Px(*source, 2, 1));  // (x, y) -> (y, width - 1 - x)
  auto back = RotateBitmap90(cw.get(), false);
  EXPECT_TRUE(SamePixels(*back, *source));

  auto image = MakeNoiseBitmap32(7, 4, 10);
  auto turned = RotateBitmap90(image.get(), true);
  for (int i = 0; i < 3; ++i) turned = RotateBitmap90(turned, true, true);
  EXPECT_TRUE(SamePixels(*turned, *image));

  TBitmap rgb;
  rgb.SetPixelFormat(pf24bit);
  rgb.SetSize(3, 2);
  EXPECT_EQ(RotateBitmap90(&rgb, true), nullptr);
  std::unique_ptr<TBitmap> owned = MakeBitmap32(2, 2);
  auto result = RotateBitmap90(owned, true, true);
  EXPECT_TRUE(result);
  EXPECT_FALSE(owned);
}

TEST(Channels, OneByteChannelGoesToAnEightBitBitmapAndBack) {
  auto bmp = MakeBitmap32(3, 2, 0x11223344);
  TBitmap grey;
  grey.SetPixelFormat(pf8bit);
  grey.SetSize(3, 2);
  CopyBitmapChannel(bmp.get(), &grey, 2, true);
  EXPECT_EQ(grey.ScanLine(1)[2], 0x22);
  grey.ScanLine(0)[0] = 0x99;
  CopyBitmapChannel(bmp.get(), &grey, 3, false);
  EXPECT_EQ(Px(*bmp, 0, 0), 0x99223344u);
}

TEST(Glyphs, ImageIndexFollowsModeStateAndCount) {
  // Four images side by side, 2 pixels wide: the top row holds index + 1, the bottom row the
  // key that each image's bottom-left pixel names.
  auto glyph = MakeBitmap32(8, 2, 0x00FF00FF);
  for (int x = 0; x < 8; ++x) Px(*glyph, x, 0) = 0xFF000000u | static_cast<uint32_t>(x / 2 + 1);
  struct Case {
    int mode, state;
    bool enabled;
    uint32_t shown;  // 0: nothing painted
  } cases[] = {{2, 3, true, 2}, {2, 0, true, 3},  {2, 1, true, 4}, {1, 0, true, 2},
               {0, 2, true, 1}, {2, 3, false, 1}, {5, 0, true, 0}};
  for (const auto& c : cases) {
    auto dest = MakeBitmap32(4, 4, 0);
    PaintGlyph(dest.get(), Rect(1, 1, 3, 3), glyph.get(),
               {.Count = 4, .Mode = c.mode, .State = c.state, .Enabled = c.enabled});
    EXPECT_EQ(Px(*dest, 1, 1), c.shown ? 0xFF000000u | c.shown : 0u)
        << "mode " << c.mode << " state " << c.state << " enabled " << c.enabled;
    EXPECT_EQ(Px(*dest, 1, 2), 0u) << "the key row is left out";
  }
}

TEST(Glyphs, SingleImageUsesItsBottomLeftPixelAsKey) {
  auto glyph = MakeBitmap32(2, 2, 0xFF0000FF);
  Px(*glyph, 0, 1) = 0xFF000000;  // bottom-left: the key
  auto dest = MakeBitmap32(3, 3, 0);
  PaintGlyph(dest.get(), Rect(1, 1, 3, 3), glyph.get(), {.Mode = 1});
  EXPECT_EQ(Px(*dest, 1, 1), 0xFF0000FFu);
  EXPECT_EQ(Px(*dest, 1, 2), 0u);
  auto grey = MakeBitmap32(3, 3, 0);
  PaintGlyph(grey.get(), Rect(0, 0, 2, 2), glyph.get(),
             {.Mode = 1, .Enabled = false, .DisabledKind = TsDisabledKind{dkGrayed}});
  EXPECT_EQ(Px(*grey, 0, 0), 0xFF555555u);
  EXPECT_EQ(Px(*grey, 0, 1), 0u);
}

TEST(NineSlice, CornersStayEdgesAndCentreTileOrStretch) {
  // A 6 x 6 source: 2-pixel margins, each of the nine parts its own value.
  auto source = MakeBitmap32(6, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) Px(*source, x, y) = static_cast<uint32_t>((y / 2) * 3 + x / 2);
  const TRect margins{2, 2, 2, 2}, limits{2, 2, 2, 2};
  for (int mode : {0, 1}) {
    auto dest = MakeBitmap32(11, 9, 0xFFFFFFFF);
    CopyNineSlice(dest.get(), Rect(0, 0, 11, 9), source.get(), Rect(0, 0, 6, 6),
                  {.Margins = margins,
                   .CornerLimits = limits,
                   .EdgeModes = {mode, mode, mode, mode},
                   .CentreMode = mode});
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 11; ++x) {
        const int col = x < 2 ? 0 : (x >= 9 ? 2 : 1), row = y < 2 ? 0 : (y >= 7 ? 2 : 1);
        ASSERT_EQ(Px(*dest, x, y), static_cast<uint32_t>(row * 3 + col))
            << "mode " << mode << " at " << x << "," << y;
      }
  }
}

TEST(NineSlice, ModesOutsideTileAndStretchPaintNoEdge) {
  auto source = MakeBitmap32(6, 6, 7);
  auto dest = MakeBitmap32(10, 10, 0);
  CopyNineSlice(dest.get(), Rect(0, 0, 10, 10), source.get(), Rect(0, 0, 6, 6),
                {.Margins = Rect(2, 2, 2, 2),
                 .CornerLimits = Rect(2, 2, 2, 2),
                 .EdgeModes = {3, 3, 3, 3},
                 .DrawCentre = false});
  EXPECT_EQ(Px(*dest, 0, 0), 7u);
  EXPECT_EQ(Px(*dest, 5, 0), 0u);
  EXPECT_EQ(Px(*dest, 5, 5), 0u);
}

TEST(Stretch, ConstantStaysConstantAndTheSameSizeCopies) {
  auto flat = MakeBitmap32(5, 3, 0x80402010);
  auto big = MakeBitmap32(17, 11, 0);
  StretchRect32(big.get(), Rect(0, 0, 17, 11), flat.get(), Rect(0, 0, 5, 3));
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 17; ++x) ASSERT_EQ(Px(*big, x, y), 0x80402010u);
  auto noise = MakeNoiseBitmap32(9, 7, 5);
  auto same = MakeBitmap32(9, 7);
  StretchRect32(same.get(), Rect(0, 0, 9, 7), noise.get(), Rect(0, 0, 9, 7));
  EXPECT_TRUE(SamePixels(*same, *noise));
}

TEST(Shadow, FullStrengthTakesTheColourInsideAndNothingOutside) {
  auto bmp = MakeBitmap32(12, 12, 0xFFFFFFFF);
  PaintShadowRect(bmp.get(), Rect(2, 2, 10, 10), 0, 0, 0, clBlack);
  EXPECT_EQ(Px(*bmp, 5, 5) & 0x00FFFFFF, 0u);
  EXPECT_EQ(Px(*bmp, 1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(Px(*bmp, 10, 10), 0xFFFFFFFFu);
  auto soft = MakeBitmap32(12, 12, 0xFFFFFFFF);
  PaintShadowRect(soft.get(), Rect(0, 0, 12, 12), 0, 3, 3, clBlack);
  EXPECT_GT(Px(*soft, 0, 6) & 0xFF, Px(*soft, 6, 6) & 0xFF);  // lighter at the rim
}

// Every routine that takes rectangles or points, fed random ones: under ASan and UBSan
// nothing is read or written outside a bitmap, and nothing overflows.
TEST(Clipping, RandomRectanglesAndPointsNeverLeaveTheBitmaps) {
  std::mt19937 rng(125);
  std::uniform_int_distribution<int> near(-30, 40);
  auto any = [&]() -> int {
    switch (rng() % 8) {
      case 0:
        return INT32_MIN;
      case 1:
        return INT32_MAX;
      case 2:
        return static_cast<int>(rng());
      default:
        return near(rng);
    }
  };
  auto rect = [&] { return TRect{any(), any(), any(), any()}; };
  for (int i = 0; i < 3000; ++i) {
    auto dest = MakeNoiseBitmap32(1 + rng() % 13, 1 + rng() % 13, i);
    auto source = MakeNoiseBitmap32(1 + rng() % 13, 1 + rng() % 13, i + 1);
    auto bg = MakeNoiseBitmap32(1 + rng() % 9, 1 + rng() % 9, i + 2);
    const TsBackgroundSource bgs = MakeBackgroundSource(bg.get(), any(), any());
    switch (i % 16) {
      case 0:
        CopyKeyedBitmap(dest.get(), source.get(), any(), clFuchsia, any());
        break;
      case 1:
        CopyRectSkippingKey(dest.get(), TPoint{any(), any()}, source.get(), rect(), clFuchsia);
        break;
      case 2:
        CopyRectWithBackground(dest.get(), TPoint{any(), any()}, source.get(), rect(), clFuchsia,
                               true, bgs);
        break;
      case 3:
        BlendBitmapKeyed(dest.get(), TPoint{any(), any()}, source.get(), rect(), clFuchsia, 0.3);
        break;
      case 4:
        BlendBitmapRect(dest.get(), source.get(), 77, Point(any(), any()), rect());
        break;
      case 5:
        BlendByAlphaMask(dest.get(), source.get(), bg.get(), rect());
        break;
      case 6:
        CopyAlphaBitmap(rect(), rect(), dest.get(), true, bgs, source.get());
        break;
      case 7:
        CopyImageWithEffects(dest.get(), rect(), source.get(), rect(),
                             {.Transparency = int(rng() % 120),
                              .BlendColor = clRed,
                              .Reflected = true,
                              .UseBackground = true,
                              .Background = bgs});
        break;
      case 8:
        CopyNineSlice(
            dest.get(), rect(), source.get(), rect(),
            {.Margins = rect(),
             .CornerLimits = rect(),
             .EdgeModes = {int(rng() % 3), int(rng() % 3), int(rng() % 3), int(rng() % 3)},
             .CentreMode = int(rng() % 3)});
        break;
      case 9:
        StretchRect32(dest.get(), rect(), source.get(), rect());
        break;
      case 10:
        PaintGlyph(dest.get(), rect(), source.get(),
                   {.Count = int(1 + rng() % 5),
                    .Mode = int(rng() % 4),
                    .State = any(),
                    .Blend = int(rng() % 101),
                    .Enabled = rng() % 2 != 0,
                    .DisabledKind = TsDisabledKind{dkBlended}});
        break;
      case 11:
        PaintShadowRect(dest.get(), rect(), any(), any(), any(), clBlack);
        break;
      case 12:
        FillRect32(dest.get(), rect(), clRed);
        FillBorder32(dest.get(), rect(), any(), any(), any(), any(), clRed);
        break;
      case 13:
        FillAlphaRect(dest.get(), rect(), 9, true);
        BlendRectColor(dest.get(), rect(), any() % 200, clBlue);
        break;
      case 14:
        PaintDisabledEffect(dest.get(), TsDisabledKind{dkBlended, dkGrayed}, clRed,
                            Point(any(), any()), bgs);
        break;
      case 15:
        BlendTextCoverage(dest.get(), *source, rect(), clRed);
        break;
    }
  }
}

}  // namespace
