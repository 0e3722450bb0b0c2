#include "tests/support/TestStartup.h"

void ktest::StartTestProgram() { InstallSystemGraphics(); }
