// The static and link adapters' text rules, and the up-down and track bar layout, as tables.
#include "skin/adapters/skStaticText.h"

#include <gtest/gtest.h>

#include "skin/adapters/skSmallCtrlLayout.h"

namespace {

TEST(StaticText, LinkMarkupIsTakenOutInAnyCase) {
  struct TCase {
    const char* Text;
    const char* Shown;
  };
  const TCase cases[] = {
      {"<A>here</A>", "here"},
      {"Visit <a>our site</a> now", "Visit our site now"},
      {"<a href=\"http://x\">x</a>", "x"},
      {"<A HREF=\"y\">y</A >", "y"},
      {"<a id=1>one</a> and <A>two</A>", "one and two"},
      {"a < b and <abbr>c</abbr>", "a < b and <abbr>c</abbr>"},
      {"open <a", "open <a"},
      {"", ""},
  };
  for (const TCase& c : cases) EXPECT_EQ(StripLinkMarkup(c.Text), c.Shown) << c.Text;
}

TEST(StaticText, FlagsAndPicturesFollowTheStyles) {
  EXPECT_EQ(StaticTextFlags(0), 0x150u);
  EXPECT_EQ(StaticTextFlags(0x1000), 0x152u);
  EXPECT_TRUE(StaticPaintsItself(0x10000, 0));
  EXPECT_TRUE(StaticPaintsItself(0, 0x20000));
  EXPECT_FALSE(StaticPaintsItself(0x1, 0));
  EXPECT_TRUE(ShowsIcon(0x3));
  EXPECT_FALSE(ShowsIcon(0xE));
}

TEST(SmallCtrlLayout, UpDownHalvesAndTheirLooks) {
  const TsSpinHalves v = SpinHalves({20, 41}, true, 2);
  EXPECT_EQ(v.First, (TRect{2, 0, 20, 21}));
  EXPECT_EQ(v.Second, (TRect{2, 20, 20, 41}));
  const TsSpinHalves h = SpinHalves({41, 20}, false, 2);
  EXPECT_EQ(h.First, (TRect{0, 0, 21, 20}));
  EXPECT_EQ(h.Second, (TRect{20, 0, 41, 20}));
  struct TCase {
    bool Inside;
    TPoint P;
    bool Down;
    int First, Second;
  };
  const TCase cases[] = {{false, {5, 5}, true, 0, 0},
                         {true, {5, 5}, false, 1, 0},
                         {true, {5, 5}, true, 2, 0},
                         {true, {5, 30}, true, 0, 2},
                         {true, {5, 20}, false, 0, 1}};
  for (const TCase& c : cases) {
    const TsSpinStates s = SpinStates({20, 40}, true, c.Inside, c.P, c.Down);
    EXPECT_EQ(s.First, c.First) << c.P.Y;
    EXPECT_EQ(s.Second, c.Second) << c.P.Y;
  }
}

TEST(SmallCtrlLayout, TrackTicksNeedTwoMarksAndSitBesideTheChannel) {
  TsTickPlace place{.Channel = TRect{8, 14, 208, 18},
                    .Thumb = TRect{0, 6, 10, 26},
                    .TickCount = 3,
                    .TickLength = 4};
  EXPECT_EQ(TickPositions(place), (std::vector<int>{13, 108, 203}));
  for (int n : {0, 1}) {
    place.TickCount = n;
    EXPECT_TRUE(TickPositions(place).empty()) << n << " ticks: no step, no marks";
  }
  // a = (20 - 4) / 2 + 2 = 10
  EXPECT_EQ(TickCorner(place, 50, true), (TPoint{50, 0}));
  EXPECT_EQ(TickCorner(place, 50, false), (TPoint{50, 28}));
  place.Vertical = true;
  place.Channel = TRect{14, 8, 18, 208};
  place.Thumb = TRect{6, 0, 26, 10};
  EXPECT_EQ(TickCorner(place, 50, true), (TPoint{0, 50}));
  EXPECT_EQ(TickCorner(place, 50, false), (TPoint{28, 50}));
  EXPECT_TRUE(TickSides(0x10).TopOrLeft == false && TickSides(0x10).BottomOrRight == false);
  EXPECT_TRUE(TickSides(0x8).TopOrLeft && TickSides(0x8).BottomOrRight);
  EXPECT_TRUE(TickSides(0x4).TopOrLeft && !TickSides(0x4).BottomOrRight);
  EXPECT_TRUE(!TickSides(0).TopOrLeft && TickSides(0).BottomOrRight);
  EXPECT_EQ(TrackChannelRect(TRect{8, 10, 208, 20}, false, 6), (TRect{8, 12, 208, 17}));
  EXPECT_EQ(TrackChannelRect(TRect{10, 8, 20, 208}, true, 6), (TRect{12, 8, 17, 208}));
}

}  // namespace
