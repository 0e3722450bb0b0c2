// The skinned panel under Wine: a plain section painted straight onto the screen without a
// picture kept, a see-through section composed over what lies behind it, the caption in the
// section's font colour on the panel's middle, owner painting, the mouse events, and the
// standard look without a skin.
#include "skin/controls/sPanelWin32.h"

#include <gtest/gtest.h>

#include "skin/controls/sGroupBoxWin32.h"
#include "tests/skin/controls/ContainersTestSkinWin32.h"

namespace {

using namespace containerstest;
using ktest::ClientPixel;
using ktest::CountClientPixels;
using ktest::Settle;

struct SkinnedPanel : SkinnedContainers {
  TsPanel* AddPanel(TWinControl* parent, const TRect& bounds) {
    auto* panel = new TsPanel(form.Form);
    panel->SetParent(parent);
    panel->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    panel->SetCaption("");
    return panel;
  }
  // A group box whose caption section makes its picture its children's background.
  TsGroupBox* AddPictureBox() {
    auto* box = form.Add<TsGroupBox>();
    box->SetBounds(10, 10, 300, 200);
    box->SetCaption("");
    box->SetCaptionSkin("PANEL_LOW");
    return box;
  }
};

TEST_F(SkinnedPanel, APlainSectionIsPaintedStraightAndKeepsNoPicture) {
  TsPanel* panel = AddPanel(form.Form, Bounds(20, 20, 200, 100));
  form.Show();
  ApplySkin();
  HWND wnd = panel->Handle();
  EXPECT_EQ(panel->SkinData()->SkinSection(), "PANEL");
  EXPECT_FALSE(panel->SkinData()->NeedsCache());
  for (POINT p : {POINT{0, 0}, POINT{199, 99}, POINT{1, 50}, POINT{100, 98}})
    EXPECT_EQ(ClientPixel(wnd, p.x, p.y), kBorder) << p.x << "," << p.y;
  EXPECT_EQ(ClientPixel(wnd, 100, 50), kPanelFace);
  EXPECT_EQ(panel->SkinData()->CacheBitmap, nullptr);
}

TEST_F(SkinnedPanel, ASeeThroughSectionShowsThePictureOfItsParent) {
  TsPanel* panel = AddPanel(AddPictureBox(), Bounds(40, 40, 120, 80));
  panel->SkinData()->SetSkinSection("PANEL_CLEAR");
  form.Show();
  ApplySkin();
  EXPECT_TRUE(panel->SkinData()->NeedsCache());
  for (POINT p : {POINT{0, 0}, POINT{60, 40}, POINT{119, 79}})
    EXPECT_EQ(ClientPixel(panel->Handle(), p.x, p.y), kBoxFace) << p.x << "," << p.y;
}

TEST_F(SkinnedPanel, TheCaptionStandsInTheSectionsFontColourOnThePanelsMiddle) {
  TsPanel* panel = AddPanel(form.Form, Bounds(20, 20, 200, 60));
  panel->SetCaption("WWWW");
  panel->SetBevelWidth(12);
  form.Show();
  ApplySkin();
  HWND wnd = panel->Handle();
  const int letter = panel->Canvas()->TextHeight("W");
  const int top = (60 - letter) / 2;
  EXPECT_GT(CountClientPixels(wnd, TRect{0, top, 200, top + letter}, kPanelFont), 5);
  EXPECT_EQ(CountClientPixels(wnd, TRect{0, 0, 200, top}, kPanelFont), 0);
  EXPECT_EQ(CountClientPixels(wnd, TRect{0, top + letter, 200, 60}, kPanelFont), 0);

  panel->SetCaption("");
  Settle(Wnd());
  EXPECT_EQ(CountClientPixels(wnd, TRect{0, 0, 200, 60}, kPanelFont), 0) << "no text";
}

TEST_F(SkinnedPanel, OwnerPaintingGoesOverTheCachedPictureOrTheStandardLook) {
  constexpr COLORREF kOwner = 0x3070F0;
  TsPanel* panel = AddPanel(AddPictureBox(), Bounds(40, 40, 120, 80));
  panel->SkinData()->SetSkinSection("PANEL_CLEAR");
  int calls = 0;
  panel->SetOnPaint(TPaintEvent([&](TObject*, TCanvas* canvas) {
    ++calls;
    canvas->Brush()->SetColor(static_cast<TColor>(kOwner));
    canvas->FillRect(Rect(50, 30, 70, 50));
  }));
  form.Show();
  Settle(Wnd());
  HWND wnd = panel->Handle();
  EXPECT_GT(calls, 0);
  EXPECT_EQ(ClientPixel(wnd, 60, 40), kOwner) << "without a skin";

  ApplySkin();
  EXPECT_EQ(ClientPixel(wnd, 60, 40), kOwner) << "over the cached picture";
  EXPECT_EQ(ClientPixel(wnd, 10, 10), kBoxFace);
}

TEST_F(SkinnedPanel, MouseEnterAndLeaveFireWithAndWithoutASkin) {
  TsPanel* panel = AddPanel(form.Form, Bounds(20, 20, 200, 100));
  int entered = 0, left = 0;
  panel->SetOnMouseEnter(TNotifyEvent([&](TObject*) { ++entered; }));
  panel->SetOnMouseLeave(TNotifyEvent([&](TObject*) { ++left; }));
  form.Show();
  Settle(Wnd());
  for (bool skinned : {false, true}) {
    if (skinned) ApplySkin();
    const int enteredBefore = entered, leftBefore = left;
    ASSERT_TRUE(ktest::MovePointerTo(ktest::ClientCentreOf(panel->Handle())));
    EXPECT_TRUE(ktest::PumpUntil([&] { return entered == enteredBefore + 1; })) << skinned;
    POINT outside{5, 5};
    ClientToScreen(Wnd(), &outside);
    ASSERT_TRUE(ktest::MovePointerTo(outside));
    EXPECT_TRUE(ktest::PumpUntil([&] { return left == leftBefore + 1; })) << skinned;
  }
}

TEST_F(SkinnedPanel, WithoutASkinItKeepsTheStandardLook) {
  TsPanel* panel = AddPanel(form.Form, Bounds(20, 20, 200, 100));
  form.Show();
  Settle(Wnd());
  HWND wnd = panel->Handle();
  EXPECT_EQ(SendSkinCmd(wnd, CmdIsSkinned, 0), 1);
  const COLORREF face = static_cast<COLORREF>(ColorToRGB(clBtnFace));
  EXPECT_EQ(ClientPixel(wnd, 100, 50), face);
  ApplySkin();
  EXPECT_EQ(ClientPixel(wnd, 100, 50), kPanelFace);
  RemoveSkin();
  EXPECT_EQ(ClientPixel(wnd, 100, 50), face) << "the standard look is back";
}

}  // namespace
