// The tool bar and status bar adapters' layout rules as tables: a button's look, its image and
// caption places, the caption broken into two lines, the button under a point and the status
// bar's panels.
#include "skin/adapters/skToolBarLayout.h"

#include <gtest/gtest.h>

namespace {

using namespace toolbits;

TEST(ToolBarLayout, AButtonLooksDisabledPressedHotOrNormal) {
  struct TCase {
    uint8_t State;
    bool Inside;
    int Look, Shift;
  };
  const TCase cases[] = {
      {0, true, 0, 0},                             // disabled: never hot
      {StatePressed, true, 0, 0},                  // disabled and pressed: normal
      {StateEnabled, false, 0, 0},                 //
      {StateEnabled, true, 1, 0},                  //
      {StateEnabled | StatePressed, false, 2, 1},  // pressed moves the content
      {StateEnabled | StateChecked, true, 1, 0},   //
  };
  for (const TCase& c : cases) {
    const TsToolButtonLook look = ToolButtonLook(c.State, c.Inside);
    EXPECT_EQ(look.State, c.Look) << int(c.State) << " " << c.Inside;
    EXPECT_EQ(look.Shift, c.Shift) << int(c.State) << " " << c.Inside;
  }
}

TEST(ToolBarLayout, TheFirstImageOfTheListIsShownAndTheSystemsMarkersAreNot) {
  struct TCase {
    int Index;
    bool List, Shows;
  };
  const TCase cases[] = {{0, true, true},   {3, true, true},   {-1, true, false},
                         {-2, true, false}, {0, false, false}, {5, false, false}};
  for (const TCase& c : cases)
    EXPECT_EQ(ToolButtonShowsImage(c.Index, c.List), c.Shows) << c.Index << " " << c.List;
}

TEST(ToolBarLayout, ImageArrowAndCaptionStandInTheButton) {
  const TRect button = Bounds(40, 2, 30, 40);
  EXPECT_EQ(ToolButtonImagePos(button, {16, 16}, 0, 0), (TPoint{7, 4}));
  EXPECT_EQ(ToolButtonImagePos(button, {16, 16}, 1, 0), (TPoint{8, 5}));
  EXPECT_EQ(ToolButtonImagePos(button, {16, 16}, 0, 8), (TPoint{3, 4})) << "beside the arrow";
  EXPECT_EQ(ToolButtonImagePos(button, {0, 0}, 0, 0), (TPoint{15, 4})) << "no list";
  EXPECT_EQ(ToolButtonArrowPos(button, {7, 4}, 0), (TPoint{21, 18}));
  EXPECT_EQ(ToolButtonTextRect(button, 16, 0), (TRect{2, 20, 28, 38}));
  EXPECT_EQ(ToolButtonTextRect(button, 16, 1), (TRect{3, 21, 29, 39}));
  EXPECT_EQ(ToolButtonTextRect(button, 0, 0), (TRect{2, 2, 28, 38})) << "no image: from the top";
}

TEST(ToolBarLayout, ACaptionBreaksOneWordBeforeTheWordThatNoLongerFits) {
  // Every character is 5 pixels wide.
  const auto measure = [](const std::string& s) { return static_cast<int>(s.size()) * 5; };
  struct TCase {
    const char* Text;
    int Width;
    const char* First;
    const char* Second;
  };
  const TCase cases[] = {
      {"", 100, "", ""},
      {"Open", 100, "", "Open"},            // one word: one line, wrapped by the system
      {"Open file", 100, "", "Open file"},  // two words: the same
      {"Go up one", 100, "Go", "up one"},   // three short words: the first alone
      {"Alpha Betas c d e", 40, "Alpha", "Betas c d e"},  // the first two already too wide
      {"a  b c", 100, "a ", "b c"},                       // a double blank stays on line 1
      {"   ", 100, "", ""},                               // no words
  };
  for (const TCase& c : cases) {
    const TsToolCaptionLines lines = SplitToolCaption(c.Text, c.Width, measure);
    EXPECT_EQ(lines.First, c.First) << '"' << c.Text << '"';
    EXPECT_EQ(lines.Second, c.Second) << '"' << c.Text << '"';
  }
  EXPECT_TRUE(SplitToolCaption("Go up one", 100, measure).TwoLines());
  EXPECT_FALSE(SplitToolCaption("Open file", 100, measure).TwoLines());
}

TEST(ToolBarLayout, TheButtonUnderAPointIsTheFirstThatHoldsItAndCanBePressed) {
  const std::vector<TsToolButtonHit> bar = {
      {Bounds(0, 0, 23, 22), true},
      {Bounds(23, 0, 8, 22), false},  // a separator
      {Bounds(31, 0, 23, 22), true},
      {Bounds(31, 0, 40, 22), true},  // overlapping: the first one counts
  };
  struct TCase {
    TPoint P;
    int Index;
  };
  const TCase cases[] = {{{0, 0}, 0},  {{22, 21}, 0},  {{23, 5}, -1},  {{31, 5}, 2},
                         {{60, 5}, 3}, {{53, 22}, -1}, {{100, 5}, -1}, {{-1, 5}, -1}};
  for (const TCase& c : cases) EXPECT_EQ(ToolButtonAt(bar, c.P), c.Index) << c.P.X << "," << c.P.Y;
  EXPECT_EQ(ToolButtonAt({}, {0, 0}), -1);
}

TEST(ToolBarLayout, AStatusBarShowsOnePanelWhenSimpleElseOnePerPart) {
  const auto simple = StatusPanelPlaces(true, {200, 20}, {Bounds(0, 2, 50, 18)});
  ASSERT_EQ(simple.size(), 1u);
  EXPECT_EQ(simple[0].Frame, (TRect{0, 1, 199, 19}));
  EXPECT_EQ(simple[0].Text, (TRect{3, 2, 194, 17}));
  const auto parts =
      StatusPanelPlaces(false, {200, 20}, {Rect(0, 2, 60, 20), Rect(62, 2, 200, 20)});
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0].Frame, (TRect{1, 3, 59, 19}));
  EXPECT_EQ(parts[1].Frame, (TRect{63, 3, 199, 19}));
  EXPECT_EQ(parts[1].Text, (TRect{66, 4, 194, 17}));
  EXPECT_TRUE(StatusPanelPlaces(false, {200, 20}, {}).empty());
}

}  // namespace
