// SQL highlighter: eight dialects, each with its keyword lists, identifier characters and
// token rules (hash comments, back-quoted and bracketed names, backslash escapes,
// conditional comments, bind variables). Keywords are found through a 256-bucket hash.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "editor/KedEditHighlighter.h"
#include "editor/KedHighlighterHashEntries.h"

enum TSQLDialect : uint8_t {
  sqlStandard,
  sqlInterbase6,
  sqlMSSQL7,
  sqlMySQL,
  sqlOracle,
  sqlSybase,
  sqlIngres,
  sqlMSSQL2K
};

// The numbers TokenKind answers.
enum class TSQLTokenKind : uint8_t {
  Comment = 0,
  DataType = 1,
  DefaultPackage = 2,
  Exception = 3,
  Function = 4,
  Identifier = 5,
  Key = 6,
  Null = 7,  // end of line, no text
  Number = 8,
  Space = 9,
  PLSQL = 10,
  SQLPlus = 11,
  String = 12,
  Symbol = 13,
  TableName = 14,
  Unknown = 15,
  Variable = 16,
  ConditionalComment = 17,
  DelimitedIdentifier = 18
};

class TKedSQLHl : public TKedCustomHighlighter {
  K_CLASS_PUBLISHED(TKedSQLHl, TKedCustomHighlighter)

  explicit TKedSQLHl(TComponent* owner);
  ~TKedSQLHl() override;

  // ---- published ----
  TSQLDialect SQLDialect() const { return dialect_; }
  // A different dialect rebuilds the keyword table.
  void SetSQLDialect(TSQLDialect value);
  TStrings* TableNames() const { return tableNames_.get(); }
  // Copies the names; the keyword table is rebuilt with them as table names.
  void SetTableNames(TStrings* value);

  TKedHighlighterAttributes* CommentAttri() const { return commentAttri_; }
  TKedHighlighterAttributes* ConditionalCommentAttri() const { return conditionalCommentAttri_; }
  TKedHighlighterAttributes* DataTypeAttri() const { return dataTypeAttri_; }
  TKedHighlighterAttributes* DefaultPackageAttri() const { return defaultPackageAttri_; }
  TKedHighlighterAttributes* DelimitedIdentifierAttri() const { return delimitedIdentifierAttri_; }
  TKedHighlighterAttributes* ExceptionAttri() const { return exceptionAttri_; }
  TKedHighlighterAttributes* FunctionAttri() const { return functionAttri_; }
  TKedHighlighterAttributes* IdentifierAttri() const { return identifierAttri_; }
  TKedHighlighterAttributes* KeyAttri() const { return keyAttri_; }
  TKedHighlighterAttributes* NumberAttri() const { return numberAttri_; }
  TKedHighlighterAttributes* PLSQLAttri() const { return plsqlAttri_; }
  TKedHighlighterAttributes* SpaceAttri() const { return spaceAttri_; }
  TKedHighlighterAttributes* SQLPlusAttri() const { return sqlPlusAttri_; }
  TKedHighlighterAttributes* StringAttri() const { return stringAttri_; }
  TKedHighlighterAttributes* SymbolAttri() const { return symbolAttri_; }
  TKedHighlighterAttributes* TableNameAttri() const { return tableNameAttri_; }
  TKedHighlighterAttributes* VariableAttri() const { return variableAttri_; }

  // ---- highlighter interface ----
  TKedHighlighterAttributes* DefaultAttribute(int kind) const override;
  bool FilterIsStored() const override;
  TKedCharSet GetIdentChars() const override;
  std::string SampleSource() const override;
  std::string LanguageName() const override { return "SQL"; }
  // True for data types, default packages, exceptions, functions, reserved and PL/SQL
  // words, found as the scanner finds them.
  bool MatchesKeyword(const std::string& word) const override;

  void ScanNextToken() override;
  // Follows only what can change the range: quotes, comment delimiters, and the tokens
  // that may hide them (delimited names, words, numbers, variables, double-byte pairs).
  void ScanRangeOfLine(std::string_view line) override;
  bool AtLineEnd() const override { return tokenKind_ == TSQLTokenKind::Null; }
  TKedHighlighterAttributes* TokenAttribute() const override;
  int TokenKind() const override { return static_cast<int>(tokenKind_); }
  TKedHighlighterRange CurrentRange() const override { return range_; }
  void RestoreRange(TKedHighlighterRange value) override;
  void ClearRange() override { range_ = kRangeNormal; }

  void Assign(TPersistent* source) override;

