#include "editor/KedEditSearch.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor/KedEditTextBuffer.h"
#include "framework/SysUtils.h"

namespace {

struct TSearchCase {
  std::string Pattern;
  std::string Text;
  bool MatchCase;
  bool WholeWord;
  std::vector<int> Expected;
};

TKedSearchOptions Options(bool matchCase, bool wholeWord) {
  TKedSearchOptions options;
  if (matchCase) options += ssoMatchCase;
  if (wholeWord) options += ssoWholeWord;
  return options;
}

std::vector<int> Results(TKedEditSearch& search) {
  std::vector<int> results;
  for (int i = 0; i < search.GetResultCount(); ++i) results.push_back(search.GetResult(i));
  return results;
}

bool IsWordChar(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         c >= 0xC0;
}

// Left to right, matches not overlapping: the plain definition the engine must agree with.
std::vector<int> NaiveSearch(const std::string& pattern, const std::string& text, bool matchCase,
                             bool wholeWord) {
  const std::string p = matchCase ? pattern : AnsiLowerCase(pattern);
  const std::string t = matchCase ? text : AnsiLowerCase(text);
  std::vector<int> found;
  size_t i = 0;
  while (i + p.size() <= t.size()) {
    bool match = t.compare(i, p.size(), p) == 0;
    if (match && wholeWord) {
      const bool before = i == 0 || !IsWordChar(static_cast<unsigned char>(t[i - 1]));
      const bool after =
          i + p.size() == t.size() || !IsWordChar(static_cast<unsigned char>(t[i + p.size()]));
      match = before && after;
    }
    if (match) {
      found.push_back(static_cast<int>(i + 1));
      i += p.size();
    } else {
      ++i;
    }
  }
  return found;
}

}  // namespace

TEST(KedEditSearch, FindsEveryNonOverlappingMatchUnderCaseAndWordRules) {
  const TSearchCase cases[] = {
      {"abc", "xABCyabc", false, false, {2, 6}},
      {"abc", "xABCyabc", true, false, {6}},
      {"in", "in inside in_x (in)", false, true, {1, 17}},
      {"aa", "aaaaa", false, false, {1, 3}},
      {"abcdef", "abc", false, false, {}},
      {"abca", "xabcaabca", false, false, {2, 6}},
      {"x", "", false, false, {}},
      {"a", "a", false, true, {1}},
      {"a", "ba ab a", false, true, {7}},
      {"\xc4rger", "\xe4rger und \xc4RGER", false, false, {1, 11}},  // Ärger, ärger
      {"\xc4rger", "\xe4rger und \xc4RGER", true, false, {}},
      {"\x8a", "\x9a\x8a", false, false, {1, 2}},  // Š and š
      {"ab",
       "ab\xe9"
       "ab",
       false,
       true,
       {}},  // é is a letter, so no word ends there
      {"ab", "ab-ab", false, true, {1, 4}},
  };
  for (const TSearchCase& c : cases) {
    TKedEditSearch search(nullptr);
    search.SetOptions(Options(c.MatchCase, c.WholeWord));
    search.SetPattern(c.Pattern);
    EXPECT_EQ(search.FindAll(c.Text), static_cast<int>(c.Expected.size()))
        << c.Pattern << " in " << c.Text;
    EXPECT_EQ(Results(search), c.Expected) << c.Pattern << " in " << c.Text;
  }
}

TEST(KedEditSearch, ReportsPatternLengthAndZeroOutsideTheResults) {
  TKedEditSearch search(nullptr);
  search.SetPattern("abc");
  ASSERT_EQ(search.FindAll("xABCyabc"), 2);
  EXPECT_EQ(search.GetLength(0), 3);
  EXPECT_EQ(search.GetLength(99), 3);
  EXPECT_EQ(search.GetResult(-1), 0);
  EXPECT_EQ(search.GetResult(2), 0);
  EXPECT_EQ(search.GetPattern(), "abc");
  EXPECT_EQ(search.Replace("abc", "xyz"), "xyz");
}

