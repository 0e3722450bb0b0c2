// The layout and look rules of the button, check box and group box adapters as tables.
#include "skin/adapters/skButtonLayout.h"

#include <gtest/gtest.h>

#include "skin/core/skinfiles/sMaskData.h"

namespace {

TEST(ButtonLayout, ADialogButtonGetsTheAdapterOfItsType) {
  struct TCase {
    uint32_t Style;
    TskButtonKind Kind;
  };
  const TCase cases[] = {
      {0x0, TskButtonKind::PushButton},        {0x1, TskButtonKind::PushButton},
      {0x8, TskButtonKind::PushButton},        {0x7, TskButtonKind::GroupBox},
      {0xF, TskButtonKind::GroupBox},          {0x2, TskButtonKind::CheckBox},
      {0x3, TskButtonKind::CheckBox},          {0x4, TskButtonKind::CheckBox},
      {0x9, TskButtonKind::CheckBox},          {0xB, TskButtonKind::CheckBox},
      {0x50010001, TskButtonKind::PushButton},
  };
  for (const TCase& c : cases) EXPECT_EQ(ButtonKindOfStyle(c.Style), c.Kind) << c.Style;
}

TEST(ButtonLayout, APushButtonWrapsItsCaptionOnlyWhenItHasSeveralLines) {
  EXPECT_EQ(PushButtonTextFlags(0), 0x41u);
  EXPECT_EQ(PushButtonTextFlags(0x2000), 0x51u);
  EXPECT_EQ(PushButtonMeasureFlags(0) & textflags::WordBreak, 0u);
  EXPECT_NE(PushButtonMeasureFlags(0x2000) & textflags::WordBreak, 0u);
  EXPECT_NE(PushButtonMeasureFlags(0) & textflags::CalcRect, 0u);
}

TEST(ButtonLayout, APushButtonCentresItsCaptionAndMovesItWhenPushed) {
  struct TCase {
    TSize Window, Text;
    bool Pushed;
    TRect Expected;
  };
  const TCase cases[] = {
      {{100, 30}, {40, 14}, false, {29, 8, 72, 22}},
      {{100, 30}, {40, 14}, true, {30, 9, 73, 23}},
      {{101, 31}, {40, 14}, false, {29, 8, 73, 23}},
      {{20, 10}, {40, 14}, false, {-11, -2, 32, 12}},  // wider than the button: odd dx truncates
  };
  for (const TCase& c : cases) {
    const TRect r = PushButtonCaptionRect(c.Window, c.Text, c.Pushed);
    EXPECT_EQ(r, c.Expected) << c.Window.cx << "x" << c.Window.cy << " pushed " << c.Pushed;
  }
  EXPECT_EQ(PushButtonCaptionWidth(100, 0, false), 0);
  EXPECT_EQ(PushButtonCaptionWidth(100, 0, true), 98);
  EXPECT_EQ(PushButtonCaptionWidth(100, 16, true), 84);
  EXPECT_EQ(PushButtonCaptionWidth(10, 16, true), 0);
}

TEST(ButtonLayout, APushButtonLooksPressedDisabledHotOrNormal) {
  struct TCase {
    TsPushButtonLook Look;
    int State;
  };
  const TCase cases[] = {
      {{.Pushed = true, .Enabled = false}, 2},
      {{.Enabled = false, .FocusedOrHot = true}, 0},
      {{.FocusedOrHot = true}, 1},
      {{.Style = 0x1}, 1},                       // a raw default button
      {{.HostControl = true, .Style = 0x1}, 1},  // a framework default button
      {{.HostControl = true, .Style = 0x3}, 0},  // bit 0 alone is not BS_DEFPUSHBUTTON there
      {{.Style = 0x3}, 1},
      {{}, 0},
  };
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(PushButtonState(cases[i].Look), cases[i].State) << i;
}

TEST(ButtonLayout, CheckGlyphsFollowTheStyleAndTheState) {
  struct TCase {
    uint32_t Style;
    int Check;
    TskCheckMask Mask;
  };
  const TCase cases[] = {
      {0x2, 0, TskCheckMask::BoxUnchecked},   {0x3, 1, TskCheckMask::BoxChecked},
      {0x5, 1, TskCheckMask::BoxChecked},     {0x6, 1, TskCheckMask::BoxChecked},
      {0x4, 0, TskCheckMask::RadioUnchecked}, {0x9, 1, TskCheckMask::RadioChecked},
      {0x4, 2, TskCheckMask::BoxGrayed},      {0x2, 2, TskCheckMask::BoxGrayed},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(CheckMaskFor(c.Style, c.Check), c.Mask) << c.Style << " " << c.Check;
  EXPECT_EQ(CheckStateOf(0x0), 0);
  EXPECT_EQ(CheckStateOf(0x1), 1);
  EXPECT_EQ(CheckStateOf(0x3), 2);
  EXPECT_EQ(CheckGlyphLook(0x4, false), 2);
  EXPECT_EQ(CheckGlyphLook(0x8, false), 1);
  EXPECT_EQ(CheckGlyphLook(0x0, true), 1);
  EXPECT_EQ(CheckGlyphLook(0x1, false), 0);
  EXPECT_TRUE(IsOwnerDrawnButton(0xB));
  EXPECT_FALSE(IsOwnerDrawnButton(0x3));
}

TEST(ButtonLayout, AMaskThatCountsNoImagesIsReadAsOneAndLeftAsItIs) {
  TsMaskData mask;
  mask.SourceRect = TRect{0, 0, 48, 16};
  mask.ImageCount = 0;
  EXPECT_EQ(CheckMaskGlyphSize(mask), (TSize{48, 16}));
  EXPECT_EQ(mask.ImageCount, 0) << "the skin's table is not written";
  mask.ImageCount = 3;
  mask.MaskType = 1;
  mask.SourceRect = TRect{0, 0, 48, 32};
  EXPECT_EQ(CheckMaskGlyphSize(mask), (TSize{16, 16}));
}

TEST(ButtonLayout, TheCheckGlyphAndCaptionSitSideBySide) {
  EXPECT_EQ(CheckGlyphRect({160, 24}, {16, 16}, false), (TRect{0, 4, 16, 20}));
  EXPECT_EQ(CheckGlyphRect({160, 24}, {16, 16}, true), (TRect{144, 4, 160, 20}));
  struct TCase {
    bool LeftText, Multiline;
    TRect Expected;
  };
  const TCase cases[] = {
      {false, false, {20, 4, 70, 18}},
      {false, true, {19, 4, 69, 18}},
      {true, false, {2, 5, 52, 19}},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(CheckCaptionRect({160, 24}, {16, 16}, {50, 14}, c.LeftText, c.Multiline), c.Expected)
        << c.LeftText << c.Multiline;
  EXPECT_EQ(CheckCaptionRect({100, 10}, {16, 16}, {50, 14}, false, false).Top, -1)
      << "a text higher than the box starts at its top";
  EXPECT_EQ(CheckCaptionFlags(true), 0x11u);
  EXPECT_EQ(CheckCaptionFlags(false), 0x20u);
}

TEST(ButtonLayout, AGroupCaptionStaysInsideTheBox) {
  EXPECT_EQ(GroupCaptionRect(200, {40, 13}, false), (TRect{6, 0, 54, 15}));
  EXPECT_EQ(GroupCaptionRect(200, {40, 13}, true), (TRect{146, 0, 194, 15}));
  EXPECT_EQ(GroupCaptionRect(200, {40, 2}, false).Bottom, 6);
  EXPECT_EQ(GroupCaptionRect(30, {40, 13}, false).Right, 29);
}

}  // namespace
