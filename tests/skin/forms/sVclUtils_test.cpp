// Which graphic children are painted together with their parent, and where a client area
// lies inside its window.
#include "skin/forms/sVclUtils.h"

#include <gtest/gtest.h>

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

}  // namespace
