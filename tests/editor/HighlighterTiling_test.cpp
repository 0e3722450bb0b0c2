#include "tests/editor/HighlighterTiling.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

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
