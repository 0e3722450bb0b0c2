#include "editor/KedHighlighterGeneral.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/TypInfo.h"
#include "tests/editor/HighlighterScan.h"
#include "tests/editor/ShiftJisLeadBytes.h"

namespace {

constexpr int kComment = 0, kIdent = 1, kKey = 2, kNumber = 4, kPreprocessor = 5, kSpace = 6,
              kString = 7, kSymbol = 8, kOther = 9;

using Tokens = std::vector<TScannedToken>;

struct TGeneralCase {
  TCommentStyles Comments;
  bool Preprocessor;
  TStringDelim Delim;
  std::string Line;
  Tokens Expected;
};

// The main window's CSV settings.
void ConfigureForCsv(TKedGeneralHl& hl) {
  hl.SetComments({});
  hl.SetDetectPreprocessor(false);
  hl.SetIdentifierChars(" ',;");
}

}  // namespace

TEST(KedHighlighterGeneral, ScansTokensUnderEachConfiguration) {
  const TCommentStyles none;
  const TGeneralCase cases[] = {
      // The CSV settings of the main window.
      {none,
       false,
       sdSingleQuote,
       "'a b',12;x",
       {{kString, "'a b'"}, {kOther, ","}, {kNumber, "12"}, {kSymbol, ";"}, {kIdent, "x"}}},
      {none,
       false,
       sdSingleQuote,
       "\"a\",b",
       {{kOther, "\""}, {kIdent, "a"}, {kOther, "\""}, {kOther, ","}, {kIdent, "b"}}},
      {none,
       false,
       sdDoubleQuote,
       "\"a,b\",'c'",
       {{kString, "\"a,b\""}, {kOther, ","}, {kOther, "'"}, {kIdent, "c"}, {kOther, "'"}}},
      {none,
       false,
       sdSingleQuote,
       "'''a' b'",
       {{kString, "'''a'"}, {kSpace, " "}, {kIdent, "b"}, {kString, "'"}}},
      {none, false, sdSingleQuote, "'open", {{kString, "'open"}}},
      // Numbers: decimals, exponents, C-style and dollar hexadecimal, ranges.
      {none, false, sdSingleQuote, "0x1F", {{kNumber, "0x1F"}}},
      {none, false, sdSingleQuote, "1.5e3", {{kNumber, "1.5e3"}}},
      {none,
       false,
       sdSingleQuote,
       "1..2",
       {{kNumber, "1"}, {kOther, "."}, {kOther, "."}, {kNumber, "2"}}},
      {none, false, sdSingleQuote, "$FFz", {{kNumber, "$FF"}, {kIdent, "z"}}},
      // The hash sign: a character code, or a preprocessor line when detected.
      {none, false, sdSingleQuote, "#13x", {{kString, "#13"}, {kIdent, "x"}}},
      {none, true, sdSingleQuote, "#include <a>", {{kPreprocessor, "#include <a>"}}},
      // Comment styles.
      {{csCPPStyle},
       false,
       sdSingleQuote,
       "a // b",
       {{kIdent, "a"}, {kSpace, " "}, {kComment, "// b"}}},
      {none,
       false,
       sdSingleQuote,
       "a//b",
       {{kIdent, "a"}, {kSymbol, "/"}, {kSymbol, "/"}, {kIdent, "b"}}},
      {{csCStyle}, false, sdSingleQuote, "/* c */d", {{kComment, "/* c */"}, {kIdent, "d"}}},
      {{csPasStyle}, false, sdSingleQuote, "{c}d", {{kComment, "{c}"}, {kIdent, "d"}}},
      {none, false, sdSingleQuote, "{c}", {{kSymbol, "{"}, {kIdent, "c"}, {kOther, "}"}}},
      {{csAnsiStyle}, false, sdSingleQuote, "(*c*)(.", {{kComment, "(*c*)"}, {kSymbol, "(."}}},
      {none, false, sdSingleQuote, "(.", {{kSymbol, "("}, {kOther, "."}}},
      {{csAsmStyle}, false, sdSingleQuote, "a;b", {{kIdent, "a"}, {kComment, ";b"}}},
      {{csBasStyle}, false, sdSingleQuote, ";b", {{kComment, ";b"}}},
      // Blanks and control characters run together; a NUL inside the text is one character.
      {none, false, sdSingleQuote, "\t \x01x", {{kSpace, "\t \x01"}, {kIdent, "x"}}},
      {none, false, sdSingleQuote, std::string("\0", 1), {{kOther, std::string(1, '\0')}}},
      {none, false, sdSingleQuote, "a\r\nb", {{kIdent, "a"}, {kSpace, "\r\n"}, {kIdent, "b"}}},
  };
  for (const TGeneralCase& c : cases) {
    TKedGeneralHl hl(nullptr);
    hl.SetComments(c.Comments);
    hl.SetDetectPreprocessor(c.Preprocessor);
    hl.SetStringDelim(c.Delim);
    EXPECT_EQ(ScanLine(hl, c.Line, TKedGeneralHl::kRangeNormal), c.Expected) << c.Line;
  }
}

