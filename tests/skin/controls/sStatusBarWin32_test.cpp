// The skinned status bar under Wine: its section behind the panels, a divider after every
// panel but the last, the last panel reaching the bar's edge, a new panel text shown at once,
// and the system's bar back without a skin.
#include "skin/controls/sStatusBarWin32.h"

#include <gtest/gtest.h>

#include "tests/skin/controls/ControlsTestSkinWin32.h"

namespace {

using namespace controlstest;
using ktest::ClientPixel;
using ktest::Settle;

struct SkinnedStatusBar : SkinnedControls {
  TsStatusBar* AddBar() {
    form.Form->SetClientWidth(835);
    auto* bar = form.Add<TsStatusBar>();
    bar->SetSizeGrip(false);
    bar->SkinData()->SetSkinSection("STATUSBAR");
    for (int i = 0; i < 5; ++i) bar->Panels()->Add()->SetWidth(150);
    return bar;
  }
  COLORREF At(TsStatusBar* bar, int x, int y) {
    Settle(Wnd());
    return ClientPixel(bar->Handle(), x, y);
  }
};

TEST_F(SkinnedStatusBar, PanelsShowTheSectionWithDividersBetweenThem) {
  TsStatusBar* bar = AddBar();
  form.Show();
  ApplySkin();
  const int middle = bar->Height() / 2;
  EXPECT_EQ(At(bar, 75, middle), kBarFace);
  for (int panel = 0; panel < 4; ++panel) {
    SCOPED_TRACE(panel);
    // Painted in (left + 1 .. right - 1): a two-pixel divider ends one pixel left of that.
    const int right = 150 * (panel + 1) - 1;
    EXPECT_EQ(At(bar, right - 2, middle), kDivider);
    EXPECT_EQ(At(bar, right - 1, middle), kDivider);
    EXPECT_EQ(At(bar, right - 3, middle), kBarFace);
  }
  for (int x = 600; x < 835; x += 5) ASSERT_EQ(At(bar, x, middle), kBarFace) << x;
}

TEST_F(SkinnedStatusBar, ANewPanelTextShowsAtOnceInTheSectionsFontColour) {
  TsStatusBar* bar = AddBar();
  bar->Font()->SetHeight(-14);
  bar->Font()->SetStyle(TFontStyles{fsBold});
  form.Show();
  ApplySkin();
  const TRect second{150, 0, 300, bar->Height()};
  HWND wnd = bar->Handle();
  const auto count = [&](COLORREF colour) {
    ktest::TScreenshot shot;
    HDC dc = GetDC(wnd);
    ktest::CaptureArea(dc, second.Left, second.Top, second.Width(), second.Height(), shot);
    ReleaseDC(wnd, dc);
    int n = 0;
    for (int y = 0; y < shot.Height; ++y)
      for (int x = 0; x < shot.Width; ++x) n += shot.ColorAt(x, y) == colour;
    return n;
  };
  Settle(Wnd());
  EXPECT_EQ(count(kBarFont), 0);
  bar->Panels()->Items(1)->SetText("MMMM");
  Settle(Wnd());
  EXPECT_GT(count(kBarFont), 10);
}

TEST_F(SkinnedStatusBar, WithoutASkinTheSystemsBarPaintsItself) {
  TsStatusBar* bar = AddBar();
  form.Show();
  ApplySkin();
  EXPECT_EQ(At(bar, 75, bar->Height() / 2), kBarFace);
  RemoveSkin();
  EXPECT_NE(At(bar, 75, bar->Height() / 2), kBarFace);
  EXPECT_EQ(SendSkinCmd(bar->Handle(), CmdIsSkinned, 0), 1);
}

}  // namespace
