// Which graphic children are painted together with their parent, where a client area lies
// inside its window, and the steps of the window animations: frame counts, each frame's alpha
// and where the zoomed snapshot lies.
#include "skin/forms/sVclUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "skin/core/painting/sFormSkinning.h"

namespace {

TGraphicChildFacts Shown() {
  TGraphicChildFacts f;
  f.Visible = true;
  f.Graphic = true;
  f.Width = 10;
  f.Height = 5;
  f.BoundsVisibleInDC = true;
  return f;
}

TEST(GraphicChildren, OnlyShownGraphicChildrenWithAnAreaInTheDCArePainted) {
  struct Case {
    const char* what;
    void (*change)(TGraphicChildFacts&);
    bool painted;
  };
  const Case cases[] = {
      {"shown graphic child", [](TGraphicChildFacts&) {}, true},
      {"hidden", [](TGraphicChildFacts& f) { f.Visible = false; }, false},
      {"hidden but designed", [](TGraphicChildFacts& f) { f.Visible = false, f.Designing = true; },
       true},
      {"designed, style hides it then",
       [](TGraphicChildFacts& f) { f.Designing = true, f.HiddenAtDesignTime = true; }, false},
      {"style hides it only while designed",
       [](TGraphicChildFacts& f) { f.HiddenAtDesignTime = true; }, true},
      {"windowed", [](TGraphicChildFacts& f) { f.Graphic = false; }, false},
      {"no width", [](TGraphicChildFacts& f) { f.Width = 0; }, false},
      {"negative height", [](TGraphicChildFacts& f) { f.Height = -3; }, false},
      {"being destroyed", [](TGraphicChildFacts& f) { f.Destroying = true; }, false},
      {"push tool button", [](TGraphicChildFacts& f) { f.PushToolButton = true; }, false},
      {"outside the DC", [](TGraphicChildFacts& f) { f.BoundsVisibleInDC = false; }, false},
  };
  for (const Case& c : cases) {
    TGraphicChildFacts f = Shown();
    c.change(f);
    EXPECT_EQ(IsPaintableGraphicChild(f), c.painted) << c.what;
  }
}

TEST(ClientArea, LiesAtTheClientOriginLessTheWindowCorner) {
  // A window at (100, 50) with a 4-pixel frame and a 20-pixel title: client at (104, 74).
  const TClientRectInWindow r = ClientRectInWindow({200, 120, 104, 74, 100, 50});
  EXPECT_EQ(r.Left, 4);
  EXPECT_EQ(r.Top, 24);
  EXPECT_EQ(r.Right, 204);
  EXPECT_EQ(r.Bottom, 144);
}

TEST(WindowAnimation, NoneRunsAtStart) { EXPECT_FALSE(AnimationRunning); }

std::vector<int> Alphas(const TskAnimationSteps& steps) {
  std::vector<int> alphas;
  for (int i = 0; i < steps.FrameCount(); ++i) alphas.push_back(steps.FrameAt(i).Alpha);
  return alphas;
}

TEST(WindowAnimation, FramesAreTheTimeInWholeTicks) {
  const struct {
    int time, frames;
  } cases[] = {{0, 0}, {11, 0}, {12, 1}, {23, 1}, {24, 2}, {100, 8}, {300, 25}, {-12, 0}};
  for (const auto& c : cases) EXPECT_EQ(AnimationFrames(c.time), c.frames) << c.time;
}

TEST(WindowAnimation, AFormShowOf300MsRisesIn26FramesBy255Over25AndEndsAtTheValue) {
  const TskAnimationSteps steps(TskAnimDirection::FormShow, atFading, 300, 255, 400, 300);
  ASSERT_EQ(steps.FrameCount(), 26);
  EXPECT_DOUBLE_EQ(steps.AlphaStep(), 255.0 / 25);
  const std::vector<int> alphas = Alphas(steps);
  for (size_t i = 0; i < alphas.size(); ++i)
    EXPECT_EQ(alphas[i], std::min(255L, std::lround((i + 1) * 255.0 / 25))) << i;
  EXPECT_EQ(alphas.front(), 10);
  EXPECT_EQ(alphas[24], 255);
  EXPECT_EQ(alphas.back(), 255);
  EXPECT_EQ(steps.FinalAlpha(), 255);
  // Fading copies the snapshot unscaled in every frame.
  EXPECT_EQ(steps.FrameAt(0).ImageRect, (TRect{0, 0, 400, 300}));
  EXPECT_FALSE(steps.FrameAt(0).Stretched);
}

TEST(WindowAnimation, ADialogShowRisesBy255Over26SoItsLastFrameIsTheFirstAtTheValue) {
  const TskAnimationSteps steps(TskAnimDirection::DialogShow, atFading, 300, 255, 400, 300);
  ASSERT_EQ(steps.FrameCount(), 26);
  EXPECT_DOUBLE_EQ(steps.AlphaStep(), 255.0 / 26);
  const std::vector<int> alphas = Alphas(steps);
  EXPECT_EQ(alphas.front(), 10);  // 9.8
  EXPECT_EQ(alphas[24], 245);     // 250 x 255 / 26 = 245.2
  EXPECT_EQ(alphas.back(), 255);
  // A form's show of a lower value never passes it.
  const TskAnimationSteps half(TskAnimDirection::FormShow, atFading, 120, 128, 10, 10);
  for (int alpha : Alphas(half)) EXPECT_LE(alpha, 128);
  EXPECT_EQ(Alphas(half).back(), 128);
}

TEST(WindowAnimation, AHideFallsFromTheStartAlphaToNothing) {
  const TskAnimationSteps steps(TskAnimDirection::Hide, atFading, 120, 255, 80, 40);
  EXPECT_EQ(Alphas(steps), (std::vector<int>{230, 204, 179, 153, 128, 102, 77, 51, 26, 0, 0}));
  EXPECT_EQ(steps.FinalAlpha(), 0);
}

TEST(WindowAnimation, TheFirstZoomedShowFrameIsThreeQuartersOfTheSnapshotCentred) {
  const TskAnimationSteps steps(TskAnimDirection::FormShow, atAero, 96, 255, 400, 320);
  const TskAnimFrame first = steps.FrameAt(0);
  EXPECT_EQ(first.ImageRect, (TRect{50, 40, 350, 280}));
  EXPECT_TRUE(first.Stretched);
  // Halfway a sixteenth is left on each side; the last frame is the whole snapshot.
  EXPECT_EQ(steps.FrameAt(4).ImageRect, (TRect{25, 20, 375, 300}));
  EXPECT_EQ(steps.FrameAt(8).ImageRect, (TRect{0, 0, 400, 320}));
  EXPECT_FALSE(steps.FrameAt(8).Stretched);
  // An odd size stays centred within a pixel.
  const TRect odd =
      TskAnimationSteps(TskAnimDirection::FormShow, atAero, 96, 255, 101, 77).FrameAt(0).ImageRect;
  EXPECT_LE(std::abs(odd.Left - (101 - odd.Right)), 1);
  EXPECT_LE(std::abs(odd.Top - (77 - odd.Bottom)), 1);
  EXPECT_EQ(odd.Width(), 75);  // 101 - 2 x 12.625, each side rounded
}

TEST(WindowAnimation, AZoomedHideShrinksFromTheWholeSnapshotToThreeQuarters) {
  const TskAnimationSteps steps(TskAnimDirection::Hide, atAero, 48, 255, 160, 80);
  ASSERT_EQ(steps.FrameCount(), 5);
  EXPECT_EQ(steps.FrameAt(0).ImageRect, (TRect{0, 0, 160, 80}));
  EXPECT_FALSE(steps.FrameAt(0).Stretched);
  EXPECT_EQ(steps.FrameAt(2).ImageRect, (TRect{10, 5, 150, 75}));
  EXPECT_EQ(steps.FrameAt(4).ImageRect, (TRect{20, 10, 140, 70}));
}

TEST(WindowAnimation, BelowOneTickThereAreNoFramesAndTheEndStateAtOnce) {
  for (TskAnimDirection direction :
       {TskAnimDirection::FormShow, TskAnimDirection::DialogShow, TskAnimDirection::Hide}) {
    const TskAnimationSteps steps(direction, atAero, 11, 200, 100, 100);
    EXPECT_EQ(steps.Frames(), 0);
    EXPECT_EQ(steps.FrameCount(), 0);
    const TskAnimFrame end = steps.FrameAt(0);
    EXPECT_EQ(end.Alpha, direction == TskAnimDirection::Hide ? 0 : 200);
    EXPECT_EQ(end.ImageRect, (TRect{0, 0, 100, 100}));
    EXPECT_FALSE(end.Stretched);
  }
}

TEST(WindowAnimation, CrossFadesMixTheOldImageOutFrameByFrame) {
  // The old border window is gone by the time the new one shows a third of the value.
  EXPECT_EQ(CrossFadeOldAlpha(255, 0), 255);
  EXPECT_EQ(CrossFadeOldAlpha(255, 200), 165);
  EXPECT_EQ(CrossFadeOldAlpha(255, 255), 0);
  EXPECT_EQ(CrossFadeOldAlpha(200, 255), 0);
  // Without layered windows: 8 frames take 31 of 256 each; past the end nothing is left.
  EXPECT_EQ(MixOldShareAt(0, 8), 255);
  EXPECT_EQ(MixOldShareAt(1, 8), 224);
  EXPECT_EQ(MixOldShareAt(8, 8), 7);
  EXPECT_EQ(MixOldShareAt(9, 8), 0);
  EXPECT_EQ(MixOldShareAt(0, 0), 0);
  EXPECT_EQ(MixChannel(255, 0, 255), 254);
  EXPECT_EQ(MixChannel(0, 200, 128), 100);
  EXPECT_EQ(MixChannel(90, 90, 200), 90);
  EXPECT_EQ(MixChannel(0, 200, 255), 0);  // 0.78 of a step, rounded down
}

}  // namespace
