// Editing through the model's command pipeline: caret movement, the editing commands with
// their undo items, the three selection modes, clipboard, undo/redo grouping and marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "editor/KedEditKeyCmds.h"
#include "editor/KedEditModel.h"
#include "framework/VirtualKeys.h"

namespace {

// 400 x 200 pixels with 8 x 16 cells: 46 columns right of the gutter and 12 rows.
class EditHost : public IKedEditHost {
 public:
  bool HostHasWindow() override { return true; }
  bool HostShowing() override { return true; }
  bool HostFocused() override { return true; }
  int HostClientWidth() override { return 400; }
  int HostClientHeight() override { return 200; }
  void HostInvalidate(const TRect&) override {}
  void HostRefreshScrollBars() override {}
  void HostPlaceCaret(int, int, bool) override {}
  bool HostCharTypes(std::string_view text, std::vector<std::uint16_t>& types) override {
    types.assign(text.size(), 0x8040);
    return true;
  }
  void HostScroll(const TRect&, int dx, int dy) override { scrolls.push_back({dx, dy}); }
  void HostWriteClipboard(std::string_view text, TKedSelectionMode mode) override {
    clipboard = std::string(text);
    clipboardMode = mode;
    ownFormat = true;
  }
  bool HostClipboardHasText() override { return hasText; }
  bool HostReadClipboard(std::string& text, TKedSelectionMode& mode, bool& plain) override {
    text = clipboard;
    mode = clipboardMode;
    plain = !ownFormat;
    return hasText;
  }

  std::string clipboard;
  TKedSelectionMode clipboardMode = TKedSelectionMode::smNormal;
  bool ownFormat = false;
  bool hasText = true;
  std::vector<TPoint> scrolls;
};

std::vector<std::string> TextOf(TKedEditModel& m) {
  std::vector<std::string> lines;
  for (int i = 0; i < m.Lines().Count(); ++i) lines.emplace_back(m.Lines().LineView(i));
  return lines;
}

class EditCommandsTest : public ::testing::Test {
 protected:
  EditCommandsTest() { model.SetCellSize(8, 16); }

  void Load(const std::vector<std::string>& text) {
    model.Lines().BeginUpdate();
    for (const auto& line : text) model.Lines().Add(line);
    model.Lines().EndUpdate();
    model.ClearUndoHistory();
    model.SetModified(false);
  }
  void Run(TKedEditorCommand command, char ch = '\0', const void* data = nullptr) {
    model.RunCommand(command, ch, data);
  }
  void Type(const std::string& s) {
    for (char c : s) Run(ecChar, c);
  }
  void Select(TBufferCoord begin, TBufferCoord end) {
    model.PlaceCaretAndSelection(end, begin, end);
  }
  void UndoAll() {
    while (model.UndoList().HasItems()) model.Undo();
  }
  void RedoAll() {
    while (model.RedoList().HasItems()) model.Redo();
  }

