#include "editor/KedEditSearch.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "editor/KedEditTextBuffer.h"
#include "framework/SysUtils.h"

namespace {

// Letters and digits of the ANSI code page (Windows-1252), as the system classifies them.
bool IsAnsiAlphaNumeric(unsigned char c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  switch (c) {
    case 0x83:
    case 0x8A:
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:
    case 0xAA:
    case 0xB5:
    case 0xBA:
      return true;
    default:
      return c >= 0xC0 && c != 0xD7 && c != 0xF7;
  }
}

}  // namespace

TKedEditSearch::TKedEditSearch(TComponent* owner) : TKedEditSearchCustom(owner) {
  MakeCaseTable();
  for (int c = 0; c < 256; ++c)
    delimiters_[static_cast<size_t>(c)] =
        !IsAnsiAlphaNumeric(static_cast<unsigned char>(c)) && c != '_';
}

TKedEditSearch::~TKedEditSearch() = default;

void TKedEditSearch::SetPattern(const std::string& value) {
  if (value == pattern_) return;
  pattern_ = value;
  shiftTableCurrent_ = false;
}

int TKedEditSearch::GetLength(int) const { return patternLength_; }

int TKedEditSearch::GetResult(int index) const {
  if (index < 0 || index >= GetResultCount()) return 0;
  return results_[static_cast<size_t>(index)];
}

int TKedEditSearch::GetResultCount() const { return static_cast<int>(results_.size()); }

void TKedEditSearch::SetOptions(TKedSearchOptions value) {
  const bool matchCase = value.Contains(ssoMatchCase);
  if (matchCase != matchCase_) {
    matchCase_ = matchCase;
    MakeCaseTable();
    shiftTableCurrent_ = false;
  }
  wholeWord_ = value.Contains(ssoWholeWord);
}

std::string TKedEditSearch::Replace(const std::string&, const std::string& replacement) {
  return replacement;
}

void TKedEditSearch::MakeCaseTable() {
  std::string chars(256, '\0');
  for (int c = 0; c < 256; ++c) chars[static_cast<size_t>(c)] = static_cast<char>(c);
  if (!matchCase_) chars = AnsiLowerCase(chars);
  for (size_t c = 0; c < 256; ++c) caseTable_[c] = static_cast<unsigned char>(chars[c]);
}

void TKedEditSearch::BuildShiftTable() {
  const size_t len = pattern_.size();
  if (len == 0) throw Exception("Pattern is empty");
  if (len >= static_cast<size_t>(std::numeric_limits<int>::max()))
    throw ERangeError("Range check error");
  patternLength_ = static_cast<int>(len);
  shift_.fill(static_cast<uint32_t>(len + 1));
  // Each character's entry ends as the distance from its last occurrence to one past the
  // pattern's end: the Sunday shift taken on the character after the window.
  for (size_t i = 0; i < len; ++i) shift_[Fold(pattern_[i])] = static_cast<uint32_t>(len - i);
  // How far back the last pattern character occurs again: windows closer than that cannot
  // match after a full comparison failed.
  lookAheadStep_ = 1;
  const unsigned char last = Fold(pattern_[len - 1]);
  while (lookAheadStep_ < len && last != Fold(pattern_[len - 1 - lookAheadStep_])) ++lookAheadStep_;
  shiftTableCurrent_ = true;
}

int TKedEditSearch::FindAll(const std::string& newText) {
  results_.clear();
  // Positions are 1-based integers; a larger text could not report them.
  if (newText.size() >= static_cast<size_t>(std::numeric_limits<int>::max()))
    throw ERangeError("Range check error");
  for (int found = SearchFirst(newText); found > 0; found = SearchNext()) results_.push_back(found);
  text_ = nullptr;
  return GetResultCount();
}

int TKedEditSearch::SearchFirst(const std::string& text) {
  if (!shiftTableCurrent_) BuildShiftTable();
  text_ = &text;
  if (text.size() < pattern_.size()) return 0;
  // The scan starts one before the text, so the first advance puts it on the first window.
  run_ = static_cast<size_t>(-1);
  return SearchNext();
}

int TKedEditSearch::SearchNext() {
  if (text_ == nullptr) return 0;
  const std::string& text = *text_;
  const char* t = text.c_str();  // t[size] is the terminating NUL
  const size_t n = text.size();
  const size_t len = pattern_.size();
  const unsigned char last = Fold(pattern_[len - 1]);
  run_ += len;
  while (run_ < n) {
    if (Fold(t[run_]) != last) {
      run_ += shift_[Fold(t[run_ + 1])];
      continue;
    }
    const size_t first = run_ + 1 - len;
    size_t i = 0;
    while (i < len && Fold(pattern_[i]) == Fold(t[first + i])) ++i;
    if (i == len && (!wholeWord_ || IsWholeWord(first, run_))) return static_cast<int>(first + 1);
    run_ += lookAheadStep_;
    if (run_ >= n) break;
    run_ += shift_[Fold(t[run_])] - 1;
  }
  return 0;
}

