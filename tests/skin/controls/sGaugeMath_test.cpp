#include "skin/controls/sGaugeMath.h"

#include <gtest/gtest.h>

#include "framework/SysUtils.h"

namespace {

TEST(GaugeMath, PercentAndFillLengthTruncate) {
  struct TCase {
    long long X, Z;
    int Percent;
  } const cases[] = {
      {0, 100, 0},
      {37, 100, 37},
      {2, 3, 66},
      {0, 0, 0},
      {5, 0, 0},
      {2147483647, 2147483647, 100},
      {1073741824, 2147483647, 50},
      {-1, 3, -33},
  };
  for (const TCase& c : cases) EXPECT_EQ(GaugePercentOf(c.X, c.Z), c.Percent) << c.X << "/" << c.Z;
  EXPECT_EQ(GaugeFillLength(25, 200), 50);
  EXPECT_EQ(GaugeFillLength(33, 10), 3);
  EXPECT_EQ(GaugeFillLength(100, 338), 338);
  EXPECT_EQ(GaugeFillLength(0, 338), 0);
}

TEST(GaugeMath, TheLightStripStepsAtLeastFifteenPixels) {
  EXPECT_EQ(GaugeLightStep(120), 15);
  EXPECT_EQ(GaugeLightStep(732), 15);
  EXPECT_EQ(GaugeLightStep(813), 16);
  EXPECT_EQ(GaugeLightStep(2020), 40);
}

TEST(GaugeMath, RangeRefusesLimitsThatCrossAndKeepsTheOldOnes) {
  TsGaugeRange range;
  ASSERT_TRUE(range.SetMaxValue(50));
  try {
    range.SetMaxValue(-1);
    FAIL() << "a maximum of -1 must be refused";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Wert muss zwischen 1 und 2147483647 liegen");
  }
  EXPECT_EQ(range.MaxValue(), 50);
  try {
    range.SetMinValue(60);
    FAIL() << "a minimum above the maximum must be refused";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Wert muss zwischen -2147483647 und 49 liegen");
  }
  EXPECT_EQ(range.MinValue(), 0);
  EXPECT_TRUE(range.SetMaxValue(0)) << "the minimum itself is allowed";
  EXPECT_TRUE(range.SetMinValue(60, true)) << "while loading anything is taken";
}

TEST(GaugeMath, PositionIsClampedAndFollowsTheRange) {
  TsGaugeRange range;
  EXPECT_EQ(range.Progress(), 47);
  EXPECT_TRUE(range.SetProgress(250));
  EXPECT_EQ(range.Progress(), 100);
  EXPECT_FALSE(range.SetProgress(100)) << "unchanged";
  range.SetMaxValue(40);
  EXPECT_EQ(range.Progress(), 40);
  EXPECT_TRUE(range.SetProgress(-7));
  EXPECT_EQ(range.Progress(), 0);
  EXPECT_FALSE(range.SetProgress(-9)) << "below the minimum is the minimum: no change";
  range.SetMinValue(10);
  EXPECT_EQ(range.Progress(), 10);
}

TEST(GaugeMath, TextShowsThePercentageOrThePositionWithTheSuffix) {
  TsGaugeRange range;
  EXPECT_EQ(GaugeText(range, true, "%"), "47%");
  EXPECT_EQ(GaugeText(range, true, ""), "47");
  range.SetMaxValue(1000);
  range.SetProgress(470);
  EXPECT_EQ(GaugeText(range, false, "%"), "470%");
  EXPECT_EQ(GaugeText(range, true, "%"), "47%");
  range.SetMaxValue(0);
  EXPECT_EQ(GaugeText(range, true, "%"), "0%") << "an empty range shows nothing filled";
}

}  // namespace
