#include "editor/KedHighlighterHashEntries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/SysUtils.h"

namespace {

std::vector<std::string> Chain(const TKedHashEntryList& list, int bucket) {
  std::vector<std::string> words;
  for (const TKedHashEntry* e = list.Get(bucket); e != nullptr; e = e->Next())
    words.push_back(e->Keyword());
  return words;
}

}  // namespace

TEST(KedHighlighterHashEntries, ChainsKeepAscendingLengthAndAddingOrderWithinALength) {
  TKedHashEntryList list;
  for (const char* word : {"ccc", "a", "bbbb", "dd", "ee", "f"})
    list.Add(3, std::make_unique<TKedHashEntry>(word, 6));
  EXPECT_EQ(Chain(list, 3), (std::vector<std::string>{"a", "f", "dd", "ee", "ccc", "bbbb"}));
  EXPECT_EQ(list.Get(3)->KeywordLen(), 1);
  EXPECT_EQ(list.Get(3)->Kind(), 6);
}

TEST(KedHighlighterHashEntries, RepeatIgnoringCaseIsRefusedAndLeavesTheChainIntact) {
  TKedHashEntryList list;
  list.Add(0, std::make_unique<TKedHashEntry>("b", 1));
  list.Add(0, std::make_unique<TKedHashEntry>("Select", 6));
  list.Add(0, std::make_unique<TKedHashEntry>("zzzzzzz", 4));
  try {
    list.Add(0, std::make_unique<TKedHashEntry>("SELECT", 4));
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Keyword \"Select\" already in list");
  }
  EXPECT_EQ(Chain(list, 0), (std::vector<std::string>{"b", "Select", "zzzzzzz"}));
}

TEST(KedHighlighterHashEntries, BucketsGrowOnDemandAndReadAsEmptyOutsideTheList) {
  TKedHashEntryList list;
  EXPECT_EQ(list.Get(0), nullptr);
  list.Add(200, std::make_unique<TKedHashEntry>("x", 5));
  EXPECT_EQ(list.Count(), 201);
  EXPECT_EQ(list.Get(199), nullptr);
  EXPECT_EQ(list.Get(-1), nullptr);
  EXPECT_EQ(list.Get(201), nullptr);
  EXPECT_EQ(Chain(list, 200), (std::vector<std::string>{"x"}));
  list.Clear();
  EXPECT_EQ(list.Get(200), nullptr);
}
