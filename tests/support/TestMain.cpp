// The main of every test program: the start-up list a program of the test's kind runs
// (TestStartup.h), then the tests.
#include <gtest/gtest.h>

#include "tests/support/TestStartup.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ktest::StartTestProgram();
  return RUN_ALL_TESTS();
}
