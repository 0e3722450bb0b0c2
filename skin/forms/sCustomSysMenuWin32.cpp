#include "skin/forms/sCustomSysMenuWin32.h"

TsCustomSysMenu::TsCustomSysMenu(TComponent* owner) : TPopupMenu(owner) {}
