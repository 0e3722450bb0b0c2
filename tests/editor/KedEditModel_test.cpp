#include "editor/KedEditModel.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <string>
#include <vector>

#include "editor/KedEditKeystrokeStore.h"
#include "editor/KedHighlighterSQL.h"
#include "framework/SysUtils.h"

namespace {

// A window of 400 x 200 pixels with 8 x 16 pixel cells and a 30 pixel gutter: 46 columns
// right of the gutter, 12 rows.
class FakeHost : public IKedEditHost {
 public:
  bool HostHasWindow() override { return window; }
  bool HostShowing() override { return window; }
  bool HostFocused() override { return focused; }
  int HostClientWidth() override { return 400; }
  int HostClientHeight() override { return 200; }
  void HostInvalidate(const TRect& rect) override { invalidated.push_back(rect); }
  void HostRefreshScrollBars() override { ++scrollBarRefreshes; }
  void HostPlaceCaret(int x, int y, bool visible) override {
    caret = {x, y};
    caretVisible = visible;
  }
  // A small stand-in for the system's character types: letters and digits are half-width
  // alphanumerics, blanks half-width, the line end untyped, everything else a symbol.
  bool HostCharTypes(std::string_view text, std::vector<std::uint16_t>& types) override {
    if (failCharTypes) return false;
    types.clear();
    for (char c : text) {
      const unsigned char u = static_cast<unsigned char>(c);
      if (std::isalnum(u) || c == '_')
        types.push_back(0x8040);
      else if (c == ' ')
        types.push_back(0x0040);
      else if (c == '\0')
        types.push_back(0);
      else
        types.push_back(0x0040 | 0x0008);
    }
    return true;
  }

  bool window = true;
  bool focused = true;
  std::vector<TRect> invalidated;
  int scrollBarRefreshes = 0;
  TPoint caret{};
  bool caretVisible = false;
  bool failCharTypes = false;
};

class EditModelTest : public ::testing::Test {
 protected:
  EditModelTest() { model.SetCellSize(8, 16); }

  void Load(const std::vector<std::string>& text) {
    model.Lines().BeginUpdate();
    for (const auto& line : text) model.Lines().Add(line);
    model.Lines().EndUpdate();
  }

