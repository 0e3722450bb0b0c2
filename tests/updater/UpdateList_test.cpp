#include "updater/UpdateList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(UpdateList, SplitFieldsKeepsEveryFieldEmptyOnesIncluded) {
  struct Case {
    const char* line;
    std::vector<std::string> fields;
  } cases[] = {
      {"Caption|http://h/f|f.txt", {"Caption", "http://h/f", "f.txt"}},
      {"", {""}},
      {"a|b|", {"a", "b", ""}},
      {"a||c", {"a", "", "c"}},
      {"|", {"", ""}},
      {"a|b|c|d|e", {"a", "b", "c", "d", "e"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::vector<std::string> fields{"stale"};
    EXPECT_EQ(SplitFields(fields, "|", c.line), static_cast<int>(c.fields.size()));
    EXPECT_EQ(fields, c.fields);
  }
}

TEST(UpdateList, ReadsEveryLineEndAndNoEmptyEntryAfterTheLastOne) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {"CR LF, final", "a\r\nb\r\n", {"a", "b"}},
      {"LF, no final", "a\nb", {"a", "b"}},
      {"CR", "a\rb\r", {"a", "b"}},
      {"mixed with an empty line", "a\r\n\nb\r", {"a", "", "b"}},
      {"empty", "", {}},
      {"only a line end", "\r\n", {""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ListLines(c.text), c.lines);
  }
}

TEST(UpdateList, ShortAndEmptyLinesNameNoFileAndFurtherFieldsAreIgnored) {
  auto entries = ParseUpdateList(
      "One|http://h/1|one.dll\r\n"
      "\r\n"
      "Two|http://h/2\r\n"
      "just text\r\n"
      "Three|http://h/3|three.txt|sha256:ab|more\r\n"
      "Four||\r\n");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].Caption, "One");
  EXPECT_EQ(entries[0].URL, "http://h/1");
  EXPECT_EQ(entries[0].LocalName, "one.dll");
  EXPECT_EQ(entries[1].Caption, "Three");
  EXPECT_EQ(entries[1].URL, "http://h/3");
  EXPECT_EQ(entries[1].LocalName, "three.txt");
  // Three fields, two of them empty: listed, and the empty name fails at download time.
  EXPECT_EQ(entries[2].Caption, "Four");
  EXPECT_EQ(entries[2].LocalName, "");
}

TEST(UpdateList, OnlyPlainNamesInsideTheProgramFolderBecomePaths) {
  struct Case {
    const char* name;
    const char* path;  // nullptr: refused
  } cases[] = {
      {"Kestrava.exe", "Kestrava.exe"},
      {"languages\\German\\main.xml", "languages\\German\\main.xml"},
      {"languages/English/main.xml", "languages\\English\\main.xml"},
      {"font\\DejaVuSansMono.ttf", "font\\DejaVuSansMono.ttf"},
      {".hidden", ".hidden"},
      {"a..b.txt", "a..b.txt"},
      {"", nullptr},
      {"..", nullptr},
      {".", nullptr},
      {"..\\evil.exe", nullptr},
      {"../evil.exe", nullptr},
      {"languages\\..\\..\\evil.exe", nullptr},
      {"sub\\.\\x", nullptr},
      {"\\evil.exe", nullptr},
      {"/evil.exe", nullptr},
      {"\\\\server\\share\\evil.exe", nullptr},
      {"C:\\Windows\\evil.exe", nullptr},
      {"C:evil.exe", nullptr},
      {"Kestrava.exe:hidden", nullptr},
      {"Kestrava.exe::$DATA", nullptr},
      {"CON", nullptr},
      {"con.txt", nullptr},
      {"NUL", nullptr},
      {"aux.dll", nullptr},
      {"prn", nullptr},
      {"COM1", nullptr},
      {"lpt9.log", nullptr},
      {"COM\xB9", nullptr},
      {"CONOUT$", nullptr},
      {"CON .txt", nullptr},
      {"sub\\nul", nullptr},
      {"COM0", "COM0"},
      {"console.txt", "console.txt"},
      {"Kestrava.exe.", nullptr},
      {"Kestrava.exe ", nullptr},
      {"dir.\\x", nullptr},
      {"a//b", nullptr},
      {"sub\\", nullptr},
      {"what?.txt", nullptr},
      {"star*.txt", nullptr},
      {"pipe|.txt", nullptr},
      {"quote\".txt", nullptr},
      {"tab\t.txt", nullptr},
      {"<x>", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<std::string> path = LocalPathInFolder(c.name);
    if (c.path == nullptr) {
      EXPECT_FALSE(path.has_value()) << *path;
    } else {
      ASSERT_TRUE(path.has_value());
      EXPECT_EQ(*path, c.path);
    }
  }
  EXPECT_FALSE(LocalPathInFolder(std::string(250, 'a')).has_value());
  EXPECT_FALSE(LocalPathInFolder(std::string("a\0b", 3)).has_value());
}

TEST(UpdateList, FileNamesCompareWithoutCase) {
  EXPECT_TRUE(SameFileName("Updater.exe", "UPDATER.EXE"));
  EXPECT_FALSE(SameFileName("Updater.exe", "Updater.ex"));
}

}  // namespace
