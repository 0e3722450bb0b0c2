// A test program's start-up list, as the programs run theirs before their first window:
// ktest_main installs the graphics binding (Windows), ktest_main_pictures also registers
// the picture formats. kestrava_test picks one (KESTRAVA_TEST_STARTUP).
#pragma once

namespace ktest {
void StartTestProgram();
// The graphics binding of the system the tests run on (nothing natively).
void InstallSystemGraphics();
// A window test program (KESTRAVA_WINDOW_TEST set) starts with the pointer in the screen's
// bottom-right corner, away from the windows tests make, wherever the program before it
// left the pointer. Other programs leave the pointer alone: a window test may be running.
void PlacePointerForWindowTests();
}  // namespace ktest
