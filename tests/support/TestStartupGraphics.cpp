#include "framework/GraphicsWin32.h"
#include "tests/support/TestStartup.h"

void ktest::StartTestProgram() {
#if defined(_WIN32)
  InstallWin32Graphics();
#endif
}
