#include "skin/controls/sStickyPlace.h"

#include <gtest/gtest.h>

namespace {

TEST(StickyPlace, ALabelSitsBesideItsControlOnEverySide) {
  // A control at (100, 50) of 80 x 21, a label of 40 x 13, two pixels apart.
  const TRect control{100, 50, 180, 71};
  struct TCase {
    TAlignTo Side;
    TPoint At;
  } const cases[] = {
      {altLeft, {58, 54}},
      {altRight, {182, 54}},
      {altTop, {100, 35}},
      {altBottom, {100, 73}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Side);
    EXPECT_EQ(StickyPlace(control, 40, 13, c.Side, 2), c.At);
  }
}

TEST(StickyPlace, ATallerLabelIsCentredTowardZero) {
  // (10 - 13) / 2 truncates to -1, not -2.
  EXPECT_EQ(StickyPlace(TRect{0, 0, 50, 10}, 20, 13, altLeft, 0), (TPoint{-20, -1}));
}

TEST(StickyPlace, OppositeSidesPairUp) {
  EXPECT_EQ(OppositeSide(altLeft), altRight);
  EXPECT_EQ(OppositeSide(altRight), altLeft);
  EXPECT_EQ(OppositeSide(altTop), altBottom);
  EXPECT_EQ(OppositeSide(altBottom), altTop);
}

}  // namespace
