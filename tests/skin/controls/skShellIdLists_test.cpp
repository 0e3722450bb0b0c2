// Item id lists as bytes: counting, sizing, stripping, joining and the ancestor chain, on
// lists built here item by item.
#include "skin/controls/skShellIdLists.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A list whose items carry the given payloads (an item: 2 size bytes, then its payload).
TItemIdBytes List(std::initializer_list<std::string> payloads) {
  TItemIdBytes bytes;
  for (const std::string& payload : payloads) {
    size_t size = payload.size() + 2;
    bytes.push_back(static_cast<uint8_t>(size & 0xFF));
    bytes.push_back(static_cast<uint8_t>(size >> 8));
    bytes.insert(bytes.end(), payload.begin(), payload.end());
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

TEST(ItemIdLists, CountSizeAndStripFollowTheItems) {
  struct TCase {
    TItemIdBytes List;
    int Count;
    size_t Size;
    TItemIdBytes Stripped;
  } const cases[] = {
      {List({}), 0, 2, List({})},
      {List({"A"}), 1, 5, List({})},
      {List({"A", "BB", "CCC"}), 3, 2 + 3 + 4 + 5, List({"A", "BB"})},
      {List({std::string(300, 'x')}), 1, 304, List({})},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Count);
    EXPECT_EQ(ItemIdCount(c.List.data()), c.Count);
    EXPECT_EQ(ItemIdListSize(c.List.data()), c.Size);
    TItemIdBytes stripped = c.List;
    StripLastItemId(stripped.data());
    EXPECT_EQ(ItemIdListBytes(stripped.data()), c.Stripped);
  }
  EXPECT_EQ(ItemIdCount(nullptr), 0);
  EXPECT_EQ(ItemIdListSize(nullptr), 0u);
  StripLastItemId(nullptr);
}

TEST(ItemIdLists, ADamagedSizeEndsTheWalkInsteadOfLoopingOrGoingBack) {
  // An item claiming one byte cannot hold its own size: the list ends there.
  TItemIdBytes damaged = List({"A"});
  damaged.insert(damaged.end() - 2, {1, 0, 0, 0});
  EXPECT_EQ(ItemIdCount(damaged.data()), 1);
  EXPECT_EQ(ItemIdListSize(damaged.data()), 5u);
}

TEST(ItemIdLists, ConcatAndLastItemBuildNewLists) {
  struct TCase {
    const char* Name;
    TItemIdBytes A, B, Joined;
  } const cases[] = {
      {"both", List({"A", "BB"}), List({"C"}), List({"A", "BB", "C"})},
      {"empty a", List({}), List({"C"}), List({"C"})},
      {"empty b", List({"A"}), List({}), List({"A"})},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(ConcatItemIdBytes(c.A.data(), c.B.data()), c.Joined);
  }
  TItemIdBytes b = List({"C"});
  EXPECT_EQ(ConcatItemIdBytes(nullptr, b.data()), b) << "no first list: a copy of the second";
  TItemIdBytes a = List({"A"});
  EXPECT_EQ(ConcatItemIdBytes(a.data(), nullptr), a);

  TItemIdBytes abc = List({"A", "BB", "CCC"});
  EXPECT_EQ(LastItemIdBytes(abc.data()), List({"CCC"}));
  TItemIdBytes empty = List({});
  EXPECT_EQ(LastItemIdBytes(empty.data()), List({}));
  EXPECT_EQ(LastItemIdBytes(nullptr), List({}));
}

TEST(ItemIdLists, AncestorsRunFromTheDesktopDownWithoutTheItemItself) {
  TItemIdBytes abc = List({"A", "BB", "CCC"});
  std::vector<TItemIdBytes> expected{List({}), List({"A"}), List({"A", "BB"})};
  EXPECT_EQ(AncestorIdByteLists(abc.data()), expected);
  TItemIdBytes a = List({"A"});
  EXPECT_EQ(AncestorIdByteLists(a.data()), std::vector<TItemIdBytes>{List({})});
  TItemIdBytes desktop = List({});
  EXPECT_TRUE(AncestorIdByteLists(desktop.data()).empty()) << "the desktop has no ancestors";
}

}  // namespace
