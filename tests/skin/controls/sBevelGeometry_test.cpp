// Which section a skinned bevel paints and which strips of it stand for the bevel's lines.
#include "skin/controls/sBevelGeometry.h"

#include <gtest/gtest.h>

TEST(BevelGeometry, AFrameTakesTheGroupBoxWhateverItsStyleOthersFollowTheStyle) {
  struct Case {
    TsBevelLines lines;
    bool raised;
    const char* section;
  };
  const Case cases[] = {
      {TsBevelLines::Frame, false, "GROUPBOX"},    {TsBevelLines::Frame, true, "GROUPBOX"},
      {TsBevelLines::Box, true, "PANEL"},          {TsBevelLines::Box, false, "PANEL_LOW"},
      {TsBevelLines::TopLine, false, "PANEL_LOW"}, {TsBevelLines::RightLine, true, "PANEL"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BevelSection(c.lines, c.raised), c.section) << static_cast<int>(c.lines);
}

TEST(BevelGeometry, LinesShowThreePixelStripsWithTheirEndsKeptClear) {
  struct Case {
    const char* what;
    TsBevelLines lines;
    int width, height;
    std::vector<TRect> strips;
  };
  const Case cases[] = {
      {"the updater's line under its headline", TsBevelLines::TopLine, 533, 5, {{3, 0, 530, 3}}},
      {"bottom line", TsBevelLines::BottomLine, 100, 10, {{3, 7, 97, 10}}},
      {"left line", TsBevelLines::LeftLine, 8, 50, {{0, 3, 3, 47}}},
      {"right line", TsBevelLines::RightLine, 8, 50, {{5, 3, 8, 47}}},
      {"box: the four edges",
       TsBevelLines::Box,
       40,
       20,
       {{0, 0, 40, 3}, {0, 17, 40, 20}, {0, 3, 3, 17}, {37, 3, 40, 17}}},
      {"spacer: nothing", TsBevelLines::Spacer, 40, 20, {}},
      {"a line too short for its clear ends shows nothing", TsBevelLines::TopLine, 6, 5, {}},
      {"a box 5 high has no side strips",
       TsBevelLines::Frame,
       10,
       5,
       {{0, 0, 10, 3}, {0, 2, 10, 5}}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BevelStrips(c.lines, c.width, c.height), c.strips) << c.what;
}