bool TKedEditSearch::IsWholeWord(size_t first, size_t last) const {
  const char* t = text_->c_str();
  if (first > 0 && !delimiters_[static_cast<unsigned char>(t[first - 1])]) return false;
  return delimiters_[static_cast<unsigned char>(t[last + 1])];
}

int TKedEditSearchCustom::FindAllInLines(const TKedEditStringList& lines) {
  return FindAll(lines.GetTextStr());
}

int TKedEditSearch::FindAllInLines(const TKedEditStringList& lines) {
  // A pattern holding a line break can only match across lines: search the joined text.
  if (pattern_.find_first_of("\r\n") != std::string::npos) return FindAll(lines.GetTextStr());
  results_.clear();
  if (!shiftTableCurrent_) BuildShiftTable();
  // A pattern character that only one byte folds to (a digit or a sign, or any character
  // when case matters) lets memchr find the candidates.
  int anchor = -1;
  for (int i = patternLength_ - 1; i >= 0 && anchor < 0; --i) {
    const unsigned char folded = Fold(pattern_[static_cast<size_t>(i)]);
    int bytes = 0;
    for (int c = 0; c < 256; ++c) bytes += caseTable_[static_cast<size_t>(c)] == folded;
    if (bytes == 1) anchor = i;
  }
  int64_t offset = 0;
  const int count = lines.Count();
  for (int i = 0; i < count; ++i) {
    const std::string_view line = lines.LineView(i);
    if (anchor >= 0)
      FindInLineByAnchor(line, offset, static_cast<size_t>(anchor));
    else
      FindInLine(line, offset);
    offset += static_cast<int64_t>(line.size()) + 2;
  }
  return GetResultCount();
}

void TKedEditSearch::FindInLineByAnchor(std::string_view line, int64_t offset, size_t anchor) {
  const size_t n = line.size();
  const size_t len = pattern_.size();
  if (n < len) return;
  const char byte = pattern_[anchor];
  const auto delimiter = [&](size_t i) {
    return i >= n || delimiters_[static_cast<unsigned char>(line[i])];
  };
  size_t allowed = 0;  // matches do not overlap
  const char* data = line.data();
  for (size_t from = anchor; from < n;) {
    const void* hit = std::memchr(data + from, byte, n - from);
    if (hit == nullptr) break;
    const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - data);
    from = at + 1;
    const size_t first = at - anchor;
    if (first < allowed || first + len > n) continue;
    size_t i = 0;
    while (i < len && Fold(pattern_[i]) == Fold(line[first + i])) ++i;
    if (i < len) continue;
    if (wholeWord_ && !((first == 0 || delimiter(first - 1)) && delimiter(first + len))) continue;
    const int64_t position = offset + static_cast<int64_t>(first) + 1;
    if (position > std::numeric_limits<int>::max()) throw ERangeError("Range check error");
    results_.push_back(static_cast<int>(position));
    allowed = first + len;
    from = std::max(from, allowed + anchor);
  }
}

void TKedEditSearch::FindInLine(std::string_view line, int64_t offset) {
  const size_t n = line.size();
  const size_t len = pattern_.size();
  if (n < len) return;
  // Outside the line lies a line break, as in the joined text.
  const auto at = [&](size_t i) -> char { return i < n ? line[i] : '\r'; };
  const unsigned char last = Fold(pattern_[len - 1]);
  const auto delimiter = [&](char c) { return delimiters_[static_cast<unsigned char>(c)]; };
  size_t run = len - 1;
  while (run < n) {
    if (Fold(line[run]) != last) {
      run += shift_[Fold(at(run + 1))];
      continue;
    }
    const size_t first = run + 1 - len;
    size_t i = 0;
    while (i < len && Fold(pattern_[i]) == Fold(line[first + i])) ++i;
    if (i == len &&
        (!wholeWord_ || ((first == 0 || delimiter(line[first - 1])) && delimiter(at(run + 1))))) {
      const int64_t position = offset + static_cast<int64_t>(first) + 1;
      if (position > std::numeric_limits<int>::max()) throw ERangeError("Range check error");
      results_.push_back(static_cast<int>(position));
      run += len;  // matches do not overlap
      continue;
    }
    run += lookAheadStep_;
    if (run >= n) break;
    run += shift_[Fold(line[run])] - 1;
  }
}
