#include "app/BaseName.h"

#include <gtest/gtest.h>

namespace {

TEST(BaseName, ReplacesEveryOccurrenceOfTheExtensionIgnoringCase) {
  struct Case {
    const char* path;
    const char* baseName;
  };
  const Case cases[] = {
      {"C:\\Data\\dump.sql", "dump_split"},   {"C:\\Data\\a.SQL.sql", "a_split_split"},
      {"C:\\Data\\DUMP.SQL", "DUMP_split"},   {"/home/u/export.csv", "export_split"},
      {"C:\\Data\\noext", "noext"},           {"C:\\dotted.dir\\noext", "noext"},
      {"C:\\Data\\x.csv.bak", "x.csv_split"},
  };
  for (const Case& c : cases) EXPECT_EQ(ProposedBaseName(c.path), c.baseName) << c.path;
}

TEST(BaseName, FolderKeepsItsTrailingDelimiter) {
  EXPECT_EQ(ProposedFolder("C:\\Data\\dump.sql"), "C:\\Data\\");
  EXPECT_EQ(ProposedFolder("/tmp/dump.sql"), "/tmp/");
}

}  // namespace
