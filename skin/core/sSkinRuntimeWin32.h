// The skin manager at run time on Windows: what a new, removed or refreshed skin does to the
// program's windows (the skin command broadcast to every form and control), the
// window-creation hook that exists while a skin is broadcast, and the hook on the application
// window. One TsSkinRuntime is owned by each manager and goes with it, hooks and all.
#pragma once

#include <windows.h>

#include "framework/Component.h"
#include "framework/FormsWin32.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"

// Start-up of the run-time skin engine: the skin command's name is registered, the skin
// constants take the system's scroll-bar width and threaded timers learn when the program
// ends. Part of the program's initialisation list.
void InitSkinRuntime();

class TsSkinRuntime : public TComponent, public ISkinManagerHost {
  K_CLASS(TsSkinRuntime, TComponent)
  // Owned by the manager; becomes its host. The default manager's runtime hooks the
  // application window.
  explicit TsSkinRuntime(TsSkinManager* manager);
  ~TsSkinRuntime() override;

  void SkinLoaded(TsSkinManager& manager, bool animate) override;
  void SkinRemoved(TsSkinManager& manager) override;
  void SkinRefreshed(TsSkinManager& manager) override;
  void ShowMessage(TsSkinManager& manager, const std::string& text, bool error) override;

  // The message to every form of the application and all their controls.
  void SendToAllForms(int cmd, LPARAM lParam, int lowWord = 0);
  // The previous hot window gets CmdMouseLeave and the new one CmdMouseEnter (LParam = the
  // manager) when it changes.
  void SetHotWindow(HWND wnd);
  HWND HotWindow() const { return hotWindow_; }
  void InstallCbtHook();
  void RemoveCbtHook();
  bool AppWindowHooked() const { return appHooked_; }
  // 0 none, 1 restore, 2 minimize: the last system command the application window saw.
  int SysCmdPending = 0;

 private:
  bool AppWindowHook(TMessage& message);
  TsSkinManager* manager_;
  bool appHooked_ = false;
  HWND hotWindow_ = nullptr;
};

// The runtime made for the manager (owned by it).
TsSkinRuntime* InstallSkinRuntime(TsSkinManager& manager);
// The window-creation hook of the default manager is installed.
bool SkinCbtHookInstalled();
// The broadcast tree over the application's forms.
ISkinBroadcastTree& ApplicationBroadcastTree();
