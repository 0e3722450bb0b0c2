#include "tests/support/TestTrace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace ktest {

namespace {

bool gTestsReturned = false;
std::terminate_handler gPreviousTerminate = nullptr;

void OnTerminate() {
  std::fprintf(stderr, "test program: terminating (an exception nobody caught?) during %s\n",
               RunningTestName());
  if (gPreviousTerminate) gPreviousTerminate();
  std::abort();
}

// exit() from inside a test would otherwise end the program with the test's code, often 0,
// and every later test would silently not run.
void OnExit() {
  if (gTestsReturned) return;
  std::fprintf(stderr, "test program: exit() during %s, before the tests finished\n",
               RunningTestName());
  std::_Exit(1);
}

}  // namespace

const char* RunningTestName() {
  // No allocation: this may run while the program crashes.
  static char name[512];
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  if (!info) return "no test";
  std::snprintf(name, sizeof name, "%s.%s", info->test_suite_name(), info->name());
  return name;
}

void TraceTestProgram() {
  // A crash loses whatever waits in a buffer: the last lines are the ones that matter.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::setvbuf(stderr, nullptr, _IONBF, 0);
  gPreviousTerminate = std::set_terminate(OnTerminate);
  std::atexit(OnExit);
  TraceCrashes();
}

int RunAllTestsTraced() {
  const int result = RUN_ALL_TESTS();
  gTestsReturned = true;
  return result;
}

}  // namespace ktest
