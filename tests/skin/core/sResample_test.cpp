#include "skin/core/pixels/sResample.h"

#include <gtest/gtest.h>

#include "tests/skin/core/SkinTestBitmaps.h"

namespace {

TEST(Resample, TinySourcesRaiseAndZeroSizesDoNothing) {
  auto narrow = MakeBitmap32(1, 10, 0x11223344);
  auto dest = MakeBitmap32(3, 3, 0x55555555);
  try {
    StretchBitmap(narrow.get(), dest.get(), 5, 1, 5);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Source bitmap is too small");
  }
  EXPECT_EQ(dest->Width(), 3);
  EXPECT_EQ(Px(*narrow, 0, 9), 0x11223344u);
  auto source = MakeNoiseBitmap32(4, 4, 1);
  StretchBitmap(source.get(), dest.get(), 6, 1, 0);
  StretchBitmap(source.get(), dest.get(), 0, 1, 6);
  EXPECT_EQ(dest->Width(), 3);
  EXPECT_EQ(Px(*dest, 2, 2), 0x55555555u);
}

TEST(Resample, SameSizeCopiesUnchanged) {
  auto source = MakeNoiseBitmap32(5, 4, 2);
  TBitmap dest;
  StretchBitmap(source.get(), &dest, 5, 6, 4);
  EXPECT_TRUE(SamePixels(dest, *source));
}

TEST(Resample, HalvingWithTheTriangleTakesThreeSourcePixels) {
  const auto lists = BuildContributors(5, 10, 1);
  ASSERT_EQ(lists.size(), 5u);
  for (int i = 0; i < 5; ++i) {
    const auto& list = lists[static_cast<size_t>(i)];
    ASSERT_EQ(list.size(), 3u) << i;
    EXPECT_EQ(list[0].SourceIndex, i == 0 ? 1 : 2 * i - 1);  // mirrored at the left edge
    EXPECT_EQ(list[1].SourceIndex, 2 * i);
    EXPECT_EQ(list[2].SourceIndex, 2 * i + 1);
    EXPECT_EQ(list[0].Weight, 16384);
    EXPECT_EQ(list[1].Weight, 32768);
    EXPECT_EQ(list[2].Weight, 16384);
  }
}

TEST(Resample, EveryKernelKeepsAFlatImageFlatAndReadsOnlyInside) {
  const int sizes[][2] = {{2, 2}, {2, 9}, {9, 2}, {3, 1}, {1, 3}, {7, 13}, {40, 5}};
  for (int filter = 0; filter < ResampleFilterCount; ++filter)
    for (TPixelFormat format : {pf32bit, pf24bit})
      for (const auto& from : sizes)
        for (const auto& to : sizes) {
          if (from[0] < 2 || from[1] < 2) continue;
          auto source = MakeBitmap32(from[0], from[1], 0xC0A05020);
          source->SetPixelFormat(format);
          TBitmap dest;
          StretchBitmap(source.get(), &dest, to[0], filter, to[1]);
          ASSERT_EQ(dest.PixelFormat(), format);
          for (int y = 0; y < to[1]; ++y)
            for (int x = 0; x < to[0]; ++x)
              ASSERT_EQ(dest.PixelColor(x, y), 0x2050A0)
                  << "filter " << filter << " " << from[0] << "x" << from[1] << " -> " << to[0]
                  << "x" << to[1];
          if (format == pf32bit) {
            ASSERT_EQ(reinterpret_cast<uint32_t*>(dest.ScanLine(0))[0] >> 24, 0xC0u) << filter;
          }
        }
}

TEST(Resample, NegativeLobesAreLimitedToTheByteRange) {
  // A hard black and white edge: Mitchell and the sine window overshoot on both sides.
  auto source = MakeBitmap32(8, 2, 0xFFFFFFFF);
  for (int x = 0; x < 4; ++x) Px(*source, x, 0) = Px(*source, x, 1) = 0xFF000000;
  for (int filter : {5, 6}) {
    TBitmap dest;
    StretchBitmap(source.get(), &dest, 29, filter, 2);
    bool sawBlack = false, sawWhite = false;
    for (int x = 0; x < 29; ++x) {
      const TColor c = dest.PixelColor(x, 0);
      sawBlack |= c == 0;
      sawWhite |= c == 0xFFFFFF;
    }
    EXPECT_TRUE(sawBlack && sawWhite) << filter;
  }
}

TEST(Resample, TheCallersSourceKeepsItsFormatAndMayBeTheDestination) {
  auto source = MakeBitmap32(6, 6, 0x80402010);
  source->SetPixelFormat(pf24bit);
  TBitmap dest;
  StretchBitmap(source.get(), &dest, 3, 4, 3);
  EXPECT_EQ(source->PixelFormat(), pf24bit);
  EXPECT_EQ(dest.PixelFormat(), pf24bit);
  auto self = MakeBitmap32(6, 6, 0x80402010);
  StretchBitmap(self.get(), self.get(), 12, 1, 3);
  EXPECT_EQ(self->Width(), 12);
  EXPECT_EQ(Px(*self, 11, 2), 0x80402010u);
}

}  // namespace
