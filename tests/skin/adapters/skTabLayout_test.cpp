// The tab control adapter's layout rules as tables: side and style from the window's style,
// the page frame and tab strip, each tab's painted rectangle, the row a tab lies in (also for
// a tab of no size), the image's place and the sections painted.
#include "skin/adapters/skTabLayout.h"

#include <gtest/gtest.h>

namespace {

using P = TsTabPosition;

TEST(TabLayout, StyleBitsNameTheSideAndTheTabStyle) {
  struct TCase {
    uint32_t Style;
    P Pos;
    TsTabStyle Kind;
  };
  const TCase cases[] = {
      {0x0, P::Top, TsTabStyle::Tabs},        {0x2, P::Bottom, TsTabStyle::Tabs},
      {0x80, P::Left, TsTabStyle::Tabs},      {0x82, P::Right, TsTabStyle::Tabs},
      {0x100, P::Top, TsTabStyle::Buttons},   {0x108, P::Top, TsTabStyle::FlatButtons},
      {0x50010000, P::Top, TsTabStyle::Tabs},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(TabPosition(c.Style), c.Pos) << std::hex << c.Style;
    EXPECT_EQ(TabStyleOf(c.Style), c.Kind) << std::hex << c.Style;
  }
}

TEST(TabLayout, FrameAndTabStripMeetAtTheTabsFoot) {
  const TSize size{200, 150};
  struct TCase {
    P Pos;
    TRect Display, Frame, Area;
  };
  const TCase cases[] = {
      {P::Top, {4, 26, 196, 146}, {0, 22, 200, 150}, {0, 0, 200, 22}},
      {P::Bottom, {4, 4, 196, 124}, {0, 0, 200, 125}, {0, 125, 200, 150}},
      {P::Left, {30, 4, 196, 146}, {29, 0, 200, 150}, {0, 0, 29, 150}},
      {P::Right, {4, 4, 170, 146}, {0, 0, 171, 150}, {171, 0, 200, 150}},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(TabFrameRect(size, true, c.Pos, c.Display), c.Frame) << int(c.Pos);
    EXPECT_EQ(TabsArea(size, true, c.Pos, c.Display), c.Area) << int(c.Pos);
    EXPECT_EQ(TabFrameRect(size, false, c.Pos, c.Display), (TRect{0, 0, 200, 150}));
    EXPECT_EQ(TabsArea(size, false, c.Pos, c.Display), (TRect{0, 0, 200, 150}));
  }
  EXPECT_EQ(TabDisplayRect({4, 24, 196, 146}), (TRect{4, 26, 196, 146}));
}

TEST(TabLayout, TheActiveTabIsPaintedLargerThanTheOthers) {
  const TRect item{10, 2, 60, 22};
  struct TCase {
    P Pos;
    bool Active;
    TRect Expected;
  };
  const TCase cases[] = {
      {P::Top, false, {10, 2, 59, 26}},    {P::Top, true, {8, 0, 62, 24}},
      {P::Bottom, false, {10, 0, 59, 22}}, {P::Bottom, true, {8, -1, 62, 23}},
      {P::Left, false, {10, 1, 63, 22}},   {P::Left, true, {9, 0, 63, 23}},
      {P::Right, false, {8, 1, 59, 22}},   {P::Right, true, {7, 0, 61, 24}},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(TabRect(item, c.Active, c.Pos, TsTabStyle::Tabs), c.Expected)
        << int(c.Pos) << " active " << c.Active;
  EXPECT_EQ(TabRect(item, true, P::Top, TsTabStyle::Buttons), item) << "buttons keep their place";
  const TRect empty{10, 2, 10, 22};
  EXPECT_EQ(TabRect(empty, true, P::Top, TsTabStyle::Tabs), empty) << "a tab of no width";
}

TEST(TabLayout, TabsAreCountedInRowsFromTheEdgeAndATabOfNoSizeStaysInTheFirst) {
  struct TCase {
    TRect Item;
    int Rows;
    P Pos;
    TRect Area;
    int Row;
  };
  const TCase cases[] = {
      {{0, 2, 50, 20}, 1, P::Top, {}, 1},
      {{0, 2, 50, 20}, 2, P::Top, {}, 1},
      {{0, 20, 50, 38}, 2, P::Top, {}, 2},
      {{0, 0, 20, 50}, 3, P::Left, {}, 1},
      {{40, 0, 60, 50}, 3, P::Left, {}, 3},
      {{150, 0, 170, 50}, 2, P::Right, {150, 0, 190, 150}, 2},
      {{170, 0, 190, 50}, 2, P::Right, {150, 0, 190, 150}, 1},
      {{0, 100, 50, 118}, 2, P::Bottom, {0, 100, 200, 136}, 2},
      {{0, 118, 50, 136}, 2, P::Bottom, {0, 100, 200, 136}, 1},
      // Hidden or empty tabs report an empty rectangle.
      {{0, 0, 0, 0}, 2, P::Top, {}, 1},
      {{0, 5, 50, 5}, 3, P::Bottom, {0, 100, 200, 136}, 1},
      {{0, 0, 0, 0}, 2, P::Left, {}, 1},
      {{7, 0, 7, 50}, 2, P::Right, {150, 0, 190, 150}, 1},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(TabRow(c.Item, c.Rows, c.Pos, c.Area), c.Row)
        << int(c.Pos) << " " << c.Item.Left << "," << c.Item.Top << "," << c.Item.Right << ","
        << c.Item.Bottom;
}

TEST(TabLayout, ATabsImageIsCentredDownByItsHeight) {
  EXPECT_EQ(TabImagePos({10, 0, 110, 24}, {16, 16}, 40), (TPoint{28, 4}));
  EXPECT_EQ(TabImagePos({10, 0, 110, 24}, {32, 8}, 40), (TPoint{20, 8})) << "a wide, low image";
}

TEST(TabLayout, PageAndTabSectionsFollowTheSideAndStyle) {
  EXPECT_EQ(PageSectionName(false, "PAGECONTROL", P::Top), "CHECKBOX");
  EXPECT_EQ(PageSectionName(true, "PAGECONTROL", P::Top), "PAGECONTROL");
  EXPECT_EQ(PageSectionName(true, "", P::Bottom), "PAGECONTROLBOTTOM");
  EXPECT_EQ(PageSectionName(true, "PAGECONTROL", P::Left), "PAGECONTROLLEFT");
  EXPECT_EQ(PageSectionName(true, "PAGECONTROL", P::Right), "PAGECONTROLRIGHT");
  EXPECT_EQ(PageSectionName(true, "MYPAGES", P::Right), "MYPAGES");
  EXPECT_EQ(TabSectionName(P::Top, TsTabStyle::Tabs), "TABTOP");
  EXPECT_EQ(TabSectionName(P::Bottom, TsTabStyle::Tabs), "TABBOTTOM");
  EXPECT_EQ(TabSectionName(P::Left, TsTabStyle::Tabs), "TABLEFT");
  EXPECT_EQ(TabSectionName(P::Right, TsTabStyle::Tabs), "TABRIGHT");
  EXPECT_EQ(TabSectionName(P::Left, TsTabStyle::Buttons), "BUTTON");
  EXPECT_EQ(TabSectionName(P::Top, TsTabStyle::FlatButtons), "TOOLBUTTON");
}

}  // namespace
