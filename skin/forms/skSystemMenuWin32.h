// The system menu of a skinned standard dialog or message box: the dialog adapter takes the
// window's WS_SYSMENU away (the system would draw and answer its own title buttons), so this
// popup menu with the six standard commands stands in for it, at the title icon, at the mouse
// on a right click of the caption, or on Alt+Space. Skinned when the manager skins popups.
#pragma once

#include <windows.h>

#include "skin/forms/sCustomSysMenuWin32.h"
#include "skin/forms/skDials.h"

class TskDialogWnd;

class TskSystemMenu : public TsCustomSysMenu {
  K_CLASS(TskSystemMenu, TsCustomSysMenu)

 public:
  // Made and freed by its dialog adapter.
  explicit TskSystemMenu(TskDialogWnd& dialog);

  bool VisibleClose() override;
  // The dialog's own tests decide its buttons: these answer false.
  bool VisibleMax() override { return false; }
  bool VisibleMin() override { return false; }
  bool EnabledMax() override { return false; }
  bool EnabledMin() override { return false; }
  bool EnabledRestore() override { return false; }

  // Shows and enables the six items by the dialog's style and state.
  void UpdateItems();
  // At a screen point; the chosen command goes to the dialog.
  void ShowAt(int x, int y);

  TMenuItem* RestoreItem() const { return restore_; }
  TMenuItem* MoveItem() const { return move_; }
  TMenuItem* SizeItem() const { return size_; }
  TMenuItem* MinimizeItem() const { return minimize_; }
  TMenuItem* MaximizeItem() const { return maximize_; }
  TMenuItem* CloseItem() const { return close_; }

 private:
  TMenuItem* AddItem(const char* name, const std::string& caption, int command, bool update);
  void SendCommand(int command);

  TskDialogWnd& dialog_;
  TMenuItem* restore_ = nullptr;
  TMenuItem* move_ = nullptr;
  TMenuItem* size_ = nullptr;
  TMenuItem* minimize_ = nullptr;
  TMenuItem* maximize_ = nullptr;
  TMenuItem* close_ = nullptr;
};
