// The mouse over a skinned frame as tables: what each part of the frame hits, what a caption
// double click does, the rubber-band frame's rectangle while sizing and moving, and screen
// snapping in its order.
#include "skin/forms/sFrameMouse.h"

#include <gtest/gtest.h>

namespace {

// A sizeable window of 400 x 300: frame 4, caption 19, one menu line of 18 (SM_CYMENU 19).
TsFrameHitFacts Sizeable() {
  TsFrameHitFacts f;
  f.Form.Width = 400;
  f.Form.Height = 300;
  f.Form.ClientWidth = 392;
  f.Form.ClientHeight = 300 - 8 - 19 - 18;
  f.Form.MenuLines = 1;
  f.IconRect = TRect{6, 6, 22, 22};
  return f;
}

TEST(FrameMouse, EachPartOfTheFrameHitsItsCode) {
  struct Case {
    const char* what;
    TPoint p;
    int code;
  };
  const Case cases[] = {
      {"top edge", {200, 0}, fhTop},
      {"top edge, last pixel of the frame", {200, 3}, fhTop},
      {"bottom edge", {200, 299}, fhBottom},
      {"bottom edge, first pixel of the frame", {200, 296}, fhBottom},
      {"left edge", {0, 150}, fhLeft},
      {"right edge", {399, 150}, fhRight},
      {"right edge, first pixel of the frame", {396, 150}, fhRight},
      {"top left corner", {1, 1}, fhTopLeft},
      {"top right corner", {398, 2}, fhTopRight},
      {"bottom left corner", {0, 298}, fhBottomLeft},
      {"bottom right corner", {399, 299}, fhBottomRight},
      {"caption", {200, 10}, fhCaption},
      {"caption, last row", {200, 22}, fhCaption},
      {"title icon", {10, 10}, fhSysMenu},
      {"menu line", {200, 23}, fhMenu},
      {"menu line, last row", {200, 40}, fhMenu},
      {"client", {200, 41}, fhClient},
      {"client beside the frame", {4, 150}, fhClient},
  };
  for (const Case& c : cases) EXPECT_EQ(FrameHitTest(Sizeable(), c.p), c.code) << c.what;
}

TEST(FrameMouse, OnlyAFormThatCanBeSizedHasSizingEdges) {
  struct Case {
    const char* what;
    TsFrameHitFacts facts;
    TPoint p;
    int code;
  };
  TsFrameHitFacts maximized = Sizeable();
  maximized.Form.Maximized = true;
  TsFrameHitFacts fixed = Sizeable();
  fixed.Form.ThickFrame = false;
  fixed.Form.Border = TsFrameBorder::Single;
  TsFrameHitFacts bordered = Sizeable();
  bordered.Form.BorderWindow = true;
  TsFrameHitFacts grip = Sizeable();
  grip.GripVisible = true;
  grip.GripRect = TRect{380, 280, 396, 296};
  TsFrameHitFacts noMenu = Sizeable();
  noMenu.Form.MenuLines = 0;
  noMenu.Form.ClientHeight += 18;
  const Case cases[] = {
      {"maximized: its border is caption", maximized, {200, 1}, fhCaption},
      {"maximized: bottom border", maximized, {200, 298}, fhClient},
      {"fixed frame: no top edge", fixed, {200, 1}, fhCaption},
      {"fixed frame: the left border is left to the system", fixed, {1, 150}, fhClient},
      {"a border window sizes the form itself", bordered, {399, 150}, fhClient},
      {"the grip", grip, {390, 290}, fhBottomRight},
      {"beside the grip", grip, {370, 290}, fhClient},
      {"without a menu the client begins below the caption", noMenu, {200, 23}, fhClient},
  };
  for (const Case& c : cases) EXPECT_EQ(FrameHitTest(c.facts, c.p), c.code) << c.what;
}

TEST(FrameMouse, ACaptionDoubleClickMaximizesOrRestoresOnlyWhenTheMenuAllowsIt) {
  using D = TsCaptionDoubleClick;
  struct Case {
    const char* what;
    TsCaptionDoubleClickFacts facts;
    D result;
  };
  const Case cases[] = {
      {"normal form", {}, D::Maximize},
      {"maximized form",
       {.MaxEnabled = false, .RestoreEnabled = true, .Maximized = true},
       D::Restore},
      {"minimized form", {.RestoreEnabled = true, .Minimized = true}, D::Restore},
      {"maximize and restore both disabled: nothing",
       {.MaxEnabled = false, .RestoreEnabled = false},
       D::None},
      {"no close item: nothing", {.CloseVisible = false}, D::None},
      {"minimized, items disabled: still restored",
       {.MaxEnabled = false, .RestoreEnabled = false, .Minimized = true},
       D::Restore},
      {"unframed and minimized",
       {.CloseVisible = false, .Framed = false, .Minimized = true},
       D::Restore},
  };
  for (const Case& c : cases) EXPECT_EQ(CaptionDoubleClick(c.facts), c.result) << c.what;
}

TEST(FrameMouse, TheRubberFrameChangesOnlyTheDraggedEdgesAndKeepsTheMinimumSize) {
  const TRect form{100, 100, 500, 400};
  const TPoint start{300, 300};
  struct Case {
    const char* what;
    int code;
    TPoint mouse;
    TRect expected;
  };
  const Case cases[] = {
      {"right edge: only the width", fhRight, {330, 340}, {100, 100, 530, 400}},
      {"left edge: only the width", fhLeft, {280, 250}, {80, 100, 500, 400}},
      {"top edge: only the height", fhTop, {350, 270}, {100, 70, 500, 400}},
      {"bottom edge: only the height", fhBottom, {250, 320}, {100, 100, 500, 420}},
      {"bottom right corner: both", fhBottomRight, {310, 320}, {100, 100, 510, 420}},
      {"top left corner: both", fhTopLeft, {290, 280}, {90, 80, 500, 400}},
      {"top right corner", fhTopRight, {320, 290}, {100, 90, 520, 400}},
      {"bottom left corner", fhBottomLeft, {260, 330}, {60, 100, 500, 430}},
      {"right edge far in: the minimum width", fhRight, {-200, 300}, {100, 100, 220, 400}},
      {"left edge far in: the right edge stays", fhLeft, {900, 300}, {380, 100, 500, 400}},
      {"top edge far down: the minimum height", fhTop, {300, 900}, {100, 360, 500, 400}},
      {"bottom edge far up: the minimum height", fhBottom, {300, -100}, {100, 100, 500, 140}},
  };
  for (const Case& c : cases) {
    const TsRubberFrame frame{form, start, c.code, TSize{120, 40}};
    EXPECT_EQ(SizedFrameRect(frame, c.mouse), c.expected) << c.what;
  }
  EXPECT_EQ(MovedFrameRect(form, start, TPoint{320, 290}), (TRect{120, 90, 520, 390}));
}

TEST(FrameMouse, TheMinimumSizeIsTheLargerOfTheFormsAndTheSystems) {
  EXPECT_EQ(RubberMinSize(TSize{0, 0}, TSize{112, 27}), (TSize{112, 27}));
  EXPECT_EQ(RubberMinSize(TSize{320, 0}, TSize{112, 27}), (TSize{320, 27}));
  EXPECT_EQ(RubberMinSize(TSize{50, 200}, TSize{112, 27}), (TSize{112, 200}));
}

TEST(FrameMouse, SnappingTriesRightAndBottomFirstAndALaterMatchWins) {
  const TRect work{0, 0, 1024, 738};
  struct Case {
    const char* what;
    TPoint pos;
    TSize size;
    int buffer, side, top;
    TPoint expected;
  };
  const Case cases[] = {
      {"far from every edge", {300, 200}, {400, 300}, 10, 0, 0, {300, 200}},
      {"near the left edge", {7, 200}, {400, 300}, 10, 0, 0, {0, 200}},
      {"near the top edge", {300, -9}, {400, 300}, 10, 0, 0, {300, 0}},
      {"near the right edge", {620, 200}, {400, 300}, 10, 0, 0, {624, 200}},
      {"near the bottom edge", {300, 445}, {400, 300}, 10, 0, 0, {300, 438}},
      {"just outside the buffer", {10, 200}, {400, 300}, 10, 0, 0, {10, 200}},
      {"5 narrower than the work area, 3 from the left: the left edge wins",
       {3, 200},
       {1019, 300},
       10,
       0,
       0,
       {0, 200}},
      {"a border window reaching 8 beyond the form", {12, 200}, {400, 300}, 10, 8, -12, {8, 200}},
      {"and 12 above it", {300, 15}, {400, 300}, 10, 8, -12, {300, 12}},
  };
  for (const Case& c : cases) {
    const TsSnapFacts facts{work, c.size, c.buffer, c.side, c.top};
    EXPECT_EQ(SnapFormPosition(c.pos, facts), c.expected) << c.what;
  }
}

}  // namespace
