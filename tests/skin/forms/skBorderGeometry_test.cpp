// Where the extended border window lies and what its pixels answer, as tables: the owner's
// offsets (so that the owner's client area falls exactly on the image's), the window's place
// and region, the shadow, and the hit codes of edges, corners, title, icon, menu line and grip.
#include "skin/forms/skBorderGeometry.h"

#include <gtest/gtest.h>

namespace {

// A sizeable 400 x 300 form with a caption, the skin's border 6 and title 30, and a shadow of
// 11, 7, 11, 11 around it.
TsFormFacts Sizeable() {
  TsFormFacts f;
  f.Border = TsFrameBorder::Sizeable;
  f.Width = 400;
  f.Height = 300;
  f.ClientWidth = 392;
  f.ClientHeight = 273;
  f.BorderWindow = true;
  f.ShadowMargins = TRect{11, 7, 11, 11};
  f.Skin.BorderWidth = 6;
  f.Skin.TitleHeight = 30;
  return f;
}

// The owner's client area lies in its window at its frame, below its caption and menu bar.
TPoint OwnerClientOrigin(const TsFormFacts& f) {
  const int frame = GetBorderWidth(f, false);
  const int caption = HasFrame(f) && f.CaptionBits ? GetCaptionHeight(f, false) : 0;
  const int menuBar = f.MenuLines > 0 ? f.MenuLines * (f.Metrics.CyMenu - 1) + 1 : 0;
  return TPoint{frame, frame + caption + menuBar};
}

TEST(BorderGeometry, TheOwnersClientAreaFallsOnTheImagesClientArea) {
  struct Case {
    const char* name;
    void (*change)(TsFormFacts&);
    int offsetX, offsetY;
  };
  const Case cases[] = {
      {"sizeable", [](TsFormFacts&) {}, 13, 14},
      {"with a menu line", [](TsFormFacts& f) { f.MenuLines = 1; }, 13, 14},
      {"two menu lines", [](TsFormFacts& f) { f.MenuLines = 2; }, 13, 14},
      {"single border",
       [](TsFormFacts& f) {
         f.Border = TsFrameBorder::Single;
         f.ThickFrame = false;
       },
       14, 15},
      {"without caption", [](TsFormFacts& f) { f.CaptionBits = false; }, 13, 3},
      {"no shadow", [](TsFormFacts& f) { f.ShadowMargins = TRect{}; }, 2, 7},
      {"skin border 0 (the system's)", [](TsFormFacts& f) { f.Skin.BorderWidth = 0; }, 11, 14},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TsFormFacts f = Sizeable();
    c.change(f);
    EXPECT_EQ(GetOwnerOffsetX(f), c.offsetX);
    EXPECT_EQ(GetOwnerOffsetY(f), c.offsetY);
    if (!f.CaptionBits) continue;  // without caption the image has no title to line up
    const TPoint client = OwnerClientOrigin(f);
    EXPECT_EQ(client.X + GetOwnerOffsetX(f), GetClientOffsetX(f));
    EXPECT_EQ(client.Y + GetOwnerOffsetY(f), GetClientOffsetY(f));
  }
}

TEST(BorderGeometry, ACompactMaximizedTitleLiesByTheFrameAndTheTitleDelta) {
  TsFormFacts f = Sizeable();
  f.Maximized = true;
  f.CompactMaxTitle = true;
  // Frame 4 + top shadow 7 + title delta (30 - 23 - 4).
  EXPECT_EQ(GetOwnerOffsetY(f), 14);
}

TEST(BorderGeometry, TheWindowLiesAroundTheOwnerAndAMaximizedOneShowsNoBottom) {
  const TsFormFacts f = Sizeable();
  const TSize image{GetImageWidth(f), GetImageHeight(f)};
  ASSERT_EQ(image, (TSize{426, 327}));
  const TRect owner{100, 50, 500, 350};
  EXPECT_EQ(PlaceBorderWindow(f, owner, image, false),
            (TskBorderPlacement{TRect{87, 36, 513, 363}, image}));
  TsFormFacts max = f;
  max.Maximized = true;
  // Less the bottom shadow 11 and the skin's border 6, and 5 more with composition.
  EXPECT_EQ(PlaceBorderWindow(max, owner, image, false).ShownSize, (TSize{426, 310}));
  EXPECT_EQ(PlaceBorderWindow(max, owner, image, true).ShownSize, (TSize{426, 305}));
  EXPECT_EQ(PlaceBorderWindow(max, owner, image, true).Bounds, (TRect{87, 36, 513, 341}));
}

TEST(BorderGeometry, TheRegionCutsOutTheOwnersClientAndMenuUnlessTheWholeImageShows) {
  TsFormFacts f = Sizeable();
  const TSize size{426, 327};
  EXPECT_EQ(PlanBorderRegion(f, size, false),
            (TskBorderRegion{TRect{0, 0, 426, 327}, TRect{17, 37, 17 + 392, 37 + 273}}));
  EXPECT_EQ(PlanBorderRegion(f, size, true), (TskBorderRegion{TRect{0, 0, 426, 327}, TRect{}}));
  f.MenuLines = 1;
  f.ClientHeight = 254;
  // The hole begins at the menu line's top, 19 above the client area.
  EXPECT_EQ(PlanBorderRegion(f, size, false).Hole, (TRect{17, 37, 17 + 392, 56 + 254}));
  TsFormFacts max = Sizeable();
  max.Maximized = true;
  // Inside the frame (4 + border delta 2) and the shadow; the top 4 below the shadow.
  EXPECT_EQ(PlanBorderRegion(max, size, true).Bounds, (TRect{17, 11, 426 - 17, 327 - 17}));
}

TEST(BorderGeometry, HitCodesOfTheFrame) {
  const TSize size{426, 327};
  const int right = 426 - 11 - 1, bottom = 327 - 11 - 1;
  struct Case {
    const char* name;
    TPoint p;
    int code;
    void (*change)(TsFormFacts&, TskBorderHitFacts&);
  };
  auto none = [](TsFormFacts&, TskBorderHitFacts&) {};
  const Case cases[] = {
      {"top-left corner", {11, 7}, 13, none},
      {"top-left corner's far bound", {15, 11}, 13, none},
      {"top edge", {200, 7}, 12, none},
      {"top-right corner", {right, 8}, 14, none},
      {"left edge", {11, 150}, 10, none},
      {"right edge", {right, 150}, 11, none},
      {"bottom edge", {200, bottom}, 15, none},
      {"bottom-left corner", {12, bottom}, 16, none},
      {"bottom-right corner", {right, bottom}, 17, none},
      {"title", {200, 20}, 2, none},
      {"title's last row", {200, 36}, 2, none},
      {"icon",
       {20, 20},
       3,
       [](TsFormFacts&, TskBorderHitFacts& h) {
         h.IconRect = TRect{17, 14, 33, 30};
       }},
      {"close button",
       {380, 20},
       20,
       [](TsFormFacts&, TskBorderHitFacts& h) { h.ButtonCode = 20; }},
      {"user button",
       {340, 20},
       1003,
       [](TsFormFacts&, TskBorderHitFacts& h) { h.ButtonCode = 1003; }},
      {"a button over an edge wins",
       {200, 8},
       8,
       [](TsFormFacts&, TskBorderHitFacts& h) { h.ButtonCode = 8; }},
      {"menu line", {200, 40}, 5, [](TsFormFacts& f, TskBorderHitFacts&) { f.MenuLines = 1; }},
      {"below the menu line",
       {200, 60},
       0,
       [](TsFormFacts& f, TskBorderHitFacts&) { f.MenuLines = 1; }},
      {"grip", {400, 300}, 17, [](TsFormFacts&, TskBorderHitFacts& h) { h.GripAt = true; }},
      {"client", {200, 150}, 0, none},
      {"maximized: no top edge",
       {200, 7},
       2,
       [](TsFormFacts& f, TskBorderHitFacts&) { f.Maximized = true; }},
      {"maximized: no left edge",
       {11, 150},
       0,
       [](TsFormFacts& f, TskBorderHitFacts&) { f.Maximized = true; }},
      {"fixed border: no edges",
       {11, 7},
       2,
       [](TsFormFacts& f, TskBorderHitFacts&) { f.ThickFrame = false; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TsFormFacts f = Sizeable();
    TskBorderHitFacts hit;
    c.change(f, hit);
    EXPECT_EQ(BorderHitTest(f, size, c.p, hit), c.code);
  }
}

TEST(BorderGeometry, TheShadowLiesOutsideTheFrameExceptWhenMaximized) {
  const TSize size{426, 327};
  struct Case {
    TPoint p;
    bool outside;
  };
  const Case cases[] = {{{10, 100}, true},   {{11, 100}, false},  {{200, 6}, true},
                        {{200, 7}, false},   {{414, 100}, false}, {{415, 100}, true},
                        {{200, 315}, false}, {{200, 316}, true},  {{0, 0}, true}};
  const TsFormFacts f = Sizeable();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.p.X << "," << c.p.Y);
    EXPECT_EQ(IsOutsideFrame(f, size, c.p), c.outside);
  }
  TsFormFacts max = f;
  max.Maximized = true;
  EXPECT_FALSE(IsOutsideFrame(max, size, TPoint{0, 0}));
}

}  // namespace

