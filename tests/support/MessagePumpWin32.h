// Test helper for window tests: lets the framework's windows handle what is queued for
// them, and lets painting reach the screen before a test reads pixels back.
#pragma once

#include <windows.h>

#include "framework/FormsWin32.h"

namespace ktest {

// Several rounds: handling one message often posts the next (focus, layout, repaint).
inline void Pump() {
  for (int i = 0; i < 5; ++i) Application->ProcessMessages();
}

// The display is updated from the window's surface only when the thread goes idle.
inline void Settle(HWND wnd, DWORD waitMs = 100) {
  UpdateWindow(wnd);
  Pump();
  MsgWaitForMultipleObjects(0, nullptr, FALSE, waitMs, QS_ALLINPUT);
  Pump();
}

}  // namespace ktest
