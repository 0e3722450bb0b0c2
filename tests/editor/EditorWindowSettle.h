// Lets a window test's messages run out before it looks at pixels: paint messages come
// in several rounds (the form, then its children), so one pass is not enough.
#pragma once

#include <windows.h>

#include "framework/Forms.h"

inline void Pump() {
  for (int i = 0; i < 5; ++i) Application->ProcessMessages();
}

inline void Settle(HWND wnd, DWORD waitMs = 100) {
  UpdateWindow(wnd);
  Pump();
  MsgWaitForMultipleObjects(0, nullptr, FALSE, waitMs, QS_ALLINPUT);
  Pump();
}