  // Adds word with kind under its hash; a repeat (case ignored) raises Exception
  // "Keyword \"%s\" already in list".
  void InsertKeyword(const std::string& word, int kind);
  // Refills the keyword table from the dialect's lists and the table names, then tells
  // the editors.
  void BuildKeywordTable();

  // Range states.
  static constexpr uint8_t kRangeNormal = 0;
  static constexpr uint8_t kRangeComment = 1;
  static constexpr uint8_t kRangeString = 2;
  static constexpr uint8_t kRangeConditionalComment = 3;

 private:
  using TCharTable = std::array<bool, 256>;
  using THashTable = std::array<uint32_t, 256>;

  bool IsMSSQL() const { return dialect_ == sqlMSSQL7 || dialect_ == sqlMSSQL2K; }

  // Hash of the word starting at text[0]; wordLength gets the characters it consumed.
  uint8_t HashWord(std::string_view text, size_t& wordLength) const;
  TSQLTokenKind LookupWordKind(std::string_view text, size_t& wordLength) const;
  void OnTableNamesChange(TObject* sender);
  TKedHighlighterAttributes* NewAttribute(const char* name, TFontStyles style);

  // Token routines.
  void ScanSpace();
  void ScanLineBreak();
  void ScanSymbolThen(std::string_view followers);
  void ScanLess();
  void ScanMinus();
  void ScanSlash();
  void ScanHash();
  void ScanDoubleQuoted();
  void ScanBackQuoted();
  void ScanBracket();
  void ScanNumber();
  void ScanWord();
  void ScanVariable();
  void ScanOther();
  void ScanDelimited(char close);
  void ScanBlockComment();
  void ScanString();
  void ToLineEnd(TSQLTokenKind kind);
  // Where a string that is open at `from` closes (just past its quote); npos when it runs
  // to the line's end.
  size_t StringEnd(std::string_view line, size_t from) const;
  void ListRangeScanStops();

  // Scanner state.
  uint8_t range_ = kRangeNormal;
  TSQLTokenKind tokenKind_ = TSQLTokenKind::Null;
  TKedHashEntryList keywords_;
  std::unique_ptr<TStringList> tableNames_;
  TSQLDialect dialect_ = sqlStandard;
  const TCharTable* identifiers_;
  const THashTable* hashValues_;
  // First characters of words that may be comment words (REM): only they need the
  // keyword table when the range alone is wanted.
  TCharTable commentWordStarts_{};
  // Characters that start a token of one character, or of several that hide nothing, in
  // the current dialect: the ranges-only scan passes them without a second look.
  TCharTable passedByRangeScan_{};
  // Characters the ranges-only scan must stop at: all others only build tokens that
  // neither change the range nor hide a character that does.
  TCharTable rangeScanStops_{};
  // Stops that the token before may swallow (a number takes a minus, a word a hash): the
  // tokens from the last known start are followed exactly up to them.
  TCharTable rangeScanStopsInTokens_{};
  // The stops below 128 one by one (the others are all stops), for a search 16 bytes at a
  // time; empty when there are too many for that.
  std::string rangeScanStopList_;

  TKedHighlighterAttributes* commentAttri_;
  TKedHighlighterAttributes* conditionalCommentAttri_;
  TKedHighlighterAttributes* dataTypeAttri_;
  TKedHighlighterAttributes* defaultPackageAttri_;
  TKedHighlighterAttributes* delimitedIdentifierAttri_;
  TKedHighlighterAttributes* exceptionAttri_;
  TKedHighlighterAttributes* functionAttri_;
  TKedHighlighterAttributes* identifierAttri_;
  TKedHighlighterAttributes* keyAttri_;
  TKedHighlighterAttributes* numberAttri_;
  TKedHighlighterAttributes* plsqlAttri_;
  TKedHighlighterAttributes* spaceAttri_;
  TKedHighlighterAttributes* sqlPlusAttri_;
  TKedHighlighterAttributes* stringAttri_;
  TKedHighlighterAttributes* symbolAttri_;
  TKedHighlighterAttributes* tableNameAttri_;
  TKedHighlighterAttributes* variableAttri_;
};

// Called with each word of a keyword list.
using TKedKeywordAddProc = void (*)(TKedSQLHl* highlighter, const std::string& word, int kind);

// Splits listText into words (runs of wordChars; anything else separates) and calls
// addProc(highlighter, word, kind) for each; nothing without addProc or text.
void ForEachKeyword(int kind, std::string_view listText, const TKedCharSet& wordChars,
                    TKedKeywordAddProc addProc, TKedSQLHl* highlighter);
