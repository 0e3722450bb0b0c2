// How far a skinned panel's bevels reach in and where its caption line lies.
#include "skin/controls/sPanelGeometry.h"

#include <gtest/gtest.h>

TEST(PanelGeometry, TheInsetCountsEachDrawnBevelAndTheBorder) {
  struct Case {
    int bevelWidth;
    bool inner, outer;
    int border;
    int inset;
  };
  const Case cases[] = {
      {1, false, true, 0, 1},
      {1, false, false, 0, 0},
      {2, true, true, 0, 4},
      {5, true, true, 3, 13},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PanelBevelInset(c.bevelWidth, c.inner, c.outer, c.border), c.inset)
        << c.bevelWidth << " " << c.inner << c.outer << " " << c.border;
}

TEST(PanelGeometry, TheCaptionIsCentredOnTheWholeHeightNotOnTheInsetArea) {
  struct Case {
    const char* what;
    TRect inset;
    int height, letter;
    TRect line;
  };
  const Case cases[] = {
      {"thin bevel", {1, 1, 99, 40}, 41, 13, {1, 14, 99, 27}},
      {"wide bevels leave the line where it was", {20, 20, 80, 21}, 41, 13, {20, 14, 80, 27}},
      {"an odd remainder rounds down", {0, 0, 50, 20}, 20, 13, {0, 3, 50, 16}},
      {"a letter taller than the panel rounds toward zero",
       {0, 0, 50, 10},
       10,
       13,
       {0, -1, 50, 12}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PanelCaptionRect(c.inset, c.height, c.letter), c.line) << c.what;
}
