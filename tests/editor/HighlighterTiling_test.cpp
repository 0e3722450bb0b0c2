#include "tests/editor/HighlighterTiling.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "bench/DumpGenerator.h"
#include "editor/KedEditTextBuffer.h"
#include "tests/editor/ShiftJisLeadBytes.h"

namespace {

// Mostly characters that start or end tokens, plus any byte at all.
std::string RandomLine(std::mt19937& rng) {
  static const std::string interesting =
      "'\"`[]()*{}/-#$@:!%^&+|=<>;.,\\\r\n\t 0123456789xXeEaZ_rREMm\x82\xa0\xe9\x7f";
  std::string line;
  const size_t length = rng() % 40;
  for (size_t i = 0; i < length; ++i) {
    if (rng() % 8 == 0)
      line += static_cast<char>(rng() % 256);
    else
      line += interesting[rng() % interesting.size()];
  }
  return line;
}

}  // namespace

// The same invariant as the fuzz target, over a fixed seed so every build checks it.
TEST(HighlighterTiling, TokensTileRandomLinesForEveryDialectAndConfiguration) {
  for (bool farEast : {false, true}) {
    TKedLeadByteTable table = farEast ? ShiftJisLeadBytes() : TKedLeadByteTable{};
    TKedLeadBytesScope scope(table);
    for (int index = 0; index < kTilingSubjectCount; ++index) {
      TTilingSubject subject = MakeTilingSubject(index);
      std::mt19937 rng(static_cast<unsigned>(1000 + index));
      for (int round = 0; round < 4000; ++round) {
        const std::string line = RandomLine(rng);
        const TKedHighlighterRange start =
            subject.MinRange +
            static_cast<TKedHighlighterRange>(rng() % (subject.MaxRange - subject.MinRange + 1));
        const std::string broken =
            CheckTiling(*subject.Highlighter, line, start, subject.MinRange, subject.MaxRange);
        ASSERT_EQ(broken, "") << "subject " << index << " range " << start << " far east "
                              << farEast << " line \"" << line << "\"";
      }
    }
  }
}

// Line by line through whole dumps, each scan carrying its own range from the line before:
// the ranges-only scan must end every line where the tokens end it. The project's dump
// generator gives the plain shape; a second pass drops quotes, comment openers and closers
// into lines, so strings and comments run over many lines in every state.
TEST(HighlighterTiling, RangesOnlyScanAgreesWithTokensOnEveryLineOfGeneratedDumps) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "kestrava_tiling_dump.sql").string();
  GenerateDump(path, 1u << 20);
  TKedEditStringList plain;
  plain.LoadFromFile(path);
  std::remove(path.c_str());
  std::vector<std::string> shapes[2];
  std::mt19937 rng(99);
  static const char* const kDelimiters[] = {"'",  "/*", "*/",  "(*",  "*)", "{", "}", "\"\"",
                                            "--", "#",  "\\'", "/*!", "`",  "[", "]"};
  for (int i = 0; i < plain.Count(); ++i) {
    std::string line = plain.Get(i);
    shapes[0].push_back(line);
    if (rng() % 3 == 0)
      line.insert(rng() % (line.size() + 1), kDelimiters[rng() % std::size(kDelimiters)]);
    shapes[1].push_back(line);
  }
  for (int index = 0; index < kTilingSubjectCount; ++index) {
    TTilingSubject subject = MakeTilingSubject(index);
    TKedCustomHighlighter& hl = *subject.Highlighter;
    for (const std::vector<std::string>& lines : shapes) {
      hl.ClearRange();
      TKedHighlighterRange tokens = hl.CurrentRange();
      TKedHighlighterRange rangesOnly = tokens;
      for (size_t i = 0; i < lines.size(); ++i) {
        hl.RestoreRange(tokens);
        hl.StartLine(lines[i], 0);
        hl.ScanToLineEnd();
        tokens = hl.CurrentRange();
        hl.RestoreRange(rangesOnly);
        hl.ScanRangeOfLine(lines[i]);
        rangesOnly = hl.CurrentRange();
        ASSERT_EQ(rangesOnly, tokens)
            << "subject " << index << " line " << i << " \"" << lines[i] << "\"";
      }
    }
  }
}
