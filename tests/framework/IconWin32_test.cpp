#include "framework/IconWin32.h"

#include <gtest/gtest.h>

#include "framework/CanvasWin32.h"
#include "tests/framework/IconTestFiles.h"

namespace {

// Draws the icon onto white and answers the colours of column 0 and column 5 of row 5.
std::pair<TColor, TColor> DrawnColours(TIcon& icon) {
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(icon.Width(), icon.Height());
  target.Canvas()->Brush()->SetColor(clWhite);
  target.Canvas()->FillRect(Rect(0, 0, icon.Width(), icon.Height()));
  target.Canvas()->Draw(0, 0, &icon);
  return {target.PixelColor(0, 5), target.PixelColor(5, 5)};
}

TEST(IconTest, HandleShowsTheImageWithItsTransparentParts) {
  TIcon icon;
  LoadIcon(icon, IconFile({{16, 0xFF0000FF}}));  // blue, left column transparent
  ASSERT_NE(IconHandle(&icon), nullptr);
  const auto [edge, inside] = DrawnColours(icon);
  EXPECT_EQ(edge, clWhite);
  EXPECT_EQ(inside, clBlue);
}

TEST(IconTest, AHandleTakenOverIsSavedAndLoadsBackTheSame) {
  TIcon original;
  LoadIcon(original, IconFile({{16, 0xFF00FF00}}));  // lime
  TIcon taken;
  SetIconHandle(&taken, ReleaseIconHandle(&original));
  EXPECT_TRUE(original.Empty());
  EXPECT_EQ(taken.Width(), 16);
  EXPECT_EQ(taken.Height(), 16);

  const std::vector<uint8_t> saved = SaveIcon(taken);
  ASSERT_FALSE(saved.empty());
  TIcon reloaded;
  LoadIcon(reloaded, saved);
  EXPECT_EQ(reloaded.Width(), 16);
  const auto [edge, inside] = DrawnColours(reloaded);
  EXPECT_EQ(edge, clWhite);
  EXPECT_EQ(inside, clLime);
}

}  // namespace
