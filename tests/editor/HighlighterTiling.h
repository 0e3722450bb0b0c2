// The invariant every highlighter keeps on any line: its tokens tile the line exactly
// (each starts where the previous one ended, the last ends at the line's end), the scan
// ends within one step per byte, the range at the end is one the highlighter knows, and
// the ranges-only scan of the line ends in that same range.
// Shared by the random-lines test and the fuzz target.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "editor/KedEditMiscProcs.h"
#include "editor/KedHighlighterGeneral.h"
#include "editor/KedHighlighterSQL.h"

// An empty answer means the invariant holds; otherwise it says what broke.
inline std::string CheckTiling(TKedCustomHighlighter& hl, std::string_view line,
                               TKedHighlighterRange startRange, TKedHighlighterRange minRange,
                               TKedHighlighterRange maxRange) {
  hl.RestoreRange(startRange);
  hl.StartLine(line, 1);
  size_t expectedStart = 0;
  for (size_t steps = 0; !hl.AtLineEnd(); ++steps) {
    if (steps > line.size()) return "the scan does not end";
    if (hl.TokenStart() < 0 || static_cast<size_t>(hl.TokenStart()) != expectedStart)
      return "token at " + std::to_string(hl.TokenStart()) + ", expected " +
             std::to_string(expectedStart);
    const std::string text = hl.TokenText();
    if (text.empty()) return "empty token at " + std::to_string(expectedStart);
    if (line.substr(expectedStart, text.size()) != text) return "token text is not the line's";
    if (hl.TokenAttribute() == nullptr) return "token without attribute";
    expectedStart += text.size();
    hl.ScanNextToken();
  }
  if (expectedStart != line.size())
    return "tokens end at " + std::to_string(expectedStart) + " of " + std::to_string(line.size());
  if (!hl.TokenText().empty()) return "the line end has text";
  const TKedHighlighterRange end = hl.CurrentRange();
  if (end < minRange || end > maxRange) return "unknown range " + std::to_string(end);
  hl.RestoreRange(startRange);
  hl.ScanRangeOfLine(line);
  if (hl.CurrentRange() != end)
    return "ranges-only scan ends in " + std::to_string(hl.CurrentRange()) + ", tokens in " +
           std::to_string(end);
  if (!hl.AtLineEnd()) return "ranges-only scan does not stand at the line end";
  return std::string();
}

// One of the configurations the tiling checks run under, chosen by a number.
struct TTilingSubject {
  std::unique_ptr<TKedCustomHighlighter> Highlighter;
  TKedHighlighterRange MinRange;
  TKedHighlighterRange MaxRange;
};

constexpr int kTilingSubjectCount = 8 + 4;

inline TTilingSubject MakeTilingSubject(int index) {
  TTilingSubject subject;
  if (index < 8) {
    auto sql = std::make_unique<TKedSQLHl>(nullptr);
    sql->SetSQLDialect(static_cast<TSQLDialect>(index));
    TStringList names;
    names.Add("orders");
    names.Add("t$1");
    sql->SetTableNames(&names);
    subject.Highlighter = std::move(sql);
    subject.MinRange = 0;
    subject.MaxRange = 3;
  } else {
    auto general = std::make_unique<TKedGeneralHl>(nullptr);
    const int variant = index - 8;
    if (variant & 1)
      general->SetComments({csAnsiStyle, csPasStyle, csCStyle, csAsmStyle, csBasStyle, csCPPStyle});
    general->SetDetectPreprocessor((variant & 2) != 0);
    general->SetStringDelim(variant & 1 ? sdDoubleQuote : sdSingleQuote);
    TStringList words;
    words.Add("select");
    general->SetKeyWords(&words);
    subject.Highlighter = std::move(general);
    subject.MinRange = 1;
    subject.MaxRange = 4;
  }
  return subject;
}
