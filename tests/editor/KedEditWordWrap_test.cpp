#include "editor/KedEditWordWrap.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "editor/KedEditMiscProcs.h"
#include "editor/KedEditTextBuffer.h"
#include "tests/editor/ShiftJisLeadBytes.h"

namespace {

class FakeEditor : public IKedWordWrapEditor {
 public:
  TKedEditStringList& Lines() override { return lines; }
  int CharsInWindow() const override { return chars; }
  TKedCharSet IdentChars() const override { return ident; }

  TKedEditStringList lines;
  int chars = 10;
  TKedCharSet ident = KedDefaultIdentChars();
};

class WordWrapTest : public ::testing::Test {
 protected:
  void Load(const std::vector<std::string>& text) {
    for (const auto& line : text) editor.lines.Add(line);
  }

  std::vector<int> Rows(TKedWordWrapPlugin& wrap) {
    std::vector<int> rows;
    for (int r = 1; r <= wrap.GetRowCount(); ++r) rows.push_back(wrap.RowLength(r));
    return rows;
  }

  // Invariants every wrap must keep: the rows of each line add up to its
  // expanded length, only an empty line has an empty row, offsets ascend.
  void ExpectConsistent(TKedWordWrapPlugin& wrap) {
    ASSERT_EQ(wrap.LineCount(), editor.lines.Count());
    int row = 1;
    for (int i = 0; i < wrap.LineCount(); ++i) {
      const int length = editor.lines.GetExpandedLength(i);
      int sum = 0;
      for (; row <= wrap.LineOffset(i); ++row) {
        const int rowLength = wrap.RowLength(row);
        if (length > 0) {
          EXPECT_GT(rowLength, 0) << "line " << i << " row " << row;
        }
        sum += rowLength;
      }
      EXPECT_EQ(sum, length) << "line " << i;
    }
    EXPECT_EQ(row - 1, wrap.GetRowCount());
  }

  FakeEditor editor;
};

TKedCharSet AllBreak() { return TKedCharSet(); }

}  // namespace

TEST(KedEditWordWrapBreak, BreaksAfterBlanksAndCutsLongWords) {
  struct Case {
    std::string text;
    int width;
    std::vector<std::uint8_t> rows;
  } cases[] = {
      {"aaaa bbbb cccc", 10, {10, 4}},
      {"abcdefghijklmnopqrstuvwxy", 10, {10, 10, 5}},
      {"", 10, {0}},
      {"short", 10, {5}},
      {"exactly10!", 10, {10}},
      {"aaaaaaaaaa   bb", 10, {13, 2}},  // blanks after the last word stay on its row
      {"aaaaaaa,bbbbbbb", 10, {8, 7}},   // after a character that is not part of a word
      {"a,bbbbbbbbbbbb", 10, {10, 4}},   // a break that would leave a short row is not taken
  };
  TKedCharSet breakChars = ~KedDefaultIdentChars();
  breakChars.set(',');
  for (const Case& c : cases) {
    const int minRow = c.width - c.width / 3;
    EXPECT_EQ(TKedWordWrapPlugin::BreakLine(c.text, c.width, minRow, 8, breakChars), c.rows)
        << c.text;
  }
}

TEST(KedEditWordWrapBreak, LongBlankRunIsCutAtTheRowLimit) {
  const std::string text = "x" + std::string(400, ' ') + "y";
  const auto rows = TKedWordWrapPlugin::BreakLine(text, 10, 7, 8, AllBreak());
  const int sum = std::accumulate(rows.begin(), rows.end(), 0);
  EXPECT_EQ(sum, static_cast<int>(text.size()));
  for (auto r : rows) EXPECT_LE(r, 255);
  EXPECT_EQ(rows.front(), 255);
}

TEST(KedEditWordWrapBreak, TabRunIsKeptTogetherWhereTheTabWidthAllows) {
  // Width 4: 255 mod 4 = 3, so a cut inside a tab run backs off up to 3 places.
  bool hasTabs = false;
  const std::string text =
      SelectTabExpander(4)(std::string("ab\t") + std::string(70, '\t') + "z", 4, hasTabs);
  const auto rows = TKedWordWrapPlugin::BreakLine(text, 10, 7, 4, AllBreak());
  EXPECT_EQ(rows.front(), 252);
  EXPECT_EQ(std::accumulate(rows.begin(), rows.end(), 0), static_cast<int>(text.size()));
}

