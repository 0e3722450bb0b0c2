#include "skin/core/pixels/sAlphaGraph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "tests/skin/core/SkinTestBitmaps.h"

namespace {

bool Inside(const TRect& r, int x, int y) {
  return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

TRect RandomRect(std::mt19937& rng, int lo, int hi) {
  std::uniform_int_distribution<int> d(lo, hi);
  return {d(rng), d(rng), d(rng), d(rng)};  // may be empty or inverted on purpose
}

TEST(Fast32, RefusesTinyBitmapsQuietlyAndOtherFormatsLoudly) {
  for (TPixelFormat format : {pf1bit, pf8bit, pf24bit, pf32bit}) {
    TBitmap tiny;
    tiny.SetPixelFormat(format);
    tiny.SetSize(1, 1);
    TskFast32 fast;
    EXPECT_FALSE(fast.AttachBitmap(&tiny));
    EXPECT_EQ(fast.ImageWidth, 0);
  }
  TBitmap rgb;
  rgb.SetPixelFormat(pf24bit);
  rgb.SetSize(10, 10);
  TskFast32 fast;
  try {
    fast.AttachBitmap(&rgb);
    FAIL() << "a 24-bit bitmap was bound";
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(e.Message(), "Bitmap format is not supported");
  }
  EXPECT_FALSE(fast.AttachBitmap(nullptr));
}

TEST(Fast32, PixelsTravelAsColoursWithAlphaOnTopAndStayInside) {
  auto bmp = MakeBitmap32(3, 2);
  TskFast32 fast;
  ASSERT_TRUE(fast.AttachBitmap(bmp.get()));
  fast.SetPixel(2, 1, 0x80112233);  // TColor layout: red 0x33, blue 0x11
  EXPECT_EQ(Px(*bmp, 2, 1), 0x80332211u);
  EXPECT_EQ(fast.GetPixel(2, 1), 0x80112233u);
  EXPECT_EQ(fast.PixelAddress(2, 1), &Px(*bmp, 2, 1));
  for (auto [x, y] : {std::pair{-1, 0}, {3, 0}, {0, 2}, {0, -1}}) {
    fast.SetPixel(x, y, 0xFFFFFFFF);
    EXPECT_EQ(fast.GetPixel(x, y), 0u);
  }
  EXPECT_EQ(Px(*bmp, 0, 0), 0u);
  EXPECT_EQ(ColorToPixel32(0x11223344), 0x11443322u);
  EXPECT_EQ(SwapRedBlueBytes(0x11223344), 0x11443322u);
}

TEST(FillPixels, StoresCountValuesAndNothingForNegativeCounts) {
  uint32_t row[4] = {1, 2, 3, 4};
  FillPixels32(row + 1, 2, 9);
  FillPixels32(row, -5, 7);
  EXPECT_EQ(row[0], 1u);
  EXPECT_EQ(row[1], 9u);
  EXPECT_EQ(row[2], 9u);
  EXPECT_EQ(row[3], 4u);
}

// The blend's rounding: d := round((d * W + s * (255 - W)) / 255) for every pair of bytes.
TEST(FastSum32, BlendRoundsEveryBytePairAndTheEndWeightsAreIdentities) {
  auto dest0 = MakeBitmap32(256, 256);
  auto source = MakeBitmap32(256, 256);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      Px(*dest0, x, y) = 0x01010101u * static_cast<uint32_t>(x);
      Px(*source, x, y) = 0x01010101u * static_cast<uint32_t>(y);
    }
  for (int w : {0, 1, 127, 128, 200, 254, 255}) {
    auto dest = MakeBitmap32(256, 256);
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) Px(*dest, x, y) = Px(*dest0, x, y);
    TskFastSum32 sum;
    ASSERT_TRUE(sum.AttachBitmaps(source.get(), dest.get()));
    sum.DestWeight = static_cast<uint8_t>(w);
    sum.DestRect = sum.SourceRect = Rect(0, 0, 256, 256);
    sum.Blend();
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) {
        const uint32_t expected = (x * w + y * (255 - w) + 127) / 255;
        ASSERT_EQ(Px(*dest, x, y), expected * 0x01010101u) << "d " << x << " s " << y << " W " << w;
      }
  }
  auto d = MakeBitmap32(2, 2, 0xC8C8C8C8);  // the worked example: 200 over 100 at 128
  auto s = MakeBitmap32(2, 2, 0x64646464);
  TskFastSum32 sum;
  ASSERT_TRUE(sum.AttachBitmaps(s.get(), d.get()));
  sum.DestWeight = 128;
  sum.DestRect = sum.SourceRect = Rect(0, 0, 2, 2);
  sum.Blend();
  EXPECT_EQ(Px(*d, 1, 1), 0x96969696u);
}

