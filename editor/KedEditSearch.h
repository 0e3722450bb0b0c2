// Plain-text search engine of the editor: all non-overlapping matches of a pattern, with
// optional case folding and a whole-word test, using a shift table so that mismatches skip
// up to pattern length + 1 characters.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Component.h"

class TKedEditStringList;
#include "framework/Types.h"

// Bit 0 match case, bit 1 whole words only; the engine ignores the others.
enum TKedSearchOption {
  ssoMatchCase,
  ssoWholeWord,
  ssoBackwards,
  ssoEntireScope,
  ssoSelectedOnly,
  ssoReplace,
  ssoReplaceAll,
  ssoPrompt
};
using TKedSearchOptions = TSet<TKedSearchOption>;

// What the editor knows of a search engine: it is pluggable and has no behaviour here.
class TKedEditSearchCustom : public TComponent {
  K_CLASS(TKedEditSearchCustom, TComponent)

  explicit TKedEditSearchCustom(TComponent* owner) : TComponent(owner) {}

  virtual std::string GetPattern() const = 0;
  virtual void SetPattern(const std::string& value) = 0;
  // Length of match index.
  virtual int GetLength(int index) const = 0;
  // 1-based character position of match index.
  virtual int GetResult(int index) const = 0;
  virtual int GetResultCount() const = 0;
  virtual void SetOptions(TKedSearchOptions value) = 0;
  // Finds every match in newText and answers their number.
  virtual int FindAll(const std::string& newText) = 0;
  // The same over the lines joined with CR LF; the default joins them once.
  virtual int FindAllInLines(const TKedEditStringList& lines);
  virtual std::string Replace(const std::string& occurrence, const std::string& replacement) = 0;
};

class TKedEditSearch : public TKedEditSearchCustom {
  K_CLASS(TKedEditSearch, TKedEditSearchCustom)

  explicit TKedEditSearch(TComponent* owner);
  ~TKedEditSearch() override;

  std::string GetPattern() const override { return pattern_; }
  // A different pattern makes the shift table stale.
  void SetPattern(const std::string& value) override;
  // The pattern length of the last shift-table build, whatever the index.
  int GetLength(int index) const override;
  // 1-based position of match index; 0 outside 0..count-1.
  int GetResult(int index) const override;
  int GetResultCount() const override;
  // Bit 0: match case; bit 1: whole words only; other bits are ignored.
  void SetOptions(TKedSearchOptions value) override;
  // Collects the 1-based start of every match, left to right, matches not overlapping, and
  // answers their number. An empty pattern raises Exception "Pattern is empty" (after the
  // previous results were dropped).
  int FindAll(const std::string& newText) override;
  // Positions as in the CR LF-joined text, found line by line without joining: a big
  // dump is held once, not twice.
  int FindAllInLines(const TKedEditStringList& lines) override;
  // A plain-text search replaces every match by the replacement as it is.
  std::string Replace(const std::string& occurrence, const std::string& replacement) override;

 private:
  void MakeCaseTable();
  void BuildShiftTable();
  // The 1-based start of the first match in text, 0 when none.
  int SearchFirst(const std::string& text);
  // The 1-based start of the next match after the last one, 0 when none.
  int SearchNext();
  bool IsWholeWord(size_t first, size_t last) const;
  // Matches inside one line whose first character sits at position offset + 1.
  void FindInLine(std::string_view line, int64_t offset);
  // The same, finding candidates by the one byte at pattern index anchor.
  void FindInLineByAnchor(std::string_view line, int64_t offset, size_t anchor);
  unsigned char Fold(char c) const { return caseTable_[static_cast<unsigned char>(c)]; }

  std::array<unsigned char, 256> caseTable_{};
  std::array<bool, 256> delimiters_{};
  std::string pattern_;
  // The text being searched; its terminating NUL counts as the character after its end.
  const std::string* text_ = nullptr;
  size_t run_ = 0;  // index of the last character of the current window
  size_t lookAheadStep_ = 1;
  int patternLength_ = 0;
  std::array<uint32_t, 256> shift_{};
  bool matchCase_ = false;
  bool wholeWord_ = false;
  std::vector<int> results_;
  bool shiftTableCurrent_ = false;
};
