#include "editor/KedEditMiscProcs.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/SysUtils.h"
#include "tests/editor/ShiftJisLeadBytes.h"

namespace {

TKedCharSet SetOf(const std::string& chars) {
  TKedCharSet set;
  for (char c : chars) set.set(static_cast<unsigned char>(c));
  return set;
}

}  // namespace

TEST(KedEditMiscProcs, ClampValueLetsLowWinWhenBoundsAreCrossed) {
  EXPECT_EQ(ClampValue(5, 10, 0), 10);
  EXPECT_EQ(ClampValue(-3, 0, 9), 0);
  EXPECT_EQ(ClampValue(30, 0, 9), 9);
  EXPECT_EQ(ClampValue(4, 0, 9), 4);
}

TEST(KedEditMiscProcs, MinTextPosComparesLineBeforeCharAndKeepsFirstOnTie) {
  TBufferCoord a{10, 1}, b{2, 2};
  EXPECT_EQ(MinTextPos(a, b), a);
  EXPECT_EQ(MinTextPos(b, a), a);
  EXPECT_EQ(MinTextPos(TBufferCoord{3, 2}, b), b);
  int x = 1, y = 2;
  ExchangeInts(x, y);
  EXPECT_EQ(x, 2);
  EXPECT_EQ(y, 1);
}

TEST(KedEditMiscProcs, SelectTabExpanderPicksRoutineByWidth) {
  struct Case {
    int width;
    TKedTabExpander expected;
  } cases[] = {
      {-4, &ExpandTabsAsSpace}, {0, &ExpandTabsAsSpace},  {1, &ExpandTabsAsSpace},
      {2, &ExpandTabsByMask},   {4, &ExpandTabsByMask},   {65536, &ExpandTabsByMask},
      {3, &ExpandTabsByModulo}, {6, &ExpandTabsByModulo}, {131072, &ExpandTabsByModulo},
  };
  for (const Case& c : cases) EXPECT_EQ(SelectTabExpander(c.width), c.expected) << c.width;
}

TEST(KedEditMiscProcs, TabExpandersGiveOneCharacterPerColumn) {
  struct Case {
    std::string line;
    int width;
    std::string expanded;
    bool hasTabs;
  } cases[] = {
      {"", 4, "", false},
      {"abc", 4, "abc", false},
      {"a\tb", 4, "a\t\t\tb", true},
      {"ab\t", 3, "ab\t", true},
      {"\t\t", 2, "\t\t\t\t", true},
      {"abcd\tx", 4, "abcd\t\t\t\tx", true},
      {"a\tb\tc", 1, "a b c", true},
      {"a\tb", 0, "a b", true},
      {"x\ty", 5, "x\t\t\t\ty", true},
  };
  for (const Case& c : cases) {
    bool hasTabs = !c.hasTabs;
    EXPECT_EQ(SelectTabExpander(c.width)(c.line, c.width, hasTabs), c.expanded)
        << c.line << " width " << c.width;
    EXPECT_EQ(hasTabs, c.hasTabs) << c.line;
    if (c.width >= 1) {
      EXPECT_EQ(TabExpandedLength(c.line, c.width), static_cast<int>(c.expanded.size()));
    }
  }
}

TEST(KedEditMiscProcs, MaskAndModuloExpandersAgreeOnPowersOfTwo) {
  const std::string line = "\tab\t\tcde\tf\t";
  for (int width : {2, 4, 8, 16}) {
    bool a = false, b = false;
    EXPECT_EQ(ExpandTabsByMask(line, width, a), ExpandTabsByModulo(line, width, b)) << width;
    EXPECT_TRUE(a && b);
  }
}

TEST(KedEditMiscProcs, CountBeforeTabReportsPrefixLength) {
  int count = -1;
  EXPECT_FALSE(CountBeforeTab("", count));
  EXPECT_EQ(count, 0);
  EXPECT_FALSE(CountBeforeTab("abc", count));
  EXPECT_EQ(count, 3);
  EXPECT_TRUE(CountBeforeTab("ab\tc\t", count));
  EXPECT_EQ(count, 2);
}

