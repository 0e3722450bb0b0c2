#include "skin/controls/sListViewGeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(ListViewGeometry, HeaderCaptionsKeepTheirAlignmentWhileTheyFitAndStartAfterTheImageWhenNot) {
  struct TCase {
    const char* What;
    THeaderItemPlace Place;
    TRect Expected;
  } const cases[] = {
      {"left, no image", {.Width = 120, .Height = 20, .TextExtent = 30}, TRect{4, 1, 40, 19}},
      {"left after the image",
       {.Width = 120, .Height = 20, .ImageSpace = 20, .TextExtent = 30},
       TRect{24, 1, 60, 19}},
      {"left, cut at the item's end less 6",
       {.Width = 60, .Height = 20, .TextExtent = 80},
       TRect{4, 1, 54, 19}},
      {"right with a sort arrow",
       {.Width = 120,
        .Height = 20,
        .TextExtent = 30,
        .ArrowWidth = 14,
        .Align = THeaderAlign::Right},
       TRect{66, 1, 102, 19}},
      {"right that does not fit",
       {.Width = 60,
        .Height = 20,
        .ImageSpace = 10,
        .TextExtent = 50,
        .Align = THeaderAlign::Right},
       TRect{16, 1, 56, 19}},
      {"centred",
       {.Width = 120, .Height = 20, .TextExtent = 30, .Align = THeaderAlign::Center},
       TRect{42, 1, 78, 19}},
      {"centred that does not fit",
       {.Width = 60,
        .Height = 20,
        .TextExtent = 50,
        .ArrowWidth = 10,
        .Align = THeaderAlign::Center},
       TRect{6, 1, 46, 19}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    const TRect t = HeaderTextRect(c.Place);
    EXPECT_EQ(t.Left, c.Expected.Left);
    EXPECT_EQ(t.Right, c.Expected.Right);
    EXPECT_EQ(t.Top, c.Expected.Top);
    EXPECT_EQ(t.Bottom, c.Expected.Bottom);
  }
}

TEST(ListViewGeometry, ASubItemCellStartsAfterTheColumnsBeforeIt) {
  const std::vector<int> widths{120, 80, 0, 50};
  const TRect row{-30, 40, 220, 58};  // scrolled 30 pixels to the right
  struct TCase {
    int Column;
    TRect Expected;
  } const cases[] = {
      {0, TRect{-30, 40, 90, 58}},
      {1, TRect{90, 40, 170, 58}},
      {2, TRect{170, 40, 170, 58}},  // a zero-width column paints nothing
      {3, TRect{170, 40, 220, 58}},
      {4, TRect{}},  // no such column
      {-1, TRect{}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Column);
    const TRect r = SubItemRect(row, widths, c.Column);
    EXPECT_EQ(r.Left, c.Expected.Left);
    EXPECT_EQ(r.Right, c.Expected.Right);
    EXPECT_EQ(r.Top, c.Expected.Top);
    EXPECT_EQ(r.Bottom, c.Expected.Bottom);
  }
}

TEST(ListViewGeometry, SubItemTextAndLabelHighlightLeaveTheirMargins) {
  EXPECT_EQ(SubItemTextRect(80, 18, 0).Left, 3);
  EXPECT_EQ(SubItemTextRect(80, 18, 16).Left, 24) << "after the image and 8 pixels";
  EXPECT_EQ(SubItemTextRect(80, 18, 16).Right, 76);
  EXPECT_EQ(LabelHighlightRect(100, 18, 40).Right, 45) << "the text's width and 5";
  EXPECT_EQ(LabelHighlightRect(30, 18, 40).Right, 30) << "never wider than the label";
}

}  // namespace
