// A configurable highlighter for text in no particular language: a keyword list, a choice
// of comment styles, one string delimiter, optional preprocessor lines and the characters
// the editor's word operations treat as part of a word. The main window uses it for CSV.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "editor/KedEditHighlighter.h"

enum TCommentStyle { csAnsiStyle, csPasStyle, csCStyle, csAsmStyle, csBasStyle, csCPPStyle };
using TCommentStyles = TSet<TCommentStyle>;

enum TStringDelim : uint8_t { sdSingleQuote, sdDoubleQuote };

// The numbers TokenKind answers.
enum class TGeneralTokenKind : uint8_t {
  Comment = 0,
  Identifier = 1,
  Key = 2,
  Null = 3,  // end of line, no text
  Number = 4,
  Preprocessor = 5,
  Space = 6,
  String = 7,
  Symbol = 8,
  Unknown = 9
};

class TKedGeneralHl : public TKedCustomHighlighter {
  K_CLASS_PUBLISHED(TKedGeneralHl, TKedCustomHighlighter)

  explicit TKedGeneralHl(TComponent* owner);
  ~TKedGeneralHl() override;

  // ---- published ----
  TCommentStyles Comments() const { return comments_; }
  void SetComments(TCommentStyles value);
  bool DetectPreprocessor() const { return detectPreprocessor_; }
  void SetDetectPreprocessor(bool value);
  // The characters of the set in code order, at most 255 of them.
  std::string IdentifierChars() const;
  // The set becomes exactly these characters, which also stop being word-break characters.
  void SetIdentifierChars(const std::string& value);
  TStrings* KeyWords() const { return keyWords_.get(); }
  // Upper-cases value's entries in place, then copies them (sorted, repeats dropped).
  void SetKeyWords(TStrings* value);
  TStringDelim StringDelim() const { return stringDelimCh_ == '"' ? sdDoubleQuote : sdSingleQuote; }
  void SetStringDelim(TStringDelim value);

  TKedHighlighterAttributes* CommentAttri() const { return commentAttri_; }
  TKedHighlighterAttributes* IdentifierAttri() const { return identifierAttri_; }
  TKedHighlighterAttributes* KeyAttri() const { return keyAttri_; }
  TKedHighlighterAttributes* NumberAttri() const { return numberAttri_; }
  TKedHighlighterAttributes* PreprocessorAttri() const { return preprocessorAttri_; }
  TKedHighlighterAttributes* SpaceAttri() const { return spaceAttri_; }
  TKedHighlighterAttributes* StringAttri() const { return stringAttri_; }
  TKedHighlighterAttributes* SymbolAttri() const { return symbolAttri_; }

  // ---- highlighter interface ----
  TKedHighlighterAttributes* DefaultAttribute(int kind) const override;
  TKedCharSet GetIdentChars() const override { return identChars_; }
  std::string LanguageName() const override { return "General"; }
  bool MatchesKeyword(const std::string& word) const override;

#ifdef _WIN32
  // The keyword list travels with the attributes, as the string value "KeyWords" of the key
  // (one keyword per line).
  bool LoadFromRegistry(HKEY__* rootKey, const std::string& key) override;
  bool SaveToRegistry(HKEY__* rootKey, const std::string& key) override;
#endif

  void ScanNextToken() override;
  // Follows only what can change the range: comment delimiters, and the strings, line
  // comments and double-byte pairs that may hide them.
  void ScanRangeOfLine(std::string_view line) override;
  bool AtLineEnd() const override { return tokenKind_ == TGeneralTokenKind::Null; }
  TKedHighlighterAttributes* TokenAttribute() const override;
  int TokenKind() const override { return static_cast<int>(tokenKind_); }
  TKedHighlighterRange CurrentRange() const override { return range_; }
  void RestoreRange(TKedHighlighterRange value) override { range_ = static_cast<uint8_t>(value); }
  void ClearRange() override { range_ = kRangeNormal; }

  // Range states.
  static constexpr uint8_t kRangeAnsiComment = 1;  // inside "(*"
  static constexpr uint8_t kRangePasComment = 2;   // inside a brace comment
  static constexpr uint8_t kRangeCComment = 3;     // inside "/*"
  static constexpr uint8_t kRangeNormal = 4;

 private:
  TKedHighlighterAttributes* NewAttribute(const char* name, TFontStyles style);

  void ScanLineBreak();
  void ScanSpace();
  void ScanString();
  void ScanHash();
  void ScanHexNumber();
  void ScanNumber();
  void ScanWord();
  void ScanRoundOpen();
  void ScanBraceOpen();
  void ScanSlash();
  void ScanSemicolon();
  void ScanOther();
  // Runs a comment of the current range to its terminator (ending the range) or the line end.
  void ScanComment();
  void ToLineEnd(TGeneralTokenKind kind);

  TCommentStyles comments_;
  bool detectPreprocessor_ = false;
  TKedCharSet identChars_;
  std::unique_ptr<TStringList> keyWords_;
  char stringDelimCh_ = '\'';

  uint8_t range_ = kRangeNormal;
  TGeneralTokenKind tokenKind_ = TGeneralTokenKind::Null;

  TKedHighlighterAttributes* commentAttri_;
  TKedHighlighterAttributes* identifierAttri_;
  TKedHighlighterAttributes* keyAttri_;
  TKedHighlighterAttributes* numberAttri_;
  TKedHighlighterAttributes* spaceAttri_;
  TKedHighlighterAttributes* stringAttri_;
  TKedHighlighterAttributes* symbolAttri_;
  TKedHighlighterAttributes* preprocessorAttri_;
};