TEST(KedEditMiscProcs, CharIndexToColumnExpandsTabsBeforeTheIndex) {
  struct Case {
    int index, width;
    std::string text;
    int column;
  } cases[] = {
      {3, 4, "a\tb", 5}, {2, 4, "a\tb", 2}, {4, 4, "a\tb", 6}, {1, 4, "\t", 1},
      {0, 4, "\t", 1},   {-5, 4, "abc", 1}, {5, 4, "abc", 5},  {3, 1, "\t\t", 3},
      {3, 8, "ab", 3},   {2, 8, "\tx", 9},  {5, 3, "\t\t", 9}, {4, 4, "a\t", 6},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CharIndexToColumn(c.index, c.width, c.text), c.column)
        << c.index << " in '" << c.text << "' width " << c.width;
}

TEST(KedEditMiscProcs, HugeTabWidthsDoNotOverflowTheLength) {
  const std::string tabs(40000, '\t');
  EXPECT_EQ(TabExpandedLength(tabs, 65536), 2147483647);
  EXPECT_EQ(CharIndexToColumn(40001, 65536, tabs), 2147483647);
}

TEST(KedEditMiscProcs, SingleByteSearchesFindCharactersInSet) {
  TKedLeadBytesScope singleByte(TKedLeadByteTable{});
  const TKedCharSet blanks = SetOf(" .");
  struct Case {
    std::string text;
    int start;
    int first;
  } forward[] = {
      {"ab cd.e", 1, 3}, {"ab cd.e", 3, 3}, {"ab cd.e", 4, 6}, {"ab cd.e", 7, 0},
      {"ab cd.e", 0, 0}, {"ab cd.e", 8, 0}, {"", 1, 0},
  };
  for (const Case& c : forward)
    EXPECT_EQ(FindCharInSet(c.text, c.start, blanks), c.first) << c.text << " from " << c.start;

  EXPECT_EQ(FindLastCharInSet("ab cd.e", 7, blanks), 6);
  EXPECT_EQ(FindLastCharInSet("ab cd.e", 5, blanks), 3);
  EXPECT_EQ(FindLastCharInSet("ab cd.e", 2, blanks), 0);
  EXPECT_EQ(FindLastCharInSet("ab cd.e", 8, blanks), 0);
  EXPECT_EQ(FindLastCharInSet("ab cd.e", 0, blanks), 0);
  // Without a double-byte code page there are no lead bytes at all.
  EXPECT_EQ(FindLeadByte("\x82\xA0", 1), 0);
  EXPECT_EQ(FindLastLeadByte("\x82\xA0", 2), 0);
}

TEST(KedEditMiscProcs, DoubleByteSearchesNeverStopOnATrailByte) {
  TKedLeadBytesScope sjis(ShiftJisLeadBytes());
  // "a", then the double-byte character 0x81 0x40 (its trail 0x40 is "@"),
  // then "@", then 0x88 0x9F (its trail 0x9F is itself a lead-byte value).
  const std::string text =
      "a\x81@@\x88\x9F"
      "b";
  const TKedCharSet at = SetOf("@");
  EXPECT_EQ(FindCharInSet(text, 1, at), 4);
  EXPECT_EQ(FindCharInSet(text, 3, at), 4) << "a start on a trail byte moves on";
  EXPECT_EQ(FindLastCharInSet(text, 3, at), 0);
  EXPECT_EQ(FindLastCharInSet(text, 7, at), 4);

  EXPECT_EQ(FindLeadByte(text, 1), 2);
  EXPECT_EQ(FindLeadByte(text, 3), 5);
  EXPECT_EQ(FindLeadByte(text, 6), 0) << "0x9F here is a trail byte";
  EXPECT_EQ(FindLastLeadByte(text, 7), 5);
  EXPECT_EQ(FindLastLeadByte(text, 4), 2);
  EXPECT_EQ(FindLastLeadByte("abc", 3), 0);
}

TEST(KedEditMiscProcs, TrailBytesAreFoundByWalkingFromTheLineStart) {
  // "a", 0x81 0x40, "@", 0x88 0x9F, "b": the 0x9F at 6 is a trail byte although it is
  // a lead-byte value, and the "@" at 4 is a character of its own.
  const std::string text =
      "a\x81@@\x88\x9F"
      "b";
  {
    TKedLeadBytesScope sjis(ShiftJisLeadBytes());
    struct Case {
      int index;
      bool trail;
    } cases[] = {{-1, false}, {1, false}, {2, false}, {3, true},  {4, false},
                 {5, false},  {6, true},  {7, false}, {8, false}, {100, false}};
    for (const Case& c : cases) EXPECT_EQ(IsKedTrailByteAt(text, c.index), c.trail) << c.index;
    EXPECT_FALSE(IsKedTrailByteAt("a\x81", 3)) << "a lead byte at the end has no trail";
  }
  TKedLeadBytesScope singleByte(TKedLeadByteTable{});
  EXPECT_FALSE(IsKedTrailByteAt(text, 3));
}

