// The change notifier's worker under Wine: it reports a folder the test creates, follows a new
// Root, and stops cleanly whether it never started, has not reached its wait yet, is waiting,
// has a report on its way, or ended by itself on a folder it cannot watch.
#include "skin/controls/skShellChangeNotifierWin32.h"

#include <gtest/gtest.h>

#include <atomic>

#include "skin/controls/skShellFolderWin32.h"
#include "tests/skin/controls/ShellTestFolderWin32.h"
#include "tests/support/MessagePumpWin32.h"

namespace {

using shelltest::TTestFolder;

struct ChangeNotifier : ::testing::Test {
  TTestFolder folder{"notify"};
  int changes = 0;

  std::unique_ptr<TskShellChangeNotifier> Watch(const std::string& root) {
    auto notifier = std::make_unique<TskShellChangeNotifier>(nullptr);
    notifier->SetWatchSubTree(false);
    notifier->SetRoot(root);
    notifier->SetOnChange([this] { ++changes; });
    return notifier;
  }
  static bool WaitUntil(const std::function<bool()>& done) {
    return ktest::PumpUntil([&] {
      TThread::CheckSynchronize();
      return done();
    });
  }
  static bool Watching(TskShellChangeNotifier& notifier, const std::string& path) {
    return WaitUntil([&] { return notifier.Thread()->WatchedDirectory() == path; });
  }
};

TEST_F(ChangeNotifier, ReportsAFolderCreatedInTheWatchedFolder) {
  std::string a = folder.MakeFolder("a");
  auto notifier = Watch(a);
  ASSERT_TRUE(Watching(*notifier, a));
  CreateDirectoryA((a + "\\new").c_str(), nullptr);
  EXPECT_TRUE(WaitUntil([&] { return changes > 0; })) << "no report of the new folder";
}

TEST_F(ChangeNotifier, ANewRootIsWatchedFromThenOn) {
  std::string a = folder.MakeFolder("a"), b = folder.MakeFolder("b");
  auto notifier = Watch(a);
  ASSERT_TRUE(Watching(*notifier, a));
  notifier->SetRoot(b);
  ASSERT_TRUE(Watching(*notifier, b)) << "the worker, woken, watches the new folder";
  int before = changes;
  CreateDirectoryA((b + "\\new").c_str(), nullptr);
  EXPECT_TRUE(WaitUntil([&] { return changes > before; }));
  notifier->SetRoot(a);
  ASSERT_TRUE(Watching(*notifier, a)) << "woken again while waiting on b";
}

TEST_F(ChangeNotifier, StopsCleanlyInEveryState) {
  std::string a = folder.MakeFolder("a");
  {
    TskShellChangeNotifier idle(nullptr);
    idle.SetRoot(a);
    EXPECT_EQ(idle.Thread(), nullptr) << "no handler, no worker";
  }
  {
    // Never started.
    TskShellChangeThread worker([] {});
    worker.SetDirectoryOptions(a, false, nfDirNameChange);
  }
  for (int round = 0; round < 20; ++round) {
    // Freed at once: the worker may not have reached its wait, or even started running.
    auto notifier = Watch(a);
    notifier.reset();
  }
  {
    auto notifier = Watch(a);
    ASSERT_TRUE(Watching(*notifier, a));
    notifier.reset();  // waiting on the folder
  }
  {
    // A report on its way: freeing serves it without running the handler, and afterwards
    // nothing is left queued for the main thread.
    auto notifier = Watch(a);
    ASSERT_TRUE(Watching(*notifier, a));
    int before = changes;
    CreateDirectoryA((a + "\\burst").c_str(), nullptr);
    notifier.reset();
    EXPECT_FALSE(TThread::CheckSynchronize()) << "a report outlived its notifier";
    EXPECT_EQ(changes, before) << "the handler ran after it was cleared";
  }
  {
    // A folder that cannot be watched ends the worker by itself.
    auto notifier = Watch(folder.Sub("missing"));
    EXPECT_TRUE(WaitUntil([&] { return notifier->Thread()->Finished(); }));
    notifier.reset();
  }
}

}  // namespace