  FakeHost host;
  TKedEditModel model{&host};
};

TEST_F(EditModelTest, StartsWithTheWindowGeometryOfItsCells) {
  EXPECT_EQ(model.CharsInWindow(), (400 - 30 - 2) / 8);
  EXPECT_EQ(model.LinesInWindow(), 200 / 16);
  EXPECT_EQ(model.TextOffset(), 32);
  EXPECT_EQ(model.Options(), KedDefaultOptions);
  EXPECT_TRUE(model.Options().Contains(eoScrollPastEol));
  EXPECT_FALSE(model.Options().Contains(eoScrollPastEof));
}

TEST_F(EditModelTest, TabsExpandToTheNextMultipleOfTheTabWidth) {
  model.SetTabWidth(4);
  Load({"\tA", "ab\tc", "plain"});
  struct Case {
    TBufferCoord text;
    int column;
  } cases[] = {
      {{1, 1}, 1}, {{2, 1}, 5}, {{3, 1}, 6}, {{10, 1}, 13},  // past the end one column per char
      {{3, 2}, 3}, {{4, 2}, 5}, {{5, 2}, 6}, {{4, 3}, 4},   {{7, 9}, 7},  // beyond the text: as is
  };
  for (const auto& c : cases) {
    EXPECT_EQ(model.TextToDisplayPos(c.text), (TDisplayPos{c.column, c.text.Line}))
        << c.text.Char << "," << c.text.Line;
  }
  struct Back {
    int column, line, ch;
  } back[] = {{1, 1, 1}, {2, 1, 1}, {4, 1, 1}, {5, 1, 2}, {6, 1, 3},
              {8, 1, 5}, {3, 2, 3}, {4, 2, 3}, {5, 2, 4}, {3, 7, 3}};
  for (const auto& b : back) {
    EXPECT_EQ(model.DisplayToTextPos({b.column, b.line}), (TBufferCoord{b.ch, b.line}))
        << b.column << "," << b.line;
  }
}

TEST_F(EditModelTest, PixelsMapToCellsAndToTheNearestGap) {
  Load({"x"});
  struct Case {
    int x, y;
    TDisplayPos cell, nearest;
  } cases[] = {
      {32, 0, {1, 1}, {1, 1}},
      {39, 15, {1, 1}, {2, 1}},     // 7/8 of a cell: nearest gap is after it
      {36, 16, {1, 2}, {1, 2}},     // half a cell goes to the even neighbour (0)
      {44, 16, {2, 2}, {3, 2}},     // one and a half: to 2 (even)
      {20, 0, {1, 1}, {1, 1}},      // left of the text area still column 1
      {32, 500, {1, 32}, {1, 12}},  // below the window: nearest keeps the last whole row
  };
  for (const auto& c : cases) {
    EXPECT_EQ(model.PixelsToDisplayPos(c.x, c.y), c.cell) << c.x << "," << c.y;
    EXPECT_EQ(model.PixelsToNearestDisplayPos(c.x, c.y), c.nearest) << c.x << "," << c.y;
  }
  EXPECT_EQ(model.DisplayPosToPixels({3, 2}), (TPoint{32 + 16, 16}));
}

TEST_F(EditModelTest, CaretIsClampedByTheOptions) {
  Load({"hello", "", "longer line"});
  struct Case {
    bool pastEol;
    TBufferCoord in, out;
  } cases[] = {
      {false, {100, 1}, {6, 1}}, {true, {100, 1}, {100, 1}}, {true, {2000, 1}, {1025, 1}},
      {false, {0, 0}, {1, 1}},   {false, {3, 9}, {3, 3}},    {false, {5, 2}, {1, 2}},
      {true, {-4, 2}, {1, 2}},
  };
  for (const auto& c : cases) {
    TKedEditorOptions options = KedDefaultOptions;
    if (!c.pastEol) options -= eoScrollPastEol;
    model.SetOptions(options);
    model.SetCaretPos(c.in);
    EXPECT_EQ(model.GetCaretPos(), c.out)
        << c.in.Char << "," << c.in.Line << " pastEol " << c.pastEol;
  }
}

TEST_F(EditModelTest, CaretOnAnEmptyListStaysAtTheStart) {
  model.SetOptions(KedDefaultOptions - eoScrollPastEol);
  model.SetCaretPos({7, 3});
  EXPECT_EQ(model.GetCaretPos(), (TBufferCoord{1, 1}));
}

TEST_F(EditModelTest, SelectionModesDecideWhatIsSelectedAndItsText) {
  Load({"first", "second", "third"});
  // smLine over the last two lines ends without a line break; over the first two it has one.
  model.SetSelectionMode(TKedSelectionMode::smLine);
  model.SetSelBegin({1, 2});
  model.SetSelEnd({2, 3});
  EXPECT_EQ(model.GetSelText(), "second\r\nthird");
  model.SetSelBegin({1, 1});
  model.SetSelEnd({1, 2});
  EXPECT_EQ(model.GetSelText(), "first\r\nsecond\r\n");

  model.SetSelectionMode(TKedSelectionMode::smNormal);
  model.SetSelBegin({3, 1});
  model.SetSelEnd({4, 3});
  EXPECT_EQ(model.GetSelText(), "rst\r\nsecond\r\nthi");
  EXPECT_TRUE(model.SelectionSpansLines());
  EXPECT_TRUE(model.IsPosInSelection({1, 2}));
  EXPECT_FALSE(model.IsPosInSelection({2, 1}));
  EXPECT_FALSE(model.IsPosInSelection({4, 3}));

  // A zero-width column is no selection; a real one is padded to its width.
  model.SetSelectionMode(TKedSelectionMode::smColumn);
  model.SetSelBegin({5, 1});
  model.SetSelEnd({5, 3});
  EXPECT_FALSE(model.HasSelection());
  model.SetSelEnd({7, 3});
  EXPECT_EQ(model.GetSelText(), "t \r\nnd\r\nd ");
  EXPECT_TRUE(model.IsPosInSelection({6, 2}));
  EXPECT_FALSE(model.IsPosInSelection({7, 2}));
  model.SetOptions(model.Options() + eoTrimTrailingSpaces);
  EXPECT_EQ(model.GetSelText(), "t\r\nnd\r\nd");
}

TEST_F(EditModelTest, NoSelectionOptionKeepsTheSelectionEnd) {
  Load({"abcdef"});
  model.SetSelBegin({2, 1});
  model.SetOptions(model.Options() + eoNoSelection);
  model.SetSelEnd({5, 1});
  EXPECT_FALSE(model.HasSelection());
  EXPECT_EQ(model.BlockEnd(), (TBufferCoord{2, 1}));
}

TEST_F(EditModelTest, WholeTextIndexesCountALineBreakAsTwo) {
  Load({"abc", "", "de"});
  struct Case {
    int64_t index;
    TBufferCoord pos;
  } cases[] = {
      {0, {1, 1}}, {2, {3, 1}}, {3, {4, 1}}, {4, {5, 1}},  // on the CR LF of line 1
      {5, {1, 2}}, {7, {1, 3}}, {9, {3, 3}}, {11, {1, 4}}, {500, {1, 4}},
  };
  for (const auto& c : cases) EXPECT_EQ(model.CharIndexToTextPos(c.index), c.pos) << c.index;
  EXPECT_EQ(model.TextPosToCharIndex({1, 1}), 0);
  EXPECT_EQ(model.TextPosToCharIndex({2, 3}), 8);
  EXPECT_EQ(model.TextPosToCharIndex({1, 9}), 7);  // lines beyond the text count as the last
}

TEST_F(EditModelTest, SelStartAndSelLengthSelectAsTheSearchMarksHits) {
  Load({"abc", "def"});
  model.SetSelStart(0);
  model.SetSelLength(3);
  EXPECT_EQ(model.GetSelText(), "abc");
  EXPECT_EQ(model.GetCaretPos(), (TBufferCoord{4, 1}));

  model.SetSelStart(3);  // on the line break: past the last character
  EXPECT_EQ(model.GetCaretPos(), (TBufferCoord{4, 1}));

  model.SetSelStart(6);
  model.SetSelLength(-3);  // back over the line break
  EXPECT_EQ(model.GetSelText(), "\r\nd");
  EXPECT_EQ(model.GetCaretPos(), (TBufferCoord{4, 1}));
}

TEST_F(EditModelTest, NegativeSelLengthBeforeTheTextStopsAtItsStart) {
  Load({"abc", "def"});
  model.SetSelStart(6);
  model.SetSelLength(-50);
  EXPECT_EQ(model.GetSelBegin(), (TBufferCoord{1, 1}));
  EXPECT_EQ(model.GetSelEnd(), (TBufferCoord{2, 2}));
  EXPECT_EQ(model.GetSelText(), "abc\r\nd");
}

TEST_F(EditModelTest, UnlockWithoutLockIsAnAssertionNotAnUnderflow) {
  EXPECT_THROW(model.UnlockPainting(), EAssertionFailed);
  EXPECT_EQ(model.PaintLock(), 0);
  model.LockPainting();
  model.UnlockPainting();
  EXPECT_EQ(model.PaintLock(), 0);
}

TEST_F(EditModelTest, StatusChangesCollectUntilAHandlerIsAssigned) {
  Load({"one", "two"});
  model.SetCaretPos({2, 2});
  model.SetReadOnly(true);
  std::vector<TKedStatusChanges> reported;
  model.OnStatusChange = [&](TObject*, TKedStatusChanges c) { reported.push_back(c); };
  model.SetInsertMode(false);
  ASSERT_EQ(reported.size(), 1u);
  for (auto sc : {scCaretX, scCaretY, scReadOnly, scInsertMode})
    EXPECT_TRUE(reported[0].Contains(sc));

  // Under the lock a caret move reports once, when the lock ends.
  reported.clear();
  model.LockPainting();
  model.SetCaretPos({1, 1});
  model.SetCaretPos({2, 1});
  EXPECT_TRUE(reported.empty());
  model.UnlockPainting();
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0], (TKedStatusChanges{scCaretX, scCaretY}));
}

