// The skin manager at run time on Windows: each step of a new, removed or refreshed skin
// carried out on the program's windows (the skin command broadcast to every form and
// control, the forms frozen and animated), the window-creation hook that exists while a skin
// is broadcast, and the hook on the application window (minimizing, restoring, the closing
// main form). One TsSkinRuntime is owned by each manager and goes with it, hooks and all.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/Component.h"
#include "framework/FormsWin32.h"
#include "framework/Icon.h"
#include "skin/core/runtime/sStyleSimply.h"
#include "skin/core/skinfiles/sSkinManager.h"

// Start-up of the run-time skin engine: the skin command's name is registered, the skin
// constants take the system's scroll-bar width and threaded timers learn when the program
// ends. Part of the program's initialisation list.
// It also reads the platform flags below and whether glows can be shown (layered windows,
// and not Wow64WithoutComposition).
void InitSkinRuntime();

// The program file's small and large icons from the shell, taken at start for the title
// bars; null where the shell gives none.
extern std::unique_ptr<TIcon> AppSmallIcon;
extern std::unique_ptr<TIcon> AppLargeIcon;

// The platform reported at start is the NT family.
extern bool IsNTPlatform;
// A 32-bit program on 64-bit Windows while desktop composition is off.
extern bool Wow64WithoutComposition;

class TsSkinRuntime : public TComponent, public ISkinManagerHost {
  K_CLASS(TsSkinRuntime, TComponent)
  // Owned by the manager; becomes its host. The default manager's runtime hooks the
  // application window.
  explicit TsSkinRuntime(TsSkinManager* manager);
  ~TsSkinRuntime() override;

  void SendToAllForms(TsSkinManager& manager, int cmd) override;
  void FreeAllGlows() override;
  void PrepareSkinChangeAnimation(TsSkinManager& manager) override;
  void FreezeFormsForSkinChange(TsSkinManager& manager) override;
  void FinishSkinChangeAnimation(TsSkinManager& manager, bool animate) override;
  void AbandonSkinChangeAnimation(TsSkinManager& manager) override;
  void RedrawDialogs() override;
  void InstallCbtHook(TsSkinManager& manager) override;
  void RemoveCbtHook(TsSkinManager& manager) override;
  void SkinStateChanged(TsSkinManager& manager) override;
  void ShowMessage(TsSkinManager& manager, const std::string& text, bool error) override;

  // The message to every form of the application and all their controls.
  void SendToAllForms(int cmd, LPARAM lParam, int lowWord = 0);
  // The previous hot window gets CmdMouseLeave and the new one CmdMouseEnter (LParam = the
  // manager) when it changes.
  void SetHotWindow(HWND wnd);
  HWND HotWindow() const { return hotWindow_; }
  bool CbtHookSet() const { return cbtHookSet_; }
  bool AppWindowHooked() const { return appHooked_; }
  // 0 none, 1 restore, 2 minimize: the last system command the application window saw; the
  // form skinning plays no hide animation while it is 2.
  int SysCmdPending = 0;

 private:
  bool AppWindowHook(TMessage& message);
  void HideMainFormAnimated();
  bool MinimizeApplication();
  bool RestoreApplication();
  TsSkinManager* manager_;
  bool appHooked_ = false;
  bool cbtHookSet_ = false;
  HWND hotWindow_ = nullptr;
};

// The form's skin provider: its answer to CmdGetProvider when that names a live provider.
ISkinProvider* SkinProviderOf(TCustomForm* form);

// The runtime made for the manager (owned by it).
TsSkinRuntime* InstallSkinRuntime(TsSkinManager& manager);
// The window-creation hook of the default manager is installed.
bool SkinCbtHookInstalled();
// The broadcast tree over the application's forms.
ISkinBroadcastTree& ApplicationBroadcastTree();
// The application's forms as the skin-change animation sees them.
ISkinChangeWindows& ApplicationChangeWindows();