  EditHost host;
  TKedEditModel model{&host};
};

// ---- movement -----------------------------------------------------------------------------

struct MoveCase {
  const char* name;
  std::vector<std::string> text;
  TBufferCoord caret;
  TKedEditorCommand command;
  TKedEditorOptions add;
  TKedEditorOptions remove;
  TBufferCoord expected;
};

TEST_F(EditCommandsTest, CaretMovementCommandsLandWhereTheyShould) {
  const TKedEditorOptions none;
  const std::vector<MoveCase> cases = {
      {"right past the end with scroll past eol",
       {"ab", "cd"},
       {3, 1},
       ecRight,
       none,
       none,
       {4, 1}},
      {"right at the end wraps without it",
       {"ab", "cd"},
       {3, 1},
       ecRight,
       none,
       {eoScrollPastEol},
       {1, 2}},
      {"left at the start wraps without it",
       {"ab", "cd"},
       {1, 2},
       ecLeft,
       none,
       {eoScrollPastEol},
       {3, 1}},
      {"left at the start stays with it", {"ab", "cd"}, {1, 2}, ecLeft, none, none, {1, 2}},
      {"word right from the last character",
       {"select a", "from b"},
       {8, 1},
       ecWordRight,
       none,
       none,
       {1, 2}},
      {"word right inside a line", {"select a from"}, {2, 1}, ecWordRight, none, none, {8, 1}},
      {"word left to the word start", {"select abc"}, {10, 1}, ecWordLeft, none, none, {8, 1}},
      {"word left at a line start", {"ab", "cd"}, {1, 2}, ecWordLeft, none, none, {3, 1}},
      {"home goes to the first non-blank",
       {"    abc"},
       {7, 1},
       ecLineStart,
       {eoEnhanceHomeKey},
       none,
       {5, 1}},
      {"home from the first non-blank",
       {"    abc"},
       {5, 1},
       ecLineStart,
       {eoEnhanceHomeKey},
       none,
       {1, 1}},
      {"home from character 1", {"    abc"}, {1, 1}, ecLineStart, {eoEnhanceHomeKey}, none, {5, 1}},
      {"plain home", {"    abc"}, {7, 1}, ecLineStart, none, {eoEnhanceHomeKey}, {1, 1}},
      {"end stops before trailing blanks", {"abc   "}, {1, 1}, ecLineEnd, none, none, {4, 1}},
      {"end again goes to the real end", {"abc   "}, {4, 1}, ecLineEnd, none, none, {7, 1}},
      {"down keeps the column past short lines",
       {"abcdef", "ab"},
       {5, 1},
       ecDown,
       none,
       none,
       {5, 2}},
      {"down clamps without scroll past eol",
       {"abcdef", "ab"},
       {5, 1},
       ecDown,
       none,
       {eoScrollPastEol},
       {3, 2}},
      {"up at the top stays", {"abc"}, {2, 1}, ecUp, none, none, {2, 1}},
      {"editor bottom", {"a", "bc", "def"}, {1, 1}, ecEditorBottom, none, none, {4, 3}},
      {"editor top", {"a", "bc", "def"}, {2, 3}, ecEditorTop, none, none, {1, 1}},
      {"bracket forward", {"f(a, (b))", "x"}, {2, 1}, ecMatchBracket, none, none, {9, 1}},
      {"bracket backward over lines",
       {"{", "  [x]", "}"},
       {1, 3},
       ecMatchBracket,
       none,
       none,
       {1, 1}},
      {"no bracket stays", {"abc"}, {2, 1}, ecMatchBracket, none, none, {2, 1}},
  };
  for (const MoveCase& c : cases) {
    SCOPED_TRACE(c.name);
    model.ClearAll();
    model.SetOptions((KedDefaultOptions + c.add) - c.remove);
    Load(c.text);
    model.SetCaretAndCollapse(c.caret);
    Run(c.command);
    EXPECT_EQ(model.GetCaretPos(), c.expected);
  }
}

TEST_F(EditCommandsTest, PageDownMovesByAHalfPageLessOne) {
  model.SetOptions(KedDefaultOptions + eoHalfPageScroll + eoScrollByOneLess);
  std::vector<std::string> text(60, "x");
  Load(text);
  Run(ecPageDown);
  // 12 rows in the window: halved to 6, one less is 5.
  EXPECT_EQ(model.CaretY(), 6);
  EXPECT_EQ(model.TopLine(), 6);
}

TEST_F(EditCommandsTest, SelectingMovesExtendTheSelectionFromTheCaret) {
  Load({"hello world"});
  Run(ecSelWordRight);
  EXPECT_EQ(model.GetSelText(), "hello ");
  Run(ecSelLineEnd);
  EXPECT_EQ(model.GetSelText(), "hello world");
  Run(ecLeft);
  EXPECT_FALSE(model.HasSelection());
}

TEST_F(EditCommandsTest, ScrollingByLessThanAWindowMovesPixelsInsteadOfRepainting) {
  std::vector<std::string> text(100, "x");
  Load(text);
  model.SetTopLine(4);
  ASSERT_EQ(host.scrolls.size(), 1u);
  EXPECT_EQ(host.scrolls[0].Y, -3 * 16);
  model.SetTopLine(80);  // a jump of more than a window repaints instead
  EXPECT_EQ(host.scrolls.size(), 1u);
}

// ---- the pipeline ----------------------------------------------------------------------------

TEST_F(EditCommandsTest, AHandlerThatCancelsACommandStillSeesItProcessed) {
  Load({"abc"});
  std::vector<TKedEditorCommand> processed;
  model.OnProcessCommand = [](TObject*, TKedEditorCommand& c, char&, const void*) {
    if (c == ecChar) c = ecNone;
  };
  model.OnCommandProcessed = [&](TObject*, TKedEditorCommand& c, char&, const void*) {
    processed.push_back(c);
  };
  Run(ecChar, 'x');
  EXPECT_EQ(TextOf(model), std::vector<std::string>{"abc"});
  EXPECT_EQ(processed, std::vector<TKedEditorCommand>{ecNone});
}

TEST_F(EditCommandsTest, UserCommandsGoToTheUserHandlerOnly) {
  Load({"abc"});
  int user = 0;
  int plain = 0;
  model.OnProcessUserCommand = [&](TObject*, TKedEditorCommand&, char&, const void*) { ++user; };
  model.OnProcessCommand = [&](TObject*, TKedEditorCommand&, char&, const void*) { ++plain; };
  Run(ecUserFirst + 4);
  EXPECT_EQ(user, 1);
  EXPECT_EQ(plain, 0);
}

TEST_F(EditCommandsTest, KeysTranslateThroughTheKeyTable) {
  EXPECT_EQ(model.TranslateKey(vkLeft, {}), ecLeft);
  EXPECT_EQ(model.TranslateKey(vkRight, {ssShift}), ecSelRight);
  EXPECT_EQ(model.TranslateKey('Z', {ssCtrl}), ecUndo);
  EXPECT_EQ(model.TranslateKey(vkReturn, {}), ecLineBreak);
  // An unbound key below 30 never starts a two-key sequence.
  model.Keystrokes().AddBinding(ecSelectAll, 0x1B, {}, 'Q', {});
  EXPECT_EQ(model.TranslateKey(0x1B, {}), ecNone);
  EXPECT_EQ(model.TranslateKey('Q', {}), ecNone);
}

TEST_F(EditCommandsTest, ReadOnlyRefusesEditsButNotMoves) {
  Load({"abc"});
  model.SetReadOnly(true);
  Run(ecChar, 'x');
  Run(ecDeleteChar);
  Run(ecRight);
  EXPECT_EQ(TextOf(model), std::vector<std::string>{"abc"});
  EXPECT_EQ(model.CaretX(), 2);
}

// ---- editing commands and their undo items ---------------------------------------------------

struct EditCase {
  const char* name;
  std::vector<std::string> text;
  TBufferCoord caret;
  TKedEditorCommand command;
  char ch;
  TKedEditorOptions add;
  TKedEditorOptions remove;
  std::vector<std::string> expected;
  TBufferCoord caretAfter;
  // The newest undo item (reason 255: nothing recorded).
  std::uint8_t reason;
  TBufferCoord start;
  TBufferCoord end;
  const char* itemText;
};

TEST_F(EditCommandsTest, EditingCommandsChangeTheTextAndRecordTheirUndoItem) {
  const TKedEditorOptions none;
  const std::vector<EditCase> cases = {
      {"backspace at the very start",
       {"ab"},
       {1, 1},
       ecDeleteLastChar,
       0,
       none,
       none,
       {"ab"},
       {1, 1},
       255,
       {},
       {},
       ""},
      {"backspace in a line",
       {"abc"},
       {3, 1},
       ecDeleteLastChar,
       0,
       none,
       none,
       {"ac"},
       {2, 1},
       crkSilentDelete,
       {2, 1},
       {3, 1},
       "b"},
      {"backspace joins lines",
       {"ab", "cd"},
       {1, 2},
       ecDeleteLastChar,
       0,
       none,
       none,
       {"abcd"},
       {3, 1},
       crkSilentDelete,
       {3, 1},
       {1, 2},
       "\r\n"},
      {"backspace smart tab",
       {"    x", "        y"},
       {9, 2},
       ecDeleteLastChar,
       0,
       none,
       none,
       {"    x", "    y"},
       {5, 2},
       crkSilentDelete,
       {5, 2},
       {9, 2},
       "    "},
      {"backspace one tab stop",
       {"    x", "        y"},
       {9, 2},
       ecDeleteLastChar,
       0,
       none,
       {eoSmartTabDelete},
       {"    x", "    y"},
       {5, 2},
       crkSilentDelete,
       {5, 2},
       {9, 2},
       "    "},
      {"delete at the end of the last line",
       {"ab"},
       {3, 1},
       ecDeleteChar,
       0,
       none,
       none,
       {"ab"},
       {3, 1},
       255,
       {},
       {},
       ""},
      {"delete joins lines",
       {"ab", "cd"},
       {3, 1},
       ecDeleteChar,
       0,
       none,
       none,
       {"abcd"},
       {3, 1},
       crkSilentDeleteForward,
       {3, 1},
       {1, 2},
       "\r\n"},
      {"delete a character",
       {"abc"},
       {2, 1},
       ecDeleteChar,
       0,
       none,
       none,
       {"ac"},
       {2, 1},
       crkSilentDeleteForward,
       {2, 1},
       {3, 1},
       "b"},
      {"enter splits with indentation",
       {"    abcdef"},
       {8, 1},
       ecLineBreak,
       0,
       none,
       none,
       {"    abc", "    def"},
       {5, 2},
       crkLineBreak,
       {8, 1},
       {8, 1},
       "def"},
      {"enter at a line start",
       {"ab"},
       {1, 1},
       ecLineBreak,
       0,
       none,
       none,
       {"", "ab"},
       {1, 2},
       crkLineBreak,
       {1, 1},
       {1, 1},
       "ab"},
      {"enter past the end",
       {"  ab"},
       {7, 1},
       ecLineBreak,
       0,
       none,
       none,
       {"  ab", "  "},
       {3, 2},
       crkLineBreak,
       {7, 1},
       {7, 1},
       ""},
      {"insert line keeps the caret",
       {"abcd"},
       {3, 1},
       ecInsertLine,
       0,
       none,
       none,
       {"ab", "cd"},
       {3, 1},
       crkLineBreak,
       {3, 1},
       {3, 1},
       "cd"},
      {"typing",
       {"ac"},
       {2, 1},
       ecChar,
       'b',
       none,
       none,
       {"abc"},
       {3, 1},
       crkInsert,
       {2, 1},
       {3, 1},
       ""},
      {"typing past the end pads",
       {"abc"},
       {10, 1},
       ecChar,
       'x',
       none,
       none,
       {"abc      x"},
       {11, 1},
       crkInsert,
       {10, 1},
       {11, 1},
       ""},
      {"control characters are not typed",
       {"abc"},
       {2, 1},
       ecChar,
       '\x07',
       none,
       none,
       {"abc"},
       {2, 1},
       255,
       {},
       {},
       ""},
      {"delete word",
       {"select a from"},
       {1, 1},
       ecDeleteWord,
       0,
       none,
       none,
       {"a from"},
       {1, 1},
       crkSilentDeleteForward,
       {1, 1},
       {8, 1},
       "select "},
      {"delete last word",
       {"select abc"},
       {11, 1},
       ecDeleteLastWord,
       0,
       none,
       none,
       {"select "},
       {8, 1},
       crkSilentDelete,
       {8, 1},
       {11, 1},
       "abc"},
      {"delete to line end",
       {"abcdef"},
       {3, 1},
       ecDeleteEOL,
       0,
       none,
       none,
       {"ab"},
       {3, 1},
       crkSilentDeleteForward,
       {3, 1},
       {7, 1},
       "cdef"},
      {"delete to line start",
       {"abcdef"},
       {3, 1},
       ecDeleteBOL,
       0,
       none,
       none,
       {"cdef"},
       {1, 1},
       crkSilentDelete,
       {1, 1},
       {3, 1},
       "ab"},
      {"delete a line",
       {"a", "b", "c"},
       {1, 2},
       ecDeleteLine,
       0,
       none,
       none,
       {"a", "c"},
       {1, 2},
       crkSilentDeleteForward,
       {1, 2},
       {1, 3},
       "b\r\n"},
      {"delete the last line empties it",
       {"a", "bc"},
       {2, 2},
       ecDeleteLine,
       0,
       none,
       none,
       {"a", ""},
       {1, 2},
       crkSilentDeleteForward,
       {1, 2},
       {3, 2},
       "bc"},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.name);
    model.ClearAll();
    model.SetOptions((KedDefaultOptions + c.add) - c.remove);
    model.SetTabWidth(4);
    Load(c.text);
    model.SetCaretAndCollapse(c.caret);
    Run(c.command, c.ch);
    EXPECT_EQ(TextOf(model), c.expected);
    EXPECT_EQ(model.GetCaretPos(), c.caretAfter);
    const TKedEditUndoItem* item = model.UndoList().PeekLast();
    if (c.reason == 255) {
      EXPECT_EQ(item, nullptr);
      EXPECT_FALSE(model.Modified());
      continue;
    }
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Reason, c.reason);
    EXPECT_EQ(item->StartPos, c.start);
    EXPECT_EQ(item->EndPos, c.end);
    EXPECT_EQ(item->Text, c.itemText);
    EXPECT_TRUE(model.Modified());
    UndoAll();
    EXPECT_EQ(TextOf(model), c.text) << "after undo";
    EXPECT_FALSE(model.Modified());
    RedoAll();
    EXPECT_EQ(TextOf(model), c.expected) << "after redo";
    EXPECT_TRUE(model.Modified());
  }
}

