// The skinned tool bar under Wine: its background and each button's look (normal, hot,
// pressed) painted from the skin and read back, clicks through real input, the disabled bar
// whose buttons look disabled, the divider strip of a flat bar's separator, a bar built anew
// by a skin refresh, and the system's own look without a skin.
#include "skin/controls/sToolBarWin32.h"

#include <gtest/gtest.h>

#include "tests/skin/controls/ButtonsTestSkinWin32.h"

namespace {

using namespace buttonstest;
using ktest::PumpUntil;
using ktest::Settle;

struct SkinnedToolBar : SkinnedButtons {
  TsToolBar* AddBar() {
    bar = form.Add<TsToolBar>();
    bar->SetAlign(alNone);
    bar->SetBounds(10, 10, 300, 30);
    bar->SetFlat(true);
    bar->SetButtonWidth(40);
    bar->SetButtonHeight(24);
    for (int i = 0; i < 3; ++i) {
      auto* b = new TToolButton(form.Form);
      if (i == 1) {
        b->SetStyle(tbsSeparator);
        b->SetWidth(12);
      }
      b->SetOnClick(TNotifyEvent([this](TObject*) { ++clicks; }));
      b->SetParent(bar);
    }
    return bar;
  }
  COLORREF Pixel(TToolButton* b, int x, int y) {
    return ktest::ClientPixel(bar->Handle(), b->Left() + x, b->Top() + y);
  }
  POINT ScreenPoint(TToolButton* b) {
    POINT p{b->Left() + b->Width() / 2, b->Top() + b->Height() / 2};
    ClientToScreen(bar->Handle(), &p);
    return p;
  }
  // The look a button shows: its border colour's index, -1 for none.
  int ShownLook(TToolButton* b) {
    Settle(Wnd());
    const COLORREF border = Pixel(b, 0, 0);
    for (int s = 0; s < 3; ++s)
      if (border == kBorder[s]) {
        EXPECT_EQ(Pixel(b, 5, 5), kFace[s]) << "the face of look " << s;
        return s;
      }
    return -1;
  }
  TsToolBar* bar = nullptr;
  int clicks = 0;
};

TEST_F(SkinnedToolBar, TheBarAndEachLookOfItsButtonsComeFromTheSkin) {
  AddBar();
  form.Show();
  ApplySkin();
  SetForegroundWindow(Wnd());
  TToolButton* first = bar->Buttons(0);
  ASSERT_GT(first->Width(), 10);
  EXPECT_EQ(ktest::ClientPixel(bar->Handle(), 290, 15), kBar) << "the bar's own section";
  EXPECT_EQ(ShownLook(first), 0) << "normal";
  ASSERT_TRUE(ktest::MovePointerTo(ScreenPoint(first)));
  EXPECT_TRUE(PumpUntil([&] { return ShownLook(first) == 1; })) << "hot under the mouse";
  ASSERT_TRUE(LeftButton(true));
  EXPECT_TRUE(PumpUntil([&] { return ShownLook(first) == 2; })) << "pressed";
  ASSERT_TRUE(LeftButton(false));
  EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
  EXPECT_TRUE(PumpUntil([&] { return ShownLook(first) == 1; })) << "hot after the release";
  ktest::ParkPointer();
  EXPECT_TRUE(PumpUntil([&] { return ShownLook(first) == 0; })) << "normal once the mouse left";
}

TEST_F(SkinnedToolBar, TheButtonsOfADisabledBarLookDisabledAndTakeNoClick) {
  AddBar();
  form.Show();
  ApplySkin();
  bar->SetEnabled(false);
  Settle(Wnd());
  TToolButton* first = bar->Buttons(0);
  EXPECT_TRUE(first->Enabled()) << "the button itself stays enabled";
  const COLORREF border = Pixel(first, 0, 0);
  EXPECT_NE(border, kBorder[0]);
  EXPECT_TRUE(Near(border,
                   static_cast<COLORREF>(
                       MixColors(static_cast<TColor>(kBorder[0]), static_cast<TColor>(kBar), 0.4)),
                   8))
      << std::hex << border;
  SetForegroundWindow(Wnd());
  ktest::Click(ScreenPoint(first));
  ktest::Pump();
  EXPECT_EQ(clicks, 0);
  bar->SetEnabled(true);
  EXPECT_EQ(ShownLook(first), 0) << "enabled again, the normal look is back";
}

TEST_F(SkinnedToolBar, AFlatBarsSeparatorShowsTheDividerStrip) {
  AddBar();
  form.Show();
  ApplySkin();
  Settle(Wnd());
  TToolButton* separator = bar->Buttons(1);
  const int middle = separator->Width() / 2;
  EXPECT_EQ(Pixel(separator, middle, separator->Height() / 2), kDividerMask);
  EXPECT_EQ(Pixel(separator, 0, separator->Height() / 2), kBar);
}

TEST_F(SkinnedToolBar, ASkinRefreshBuildsTheBarAnewWithItsButtonsLooksAndClicks) {
  AddBar();
  form.Show();
  ApplySkin();
  Settle(Wnd());
  const HWND before = bar->Handle();
  Tell(CmdRefresh);
  Settle(Wnd());
  EXPECT_NE(bar->Handle(), before) << "a new system bar";
  EXPECT_EQ(SendMessageA(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 3) << "every button is back";
  EXPECT_EQ(ktest::ClientPixel(bar->Handle(), 290, 15), kBar);
  TToolButton* first = bar->Buttons(0);
  EXPECT_EQ(ShownLook(first), 0);
  SetForegroundWindow(Wnd());
  ASSERT_TRUE(ktest::MovePointerTo(ScreenPoint(first)));
  EXPECT_TRUE(PumpUntil([&] { return ShownLook(first) == 1; })) << "hot under the mouse";
  ktest::Click(ScreenPoint(first));
  EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
}

TEST_F(SkinnedToolBar, WithoutASkinTheSystemBarPaintsItselfAndStillClicks) {
  AddBar();
  form.Show();
  Settle(Wnd());
  EXPECT_NE(ktest::ClientPixel(bar->Handle(), 290, 15), kBar);
  ApplySkin();
  EXPECT_EQ(ktest::ClientPixel(bar->Handle(), 290, 15), kBar);
  RemoveSkin();
  Settle(Wnd());
  EXPECT_NE(ktest::ClientPixel(bar->Handle(), 290, 15), kBar) << "the system's look is back";
  EXPECT_NE(Pixel(bar->Buttons(0), 0, 0), kBorder[0]);
  SetForegroundWindow(Wnd());
  ktest::Click(ScreenPoint(bar->Buttons(0)));
  EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
}

}  // namespace