TEST(KedEditSearch, EmptyPatternIsRefusedAfterTheResultsAreDropped) {
  TKedEditSearch search(nullptr);
  search.SetPattern("a");
  ASSERT_EQ(search.FindAll("aaa"), 3);
  search.SetPattern("");
  try {
    search.FindAll("aaa");
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Pattern is empty");
  }
  EXPECT_EQ(search.GetResultCount(), 0);
}

TEST(KedEditSearch, SwitchingCaseModeBetweenSearchesTakesEffect) {
  TKedEditSearch search(nullptr);
  search.SetPattern("Ab");
  EXPECT_EQ(search.FindAll("ab AB Ab"), 3);
  search.SetOptions(Options(true, false));
  EXPECT_EQ(search.FindAll("ab AB Ab"), 1);
  search.SetOptions(Options(false, false));
  EXPECT_EQ(search.FindAll("ab AB Ab"), 3);
}

TEST(KedEditSearch, AgreesWithANaiveSearchOnRandomTexts) {
  std::mt19937 rng(20261210);
  // A small alphabet makes repeats, near-misses and word boundaries frequent.
  const std::string alphabet = "aAbB_ .\xe4\xc4";
  auto randomText = [&](size_t length) {
    std::string s;
    for (size_t i = 0; i < length; ++i) s += alphabet[rng() % alphabet.size()];
    return s;
  };
  for (int round = 0; round < 3000; ++round) {
    const bool matchCase = rng() % 2 == 0;
    const bool wholeWord = rng() % 3 == 0;
    const std::string pattern = randomText(1 + rng() % 5);
    const std::string text = randomText(rng() % 60);
    TKedEditSearch search(nullptr);
    search.SetOptions(Options(matchCase, wholeWord));
    search.SetPattern(pattern);
    search.FindAll(text);
    ASSERT_EQ(Results(search), NaiveSearch(pattern, text, matchCase, wholeWord))
        << "pattern \"" << pattern << "\" text \"" << text << "\" case " << matchCase << " word "
        << wholeWord;
  }
}

TEST(KedEditSearchLines, FindsTheSamePositionsAsTheJoinedText) {
  TKedEditSearch search(nullptr);
  std::mt19937 random(17);
  for (int round = 0; round < 300; ++round) {
    TKedEditStringList lines;
    for (int n = 1 + static_cast<int>(random() % 6); n > 0; --n) {
      std::string line;
      for (int k = static_cast<int>(random() % 12); k > 0; --k) line += "abAB c,"[random() % 7];
      lines.Add(line);
    }
    // Letters only, or with a sign the line scan can anchor on.
    std::string pattern = std::string(1, "abc,"[random() % 4]) + "bB,"[random() % 3];
    if (random() % 2) pattern += "ab"[random() % 2];
    search.SetPattern(pattern);
    TKedSearchOptions options;
    if (random() % 2) options += ssoWholeWord;
    if (random() % 2) options += ssoMatchCase;
    search.SetOptions(options);
    const int joined = search.FindAll(lines.GetTextStr());
    std::vector<int> expected;
    for (int i = 0; i < joined; ++i) expected.push_back(search.GetResult(i));
    ASSERT_EQ(search.FindAllInLines(lines), joined) << pattern;
    for (int i = 0; i < joined; ++i)
      EXPECT_EQ(search.GetResult(i), expected[static_cast<size_t>(i)]);
  }
}

TEST(KedEditSearchLines, CountsTheLineBreakAsTwoCharacters) {
  TKedEditSearch search(nullptr);
  TKedEditStringList lines;
  lines.Add("abcabc");
  lines.Add("xbc");
  search.SetPattern("bc");
  ASSERT_EQ(search.FindAllInLines(lines), 3);
  EXPECT_EQ(search.GetResult(0), 2);
  EXPECT_EQ(search.GetResult(1), 5);
  EXPECT_EQ(search.GetResult(2), 10);  // "abcabc" CR LF "x" then "bc"
}
