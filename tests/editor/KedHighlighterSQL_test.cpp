#include "editor/KedHighlighterSQL.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/KedEditMiscProcs.h"
#include "editor/KedSQLKeywords.h"
#include "framework/TypInfo.h"
#include "tests/editor/HighlighterScan.h"
#include "tests/editor/ShiftJisLeadBytes.h"

namespace {

constexpr int kComment = 0, kDataType = 1, kPackage = 2, kExceptionName = 3, kFunction = 4,
              kIdent = 5, kKey = 6, kNumber = 8, kSpace = 9, kPLSQL = 10, kSQLPlus = 11,
              kString = 12, kSymbol = 13, kTable = 14, kUnknown = 15, kVariable = 16,
              kConditional = 17, kDelimited = 18;

using Tokens = std::vector<TScannedToken>;

struct TTokenCase {
  TSQLDialect Dialect;
  std::string Line;
  Tokens Expected;
};

class KedHighlighterSQL : public ::testing::Test {
 protected:
  Tokens Scan(TSQLDialect dialect, const std::string& line,
              TKedHighlighterRange start = TKedSQLHl::kRangeNormal,
              TKedHighlighterRange* end = nullptr) {
    hl.SetSQLDialect(dialect);
    return ScanLine(hl, line, start, end);
  }
  TKedSQLHl hl{nullptr};
};

}  // namespace

