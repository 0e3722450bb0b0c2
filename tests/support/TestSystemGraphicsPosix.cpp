#include "tests/support/TestStartup.h"

// Natively bitmaps are pixel buffers only: nothing to bind.
void ktest::InstallSystemGraphics() {}

// Natively there is no display.
void ktest::PlacePointerForWindowTests() {}
