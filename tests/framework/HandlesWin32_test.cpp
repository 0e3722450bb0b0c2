#include "framework/HandlesWin32.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A handle type whose closing is recorded, so ownership can be checked exactly.
std::vector<int> closed;
struct TRecordedTraits {
  static int Invalid() noexcept { return 0; }
  static void Close(int h) noexcept { closed.push_back(h); }
};
using TRecorded = TUniqueHandle<int, TRecordedTraits>;

class UniqueHandleTest : public ::testing::Test {
 protected:
  void SetUp() override { closed.clear(); }
};

TEST_F(UniqueHandleTest, TheLastOwnerClosesAMovedHandleOnce) {
  {
    TRecorded a(7);
    TRecorded b(std::move(a));
    EXPECT_FALSE(a.Valid());
    TRecorded c;
    c = std::move(b);
    EXPECT_EQ(c.Get(), 7);
    EXPECT_TRUE(closed.empty());
  }
  EXPECT_EQ(closed, std::vector<int>{7});
}

TEST_F(UniqueHandleTest, MoveAssignmentClosesTheHandleItReplaces) {
  TRecorded a(1), b(2);
  a = std::move(b);
  EXPECT_EQ(closed, std::vector<int>{1});
  EXPECT_EQ(a.Get(), 2);
}

TEST_F(UniqueHandleTest, ResetClosesTheOldHandleButNeverTheOneItKeeps) {
  TRecorded h(3);
  h.Reset(3);
  EXPECT_TRUE(closed.empty());
  h.Reset(4);
  EXPECT_EQ(closed, std::vector<int>{3});
  h.Reset();
  EXPECT_EQ(closed, (std::vector<int>{3, 4}));
  EXPECT_FALSE(h);
}

TEST_F(UniqueHandleTest, ReleaseAndPutHandOwnershipOver) {
  TRecorded h(5);
  EXPECT_EQ(h.Release(), 5);
  EXPECT_FALSE(h.Valid());
  h.Reset(6);
  *h.Put() = 8;  // an API filling an out parameter
  EXPECT_EQ(closed, std::vector<int>{6}) << "Put frees what was held before";
  EXPECT_EQ(h.Get(), 8);
}

TEST(FileHandleTest, InvalidHandleValueCountsAsNoHandle) {
  TFileHandle file(::CreateFileA("Z:\\no\\such\\folder\\file.txt", GENERIC_READ, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(file.Valid());
  TEventHandle event(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  EXPECT_TRUE(event.Valid());
}

TEST(GlobalLockTest, LocksForAScopeAndFindsTheBlockSize) {
  TGlobalHandle memory(::GlobalAlloc(GMEM_MOVEABLE, 16));
  ASSERT_TRUE(memory);
  {
    TGlobalLock lock(memory.Get());
    ASSERT_NE(lock.Data(), nullptr);
    EXPECT_GE(lock.Size(), 16u);
    static_cast<char*>(lock.Data())[0] = 'k';
  }
  EXPECT_EQ(::GlobalFlags(memory.Get()) & GMEM_LOCKCOUNT, 0u) << "unlocked again";
  TGlobalLock again(memory.Get());
  EXPECT_EQ(static_cast<char*>(again.Data())[0], 'k');
}

TEST(FindHandleTest, NoMatchCountsAsNoHandle) {
  WIN32_FIND_DATAA data;
  TFindHandle find(::FindFirstFileA("Z:\\no\\such\\folder\\*.none", &data));
  EXPECT_FALSE(find.Valid());
}

TEST(SelectObjectTest, PutsThePreviousObjectBackSoTheNewOneCanBeDeleted) {
  TDCHandle dc(::CreateCompatibleDC(nullptr));
  const HGDIOBJ original = ::GetCurrentObject(dc.Get(), OBJ_BRUSH);
  TGdiObject<HBRUSH> brush(::CreateSolidBrush(RGB(1, 2, 3)));
  {
    TSelectObject select(dc.Get(), brush.Get());
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BRUSH), brush.Get());
  }
  EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BRUSH), original);
  EXPECT_TRUE(::DeleteObject(brush.Release()));
}

TEST(SaveDCTest, RestoresTheStateOfTheDeviceContext) {
  TDCHandle dc(::CreateCompatibleDC(nullptr));
  ::SetTextColor(dc.Get(), RGB(1, 1, 1));
  {
    TSaveDC saved(dc.Get());
    ::SetTextColor(dc.Get(), RGB(9, 9, 9));
  }
  EXPECT_EQ(::GetTextColor(dc.Get()), RGB(1, 1, 1));
}

TEST(WindowDCTest, TheScreenDCIsReleasedWithItsHolder) {
  TWindowDC screen(nullptr);
  ASSERT_TRUE(screen);
  EXPECT_GT(::GetDeviceCaps(screen.Get(), HORZRES), 0);
  TWindowDC moved(std::move(screen));
  EXPECT_FALSE(screen);
  EXPECT_TRUE(moved);
}

}  // namespace
