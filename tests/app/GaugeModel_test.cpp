#include "app/GaugeModel.h"

#include <gtest/gtest.h>

#include "framework/SysUtils.h"

namespace {

TEST(GaugeModel, RefusesAMaximumBelowTheMinimumAndKeepsTheOldOne) {
  TGaugeModel gauge;
  ASSERT_TRUE(gauge.SetMaxValue(50));
  try {
    gauge.SetMaxValue(-1);
    FAIL() << "a maximum of -1 must be refused";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Wert muss zwischen 1 und 2147483647 liegen");
  }
  EXPECT_EQ(gauge.MaxValue(), 50);
  EXPECT_TRUE(gauge.SetMaxValue(0)) << "the minimum itself is allowed";
}

TEST(GaugeModel, PositionIsClampedAndFollowsALowerMaximum) {
  TGaugeModel gauge;
  EXPECT_TRUE(gauge.SetProgress(250));
  EXPECT_EQ(gauge.Progress(), 100);
  EXPECT_FALSE(gauge.SetProgress(100)) << "unchanged";
  gauge.SetMaxValue(40);
  EXPECT_EQ(gauge.Progress(), 40);
  gauge.SetProgress(-7);
  EXPECT_EQ(gauge.Progress(), 0);
}

TEST(GaugeModel, ShowsWholePercentWithItsSuffix) {
  struct Case {
    int max;
    int progress;
    const char* text;
  };
  const Case cases[] = {
      {100, 0, "0%"},
      {100, 37, "37%"},
      {3, 2, "66%"},
      {0, 0, "0%"},
      {2147483647, 2147483647, "100%"},
      {2147483647, 1073741824, "50%"},
  };
  for (const Case& c : cases) {
    TGaugeModel gauge;
    gauge.SetMaxValue(c.max);
    gauge.SetProgress(c.progress);
    EXPECT_EQ(gauge.Text(), c.text) << c.max << " " << c.progress;
  }
}

}  // namespace
