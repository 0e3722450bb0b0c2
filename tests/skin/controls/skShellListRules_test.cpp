// The shell list view's name rules without the shell: masks and the incremental search.
#include "skin/controls/skShellListRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ShellListRules, MasksMatchNamesWithWildcardsAndWithoutCase) {
  struct TCase {
    const char* Name;
    const char* Mask;
    bool Matches;
  } const cases[] = {
      {"dump.sql", "*.sql", true},
      {"DUMP.SQL", "*.sql", true},
      {"dump.sql.bak", "*.sql", false},
      {"dump.sql", "dump.sql", true},
      {"dump.sq", "dump.sql", false},
      {"", "", false},
      {"", "*", true},
      {"a", "?", true},
      {"ab", "?", false},
      {"part_12.csv", "part_??.csv", true},
      {"part_1.csv", "part_??.csv", false},
      {"abcabc", "a*c*c", true},
      {"abc", "a*bc*c", false},
      // The tail may not take back what the parts before it took.
      {"a", "a*a", false},
      {"aa", "a*a", true},
      {"x.tar.gz", "*.tar*", true},
      {"report", "r*p*t", true},
      {"report", "r*x*t", false},
      // Cyrillic letters of code page 1251 match their capitals.
      {"\xE4\xE0\xED\xED\xFB\xE5", "\xC4\xC0\xCD\xCD\xDB\xC5", true},
      {"\xB8\xEB\xEA\xE0", "\xA8*", true},
      {"\x9A", "\x8A", true},
      // A byte that is no letter matches only itself.
      {"\xA0", "\x80", false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Name) + " / " + c.Mask);
    EXPECT_EQ(MatchesFileMask(c.Name, c.Mask), c.Matches);
  }
}

TEST(ShellListRules, AMaskListLetsANameInWhenOneWordMatches) {
  EXPECT_TRUE(MatchesMaskList("a.csv", "*.sql;*.csv"));
  EXPECT_FALSE(MatchesMaskList("a.txt", "*.sql;*.csv"));
  EXPECT_TRUE(MatchesMaskList("a.csv", ";;*.csv;"));
  EXPECT_FALSE(MatchesMaskList("a.csv", ";;"));
  EXPECT_FALSE(HasMaskWords(""));
  EXPECT_FALSE(HasMaskWords(";;"));
  EXPECT_TRUE(HasMaskWords(";*.sql"));
}

TEST(ShellListRules, IncrementalSearchStartsAtTheCurrentItemAndWrapsOnce) {
  const std::vector<std::string> names{"alpha", "Beta", "bravo", "charlie", "BETA2"};
  auto nameOf = [&](int i) { return names[static_cast<size_t>(i)]; };
  const int count = static_cast<int>(names.size());
  struct TCase {
    int Start;
    bool Wrap;
    const char* Prefix;
    int Found;
  } const cases[] = {
      {0, true, "b", 1},     {2, true, "b", 2},    {3, true, "b", 4},    {3, true, "al", 0},
      {3, false, "al", -1},  {0, true, "BETA", 1}, {2, true, "beta", 4}, {0, true, "x", -1},
      {4, true, "beta2", 4}, {0, true, "", 0},     {9, true, "c", 3},    {-1, true, "c", 3},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Prefix) + " from " + std::to_string(c.Start));
    EXPECT_EQ(FindItemByPrefix(count, c.Start, c.Wrap, c.Prefix, nameOf), c.Found);
  }
  EXPECT_EQ(FindItemByPrefix(0, 0, true, "a", nameOf), -1);
}

}  // namespace
