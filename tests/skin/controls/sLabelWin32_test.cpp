// The skinned labels under Wine: the skin's font colour (or the parent section's that gives its
// own), the colour kept without UseSkinColor, the disabled mix, the standard colour back after
// the skin goes; the web label's hover colours and its click; the sticky label following its
// control.
#include "skin/controls/sLabelWin32.h"

#include <gtest/gtest.h>

#include "framework/ExtCtrlsWin32.h"
#include "tests/skin/controls/ControlsTestSkinWin32.h"

namespace {

using namespace controlstest;
using ktest::Settle;

struct SkinnedLabel : SkinnedControls {
  template <class T>
  T* AddLabel(int left, int top, const std::string& caption) {
    auto* label = form.Add<T>();
    label->SetLeft(left);
    label->SetTop(top);
    label->Font()->SetHeight(-24);
    label->Font()->SetColor(clBlack);
    label->SetCaption(caption);
    return label;
  }
};

TEST_F(SkinnedLabel, ShowsTheSkinsFontColourUnlessItKeepsItsOwn) {
  auto* skinned = AddLabel<TsLabel>(10, 10, "MMMM");
  auto* own = AddLabel<TsLabel>(10, 60, "MMMM");
  own->SetUseSkinColor(false);
  form.Show();
  ApplySkin();
  form.Form->Repaint();
  Settle(Wnd());
  EXPECT_EQ(skinned->Font()->Color(), static_cast<TColor>(kGlobalFont));
  EXPECT_GT(CountClientPixels(Wnd(), skinned->BoundsRect(), kGlobalFont), 10);
  EXPECT_EQ(own->Font()->Color(), clBlack);
  EXPECT_GT(CountClientPixels(Wnd(), own->BoundsRect(), 0x000000), 10);
  RemoveSkin();
  EXPECT_EQ(skinned->Font()->Color(), clWindowText) << "the standard colour after the skin";
  EXPECT_EQ(own->Font()->Color(), clBlack);
}

TEST_F(SkinnedLabel, ADisabledLabelMixesItsFontIntoTheBackground) {
  auto* label = AddLabel<TsLabel>(10, 10, "MMMM");
  label->SetUseSkinColor(false);
  label->Font()->SetColor(static_cast<TColor>(0x000000));
  label->SetEnabled(false);
  form.Show();
  ApplySkin();
  form.Form->Repaint();
  Settle(Wnd());
  const COLORREF mixed = static_cast<COLORREF>(
      MixColors(static_cast<TColor>(0x000000), static_cast<TColor>(kFormColor), 0.4));
  EXPECT_GT(CountClientPixels(Wnd(), label->BoundsRect(), mixed), 10);
  EXPECT_EQ(CountClientPixels(Wnd(), label->BoundsRect(), 0xFFFFFF), 0)
      << "no engraved highlight under a skin";
}

TEST_F(SkinnedLabel, AnEmptyDisabledLabelStillMeasuresOneLine) {
  auto* label = AddLabel<TsLabel>(10, 10, "");
  label->SetEnabled(false);
  form.Show();
  ApplySkin();
  label->SetAutoSize(false);
  label->SetAutoSize(true);
  EXPECT_GT(label->Height(), 10);
}

TEST_F(SkinnedLabel, AWebLabelTurnsRedUnderTheMouseAndOpensItsAddressWhenClicked) {
  auto* link = AddLabel<TsWebLabel>(10, 10, "MMMM");
  // Both looks in the same size, so the label keeps its place under the mouse.
  link->SetLabelFont(link->Font());
  link->SetHoverFont(link->Font());
  std::vector<std::pair<std::string, int>> opened;
  link->OpenAddress = [&](const std::string& url, int show) { opened.emplace_back(url, show); };
  form.Show();
  ApplySkin();
  SetForegroundWindow(Wnd());
  const TRect b = link->BoundsRect();
  POINT centre{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
  ClientToScreen(Wnd(), &centre);
  ktest::Click(centre);
  ASSERT_TRUE(ktest::PumpUntil([&] { return link->MouseAbove(); }));
  EXPECT_TRUE(opened.empty()) << "an empty address opens nothing";
  Settle(Wnd());
  EXPECT_GT(CountClientPixels(Wnd(), link->BoundsRect(), kHoverLink), 10);
  link->SetURL("http://127.0.0.1/");
  // Away from the first click, so that the system does not make a double click of the two.
  ktest::Click(POINT{centre.x + 3 * GetSystemMetrics(SM_CXDOUBLECLK), centre.y});
  ASSERT_TRUE(ktest::PumpUntil([&] { return !opened.empty(); }));
  EXPECT_EQ(opened[0], (std::pair<std::string, int>{"http://127.0.0.1/", SW_SHOWDEFAULT}));
  ktest::MoveMouse(POINT{5, 5});
  ASSERT_TRUE(ktest::PumpUntil([&] { return !link->MouseAbove(); }));
  Settle(Wnd());
  EXPECT_GT(CountClientPixels(Wnd(), link->BoundsRect(), kLink), 10);
}

TEST_F(SkinnedLabel, AStickyLabelFollowsItsControlAndLetsGoWhenItIsFreed) {
  auto* label = AddLabel<TsStickyLabel>(0, 0, "Name");
  auto* panel = form.Add<TPanel>();
  panel->SetBounds(150, 50, 80, 21);
  form.Show();
  label->SetAttachTo(panel);
  EXPECT_EQ(label->Left(), 150 - label->Width() - 2);
  EXPECT_EQ(label->Top(), 50 + (21 - label->Height()) / 2);
  panel->SetBounds(200, 100, 80, 21);
  Settle(Wnd());
  EXPECT_EQ(label->Left(), 200 - label->Width() - 2);
  label->SetAlignTo(altTop);
  EXPECT_EQ(label->Top(), 100 - label->Height() - 2);
  panel->SetVisible(false);
  EXPECT_FALSE(label->Visible());
  panel->SetVisible(true);
  panel->SetEnabled(false);
  EXPECT_FALSE(label->Enabled());
  delete panel;
  EXPECT_EQ(label->AttachTo(), nullptr);
}

}  // namespace
