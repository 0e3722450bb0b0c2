#include "skin/controls/sComboBoxExGeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(ComboBoxExGeometry, TheEditPartLiesBetweenTheFrameAndTheButton) {
  const TRect button{81, 2, 98, 20};
  EXPECT_EQ(ComboExEditRect(button, 100, 22, false), (TRect{3, 3, 80, 19}));
  // Reading right to left the button is at the left and the item after it.
  EXPECT_EQ(ComboExEditRect(TRect{2, 2, 19, 20}, 100, 22, true), (TRect{20, 3, 99, 19}));
  // Without a button the item reaches the frame.
  EXPECT_EQ(ComboExEditRect(TRect{98, 2, 98, 20}, 100, 22, false), (TRect{3, 3, 97, 19}));
}

TEST(ComboBoxExGeometry, AnItemsIndentImageTextAndHighlight) {
  struct TCase {
    const char* What;
    TsComboExItemFacts Facts;
    TsComboExItemLayout Layout;
  } const cases[] = {
      {"plain list item",
       {.Width = 100, .Height = 18, .InList = true, .TextWidth = 30},
       {.Content = {0, 0, 100, 18}, .Text = {2, 0, 98, 18}, .TextHighlight = {2, 0, 40, 18}}},
      {"indent 2 starts 20 pixels in",
       {.Width = 100, .Height = 18, .InList = true, .Indent = 2, .TextWidth = 30},
       {.IndentStrip = {0, 0, 20, 18},
        .Content = {20, 0, 100, 18},
        .Text = {22, 0, 98, 18},
        .TextHighlight = {22, 0, 60, 18}}},
      {"the edit part is never indented",
       {.Width = 100, .Height = 18, .InList = false, .Indent = 2, .TextWidth = 30},
       {.Content = {0, 0, 100, 18}, .Text = {2, 0, 98, 18}, .TextHighlight = {2, 0, 40, 18}}},
      {"an image before the text, centred",
       {.Width = 100,
        .Height = 18,
        .InList = true,
        .Indent = 1,
        .HasImages = true,
        .ImageWidth = 16,
        .ImageHeight = 12,
        .TextWidth = 30},
       {.IndentStrip = {0, 0, 10, 18},
        .Content = {10, 0, 100, 18},
        .ImageAt = {12, 3},
        .Text = {32, 0, 98, 18},
        .TextHighlight = {30, 0, 68, 18}}},
      {"an indent wider than the item leaves nothing",
       {.Width = 30, .Height = 18, .InList = true, .Indent = 5, .TextWidth = 30},
       {.IndentStrip = {0, 0, 30, 18},
        .Empty = true,
        .Content = {30, 0, 30, 18},
        .Text = {32, 0, 28, 18},
        .TextHighlight = {32, 0, 70, 18}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    const TsComboExItemLayout l = ComboExItemLayout(c.Facts);
    EXPECT_EQ(l.IndentStrip, c.Layout.IndentStrip);
    EXPECT_EQ(l.Empty, c.Layout.Empty);
    EXPECT_EQ(l.Content, c.Layout.Content);
    if (c.Facts.HasImages) {
      EXPECT_EQ(l.ImageAt, c.Layout.ImageAt);
    }
    EXPECT_EQ(l.Text, c.Layout.Text);
    EXPECT_EQ(l.TextHighlight, c.Layout.TextHighlight);
  }
}

}  // namespace
