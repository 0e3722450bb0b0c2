#include "skin/controls/sStatusBarGeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(StatusBarGeometry, PanelsFollowOneAnotherAndTheLastReachesTheEdge) {
  const std::vector<int> widths(5, 150);
  struct TCase {
    int Index;
    TRect Panel;
  } const cases[] = {
      {0, {0, 0, 150, 19}},
      {1, {150, 0, 300, 19}},
      {3, {450, 0, 600, 19}},
      {4, {600, 0, 835, 19}},  // not 750: the last panel takes the rest of the bar
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Index);
    EXPECT_EQ(StatusPanelRect(widths, c.Index, 835, 19), c.Panel);
  }
  EXPECT_EQ(StatusPanelPaintRect(widths, 1, 835, 19), (TRect{151, 1, 299, 18}));
}

TEST(StatusBarGeometry, DividersSitLeftOfThePanelsEdgeAndTextsInsideThePanel) {
  EXPECT_EQ(StatusDividerLeft(TRect{1, 1, 149, 18}, 2), 147);
  EXPECT_EQ(StatusDividerLeft(TRect{1, 1, 149, 18}, 5), 146);
  EXPECT_EQ(StatusPanelTextRect(TRect{151, 1, 299, 18}), (TRect{154, 2, 294, 16}));
}

}  // namespace
