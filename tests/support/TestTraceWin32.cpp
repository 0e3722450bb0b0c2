#include <windows.h>

#include <cstdio>

#include "tests/support/TestTrace.h"

namespace {

// Wine passes on only the low byte of the exit code: the full exception code is told here,
// with the test it ended, before the process goes.
LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info) {
  char line[512];
  const int length = std::snprintf(
      line, sizeof line, "test program: unhandled exception 0x%08lX at %p during %s\n",
      static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
      info->ExceptionRecord->ExceptionAddress, ktest::RunningTestName());
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, static_cast<DWORD>(length), &written, nullptr);
  // Ends the process with the exception code, without a debugger that could wait forever.
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void ktest::TraceCrashes() { SetUnhandledExceptionFilter(OnUnhandledException); }