TEST_F(EditModelTest, PropertiesAreClampedToTheirRanges) {
  struct Case {
    int in, maxScrollWidth, tabWidth;
  } cases[] = {{0, 1, 1}, {300, 300, 256}, {INT_MAX, INT_MAX - 1, 256}, {-5, 1, 1}, {8, 8, 8}};
  for (const auto& c : cases) {
    model.SetMaxScrollWidth(c.in);
    model.SetTabWidth(c.in);
    EXPECT_EQ(model.MaxScrollWidth(), c.maxScrollWidth) << c.in;
    EXPECT_EQ(model.TabWidth(), c.tabWidth) << c.in;
  }
  model.SetMaxUndo(10);
  model.SetMaxUndo(-1);
  EXPECT_EQ(model.UndoList().MaxActions(), 10);
  EXPECT_EQ(model.RedoList().MaxActions(), 10);
}

TEST_F(EditModelTest, ScrollingToTheCaretShowsIt) {
  std::vector<std::string> text(100, "line");
  Load(text);
  model.SetCaretPos({1, 50});
  EXPECT_EQ(model.TopLine(), 50 - 12 + 1);
  model.SetCaretPos({1, 20});
  EXPECT_EQ(model.TopLine(), 20);
  // Centring: the row just above the view is outside it and gets shown.
  model.PlaceCaret(false, {1, 19});
  model.ScrollToCaret(true);
  EXPECT_LE(model.TopLine(), 19);
  EXPECT_TRUE(model.CaretInView());
  // Without eoScrollPastEof the last row stays at the bottom.
  model.SetTopLine(1000);
  EXPECT_EQ(model.TopLine(), 100 - 12 + 1);
}