TEST(FastSum32, SourceRowsAreCountedFromTheBottomEdges) {
  auto source = MakeBitmap32(2, 6);
  for (int y = 0; y < 6; ++y) Px(*source, 0, y) = Px(*source, 1, y) = static_cast<uint32_t>(y);
  auto dest = MakeBitmap32(4, 2, 0xFFFFFFFF);
  TskFastSum32 sum;
  ASSERT_TRUE(sum.AttachBitmaps(source.get(), dest.get()));
  EXPECT_EQ(sum.CommonWidth, 2);
  EXPECT_EQ(sum.CommonHeight, 2);
  sum.DestWeight = 0;
  sum.DestRect = Rect(2, 0, 4, 2);
  sum.SourceRect = Rect(0, 3, 2, 5);
  sum.Blend();
  EXPECT_EQ(Px(*dest, 2, 0), 3u);
  EXPECT_EQ(Px(*dest, 3, 1), 4u);
  EXPECT_EQ(Px(*dest, 1, 1), 0xFFFFFFFFu);
}

TEST(FastSum32, RefusesTinyAndNon32BitBitmaps) {
  auto good = MakeBitmap32(4, 4);
  auto tiny = MakeBitmap32(1, 4);
  TBitmap rgb;
  rgb.SetPixelFormat(pf24bit);
  rgb.SetSize(4, 4);
  TskFastSum32 sum;
  EXPECT_FALSE(sum.AttachBitmaps(good.get(), tiny.get()));
  EXPECT_FALSE(sum.AttachBitmaps(tiny.get(), good.get()));
  EXPECT_FALSE(sum.AttachBitmaps(&rgb, good.get()));
  EXPECT_FALSE(sum.AttachBitmaps(good.get(), nullptr));
  sum.Blend();  // unbound: nothing happens
}

// Whatever rectangles the caller passes, only pixels inside both bitmaps are touched, and
// exactly those a bounds-checked blend would touch.
TEST(FastSum32, RandomRectanglesBlendOnlyInsideBothBitmaps) {
  std::mt19937 rng(18);
  for (int i = 0; i < 400; ++i) {
    auto source = MakeNoiseBitmap32(11, 19, i);
    auto dest = MakeNoiseBitmap32(17, 13, i + 1000);
    auto expected = MakeBitmap32(17, 13);
    for (int y = 0; y < 13; ++y)
      for (int x = 0; x < 17; ++x) Px(*expected, x, y) = Px(*dest, x, y);
    TskFastSum32 sum;
    ASSERT_TRUE(sum.AttachBitmaps(source.get(), dest.get()));
    sum.DestWeight = static_cast<uint8_t>(rng());
    sum.DestRect = RandomRect(rng, -25, 45);
    sum.SourceRect = RandomRect(rng, -25, 45);
    const int dx = sum.DestRect.Left - sum.SourceRect.Left;
    const int dy = sum.DestRect.Bottom - sum.SourceRect.Bottom;
    for (int y = 0; y < 13; ++y)
      for (int x = 0; x < 17; ++x) {
        const int sx = x - dx, sy = y - dy;
        if (!Inside(sum.DestRect, x, y) || sx < 0 || sy < 0 || sx >= 11 || sy >= 19) continue;
        uint32_t v = 0;
        for (int b = 0; b < 32; b += 8) {
          const uint32_t db = (Px(*dest, x, y) >> b) & 0xFF, sb = (Px(*source, sx, sy) >> b) & 0xFF;
          v |= ((db * sum.DestWeight + sb * (255 - sum.DestWeight) + 127) / 255) << b;
        }
        Px(*expected, x, y) = v;
      }
    sum.Blend();
    ASSERT_TRUE(SamePixels(*dest, *expected)) << "case " << i;
  }
}