TEST(KedEditWordWrapBreak, EveryRowHoldsACharacterEvenWithTabsWiderThanARow) {
  // A tab stop of 300 columns: backing off over the tab would empty the row.
  bool hasTabs = false;
  const std::string text = SelectTabExpander(300)("\tx", 300, hasTabs);
  ASSERT_EQ(text.size(), 301u);
  const auto rows = TKedWordWrapPlugin::BreakLine(text, 10, 7, 300, AllBreak());
  EXPECT_EQ(rows, (std::vector<std::uint8_t>{255, 45, 1}));
}

TEST(KedEditWordWrapBreak, DoubleByteCharacterIsNeverSplit) {
  TKedLeadBytesScope sjis(ShiftJisLeadBytes());
  struct Case {
    std::string text;
    int width;
    std::vector<std::uint8_t> rows;
  } cases[] = {
      // The pair 0x82 0xA0 would straddle the row end at 10: it moves down.
      {"abcdefghi\x82\xA0xyz", 10, {9, 5}},
      // One column per row: a row of just a lead byte would be empty after the
      // step back, so the pair stays whole.
      {"\x82\xA0\x82\xA0", 1, {2, 2}},
      {"a\x82\xA0", 1, {1, 2}},
  };
  for (const Case& c : cases) {
    const int minRow = std::max(c.width - c.width / 3, 1);
    EXPECT_EQ(TKedWordWrapPlugin::BreakLine(c.text, c.width, minRow, 8, AllBreak()), c.rows);
  }
}

TEST_F(WordWrapTest, ConstructorNeedsAnEditor) {
  try {
    TKedWordWrapPlugin wrap(nullptr);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "TKedWordWrapPlugin must be owned by TCustomKedEdit");
  }
}

TEST_F(WordWrapTest, WrapsEveryLineOnCreation) {
  Load({"aaaa bbbb cccc", "", "abcdefghijklmnopqrstuvwxy"});
  TKedWordWrapPlugin wrap(&editor);
  EXPECT_EQ(wrap.RowWidth(), 10);
  EXPECT_EQ(wrap.MinRowLength(), 7);
  EXPECT_EQ(Rows(wrap), (std::vector<int>{10, 4, 0, 10, 10, 5}));
  EXPECT_EQ(wrap.GetRowCount(), 6);
  ExpectConsistent(wrap);
}

TEST_F(WordWrapTest, RowLengthOutsideTheRowsIsAListError) {
  Load({"abc"});
  TKedWordWrapPlugin wrap(&editor);
  for (int row : {0, 2, -1}) {
    try {
      wrap.RowLength(row);
      FAIL() << row;
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), "List index out of bounds (" + std::to_string(row) + ")");
    }
  }
}

TEST_F(WordWrapTest, NoColumnsMeansNoRows) {
  Load({"abc", "def"});
  editor.chars = 0;
  TKedWordWrapPlugin wrap(&editor);
  EXPECT_EQ(wrap.GetRowCount(), 0);
  EXPECT_EQ(wrap.NotifyLinesInserted(0, 1), 0);
  EXPECT_EQ(wrap.NotifyLinesChanged(0, 1), 0);
  EXPECT_EQ(wrap.NotifyLinesDeleted(0, 1), 0);
  editor.chars = 400;  // limited to 255
  wrap.NotifyDisplayChanged();
  EXPECT_EQ(wrap.RowWidth(), 255);
  EXPECT_EQ(wrap.GetRowCount(), 2);
}

