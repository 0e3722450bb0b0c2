// The skinned group box under Wine: its frame from the section below the caption band, the
// band over the parent's background with the caption in the section's font colour (its
// disabled colour while the box is disabled), its children left alone, and the standard look
// without a skin.
#include "skin/controls/sGroupBoxWin32.h"

#include <gtest/gtest.h>

#include "skin/core/pixels/sColors.h"
#include "tests/skin/controls/ContainersTestSkinWin32.h"

namespace {

using namespace containerstest;
using ktest::ClientPixel;
using ktest::PumpUntil;
using ktest::Settle;

struct SkinnedGroupBox : SkinnedContainers {
  TsGroupBox* AddBox(const std::string& caption) {
    auto* box = form.Add<TsGroupBox>();
    box->SetBounds(20, 20, 220, 120);
    box->SetCaption(caption);
    return box;
  }
};

TEST_F(SkinnedGroupBox, TheFrameBeginsBelowTheCaptionBandWhichShowsTheParent) {
  TsGroupBox* box = AddBox("Work");
  form.Show();
  ApplySkin();
  HWND wnd = box->Handle();
  EXPECT_EQ(box->SkinData()->SkinSection(), "GROUPBOX");
  const TRect band = box->CaptionRect();
  const int top = GroupFrameTop(band, 0);
  ASSERT_GT(top, 3);
  EXPECT_EQ(ClientPixel(wnd, 1, top - 2), kFormColor) << "left of the caption, above the frame";
  EXPECT_EQ(ClientPixel(wnd, 200, 1), kFormColor) << "right of the caption";
  for (POINT p : {POINT{0, top}, POINT{219, top + 1}, POINT{1, 119}, POINT{219, 60}})
    EXPECT_EQ(ClientPixel(wnd, p.x, p.y), kBorder) << p.x << "," << p.y;
  EXPECT_EQ(ClientPixel(wnd, 110, 70), kBoxFace);
  EXPECT_GT(ktest::CountClientPixels(wnd, band, kBoxFont), 5)
      << "the caption in the section's font colour";
}

TEST_F(SkinnedGroupBox, ADisabledBoxShowsItsCaptionInTheSkinsDisabledTextColour) {
  TsGroupBox* box = AddBox("Work");
  form.Show();
  ApplySkin();
  HWND wnd = box->Handle();
  const TRect band = box->CaptionRect();
  const auto disabled = static_cast<COLORREF>(
      MixColors(static_cast<TColor>(kBoxFont), f.Manager->GlobalColor(), 0.4));
  ASSERT_NE(disabled, kBoxFont);
  box->SetEnabled(false);
  Settle(Wnd());
  EXPECT_EQ(ktest::CountClientPixels(wnd, band, kBoxFont), 0);
  EXPECT_GT(ktest::CountClientPixels(wnd, band, disabled), 5);
  EXPECT_EQ(ClientPixel(wnd, 110, 70), kBoxFace) << "the frame and face stay as they are";
  box->SetEnabled(true);
  Settle(Wnd());
  EXPECT_GT(ktest::CountClientPixels(wnd, band, kBoxFont), 5) << "enabled again, full colour";
}

TEST_F(SkinnedGroupBox, ChildrenKeepTheirOwnPictureAndADisabledBoxLooksTheSame) {
  TsGroupBox* box = AddBox("Work");
  auto* child = new TEdit(form.Form);
  child->SetParent(box);
  child->SetBounds(40, 40, 100, 24);
  form.Show();
  ApplySkin();
  const COLORREF inChild = ClientPixel(child->Handle(), 50, 12);
  EXPECT_NE(inChild, kBoxFace) << "the box's picture is copied around its children";
  box->SetEnabled(false);
  Settle(Wnd());
  EXPECT_EQ(ClientPixel(box->Handle(), 200, 100), kBoxFace);
  EXPECT_FALSE(child->CanFocus()) << "a disabled box's children take no focus";
}

TEST_F(SkinnedGroupBox, ACaptionMovedUpMovesTheClientAreaAndTheFrameToTheTop) {
  TsGroupBox* box = AddBox("Work");
  form.Show();
  ApplySkin();
  const int clientTop = box->ClientRect().Top;
  box->SetCaptionYOffset(-5);
  Settle(Wnd());
  EXPECT_EQ(box->ClientRect().Top, clientTop - 5);
  EXPECT_EQ(box->CaptionRect().Top, -5);
  EXPECT_EQ(ClientPixel(box->Handle(), 110, 0), kBorder) << "the frame begins at the top";
}

TEST_F(SkinnedGroupBox, WithoutASkinItKeepsTheStandardLook) {
  TsGroupBox* box = AddBox("Work");
  form.Show();
  Settle(Wnd());
  EXPECT_EQ(SendSkinCmd(box->Handle(), CmdIsSkinned, 0), 1);
  EXPECT_NE(ClientPixel(box->Handle(), 110, 70), kBoxFace);
  ApplySkin();
  EXPECT_EQ(ClientPixel(box->Handle(), 110, 70), kBoxFace);
  RemoveSkin();
  EXPECT_NE(ClientPixel(box->Handle(), 110, 70), kBoxFace) << "the standard look is back";
}

}  // namespace
