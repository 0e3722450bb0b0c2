// The common refresh rules of scrolling adapters that paint a whole control (edits, lists,
// combo boxes): a refresh repaints the frame, a new size makes the cache dirty, and scrolling
// or enabling shows the bars and frame again.
#pragma once

#include <windows.h>

#include "skin/adapters/skScrollWndWin32.h"

class TskBaseWnd : public TskScrollWnd {
 protected:
  friend class TskMainWnd;
  using TskScrollWnd::TskScrollWnd;
  void WndProc(TMessage& message) override;
};
