#include "framework/GraphicsWin32.h"
#include "tests/support/TestStartup.h"

void ktest::InstallSystemGraphics() { InstallWin32Graphics(); }
