// Where a skinned group box puts its caption band, and where its frame begins.
#include "skin/controls/sGroupBoxGeometry.h"

#include <gtest/gtest.h>

using namespace sGroupBox;

TEST(GroupBoxGeometry, TheCaptionBandFollowsLayoutDirectionAndOffset) {
  struct Case {
    const char* what;
    TsGroupCaptionFacts facts;
    TRect expected;
  };
  const Case cases[] = {
      {"centred in a wide box",
       {.Width = 813, .TextWidth = 62, .LetterHeight = 13, .Layout = clTopCenter},
       {370, 0, 440, 15}},
      {"top left", {.Width = 200, .TextWidth = 62, .LetterHeight = 13}, {6, 0, 76, 15}},
      {"top right",
       {.Width = 200, .TextWidth = 62, .LetterHeight = 13, .Layout = clTopRight},
       {124, 0, 194, 15}},
      {"top left, right to left",
       {.Width = 200,
        .TextWidth = 62,
        .LetterHeight = 13,
        .Layout = clTopLeft,
        .RightToLeft = true},
       {124, 0, 194, 15}},
      {"top right, right to left",
       {.Width = 200,
        .TextWidth = 62,
        .LetterHeight = 13,
        .Layout = clTopRight,
        .RightToLeft = true},
       {6, 0, 76, 15}},
      {"a caption wider than the box ends at its edge",
       {.Width = 50, .TextWidth = 80, .LetterHeight = 13},
       {6, 0, 50, 15}},
      {"right aligned and too wide starts at the left edge",
       {.Width = 50, .TextWidth = 80, .LetterHeight = 13, .Layout = clTopRight},
       {0, 0, 50, 15}},
      {"a tiny letter still makes a band 6 high",
       {.Width = 200, .TextWidth = 10, .LetterHeight = 2},
       {6, 0, 24, 6}},
      {"skinned, moved up",
       {.Width = 200, .TextWidth = 62, .LetterHeight = 13, .Skinned = true, .CaptionYOffset = -5},
       {6, -5, 76, 10}},
      {"skinned, moved down: the band grows",
       {.Width = 200, .TextWidth = 62, .LetterHeight = 13, .Skinned = true, .CaptionYOffset = 4},
       {6, 0, 76, 19}},
      {"unskinned boxes ignore the offset",
       {.Width = 200, .TextWidth = 62, .LetterHeight = 13, .CaptionYOffset = -5},
       {6, 0, 76, 15}},
      {"a band narrower than two bevels is widened by one on each side",
       {.Width = 7, .TextWidth = 0, .LetterHeight = 13, .BevelWidth = 1},
       {5, 0, 8, 15}},
  };
  for (const Case& c : cases) {
    const TRect r = GroupCaptionRect(c.facts);
    EXPECT_EQ(r.Left, c.expected.Left) << c.what;
    EXPECT_EQ(r.Top, c.expected.Top) << c.what;
    EXPECT_EQ(r.Right, c.expected.Right) << c.what;
    EXPECT_EQ(r.Bottom, c.expected.Bottom) << c.what;
  }
}

TEST(GroupBoxGeometry, TheFrameStartsAtTheBandsMiddleUnlessTheBandMovedUp) {
  EXPECT_EQ(GroupFrameTop(TRect{6, 0, 76, 15}, 0), 7);
  EXPECT_EQ(GroupFrameTop(TRect{6, 0, 76, 19}, 4), 9);
  EXPECT_EQ(GroupFrameTop(TRect{6, -5, 76, 10}, -5), 0);
}