TEST_F(EditModelTest, CaretGoesToItsCellOnlyWhenFocused) {
  Load({"abc"});
  host.focused = false;
  model.SetCaretPos({3, 1});
  EXPECT_EQ(host.caret, (TPoint{0, 0}));
  host.focused = true;
  model.UpdateCaret();
  // Vertical line caret: one pixel left of the cell, one down.
  EXPECT_EQ(host.caret, (TPoint{32 + 2 * 8 - 1, 1}));
  EXPECT_TRUE(host.caretVisible);
  model.SetOptions(model.Options() + eoNoCaret);
  model.UpdateCaret();
  EXPECT_FALSE(host.caretVisible);
}

TEST_F(EditModelTest, CaretShapesFollowTheirType) {
  struct Case {
    TKedEditCaretType type;
    TKedCaretShape shape;
  } cases[] = {{ctVerticalLine, {2, 14, {-1, 0}}},
               {ctHorizontalLine, {8, 2, {0, 14}}},
               {ctHalfBlock, {8, 7, {0, 7}}},
               {ctBlock, {8, 14, {0, 0}}}};
  for (const auto& c : cases) EXPECT_EQ(KedCaretShape(c.type, 8, 16), c.shape) << c.type;
}

TEST_F(EditModelTest, WordWrapMapsPositionsToRows) {
  model.SetOptions(KedDefaultOptions - eoScrollPastEol);
  std::string longLine;
  for (int i = 0; i < 20; ++i) longLine += "word ";
  Load({longLine, "short"});
  model.SetWordWrap(true);
  ASSERT_TRUE(model.WordWrap());
  EXPECT_GT(model.GetDisplayRowCount(), 2);
  const int rowOfSecond = model.LineToDisplayRow(2);
  EXPECT_EQ(model.DisplayRowToLine(rowOfSecond), 2);
  EXPECT_EQ(model.DisplayRowToLine(2), 1);
  // A position on the second row of line 1 goes there and back.
  const TDisplayPos d = model.TextToDisplayPos({60, 1});
  EXPECT_EQ(d.Row, 2);
  EXPECT_EQ(model.DisplayToTextPos(d), (TBufferCoord{60, 1}));
  model.SetWordWrap(false);
  EXPECT_EQ(model.GetDisplayRowCount(), 2);
}