TEST_F(EditCommandsTest, TypingPastTheEndRecordsTheBlanksAndTheCharacterAsOneStep) {
  Load({"abc"});
  model.SetCaretAndCollapse({10, 1});
  Run(ecChar, 'x');
  ASSERT_EQ(model.UndoList().GetItemCount(), 2);
  const TKedEditUndoItem* blanks = model.UndoList().Item(0);
  const TKedEditUndoItem* typed = model.UndoList().Item(1);
  EXPECT_EQ(blanks->Reason, crkWhitespaceAdd);
  EXPECT_EQ(blanks->StartPos, (TBufferCoord{10, 1}));
  EXPECT_EQ(blanks->EndPos, (TBufferCoord{4, 1}));
  EXPECT_EQ(blanks->ChangeId, typed->ChangeId);
  model.Undo();
  EXPECT_EQ(TextOf(model), std::vector<std::string>{"abc"});
}

TEST_F(EditCommandsTest, EnterOnAnEmptyListMakesTwoLines) {
  Run(ecLineBreak);
  EXPECT_EQ(model.Lines().Count(), 2);
  EXPECT_EQ(model.GetCaretPos(), (TBufferCoord{1, 2}));
}

TEST_F(EditCommandsTest, OverwriteReplacesAndUndoGivesTheOldCharacterBack) {
  Load({"abc"});
  Run(ecToggleMode);
  Type("XY");
  EXPECT_EQ(TextOf(model), std::vector<std::string>{"XYc"});
  model.Undo();
  EXPECT_EQ(TextOf(model), std::vector<std::string>{"abc"});
  model.Redo();
  EXPECT_EQ(TextOf(model), std::vector<std::string>{"XYc"});
}

