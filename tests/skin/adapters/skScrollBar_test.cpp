// A skinned scroll bar's geometry, with no window and no skin: sizes, thumb, hit test, drag
// positions and where the bars lie in their window.
#include "skin/adapters/skScrollBar.h"

#include <gtest/gtest.h>

#include "tests/skin/adapters/ScrollBarTestBars.h"

namespace {

using scrolltest::Bar;

TEST(ScrollBarGeometry, SizeIsTakenAsIsOrAsTimesTheDefault) {
  EXPECT_EQ(ResolveScrollBarSize(5, 17), 5);
  EXPECT_EQ(ResolveScrollBarSize(0, 17), 0);
  EXPECT_EQ(ResolveScrollBarSize(-1, 17), 17);
  EXPECT_EQ(ResolveScrollBarSize(-2, 17), 34);
}

TEST(ScrollBarGeometry, ThumbFollowsPageAndPosition) {
  struct Case {
    int kind, nMin, nMax;
    unsigned nPage;
    int nPos;
    TRect rect;
    int length, start;
  } const cases[] = {
      // Vertical, 183-pixel track: a tenth of the range is a tenth of the track.
      {1, 0, 99, 10, 0, {0, 0, 17, 217}, 18, 17},
      {1, 0, 99, 10, 90, {0, 0, 17, 217}, 18, 182},   // last page: thumb ends at the arrow
      {1, 0, 99, 10, 500, {0, 0, 17, 217}, 18, 182},  // beyond the range: kept in the track
      {1, 50, 149, 10, 50, {0, 0, 17, 217}, 18, 17},  // positions count from nMin
      {1, 0, 99, 0, 50, {0, 0, 17, 217}, 17, 101},    // no page: as long as an arrow
      {1, 5, 5, 1, 5, {0, 0, 17, 217}, 183, 17},      // empty range: fills the track
      {1, 0, 9999, 1, 0, {0, 0, 17, 217}, 10, 17},    // never shorter than 10
      // Horizontal, in screen coordinates.
      {0, 0, 99, 50, 25, {100, 50, 300, 67}, 83, 159},
  };
  for (const Case& c : cases) {
    TskScrollBar bar = Bar(c.kind, c.nMin, c.nMax, c.nPage, c.nPos);
    TThumbGeometry thumb = GetThumbGeometry(bar, c.rect, 17);
    EXPECT_EQ(thumb.Length, c.length) << c.nMin << ".." << c.nMax << " page " << c.nPage;
    EXPECT_EQ(thumb.Start, c.start) << c.nMin << ".." << c.nMax << " pos " << c.nPos;
  }
  TskScrollBar bar = Bar(1, 0, 9999, 1, 0);
  bar.MinThumbLength = 25;
  EXPECT_EQ(GetThumbGeometry(bar, {0, 0, 17, 217}, 17).Length, 25);
}

TEST(ScrollBarGeometry, HitTestFindsArrowsPagesAndThumb) {
  // A 200-pixel bar with 17-pixel arrows and a thumb of 83 pixels at 17 (position 0) or at 100
  // (position 50).
  struct Case {
    int nPos, along, across;
    TScrollBarPart part;
  } const cases[] = {
      {0, 0, 5, TScrollBarPart::FirstArrow},    {0, 16, 5, TScrollBarPart::FirstArrow},
      {0, 17, 5, TScrollBarPart::Thumb},        {0, 99, 5, TScrollBarPart::Thumb},
      {0, 100, 5, TScrollBarPart::PageAfter},   {0, 182, 5, TScrollBarPart::PageAfter},
      {0, 183, 5, TScrollBarPart::SecondArrow}, {0, 199, 5, TScrollBarPart::SecondArrow},
      {0, 200, 5, TScrollBarPart::None},        {0, -1, 5, TScrollBarPart::None},
      {0, 50, -1, TScrollBarPart::None},        {0, 50, 17, TScrollBarPart::None},
      {0, 50, 0, TScrollBarPart::Thumb},        {0, 50, 16, TScrollBarPart::Thumb},
      {50, 17, 5, TScrollBarPart::PageBefore},  {50, 99, 5, TScrollBarPart::PageBefore},
      {50, 100, 5, TScrollBarPart::Thumb},      {50, 182, 5, TScrollBarPart::Thumb},
  };
  for (const Case& c : cases) {
    TskScrollBar horz = Bar(0, 0, 99, 50, c.nPos);
    EXPECT_EQ(GetBarPartAt(horz, {0, 0, 200, 17}, c.across, c.along, 17), c.part)
        << "horizontal at " << c.along << "," << c.across << " pos " << c.nPos;
    TskScrollBar vert = Bar(1, 0, 99, 50, c.nPos);
    EXPECT_EQ(GetBarPartAt(vert, {0, 0, 17, 200}, c.along, c.across, 17), c.part)
        << "vertical at " << c.along << "," << c.across << " pos " << c.nPos;
  }
}

TEST(ScrollBarGeometry, ShortOrFullBarsHaveNoThumbOrPages) {
  // Too short for two arrows: two halves.
  TskScrollBar bar = Bar(0, 0, 99, 10, 0);
  const TRect shortBar{0, 0, 20, 17};
  EXPECT_EQ(GetHorzBarPartAt(bar, shortBar, 5, 0, 17), TScrollBarPart::FirstArrow);
  EXPECT_EQ(GetHorzBarPartAt(bar, shortBar, 5, 9, 17), TScrollBarPart::FirstArrow);
  EXPECT_EQ(GetHorzBarPartAt(bar, shortBar, 5, 10, 17), TScrollBarPart::SecondArrow);
  EXPECT_EQ(GetHorzBarPartAt(bar, shortBar, 5, 19, 17), TScrollBarPart::SecondArrow);
  // An empty range: the thumb would fill the track, clicks between the arrows do nothing.
  TskScrollBar full = Bar(0, 3, 3, 1, 3);
  for (int x : {17, 50, 100, 182})
    EXPECT_EQ(GetHorzBarPartAt(full, {0, 0, 200, 17}, 5, x, 17), TScrollBarPart::None) << x;
  EXPECT_EQ(GetHorzBarPartAt(full, {0, 0, 200, 17}, 5, 5, 17), TScrollBarPart::FirstArrow);
}

TEST(ScrollBarGeometry, DraggedThumbGivesPositionsWithinTheRange) {
  // A 200-pixel bar, 17-pixel arrows, an 83-pixel thumb grabbed 10 pixels in: the thumb moves
  // between 17 and 100.
  struct Case {
    int kind, nMin, nMax;
    unsigned nPage;
    int mouse, start, position;
  } const cases[] = {
      {0, 0, 99, 50, -100, 17, 0},
      {0, 0, 99, 50, 68, 58, 25},
      {0, 0, 99, 50, 1000, 100, 50},
      {1, 0, 99, 50, -100, 17, 0},
      {1, 0, 99, 50, 68, 58, 25},
      // At the bottom the vertical bar asks for no more than the last page's start either.
      {1, 0, 99, 50, 1000, 100, 50},
      // Positions count from nMin.
      {0, 10, 109, 50, -100, 17, 10},
      {0, 10, 109, 50, 1000, 100, 60},
      {1, 10, 109, 50, -100, 17, 10},
      {1, 10, 109, 50, 1000, 100, 60},
  };
  for (const Case& c : cases) {
    TskScrollBar bar = Bar(c.kind, c.nMin, c.nMax, c.nPage, 0);
    const TRect rect = c.kind ? TRect{0, 0, 17, 200} : TRect{0, 0, 200, 17};
    TThumbDrag drag = c.kind ? DragThumbV(bar, rect, c.mouse, 10, 83, 17)
                             : DragThumbH(bar, rect, c.mouse, 10, 83, 17);
    EXPECT_EQ(drag.Start, c.start) << c.kind << " mouse " << c.mouse;
    EXPECT_EQ(drag.Position, c.position) << c.kind << " mouse " << c.mouse;
  }
  // A thumb that fills its track stands for the first position, not for a division by zero.
  TskScrollBar full = Bar(0, 4, 4, 1, 4);
  EXPECT_EQ(DragThumbH(full, {0, 0, 200, 17}, 1000, 10, 166, 17).Position, 4);
  EXPECT_EQ(DragThumbV(full, {0, 0, 17, 200}, 1000, 10, 166, 17).Position, 4);
}

TEST(ScrollBarGeometry, BarsAndCornerLieInsideTheFrame) {
  TScrollBarLayout l;
  l.Window = {100, 100, 300, 250};
  l.EdgeLeft = l.EdgeTop = l.EdgeRight = l.EdgeBottom = 2;
  l.HorzThickness = l.VertThickness = 17;
  EXPECT_EQ(HorzBarRect(l), (TRect{102, 231, 281, 248}));
  EXPECT_EQ(VertBarRect(l), (TRect{281, 102, 298, 231}));
  EXPECT_EQ(CornerSquareRect(l), (TRect{181, 131, 198, 148}));
  l.LeftScrollBar = true;
  EXPECT_EQ(HorzBarRect(l), (TRect{119, 231, 298, 248}));
  EXPECT_EQ(VertBarRect(l), (TRect{102, 102, 119, 231}));
  EXPECT_EQ(CornerSquareRect(l), (TRect{2, 131, 19, 148}));
  // Only the vertical bar shown: it runs down to the frame.
  l.LeftScrollBar = false;
  l.HorzThickness = 0;
  EXPECT_EQ(VertBarRect(l), (TRect{281, 102, 298, 248}));
}

}  // namespace