TEST_F(EditModelTest, ChangesInsideAnUpdateArePooledIntoOneArea) {
  Load({"a", "b", "c", "d"});
  host.invalidated.clear();
  model.Lines().BeginUpdate();
  model.Lines().Put(1, "B");
  model.Lines().Put(2, "C");
  EXPECT_TRUE(host.invalidated.empty());
  model.Lines().EndUpdate();
  ASSERT_FALSE(host.invalidated.empty());
  EXPECT_EQ(host.invalidated.front(), (TRect{30, 16, 400, 48}));
}

TEST_F(EditModelTest, InvalidatedAreasCoverTheVisibleRowsOfTheirLines) {
  std::vector<std::string> text(40, "x");
  Load(text);
  model.SetTopLine(11);  // rows 11..23 are in the window (the last one partly)
  struct Case {
    int first, last;
    bool gutter;
    TRect area;  // Left 0 Right 0: nothing
  } cases[] = {
      {12, 13, false, {30, 16, 400, 48}},
      {13, 12, false, {30, 16, 400, 48}},            // ordered
      {22, 40, false, {30, 11 * 16, 400, 13 * 16}},  // cut to the window
      {1, 5, false, {}},                             // above the window
      {-1, -1, false, {30, 0, 400, 200}},            // the whole text area
      {-1, -1, true, {0, 0, 30, 200}},               // the whole gutter
      {20, 30, true, {0, 9 * 16, 30, 13 * 16}},
  };
  for (const auto& c : cases) {
    host.invalidated.clear();
    if (c.gutter)
      model.InvalidateGutterRange(c.first, c.last);
    else
      model.InvalidateTextRange(c.first, c.last);
    if (c.area.Right == 0) {
      EXPECT_TRUE(host.invalidated.empty()) << c.first << "-" << c.last;
      continue;
    }
    ASSERT_EQ(host.invalidated.size(), 1u) << c.first << "-" << c.last;
    EXPECT_EQ(host.invalidated[0], c.area) << c.first << "-" << c.last;
  }
  host.window = false;  // no window: nothing to repaint
  host.invalidated.clear();
  model.InvalidateLine(12);
  EXPECT_TRUE(host.invalidated.empty());
}

TEST_F(EditModelTest, ChangingALineCollapsesTheSelectionAtTheCaret) {
  Load({"abc", "def"});
  model.SetCaretPos({2, 2});
  model.SetSelBegin({1, 1});
  model.SetSelEnd({3, 2});
  model.Lines().Put(0, "xyz");
  EXPECT_FALSE(model.HasSelection());
  EXPECT_EQ(model.BlockBegin(), model.GetCaretPos());
}

TEST_F(EditModelTest, WordsAreSelectedByCharacterClass) {
  Load({"select foo_bar, x+1 from t"});
  struct Case {
    int at;
    const char* word;
  } cases[] = {
      {9, "foo_bar"},  {1, "select"}, {14, "foo_bar"},
      {15, "foo_bar"},                            // on a symbol: the word before it
      {18, "x"},       {20, "1"},     {27, "t"},  // at the line end: the last word
  };
  for (const auto& c : cases) {
    model.SelectWordAt({c.at, 1});
    EXPECT_EQ(model.GetSelText(), c.word) << c.at;
    EXPECT_EQ(model.GetCaretPos(), model.GetSelEnd()) << c.at;
  }
  model.SetCaretPos({10, 1});
  EXPECT_EQ(model.GetWordAtCaret(), "foo_bar");
  EXPECT_EQ(model.WordStartOf({10, 1}), (TBufferCoord{8, 1}));
  EXPECT_EQ(model.WordEndOf({10, 1}), (TBufferCoord{15, 1}));
  host.failCharTypes = true;
  try {
    model.SelectWordAt({9, 1});
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "GetStringTypeEx failed");
  }
}

