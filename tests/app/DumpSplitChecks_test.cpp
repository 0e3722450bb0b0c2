// Generated dumps of every kind of line through loading, cleaning and the split, with the
// checks of the fuzz target (DumpSplitExercise.h). Fixed seed, so a failure repeats.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/app/DumpSplitExercise.h"

namespace {

TEST(DumpSplitChecks, GeneratedDumpsSplitIntoEveryLineAndNoEmptyPiece) {
  const std::vector<std::string> parts{"INSERT INTO t VALUES (1);",
                                       "insert into t values (2),",
                                       "(3);",
                                       "CREATE TABLE x (a int);",
                                       "drop table y;",
                                       "-- comment",
                                       "#hash",
                                       "/* block */",
                                       "",
                                       " ",
                                       "\t",
                                       "a;b;c",
                                       "x\"y\"",
                                       std::string(300, 'z'),
                                       ");",
                                       "INSERTED",
                                       "\xE4\xF6\xFC"};
  const std::vector<std::string> breaks{"\r\n", "\n", "\r"};
  std::mt19937 random(1022);
  for (int round = 0; round < 400; ++round) {
    std::string input(3, '\0');
    input[0] = static_cast<char>(random() % 8);
    const uint32_t limit = random() % 5 == 0 ? random() % 65536 : random() % 400;
    input[1] = static_cast<char>(limit & 0xFF);
    input[2] = static_cast<char>(limit >> 8);
    const int lines = static_cast<int>(random() % 60);
    for (int i = 0; i < lines; ++i) {
      input += parts[random() % parts.size()];
      if (i + 1 < lines || random() % 2 == 0) input += breaks[random() % breaks.size()];
    }
    const std::string failure =
        CheckDumpSplit(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    EXPECT_EQ(failure, "") << "round " << round;
  }
}

}  // namespace