// A rectangle routine against its bounds-checked model, with random rectangles.
template <class Apply, class Model>
void CheckAgainstModel(Apply apply, Model model) {
  std::mt19937 rng(140);
  for (int i = 0; i < 300; ++i) {
    auto bmp = MakeNoiseBitmap32(9, 7, i);
    auto expected = MakeNoiseBitmap32(9, 7, i);
    const TRect r = RandomRect(rng, -12, 20);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 9; ++x)
        if (Inside(r, x, y)) Px(*expected, x, y) = model(Px(*expected, x, y));
    apply(bmp.get(), r);
    ASSERT_TRUE(SamePixels(*bmp, *expected))
        << "case " << i << " rect " << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom;
  }
}

TEST(Fills, RandomRectanglesFillExactlyTheirPartInsideTheBitmap) {
  CheckAgainstModel([](TBitmap* b, const TRect& r) { FillRect32(b, r, 0x00112233); },
                    [](uint32_t) { return 0xFF332211u; });
  CheckAgainstModel([](TBitmap* b, const TRect& r) { FillAlphaRect(b, r, 0x5A, false); },
                    [](uint32_t p) { return (p & 0x00FFFFFFu) | 0x5A000000u; });
  CheckAgainstModel([](TBitmap* b, const TRect& r) { BlendRectColor(b, r, 100, clRed); },
                    [](uint32_t p) { return p; });
  CheckAgainstModel([](TBitmap* b, const TRect& r) { BlendRectColor(b, r, 0, 0x00563412); },
                    [](uint32_t p) { return (p & 0xFF000000u) | 0x00123456u; });
}

TEST(Fills, TinyBitmapsAreLeftAlone) {
  auto bmp = MakeBitmap32(1, 5, 0x12345678);
  FillRect32(bmp.get(), Rect(0, 0, 1, 5), clWhite);
  FillAlphaRect(bmp.get(), Rect(0, 0, 1, 5), 0, false);
  BlendRectColor(bmp.get(), Rect(0, 0, 1, 5), 0, clWhite);
  EXPECT_EQ(Px(*bmp, 0, 4), 0x12345678u);
}

TEST(Fills, BorderFillsTheFourStripsOfTheirWidths) {
  auto bmp = MakeBitmap32(10, 10);
  FillBorder32(bmp.get(), Rect(0, 0, 10, 10), 1, 2, 3, 4, clBlue);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool edge = y < 2 || x < 1 || y >= 6 || x >= 7;
      EXPECT_EQ(Px(*bmp, x, y), edge ? 0xFF0000FFu : 0u) << x << "," << y;
    }
}

TEST(Fills, AlphaFillSkipsOnlyFullKeyMatches) {
  auto bmp = MakeBitmap32(3, 2, 0x00102030);
  Px(*bmp, 0, 0) = 0x00FF00FF;
  Px(*bmp, 1, 0) = 0x01FF00FF;
  FillAlphaRect(bmp.get(), Rect(0, 0, 3, 2), 0xFF, true);
  EXPECT_EQ(Px(*bmp, 0, 0), 0x00FF00FFu);
  EXPECT_EQ(Px(*bmp, 1, 0), 0xFFFF00FFu);
  EXPECT_EQ(Px(*bmp, 2, 1), 0xFF102030u);
  FillAlphaRect(bmp.get(), Rect(0, 0, 3, 2), 0x10, false);
  EXPECT_EQ(Px(*bmp, 0, 0), 0x10FF00FFu);
}

TEST(Fills, ColourBlendMixesByPercentTiesToEvenAndKeepsAlpha) {
  auto bmp = MakeBitmap32(2, 2, 0x7F0000FF);  // blue 255
  BlendRectColor(bmp.get(), Rect(0, 0, 2, 2), 50, clBlack);
  EXPECT_EQ(Px(*bmp, 1, 1), 0x7F000080u);  // 127.5 -> 128
  auto sys = MakeBitmap32(2, 2, 0x01000000);
  BlendRectColor(sys.get(), Rect(0, 0, 2, 2), 0, clWhite);
  EXPECT_EQ(Px(*sys, 0, 0), 0x01FFFFFFu);
}