// ---- the three selection modes ---------------------------------------------------------------

TEST_F(EditCommandsTest, ReplacingAThreeLineSelectionJoinsTheOuterParts) {
  Load({"one", "aaXXX", "YYY", "ZZbb", "two"});
  model.SetBookmark(1, 1, 3);
  model.SetBookmark(2, 1, 5);
  Select({3, 2}, {3, 4});
  Run(ecChar, 'q');
  EXPECT_EQ(TextOf(model), (std::vector<std::string>{"one", "aaqbb", "two"}));
  int ch = 0, line = 0;
  ASSERT_TRUE(model.GetBookmark(1, ch, line));
  EXPECT_EQ(line, 2);
  ASSERT_TRUE(model.GetBookmark(2, ch, line));
  EXPECT_EQ(line, 3);
  model.Undo();
  EXPECT_EQ(TextOf(model), (std::vector<std::string>{"one", "aaXXX", "YYY", "ZZbb", "two"}));
}

// A selection over thousands of lines is deleted keeping its whole lines for undo without a
// copy of their text; undo, redo and undo again give back exactly what was there, edited
// lines, bookmarks and the parts of the first and the last line included.
TEST_F(EditCommandsTest, DeletingThousandsOfLinesAndUndoingGivesEveryLineBack) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "INSERT INTO t VALUES (" + std::to_string(i) + ");\r\n";
  text += "last";
  struct Case {
    TBufferCoord begin;
    TBufferCoord end;
  };
  const Case cases[] = {
      {{1, 1}, {5, 5001}},    // everything, as select-all does
      {{8, 2}, {3, 4000}},    // from inside one line to inside another
      {{1, 10}, {1, 1200}},   // whole lines, the last one kept
      {{30, 3}, {30, 3000}},  // past the ends of both lines
  };
  for (const Case& c : cases) {
    model.Lines().LoadFromString(text);
    model.ClearUndoHistory();
    model.Lines().Put(500, "edited line");  // a line with its own copy among loaded ones
    model.SetBookmark(1, 1, 4500);
    const std::string before = model.Lines().SaveToString();
    const size_t memoryBefore = model.Lines().MemoryUsed();
    const std::string selected = [&] {
      Select(c.begin, c.end);
      return model.GetSelText();
    }();
    Run(ecDeleteChar);
    const std::string after = model.Lines().SaveToString();
    EXPECT_EQ(model.Lines().Count(), 5001 - (c.end.Line - c.begin.Line));
    model.Undo();
    EXPECT_EQ(model.Lines().SaveToString(), before) << "from line " << c.begin.Line;
    EXPECT_EQ(model.GetSelText(), selected) << "undo selects what it put back";
    // Copies of the lines would cost more than their records (16 bytes a line) and the slots.
    EXPECT_LT(model.Lines().MemoryUsed(), memoryBefore + 5000 * 20) << "the lines were copied";
    int ch = 0, line = 0;
    ASSERT_TRUE(model.GetBookmark(1, ch, line));
    if (c.end.Line < 4500) {
      EXPECT_EQ(line, 4500) << "a mark below the deletion comes back";
    }
    model.Redo();
    EXPECT_EQ(model.Lines().SaveToString(), after);
    model.Undo();
    EXPECT_EQ(model.Lines().SaveToString(), before);
  }
}

