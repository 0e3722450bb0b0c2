#include "app/DumpCleaner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/KedEditTextBuffer.h"

namespace {

std::vector<std::string> LinesOf(const TKedEditStringList& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Get(i));
  return lines;
}

TEST(DumpCleaner, CommentLinesAreRecognisedOnlyAtTheFirstByte) {
  struct Case {
    const char* line;
    bool comment;
  };
  const Case cases[] = {
      {"--", true},
      {"-- note", true},
      {"#!", true},
      {"#", true},
      {"/* start", true},
      {"/*!40101 SET NAMES utf8 */;", true},
      {" -- indented", false},
      {"SELECT 1; -- trailing", false},
      {"-", false},
      {"/", false},
      {"*/", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsCommentLine(c.line), c.comment) << '"' << c.line << '"';
}

TEST(DumpCleaner, OnlyEmptyLinesAreBlank) {
  EXPECT_TRUE(IsBlankLine(""));
  EXPECT_FALSE(IsBlankLine(" "));
  EXPECT_FALSE(IsBlankLine("\t"));
  EXPECT_FALSE(IsBlankLine(std::string_view("\0", 1)));
}

TEST(DumpCleaner, RemovesCommentLinesAndKeepsTheRestOfAMultiLineComment) {
  TKedEditStringList lines;
  lines.LoadFromString(
      "-- header\n#x\n/* multi\n   still comment */\nCREATE TABLE t (a int);\n"
      " -- kept\nINSERT INTO t VALUES (1); -- kept too\n--");
  int lastExamined = -1;
  int lastTotal = -1;
  const int removed = RemoveLines(lines, TCleanKind::CommentLines, [&](int examined, int total) {
    lastExamined = examined;
    lastTotal = total;
  });
  EXPECT_EQ(removed, 4);
  EXPECT_EQ(LinesOf(lines),
            (std::vector<std::string>{"   still comment */", "CREATE TABLE t (a int);", " -- kept",
                                      "INSERT INTO t VALUES (1); -- kept too"}));
  EXPECT_EQ(lastExamined, 8);
  EXPECT_EQ(lastTotal, 8);
}

TEST(DumpCleaner, AListOfOnlyCommentsEndsUpEmpty) {
  TKedEditStringList lines;
  lines.LoadFromString("--a\n#b\n/*c");
  EXPECT_EQ(RemoveLines(lines, TCleanKind::CommentLines, nullptr), 3);
  EXPECT_EQ(lines.Count(), 0);
}

TEST(DumpCleaner, RemovesEmptyLinesButKeepsBlanksAndTabs) {
  TKedEditStringList lines;
  lines.LoadFromString("a\r\n\r\n \r\n\t\r\n\r\nb\r\n");
  EXPECT_EQ(RemoveLines(lines, TCleanKind::BlankLines, nullptr), 3);
  EXPECT_EQ(LinesOf(lines), (std::vector<std::string>{"a", " ", "\t", "b"}));
  EXPECT_EQ(lines.SaveToString(), "a\r\n \r\n\t\r\nb") << "the break style stays";
}

TEST(DumpCleaner, AnEmptyListRemovesNothingAndStillReportsTheEnd) {
  TKedEditStringList lines;
  int reports = 0;
  EXPECT_EQ(RemoveLines(lines, TCleanKind::BlankLines, [&](int, int) { ++reports; }), 0);
  EXPECT_EQ(reports, 1);
}

}  // namespace
