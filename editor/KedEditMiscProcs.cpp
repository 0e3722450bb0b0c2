#include "editor/KedEditMiscProcs.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include "framework/SysUtils.h"

int ClampValue(int value, int low, int high) { return std::max(std::min(value, high), low); }

void ExchangeInts(int& a, int& b) { std::swap(a, b); }

TBufferCoord MinTextPos(const TBufferCoord& a, const TBufferCoord& b) {
  if (b.Line < a.Line || (b.Line == a.Line && b.Char < a.Char)) return b;
  return a;
}

// ---- Double-byte code pages ------------------------------------------------

namespace {

TKedLeadByteTable& LeadByteTable() {
  static TKedLeadByteTable table = KedSystemLeadBytes();
  return table;
}

// Index (0-based) where the character holding byte `pos` starts, found by
// walking from `from`, which must be a character start.
std::size_t CharStartAt(std::string_view text, std::size_t from, std::size_t pos) {
  std::size_t i = from;
  while (i < pos) {
    std::size_t next = i + 1;
    if (IsKedLeadByte(static_cast<unsigned char>(text[i])) && next < text.size()) ++next;
    if (next > pos) return i;
    i = next;
  }
  return i;
}

// 0-based start for a forward search from the 1-based start: a start on a
// trail byte moves on to the next character.
std::size_t ForwardStart(std::string_view text, int start) {
  std::size_t pos = static_cast<std::size_t>(start - 1);
  if (!KedLeadBytes().FarEast) return pos;
  return CharStartAt(text, 0, pos) == pos ? pos : pos + 1;
}

bool HasTrail(std::string_view text, std::size_t i) {
  return IsKedLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
}

}  // namespace

const TKedLeadByteTable& KedLeadBytes() { return LeadByteTable(); }

void SetKedLeadBytes(const TKedLeadByteTable& table) { LeadByteTable() = table; }

bool IsKedLeadByte(unsigned char c) {
  const TKedLeadByteTable& table = LeadByteTable();
  return table.FarEast && table.LeadBytes[c];
}

bool IsKedTrailByteAt(std::string_view text, int charIndex) {
  if (!KedLeadBytes().FarEast || charIndex < 2) return false;
  const std::size_t pos = static_cast<std::size_t>(charIndex - 1);
  return pos < text.size() && CharStartAt(text, 0, pos) != pos;
}

TKedLeadBytesScope::TKedLeadBytesScope(const TKedLeadByteTable& table) : previous_(KedLeadBytes()) {
  SetKedLeadBytes(table);
}

TKedLeadBytesScope::~TKedLeadBytesScope() { SetKedLeadBytes(previous_); }

// ---- Tab expansion -----------------------------------------------------------

namespace {

constexpr int kMaxMaskTabWidth = 65536;

bool IsPowerOfTwo(int n) { return n >= 2 && n <= kMaxMaskTabWidth && (n & (n - 1)) == 0; }

// Shared body of the two multi-column expanders; NextStop gives the 0-based
// column after a tab that starts at column c.
template <typename NextStop>
std::string ExpandTabs(const std::string& line, bool& hasTabs, NextStop nextStop) {
  std::size_t firstTab = line.find('\t');
  hasTabs = firstTab != std::string::npos;
  if (!hasTabs) return line;
  // 64-bit columns: many tabs of a huge width must not overflow the count.
  std::uint64_t length = firstTab;
  for (std::size_t i = firstTab; i < line.size(); ++i)
    length = line[i] == '\t' ? nextStop(length) : length + 1;
  std::string result;
  result.reserve(static_cast<std::size_t>(length));
  for (char c : line) {
    if (c == '\t')
      result.append(static_cast<std::size_t>(nextStop(result.size()) - result.size()), '\t');
    else
      result.push_back(c);
  }
  return result;
}

}  // namespace

std::string ExpandTabsAsSpace(const std::string& line, int, bool& hasTabs) {
  std::string result = line;
  hasTabs = false;
  for (char& c : result) {
    if (c == '\t') {
      c = ' ';
      hasTabs = true;
    }
  }
  return result;
}

std::string ExpandTabsByMask(const std::string& line, int tabWidth, bool& hasTabs) {
  const std::uint64_t mask = static_cast<std::uint64_t>(tabWidth) - 1;
  return ExpandTabs(line, hasTabs, [mask](std::uint64_t c) { return (c | mask) + 1; });
}

std::string ExpandTabsByModulo(const std::string& line, int tabWidth, bool& hasTabs) {
  const std::uint64_t width = static_cast<std::uint64_t>(tabWidth);
  return ExpandTabs(line, hasTabs, [width](std::uint64_t c) { return c + width - c % width; });
}

TKedTabExpander SelectTabExpander(int tabWidth) {
  if (tabWidth <= 1) return &ExpandTabsAsSpace;
  if (IsPowerOfTwo(tabWidth)) return &ExpandTabsByMask;
  return &ExpandTabsByModulo;
}

bool CountBeforeTab(std::string_view text, int& count) {
  std::size_t tab = text.find('\t');
  count = static_cast<int>(tab == std::string_view::npos ? text.size() : tab);
  return tab != std::string_view::npos;
}

int TabExpandedLength(std::string_view text, int tabWidth) {
  const std::int64_t width = std::max(tabWidth, 1);
  std::int64_t column = 0;
  for (char c : text) column = c == '\t' ? column + width - column % width : column + 1;
  return static_cast<int>(std::min<std::int64_t>(column, std::numeric_limits<int>::max()));
}

