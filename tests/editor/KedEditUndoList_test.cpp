#include "editor/KedEditUndoList.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

constexpr std::uint8_t kInsert = 3;  // any reason the list does not interpret

class UndoListTest : public ::testing::Test {
 protected:
  UndoListTest() {
    list.OnItemAdded = TNotifyEvent([this](TObject* sender) {
      EXPECT_EQ(sender, &list);
      ++notices;
    });
  }

  void Record(const std::string& text = "x") {
    list.RecordChange(kInsert, TBufferCoord{1, 1}, TBufferCoord{2, 1}, text,
                      TKedSelectionMode::smNormal);
  }

  std::vector<std::int32_t> Ids() const {
    std::vector<std::int32_t> ids;
    for (int i = 0; i < list.GetItemCount(); ++i) ids.push_back(list.Item(i)->ChangeId);
    return ids;
  }

  TKedEditUndoList list;
  int notices = 0;
};

}  // namespace

TEST_F(UndoListTest, NewListIsEmptyAndAtSavedState) {
  EXPECT_EQ(list.LastReason(), crkNothing);
  EXPECT_EQ(list.PeekLast(), nullptr);
  EXPECT_EQ(list.PopLast(), nullptr);
  EXPECT_TRUE(list.IsAtSavedState());
  EXPECT_FALSE(list.HasItems());
  EXPECT_EQ(list.MaxActions(), 1024);
  EXPECT_EQ(list.NextChangeId(), 1);
}

TEST_F(UndoListTest, RecordedItemKeepsEveryField) {
  list.RecordChange(7, TBufferCoord{3, 4}, TBufferCoord{5, 6}, "text", TKedSelectionMode::smColumn);
  TKedEditUndoItem* item = list.PeekLast();
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->Reason, 7);
  EXPECT_EQ(item->StartPos, (TBufferCoord{3, 4}));
  EXPECT_EQ(item->EndPos, (TBufferCoord{5, 6}));
  EXPECT_EQ(item->Text, "text");
  EXPECT_EQ(item->SelectionMode, TKedSelectionMode::smColumn);
  EXPECT_EQ(list.LastReason(), 7);
  EXPECT_EQ(notices, 1);

  TKedEditUndoItem copy;
  copy.Assign(item);
  EXPECT_EQ(copy.ChangeId, item->ChangeId);
  EXPECT_EQ(copy.Text, "text");
  EXPECT_EQ(copy.EndPos, item->EndPos);
}

TEST_F(UndoListTest, BlockGivesAllItsChangesOneNumber) {
  Record();
  Record();
  list.OpenBlock();
  Record();
  Record();
  Record();
  list.CloseBlock();
  Record();
  EXPECT_EQ(Ids(), (std::vector<std::int32_t>{1, 2, 3, 3, 3, 4}));
  EXPECT_EQ(list.BlockNumber(), 0);
  // One notice per item and one for the closed block.
  EXPECT_EQ(notices, 7);
}

TEST_F(UndoListTest, OnlyOutermostCloseBlockAdvancesAndNotifies) {
  list.OpenBlock();
  list.OpenBlock();
  Record();
  notices = 0;
  list.CloseBlock();
  EXPECT_EQ(notices, 0);
  EXPECT_EQ(list.NextChangeId(), 1);
  Record();
  list.CloseBlock();
  EXPECT_EQ(notices, 2);  // the item, then the block
  EXPECT_EQ(list.NextChangeId(), 2);
  EXPECT_EQ(Ids(), (std::vector<std::int32_t>{1, 1}));

  list.CloseBlock();  // nothing open: no effect
  EXPECT_EQ(list.BlockDepth(), 0);
  EXPECT_EQ(list.NextChangeId(), 2);
}

TEST_F(UndoListTest, EmptyBlockConsumesANumberWithoutNotice) {
  list.OpenBlock();
  list.CloseBlock();
  EXPECT_EQ(notices, 0);
  Record();
  EXPECT_EQ(Ids(), (std::vector<std::int32_t>{2}));
}

TEST_F(UndoListTest, SuspendedListRecordsNothing) {
  list.SuspendRecording();
  list.SuspendRecording();
  Record();
  list.AddGroupBreak();
  list.ResumeRecording();
  Record();
  EXPECT_FALSE(list.HasItems());
  EXPECT_EQ(notices, 0);
  EXPECT_EQ(list.NextChangeId(), 1);
  list.ResumeRecording();
  list.ResumeRecording();  // at 0 already: stays 0
  EXPECT_EQ(list.LockCount(), 0);
  Record();
  EXPECT_EQ(list.GetItemCount(), 1);
}

TEST_F(UndoListTest, LimitDropsTheOldestItems) {
  list.SetMaxActions(3);
  for (const char* text : {"a", "b", "c", "d"}) Record(text);
  ASSERT_EQ(list.GetItemCount(), 3);
  EXPECT_EQ(list.Item(0)->Text, "b");
  EXPECT_EQ(list.Item(2)->Text, "d");
  list.SetMaxActions(1);
  EXPECT_EQ(list.GetItemCount(), 1);
  EXPECT_EQ(list.PeekLast()->Text, "d");
  list.SetMaxActions(-5);
  EXPECT_EQ(list.MaxActions(), 0);
  EXPECT_EQ(list.GetItemCount(), 0);
  Record();
  EXPECT_EQ(list.GetItemCount(), 0);
}

