#include "skin/controls/sListGeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(ListGeometry, OnlyTheCurrentItemLooksSelectedUnlessTheListSelectsMany) {
  struct TCase {
    TsListItemFacts Facts;
    TsListItemLook Look;
  } const cases[] = {
      {{.Index = 2, .ItemIndex = 2, .ListFocused = true}, {.Selected = true, .Focused = true}},
      {{.Index = 2, .ItemIndex = 2, .ListFocused = false}, {.Selected = true, .Focused = false}},
      {{.Index = 1, .ItemIndex = 2, .ListFocused = true}, {}},
      // The list's own selection state counts only with MultiSelect.
      {{.Index = 1, .ItemIndex = 2, .SelectedInList = true, .ListFocused = true}, {}},
      {{.Index = 1,
        .ItemIndex = 2,
        .MultiSelect = true,
        .SelectedInList = true,
        .ListFocused = true},
       {.Selected = true, .Focused = false}},
      {{.Index = 2,
        .ItemIndex = 2,
        .MultiSelect = true,
        .SelectedInList = false,
        .ListFocused = true},
       {.Selected = false, .Focused = true}},
      {{.Index = 0, .ItemIndex = -1, .ListFocused = true}, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Facts.Index << " of " << c.Facts.ItemIndex << " multi "
                                    << c.Facts.MultiSelect);
    EXPECT_EQ(ListItemLook(c.Facts), c.Look);
  }
}

TEST(ListGeometry, ItemTextKeepsOffTheEdgesOfItsPicture) {
  EXPECT_EQ(ListItemTextRect(100, 16), (TRect{1, 0, 99, 16}));
  EXPECT_EQ(TreeNodeTextRect(40, 18), (TRect{2, 0, 39, 18}));
}

TEST(ListGeometry, TheClientAreaNoItemCoversComesFromTheCache) {
  const TPoint frame{2, 2};
  struct TCase {
    const char* What;
    TRect Last;
    int Lowest;
    std::vector<TsCacheStrip> Strips;
  } const cases[] = {
      {"no items: the whole client area",
       TRect{0, 0, 116, 0},
       0,
       {{TRect{0, 0, 116, 90}, TPoint{2, 2}}}},
      {"three items of 16: below them",
       TRect{0, 32, 116, 48},
       48,
       {{TRect{0, 48, 116, 90}, TPoint{2, 50}}}},
      {"items reach the bottom: nothing", TRect{0, 80, 116, 96}, 96, {}},
      {"a narrower last item: right of it too",
       TRect{0, 16, 60, 32},
       32,
       {{TRect{0, 32, 116, 90}, TPoint{2, 34}}, {TRect{60, 0, 116, 32}, TPoint{62, 2}}}},
      {"a second column: left of it under the lowest item",
       TRect{58, 0, 116, 16},
       48,
       {{TRect{58, 16, 116, 90}, TPoint{60, 18}}, {TRect{0, 48, 58, 90}, TPoint{2, 50}}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    EXPECT_EQ(ListEmptyStrips(116, 90, c.Last, c.Lowest, frame), c.Strips);
  }
}

TEST(ListGeometry, APrintedRichEditLaysItsTextOutSixPixelsSmallerInTwips) {
  EXPECT_EQ(RichEditPrintPage(812, 80, 96), (TRect{0, 0, 806 * 15, 74 * 15}));
  // Divisions are truncated.
  EXPECT_EQ(RichEditPrintPage(106, 16, 120), (TRect{0, 0, 1200, 120}));
  EXPECT_EQ(RichEditPrintPage(106, 16, 0), (TRect{}));
  EXPECT_EQ(RichEditPrintClip(812, 80, 2, 17, 0), (TRect{0, 0, 791, 76}));
  EXPECT_EQ(RichEditPrintClip(100, 50, 3, 0, 17), (TRect{0, 0, 94, 27}));
}

}  // namespace