int CharIndexToColumn(int index, int tabWidth, std::string_view text) {
  if (index < 2) return 1;
  // Only the characters before the index matter: the caret of a huge line must not
  // pay for a scan of all of it.
  const std::string_view before = text.substr(0, static_cast<std::size_t>(index - 1));
  if (tabWidth <= 1 || before.find('\t') == std::string_view::npos) return index;
  const std::int64_t width = tabWidth;
  std::int64_t column = 0;
  for (int i = 0; i < index - 1; ++i) {
    const bool isTab = static_cast<std::size_t>(i) < text.size() && text[i] == '\t';
    column = isTab ? column + width - column % width : column + 1;
  }
  return static_cast<int>(std::min<std::int64_t>(column + 1, std::numeric_limits<int>::max()));
}

// ---- Character searches ------------------------------------------------------

int FindCharInSet(std::string_view text, int start, const TKedCharSet& set) {
  if (start < 1 || static_cast<std::size_t>(start) > text.size()) return 0;
  for (std::size_t i = ForwardStart(text, start); i < text.size();) {
    if (HasTrail(text, i)) {
      i += 2;  // a double-byte character never belongs to an 8-bit set
      continue;
    }
    if (set[static_cast<unsigned char>(text[i])]) return static_cast<int>(i + 1);
    ++i;
  }
  return 0;
}

int FindLastCharInSet(std::string_view text, int count, const TKedCharSet& set) {
  if (count < 1 || static_cast<std::size_t>(count) > text.size()) return 0;
  const std::size_t end = static_cast<std::size_t>(count);
  if (!KedLeadBytes().FarEast) {
    for (std::size_t i = end; i > 0; --i)
      if (set[static_cast<unsigned char>(text[i - 1])]) return static_cast<int>(i);
    return 0;
  }
  // Walking forward is the only way to know which bytes are trail bytes.
  int found = 0;
  for (std::size_t i = 0; i < end;) {
    if (HasTrail(text, i)) {
      i += 2;
      continue;
    }
    if (set[static_cast<unsigned char>(text[i])]) found = static_cast<int>(i + 1);
    ++i;
  }
  return found;
}

int FindLeadByte(std::string_view text, int start) {
  if (!KedLeadBytes().FarEast) return 0;
  if (start < 1 || static_cast<std::size_t>(start) > text.size()) return 0;
  for (std::size_t i = ForwardStart(text, start); i < text.size(); ++i)
    if (IsKedLeadByte(static_cast<unsigned char>(text[i]))) return static_cast<int>(i + 1);
  return 0;
}

int FindLastLeadByte(std::string_view text, int count) {
  if (!KedLeadBytes().FarEast || count < 1) return 0;
  const std::size_t end = std::min(static_cast<std::size_t>(count), text.size());
  int found = 0;
  for (std::size_t i = 0; i < end;) {
    if (IsKedLeadByte(static_cast<unsigned char>(text[i]))) {
      found = static_cast<int>(i + 1);
      i += 2;
    } else {
      ++i;
    }
  }
  return found;
}

const char* FindLineBreak(const char* p) {
  if (p == nullptr) return nullptr;
  while (*p != '\0' && *p != '\r' && *p != '\n') ++p;
  return p;
}

int ClassifyCharType(std::uint16_t type) {
  constexpr std::uint16_t kSymbol = 0x8, kKatakana = 0x10, kHiragana = 0x20, kHalfWidth = 0x40,
                          kFullWidth = 0x80, kIdeograph = 0x100, kLexical = 0x400, kAlpha = 0x8000;
  if (type == kSymbol) return 9;
  if (type & kHalfWidth) {
    if (type == kHalfWidth || type == (kAlpha | kHalfWidth)) return 1;
    if (type & (kSymbol | kLexical)) return 2;
    if (type & kKatakana) return 3;
    return 0;
  }
  if (type == kFullWidth || type == (kAlpha | kFullWidth)) return 4;
  if (type & (kSymbol | kLexical)) return 5;
  if (type & kKatakana) return 6;
  if (type & kHiragana) return 7;
  if (type & kIdeograph) return 8;
  return 0;
}

// ---- Stepped gradient -----------------------------------------------------

std::vector<TKedGradientBand> StepGradientBands(std::uint32_t startRgb, std::uint32_t endRgb,
                                                int steps, int left, int top, int right, int bottom,
                                                bool horizontal) {
  steps = ClampValue(steps, 2, 256);
  auto channel = [](std::uint32_t rgb, int shift) {
    return static_cast<int>((rgb >> shift) & 0xFF);
  };
  const int shifts[3] = {0, 8, 16};
  int first[3], delta[3];
  for (int k = 0; k < 3; ++k) {
    first[k] = channel(startRgb, shifts[k]);
    delta[k] = channel(endRgb, shifts[k]) - first[k];
  }
  const int extent = horizontal ? right - left : bottom - top;
  std::vector<TKedGradientBand> bands;
  bands.reserve(static_cast<std::size_t>(steps));
  for (int i = 0; i < steps; ++i) {
    TKedGradientBand band{left, top, right, bottom, 0};
    const int from = MulDiv(i, extent, steps);
    const int to = MulDiv(i + 1, extent, steps);
    if (horizontal) {
      band.Left = left + from;
      band.Right = left + to;
    } else {
      band.Top = top + from;
      band.Bottom = top + to;
    }
    for (int k = 0; k < 3; ++k) {
      const int value = first[k] + MulDiv(i, delta[k], steps - 1);
      band.Color |= static_cast<std::uint32_t>(value & 0xFF) << shifts[k];
    }
    bands.push_back(band);
  }
  return bands;
}