TEST(TextCoverage, BlackTakesTheColourWhiteKeepsTheTargetGreyMixes) {
  auto target = MakeBitmap32(4, 3, 0x00FFFFFF);
  auto coverage = MakeBitmap32(3, 2, 0xFFFFFFFF);
  Px(*coverage, 0, 0) = 0x00000000;  // full text
  Px(*coverage, 1, 0) = 0x00808080;  // edge, c = 128
  Px(*coverage, 2, 1) = 0x00FFFFFF;  // background either way
  BlendTextCoverage(target.get(), *coverage, Rect(1, 1, 4, 3), 0x000000FF);  // red text
  EXPECT_EQ(Px(*target, 1, 1), 0xFFFF0000u);
  // red: ((255 - 255) * 128 + 255 * 256) >> 8 = 255; blue: (255 * 128) >> 8 = 127
  EXPECT_EQ(Px(*target, 2, 1), 0xFFFF7F7Fu);
  EXPECT_EQ(Px(*target, 3, 2), 0x00FFFFFFu);
  EXPECT_EQ(Px(*target, 0, 0), 0x00FFFFFFu);
}

TEST(TextCoverage, AnEmptyCoverageChangesNothing) {
  auto target = MakeBitmap32(4, 4, 0x00FFFFFF);
  TBitmap empty;
  empty.SetPixelFormat(pf32bit);
  empty.SetSize(0, 5);
  BlendTextCoverage(target.get(), empty, Rect(-3, 0, 4, 4), clBlack);
  EXPECT_EQ(Px(*target, 0, 0), 0x00FFFFFFu);
}

TEST(TextCoverage, NegativeOriginsAndOversizedRectanglesStayInside) {
  std::mt19937 rng(11);
  for (int i = 0; i < 300; ++i) {
    auto target = MakeBitmap32(6, 5, 0x00FFFFFF);
    const TRect r = RandomRect(rng, -8, 12);
    if (r.Width() <= 0 || r.Height() <= 0) continue;
    auto coverage = MakeBitmap32(r.Width(), r.Height(), 0);
    BlendTextCoverage(target.get(), *coverage, r, clBlack);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 6; ++x)
        ASSERT_EQ(Px(*target, x, y), Inside(r, x, y) ? 0xFF000000u : 0x00FFFFFFu);
  }
}

// ---- the 24-bit twins ------------------------------------------------------------------

std::unique_ptr<TBitmap> MakeBitmap24(int w, int h, uint8_t fill = 0) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(w, h);
  for (int y = 0; y < h; ++y) std::fill_n(b->ScanLine(y), w * 3, fill);
  return b;
}

TEST(Fast24, PixelsAreBlueGreenRedInMemoryAndTheTopByteIsIgnored) {
  auto b = MakeBitmap24(3, 2);
  uint8_t* p = b->ScanLine(1) + 3;  // pixel (1, 1)
  p[0] = 0x10;
  p[1] = 0x20;
  p[2] = 0x30;
  TskFast24 fast;
  ASSERT_TRUE(fast.AttachBitmap(b.get()));
  EXPECT_EQ(fast.GetPixel(1, 1), 0x00102030u) << "red in the low byte, nothing on top";
  for (uint32_t top : {0x00000000u, 0xFF000000u, 0x7A000000u}) {
    fast.SetPixel(2, 0, top | 0x00102030u);
    const uint8_t* q = b->ScanLine(0) + 6;
    EXPECT_EQ((std::array<uint8_t, 3>{q[0], q[1], q[2]}),
              (std::array<uint8_t, 3>{0x10, 0x20, 0x30}))
        << std::hex << top;
  }
  EXPECT_EQ(fast.GetPixel(3, 0), 0u) << "outside the bitmap";
  fast.SetPixel(-1, 0, 0xFFFFFF);  // outside: nothing written
  EXPECT_EQ(fast.GetPixel(0, 0), 0u);
}

TEST(Fast24, RefusesTinyBitmapsQuietlyAndOtherFormatsLoudly) {
  struct Case {
    int w, h;
    TPixelFormat format;
    bool bound;
    bool throws;
  };
  const Case cases[] = {
      {1, 100, pf24bit, false, false}, {100, 1, pf24bit, false, false},
      {2, 2, pf24bit, true, false},    {4, 4, pf32bit, false, true},
      {4, 4, pf8bit, false, true},     {1, 100, pf32bit, false, false},
  };
  for (const Case& c : cases) {
    TBitmap b;
    b.SetPixelFormat(c.format);
    b.SetSize(c.w, c.h);
    TskFast24 fast;
    fast.ImageWidth = 99;
    if (c.throws) {
      EXPECT_THROW(fast.AttachBitmap(&b), EAssertionFailed) << c.w << "x" << c.h;
    } else {
      EXPECT_EQ(fast.AttachBitmap(&b), c.bound) << c.w << "x" << c.h;
    }
    EXPECT_EQ(fast.ImageWidth, c.bound ? c.w : 0) << c.w << "x" << c.h;
  }
  TskFast24 fast;
  EXPECT_FALSE(fast.AttachBitmap(nullptr));
}

