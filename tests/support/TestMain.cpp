// The main of every test program: the start-up list a program of the test's kind runs
// (TestStartup.h), then the tests, traced so that a program that ends badly says how.
#include <gtest/gtest.h>

#include "tests/support/TestStartup.h"
#include "tests/support/TestTrace.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ktest::TraceTestProgram();
  ktest::StartTestProgram();
  ktest::PlacePointerForWindowTests();
  return ktest::RunAllTestsTraced();
}
