#include "skin/forms/sSystemMenuWin32.h"

#include <memory>

#include "framework/ScopeExit.h"
#include "framework/ShortCuts.h"
#include "framework/Strings.h"
#include "skin/core/runtime/sSkinMenusWin32.h"
#include "skin/core/skinfiles/sConst.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sSkinProviderWin32.h"

namespace {

constexpr int MaxMenuText = 255;
constexpr const char* SkinSelectItemName = "SkinSelectItem";
// A new column of skin names every this many.
constexpr int SkinsPerColumn = 20;

// The text of a system-menu entry, empty when it cannot be read.
std::string MenuText(HMENU menu, UINT id, UINT flags) {
  char text[MaxMenuText + 1] = {};
  const int n = GetMenuStringA(menu, id, text, MaxMenuText, flags);
  return n > 0 ? std::string(text, static_cast<size_t>(n)) : std::string();
}

TMenuItem* NewSeparator(TComponent* owner) {
  auto* item = new TMenuItem(owner);
  item->SetCaption("-");
  return item;
}

}  // namespace

TsSystemMenu::TsSystemMenu(TsSkinProvider* provider)
    : TsCustomSysMenu(provider), provider_(provider) {
  SetName("SysMenu");
  BuildItems();
}

TsSysMenuAnswers TsSystemMenu::Answers() const {
  TCustomForm* form = provider_->Form();
  TsSysMenuFacts f;
  f.HadSysMenu = provider_->HadSystemMenu();
  f.Border = FrameBorderOf(form->BorderStyle());
  if (form->HandleAllocated()) {
    f.Minimized = IsIconic(form->Handle()) != FALSE;
    f.Maximized = IsZoomed(form->Handle()) != FALSE;
  }
  f.MdiChild = form->FormStyle() == fsMDIChild;
  f.MaximizeIcon = form->BorderIcons().Contains(biMaximize);
  f.MinimizeIcon = form->BorderIcons().Contains(biMinimize);
  return SysMenuAnswers(f);
}

void TsSystemMenu::SendCommand(int command) {
  TCustomForm* form = provider_->Form();
  if (form->HandleAllocated())
    SendMessageA(form->Handle(), WM_SYSCOMMAND, static_cast<WPARAM>(command), 0);
}

TMenuItem* TsSystemMenu::AddCommandItem(const char* name, int command,
                                        const std::string& fallback) {
  HMENU system = GetSystemMenu(provider_->Form()->Handle(), FALSE);
  std::string caption =
      SplitMenuText(MenuText(system, static_cast<UINT>(command), MF_BYCOMMAND)).Caption;
  auto* item = new TMenuItem(this);
  item->SetName(name);
  item->SetCaption(caption.empty() ? fallback : caption);
  item->SetTag(command);
  Items()->Add(item);
  return item;
}

void TsSystemMenu::BuildItems() {
  RemoveSkinItems();
  Items()->Clear();
  customCount_ = 0;
  restoreItem_ = moveItem_ = sizeItem_ = minimizeItem_ = maximizeItem_ = closeItem_ = nullptr;
  TCustomForm* form = provider_->Form();
  if (!form->HandleAllocated()) return;
  HMENU system = GetSystemMenu(form->Handle(), FALSE);
  if (!system) return;
  restoreItem_ = AddCommandItem("skIR", ScRestore, SkinTextRestore);
  restoreItem_->SetOnClick([this](TObject*) {
    SendCommand(ScRestore);
    UpdateItems(false);
  });
  moveItem_ = AddCommandItem("skIM", ScMove, SkinTextMove);
  moveItem_->SetOnClick([this](TObject*) { SendCommand(ScMove); });
  sizeItem_ = AddCommandItem("skIS", ScSize, SkinTextSize);
  sizeItem_->SetOnClick([this](TObject*) { SendCommand(ScSize); });
  minimizeItem_ = AddCommandItem("skIN", ScMinimize, SkinTextMinimize);
  minimizeItem_->SetOnClick([this](TObject*) {
    // Minimized from the menu, the form goes at once, without its hide animation.
    provider_->SetSkipHideAnimation(true);
    TScopeExit animateAgain([this] { provider_->SetSkipHideAnimation(false); });
    SendCommand(ScMinimize);
    UpdateItems(false);
  });
  maximizeItem_ = AddCommandItem("skIX", ScMaximize, SkinTextMaximize);
  maximizeItem_->SetOnClick([this](TObject*) {
    SendCommand(ScMaximize);
    UpdateItems(false);
  });
  Items()->Add(NewSeparator(this));
  // The program's own entries of the window menu, with their shortcuts; their commands are
  // posted, as the system does.
  const int count = GetMenuItemCount(system);
  for (int i = 0; i < count; ++i) {
    const UINT id = GetMenuItemID(system, i);
    if (id == static_cast<UINT>(-1) || id >= static_cast<UINT>(ScSize)) continue;
    const std::string text = MenuText(system, static_cast<UINT>(i), MF_BYPOSITION);
    if (text.empty()) continue;
    const TsMenuText parts = SplitMenuText(text);
    auto* item = new TMenuItem(this);
    item->SetCaption(parts.Caption);
    item->SetTag(static_cast<int>(id));
    if (!parts.ShortCut.empty()) item->SetShortCut(TextToShortCut(parts.ShortCut));
    item->SetOnClick([this, id](TObject*) {
      TCustomForm* f = provider_->Form();
      if (f->HandleAllocated()) PostMessageA(f->Handle(), WM_SYSCOMMAND, id, 0);
    });
    Items()->Add(item);
    ++customCount_;
  }
  if (customCount_ > 0) Items()->Add(NewSeparator(this));
  closeItem_ = AddCommandItem("skIC", ScClose, SkinTextClose);
  const TsMenuText closeText = SplitMenuText(MenuText(system, ScClose, MF_BYCOMMAND));
  if (!closeText.ShortCut.empty()) closeItem_->SetShortCut(TextToShortCut(closeText.ShortCut));
  closeItem_->SetOnClick([this](TObject*) { SendCommand(ScClose); });
}