TEST_F(EditCommandsTest, DeletingALineSelectionWithTheLastLineLeavesItEmpty) {
  Load({"a", "b", "c"});
  model.SetSelectionMode(TKedSelectionMode::smLine);
  Select({1, 2}, {1, 3});
  Run(ecDeleteChar);
  EXPECT_EQ(TextOf(model), (std::vector<std::string>{"a", ""}));
  model.Undo();
  EXPECT_EQ(TextOf(model), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(EditCommandsTest, LinesInsertedInLineModeGoAboveTheCaretLine) {
  Load({"1", "2", "3", "4", "5", "6"});
  model.SetCaretAndCollapse({3, 5});
  model.SetActiveSelectionMode(TKedSelectionMode::smLine);
  model.SetSelTextInMode(TKedSelectionMode::smLine, "x\r\ny\r\n", false);
  EXPECT_EQ(TextOf(model), (std::vector<std::string>{"1", "2", "3", "4", "x", "y", "5", "6"}));
  EXPECT_EQ(model.GetCaretPos(), (TBufferCoord{1, 7}));
}

TEST_F(EditCommandsTest, ColumnTextGoesOnePiecePerLineAndAddsMissingLines) {
  Load({"0123456789abc", "0123"});
  model.SetCaretAndCollapse({10, 1});
  model.SetSelTextInMode(TKedSelectionMode::smColumn, "AA\r\nBB\r\nCC", false);
  EXPECT_EQ(TextOf(model),
            (std::vector<std::string>{"012345678AA9abc", "0123     BB", "         CC"}));
  model.ClearAll();
  Load({"ab", "cd"});
  model.SetCaretAndCollapse({2, 1});
  model.SetSelTextInMode(TKedSelectionMode::smColumn, "1\n2", false);
  EXPECT_EQ(TextOf(model), (std::vector<std::string>{"a1b", "c2d"}));
}

TEST_F(EditCommandsTest, CarriageReturnsAloneBreakLinesInNormalMode) {
  Load({"ab"});
  model.SetCaretAndCollapse({2, 1});
  model.SetSelTextInMode(TKedSelectionMode::smNormal, "1\r2\r3", false);
  EXPECT_EQ(TextOf(model), (std::vector<std::string>{"a1", "2", "3b"}));
  EXPECT_EQ(model.GetCaretPos(), (TBufferCoord{2, 3}));
}

TEST_F(EditCommandsTest, ReplacingAnEmptySelectionWithNothingRecordsNothing) {
  Load({"abc"});
  model.ReplaceSelection("");
  EXPECT_FALSE(model.UndoList().HasItems());
  EXPECT_EQ(TextOf(model), std::vector<std::string>{"abc"});
}

TEST_F(EditCommandsTest, ColumnSelectionDeletesTheSameCharactersOnEveryLine) {
  Load({"abcdef", "ghijkl", "mn"});
  model.SetSelectionMode(TKedSelectionMode::smColumn);
  Select({2, 1}, {4, 3});
  Run(ecDeleteChar);
  EXPECT_EQ(TextOf(model), (std::vector<std::string>{"adef", "gjkl", "m"}));
  model.Undo();
  EXPECT_EQ(TextOf(model)[0], "abcdef");
  EXPECT_EQ(TextOf(model)[1], "ghijkl");
}

// ---- clipboard --------------------------------------------------------------------------------

TEST_F(EditCommandsTest, AColumnBlockPastesAsARectangleAndOneUndoRemovesIt) {
  Load({"abcdef", "ghijkl", "mnopqr"});
  model.SetSelectionMode(TKedSelectionMode::smColumn);
  Select({2, 1}, {4, 2});
  Run(ecCopy);
  EXPECT_EQ(host.clipboard, "bc\r\nhi");
  EXPECT_EQ(host.clipboardMode, TKedSelectionMode::smColumn);
  model.SetSelectionMode(TKedSelectionMode::smNormal);
  model.SetCaretAndCollapse({5, 2});
  Run(ecPaste);
  EXPECT_EQ(TextOf(model), (std::vector<std::string>{"abcdef", "ghijbckl", "mnophiqr"}));
  model.Undo();
  EXPECT_EQ(TextOf(model), (std::vector<std::string>{"abcdef", "ghijkl", "mnopqr"}));
}

TEST_F(EditCommandsTest, PlainTextPastesInTheActiveModeAndUndoRestoresTheSelection) {
  Load({"hello world"});
  host.clipboard = "big\r\nbrave";
  host.ownFormat = false;
  Select({7, 1}, {12, 1});
  Run(ecPaste);
  EXPECT_EQ(TextOf(model), (std::vector<std::string>{"hello big", "brave"}));
  model.Undo();  // the deleted selection and the paste go back in one step
  EXPECT_EQ(TextOf(model), std::vector<std::string>{"hello world"});
  EXPECT_FALSE(model.UndoList().HasItems());
  model.Redo();
  EXPECT_EQ(TextOf(model), (std::vector<std::string>{"hello big", "brave"}));
}

TEST_F(EditCommandsTest, CutTakesTheTextAndCopyWithoutSelectionLeavesTheClipboard) {
  Load({"abcdef"});
  host.clipboard = "old";
  Run(ecCopy);
  EXPECT_EQ(host.clipboard, "old");
  Select({2, 1}, {4, 1});
  Run(ecCut);
  EXPECT_EQ(host.clipboard, "bc");
  EXPECT_EQ(TextOf(model), std::vector<std::string>{"adef"});
  model.Undo();
  EXPECT_EQ(TextOf(model), std::vector<std::string>{"abcdef"});
}

// ---- undo grouping and the modified flag -----------------------------------------------------

TEST_F(EditCommandsTest, TypedLettersUndoTogetherUntilTheCaretMoves) {
  Load({""});
  Type("abc");
  model.Undo();
  EXPECT_EQ(TextOf(model), std::vector<std::string>{""});
  model.Redo();
  Type("d");
  Run(ecLeft);
  Type("e");
  EXPECT_EQ(TextOf(model), std::vector<std::string>{"abced"});
  model.Undo();
  EXPECT_EQ(TextOf(model), std::vector<std::string>{"abcd"});
}

TEST_F(EditCommandsTest, ModifiedFollowsTheSavedState) {
  Load({"ab"});
  Type("x");
  EXPECT_TRUE(model.Modified());
  model.SetModified(false);  // saved
  model.Undo();
  EXPECT_TRUE(model.Modified());
  model.Redo();
  EXPECT_FALSE(model.Modified());
}

TEST_F(EditCommandsTest, ANewChangeClearsTheRedoList) {
  Load({"ab"});
  Type("x");
  model.Undo();
  EXPECT_TRUE(model.RedoList().HasItems());
  Type("y");
  EXPECT_FALSE(model.RedoList().HasItems());
}

// ---- marks
// ---------------------------------------------------------------------------------------

TEST_F(EditCommandsTest, BookmarksMoveWithInsertedAndDeletedLines) {
  std::vector<std::string> text(20, "x");
  Load(text);
  model.SetBookmark(0, 1, 10);
  model.SetBookmark(1, 1, 8);
  model.MarksLinesInserted(3, 2);
  int ch = 0, line = 0;
  model.GetBookmark(0, ch, line);
  EXPECT_EQ(line, 12);
  model.MarksLinesDeleted(5, 8);  // lines 5-12 go
  model.GetBookmark(1, ch, line);
  EXPECT_EQ(line, 5);
}

TEST_F(EditCommandsTest, SettingAMarkerTwiceOnOneLineRemovesIt) {
  Load({"a", "b"});
  Run(ecSetMarker0 + 3);
  EXPECT_NE(model.Bookmark(3), nullptr);
  Run(ecSetMarker0 + 3);
  EXPECT_EQ(model.Bookmark(3), nullptr);
  Run(ecSetMarker0 + 3);
  model.SetCaretAndCollapse({1, 2});
  Run(ecSetMarker0 + 3);
  ASSERT_NE(model.Bookmark(3), nullptr);
  EXPECT_EQ(model.Bookmark(3)->Line, 2);
  EXPECT_EQ(model.Marks().size(), 1u);
}

TEST_F(EditCommandsTest, GotoBookmarkJumpsAndIgnoresALineBeyondTheText) {
  std::vector<std::string> text(50, "abc");
  Load(text);
  model.SetBookmark(2, 3, 40);
  Run(ecGotoMarker0 + 2);
  EXPECT_EQ(model.GetCaretPos(), (TBufferCoord{3, 40}));
  model.Bookmark(2)->Line = 99;
  model.SetCaretAndCollapse({1, 1});
  Run(ecGotoMarker0 + 2);
  EXPECT_EQ(model.GetCaretPos(), (TBufferCoord{1, 1}));
}

TEST_F(EditCommandsTest, ClearAllFreesTheMarksAndEmptiesTheSlots) {
  Load({"a", "b"});
  model.SetBookmark(0, 1, 2);
  model.ClearAll();
  EXPECT_TRUE(model.Marks().empty());
  EXPECT_EQ(model.Bookmark(0), nullptr);
  Load({"c"});
  Run(ecGotoMarker0);  // nothing to jump to
  EXPECT_EQ(model.GetCaretPos(), (TBufferCoord{1, 1}));
}

TEST_F(EditCommandsTest, JoinsTakeTheJoinedLinesMarkWithThem) {
  struct JoinCase {
    const char* name;
    TBufferCoord caret;
    TKedEditorCommand command;
  };
  for (const JoinCase& c : {JoinCase{"backspace at character 1", {1, 3}, ecDeleteLastChar},
                            JoinCase{"delete at the line end", {3, 2}, ecDeleteChar}}) {
    SCOPED_TRACE(c.name);
    model.ClearAll();
    Load({"aa", "bb", "cc", "dd"});
    model.SetBookmark(0, 1, 3);
    model.SetBookmark(1, 1, 4);
    model.SetCaretAndCollapse(c.caret);
    Run(c.command);
    EXPECT_EQ(model.Bookmark(0)->Line, 2);
    EXPECT_EQ(model.Bookmark(1)->Line, 3);
  }
  // Undo of a line break joins again.
  model.ClearAll();
  Load({"aabb", "cc"});
  model.SetCaretAndCollapse({3, 1});
  Run(ecLineBreak);
  model.SetBookmark(0, 1, 2);
  model.SetBookmark(1, 1, 3);
  model.Undo();
  EXPECT_EQ(model.Bookmark(0)->Line, 1);
  EXPECT_EQ(model.Bookmark(1)->Line, 2);
}

// ---- random command sequences
// ---------------------------------------------------------------------

TEST_F(EditCommandsTest, RandomEditsUndoToTheOriginalAndRedoToTheFinalText) {
  static const TKedEditorCommand kCommands[] = {ecChar,
                                                ecChar,
                                                ecChar,
                                                ecLineBreak,
                                                ecDeleteLastChar,
                                                ecDeleteChar,
                                                ecDeleteWord,
                                                ecDeleteLastWord,
                                                ecDeleteEOL,
                                                ecDeleteBOL,
                                                ecDeleteLine,
                                                ecInsertLine,
                                                ecLeft,
                                                ecRight,
                                                ecUp,
                                                ecDown,
                                                ecSelRight,
                                                ecSelDown,
                                                ecSelWordLeft,
                                                ecLineEnd,
                                                ecWordRight,
                                                ecUndo,
                                                ecRedo,
                                                ecPaste,
                                                ecCut,
                                                ecTab,
                                                ecToggleMode,
                                                ecSelLineEnd,
                                                ecEditorBottom,
                                                ecSelEditorTop,
                                                ecShiftTab,
                                                ecBlockIndent,
                                                ecBlockUnindent,
                                                ecUpperCase,
                                                ecTitleCase,
                                                ecToggleCaseBlock};
  std::mt19937 random(20261210);
  for (int round = 0; round < 400; ++round) {
    SCOPED_TRACE(round);
    model.ClearAll();
    model.SetInsertMode(true);
    std::vector<std::string> text;
    const int lines = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < lines; ++i) {
      std::string line(random() % 3, ' ');
      for (int n = static_cast<int>(random() % 10); n > 0; --n) line += "ab cd,x("[random() % 8];
      text.push_back(line);
    }
    const int marked = 1 + static_cast<int>(random() % lines);
    text[static_cast<size_t>(marked - 1)] += '#';  // the one character no command types
    Load(text);
    model.SetBookmark(0, 1, marked);
    host.clipboard = random() % 2 ? "p#q" : "r\r\ns";
    host.clipboard.erase(std::remove(host.clipboard.begin(), host.clipboard.end(), '#'),
                         host.clipboard.end());
    model.SetCaretAndCollapse(
        {1 + static_cast<int>(random() % 8), 1 + static_cast<int>(random() % lines)});
    for (int step = 0; step < 60; ++step) {
      const TKedEditorCommand command = kCommands[random() % std::size(kCommands)];
      const int markLine = model.Bookmark(0)->Line;
      int before = 0;
      for (const std::string& line : TextOf(model))
        before += std::count(line.begin(), line.end(), '#');
      const bool caretOnMarkLine = model.CaretY() == markLine || model.HasSelection();
      Run(command, "xy z"[random() % 4]);
      ASSERT_GE(model.Lines().Count(), 1);
      // While the mark's line still holds the one '#', the mark is on that line.
      const std::vector<std::string> now = TextOf(model);
      int found = 0, foundLine = 0;
      for (size_t i = 0; i < now.size(); ++i)
        for (char c : now[i]) {
          if (c == '#') {
            ++found;
            foundLine = static_cast<int>(i) + 1;
          }
        }
      // Undo and redo give back text, not mark positions: the mark is set again after them.
      if (found == 1 &&
          (before != 1 || caretOnMarkLine || command == ecUndo || command == ecRedo)) {
        model.Bookmark(0)->Line = foundLine;
      } else if (found == 1) {
        EXPECT_EQ(model.Bookmark(0)->Line, foundLine) << "after command " << command;
      }
    }
    RedoAll();  // what an undo at the end left for redo belongs to the final text
    const std::vector<std::string> final = TextOf(model);
    EXPECT_EQ(model.Modified(), !model.UndoList().IsAtSavedState());
    UndoAll();
    EXPECT_EQ(TextOf(model), text);
    EXPECT_FALSE(model.Modified());
    RedoAll();
    EXPECT_EQ(TextOf(model), final);
    EXPECT_EQ(model.Modified(), model.UndoList().HasItems());
  }
}

}  // namespace

