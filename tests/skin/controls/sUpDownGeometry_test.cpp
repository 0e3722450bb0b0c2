// Where a skinned up-down's halves lie, when a half is at its limit, and how the halves' look
// follows the mouse.
#include "skin/controls/sUpDownGeometry.h"

#include <gtest/gtest.h>

using namespace sUpDown;

TEST(UpDownGeometry, TheFirstHalfTakesTheSmallerShareOfAnOddSize) {
  struct Case {
    const char* what;
    TSize size;
    bool vertical;
    TRect first, second;
  };
  const Case cases[] = {
      {"the size field's arrows, 16 x 21", {16, 21}, true, {0, 0, 16, 10}, {0, 10, 16, 21}},
      {"an even height", {16, 20}, true, {0, 0, 16, 10}, {0, 10, 16, 20}},
      {"horizontal, odd width", {21, 16}, false, {0, 0, 10, 16}, {10, 0, 21, 16}},
      {"one pixel high: the first half is empty", {16, 1}, true, {0, 0, 16, 0}, {0, 0, 16, 1}},
  };
  for (const Case& c : cases) {
    const TsUpDownHalves h = UpDownHalves(c.size, c.vertical);
    EXPECT_EQ(h.First, c.first) << c.what;
    EXPECT_EQ(h.Second, c.second) << c.what;
  }
}

TEST(UpDownGeometry, EachHalfIsBlockedOnlyAtItsOwnLimit) {
  struct Case {
    const char* what;
    bool vertical;
    bool show;
    TsUpDownRange range;
    bool firstBlocked, secondBlocked;
  };
  const Case cases[] = {
      {"vertical at Max: the upper half", true, true, {0, 10000, 10000}, true, false},
      {"vertical at Min: the lower half", true, true, {0, 10000, 0}, false, true},
      {"vertical inside the range", true, true, {0, 10000, 2}, false, false},
      {"horizontal at Min: the left half", false, true, {0, 100, 0}, true, false},
      {"horizontal at Max: the right half", false, true, {0, 100, 100}, false, true},
      {"without inaccessibility nothing is blocked", true, false, {0, 100, 100}, false, false},
      {"Min equal to Max blocks both", true, true, {5, 5, 5}, true, true},
      {"a limit beyond 16 bits is still reached", true, true, {0, 40000, 40000}, true, false},
      {"a position that only matches in its low 16 bits is not",
       true,
       true,
       {0, 65538, 2},
       false,
       false},
  };
  for (const Case& c : cases) {
    const TsBlockedHalves b = BlockedHalves(c.show, c.vertical, c.range);
    EXPECT_EQ(b.First, c.firstBlocked) << c.what;
    EXPECT_EQ(b.Second, c.secondBlocked) << c.what;
  }
}

TEST(UpDownGeometry, TheLookFollowsTheMouseAndSkipsBlockedHalves) {
  const TSize size{16, 21};
  const TsBlockedHalves none{};
  const TsBlockedHalves upper{true, false};
  struct Case {
    const char* what;
    TPoint p;
    TsBlockedHalves blocked;
    TsUpDownLook look;
  };
  const Case cases[] = {
      {"over the upper half", {8, 9}, none, udlFirstHot},
      {"over the lower half's first row", {8, 10}, none, udlSecondHot},
      {"over a blocked upper half", {8, 2}, upper, udlNone},
      {"the lower half stays reachable", {8, 15}, upper, udlSecondHot},
      {"outside", {16, 5}, none, udlNone},
  };
  for (const Case& c : cases)
    EXPECT_EQ(LookUnderMouse(c.p, size, true, c.blocked), c.look) << c.what;
}

TEST(UpDownGeometry, PressAndReleaseTurnAHotHalfPressedAndBack) {
  const TsBlockedHalves none{};
  const TsBlockedHalves upper{true, false};
  const TsBlockedHalves lower{false, true};
  EXPECT_EQ(LookAfterPress(udlFirstHot, none), udlFirstPressed);
  EXPECT_EQ(LookAfterPress(udlSecondHot, none), udlSecondPressed);
  EXPECT_EQ(LookAfterPress(udlFirstHot, upper), udlFirstHot) << "a blocked half shows no press";
  EXPECT_EQ(LookAfterPress(udlNone, none), udlNone);
  EXPECT_EQ(LookAfterRelease(udlFirstPressed, none), udlFirstHot);
  EXPECT_EQ(LookAfterRelease(udlSecondPressed, none), udlSecondHot);
  EXPECT_EQ(LookAfterRelease(udlFirstPressed, upper), udlNone)
      << "the press brought the half to its limit: not left pressed";
  EXPECT_EQ(LookAfterRelease(udlNone, none), udlNone)
      << "a release over a blocked half makes no other half hot";
  EXPECT_EQ(LookAfterRelease(udlSecondPressed, lower), udlNone);
  EXPECT_EQ(HalfPaintState(udlFirstPressed, true), 2);
  EXPECT_EQ(HalfPaintState(udlFirstPressed, false), 0);
  EXPECT_EQ(HalfPaintState(udlSecondHot, false), 1);
}