TEST_F(WordWrapTest, TextToRowPosPlacesRowEndsOnTheRowTheyClose) {
  Load({"abcdefghijklmnopqrstuvwxy", "aaaa bbbb cccc", ""});
  TKedWordWrapPlugin wrap(&editor);
  struct Case {
    TBufferCoord text;
    TDisplayPos display;
  } cases[] = {
      {{1, 1}, {1, 1}},  {{10, 1}, {10, 1}}, {{11, 1}, {1, 2}}, {{25, 1}, {5, 3}},
      {{26, 1}, {6, 3}}, {{40, 1}, {20, 3}}, {{11, 2}, {1, 5}}, {{1, 3}, {1, 6}},
      {{7, 3}, {7, 6}},  {{3, 4}, {3, 7}},   {{2, 9}, {2, 12}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(wrap.TextToRowPos(c.text), c.display) << c.text.Char << "," << c.text.Line;
}

TEST_F(WordWrapTest, RowToTextPosLimitsColumnsToTheRow) {
  Load({"abcdefghijklmnopqrstuvwxy", "aaaaaaaaaa   bb", "x"});
  TKedWordWrapPlugin wrap(&editor);
  ASSERT_EQ(Rows(wrap), (std::vector<int>{10, 10, 5, 13, 2, 1}));
  struct Case {
    TDisplayPos display;
    TBufferCoord text;
  } cases[] = {
      {{1, 1}, {1, 1}},  {{11, 1}, {11, 1}}, {{30, 1}, {11, 1}}, {{3, 2}, {13, 1}},
      {{9, 3}, {29, 1}}, {{30, 3}, {31, 1}}, {{14, 4}, {14, 2}}, {{20, 4}, {14, 2}},
      {{1, 5}, {14, 2}}, {{5, 6}, {5, 3}},   {{4, 8}, {4, 5}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(wrap.RowToTextPos(c.display), c.text) << c.display.Column << "," << c.display.Row;
}

TEST_F(WordWrapTest, TextPositionsRoundTripThroughRows) {
  Load({"abcdefghijklmnopqrstuvwxy", "aaaaaaaaaa   bb", "", "one two three four five six",
        "abcdefghij      "});
  TKedWordWrapPlugin wrap(&editor);
  for (int line = 1; line <= editor.lines.Count(); ++line) {
    const int length = editor.lines.GetExpandedLength(line - 1);
    for (int column = 1; column <= length + 1; ++column) {
      const TBufferCoord text{column, line};
      EXPECT_EQ(wrap.RowToTextPos(wrap.TextToRowPos(text)), text) << column << "," << line;
    }
  }
}

TEST_F(WordWrapTest, NotificationsKeepRowsInStep) {
  Load({"abc", "defghijklmnopqrstuvwxyz"});
  TKedWordWrapPlugin wrap(&editor);
  ASSERT_EQ(wrap.GetRowCount(), 4);

  editor.lines.Insert(1, "aaaa bbbb cccc dddd");
  EXPECT_EQ(wrap.NotifyLinesInserted(1, 1), 2);
  EXPECT_EQ(Rows(wrap), (std::vector<int>{3, 10, 9, 10, 10, 3}));
  ExpectConsistent(wrap);

  editor.lines.Put(0, "0123456789012345678901234");
  EXPECT_EQ(wrap.NotifyLinesChanged(0, 1), 2);
  editor.lines.Put(0, "");
  EXPECT_EQ(wrap.NotifyLinesChanged(0, 1), -2);
  ExpectConsistent(wrap);

  editor.lines.Delete(1);
  EXPECT_EQ(wrap.NotifyLinesDeleted(1, 1), 2);
  ExpectConsistent(wrap);
  EXPECT_EQ(wrap.TextToRowPos({11, 2}), (TDisplayPos{1, 3}));

  editor.lines.Add("tail");
  editor.lines.Add("end");
  EXPECT_EQ(wrap.NotifyLinesInserted(2, 2), 2);
  ExpectConsistent(wrap);

  const int lines = editor.lines.Count();
  editor.lines.Clear();
  EXPECT_EQ(wrap.NotifyLinesDeleted(0, lines), 6);
  EXPECT_EQ(wrap.GetRowCount(), 0);
  EXPECT_EQ(wrap.LineCount(), 0);
}

TEST_F(WordWrapTest, BadRangesAndPositionsAreRefused) {
  Load({"abc"});
  TKedWordWrapPlugin wrap(&editor);
  EXPECT_THROW(wrap.NotifyLinesInserted(2, 1), Exception);
  EXPECT_THROW(wrap.NotifyLinesInserted(0, 0), Exception);
  EXPECT_THROW(wrap.NotifyLinesDeleted(0, 2), Exception);
  EXPECT_THROW(wrap.NotifyLinesChanged(1, 1), Exception);
  EXPECT_THROW(wrap.TextToRowPos({0, 1}), Exception);
  EXPECT_THROW(wrap.RowToTextPos({1, 0}), Exception);
  EXPECT_EQ(wrap.GetRowCount(), 1);
}

TEST_F(WordWrapTest, DisplayChangeRewrapsOnlyForANewWidth) {
  Load({"abcdefghijklmnopqrstuvwxy"});
  TKedWordWrapPlugin wrap(&editor);
  editor.ident.reset('m');  // seen only by a rewrap
  wrap.NotifyDisplayChanged();
  EXPECT_EQ(Rows(wrap), (std::vector<int>{10, 10, 5}));
  editor.chars = 20;
  wrap.NotifyDisplayChanged();
  EXPECT_EQ(wrap.MinRowLength(), 14);
  EXPECT_EQ(Rows(wrap), (std::vector<int>{20, 5}));
  editor.chars = 1;
  wrap.RewrapAll();
  EXPECT_EQ(wrap.MinRowLength(), 1);
  EXPECT_EQ(wrap.GetRowCount(), 25);
}

TEST_F(WordWrapTest, WrapsTheTabExpandedText) {
  editor.lines.SetTabWidth(4);
  Load({"\tab\tcdefgh"});  // expands to 14 columns; a tab is a break character
  TKedWordWrapPlugin wrap(&editor);
  EXPECT_EQ(Rows(wrap), (std::vector<int>{8, 6}));
  EXPECT_EQ(wrap.TextToRowPos({5, 1}), (TDisplayPos{5, 1}));
  ExpectConsistent(wrap);
}

// Generated lines of words, blanks, tabs, punctuation and (with the Shift-JIS
// table) double-byte characters: whatever the width, the rows add up to the
// line, no row is empty or longer than 255, no double-byte character is split
// and every text position survives the trip to the screen and back.
TEST_F(WordWrapTest, GeneratedTextKeepsEveryInvariant) {
  TKedLeadBytesScope sjis(ShiftJisLeadBytes());
  std::uint32_t seed = 12345;
  auto next = [&seed](std::uint32_t bound) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % bound;
  };
  const char* pieces[] = {"word", " ", "\t", ",", "x", "\x82\xA0", "   ", "longerwordhere", ""};
  std::vector<std::string> text;
  for (int i = 0; i < 120; ++i) {
    std::string line;
    const std::uint32_t count = next(i % 10 == 0 ? 200 : 30);
    for (std::uint32_t k = 0; k < count; ++k) line += pieces[next(std::size(pieces))];
    text.push_back(line);
  }
  Load(text);
  for (int tabWidth : {1, 4, 8, 300}) {
    editor.lines.SetTabWidth(tabWidth);
    for (int width : {1, 2, 7, 10, 33, 80, 255}) {
      editor.chars = width;
      TKedWordWrapPlugin wrap(&editor);
      ExpectConsistent(wrap);
      int row = 1;
      for (int i = 0; i < editor.lines.Count(); ++i) {
        const std::string expanded = editor.lines.GetExpandedLine(i);
        std::size_t start = 0;
        for (; row <= wrap.LineOffset(i); ++row) {
          const std::size_t length = static_cast<std::size_t>(wrap.RowLength(row));
          EXPECT_LE(length, 255u);
          // The row starts on a character: the byte before it is no unpaired lead byte.
          std::size_t j = 0;
          while (j < start) j += (IsKedLeadByte(static_cast<unsigned char>(expanded[j])) ? 2 : 1);
          EXPECT_EQ(j, start) << "line " << i << " width " << width << " tabs " << tabWidth;
          start += length;
        }
        if (tabWidth == 8 && (width == 10 || width == 1)) {
          for (int column = 1; column <= static_cast<int>(expanded.size()) + 1; ++column) {
            const TBufferCoord pos{column, i + 1};
            ASSERT_EQ(wrap.RowToTextPos(wrap.TextToRowPos(pos)), pos) << "width " << width;
          }
        }
      }
      if (HasFailure()) return;
    }
  }
}
