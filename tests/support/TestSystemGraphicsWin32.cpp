#include <windows.h>

#include <cstdlib>

#include "framework/GraphicsWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/TestStartup.h"

void ktest::InstallSystemGraphics() { InstallWin32Graphics(); }

void ktest::PlacePointerForWindowTests() {
  if (!std::getenv("KESTRAVA_WINDOW_TEST")) return;
  ktest::ParkPointer();
}