namespace {

// A double click on a side edge stretches the form over the work area's width, on the top
// or bottom edge over its height, with the wider border and title meeting the work area's
// edges; the same double click again gives back the form's place and size on that axis
// only, and a form moved or sized in between is stretched anew.
TEST(BorderGeometry, AnEdgeDoubleClickStretchesTheFormAndASecondGivesItBack) {
  const TsFormFacts f = Sizeable();
  const int border = GetExBorderDelta(f), title = GetExTitleDelta(f);
  ASSERT_GT(border, 0);
  ASSERT_GT(title, 0);
  EXPECT_EQ(StretchAxisOf(10), TskStretchAxis::Width);   // left
  EXPECT_EQ(StretchAxisOf(11), TskStretchAxis::Width);   // right
  EXPECT_EQ(StretchAxisOf(12), TskStretchAxis::Height);  // top
  EXPECT_EQ(StretchAxisOf(15), TskStretchAxis::Height);  // bottom
  for (int corner : {13, 14, 16, 17, 2, 3, 0})
    EXPECT_EQ(StretchAxisOf(corner), TskStretchAxis::None);

  const TRect work{0, 0, 1024, 738};
  const TRect form{200, 150, 600, 450};
  TskEdgeStretch stretch;
  const TRect wide = stretch.Toggle(f, form, work, TskStretchAxis::Width);
  EXPECT_EQ(wide, (TRect{border, 150, 1024 - border, 450}));
  // The height stretches on its own and comes back on its own.
  const TRect both = stretch.Toggle(f, wide, work, TskStretchAxis::Height);
  EXPECT_EQ(both, (TRect{border, title, 1024 - border, 738 - border}));
  EXPECT_EQ(stretch.Toggle(f, both, work, TskStretchAxis::Width),
            (TRect{200, title, 600, 738 - border}));
  EXPECT_EQ(stretch.Toggle(f, TRect{200, title, 600, 738 - border}, work, TskStretchAxis::Height),
            form);

  // Moved after the stretch: the next double click stretches again instead of giving back.
  const TRect again = stretch.Toggle(f, form, work, TskStretchAxis::Width);
  const TRect moved{again.Left + 30, again.Top, again.Right + 30, again.Bottom};
  EXPECT_FALSE(stretch.Stretched(TskStretchAxis::Width, moved));
  EXPECT_EQ(stretch.Toggle(f, moved, work, TskStretchAxis::Width), again);
  EXPECT_EQ(stretch.Toggle(f, again, work, TskStretchAxis::Width), moved);
  // Nothing for a code that is no edge.
  EXPECT_EQ(stretch.Toggle(f, form, work, TskStretchAxis::None), form);
}

}  // namespace