TEST_F(KedHighlighterSQL, ScansEachDialectsTokenRules) {
  const TTokenCase cases[] = {
      // MySQL: hash comments, back-quoted names, backslash escapes, conditional comments.
      {sqlMySQL, "# a note", {{kComment, "# a note"}}},
      {sqlMySQL, "`my table`", {{kDelimited, "`my table`"}}},
      {sqlMySQL, "`a``b`", {{kDelimited, "`a``b`"}}},
      {sqlMySQL, "'it\\'s'", {{kString, "'it\\'s'"}}},
      {sqlMySQL, "/*!40101 SET NAMES utf8 */", {{kConditional, "/*!40101 SET NAMES utf8 */"}}},
      {sqlMySQL, "/* note */x", {{kComment, "/* note */"}, {kIdent, "x"}}},
      {sqlMySQL, "INSERT INTO", {{kFunction, "INSERT"}, {kSpace, " "}, {kKey, "INTO"}}},
      {sqlMySQL, "LOG11", {{kFunction, "LOG11"}}},
      {sqlMySQL, "select", {{kKey, "select"}}},
      {sqlMySQL, "@v", {{kSymbol, "@"}, {kIdent, "v"}}},
      {sqlMySQL, "''", {{kString, "''"}}},
      {sqlMySQL, "'a''b'", {{kString, "'a'"}, {kString, "'b'"}}},
      // Standard: neither hash nor back quote nor brackets mean anything.
      {sqlStandard, "#`", {{kUnknown, "#"}, {kUnknown, "`"}}},
      {sqlStandard, "[name]", {{kSymbol, "["}, {kIdent, "name"}, {kSymbol, "]"}}},
      {sqlStandard, "'a''b'", {{kString, "'a'"}, {kString, "'b'"}}},
      {sqlStandard, "'a\\'", {{kString, "'a\\'"}}},
      {sqlStandard, "\"a\"\"b\" c", {{kDelimited, "\"a\"\"b\""}, {kSpace, " "}, {kIdent, "c"}}},
      {sqlStandard, "1..10", {{kNumber, "1"}, {kSymbol, "."}, {kSymbol, "."}, {kNumber, "10"}}},
      {sqlStandard, "10-5", {{kNumber, "10-5"}}},
      {sqlStandard, "3.25e", {{kNumber, "3.25"}, {kIdent, "e"}}},
      {sqlStandard, "<<=", {{kSymbol, "<<="}}},
      {sqlStandard, "<>", {{kSymbol, "<"}, {kSymbol, ">"}}},
      {sqlStandard, "<=>=", {{kSymbol, "<="}, {kSymbol, ">="}}},
      {sqlStandard,
       "!=&&||+=%^=",
       {{kSymbol, "!="},
        {kSymbol, "&&"},
        {kSymbol, "||"},
        {kSymbol, "+="},
        {kSymbol, "%"},
        {kSymbol, "^="}}},
      {sqlStandard, "a-b--c", {{kIdent, "a"}, {kSymbol, "-"}, {kIdent, "b"}, {kComment, "--c"}}},
      {sqlStandard, "/=/", {{kSymbol, "/="}, {kSymbol, "/"}}},
      {sqlStandard, "\t  x", {{kSpace, "\t  "}, {kIdent, "x"}}},
      {sqlStandard,
       "a$ $\\\x7f\xe9",
       {{kIdent, "a$"},
        {kSpace, " "},
        {kUnknown, "$"},
        {kUnknown, "\\"},
        {kUnknown, "\x7f"},
        {kUnknown, "\xe9"}}},
      {sqlStandard, ":x", {{kSymbol, ":"}, {kIdent, "x"}}},
      {sqlStandard, "@x", {{kVariable, "@x"}}},
      {sqlStandard, "end-exec", {{kKey, "end"}, {kSymbol, "-"}, {kKey, "exec"}}},
      // A NUL inside a line is one more character, not the end of the line.
      {sqlStandard,
       std::string("a\0b", 3),
       {{kIdent, "a"}, {kUnknown, std::string(1, '\0')}, {kIdent, "b"}}},
      // MS SQL: bracketed names, system names with two at signs, variables.
      {sqlMSSQL7, "[my name]", {{kDelimited, "[my name]"}}},
      {sqlMSSQL2K, "[a]]b]", {{kDelimited, "[a]]b]"}}},
      {sqlMSSQL7, "@@ERROR", {{kFunction, "@@ERROR"}}},
      {sqlMSSQL2K, "@@rowcount", {{kFunction, "@@rowcount"}}},
      {sqlMSSQL2K, "@id", {{kVariable, "@id"}}},
      {sqlMSSQL2K, "a:b", {{kIdent, "a"}, {kSymbol, ":"}, {kIdent, "b"}}},
      {sqlMSSQL2K, "bigint", {{kDataType, "bigint"}}},
      // Oracle: bind variables, comment words, the extra word characters.
      {sqlOracle, ":bind", {{kVariable, ":bind"}}},
      {sqlOracle, "@x", {{kSymbol, "@"}, {kIdent, "x"}}},
      {sqlOracle, "REM a remark", {{kComment, "REM a remark"}}},
      {sqlOracle, "NUMBER", {{kDataType, "NUMBER"}}},
      {sqlOracle, "DBMS_OUTPUT", {{kPackage, "DBMS_OUTPUT"}}},
      {sqlOracle, "NO_DATA_FOUND", {{kExceptionName, "NO_DATA_FOUND"}}},
      {sqlOracle, "ELSIF", {{kPLSQL, "ELSIF"}}},
      {sqlOracle, "SPOOL", {{kSQLPlus, "SPOOL"}}},
      {sqlOracle, "v$session", {{kIdent, "v$session"}}},
      // Ingres binds with a colon too.
      {sqlIngres, ":v", {{kVariable, ":v"}}},
      {sqlInterbase6, ":v", {{kSymbol, ":"}, {kIdent, "v"}}},
  };
  for (const TTokenCase& c : cases) {
    EXPECT_EQ(Scan(c.Dialect, c.Line), c.Expected)
        << "dialect " << int(c.Dialect) << ": " << c.Line;
  }
}

TEST_F(KedHighlighterSQL, CarriesCommentsAndStringsAcrossLines) {
  struct TMultiLineCase {
    TSQLDialect Dialect;
    std::vector<std::string> Lines;
    std::vector<Tokens> Expected;
    std::vector<TKedHighlighterRange> Ranges;
  };
  const TMultiLineCase cases[] = {
      {sqlStandard,
       {"x /* open", "still", "", "end */ y"},
       {{{kIdent, "x"}, {kSpace, " "}, {kComment, "/* open"}},
        {{kComment, "still"}},
        {},
        {{kComment, "end */"}, {kSpace, " "}, {kIdent, "y"}}},
       {1, 1, 1, 0}},
      {sqlMySQL,
       {"/*!40101 SET", "NAMES */;"},
       {{{kConditional, "/*!40101 SET"}}, {{kConditional, "NAMES */"}, {kSymbol, ";"}}},
       {3, 0}},
      {sqlStandard,
       {"'abc", "def' x"},
       {{{kString, "'abc"}}, {{kString, "def'"}, {kSpace, " "}, {kIdent, "x"}}},
       {2, 0}},
      // A continued string whose line begins with the quote ends right there.
      {sqlMySQL, {"'abc", "'x"}, {{{kString, "'abc"}}, {{kString, "'"}, {kIdent, "x"}}}, {2, 0}},
      // In MySQL a backslash before the quote keeps the string open on the next line.
      {sqlMySQL, {"'abc\\'", "d'"}, {{{kString, "'abc\\'"}}, {{kString, "d'"}}}, {2, 0}},
      {sqlStandard, {"'", ""}, {{{kString, "'"}}, {}}, {2, 2}},
  };
  for (const TMultiLineCase& c : cases) {
    hl.SetSQLDialect(c.Dialect);
    std::vector<TKedHighlighterRange> ranges;
    EXPECT_EQ(ScanLines(hl, c.Lines, &ranges), c.Expected) << c.Lines[0];
    EXPECT_EQ(ranges, c.Ranges) << c.Lines[0];
  }
}

