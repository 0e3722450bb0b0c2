#include "framework/ScopeExit.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

TEST(ScopeExit, RunsOnReturnAndOnExceptionButNotWhenDismissed) {
  int runs = 0;
  {
    TScopeExit count([&] { ++runs; });
  }
  EXPECT_EQ(runs, 1);
  EXPECT_THROW(
      {
        TScopeExit count([&] { ++runs; });
        throw std::runtime_error("body");
      },
      std::runtime_error);
  EXPECT_EQ(runs, 2);
  {
    TScopeExit count([&] { ++runs; });
    count.Dismiss();
  }
  EXPECT_EQ(runs, 2);
}

// The action's exception reaches the caller after a normal end; while the body's
// exception unwinds, the body's exception is the one that arrives.
TEST(ScopeExit, TheFirstExceptionWins) {
  auto failingCleanup = [] { throw std::logic_error("cleanup"); };
  EXPECT_THROW({ TScopeExit cleanup(failingCleanup); }, std::logic_error);
  std::string caught;
  try {
    TScopeExit cleanup(failingCleanup);
    throw std::runtime_error("body");
  } catch (const std::exception& e) {
    caught = e.what();
  }
  EXPECT_EQ(caught, "body");
}

TEST(ScopeExit, IgnoringExceptionsDropsTheActionsFailureOnEveryPath) {
  int runs = 0;
  EXPECT_NO_THROW({
    TScopeExit cleanup(IgnoringExceptions([&] {
      ++runs;
      throw std::logic_error("cleanup");
    }));
  });
  EXPECT_EQ(runs, 1);
}

}  // namespace
