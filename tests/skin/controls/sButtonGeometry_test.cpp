#include "skin/controls/sButtonGeometry.h"

#include <gtest/gtest.h>

namespace {

using L = TsGlyphLayout;
using A = TsBlockAlign;

// A 60 x 30 speed button with a 16 x 16 glyph and a 20 x 13 caption, no margin, spacing 4.
TsSpeedButtonPlace SpeedButton(L layout, A alignment) {
  TsSpeedButtonPlace p;
  p.Width = 60;
  p.Height = 30;
  p.Margin = -1;
  p.Spacing = 4;
  p.Layout = layout;
  p.Alignment = alignment;
  p.HasCaption = true;
  p.Glyph = {16, 16};
  p.Text = {20, 13};
  return p;
}

TEST(SpeedButtonGeometry, GlyphAndCaptionSitWhereEachLayoutAndAlignmentPutsThem) {
  struct Case {
    L layout;
    A alignment;
    TRect glyph;
    TRect caption;
  } cases[] = {
      {L::GlyphLeft, A::Left, {0, 7, 16, 23}, {18, 8, 42, 22}},
      {L::GlyphLeft, A::Right, {20, 7, 36, 23}, {39, 8, 62, 22}},
      {L::GlyphLeft, A::Center, {10, 7, 26, 23}, {29, 8, 52, 22}},
      {L::GlyphRight, A::Left, {20, 7, 36, 23}, {-1, 8, 22, 22}},
      {L::GlyphRight, A::Right, {44, 7, 60, 23}, {19, 8, 42, 22}},
      {L::GlyphRight, A::Center, {34, 7, 50, 23}, {9, 8, 32, 22}},
      {L::GlyphTop, A::Center, {23, -1, 39, 15}, {19, 19, 42, 31}},
      {L::GlyphBottom, A::Left, {23, 15, 39, 31}, {19, -1, 42, 11}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.layout) * 10 + static_cast<int>(c.alignment));
    TsSpeedButtonPlace p = SpeedButton(c.layout, c.alignment);
    EXPECT_EQ(SpeedButtonGlyphRect(p), c.glyph);
    EXPECT_EQ(SpeedButtonCaptionRect(p), c.caption);
    // Pressed, both move by one pixel right and down.
    p.State = ButtonPressed;
    EXPECT_EQ(SpeedButtonGlyphRect(p),
              (TRect{c.glyph.Left + 1, c.glyph.Top + 1, c.glyph.Right + 1, c.glyph.Bottom + 1}));
    EXPECT_EQ(SpeedButtonCaptionRect(p), (TRect{c.caption.Left + 1, c.caption.Top + 1,
                                                c.caption.Right + 1, c.caption.Bottom + 1}));
  }
}

TEST(SpeedButtonGeometry, HalvingNegativeRoomRoundsTowardZero) {
  // 31 wide: the room left of the block is (31 - 40) div 2 = -4, not -5.
  TsSpeedButtonPlace p = SpeedButton(L::GlyphLeft, A::Center);
  p.Width = 31;
  EXPECT_EQ(SpeedButtonGlyphRect(p).Left, -4);
}

TEST(SpeedButtonGeometry, TextOffsetArrowPartAndMirrorImageMoveThePicture) {
  TsSpeedButtonPlace p = SpeedButton(L::GlyphLeft, A::Center);
  p.TextOffset = 4;
  EXPECT_EQ(SpeedButtonCaptionRect(p), (TRect{33, 8, 56, 22}));

  p = SpeedButton(L::GlyphTop, A::Center);
  p.DropDown = true;  // centred in the part left of the 16-pixel arrow
  EXPECT_EQ(SpeedButtonGlyphRect(p).Left, 15);

  p = SpeedButton(L::GlyphLeft, A::Left);
  p.Reflected = true;  // up by a sixth of the glyph's height
  EXPECT_EQ(SpeedButtonGlyphRect(p), (TRect{0, 5, 16, 21}));
}