TEST_F(KedHighlighterSQL, ScansLineBreaksInsideTheTextAsSpace) {
  EXPECT_EQ(Scan(sqlStandard, "a\r\nb\n"),
            (Tokens{{kIdent, "a"}, {kSpace, "\r\n"}, {kIdent, "b"}, {kSpace, "\n"}}));
  // A comment continued on a line that begins with a break: the break is a space token.
  EXPECT_EQ(Scan(sqlStandard, "\r\nx */", TKedSQLHl::kRangeComment),
            (Tokens{{kSpace, "\r\n"}, {kComment, "x */"}}));
}

TEST_F(KedHighlighterSQL, LeadByteAtTheEndOfALineStaysInsideTheLine) {
  TKedLeadBytesScope scope(ShiftJisLeadBytes());
  EXPECT_EQ(Scan(sqlStandard, "a\x82\xa0"), (Tokens{{kIdent, "a"}, {kUnknown, "\x82\xa0"}}));
  EXPECT_EQ(Scan(sqlStandard, "a\x82"), (Tokens{{kIdent, "a"}, {kUnknown, "\x82"}}));
}

TEST_F(KedHighlighterSQL, KeywordLookupIgnoresCaseAndTreatsDigitsAndSignsAsEqual) {
  hl.SetSQLDialect(sqlMySQL);
  EXPECT_TRUE(hl.MatchesKeyword("select"));
  EXPECT_TRUE(hl.MatchesKeyword("SeLeCt"));
  EXPECT_TRUE(hl.MatchesKeyword("LOG99"));  // LOG10 with other digits
  EXPECT_TRUE(hl.MatchesKeyword("INT#"));   // INT1 with another character of hash value 0
  EXPECT_FALSE(hl.MatchesKeyword("selects"));
  EXPECT_FALSE(hl.MatchesKeyword("sel"));
  hl.SetSQLDialect(sqlOracle);
  EXPECT_FALSE(hl.MatchesKeyword("REM"));    // a comment word
  EXPECT_FALSE(hl.MatchesKeyword("SPOOL"));  // a SQL*Plus command
  EXPECT_TRUE(hl.MatchesKeyword("NUMBER"));
  EXPECT_TRUE(hl.MatchesKeyword("dbms_lob"));
  EXPECT_TRUE(hl.MatchesKeyword("zero_divide"));
}

TEST_F(KedHighlighterSQL, MySQLColoursExactlyTheWordsOfItsThreeLists) {
  hl.SetSQLDialect(sqlMySQL);
  for (const TKedKeywordList& list : KedSQLKeywordLists(sqlMySQL)) {
    std::string words = list.Words;
    size_t start = 0;
    while (start < words.size()) {
      size_t end = words.find(',', start);
      if (end == std::string::npos) end = words.size();
      const std::string word = words.substr(start, end - start);
      EXPECT_EQ(Scan(sqlMySQL, word), (Tokens{{list.Kind, word}})) << word;
      start = end + 1;
    }
  }
  const std::string notKeywords[] = {"INSERTS", "KEYWORD", "PRAGMA", "NUMBER", "VARCHAR2", "x"};
  for (const std::string& word : notKeywords)
    EXPECT_EQ(Scan(sqlMySQL, word), (Tokens{{kIdent, word}})) << word;
}