void TsSystemMenu::UpdateItems(bool rebuild) {
  if (rebuild || !closeItem_) BuildItems();
  if (!closeItem_) return;
  const TsSysMenuAnswers a = Answers();
  restoreItem_->SetVisible(a.VisibleRestore);
  restoreItem_->SetEnabled(a.EnabledRestore);
  moveItem_->SetVisible(true);
  moveItem_->SetEnabled(a.EnabledMove);
  sizeItem_->SetVisible(a.VisibleSize);
  sizeItem_->SetEnabled(a.EnabledSize);
  minimizeItem_->SetVisible(a.VisibleMin);
  minimizeItem_->SetEnabled(a.EnabledMin);
  maximizeItem_->SetVisible(a.VisibleMax);
  maximizeItem_->SetEnabled(a.EnabledMax);
  closeItem_->SetVisible(a.VisibleClose);
  closeItem_->SetEnabled(true);
}

void TsSystemMenu::RemoveSkinItems() {
  if (Items()->Count() == 0 || Items()->Items(0)->Name() != SkinSelectItemName) return;
  // The submenu and the separator after it.
  TMenuItem* chooser = Items()->Items(0);
  Items()->Remove(chooser);
  delete chooser;
  if (Items()->Count() > 0 && Items()->Items(0)->IsLine()) {
    TMenuItem* line = Items()->Items(0);
    Items()->Remove(line);
    delete line;
  }
}

void TsSystemMenu::AddSkinItems() {
  TsSkinManager* manager = provider_->SkinManager();
  if (!manager) return;
  TStringList names;
  manager->GetSkinNames(&names, snAll);
  if (names.Count() == 0) return;
  auto* chooser = new TMenuItem(this);
  chooser->SetName(SkinSelectItemName);
  chooser->SetCaption(SkinTextAvailableSkins);
  for (int i = 0; i < names.Count(); ++i) {
    auto* item = new TMenuItem(this);
    item->SetName(SkinSelectItemName + std::to_string(i));
    item->SetCaption(names[i]);
    item->SetRadioItem(true);
    item->SetChecked(names[i] == manager->SkinName());
    item->SetBreak(i > 0 && i % SkinsPerColumn == 0);
    item->SetOnClick([manager](TObject* sender) {
      const auto* picked = static_cast<TMenuItem*>(sender);
      manager->SetSkinName(SkinNameOfMenuCaption(picked->Caption(), SkinTextInternal));
    });
    chooser->Add(item);
  }
  Items()->Insert(0, chooser);
  Items()->Insert(1, NewSeparator(this));
}

void TsSystemMenu::ShowAt(int x, int y) {
  TsSkinManager* manager = provider_->SkinManager();
  TCustomForm* form = provider_->Form();
  if (!form->HandleAllocated()) return;
  if (!manager || !manager->SkinnedPopups()) {
    ShowSystemsOwn(x, y);
    return;
  }
  UpdateItems(customCount_ > 0);
  if (provider_->MakeSkinMenu() && Items()->Count() > 0) {
    RemoveSkinItems();
    AddSkinItems();
  }
  SkinableMenusOf(*manager).InitPopupMenu(this, true);
  SetWindowHandle(form->Handle());
  TScopeExit unbind([this] { SetWindowHandle(nullptr); });
  Popup(x, y);
}

void TsSystemMenu::ShowSystemsOwn(int x, int y) {
  HWND wnd = provider_->Form()->Handle();
  HMENU system = GetSystemMenu(wnd, FALSE);
  if (!system) return;
  const TsSysMenuAnswers a = Answers();
  const bool normal = !IsIconic(wnd) && !IsZoomed(wnd);
  auto enable = [system](int command, bool on) {
    EnableMenuItem(system, static_cast<UINT>(command),
                   MF_BYCOMMAND | (on ? MF_ENABLED : MF_DISABLED | MF_GRAYED));
  };
  {
    // The system reads the window's state while it fills its menu: the window shows as hidden
    // meanwhile, so the system's own item states do not overrule these.
    const LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
    SetWindowLongPtrA(wnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    TScopeExit visibleAgain([wnd] {
      SetWindowLongPtrA(wnd, GWL_STYLE, GetWindowLongPtrA(wnd, GWL_STYLE) | WS_VISIBLE);
    });
    enable(ScRestore, a.VisibleRestore && a.EnabledRestore);
    enable(ScMove, a.EnabledMove);
    enable(ScSize, a.VisibleSize && a.EnabledSize && normal);
    enable(ScMinimize, a.VisibleMin && a.EnabledMin);
    enable(ScMaximize, a.VisibleMax && a.EnabledMax);
    enable(ScClose, a.VisibleClose);
  }
  const UINT command = static_cast<UINT>(
      TrackPopupMenu(system, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, wnd, nullptr));
  if (command) PostMessageA(wnd, WM_SYSCOMMAND, command, 0);
}
