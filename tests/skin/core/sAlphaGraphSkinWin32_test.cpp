// Captions written in a loaded skin's section colours, read back as solid colours.
#include <gtest/gtest.h>
#include <windows.h>

#include "skin/core/painting/sAlphaGraphSkin.h"
#include "tests/skin/core/SkinTestBitmaps.h"
#include "tests/skin/core/SkinTestFiles.h"

namespace {

// How many pixels of the bitmap have exactly this opaque colour (0x00RRGGBB).
int CountOpaque(TBitmap& bmp, uint32_t rgb) {
  int n = 0;
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) n += Px(bmp, x, y) == (0xFF000000u | rgb);
  return n;
}

TEST(SkinText, ShadowsComeFirstThenTheFontColour) {
  skintest::TManagerFixture f;
  f.AddFolderSkin("Shadowed",
                  "[GLOBALINFO]\n[LABEL]\nFONTCOLOR=255\nTCLEFT=16711680\n"
                  "[PLAIN]\nFONTCOLOR=255\n");
  f.Manager->SetSkinName("Shadowed");
  const int shadowed = f.Manager->GetSectionIndex("LABEL");
  const int plain = f.Manager->GetSectionIndex("PLAIN");
  ASSERT_GE(shadowed, 0);
  const uint32_t format = DT_LEFT | DT_TOP | DT_SINGLELINE;

  auto bmp = MakeBitmap32(80, 30, 0xFFFFFFFF);
  const TsSectionText text{.Text = "MMMM",
                           .R = Rect(5, 5, 75, 25),
                           .Format = format,
                           .SectionIndex = shadowed,
                           .Manager = f.Manager.get()};
  WriteTextOnBitmap32(bmp.get(), text, true);
  EXPECT_GT(CountOpaque(*bmp, 0xFF0000), 0);  // the text in red
  EXPECT_GT(CountOpaque(*bmp, 0x0000FF), 0);  // its left shadow in blue

  auto once = MakeBitmap32(80, 30, 0xFFFFFFFF);
  TsSectionText plainText = text;
  plainText.SectionIndex = plain;
  WriteTextOnBitmap32(once.get(), plainText, true);
  EXPECT_GT(CountOpaque(*once, 0xFF0000), 0);
  EXPECT_EQ(CountOpaque(*once, 0x0000FF), 0);

  auto none = MakeBitmap32(80, 30, 0xFFFFFFFF);
  WriteTextOnBitmap32(none.get(), text, false);
  EXPECT_EQ(CountOpaque(*none, 0x0000FF), 0);  // without the shadow flag
}

TEST(SkinText, CheckBoxSizeFallsBackToTheSystemGlyph) {
  EXPECT_GT(CheckBoxWidth(nullptr), 0);
  EXPECT_GT(CheckBoxHeight(nullptr), 0);
}

}  // namespace