TEST_F(EditModelTest, KeyTableIsStoredAsItsDifferencesFromTheDefaults) {
  TKedEditKeyStrokes defaults;
  defaults.LoadDefaultBindings();
  ASSERT_GT(model.Keystrokes().Count(), 0);
  EXPECT_TRUE(AddedKeystrokes(model.Keystrokes(), defaults).empty());
  EXPECT_TRUE(RemovedKeystrokes(model.Keystrokes(), defaults).empty());

  // One binding dropped, one added: the resource holds exactly those two, and reading them
  // into a default table gives the edited table back.
  TKedEditKeyStroke* dropped = model.Keystrokes().Items(0);
  const TKedEditorCommand droppedCommand = dropped->Command();
  const TShortCut droppedKey = dropped->GetShortCut();
  model.Keystrokes().Delete(0);
  model.Keystrokes().AddBinding(ecNone, 'Q', {ssCtrl, ssAlt, ssShift});
  const auto added = AddedKeystrokes(model.Keystrokes(), defaults);
  const auto removed = RemovedKeystrokes(model.Keystrokes(), defaults);
  ASSERT_EQ(added.size(), 1u);
  ASSERT_EQ(removed.size(), 1u);
  EXPECT_EQ(removed[0]->Command(), droppedCommand);

  TKedEditKeyStrokes addedRead, removedRead;
  addedRead.AddKeyStroke()->Assign(const_cast<TKedEditKeyStroke*>(added[0]));
  removedRead.AddKeyStroke()->Assign(const_cast<TKedEditKeyStroke*>(removed[0]));
  TKedEditKeyStrokes loaded;
  loaded.LoadDefaultBindings();
  ApplyRemovedKeystrokes(loaded, removedRead);
  ApplyAddedKeystrokes(loaded, addedRead);
  EXPECT_EQ(loaded.Count(), model.Keystrokes().Count());
  EXPECT_LT(loaded.IndexOfShortCuts(droppedKey, 0), 0);
  EXPECT_TRUE(AddedKeystrokes(loaded, model.Keystrokes()).empty());

  model.SetKeystrokes(nullptr);
  EXPECT_EQ(model.Keystrokes().Count(), 0);
}

class EditModelHighlightTest : public EditModelTest {
 protected:
  EditModelHighlightTest() {
    sql.CommentAttri()->SetForeground(clGreen);
    sql.KeyAttri()->SetForeground(clBlue);
    sql.KeyAttri()->SetStyle({fsBold});
    model.SetHighlighter(&sql);
  }
  ~EditModelHighlightTest() override { model.SetHighlighter(nullptr); }

  TKedSQLHl sql{nullptr};
};

TEST_F(EditModelHighlightTest, RangesAreScannedOnlyAsFarAsTheTextIsShown) {
  std::vector<std::string> text(1000, "select 1;");
  Load(text);
  EXPECT_EQ(model.RangesValid(), 0);
  model.PaintRow(3, 1, 20, 30, 400);
  EXPECT_EQ(model.RangesValid(), 2);
  model.PaintRow(1000, 1, 20, 30, 400);
  EXPECT_EQ(model.RangesValid(), 999);
}

TEST_F(EditModelHighlightTest, EditingInvalidatesDownToTheLastChangedRange) {
  Load({"select 1;", "select 2;", "select 3;", "select 4;"});
  model.EnsureRangesThrough(3);
  host.invalidated.clear();
  model.Lines().Put(1, "select 22;");  // end state unchanged: only this line
  ASSERT_EQ(host.invalidated.size(), 1u);
  EXPECT_EQ(host.invalidated[0], (TRect{30, 16, 400, 32}));

  host.invalidated.clear();
  model.Lines().Put(1, "select /* open");  // opens a comment: every following line changes
  ASSERT_EQ(host.invalidated.size(), 1u);
  EXPECT_EQ(host.invalidated[0].Top, 16);
  EXPECT_EQ(host.invalidated[0].Bottom,
            13 * 16);  // to the end: every row shown, the partial one too
}

