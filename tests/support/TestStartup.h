// A test program's start-up list, as the programs run theirs before their first window:
// ktest_main installs the graphics binding (Windows), ktest_main_pictures also registers
// the picture formats. kestrava_test picks one (KESTRAVA_TEST_STARTUP).
#pragma once

namespace ktest {
void StartTestProgram();
// The graphics binding of the system the tests run on (nothing natively).
void InstallSystemGraphics();
}  // namespace ktest
