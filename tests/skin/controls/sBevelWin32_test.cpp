// The skinned bevel under Wine: only the strips of its section's picture that stand for its
// lines, the section following shape and style, and the standard look without a skin.
#include "skin/controls/sBevelWin32.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/skin/controls/ContainersTestSkinWin32.h"

namespace {

using namespace containerstest;
using ktest::ClientPixel;
using ktest::Settle;

struct SkinnedBevel : SkinnedContainers {
  TsBevel* AddBevel(TBevelShape shape, TBevelStyle style, const TRect& bounds) {
    form.Form->SetClientWidth(std::max(form.Form->ClientWidth(), bounds.Right + 20));
    auto* bevel = form.Add<TsBevel>();
    bevel->SetShape(shape);
    bevel->SetStyle(style);
    bevel->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    return bevel;
  }
};

TEST_F(SkinnedBevel, ATopLineShowsOnlyTheTopStripOfTheLoweredPanel) {
  TsBevel* bevel = AddBevel(bsTopLine, bsLowered, Bounds(4, 28, 533, 5));
  form.Show();
  ApplySkin();
  EXPECT_EQ(bevel->SkinData()->SkinSection(), "PANEL_LOW");
  struct Probe {
    int x, y;
    COLORREF colour;
    const char* where;
  };
  const Probe probes[] = {
      {4 + 3, 28, kLowBorder, "the strip's first pixel"},
      {4 + 529, 28 + 2, kLowBorder, "the strip's last pixel"},
      {4 + 260, 28 + 1, kLowBorder, "the strip's middle"},
      {4 + 1, 28 + 1, kFormColor, "the clear end on the left"},
      {4 + 531, 28 + 1, kFormColor, "the clear end on the right"},
      {4 + 260, 28 + 3, kFormColor, "below the strip"},
  };
  for (const Probe& p : probes) EXPECT_EQ(ClientPixel(Wnd(), p.x, p.y), p.colour) << p.where;
}

TEST_F(SkinnedBevel, ShapeAndStyleChooseTheSectionAndFrameShowsFourEdges) {
  TsBevel* bevel = AddBevel(bsBox, bsRaised, Bounds(20, 60, 60, 40));
  form.Show();
  ApplySkin();
  EXPECT_EQ(bevel->SkinData()->SkinSection(), "PANEL");
  EXPECT_EQ(ClientPixel(Wnd(), 20, 60), kBorder);
  EXPECT_EQ(ClientPixel(Wnd(), 50, 80), kFormColor) << "the inside is left to the parent";

  bevel->SetShape(bsFrame);
  bevel->SetStyle(bsLowered);
  Settle(Wnd());
  EXPECT_EQ(bevel->SkinData()->SkinSection(), "GROUPBOX") << "a frame whatever its style";
  for (POINT p : {POINT{20, 60}, POINT{79, 99}, POINT{21, 80}, POINT{78, 80}})
    EXPECT_EQ(ClientPixel(Wnd(), p.x, p.y), kBorder) << p.x << "," << p.y;
  EXPECT_EQ(ClientPixel(Wnd(), 50, 80), kFormColor);

  bevel->SetShape(bsLeftLine);
  bevel->SetStyle(bsLowered);
  Settle(Wnd());
  EXPECT_EQ(bevel->SkinData()->SkinSection(), "PANEL_LOW");
  EXPECT_EQ(ClientPixel(Wnd(), 21, 80), kLowBorder);
  EXPECT_EQ(ClientPixel(Wnd(), 78, 80), kFormColor) << "no right edge on a left line";
}

TEST_F(SkinnedBevel, WithoutASkinItDrawsTheStandardLines) {
  AddBevel(bsTopLine, bsLowered, Bounds(4, 28, 533, 5));
  form.Show();
  Settle(Wnd());
  EXPECT_EQ(ClientPixel(Wnd(), 260, 28), static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
  ApplySkin();
  EXPECT_EQ(ClientPixel(Wnd(), 260, 28), kLowBorder);
  RemoveSkin();
  Settle(Wnd());
  EXPECT_EQ(ClientPixel(Wnd(), 260, 28), static_cast<COLORREF>(ColorToRGB(clBtnShadow)))
      << "the standard lines are back";
}

}  // namespace
