// Test helper for window tests: lets the framework's windows handle what is queued for
// them, waits for conditions instead of fixed times, sends real input and lets painting
// reach the screen before a test reads pixels back.
#pragma once

#include <windows.h>

#include <vector>

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

// Handles messages (timers included) until `done()` holds; false when it still does not
// after `timeoutMs`. The deadline only ends a failing test: a busy machine makes the wait
// longer, never the outcome different.
template <class F>
bool PumpUntil(F done, DWORD timeoutMs = 30000) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    Pump();
    if (done()) return true;
    if (GetTickCount64() >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Counts the key and button messages this thread takes from its queue, and the last mouse
// message's screen point, while it lives.
class TInputWatch {
 public:
  TInputWatch() {
    Current() = this;
    hook_ = SetWindowsHookExA(WH_GETMESSAGE, &Seen, nullptr, GetCurrentThreadId());
  }
  ~TInputWatch() {
    if (hook_) UnhookWindowsHookEx(hook_);
    Current() = nullptr;
  }
  TInputWatch(const TInputWatch&) = delete;
  TInputWatch& operator=(const TInputWatch&) = delete;

  int KeysAndButtons = 0;
  bool MouseSeen = false;
  POINT LastMousePoint{};

 private:
  static TInputWatch*& Current() {
    static TInputWatch* current = nullptr;
    return current;
  }
  static bool IsButton(UINT m) {
    return (m >= WM_LBUTTONDOWN && m <= WM_MBUTTONDBLCLK) ||
           (m >= WM_NCLBUTTONDOWN && m <= WM_NCMBUTTONDBLCLK);
  }
  static LRESULT CALLBACK Seen(int code, WPARAM wp, LPARAM lp) {
    const auto* msg = reinterpret_cast<const MSG*>(lp);
    TInputWatch* watch = Current();
    if (code == HC_ACTION && wp == PM_REMOVE && watch) {
      if ((msg->message >= WM_KEYDOWN && msg->message <= WM_SYSKEYUP && msg->message != WM_CHAR &&
           msg->message != WM_DEADCHAR && msg->message != WM_SYSCHAR &&
           msg->message != WM_SYSDEADCHAR) ||
          IsButton(msg->message))
        ++watch->KeysAndButtons;
      if (msg->message == WM_MOUSEMOVE || msg->message == WM_NCMOUSEMOVE ||
          IsButton(msg->message)) {
        watch->MouseSeen = true;
        watch->LastMousePoint = msg->pt;
      }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
  }
  HHOOK hook_ = nullptr;
};

// Real input through the system's input queue, handled before this returns: it waits until
// this thread has taken every key and button message the input makes (each key down or up,
// each button down or up), then for what those messages posted. False when they did not all
// arrive within `timeoutMs` (the input went to another thread's window, say).
inline bool SendInputAndHandle(std::vector<INPUT> input, DWORD timeoutMs = 10000) {
  int expected = 0;
  for (const INPUT& i : input) {
    if (i.type == INPUT_KEYBOARD) ++expected;
    if (i.type == INPUT_MOUSE)
      for (DWORD flag : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_RIGHTDOWN,
                         MOUSEEVENTF_RIGHTUP, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP})
        if (i.mi.dwFlags & flag) ++expected;
  }
  TInputWatch watch;
  if (SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT)) != input.size())
    return false;
  const bool arrived = PumpUntil([&] { return watch.KeysAndButtons >= expected; }, timeoutMs);
  Pump();
  return arrived;
}

// Parks the pointer in the screen's bottom-right corner, away from the windows tests make,
// so a pointer left over a control by an earlier test cannot hover it.
inline void ParkPointer() {
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

// Moves the pointer to the screen point through real input, and waits until this thread
// has taken a mouse message from there. False when none came within `timeoutMs`.
inline bool MovePointerTo(POINT screen, DWORD timeoutMs = 10000) {
  TInputWatch watch;
  INPUT move{};
  move.type = INPUT_MOUSE;
  // Absolute input counts 0..65535 across the screen; the middle of a pixel rounds to it.
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  move.mi.dx = static_cast<LONG>((screen.x * 65536 + 32768) / w);
  move.mi.dy = static_cast<LONG>((screen.y * 65536 + 32768) / h);
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  if (SendInput(1, &move, sizeof(INPUT)) != 1) return false;
  return PumpUntil(
      [&] {
        return watch.MouseSeen && watch.LastMousePoint.x == screen.x &&
               watch.LastMousePoint.y == screen.y;
      },
      timeoutMs);
}

}  // namespace ktest
