// The frame geometry of a skinned form from its window facts: border widths, caption
// heights, the frame image and the strips copied from it, the window region with the skin's
// corner holes, the maximized bounds, icon and thumbnail sizes.
#include "skin/forms/sFrameMetrics.h"

#include <gtest/gtest.h>

#include "tests/skin/core/SkinTestFiles.h"

namespace {

// A sizeable main window of 400 x 300 with the system's standard frame (4) and caption (19).
TsFormFacts Sizeable() {
  TsFormFacts f;
  f.Width = 400;
  f.Height = 300;
  f.ClientWidth = 392;
  f.ClientHeight = 300 - 8 - 19;
  return f;
}

TsFormFacts Fixed() {
  TsFormFacts f = Sizeable();
  f.Border = TsFrameBorder::Single;
  f.ThickFrame = false;
  f.ClientWidth = 394;
  f.ClientHeight = 300 - 6 - 19;
  return f;
}

TsFormFacts WithBorderWindow(TsFormFacts f) {
  f.BorderWindow = true;
  f.ShadowMargins = TRect{11, 7, 11, 11};
  f.Skin.BorderWidth = 6;
  f.Skin.TitleHeight = 30;
  return f;
}

TEST(FrameMetrics, BorderWidthsFollowTheStyleAndTheExtendedBorder) {
  struct Case {
    const char* what;
    TsFormFacts facts;
    int border, extended, standard;
  };
  TsFormFacts none = Sizeable();
  none.Border = TsFrameBorder::None;
  none.ThickFrame = none.BorderBit = none.CaptionBits = false;
  TsFormFacts zeroSkinWidth = WithBorderWindow(Sizeable());
  zeroSkinWidth.Skin.BorderWidth = 0;
  const Case cases[] = {
      {"sizing frame", Sizeable(), 4, 4, 4},
      {"fixed frame", Fixed(), 3, 3, 3},
      {"no border", none, 0, 0, 0},
      {"border window: the skin's width extended, none drawn by the system",
       WithBorderWindow(Sizeable()), 4, 6, 0},
      {"border window, skin width 0: the system's", zeroSkinWidth, 4, 4, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetBorderWidth(c.facts, false), c.border) << c.what;
    EXPECT_EQ(GetBorderWidth(c.facts, true), c.extended) << c.what;
    EXPECT_EQ(GetStdBorderWidth(c.facts, true), c.standard) << c.what;
  }
}

TEST(FrameMetrics, CaptionHeightsForToolWindowsMinimizedFormsAndFormsWithoutCaption) {
  struct Case {
    const char* what;
    TsFrameBorder border;
    bool captionBits, minimized, borderWindow, compact;
    int plain, extended;
  };
  const Case cases[] = {
      {"sizeable", TsFrameBorder::Sizeable, true, false, false, false, 19, 19},
      {"tool window: small caption", TsFrameBorder::ToolWindow, true, false, false, false, 15, 15},
      {"sizeable tool window", TsFrameBorder::SizeToolWin, true, false, false, false, 15, 15},
      {"minimized tool window: full caption", TsFrameBorder::ToolWindow, true, true, false, false,
       19, 19},
      {"no caption bits", TsFrameBorder::Sizeable, false, false, false, false, 0, 0},
      {"no caption bits but minimized", TsFrameBorder::Sizeable, false, true, false, false, 19, 19},
      {"no border style", TsFrameBorder::None, true, false, false, false, 0, 0},
      {"border window: the skin's title when extended", TsFrameBorder::Sizeable, true, false, true,
       false, 19, 30},
      {"compact maximized title", TsFrameBorder::Sizeable, true, false, true, true, 23, 30},
  };
  for (const Case& c : cases) {
    TsFormFacts f = c.borderWindow ? WithBorderWindow(Sizeable()) : Sizeable();
    f.Border = c.border;
    f.CaptionBits = c.captionBits;
    f.Minimized = c.minimized;
    f.CompactMaxTitle = c.compact;
    EXPECT_EQ(GetCaptionHeight(f, false), c.plain) << c.what;
    EXPECT_EQ(GetCaptionHeight(f, true), c.extended) << c.what;
  }
}

TEST(FrameMetrics, IconSizeSteps) {
  const int cases[][2] = {{-100, 1}, {0, 1},   {8, 1},   {9, 8},
                          {16, 8},   {17, 16}, {30, 16}, {-101, 16}};
  for (const auto& c : cases) EXPECT_EQ(IconSizeForHeight(c[0]), c[1]) << c[0];
}

TEST(FrameMetrics, WithoutBorderWindowTheImageIsTheFormAndTheClientLiesInsideTheFrame) {
  TsFormFacts f = Sizeable();
  f.MenuLines = 1;
  f.ClientHeight -= 19;
  EXPECT_EQ(GetShadowMargins(f), TRect{});
  EXPECT_EQ(GetExBorderDelta(f), 0);
  EXPECT_EQ(GetImageWidth(f), 400);
  EXPECT_EQ(GetImageHeight(f), 300);
  EXPECT_EQ(GetMenuLineHeight(f), 18);
  EXPECT_EQ(GetHeaderHeight(f), 4 + 19 + 19);
  EXPECT_EQ(GetClientOffsetX(f), 4);
  EXPECT_EQ(GetClientOffsetY(f), 4 + 19 + 19);
  EXPECT_EQ(GetTitleBottom(f), 4 + 19);
}

TEST(FrameMetrics, ABorderWindowAddsShadowsAndTheExtendedBorderToTheImage) {
  TsFormFacts f = WithBorderWindow(Sizeable());
  EXPECT_EQ(GetShadowMargins(f), (TRect{11, 7, 11, 11}));
  EXPECT_EQ(GetExBorderDelta(f), 2);
  EXPECT_EQ(GetImageWidth(f), 400 + 2 * 2 + 22);
  EXPECT_EQ(GetClientOffsetX(f), 6 + 11);
  EXPECT_EQ(GetClientOffsetY(f), 30 + 7);
}

TEST(FrameMetrics, AMinimizedChildImageIsOnlyFrameAndCaption) {
  TsFormFacts f = Sizeable();
  f.MainForm = false;
  f.Minimized = true;
  f.Width = 160;
  EXPECT_EQ(GetImageWidth(f), 160);
  EXPECT_EQ(GetImageHeight(f), 4 + 19 + 2);
}

TEST(FrameMetrics, FrameStripsCoverTheNonClientAreaFromTheSamePlaceInTheImage) {
  TsFormFacts f = Sizeable();
  f.MenuLines = 1;
  f.ClientHeight -= 19;
  const std::vector<TsFrameCopy> copies = FrameCopyRects(f);
  ASSERT_EQ(copies.size(), 4u);
  const int header = 4 + 19 + 19;
  EXPECT_EQ(copies[0].Dest, (TRect{0, 0, 400, header}));
  EXPECT_EQ(copies[1].Dest, (TRect{0, header, 4, 300}));
  EXPECT_EQ(copies[2].Dest, (TRect{4, 296, 400, 300}));
  EXPECT_EQ(copies[3].Dest, (TRect{396, header, 400, 300}));
  // Every strip maps window pixels to the same pixels of the image.
  for (const TsFrameCopy& c : copies) EXPECT_EQ(c.Source, c.Dest.TopLeft());
  // Together they leave exactly the client rectangle uncovered.
  EXPECT_EQ(header + f.ClientHeight + 4, 300);
}

TEST(FrameMetrics, RegionPlans) {
  const std::vector<TRect> holes{{0, 0, 2, 1}, {398, 0, 400, 1}};
  // Plain form: the image rectangle less the corner holes.
  TsRegionPlan plain = PlanFormRegion(Sizeable(), holes);
  EXPECT_EQ(plain.Kind, TsRegionKind::Shape);
  EXPECT_EQ(plain.Bounds, (TRect{0, 0, 400, 300}));
  EXPECT_EQ(plain.Holes, holes);
  // Maximized: the border beyond the screen is cut off, no holes.
  TsFormFacts maximized = Sizeable();
  maximized.Maximized = true;
  TsRegionPlan max = PlanFormRegion(maximized, holes);
  EXPECT_EQ(max.Bounds, (TRect{4, 4, 396, 296}));
  EXPECT_TRUE(max.Holes.empty());
  // With size constraints the whole image keeps its holes.
  maximized.HasMaxConstraints = true;
  EXPECT_EQ(PlanFormRegion(maximized, holes), plain);
  // A border window: inside the extended frame, below the system caption.
  TsRegionPlan border = PlanFormRegion(WithBorderWindow(Sizeable()), holes);
  EXPECT_EQ(border.Bounds, (TRect{4, 4 + 19, 396, 296}));
  // Without holes the image's rectangle is the whole window: no region at all.
  EXPECT_EQ(PlanFormRegion(Sizeable(), {}).Kind, TsRegionKind::Remove);
  // A borderless form without a sizing frame keeps its region.
  TsFormFacts none = Sizeable();
  none.Border = TsFrameBorder::None;
  none.ThickFrame = false;
  EXPECT_EQ(PlanFormRegion(none, holes).Kind, TsRegionKind::Keep);
}

TEST(FrameMetrics, RegionHolesAreTheKeyColourRunsOfTheCorners) {
  skintest::TManagerFixture fixture;
  // A 20 x 10 border mask with borders 3 and 2 and key-coloured pixels in three corners.
  fixture.AddFolderSkin("Holes",
                        "[GLOBALINFO]\nMASTERBITMAP=M.BMP\n[FORM]\n"
                        "BORDERSMASK=^0000,0000,0020,0010,0003,0002,0003,0002,1,0,4,0\n",
                        {{"M.BMP", skintest::BmpFile(20, 10, clSilver,
                                                     {{{0, 0, 2, 1}, clFuchsia},
                                                      {{0, 1, 1, 2}, clFuchsia},
                                                      {{19, 0, 20, 1}, clFuchsia},
                                                      {{0, 9, 2, 10}, clFuchsia}})}});
  TsSkinManager& manager = *fixture.Manager;
  manager.SetSkinName("Holes");
  ASSERT_EQ(manager.LastLoadError(), "");
  const int mask = manager.GetMaskIndex(manager.GetSectionIndex("FORM"), "FORM", "BORDERSMASK");
  ASSERT_GE(mask, 0);
  const std::vector<TRect> holes = CollectRegionHoles(manager, mask, -1, 100, 50);
  const std::vector<TRect> expected{{0, 0, 2, 1}, {99, 0, 100, 1}, {0, 1, 1, 2}, {0, 49, 2, 50}};
  EXPECT_EQ(holes, expected);
  EXPECT_TRUE(CollectRegionHoles(manager, -1, -1, 100, 50).empty());
}

TEST(FrameMetrics, MaximizedBoundsPutTheBorderBeyondTheWorkArea) {
  const TRect work{0, 0, 1024, 738};
  EXPECT_EQ(LimitMaximizedBounds(Sizeable(), work),
            (TsMaximizedBounds{{-4, -4}, {1024 + 8, 738 + 8}}));
  EXPECT_EQ(LimitMaximizedBounds(Fixed(), work),
            (TsMaximizedBounds{{-3, -3}, {1024 + 6, 738 + 6}}));
  // A border window with a lower maximized title: the caption difference and the title's
  // shrink move the form up.
  TsFormFacts f = WithBorderWindow(Sizeable());
  f.Skin.MaxHeight = 26;
  // c = 30 - (4 + 19) = 7, b = 30 - 26 = 4.
  EXPECT_EQ(LimitMaximizedBounds(f, work),
            (TsMaximizedBounds{{-4, 7 - 4 - 4}, {1024 + 8, 738 + 8 + 4 - 7}}));
}

TEST(FrameMetrics, ThumbnailsKeepTheSourceAspect) {
  struct Case {
    int w, h, sw, sh;
    TSize fitted;
  };
  const Case cases[] = {
      {200, 100, 400, 400, {100, 100}}, {100, 200, 400, 400, {100, 100}},
      {200, 100, 400, 100, {200, 50}},  {5, 100, 2, 4, {5, 10}},  // 10 exactly
      {100, 5, 3, 2, {8, 5}},                                     // 7.5 rounds to even 8
      {100, 9, 3, 2, {14, 9}},                                    // 13.5 rounds to even 14
      {1, 100, 1000, 1, {0, 0}},                                  // height rounds to 0: nothing
      {0, 100, 400, 400, {0, 0}},                                 // nothing asked
      {200, 100, 0, 400, {0, 0}},                                 // no source
  };
  for (const Case& c : cases)
    EXPECT_EQ(FitThumbnail(c.w, c.h, c.sw, c.sh), c.fitted) << c.w << "x" << c.h;
}

TEST(FrameMetrics, ButtonsWidthCountsShownButtonsAndTheirSpaces) {
  TsTitleButtonsFacts b;
  b.BIRight = 2;
  b.BISpace = 1;
  EXPECT_EQ(GetButtonsWidth(b), 2 + 21 + 22 + 22);
  b.Big = false;
  EXPECT_EQ(GetButtonsWidth(b), 2 + 21 * 3);
  b.MaxVisible = b.MinVisible = false;
  EXPECT_EQ(GetButtonsWidth(b), 2 + 21);
  b.CloseVisible = false;
  EXPECT_EQ(GetButtonsWidth(b), 2);
}

}  // namespace
