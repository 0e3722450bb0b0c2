// The skinned gauge under Wine: the filled part of a bar from the progress section over the
// gauge's own, an upright bar, the light strip running over the filled part, the classic
// painting without a skin with its inverted text, and repaints only on a new percentage.
#include "skin/controls/sGaugeWin32.h"

#include <gtest/gtest.h>

#include "tests/skin/controls/ControlsTestSkinWin32.h"

namespace {

using namespace controlstest;
using ktest::ClientPixel;
using ktest::Settle;

struct SkinnedGauge : SkinnedControls {
  TsGauge* AddGauge(int width, int height) {
    auto* gauge = form.Add<TsGauge>();
    gauge->SetBounds(20, 20, width, height);
    gauge->SkinData()->SetSkinSection("GAUGE");
    return gauge;
  }
  // The gauge's pixel as the form shows it.
  COLORREF At(TsGauge* gauge, int x, int y) {
    Settle(Wnd());
    return ClientPixel(Wnd(), gauge->Left() + x, gauge->Top() + y);
  }
};

TEST_F(SkinnedGauge, ABarFillsItsShareFromTheProgressSectionOverItsOwn) {
  TsGauge* gauge = AddGauge(200, 20);
  gauge->SetAnimated(false);
  gauge->SetShowText(false);
  form.Show();
  ApplySkin();
  struct TCase {
    int Progress;
    int Filled;  // pixels of 200
  } const cases[] = {{0, 0}, {25, 50}, {47, 94}, {100, 200}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Progress);
    gauge->SetProgress(c.Progress);
    if (c.Filled > 0) {
      EXPECT_EQ(At(gauge, 0, 10), kProgress);
      EXPECT_EQ(At(gauge, c.Filled - 1, 10), kProgress);
    }
    if (c.Filled < 200) {
      EXPECT_EQ(At(gauge, c.Filled, 10), kGaugeFace);
      EXPECT_EQ(At(gauge, 199, 10), kGaugeFace);
    }
  }
}

TEST_F(SkinnedGauge, TheTextTakesTheProgressColoursOverTheFilledPart) {
  TsGauge* gauge = AddGauge(200, 30);
  gauge->SetAnimated(false);
  gauge->Font()->SetHeight(-22);
  gauge->Font()->SetStyle(TFontStyles{fsBold});
  form.Show();
  ApplySkin();
  gauge->SetProgress(50);  // the text "50%" is cut in the middle by the end of the fill
  Settle(Wnd());
  const TRect left{20, 20, 120, 50}, right{120, 20, 220, 50};
  EXPECT_GT(CountClientPixels(Wnd(), left, kProgressFont), 5);
  EXPECT_GT(CountClientPixels(Wnd(), right, kGaugeFont), 5);
  EXPECT_EQ(CountClientPixels(Wnd(), left, kGaugeFont), 0);
  EXPECT_EQ(CountClientPixels(Wnd(), right, kProgressFont), 0);
  EXPECT_EQ(gauge->ShownText(), "50%");
}

TEST_F(SkinnedGauge, AnUprightBarGrowsFromTheBottomWithItsOwnSection) {
  TsGauge* gauge = AddGauge(20, 100);
  gauge->SetKind(gkVerticalBar);
  gauge->SetAnimated(false);
  gauge->SetShowText(false);
  form.Show();
  ApplySkin();
  gauge->SetProgress(30);
  EXPECT_EQ(At(gauge, 10, 99), kProgressV);
  EXPECT_EQ(At(gauge, 10, 70), kProgressV);
  EXPECT_EQ(At(gauge, 10, 69), kGaugeFace);
  // Animated, a vertical bar is the horizontal progress section turned.
  gauge->SetAnimated(true);
  gauge->Repaint();
  // The light strip runs over the filled part and lightens what it crosses: the point shows
  // the section's own colour whenever the strip is elsewhere.
  EXPECT_TRUE(ktest::PumpUntil([&] { return At(gauge, 10, 90) == kProgress; }, 10000))
      << std::hex << At(gauge, 10, 90);
  EXPECT_EQ(At(gauge, 10, 60), kGaugeFace);
}

