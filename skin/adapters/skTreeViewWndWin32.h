// The tree view adapter: a tree view with a skinned border and bars, its background in its
// skin section's colour.
#pragma once

#include <windows.h>

#include "skin/adapters/skEditWndWin32.h"

class TskTreeViewWnd : public TskEditWnd {
 public:
  ~TskTreeViewWnd() override;

 protected:
  friend class TskMainWnd;
  using TskEditWnd::TskEditWnd;
  void SaveColors() override;
  void RestoreColors() override;
  void ApplySkinColors() override;
  void WndProc(TMessage& message) override;

 private:
  COLORREF savedBkColor_ = CLR_INVALID;
};