namespace {

TEST_F(EditCommandsTest, WithTrimmingTheCaretAfterAnInsertionCountsCharactersNotColumns) {
  model.SetOptions(KedDefaultOptions + eoTrimTrailingSpaces);
  Load({"", "x"});
  model.SetSelTextInMode(TKedSelectionMode::smNormal, "a\r\n\tbc  ", false);
  EXPECT_EQ(TextOf(model), (std::vector<std::string>{"a", "\tbc", "x"}));
  // Three characters and the two trimmed blanks, not the tab's eight columns.
  EXPECT_EQ(model.GetCaretPos(), (TBufferCoord{6, 2}));
}

TEST_F(EditCommandsTest, BlockIndentShiftsTheSelectedLinesAndOneUndoTakesItBack) {
  model.SetTabWidth(2);
  const std::vector<std::string> text = {"one", "two", "three", "four", "five"};
  Load(text);
  Select({1, 2}, {1, 5});  // ends at character 1 of line 5: lines 2-4
  Run(ecBlockIndent);
  EXPECT_EQ(TextOf(model), (std::vector<std::string>{"one", "  two", "  three", "  four", "five"}));
  EXPECT_EQ(model.GetSelText(), "two\r\n  three\r\n  four\r\n");
  Run(ecBlockUnindent);
  EXPECT_EQ(TextOf(model), text);
  model.Undo();
  EXPECT_EQ(TextOf(model), (std::vector<std::string>{"one", "  two", "  three", "  four", "five"}));
  model.Undo();
  EXPECT_EQ(TextOf(model), text);
  model.Redo();
  model.Redo();
  EXPECT_EQ(TextOf(model), text);
}

TEST_F(EditCommandsTest, CaseCommandsConvertTheWordOrTheBlock) {
  struct CaseCase {
    TKedEditorCommand command;
    bool block;
    TBufferCoord caret;
    const char* expected;
  };
  for (const CaseCase& c : {CaseCase{ecUpperCase, false, {9, 1}, "select FROM x"},
                            CaseCase{ecTitleCase, false, {3, 1}, "Select From x"},
                            CaseCase{ecLowerCaseBlock, true, {12, 1}, "select from x"},
                            CaseCase{ecToggleCaseBlock, true, {12, 1}, "select fROM x"}}) {
    SCOPED_TRACE(c.expected);
    model.ClearAll();
    Load({"select From x"});
    if (c.block)
      Select({8, 1}, {12, 1});
    else
      model.SetCaretAndCollapse(c.caret);
    Run(c.command);
    EXPECT_EQ(TextOf(model)[0], c.expected);
    EXPECT_EQ(model.GetCaretPos(), c.caret) << "the caret goes back where it was";
    model.Undo();
    EXPECT_EQ(TextOf(model)[0], "select From x");
    model.Redo();
    EXPECT_EQ(TextOf(model)[0], c.expected);
  }
}

TEST_F(EditCommandsTest, TabsReachTheNextWordAboveAndShiftTabGoesBack) {
  Load({"select  x", ""});
  model.SetCaretAndCollapse({1, 2});
  Run(ecTab);  // the word start above is at column 9
  EXPECT_EQ(TextOf(model)[1], "        ");
  EXPECT_EQ(model.CaretX(), 9);
  Run(ecShiftTab);
  EXPECT_EQ(model.CaretX(), 1);
  EXPECT_EQ(TextOf(model)[1], "");
  model.Undo();
  EXPECT_EQ(TextOf(model)[1], "        ");
}

TEST_F(EditCommandsTest, TheLongestLineTakesTypingAndPastingAtItsEnd) {
  Load({"abc", "gamma delta"});
  model.SetMaxScrollWidth(11);  // as the main window sets it: the longest line
  host.clipboard = "alpha";
  host.ownFormat = true;
  model.SetCaretAndCollapse({12, 2});
  Run(ecPaste);
  EXPECT_EQ(TextOf(model)[1], "gamma deltaalpha");
  EXPECT_EQ(model.GetCaretPos(), (TBufferCoord{17, 2}));
  Run(ecChar, 'x');
  EXPECT_EQ(TextOf(model)[1], "gamma deltaalphax");
  model.Undo();
  model.Undo();
  EXPECT_EQ(TextOf(model)[1], "gamma delta");
}

TEST_F(EditCommandsTest, ADroppedBlockMovesAndOneUndoTakesItBack) {
  Load({"alpha beta", "gamma delta", "epsilon"});
  Select({1, 1}, {6, 1});
  Run(ecCopy);
  model.SetCaretAndCollapse({8, 3});
  Run(ecPaste);
  EXPECT_EQ(TextOf(model)[2], "epsilonalpha");
  Select({7, 1}, {11, 1});
  ASSERT_TRUE(model.DropSelection({1, 3}, false));
  EXPECT_EQ(TextOf(model), (std::vector<std::string>{"alpha ", "gamma delta", "betaepsilonalpha"}));
  EXPECT_EQ(model.GetSelText(), "beta");
  EXPECT_FALSE(model.DropSelection({2, 3}, false)) << "a drop onto itself does nothing";
  EXPECT_TRUE(model.DropSelection({5, 3}, true)) << "a copy at its end is allowed";
  EXPECT_EQ(TextOf(model)[2], "betabetaepsilonalpha");
  model.Undo();
  model.Undo();
  EXPECT_EQ(TextOf(model), (std::vector<std::string>{"alpha beta", "gamma delta", "epsilonalpha"}));
  model.Undo();
  EXPECT_EQ(TextOf(model)[2], "epsilon");
}

}  // namespace