TEST(SpeedButtonGeometry, CaptionIsMeasuredInTheRoomTheButtonLeaves) {
  TsSpeedButtonPlace p = SpeedButton(L::GlyphLeft, A::Center);
  EXPECT_EQ(SpeedButtonCaptionWidth(p), 40);  // a negative margin takes no room
  p.Margin = 2;
  EXPECT_EQ(SpeedButtonCaptionWidth(p), 36);
  p.Layout = L::GlyphTop;
  EXPECT_EQ(SpeedButtonCaptionWidth(p), 56);
  p.DropDown = true;
  EXPECT_EQ(SpeedButtonCaptionWidth(p), 40);
  p.HasCaption = false;
  EXPECT_EQ(SpeedButtonCaptionWidth(p), 0);
  EXPECT_EQ(SpeedButtonContentMargin(-1), 0);
  EXPECT_EQ(SpeedButtonContentMargin(2), 5);
}

TEST(GlyphStrips, CellOfAStateIsClampedToTheStrip) {
  struct Case {
    int state, cells, cell;
  } cases[] = {{2, 1, 0}, {2, 3, 2}, {1, 2, 1}, {2, 2, 1}, {0, 0, 0}};
  for (const Case& c : cases) EXPECT_EQ(GlyphCellOfState(c.state, c.cells), c.cell);
  EXPECT_EQ(GlyphCellRect(2, 16, 16), (TRect{32, 0, 48, 16}));
  struct Strip {
    int w, h, cells;
  } strips[] = {{48, 16, 3}, {64, 16, 4}, {20, 16, 1}, {16, 16, 1}, {8, 16, 1}, {0, 0, 1}};
  for (const Strip& s : strips) EXPECT_EQ(StripCellCount(s.w, s.h), s.cells) << s.w;
}