TEST(FastSum24, BlendRoundsToTheNearestAndTheEndWeightsAreIdentities) {
  struct Case {
    uint8_t weight, dest, source, expected;
  };
  const Case cases[] = {
      {0, 0, 255, 255},      // the source alone: a finished fade shows the new picture exactly
      {0, 200, 17, 17},      //
      {255, 255, 0, 255},    // the destination alone
      {255, 17, 200, 17},    //
      {127, 0, 255, 128},    // 255 * 128 / 255
      {128, 200, 100, 150},  // (200 * 128 + 100 * 127) / 255 = 150.2
      {1, 255, 0, 1},        // 1.0
      {200, 3, 4, 3},        // 3.2
  };
  for (const Case& c : cases) {
    auto dest = MakeBitmap24(3, 2, c.dest);
    auto source = MakeBitmap24(3, 2, c.source);
    TskFastSum24 sum;
    ASSERT_TRUE(sum.AttachBitmaps(source.get(), dest.get()));
    sum.DestWeight = c.weight;
    sum.DestRect = sum.SourceRect = Rect(0, 0, 3, 2);
    sum.Blend();
    for (int y = 0; y < 2; ++y)
      for (int i = 0; i < 9; ++i)
        ASSERT_EQ(dest->ScanLine(y)[i], c.expected)
            << "W " << int{c.weight} << " d " << int{c.dest} << " s " << int{c.source};
  }
}

TEST(FastSum24, RectanglesMeetAtTheirBottomAndLeftEdgesAndStayInsideBothBitmaps) {
  auto source = MakeBitmap24(2, 6);
  for (int y = 0; y < 6; ++y) std::fill_n(source->ScanLine(y), 6, static_cast<uint8_t>(y * 10));
  auto dest = MakeBitmap24(4, 3, 0xFF);
  TskFastSum24 sum;
  ASSERT_TRUE(sum.AttachBitmaps(source.get(), dest.get()));
  EXPECT_EQ(sum.CommonWidth, 2);
  EXPECT_EQ(sum.CommonHeight, 3);
  sum.DestWeight = 0;
  sum.DestRect = Rect(2, 0, 6, 2);  // runs past the destination's right edge
  sum.SourceRect = Rect(0, 3, 2, 5);
  sum.Blend();
  TskFast24 fast;
  ASSERT_TRUE(fast.AttachBitmap(dest.get()));
  EXPECT_EQ(fast.GetPixel(2, 0), 0x1E1E1Eu) << "source row 3";
  EXPECT_EQ(fast.GetPixel(3, 1), 0x282828u) << "source row 4";
  EXPECT_EQ(fast.GetPixel(1, 1), 0xFFFFFFu) << "left of the rectangle";
  EXPECT_EQ(fast.GetPixel(2, 2), 0xFFFFFFu) << "below the rectangle";
}

TEST(FastSum24, RefusesTinyAndOtherFormats) {
  auto good = MakeBitmap24(4, 4);
  auto thin = MakeBitmap24(1, 100);
  auto flat = MakeBitmap24(100, 1);
  auto wide = MakeBitmap32(4, 4);
  TskFastSum24 sum;
  EXPECT_FALSE(sum.AttachBitmaps(good.get(), thin.get()));
  EXPECT_FALSE(sum.AttachBitmaps(thin.get(), good.get()));
  EXPECT_FALSE(sum.AttachBitmaps(flat.get(), good.get()));
  EXPECT_FALSE(sum.AttachBitmaps(wide.get(), good.get())) << "four bytes a pixel";
  EXPECT_FALSE(sum.AttachBitmaps(good.get(), nullptr));
  sum.Blend();  // unbound: nothing happens
}

}  // namespace
