#include "skin/forms/skSystemMenuWin32.h"

#include "framework/ScopeExit.h"
#include "framework/ShortCuts.h"
#include "skin/core/runtime/sSkinMenusWin32.h"
#include "skin/core/skinfiles/sConst.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/skDialogWndWin32.h"

namespace {
// Alt+F4, as the close item shows it.
constexpr TShortCut AltF4 = 0x8073;
}  // namespace

TskSystemMenu::TskSystemMenu(TskDialogWnd& dialog) : TsCustomSysMenu(nullptr), dialog_(dialog) {
  SetName("SysMenu");
  restore_ = AddItem("miRestore", SkinTextRestore, ScRestore, true);
  move_ = AddItem("miMove", SkinTextMove, ScMove, false);
  size_ = AddItem("miSize", SkinTextSize, ScSize, false);
  minimize_ = AddItem("miMinimize", SkinTextMinimize, ScMinimize, false);
  maximize_ = AddItem("miMaximize", SkinTextMaximize, ScMaximize, true);
  auto* line = new TMenuItem(this);
  line->SetCaption("-");
  Items()->Add(line);
  close_ = AddItem("miClose", SkinTextClose, ScClose, false);
  close_->SetShortCut(AltF4);
  UpdateItems();
}

TMenuItem* TskSystemMenu::AddItem(const char* name, const std::string& caption, int command,
                                  bool update) {
  auto* item = new TMenuItem(this);
  item->SetName(name);
  item->SetCaption(caption);
  item->SetTag(command);
  item->SetOnClick([this, command, update](TObject*) {
    SendCommand(command);
    if (update) UpdateItems();
  });
  Items()->Add(item);
  return item;
}

bool TskSystemMenu::VisibleClose() { return DialogHasSysMenu(dialog_.Facts()); }

void TskSystemMenu::SendCommand(int command) {
  if (IsWindow(dialog_.Handle()))
    SendMessageA(dialog_.Handle(), WM_SYSCOMMAND, static_cast<WPARAM>(command), 0);
}

void TskSystemMenu::UpdateItems() {
  const TskDialogMenuItems m = DialogMenuItems(dialog_.Facts());
  restore_->SetVisible(m.RestoreVisible);
  restore_->SetEnabled(m.RestoreEnabled);
  move_->SetVisible(m.MoveVisible);
  move_->SetEnabled(m.MoveEnabled);
  size_->SetVisible(m.SizeVisible);
  size_->SetEnabled(m.SizeEnabled);
  minimize_->SetVisible(m.MinimizeVisible);
  minimize_->SetEnabled(m.MinimizeEnabled);
  maximize_->SetVisible(m.MaximizeVisible);
  maximize_->SetEnabled(m.MaximizeEnabled);
  close_->SetVisible(m.CloseVisible);
  close_->SetEnabled(m.CloseEnabled);
}

void TskSystemMenu::ShowAt(int x, int y) {
  HWND wnd = dialog_.Handle();
  if (!IsWindow(wnd)) return;
  UpdateItems();
  TsSkinManager* manager = dialog_.Manager();
  if (manager && manager->SkinnedPopups()) SkinableMenusOf(*manager).InitPopupMenu(this, true);
  SetWindowHandle(wnd);
  TScopeExit unbind([this] { SetWindowHandle(nullptr); });
  Popup(x, y);
}