TEST(GlyphStrips, BlendShowsInTheNormalLookAndADisabledGlyphIsAtLeastHalfTransparent) {
  struct Case {
    int state, blend;
    bool disabledBlended;
    int transparency;
  } cases[] = {
      {ButtonNormal, 0, false, 0},     {ButtonNormal, 40, false, 40}, {ButtonHot, 40, false, 0},
      {ButtonPressed, 40, false, 0},   {ButtonNormal, 20, true, 50},  {ButtonNormal, 80, true, 80},
      {ButtonNormal, 150, false, 100}, {ButtonNormal, -5, false, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(GlyphTransparency(c.state, c.blend, c.disabledBlended), c.transparency)
        << c.state << " " << c.blend;
}

TEST(BitBtnGeometry, StateFollowsDownPushMouseAndFocus) {
  struct Case {
    TsBitBtnStateInputs in;
    int state;
  } cases[] = {
      {{}, ButtonNormal},
      {{.Down = true}, ButtonPressed},
      {{.Pushed = true, .MouseOver = true, .LeftHeld = true}, ButtonPressed},
      // Dragged off while held: not shown pressed.
      {{.Pushed = true, .MouseOver = false, .LeftHeld = true, .IsActive = true}, ButtonHot},
      // Pushed by the space bar.
      {{.Pushed = true}, ButtonPressed},
      {{.IsDefault = true}, ButtonHot},
      {{.IsActive = true}, ButtonHot},
  };
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(BitBtnState(cases[i].in), cases[i].state) << i;
}

TEST(BitBtnGeometry, CaptionRoomAndGlyphPlace) {
  EXPECT_EQ(BitBtnCaptionWidth(110, -1, L::GlyphLeft, 0, 4, true), 110);
  EXPECT_EQ(BitBtnCaptionWidth(110, 3, L::GlyphLeft, 16, 4, true), 84);
  EXPECT_EQ(BitBtnCaptionWidth(110, 3, L::GlyphTop, 16, 4, true), 104);
  EXPECT_EQ(BitBtnCaptionWidth(110, 3, L::GlyphLeft, 16, 4, false), 0);
  EXPECT_EQ(BitBtnCaptionWidth(10, 3, L::GlyphLeft, 16, 4, true), 0);
  EXPECT_EQ(BitBtnGlyphRect({10, 5}, {16, 16}, ButtonNormal, false), (TRect{10, 5, 26, 21}));
  EXPECT_EQ(BitBtnGlyphRect({10, 5}, {16, 16}, ButtonPressed, false), (TRect{11, 6, 27, 22}));
  EXPECT_EQ(BitBtnGlyphRect({10, 5}, {16, 16}, ButtonNormal, true), (TRect{10, 3, 26, 19}));
}

TEST(ToolButtonGeometry, StatesFromTheCustomDrawState) {
  using S = TsToolButtonDrawState;
  struct Case {
    S s;
    bool highlighted, indeterminate;
    int image, button;
  } cases[] = {
      {{}, false, false, ButtonNormal, ButtonNormal},
      {{.Disabled = true}, false, false, ButtonNormal, ButtonNormal},
      {{.Hot = true}, false, false, ButtonHot, ButtonHot},
      {{.Disabled = true, .Hot = true}, false, false, ButtonHot, ButtonHot},
      {{.Selected = true}, false, false, ButtonPressed, ButtonPressed},
      {{.Checked = true, .Hot = true}, false, false, ButtonPressed, ButtonPressed},
      {{}, true, false, ButtonNormal, ButtonPressed},
      {{}, false, true, ButtonNormal, ButtonPressed},
      {{.Other = true}, false, false, ButtonHot, ButtonHot},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    EXPECT_EQ(ToolButtonImageState(c.s), c.image) << i;
    EXPECT_EQ(ToolButtonState(c.s, c.highlighted, c.indeterminate), c.button) << i;
  }
}

TEST(ToolButtonGeometry, ImageListChoice) {
  using I = TsToolImageList;
  EXPECT_EQ(ChooseToolImageList(false, true, ButtonNormal, true, 0, 5), I::Disabled);
  EXPECT_EQ(ChooseToolImageList(false, false, ButtonNormal, true, 0, 5), I::Normal);
  EXPECT_EQ(ChooseToolImageList(true, true, ButtonHot, true, 2, 5), I::Hot);
  EXPECT_EQ(ChooseToolImageList(true, true, ButtonNormal, true, 2, 5), I::Normal);
  // An index beyond the hot list keeps the normal list also when hot.
  EXPECT_EQ(ChooseToolImageList(true, false, ButtonPressed, true, 5, 5), I::Normal);
}

TEST(ToolButtonGeometry, ImageCaptionAndArrowPlaces) {
  TsToolButtonPlace p;
  p.Button = {40, 23};
  p.Image = {16, 16};
  EXPECT_EQ(ToolButtonImageRect(p), (TRect{13, 3, 29, 19}));
  p.DropDown = true;  // 8 pixels further left than a plain button of the same width
  EXPECT_EQ(ToolButtonImageRect(p), (TRect{5, 3, 21, 19}));
  p.DropDown = false;
  p.State = ButtonPressed;
  EXPECT_EQ(ToolButtonImageRect(p), (TRect{14, 4, 30, 20}));
  p.State = ButtonNormal;
  p.ShowCaptions = true;
  p.LineHeight = 13;
  EXPECT_EQ(ToolButtonImageRect(p).Top, -4);  // (23 - 16 - 16) div 2
  p.List = true;
  EXPECT_EQ(ToolButtonImageRect(p), (TRect{5, 3, 21, 19}));

  TsToolCaptionPlace c;
  c.ButtonHeight = 36;
  c.ButtonAreaWidth = 60;
  c.Image = {16, 16};
  c.TextWidth = 20;
  c.LineHeight = 13;
  c.HasImage = true;
  EXPECT_EQ(ToolButtonCaptionRect(c), (TRect{19, 21, 42, 34}));
  c.HasImage = false;
  EXPECT_EQ(ToolButtonCaptionRect(c), (TRect{19, 11, 42, 25}));
  c.State = ButtonPressed;
  EXPECT_EQ(ToolButtonCaptionRect(c), (TRect{20, 12, 43, 26}));
  c.State = ButtonNormal;
  c.List = true;
  c.HasImage = true;
  EXPECT_EQ(ToolButtonCaptionRect(c), (TRect{22, 2, 58, 34}));
  c.HasImage = false;
  EXPECT_EQ(ToolButtonCaptionRect(c).Left, 1);

  EXPECT_EQ(ToolDropDownArrowPos(40, 15, 7, 4, 23), (TPoint{44, 9}));
}

TEST(ToolButtonGeometry, ButtonsOfADisabledBarLookDisabled) {
  EXPECT_FALSE(ToolButtonShowsDisabled(true, true, false, false));
  EXPECT_TRUE(ToolButtonShowsDisabled(false, true, false, false));
  EXPECT_TRUE(ToolButtonShowsDisabled(true, false, false, false));
  EXPECT_TRUE(ToolButtonShowsDisabled(true, true, true, false));
  // Pictures of its own for disabled buttons: no effect over them.
  EXPECT_FALSE(ToolButtonShowsDisabled(false, false, false, true));
}

TEST(CheckBoxGeometry, BoxAndCaptionSides) {
  TsCheckBoxPlace p;
  p.Width = 90;
  p.Height = 17;
  EXPECT_EQ(CheckBoxGlyphRect(p), (TRect{2, 0, 18, 16}));
  EXPECT_EQ(CheckBoxCaptionWidth(p), 68);
  EXPECT_EQ(CheckBoxCaptionRect(p, {50, 13}, false), (TRect{22, 1, 72, 14}));
  EXPECT_EQ(CheckBoxCaptionRect(p, {50, 13}, true), (TRect{21, 1, 71, 14}));
  // Left-justified: the box at the right edge, the caption on the left.
  p.CaptionRight = false;
  EXPECT_EQ(CheckBoxGlyphRect(p), (TRect{72, 0, 88, 16}));
  EXPECT_EQ(CheckBoxCaptionRect(p, {50, 13}, false), (TRect{2, 1, 70, 14}));
  // A caption taller than the box starts at the margin.
  p.CaptionRight = true;
  EXPECT_EQ(CheckBoxCaptionRect(p, {50, 16}, false).Top, 1);
}

TEST(CheckBoxGeometry, AutoSizeLeavesRoomForTheWholeCaption) {
  // "csv-Datei": glyph width + 2 x margin + text width + 8.
  EXPECT_EQ(CheckBoxAutoSize({16, 16}, 2, 0, {47, 13}, true), (TSize{75, 19}));
  EXPECT_EQ(CheckBoxAutoSize({16, 16}, 2, 3, {47, 13}, true), (TSize{78, 19}));
  EXPECT_EQ(CheckBoxAutoSize({16, 16}, 2, 0, {}, false), (TSize{20, 18}));
  // The caption fits the room the auto size gave it.
  TsCheckBoxPlace p;
  p.Width = 75;
  p.Height = 19;
  TRect caption = CheckBoxCaptionRect(p, {47, 13}, false);
  EXPECT_LE(caption.Right, p.Width);
  EXPECT_GE(CheckBoxCaptionWidth(p), 47);
}

TEST(CheckBoxGeometry, GlyphCellsAndLook) {
  EXPECT_EQ(CheckGlyphCellSize(48, 16), (TSize{16, 16}));
  EXPECT_EQ(CheckGlyphCellSize(20, 16), (TSize{20, 16}));
  EXPECT_EQ(CheckGlyphState(true, false, false), ButtonPressed);
  EXPECT_EQ(CheckGlyphState(false, true, false), ButtonHot);
  EXPECT_EQ(CheckGlyphState(false, true, true), ButtonNormal);
  EXPECT_EQ(CheckGlyphState(false, false, false), ButtonNormal);
}

}  // namespace
