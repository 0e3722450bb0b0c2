// What a test program leaves behind when it ends badly: every line it printed (output is
// unbuffered), a line naming the running test when it crashes or terminates, and a failing
// exit code when it leaves from inside a test instead of through its summary.
#pragma once

namespace ktest {

// Called once by the test program's main, after GoogleTest is initialised.
void TraceTestProgram();

// RUN_ALL_TESTS, after which the program may end.
int RunAllTestsTraced();

// The test running now as "Suite.Name", or "no test" between tests.
const char* RunningTestName();

// The platform's part: Windows names the exception code of an unhandled exception
// (natively the sanitizers report crashes themselves).
void TraceCrashes();

}  // namespace ktest
