// Another process that sends the skin command to a window with pointers that mean nothing
// in the receiver: every command number, with 0, 1, a made-up address and the address the
// test names (valid only in the test's own process).
//   SkinCmdSender <window handle> <address>   (both decimal)
#include <windows.h>

#include <cstdlib>

#include "skin/core/skinfiles/sMessages.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  HWND wnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(argv[1], nullptr, 10)));
  const LPARAM named = static_cast<LPARAM>(std::strtoull(argv[2], nullptr, 10));
  const LPARAM madeUp = static_cast<LPARAM>(0x0DEADBEEF0LL & static_cast<LPARAM>(~0u));
  if (!IsWindow(wnd)) return 3;
  // Each command must reach the window: a send that timed out would test nothing.
  for (int cmd = 0; cmd <= 64; ++cmd)
    for (LPARAM l : {LPARAM{0}, LPARAM{1}, madeUp, named})
      if (!SendMessageTimeoutA(wnd, SM_SKINCMD, SkinCmdWParam(cmd, 1), l, SMTO_NORMAL, 30000,
                               nullptr))
        return 4;
  return 0;
}
