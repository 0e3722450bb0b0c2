#include "editor/KedSQLKeywords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/KedHighlighterSQL.h"

namespace {

std::vector<std::string> Words(const char* list) {
  std::vector<std::string> words;
  std::string text = list;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    words.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

struct TListShape {
  TSQLDialect Dialect;
  int Index;  // position among the dialect's lists
  int Kind;
  size_t Count;
  std::vector<std::string> FirstWords;
};

}  // namespace

TEST(KedSQLKeywords, ListsHaveTheirKindsSizesAndFirstWords) {
  const TListShape shapes[] = {
      {sqlStandard, 0, 6, 306, {"absolute", "action", "active", "actor", "add", "after"}},
      {sqlInterbase6, 0, 1, 13, {"BLOB", "CHAR", "CHARACTER", "DATE", "DECIMAL", "DOUBLE"}},
      {sqlInterbase6, 1, 4, 8, {"AVG", "CAST", "COUNT", "GEN_ID", "MAX", "MIN", "SUM", "UPPER"}},
      {sqlInterbase6, 2, 6, 251, {"ACTIVE", "ADD", "AFTER", "ALL", "ALTER", "AND"}},
      {sqlMSSQL7, 0, 6, 197, {"ABSOLUTE", "ADD", "ALL", "ALTER", "ANY", "AS"}},
      {sqlMSSQL7, 1, 1, 24, {"BINARY", "BIT", "CHAR", "DATETIME", "DECIMAL", "FLOAT"}},
      {sqlMSSQL7, 2, 4, 139, {"@@CONNECTIONS", "@@CPU_BUSY", "@@CURSOR_ROWS"}},
      {sqlMySQL, 0, 6, 181, {"ACTION", "AFTER", "AGAINST", "AGGREGATE", "ALL", "ALTER"}},
      {sqlMySQL, 1, 1, 29, {"TINYINT", "SMALLINT", "MEDIUMINT", "INT", "INTEGER", "BIGINT"}},
      {sqlMySQL, 2, 4, 149, {"ABS", "ACOS", "ASCII", "ADD", "ADDDATE", "ASIN"}},
      {sqlOracle,
       0,
       6,
       617,
       {"ACCESS", "ACCESSED", "ACCOUNT", "ACTIVATE", "ACTIVE_INSTANCE_COUNT", "ADD"}},
      {sqlOracle,
       1,
       1,
       46,
       {"ANYDATA", "ANYDATASET", "ANYTYPE", "BFILE", "BINARY_INTEGER", "BLOB"}},
      {sqlOracle, 2, 3, 20, {"ACCESS_INTO_NULL", "COLLECTION_IS_NULL", "CURSOR_ALREADY_OPEN"}},
      {sqlOracle, 3, 4, 371, {"ABS", "ACOS", "ADD_MONTHS", "AGGREGATE", "ANALYTIC", "ASCII"}},
      {sqlOracle, 4, 0, 4, {"REM", "REMA", "REMAR", "REMARK"}},
      {sqlOracle, 5, 2, 181, {"DBMS_ALERT", "DBMS_APPLICATION_INFO", "DBMS_APPLY_ADM", "DBMS_AQ"}},
      {sqlOracle, 6, 10, 163, {"ABORT", "ACCEPT", "AFTER", "ARRAY", "ARRAYLEN", "ASSERT"}},
      {sqlOracle,
       7,
       11,
       184,
       {"APP", "APPINFO", "AQ$_AGENT", "AQ$_AGENT_LIST_T", "AQ$_DESCRIPTOR"}},
      {sqlSybase, 0, 6, 373, {"absolute", "action", "add", "after", "alias", "all"}},
      {sqlIngres, 0, 1, 23, {"BYTE", "C", "CHAR", "CHARACTER", "DATE", "DECIMAL"}},
      {sqlIngres, 1, 6, 315, {"ABORT", "ACTIVATE", "ADD", "ADDFORM", "AFTER", "AGGREGATE"}},
      {sqlIngres, 2, 4, 102, {"_BINTIM", "_CPU_MS", "_DATE", "_DIO_CNT", "_ET_SEC", "_PFAULT_CNT"}},
      {sqlMSSQL2K, 0, 6, 171, {"ADD", "ALL", "ALTER", "AND", "ANY", "AS"}},
      {sqlMSSQL2K, 1, 1, 30, {"bigint", "binary", "bit", "char", "character", "datetime"}},
      {sqlMSSQL2K, 2, 4, 168, {"@@CONNECTIONS", "@@CPU_BUSY", "@@CURSOR_ROWS"}},
  };
  int total = 0;
  for (const TListShape& s : shapes) {
    const auto lists = KedSQLKeywordLists(s.Dialect);
    ASSERT_LT(static_cast<size_t>(s.Index), lists.size());
    const TKedKeywordList& list = lists[static_cast<size_t>(s.Index)];
    const std::vector<std::string> words = Words(list.Words);
    EXPECT_EQ(list.Kind, s.Kind) << s.Dialect << "/" << s.Index;
    EXPECT_EQ(words.size(), s.Count) << s.Dialect << "/" << s.Index;
    for (size_t i = 0; i < s.FirstWords.size(); ++i) EXPECT_EQ(words[i], s.FirstWords[i]);
    for (const std::string& w : words) EXPECT_FALSE(w.empty() || w.find(' ') != std::string::npos);
    ++total;
  }
  EXPECT_EQ(total, 25);
  EXPECT_TRUE(KedSQLKeywordLists(8).empty());
  EXPECT_TRUE(KedSQLKeywordLists(-1).empty());
}

TEST(KedSQLKeywords, EveryDialectBuildsItsTableWithoutARepeatedWord) {
  TKedSQLHl hl(nullptr);
  for (int d = sqlStandard; d <= sqlMSSQL2K; ++d) {
    EXPECT_NO_THROW(hl.SetSQLDialect(static_cast<TSQLDialect>(d))) << d;
    // Every word of every list is found again as the scanner finds it.
    for (const TKedKeywordList& list : KedSQLKeywordLists(d)) {
      for (const std::string& word : Words(list.Words)) {
        if (word.find('-') != std::string::npos) continue;  // cut at the minus while scanning
        hl.ClearRange();
        hl.StartLine(word, 0);
        EXPECT_EQ(hl.TokenText(), word) << d;
        // Digits compare equal to each other, so a word may meet an earlier lookalike.
        if (word.find_first_of("0123456789") == std::string::npos) {
          EXPECT_EQ(hl.TokenKind(), list.Kind) << d << " " << word;
        }
      }
    }
  }
}
