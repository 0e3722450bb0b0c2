#include "skin/controls/sGlyphUtils.h"

#include <gtest/gtest.h>

namespace {

TEST(GlyphMode, ButtonSizesFollowTheChosenList) {
  struct Case {
    TsGlyphList own;
    int imageIndex;
    int cells, glyphWidth, buttonWidth;
  } cases[] = {
      {{}, 0, 3, 16, 18},                  // no own list: the built-in pictures
      {{true, 64, 16, 2}, -1, 3, 16, 18},  // no image chosen
      {{true, 64, 16, 2}, 2, 3, 16, 18},   // beyond the list's count
      {{true, 64, 16, 2}, 1, 4, 16, 18},   // four cells of 16
      {{true, 20, 16, 1}, 0, 1, 20, 22},   // one cell of 20
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    TsGlyphModeSize size = GlyphModeSize(c.own, c.imageIndex);
    EXPECT_EQ(size.CellCount, c.cells) << i;
    EXPECT_EQ(size.GlyphWidth, c.glyphWidth) << i;
    EXPECT_EQ(size.GlyphHeight, 16) << i;
    EXPECT_EQ(size.ButtonWidth, c.buttonWidth) << i;
  }
}

}  // namespace