TEST_F(UndoListTest, GroupBreakIsAddedOnceAndSilently) {
  Record();
  notices = 0;
  list.AddGroupBreak();
  list.AddGroupBreak();
  EXPECT_EQ(list.GetItemCount(), 2);
  EXPECT_EQ(list.LastReason(), crkGroupBreak);
  EXPECT_TRUE(list.PeekLast()->Text.empty());
  EXPECT_EQ(notices, 0);
}

TEST_F(UndoListTest, SavedStateFollowsTheNewestItem) {
  list.RememberSavedState(true);
  Record();
  EXPECT_FALSE(list.IsAtSavedState());
  auto popped = list.PopLast();
  ASSERT_NE(popped, nullptr);
  EXPECT_TRUE(list.IsAtSavedState());

  Record();
  list.RememberSavedState(true);
  EXPECT_EQ(list.SavedChangeId(), 2);
  Record();
  EXPECT_FALSE(list.IsAtSavedState());
  list.PopLast();
  EXPECT_TRUE(list.IsAtSavedState());
}

TEST_F(UndoListTest, ForgettingTheSavedStateOnlyWhereTheListStands) {
  Record();
  list.RememberSavedState(true);
  Record();
  list.RememberSavedState(false);  // not standing at the saved state: kept
  EXPECT_EQ(list.SavedChangeId(), 1);
  list.PopLast();
  list.RememberSavedState(false);
  EXPECT_EQ(list.SavedChangeId(), -1);
  EXPECT_FALSE(list.IsAtSavedState());
  list.Clear();
  EXPECT_FALSE(list.IsAtSavedState()) << "no saved state is reachable any more";
}

TEST(KedEditUndoChangeId, WrapsWithoutEverGivingZero) {
  struct Case {
    std::int32_t id, next;
  } cases[] = {
      {1, 2}, {-2, -1}, {-1, 1}, {INT_MAX, INT_MIN}, {INT_MIN, INT_MIN + 1},
  };
  for (const Case& c : cases) EXPECT_EQ(KedNextChangeId(c.id), c.next) << c.id;
}

TEST_F(UndoListTest, NumberingSkipsZeroAfterMinusOne) {
  list.SetNextChangeId(-1);
  Record();
  Record();
  EXPECT_EQ(Ids(), (std::vector<std::int32_t>{-1, 1}));
  list.SetNextChangeId(INT_MAX);
  list.OpenBlock();
  Record();
  list.CloseBlock();
  Record();
  EXPECT_EQ(list.Item(2)->ChangeId, INT_MAX);
  EXPECT_EQ(list.Item(3)->ChangeId, INT_MIN);
}

TEST_F(UndoListTest, AssignCopiesItemsAndStateButNotSavedStateOrHandler) {
  Record("one");
  Record("two");
  list.RememberSavedState(true);
  list.SetMaxActions(50);
  list.OpenBlock();
  list.SuspendRecording();
  list.SetRedoInProgress(true);

  TKedEditUndoList copy;
  copy.RecordChange(kInsert, {}, {}, "old", TKedSelectionMode::smLine);
  copy.Assign(&list);
  ASSERT_EQ(copy.GetItemCount(), 2);
  EXPECT_EQ(copy.Item(0)->Text, "one");
  EXPECT_NE(copy.Item(0), list.Item(0));
  EXPECT_EQ(copy.BlockDepth(), 1);
  EXPECT_EQ(copy.BlockNumber(), 3);
  EXPECT_EQ(copy.LockCount(), 1);
  EXPECT_EQ(copy.MaxActions(), 50);
  EXPECT_EQ(copy.NextChangeId(), 3);
  EXPECT_TRUE(copy.RedoInProgress());
  EXPECT_EQ(copy.SavedChangeId(), 0);
  EXPECT_FALSE(copy.OnItemAdded);

  copy.Assign(&copy);
  EXPECT_EQ(copy.GetItemCount(), 2) << "assigning a list to itself keeps its items";
  EXPECT_THROW(copy.Assign(nullptr), EConvertError);
  EXPECT_THROW(list.Item(0)->Assign(&list), EConvertError);
}

TEST_F(UndoListTest, PushItemTakesOwnershipAndIgnoresNull) {
  list.PushItem(nullptr);
  EXPECT_EQ(notices, 0);
  auto item = std::make_unique<TKedEditUndoItem>();
  item->Reason = kInsert;
  item->ChangeId = 42;
  TKedEditUndoItem* raw = item.get();
  list.PushItem(std::move(item));
  EXPECT_EQ(list.PeekLast(), raw);
  EXPECT_EQ(notices, 1);
  auto back = list.PopLast();
  EXPECT_EQ(back.get(), raw);
  EXPECT_FALSE(list.HasItems());
}
