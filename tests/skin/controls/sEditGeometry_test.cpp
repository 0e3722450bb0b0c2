#include "skin/controls/sEditGeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(EditGeometry, FrameStripsAndTextInsetFollowBorderAndBevels) {
  struct TCase {
    TsEditFrame Frame;
    int Strips;  // copied on a non-client paint
    int Inset;   // of the cached text
  } const cases[] = {
      {{.HasBorder = true, .Ctl3D = true, .BevelEdges = 0}, 2, 2},
      {{.HasBorder = true, .Ctl3D = false, .BevelEdges = 0}, 1, 1},
      {{.HasBorder = true, .Ctl3D = true, .BevelEdges = 2}, 2, 4},
      // Without a border the bevel edges alone make the frame.
      {{.HasBorder = false, .Ctl3D = true, .BevelEdges = 1}, 1, 1},
      {{.HasBorder = false, .Ctl3D = true, .BevelEdges = 0}, 0, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Frame.HasBorder << c.Frame.Ctl3D << c.Frame.BevelEdges);
    EXPECT_EQ(EditBorderWidth(c.Frame), c.Strips);
    EXPECT_EQ(EditTextInset(c.Frame), c.Inset);
  }
}

TEST(EditGeometry, TextStartsOnePixelInsideTheInsetAtTheTopLeft) {
  EXPECT_EQ(EditTextRect(120, 21, 2), (TRect{3, 3, 118, 19}));
  EXPECT_EQ(EditTextRect(120, 21, 0), (TRect{1, 1, 120, 21}));
}

TEST(EditGeometry, APasswordShowsOneCharacterPerCharacter) {
  EXPECT_EQ(ShownEditText("geheim", '*'), "******");
  EXPECT_EQ(ShownEditText("", '*'), "");
  EXPECT_EQ(ShownEditText("offen", 0), "offen");
}

}  // namespace
