// The glyph mode of a combo edit's button under Wine: the built-in pictures read from the
// program's resources, the button's width and state cells for the chosen list, and the
// settings it keeps in the button.
#include "skin/controls/sGlyphUtilsWin32.h"

#include <gtest/gtest.h>

#include "framework/FormsWin32.h"
#include "imaging/skAlphaImageListWin32.h"
#include "skin/controls/sSpeedButtonWin32.h"
#include "tests/support/FormGuardWin32.h"

namespace {

struct GlyphModeOfAButton : ::testing::Test {
  static void SetUpTestSuite() { Application->Initialize(); }
  // A list of `count` blank images of that size.
  TImageList* List(int width, int height, int count) {
    auto* list = new TImageList(form.Form);
    list->SetWidth(width);
    list->SetHeight(height);
    TBitmap image;
    image.SetPixelFormat(pf24bit);
    image.SetSize(width, height);
    for (int i = 0; i < count; ++i) list->Add(&image, nullptr);
    return list;
  }
  ktest::TFormGuard form;
};

TEST_F(GlyphModeOfAButton, TheBuiltInPicturesComeFromTheProgramsResources) {
  TsAlphaImageList* builtIn = BuiltInButtonGlyphs();
  ASSERT_NE(builtIn, nullptr);
  EXPECT_EQ(builtIn->Count(), 5);
  EXPECT_EQ(builtIn->Width(), 48);
  EXPECT_EQ(builtIn->Height(), 16);
  // Each strip holds a drawn picture in every cell: some pixel of each cell is opaque.
  for (int index = 0; index < 5; ++index) {
    TBitmap strip;
    ASSERT_TRUE(GetListImageBitmap(builtIn, index, &strip));
    for (int cell = 0; cell < 3; ++cell) {
      int opaque = 0;
      for (int y = 0; y < 16; ++y)
        for (int x = 16 * cell; x < 16 * cell + 16; ++x)
          opaque += strip.ScanLine(y)[x * 4 + 3] > 128;
      EXPECT_GT(opaque, 4) << "picture " << index << ", cell " << cell;
    }
  }
}

TEST_F(GlyphModeOfAButton, TheButtonTakesTheWidthAndCellsOfTheChosenList) {
  auto* button = form.Add<TsSpeedButton>();
  TsGlyphMode mode(form.Form);
  mode.SetButton(button);
  EXPECT_EQ(mode.ChosenList(), BuiltInButtonGlyphs());
  EXPECT_EQ(button->Width(), 16 + 2);
  EXPECT_EQ(button->NumGlyphs(), 3);

  struct Case {
    int width, height, count, index;
    int buttonWidth, cells;
    bool own;
  };
  const Case cases[] = {
      {64, 16, 2, 0, 16 + 2, 4, true},   // four cells of 16
      {20, 16, 2, 1, 20 + 2, 1, true},   // not a multiple: one cell of 20
      {64, 16, 2, 2, 16 + 2, 3, false},  // beyond the list: the built-in pictures
      {64, 16, 2, -1, 16 + 2, 3, false},
  };
  for (const Case& c : cases) {
    TImageList* list = List(c.width, c.height, c.count);
    mode.SetImages(list);
    mode.SetImageIndex(c.index);
    mode.UpdateButton();
    EXPECT_EQ(button->Width(), c.buttonWidth) << c.width << " x " << c.height << ", " << c.index;
    EXPECT_EQ(button->NumGlyphs(), std::min(c.cells, 4));
    EXPECT_EQ(mode.CellCount(), c.cells);
    EXPECT_EQ(mode.ChosenList() == list, c.own);
  }
}

TEST_F(GlyphModeOfAButton, BlendGreyAndHintAreTheButtons) {
  form.Form->SetHint("owner");
  TsGlyphMode mode(form.Form);
  EXPECT_EQ(mode.Blend(), 0) << "no button yet";
  mode.SetBlend(40);
  EXPECT_EQ(mode.Blend(), 0);
  EXPECT_EQ(mode.Hint(), "owner");
  auto* button = form.Add<TsSpeedButton>();
  mode.SetButton(button);
  mode.SetBlend(150);
  EXPECT_EQ(button->Blend(), 100) << "clamped by the button";
  mode.SetGrayed(true);
  EXPECT_TRUE(button->Grayed());
  EXPECT_TRUE(mode.Grayed());
  mode.SetHint("Browse");
  EXPECT_EQ(button->Hint(), "Browse");
  EXPECT_EQ(mode.Hint(), "Browse");
  EXPECT_EQ(form.Form->Hint(), "owner");
}

}  // namespace