TEST_F(KedHighlighterSQL, DialectRoundTripRestoresTheSameKeywordTable) {
  const std::string words[] = {"SELECT", "INSERT", "SET", "NULL", "NUMBER", "REM", "SPOOL", "go"};
  hl.SetSQLDialect(sqlMySQL);
  std::vector<Tokens> before;
  for (const std::string& w : words) before.push_back(Scan(sqlMySQL, w));
  hl.SetSQLDialect(sqlOracle);
  hl.SetSQLDialect(sqlMySQL);
  for (size_t i = 0; i < std::size(words); ++i) EXPECT_EQ(Scan(sqlMySQL, words[i]), before[i]);
}

TEST_F(KedHighlighterSQL, TableNamesScanAsTableNamesUnlessTheyAreKeywords) {
  hl.SetSQLDialect(sqlMySQL);
  TStringList names;
  names.Add("orders");
  names.Add("select");
  names.Add("ORDERS");
  hl.SetTableNames(&names);
  EXPECT_EQ(Scan(sqlMySQL, "ORDERS"), (Tokens{{kTable, "ORDERS"}}));
  EXPECT_EQ(Scan(sqlMySQL, "select"), (Tokens{{kKey, "select"}}));
  EXPECT_FALSE(hl.MatchesKeyword("orders"));
  // Changing the highlighter's own list rebuilds the table too.
  hl.TableNames()->Clear();
  EXPECT_EQ(Scan(sqlMySQL, "ORDERS"), (Tokens{{kIdent, "ORDERS"}}));
}

TEST_F(KedHighlighterSQL, RepeatedKeywordIsRefusedWithItsName) {
  hl.SetSQLDialect(sqlMySQL);
  try {
    hl.InsertKeyword("select", kKey);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Keyword \"SELECT\" already in list");
  }
  EXPECT_EQ(Scan(sqlMySQL, "select"), (Tokens{{kKey, "select"}}));
}

namespace {
std::vector<std::string> collectedWords;
void CollectWord(TKedSQLHl*, const std::string& word, int kind) {
  collectedWords.push_back(word + "/" + std::to_string(kind));
}
}  // namespace

TEST_F(KedHighlighterSQL, ForEachKeywordSplitsAtEveryNonWordCharacter) {
  collectedWords.clear();
  TKedCharSet chars;
  for (int c = 'a'; c <= 'z'; ++c) chars.set(c);
  chars.set('-');
  ForEachKeyword(7, ",,end-exec,  go;x,", chars, &CollectWord, &hl);
  EXPECT_EQ(collectedWords, (std::vector<std::string>{"end-exec/7", "go/7", "x/7"}));
  ForEachKeyword(7, "", chars, &CollectWord, &hl);
  ForEachKeyword(7, "abc", chars, nullptr, &hl);
  EXPECT_EQ(collectedWords.size(), 3u);
}

TEST_F(KedHighlighterSQL, IdentifierCharactersFollowTheDialect) {
  hl.SetSQLDialect(sqlStandard);
  TKedCharSet base = hl.GetIdentChars();
  EXPECT_TRUE(base.test('_') && base.test('0') && base.test('z') && base.test(0xC0));
  EXPECT_FALSE(base.test(0xD7) || base.test(0xF7) || base.test('@') || base.test('$'));
  hl.SetSQLDialect(sqlMSSQL2K);
  EXPECT_EQ(hl.GetIdentChars(), TKedCharSet(base).set('@'));
  hl.SetSQLDialect(sqlOracle);
  EXPECT_EQ(hl.GetIdentChars(), TKedCharSet(base).set('#').set('$'));
}