TEST_F(EditModelHighlightTest, LongLinesPaintTheSameWhenResumedFromARecordedPoint) {
  std::string line = "insert into t values ";
  while (line.size() < 300000) line += "(1,'it''s /* no comment */',2.5), /* c */ ";
  Load({line, line});
  const int farColumn = 250000;
  model.SetLeftChar(farColumn);
  const auto fresh = model.PaintRow(1, farColumn, farColumn + 40, 30, 400);
  model.SetLeftChar(farColumn - 100000);
  model.PaintRow(1, farColumn - 100000, farColumn - 99960, 30, 400);  // records points on the way
  model.SetLeftChar(farColumn);
  EXPECT_EQ(model.PaintRow(1, farColumn, farColumn + 40, 30, 400), fresh);
  EXPECT_EQ(model.PaintRow(2, farColumn, farColumn + 40, 30, 400), fresh);
}

TEST_F(EditModelHighlightTest, ALongLineWithTabsPaintsAsItsExpandedText) {
  // Only the shown part of a tab line is expanded; what is shown must not change.
  std::string withTabs, expanded;
  while (expanded.size() < 200000) {
    for (const char* part : {"\tinsert", " into\tt", " values (1,'a\tb');"}) {
      for (const char* c = part; *c; ++c) {
        if (*c == '\t') {
          expanded.append(8 - expanded.size() % 8, ' ');
        } else {
          expanded.push_back(*c);
        }
        withTabs.push_back(*c);
      }
    }
  }
  Load({withTabs, expanded});
  const int end = static_cast<int>(expanded.size());
  for (int first : {1, 5000, end - 30, end - 5}) {
    model.SetLeftChar(first);
    auto shown = model.PaintRow(1, first, first + 40, 30, 400);
    auto reference = model.PaintRow(2, first, first + 40, 30, 400);
    ASSERT_EQ(shown.size(), reference.size()) << first;
    for (size_t i = 0; i < shown.size(); ++i) {
      EXPECT_EQ(shown[i].X, reference[i].X) << first;
      EXPECT_EQ(shown[i].Text, reference[i].Text) << first;
      EXPECT_EQ(shown[i].Fg, reference[i].Fg) << first;
    }
  }
  // The line end is marked where the whole line ends, not where the expanded part stops.
  model.SetOptions(model.Options() + eoShowSpecialChars);
  auto holdsLineEnd = [&](int first) {
    model.SetLeftChar(first);
    for (const auto& r : model.PaintRow(1, first, first + 40, 30, 400))
      if (r.Text.find('\xB6') != std::string::npos) return true;
    return false;
  };
  EXPECT_FALSE(holdsLineEnd(5000));
  EXPECT_TRUE(holdsLineEnd(end - 5));
}

// The colour of each painted column, left to right (fills count once per cell).
std::string Looks(const std::vector<TKedPaintRun>& runs, int cw) {
  std::string out;
  for (const auto& r : runs) {
    if (r.Text.size() == 1 && static_cast<unsigned char>(r.Text[0]) == 0xBB) continue;
    const int cells = r.Text.empty() ? (r.Right - r.X) / cw : static_cast<int>(r.Text.size());
    char code = '?';
    if (r.Bg == clHighlight)
      code = 'S';
    else if (r.Fg == clBlue)
      code = 'K';
    else if (r.Fg == clGreen)
      code = 'C';
    else if (r.Fg == clWindowText || r.Fg == clNone)
      code = '.';
    else if (r.Fg == clRed)
      code = 'R';
    else if (r.Fg == clYellow)
      code = 'Y';
    out.append(static_cast<size_t>(cells), code);
  }
  return out;
}

