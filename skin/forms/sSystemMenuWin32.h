// The skinned system menu of a form: a popup menu built from the window's own system menu
// (restore, move, size, minimize, maximize, the program's own items, close), shown through the
// skinned popup menus, with an optional submenu that switches the skin. Its answers decide
// which title buttons the provider shows and which act.
#pragma once

#include <windows.h>

#include "skin/forms/sCustomSysMenuWin32.h"
#include "skin/forms/sSystemMenu.h"

class TsSkinProvider;

class TsSystemMenu : public TsCustomSysMenu {
  K_CLASS(TsSystemMenu, TsCustomSysMenu)

 public:
  // Owned by its provider; named "SysMenu" (the skinned menus draw its glyphs by that name).
  explicit TsSystemMenu(TsSkinProvider* provider);

  bool VisibleClose() override { return Answers().VisibleClose; }
  bool VisibleMax() override { return Answers().VisibleMax; }
  bool VisibleMin() override { return Answers().VisibleMin; }
  bool EnabledMax() override { return Answers().EnabledMax; }
  bool EnabledMin() override { return Answers().EnabledMin; }
  bool EnabledRestore() override { return Answers().EnabledRestore; }
  bool VisibleRestore() { return Answers().VisibleRestore; }
  bool VisibleSize() { return Answers().VisibleSize; }
  bool EnabledMove() { return Answers().EnabledMove; }
  bool EnabledSize() { return Answers().EnabledSize; }
  // All ten answers for the form as it is now.
  TsSysMenuAnswers Answers() const;

  // Rebuilds the items from the window's system menu.
  void BuildItems();
  // Rebuilds when asked or when there is no close item yet; then shows and enables the
  // standard items by the answers.
  void UpdateItems(bool rebuild);
  // The skin chooser at the top: one radio item per skin the manager can load.
  void AddSkinItems();
  void UpdateSkin() {}
  // Shows the menu at a screen point: skinned when the manager skins popups, else the
  // window's own system menu with its items enabled by the answers.
  void ShowAt(int x, int y);

  // Items taken over from the window's system menu below its standard commands.
  int CustomCount() const { return customCount_; }
  TMenuItem* CloseItem() const { return closeItem_; }

 private:
  TMenuItem* AddCommandItem(const char* name, int command, const std::string& fallback);
  void RemoveSkinItems();
  void SendCommand(int command);
  void ShowSystemsOwn(int x, int y);

  TsSkinProvider* provider_;
  int customCount_ = 0;
  TMenuItem* restoreItem_ = nullptr;
  TMenuItem* moveItem_ = nullptr;
  TMenuItem* sizeItem_ = nullptr;
  TMenuItem* minimizeItem_ = nullptr;
  TMenuItem* maximizeItem_ = nullptr;
  TMenuItem* closeItem_ = nullptr;
};
