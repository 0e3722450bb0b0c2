#include "tests/support/TestTrace.h"

// Natively every test runs under AddressSanitizer and UBSan, which report a crash with its
// place and stack themselves.
void ktest::TraceCrashes() {}
