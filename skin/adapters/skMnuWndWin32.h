// The adapter of a popup menu's window ("#32768"). The skin's menu painter draws the items of
// a skinned popup menu, but the window around them is the system's: while a skinned menu
// shows, this adapter paints that window's frame and background from the skin. The dialog
// hook gives every popup menu window one while the default manager skins popups; each goes
// when its window goes, and the last one to go frees them all.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "skin/adapters/skScrollWndWin32.h"

class TskMnuWnd : public TskScrollWnd {
 public:
  // 1 once the menu painter declared the visible window shown; 0 after each background paint.
  int ShownFlag = 0;

 protected:
  friend class TskMainWnd;
  using TskScrollWnd::TskScrollWnd;
  void Start(bool repaint) override;
  void WndProc(TMessage& message) override;
  bool AnswerSkinCmd(TSkinCmdMessage& cmd) override;

 private:
  // The cache image of the whole window from the "MAINMENU" section, when its background is
  // dirty.
  void PrepareCache();
  void EraseBackground(TMessage& message);
  void PaintFrame();
  // The window is going: the adapter lets go, and either the other open menus are redrawn
  // or, when none is left, every menu adapter is freed, this one included.
  void WindowGoing(TMessage& message);
};

// The menu adapters of the open popup menus (the creation hook's array).
std::vector<std::unique_ptr<TskMnuWnd>>& MenuAdapters();
// The creation hook's part: a new popup menu window gets its adapter while the default
// manager is active and skins popups.
void AttachMenuAdapter(HWND wnd);
// Frees every menu adapter; each lets go of its window first.
void FreeMenuAdapters();
// The dialog hook makes the adapters of popup menu windows from now on.
void InstallMenuAdapters();
void RemoveMenuAdapters();
