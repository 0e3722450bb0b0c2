// The system menu of a skinned window as its title buttons ask it: which of the close,
// maximize and minimize buttons are shown and which act. A form's menu and a dialog's menu
// answer each in their own way.
#pragma once

#include "framework/MenusWin32.h"

class TsCustomSysMenu : public TPopupMenu {
  K_CLASS(TsCustomSysMenu, TPopupMenu)

 public:
  explicit TsCustomSysMenu(TComponent* owner);

  virtual bool VisibleClose() = 0;
  virtual bool VisibleMax() = 0;
  virtual bool VisibleMin() = 0;
  virtual bool EnabledMax() = 0;
  virtual bool EnabledMin() = 0;
  virtual bool EnabledRestore() = 0;
};