TEST_F(EditModelHighlightTest, RowsAreLaidOutTokenByTokenWithTheirColours) {
  Load({"select x -- note", "/* a", "b */ from"});
  auto row1 = model.PaintRow(1, 1, 20, 30, 32 + 20 * 8);
  EXPECT_EQ(Looks(row1, 8), "KKKKKK...CCCCCCC....");
  ASSERT_FALSE(row1.empty());
  EXPECT_EQ(row1[0].Text, "select");
  EXPECT_EQ(row1[0].X, 32);
  EXPECT_TRUE(row1[0].Style.Contains(fsBold));
  // The comment opened on line 2 carries over to line 3.
  EXPECT_EQ(Looks(model.PaintRow(3, 1, 10, 30, 32 + 10 * 8), 8), "CCCC.KKKK.");
  // Scrolled right: only the columns shown.
  EXPECT_EQ(Looks(model.PaintRow(1, 4, 8, 30, 32 + 5 * 8), 8), "KKK..");
}

TEST_F(EditModelHighlightTest, SelectionIsPaintedInItsModes) {
  Load({"abcdefgh", "abcdefgh", "abcdefgh"});
  model.SetSelBegin({3, 1});
  model.SetSelEnd({5, 3});
  EXPECT_EQ(Looks(model.PaintRow(1, 1, 10, 30, 32 + 10 * 8), 8), "..SSSSSSSS");
  EXPECT_EQ(Looks(model.PaintRow(2, 1, 10, 30, 32 + 10 * 8), 8), "SSSSSSSSSS");
  EXPECT_EQ(Looks(model.PaintRow(3, 1, 10, 30, 32 + 10 * 8), 8), "SSSS......");

  // A column selection drawn right to left paints the same rectangle.
  model.SetSelectionMode(TKedSelectionMode::smColumn);
  model.SetSelBegin({6, 1});
  model.SetSelEnd({3, 3});
  EXPECT_EQ(Looks(model.PaintRow(2, 1, 10, 30, 32 + 10 * 8), 8), "..SSS.....");

  // Hidden while the window has no focus.
  model.SetHideSelection(true);
  host.focused = false;
  EXPECT_EQ(Looks(model.PaintRow(2, 1, 10, 30, 32 + 10 * 8), 8), "..........");
}

TEST_F(EditModelTest, SpecialLineColoursAreSwappedInTheSelection) {
  Load({"abcd", "abcd"});
  model.OnSpecialLineColors = [](TObject*, int line, bool& special, TColor& fg, TColor& bg) {
    if (line != 2) return;
    special = true;
    fg = clRed;
    bg = clYellow;
  };
  model.SetSelBegin({1, 2});
  model.SetSelEnd({3, 2});
  auto runs = model.PaintRow(2, 1, 6, 30, 32 + 6 * 8);
  ASSERT_GE(runs.size(), 2u);
  EXPECT_EQ(runs[0].Fg, clYellow);
  EXPECT_EQ(runs[0].Bg, clRed);
  EXPECT_EQ(runs[0].Text, "ab");
  EXPECT_EQ(runs[1].Fg, clRed);
  EXPECT_EQ(runs[1].Bg, clYellow);
}

TEST_F(EditModelTest, SpecialCharactersShowBlanksTabsAndTheLineEnd) {
  model.SetOptions(model.Options() + eoShowSpecialChars);
  Load({"\tx y"});
  auto runs = model.PaintRow(1, 1, 14, 30, 32 + 14 * 8);
  std::string text;
  int tabMarkX = -1;
  for (const auto& r : runs) {
    if (r.Text == "\xBB")
      tabMarkX = r.X;
    else
      text += r.Text;
  }
  EXPECT_EQ(text, std::string(8, ' ') + "x\xB7y\xB6");
  // The tab mark's cell starts three and a half cells into the tab.
  EXPECT_EQ(tabMarkX, 32 + 3 * 8 + 4);
}

TEST_F(EditModelTest, AnEmptyListPaintsOnlyTheBackground) {
  auto runs = model.PaintRow(1, 1, 10, 30, 400);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_TRUE(runs[0].Text.empty());
  EXPECT_EQ(runs[0].Bg, clWindow);
  EXPECT_EQ(model.GetDisplayRowCount(), 0);
}

}  // namespace