TEST(KedEditMiscProcs, LeadByteScopeRestoresThePreviousTable) {
  const bool before = KedLeadBytes().FarEast;
  {
    TKedLeadBytesScope sjis(ShiftJisLeadBytes());
    EXPECT_TRUE(IsKedLeadByte(0x81));
    EXPECT_FALSE(IsKedLeadByte(0xA0));
  }
  EXPECT_EQ(KedLeadBytes().FarEast, before);
}

TEST(KedEditMiscProcs, FindLineBreakStopsAtCrLfOrTerminator) {
  const char text[] = "abc\rdef";
  EXPECT_EQ(FindLineBreak(text), text + 3);
  const char lf[] = "\nx";
  EXPECT_EQ(FindLineBreak(lf), lf);
  const char none[] = "plain";
  EXPECT_EQ(FindLineBreak(none), none + 5);
  EXPECT_EQ(*FindLineBreak(none), '\0');
  EXPECT_EQ(FindLineBreak(nullptr), nullptr);
}

TEST(KedEditMiscProcs, ClassifyCharTypeMapsTypeFlagsToWordClasses) {
  struct Case {
    std::uint16_t type;
    int cls;
  } cases[] = {
      {0x0008, 9}, {0x0040, 1}, {0x8040, 1}, {0x0048, 2}, {0x0440, 2}, {0x0050, 3},
      {0x8050, 3}, {0x0060, 0}, {0x0080, 4}, {0x8080, 4}, {0x0088, 5}, {0x0480, 5},
      {0x0090, 6}, {0x00A0, 7}, {0x0180, 8}, {0x0000, 0}, {0x8000, 0}, {0x0408, 5},
  };
  for (const Case& c : cases) EXPECT_EQ(ClassifyCharType(c.type), c.cls) << std::hex << c.type;
}

// The gradient's band edges and colours rely on this rounding.
TEST(KedEditMiscProcs, MulDivRoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(1, 3, 2), 2);
  EXPECT_EQ(MulDiv(-1, 3, 2), -2);
  EXPECT_EQ(MulDiv(1, 10, 3), 3);
  EXPECT_EQ(MulDiv(2, -10, 3), -7);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(2000000000, 2, 4), 1000000000);
}

TEST(KedEditMiscProcs, StepGradientRunsFromStartToEndColour) {
  const auto bands = StepGradientBands(0x000000, 0x0000FF, 4, 10, 0, 30, 5, true);
  ASSERT_EQ(bands.size(), 4u);
  EXPECT_EQ(bands.front().Color, 0x000000u);
  EXPECT_EQ(bands.back().Color, 0x0000FFu);
  EXPECT_EQ(bands[1].Color, 0x000055u);
  EXPECT_EQ(bands[0].Left, 10);
  EXPECT_EQ(bands[1].Left, 15);
  EXPECT_EQ(bands[3].Right, 30);
  for (std::size_t i = 1; i < bands.size(); ++i) EXPECT_EQ(bands[i].Left, bands[i - 1].Right);
  for (const auto& b : bands) EXPECT_TRUE(b.Top == 0 && b.Bottom == 5);

  const auto down = StepGradientBands(0xFF0000, 0x000000, 2, 0, 0, 8, 9, false);
  ASSERT_EQ(down.size(), 2u);
  EXPECT_EQ(down[0], (TKedGradientBand{0, 0, 8, 5, 0xFF0000}));
  EXPECT_EQ(down[1], (TKedGradientBand{0, 5, 8, 9, 0x000000}));
}

TEST(KedEditMiscProcs, StepGradientLimitsStepsToTwoThroughTwoFiftySix) {
  EXPECT_EQ(StepGradientBands(0, 0xFFFFFF, 1, 0, 0, 10, 10, true).size(), 2u);
  EXPECT_EQ(StepGradientBands(0, 0xFFFFFF, -7, 0, 0, 10, 10, true).size(), 2u);
  EXPECT_EQ(StepGradientBands(0, 0xFFFFFF, 1000, 0, 0, 10, 10, true).size(), 256u);
}
