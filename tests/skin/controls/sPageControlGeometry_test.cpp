// Where a skinned page control paints its tabs and body, and which page becomes active when a
// tab is closed.
#include "skin/controls/sPageControlGeometry.h"

#include <gtest/gtest.h>

#include <vector>

using namespace sPageControl;

TEST(PageControlGeometry, TheActiveTabGrowsAndTheOthersReachUnderTheBody) {
  const TRect across{10, 2, 70, 22};
  const TRect upright{2, 10, 22, 70};
  struct Case {
    const char* what;
    TRect item;
    TsTabSide side;
    bool active;
    bool tabStyle;
    TRect painted;
  };
  const Case cases[] = {
      {"top, active: 2 pixels wider on each side",
       across,
       TsTabSide::Top,
       true,
       true,
       {8, 0, 72, 24}},
      {"top, inactive: under the body's edge",
       across,
       TsTabSide::Top,
       false,
       true,
       {10, 2, 69, 26}},
      {"bottom, active", across, TsTabSide::Bottom, true, true, {8, -1, 72, 23}},
      {"bottom, inactive", across, TsTabSide::Bottom, false, true, {10, 0, 69, 22}},
      {"left, active", upright, TsTabSide::Left, true, true, {1, 8, 25, 71}},
      {"left, inactive", upright, TsTabSide::Left, false, true, {2, 9, 25, 70}},
      {"right, active", upright, TsTabSide::Right, true, true, {-1, 8, 23, 72}},
      {"right, inactive", upright, TsTabSide::Right, false, true, {0, 9, 21, 70}},
      {"button styles paint over the item", across, TsTabSide::Top, true, false, across},
      {"an empty item stays empty", {5, 2, 5, 22}, TsTabSide::Top, true, true, {5, 2, 5, 22}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SkinTabRect(c.item, c.side, c.active, c.tabStyle), c.painted) << c.what;
}

TEST(PageControlGeometry, TheTabStripAndTheBodySplitTheControl) {
  const TSize size{300, 200};
  const TRect display{4, 26, 296, 196};
  struct Case {
    const char* what;
    TsTabSide side;
    bool hasTabs;
    TRect tabs, body;
  };
  const Case cases[] = {
      {"top", TsTabSide::Top, true, {0, 0, 300, 22}, {0, 22, 300, 200}},
      {"bottom", TsTabSide::Bottom, true, {0, 197, 300, 200}, {0, 0, 300, 197}},
      {"left", TsTabSide::Left, true, {0, 0, 3, 200}, {3, 0, 300, 200}},
      {"right", TsTabSide::Right, true, {297, 0, 300, 200}, {0, 0, 297, 200}},
      {"without tabs the body is painted whole",
       TsTabSide::Top,
       false,
       {0, 0, 300, 200},
       {0, 0, 300, 200}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TabsArea(size, display, c.side, c.hasTabs), c.tabs) << c.what;
    EXPECT_EQ(BodyArea(size, display, c.side, c.hasTabs), c.body) << c.what;
  }
}

TEST(PageControlGeometry, RowsCountFromTheBodyAndCloseButtonsSitInTheCorner) {
  const TRect strip{0, 0, 300, 44};  // two rows of 22 pixels above the body
  EXPECT_EQ(TabRow({10, 24, 70, 44}, strip, TsTabSide::Top, 2), 1);
  EXPECT_EQ(TabRow({10, 2, 70, 22}, strip, TsTabSide::Top, 2), 2);
  EXPECT_EQ(TabRow({10, 2, 70, 22}, strip, TsTabSide::Top, 1), 1);
  EXPECT_EQ(TabRow({10, 2, 70, 22}, TRect{0, 156, 300, 200}, TsTabSide::Bottom, 2), 1)
      << "a centre outside the strip is clamped";
  EXPECT_EQ(CloseButtonRect({8, 0, 72, 24}, 15, 15), (TRect{56, 1, 71, 16}));
}

TEST(PageControlGeometry, ClosingATabKeepsOrMovesTheActivePage) {
  struct Case {
    const char* what;
    TsClosedTab closed;
    std::vector<bool> visibleAfter;
    int active;
  };
  const Case cases[] = {
      {"the active last page freed: the one before", {2, 2, 2, true}, {true, true}, 1},
      {"the active middle page freed: the next takes its place", {1, 1, 2, true}, {true, true}, 1},
      {"the active first page freed: the page control chooses", {0, 0, 2, true}, {true, true}, -1},
      {"a page before the active one freed: the active page stays",
       {2, 0, 2, true},
       {true, true},
       1},
      {"a page after the active one freed", {0, 2, 2, true}, {true, true}, 0},
      {"the active page hidden: the next shown tab", {1, 1, 3, false}, {true, false, true}, 2},
      {"the active last page hidden: the one before", {2, 2, 3, false}, {true, true, false}, 1},
      {"the active first page hidden", {0, 0, 2, false}, {false, true}, 1},
      {"a page without a tab is passed over", {2, 2, 2, true}, {true, false}, 0},
      {"no page left", {0, 0, 0, true}, {}, -1},
  };
  for (const Case& c : cases) {
    const int got = PageAfterClose(c.closed, [&](int i) { return c.visibleAfter.at(i); });
    EXPECT_EQ(got, c.active) << c.what;
  }
}
