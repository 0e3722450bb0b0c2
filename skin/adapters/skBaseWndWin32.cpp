#include "skin/adapters/skBaseWndWin32.h"

#include "skin/core/painting/sCommonDataWin32.h"

namespace {
// A private message of the original control library that a skinned control must not see twice.
constexpr UINT kSwallowedPrivateMessage = 0x2100;
}  // namespace

void TskBaseWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskScrollWnd::WndProc(m);
    return;
  }
  if (m.Msg == SM_SKINCMD) {
    const TSkinCmdMessage cmd = ReadSkinCmd(m.WParam, m.LParam);
    if (cmd.Cmd == CmdRefresh && IsOwnRefresh(cmd)) {
      TskScrollWnd::WndProc(m);
      if (IsWindowVisible(windowHandle_)) SendMessageA(windowHandle_, WM_NCPAINT, 0, 0);
      return;
    }
    if (cmd.Cmd == CmdPrepareCache && IsSkinCmdTrusted(cmd))
      PrepareWindowCache(commonData_, windowHandle_, false);
  }
  switch (m.Msg) {
    case WM_SIZE:
      commonData_->BackgroundDirty = true;
      break;
    case WM_SETCURSOR:
      m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
      return;
    case kSwallowedPrivateMessage:
      return;
    default:
      break;
  }
  TskScrollWnd::WndProc(m);
  switch (m.Msg) {
    case WM_SIZE:
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (!sendingScroll_) UpdateScrollBars(true);
      break;
    case WM_ENABLE:
    case CM_ENABLEDCHANGED:
      if (IsWindowVisible(windowHandle_)) SendMessageA(windowHandle_, WM_NCPAINT, 0, 0);
      break;
    default:
      break;
  }
}