TEST_F(KedHighlighterSQL, AttributesHaveTheirNamesStylesAndDefaultKinds) {
  EXPECT_EQ(hl.AttributeCount(), 17);
  EXPECT_EQ(hl.KeyAttri()->Name(), "Reserved Word");
  EXPECT_EQ(hl.PLSQLAttri()->Name(), "PL/SQL Reserved Word");
  EXPECT_EQ(hl.SQLPlusAttri()->Name(), "SQL*Plus Command");
  EXPECT_EQ(hl.CommentAttri()->Style(), (TFontStyles{fsItalic}));
  EXPECT_EQ(hl.FunctionAttri()->Style(), (TFontStyles{fsBold}));
  EXPECT_TRUE(hl.TableNameAttri()->Style().Empty());
  EXPECT_EQ(hl.KeyAttri()->Foreground(), clNone);
  // The sorted list puts "Comment" first and "Variable" last.
  EXPECT_EQ(hl.AttributeAt(0), hl.CommentAttri());
  EXPECT_EQ(hl.AttributeAt(16), hl.VariableAttri());
  EXPECT_EQ(hl.DefaultAttribute(2), hl.KeyAttri());
  EXPECT_EQ(hl.DefaultAttribute(6), nullptr);
  EXPECT_EQ(hl.LanguageName(), "SQL");
  EXPECT_EQ(hl.GetDefaultFilter(), "SQL Files (*.sql)|*.sql");
  EXPECT_FALSE(hl.FilterIsStored());
  hl.SetDefaultFilter("x");
  EXPECT_TRUE(hl.FilterIsStored());
  // The other character kind paints like an identifier; the line end has no attribute.
  hl.StartLine("$", 0);
  EXPECT_EQ(hl.TokenAttribute(), hl.IdentifierAttri());
  hl.ScanNextToken();
  EXPECT_TRUE(hl.AtLineEnd());
  EXPECT_EQ(hl.TokenAttribute(), nullptr);
}

TEST_F(KedHighlighterSQL, FormsSetDialectAndColoursByPropertyName) {
  SetEnumProp(&hl, "SQLDialect", "sqlMySQL");
  EXPECT_EQ(hl.SQLDialect(), sqlMySQL);
  EXPECT_EQ(GetEnumProp(&hl, "SQLDialect"), "sqlMySQL");
  SetOrdProp(&hl, "KeyAttri.Foreground", clBlue);
  EXPECT_EQ(hl.KeyAttri()->Foreground(), clBlue);
  SetSetProp(&hl, "CommentAttri.Style", "[fsBold]");
  EXPECT_EQ(hl.CommentAttri()->Style(), (TFontStyles{fsBold}));
  EXPECT_TRUE(hl.CommentAttri()->StyleStored());
  EXPECT_FALSE(hl.KeyAttri()->StyleStored());
  SetStrProp(&hl, "DefaultFilter", "Dumps|*.sql");
  EXPECT_EQ(hl.GetDefaultFilter(), "Dumps|*.sql");
}

TEST_F(KedHighlighterSQL, ChangesReachTheEditorsWithTheirSender) {
  std::vector<TObject*> senders;
  TNotifyEvent hook = [&senders](TObject* sender) { senders.push_back(sender); };
  hl.AddChangeHook(hook);
  hl.KeyAttri()->SetForeground(clRed);
  hl.SetSQLDialect(sqlOracle);
  hl.SetSQLDialect(sqlOracle);  // unchanged: no notice
  EXPECT_EQ(senders, (std::vector<TObject*>{hl.KeyAttri(), &hl}));
  hl.RemoveChangeHook(hook);
  hl.SetSQLDialect(sqlMySQL);
  EXPECT_EQ(senders.size(), 2u);
}

TEST_F(KedHighlighterSQL, AssignCopiesDialectAndColours) {
  TKedSQLHl other(nullptr);
  other.SetSQLDialect(sqlMySQL);
  other.StringAttri()->SetForeground(clGreen);
  hl.Assign(&other);
  EXPECT_EQ(hl.SQLDialect(), sqlMySQL);
  EXPECT_EQ(hl.StringAttri()->Foreground(), clGreen);
}

TEST_F(KedHighlighterSQL, EverySampleNamesItsDialectAndScansToTheEnd) {
  for (int d = sqlStandard; d <= sqlMSSQL2K; ++d) {
    hl.SetSQLDialect(static_cast<TSQLDialect>(d));
    const std::string sample = hl.SampleSource();
    ASSERT_FALSE(sample.empty()) << d;
    hl.ClearRange();
    hl.StartLine(sample, 0);
    hl.ScanToLineEnd();
    EXPECT_TRUE(hl.AtLineEnd());
  }
}

TEST(KedHighlighterSQLClasses, TheSQLHighlighterIsRegistered) {
  EXPECT_GE(GetPlaceableHighlighters().IndexOf(TKedSQLHl::StaticClassInfo()), 0);
  RegisterHighlighterClass(TKedSQLHl::StaticClassInfo());
  int count = 0;
  for (int i = 0; i < GetPlaceableHighlighters().Count(); ++i)
    count += GetPlaceableHighlighters().Items(i) == TKedSQLHl::StaticClassInfo();
  EXPECT_EQ(count, 1);
}