TEST_F(SkinnedGauge, TheLightStripRunsOverTheFilledPartOnly) {
  TsGauge* gauge = AddGauge(300, 20);
  gauge->SetShowText(false);
  form.Show();
  ApplySkin();
  gauge->SetProgress(50);
  ASSERT_TRUE(gauge->LightTimer()->Enabled());
  // Somewhere over the filled part the strip lightens the progress colour.
  bool lit = false, outside = false;
  ASSERT_TRUE(ktest::PumpUntil([&] {
    for (int x = 0; x < 300; x += 5) {
      const COLORREF c = ClientPixel(Wnd(), gauge->Left() + x, gauge->Top() + 10);
      if (x < 150 && c != kProgress && GetGValue(c) > GetGValue(kProgress)) lit = true;
      if (x >= 150 && c != kGaugeFace) outside = true;
    }
    return lit;
  })) << "the strip never showed";
  EXPECT_FALSE(outside) << "the strip stays on the filled part";
  RemoveSkin();
  EXPECT_TRUE(ktest::PumpUntil([&] { return !gauge->LightTimer()->Enabled(); }))
      << "without a skin the strip's timer stops";
  ApplySkin();
  EXPECT_TRUE(gauge->LightTimer()->Enabled()) << "a new skin starts it again";
}

TEST_F(SkinnedGauge, WithoutASkinTheBarIsFramedAndItsTextInverted) {
  TsGauge* gauge = AddGauge(202, 30);
  gauge->SetForeColor(clBlack);
  gauge->SetBackColor(clWhite);
  gauge->Font()->SetHeight(-22);
  gauge->Font()->SetStyle(TFontStyles{fsBold});
  form.Show();
  gauge->SetProgress(50);
  EXPECT_EQ(At(gauge, 0, 0), 0x000000u) << "a one-pixel black frame";
  EXPECT_EQ(At(gauge, 201, 15), 0x000000u);
  EXPECT_EQ(At(gauge, 3, 3), 0x000000u) << "ForeColor fills the first half";
  EXPECT_EQ(At(gauge, 198, 3), 0xFFFFFFu) << "BackColor the rest";
  const TRect filled{21, 21, 121, 49}, empty{122, 21, 221, 49};
  EXPECT_GT(CountClientPixels(Wnd(), filled, 0xFFFFFF), 5) << "white text over the fill";
  EXPECT_GT(CountClientPixels(Wnd(), empty, 0x000000), 5) << "black text over the back";
  gauge->SetBorderStyle(bsNone);
  EXPECT_EQ(At(gauge, 199, 0), 0xFFFFFFu) << "no frame";
}

TEST_F(SkinnedGauge, ProgressRepaintsOnlyOnANewPercentageAndAlwaysTellsItsChange) {
  TsGauge* gauge = AddGauge(200, 20);
  gauge->SetAnimated(false);
  gauge->SetCalcPercents(false);
  gauge->SetMaxValue(1000);
  int changes = 0;
  gauge->SetOnChange([&](TObject*) { ++changes; });
  form.Show();
  ApplySkin();
  gauge->SetProgress(470);
  EXPECT_EQ(gauge->ShownText(), "470%");
  EXPECT_EQ(changes, 1);
  gauge->SetProgress(-5);
  EXPECT_EQ(gauge->Progress(), 0);
  EXPECT_EQ(changes, 2);
  gauge->SetProgress(-9);
  EXPECT_EQ(changes, 2) << "clamped to the same value: no change";
  EXPECT_THROW(gauge->SetMaxValue(-1), EInvalidOperation);
  EXPECT_EQ(gauge->MaxValue(), 1000);
}

}  // namespace

namespace {

TEST_F(SkinnedGauge, AGaugeThatMissedTheSkinsNewsTakesTheSkinWhenItPaints) {
  // A window built before its skin is loaded: the gauge has no window to hear the news.
  TsGauge* gauge = AddGauge(200, 20);
  gauge->SetAnimated(false);
  gauge->SetShowText(false);
  gauge->SetProgress(50);
  f.Manager->SetSkinName("Controls");
  form.Show();
  gauge->Repaint();
  EXPECT_EQ(At(gauge, 10, 10), kProgress);
  EXPECT_EQ(At(gauge, 150, 10), kGaugeFace);
}

}  // namespace