TEST(KedHighlighterGeneral, UnterminatedCommentsContinueOnTheNextLine) {
  struct TRangeCase {
    TCommentStyle Style;
    std::vector<std::string> Lines;
    std::vector<Tokens> Expected;
    std::vector<TKedHighlighterRange> Ranges;
  };
  const TRangeCase cases[] = {
      {csAnsiStyle,
       {"a (* b", "c", "d *) e"},
       {{{kIdent, "a"}, {kSpace, " "}, {kComment, "(* b"}},
        {{kComment, "c"}},
        {{kComment, "d *)"}, {kSpace, " "}, {kIdent, "e"}}},
       {1, 1, 4}},
      {csPasStyle,
       {"{ x", "", "}y"},
       {{{kComment, "{ x"}}, {}, {{kComment, "}"}, {kIdent, "y"}}},
       {2, 2, 4}},
      {csCStyle,
       {"/*", "\r\n*/"},
       {{{kComment, "/*"}}, {{kSpace, "\r\n"}, {kComment, "*/"}}},
       {3, 4}},
  };
  for (const TRangeCase& c : cases) {
    TKedGeneralHl hl(nullptr);
    hl.SetComments({c.Style});
    std::vector<TKedHighlighterRange> ranges;
    EXPECT_EQ(ScanLines(hl, c.Lines, &ranges), c.Expected) << c.Lines[0];
    EXPECT_EQ(ranges, c.Ranges) << c.Lines[0];
  }
}

TEST(KedHighlighterGeneral, KeyWordsAreUpperCasedInTheCallersListAndMatchInAnyCase) {
  TKedGeneralHl hl(nullptr);
  TStringList words;
  words.Add("begin");
  words.Add("end");
  words.Add("Begin");
  hl.SetKeyWords(&words);
  EXPECT_EQ(words.Strings(0), "BEGIN");
  EXPECT_EQ(words.Strings(2), "BEGIN");
  EXPECT_EQ(hl.KeyWords()->Count(), 2);
  EXPECT_EQ(
      ScanLine(hl, "begin BEGIN x", TKedGeneralHl::kRangeNormal),
      (Tokens{{kKey, "begin"}, {kSpace, " "}, {kKey, "BEGIN"}, {kSpace, " "}, {kIdent, "x"}}));
  EXPECT_TRUE(hl.MatchesKeyword("End"));
  EXPECT_FALSE(hl.MatchesKeyword("ends"));
}

TEST(KedHighlighterGeneral, IdentifierCharactersLeaveTheWordBreakSet) {
  TKedGeneralHl hl(nullptr);
  EXPECT_EQ(hl.IdentifierChars().size(), 223u);  // 33..255
  ASSERT_TRUE(hl.WordBreakChars().test('\'') && hl.WordBreakChars().test(','));
  ConfigureForCsv(hl);
  EXPECT_EQ(hl.IdentifierChars(), " ',;");
  EXPECT_FALSE(hl.WordBreakChars().test('\''));
  EXPECT_FALSE(hl.WordBreakChars().test(','));
  EXPECT_FALSE(hl.WordBreakChars().test(';'));
  EXPECT_TRUE(hl.WordBreakChars().test('.'));
  EXPECT_TRUE(hl.GetIdentChars().test(' '));
  EXPECT_FALSE(hl.GetIdentChars().test('a'));
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  hl.SetIdentifierChars(all);
  EXPECT_EQ(hl.IdentifierChars().size(), 255u);
}

TEST(KedHighlighterGeneral, LeadByteAtTheEndOfALineStaysInsideTheLine) {
  TKedLeadBytesScope scope(ShiftJisLeadBytes());
  TKedGeneralHl hl(nullptr);
  EXPECT_EQ(ScanLine(hl, "\x82\xa0\x82", TKedGeneralHl::kRangeNormal),
            (Tokens{{kOther, "\x82\xa0"}, {kOther, "\x82"}}));
}

TEST(KedHighlighterGeneral, PublishesItsSettingsAndAttributes) {
  TKedGeneralHl hl(nullptr);
  SetSetProp(&hl, "Comments", "[csCStyle,csCPPStyle]");
  EXPECT_EQ(hl.Comments(), (TCommentStyles{csCStyle, csCPPStyle}));
  SetEnumProp(&hl, "StringDelim", "sdDoubleQuote");
  EXPECT_EQ(hl.StringDelim(), sdDoubleQuote);
  SetStrProp(&hl, "IdentifierChars", " ',;");
  EXPECT_EQ(hl.IdentifierChars(), " ',;");
  SetOrdProp(&hl, "DetectPreprocessor", 1);
  EXPECT_TRUE(hl.DetectPreprocessor());
  SetOrdProp(&hl, "SpaceAttri.Background", clMenuHighlight);
  EXPECT_EQ(hl.SpaceAttri()->Background(), clMenuHighlight);
  EXPECT_EQ(hl.AttributeCount(), 8);
  EXPECT_EQ(hl.CommentAttri()->Style(), (TFontStyles{fsItalic}));
  EXPECT_EQ(hl.KeyAttri()->Name(), "Reserved Word");
  EXPECT_EQ(hl.LanguageName(), "General");
  EXPECT_EQ(hl.DefaultAttribute(5), hl.SymbolAttri());
  EXPECT_EQ(hl.CurrentRange(), TKedGeneralHl::kRangeNormal);
}

TEST(KedHighlighterGeneral, SettingsThatChangeThePaintingNotifyTheEditors) {
  TKedGeneralHl hl(nullptr);
  int notices = 0;
  hl.AddChangeHook([&notices](TObject*) { ++notices; });
  hl.SetComments({csCStyle});
  hl.SetComments({csCStyle});
  hl.SetDetectPreprocessor(true);
  hl.SetDetectPreprocessor(true);
  TStringList words;
  hl.SetKeyWords(&words);
  EXPECT_EQ(notices, 3);
}
