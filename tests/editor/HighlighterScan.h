// Scans lines with a highlighter the way the editor does and lists the tokens, so that
// tests can compare them with a table.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "editor/KedEditHighlighter.h"

struct TScannedToken {
  int Kind;
  std::string Text;
  friend bool operator==(const TScannedToken&, const TScannedToken&) = default;
  friend std::ostream& operator<<(std::ostream& os, const TScannedToken& t) {
    return os << t.Kind << ":\"" << t.Text << "\"";
  }
};

// The tokens of one line scanned from startRange; endRange gets the range at its end.
inline std::vector<TScannedToken> ScanLine(TKedCustomHighlighter& hl, std::string_view line,
                                           TKedHighlighterRange startRange,
                                           TKedHighlighterRange* endRange = nullptr) {
  std::vector<TScannedToken> tokens;
  hl.RestoreRange(startRange);
  hl.StartLine(line, 0);
  // A line of n bytes can never hold more than n tokens; the bound stops a scanner that
  // fails to advance instead of hanging the test.
  for (size_t guard = 0; !hl.AtLineEnd() && guard <= line.size(); ++guard) {
    tokens.push_back({hl.TokenKind(), hl.TokenText()});
    hl.ScanNextToken();
  }
  if (endRange != nullptr) *endRange = hl.CurrentRange();
  return tokens;
}

// The tokens of several lines, each line starting in the range the previous one ended in.
inline std::vector<std::vector<TScannedToken>> ScanLines(
    TKedCustomHighlighter& hl, const std::vector<std::string>& lines,
    std::vector<TKedHighlighterRange>* ranges) {
  std::vector<std::vector<TScannedToken>> result;
  hl.ClearRange();
  TKedHighlighterRange range = hl.CurrentRange();
  for (const std::string& line : lines) {
    result.push_back(ScanLine(hl, line, range, &range));
    if (ranges != nullptr) ranges->push_back(range);
  }
  return result;
}
