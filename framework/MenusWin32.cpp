#include "framework/MenusWin32.h"

#include <algorithm>
#include <map>

#include "framework/FormsWin32.h"
#include "framework/ScopeExit.h"
#include "framework/TypInfo.h"

namespace {

// Command ids of live items; ids start above the dialog ids (IDOK ... IDCONTINUE).
std::map<UINT, TMenuItem*>& ItemsByCommand() {
  static std::map<UINT, TMenuItem*> items;
  return items;
}
// WM_COMMAND carries 16 bits of id: ids of freed items are used again.
constexpr UINT kFirstCommand = 100;
constexpr UINT kLastCommand = 0xFFFF;
UINT nextCommand = kFirstCommand;

UINT AllocateCommand() {
  auto& used = ItemsByCommand();
  if (used.size() > kLastCommand - kFirstCommand) throw EMenuError("Too many menu items");
  while (used.count(nextCommand))
    nextCommand = nextCommand == kLastCommand ? kFirstCommand : nextCommand + 1;
  UINT id = nextCommand;
  nextCommand = nextCommand == kLastCommand ? kFirstCommand : nextCommand + 1;
  return id;
}

}  // namespace

std::string StripHotkey(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += text[i];
  }
  return out;
}

// ---- TMenuItem ----------------------------------------------------------------------------

K_PUBLISH(TMenuItem) {
  p.Prop("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  p.Prop("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked);
  p.Prop("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem);
  p.Prop("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex);
  p.Prop("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled);
  p.Prop("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible);
  p.Prop("Default", &TMenuItem::Default, &TMenuItem::SetDefault);
  p.Prop("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut);
  p.Prop("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex);
  p.Prop("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(AllocateCommand()) {
  ItemsByCommand()[command_] = this;
}

TMenuItem::~TMenuItem() {
  ItemsByCommand().erase(command_);
  while (!items_.empty()) {
    TMenuItem* child = items_.back();
    items_.pop_back();
    child->parent_ = nullptr;
    // Children without an owner belong to this item; owned ones to their owner.
    if (!child->Owner()) delete child;
  }
  if (parent_) {
    auto& l = parent_->items_;
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
    parent_->MenuChanged(true);
  }
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* i = this;
  while (i->parent_) i = i->parent_;
  return i->menu_;
}

void TMenuItem::MenuChanged(bool rebuild) {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  TMenu* m = GetParentMenu();
  if (!m || m->ComponentState().Contains(csLoading) || m->ComponentState().Contains(csDestroying))
    return;
  if (rebuild) {
    m->Changed();
  } else {
    // In place: a submenu that is open right now must not be rebuilt under the user.
    UpdateInPlace();
    if (m->WindowHandle() && IsWindow(m->WindowHandle()) &&
        GetMenu(m->WindowHandle()) == m->handle_.Get())
      DrawMenuBar(m->WindowHandle());
  }
  if (m->WindowHandle() && IsWindow(m->WindowHandle()))
    SendMessageA(m->WindowHandle(), CM_MENUCHANGED, 0, 0);
}

HMENU TMenuItem::ContainerHandle() const {
  if (!parent_) return nullptr;
  if (parent_->parent_) return parent_->subMenu_;
  return parent_->menu_ && parent_->menu_->handle_ ? parent_->menu_->handle_.Get() : nullptr;
}

void TMenuItem::FillInfo(MENUITEMINFOA& mi, std::string& text, bool ownerDraw) const {
  mi.cbSize = sizeof(mi);
  mi.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_DATA;
  mi.wID = command_;
  mi.dwItemData = command_;
  text = caption_;
  if (IsLine()) {
    mi.fType = MFT_SEPARATOR;
  } else {
    mi.fMask |= MIIM_STRING;
    if (shortCut_) {
      text += '\t';
      text += ShortCutToText(shortCut_);
    }
    mi.dwTypeData = text.data();
    mi.cch = static_cast<UINT>(text.size());
    if (radioItem_) mi.fType |= MFT_RADIOCHECK;
    if (break_) mi.fType |= MFT_MENUBARBREAK;
    mi.fState =
        (checked_ ? MFS_CHECKED : 0) | (enabled_ ? 0 : MFS_GRAYED) | (default_ ? MFS_DEFAULT : 0);
  }
  if (ownerDraw) mi.fType |= MFT_OWNERDRAW;
}

void TMenuItem::UpdateInPlace() {
  HMENU container = ContainerHandle();
  if (!container || !visible_) return;
  TMenu* m = GetParentMenu();
  MENUITEMINFOA mi{};
  std::string text;
  FillInfo(mi, text, m && m->OwnerDraw());
  SetMenuItemInfoA(container, command_, FALSE, &mi);
}

void TMenuItem::SetCaption(const std::string& value) {
  if (value == caption_) return;
  caption_ = value;
  MenuChanged(false);
}

void TMenuItem::SetBreak(bool value) {
  if (value == break_) return;
  break_ = value;
  MenuChanged(false);
}

void TMenuItem::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  if (value && radioItem_ && parent_) {
    for (TMenuItem* sib : parent_->items_)
      if (sib != this && sib->radioItem_ && sib->groupIndex_ == groupIndex_ && sib->checked_) {
        sib->checked_ = false;
        sib->MenuChanged(false);
      }
  }
  MenuChanged(false);
}

void TMenuItem::SetRadioItem(bool value) {
  if (value == radioItem_) return;
  radioItem_ = value;
  MenuChanged(false);
}

void TMenuItem::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  MenuChanged(false);
}

void TMenuItem::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  MenuChanged(true);
}

void TMenuItem::SetDefault(bool value) {
  if (value == default_) return;
  default_ = value;
  MenuChanged(false);
}

void TMenuItem::SetShortCut(TShortCut value) {
  if (value == shortCut_) return;
  shortCut_ = value;
  MenuChanged(false);
}

void TMenuItem::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  imageIndex_ = value;
  MenuChanged(false);
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item->parent_) throw EMenuError("Menu inserted twice");
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) throw EMenuError("Sub-menu is not in menu");
  items_.erase(it);
  item->parent_ = nullptr;
  MenuChanged(true);
}

void TMenuItem::Clear() {
  while (!items_.empty()) {
    TMenuItem* child = items_.back();
    Remove(child);
    delete child;
  }
}

int TMenuItem::IndexOf(TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

HMENU TMenuItem::Handle() {
  if (!parent_ && menu_) return menu_->Handle();
  if (TMenu* m = GetParentMenu()) m->Handle();
  return subMenu_;
}

void TMenuItem::FillMenu(HMENU menu, bool ownerDraw) {
  // DeleteMenu destroys the old submenus with their entries.
  while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
  for (TMenuItem* child : items_)
    if (child->visible_) child->AppendTo(menu, ownerDraw);
}

void TMenuItem::AppendTo(HMENU menu, bool ownerDraw) {
  MENUITEMINFOA mi{};
  std::string text;
  FillInfo(mi, text, ownerDraw);
  subMenu_ = nullptr;
  if (!items_.empty() && !IsLine()) {
    subMenu_ = CreatePopupMenu();
    FillMenu(subMenu_, ownerDraw);
    mi.fMask |= MIIM_SUBMENU;
    mi.hSubMenu = subMenu_;
  }
  InsertMenuItemA(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &mi);
}

void TMenuItem::Click() {
  if (OnClick_) OnClick_(this);
}

TMenuItem* TMenuItem::FindByCommand(UINT command) {
  auto& map = ItemsByCommand();
  auto it = map.find(command);
  return it == map.end() ? nullptr : it->second;
}

bool TMenuItem::DispatchCommand(UINT command) {
  TMenuItem* item = FindByCommand(command);
  if (!item) return false;
  item->Click();
  return true;
}

bool TMenuItem::DispatchPopup(HMENU menu) {
  for (auto& [id, item] : ItemsByCommand()) {
    (void)id;
    if (item->subMenu_ && item->subMenu_ == menu) {
      item->Click();
      return true;
    }
  }
  return false;
}

bool TMenuItem::DispatchMeasure(MEASUREITEMSTRUCT* mis) {
  if (mis->CtlType != ODT_MENU) return false;
  TMenuItem* item = FindByCommand(static_cast<UINT>(mis->itemData));
  if (!item) return false;
  TWindowDC dc(nullptr);
  TCanvas canvas;
  canvas.SetHandle(dc.Get());
  if (Screen) canvas.Font()->Assign(Screen->MenuFont());
  int w = static_cast<int>(mis->itemWidth), h = static_cast<int>(mis->itemHeight);
  item->MeasureItem(&canvas, w, h);
  canvas.SetHandle(nullptr);
  mis->itemWidth = static_cast<UINT>(w);
  mis->itemHeight = static_cast<UINT>(h);
  return true;
}

bool TMenuItem::DispatchDraw(DRAWITEMSTRUCT* dis) {
  if (dis->CtlType != ODT_MENU) return false;
  TMenuItem* item = FindByCommand(static_cast<UINT>(dis->itemData));
  if (!item) return false;
  TCanvas canvas;
  TSaveDC saved(dis->hDC);
  canvas.SetHandle(dis->hDC);
  if (Screen) canvas.Font()->Assign(Screen->MenuFont());
  const RECT& r = dis->rcItem;
  {
    TScopeExit cleanup([&] { canvas.SetHandle(nullptr); });
    item->AdvancedDrawItem(&canvas, Rect(r.left, r.top, r.right, r.bottom),
                           OwnerDrawStateFromItemState(dis->itemState));
  }
  return true;
}

void TMenuItem::MeasureItem(TCanvas* canvas, int& width, int& height) {
  if (IsLine()) {
    width = 10;
    height = 5;
  } else {
    std::string text = StripHotkey(caption_);
    if (shortCut_) text += "    " + ShortCutToText(shortCut_);
    width = canvas->TextWidth(text) + 32;
    height = std::max(canvas->TextHeight("Wg") + 6, 18);
  }
  if (OnMeasureItem_) OnMeasureItem_(this, canvas, width, height);
}

void TMenuItem::AdvancedDrawItem(TCanvas* canvas, const TRect& rect, TOwnerDrawState state) {
  if (OnAdvancedDrawItem_) {
    OnAdvancedDrawItem_(this, canvas, rect, state);
    return;
  }
  if (OnDrawItem_) {
    OnDrawItem_(this, canvas, rect, state.Contains(odSelected));
    return;
  }
  bool selected = state.Contains(odSelected);
  canvas->Brush()->SetColor(selected ? clHighlight : clMenu);
  canvas->FillRect(rect);
  if (IsLine()) {
    int y = rect.Top + rect.Height() / 2;
    canvas->Pen()->SetColor(clBtnShadow);
    canvas->MoveTo(rect.Left + 2, y);
    canvas->LineTo(rect.Right - 2, y);
    return;
  }
  TMenu* menu = GetParentMenu();
  TCustomImageList* images = parent_ && parent_->subMenuImages_ ? parent_->subMenuImages_
                             : menu                             ? menu->Images()
                                                                : nullptr;
  if (images && imageIndex_ >= 0 && imageIndex_ < images->Count())
    images->Draw(canvas, rect.Left + 2, rect.Top + (rect.Height() - images->Height()) / 2,
                 imageIndex_, enabled_);
  canvas->Brush()->SetStyle(bsClear);
  canvas->Font()->SetColor(!enabled_ ? clGrayText : selected ? clHighlightText : clMenuText);
  int ty = rect.Top + (rect.Height() - canvas->TextHeight("Wg")) / 2;
  canvas->TextOut(rect.Left + 24, ty, StripHotkey(caption_));
  if (checked_) canvas->TextOut(rect.Left + 6, ty, radioItem_ ? "\x95" : "\xFC");
  if (shortCut_) {
    std::string sc = ShortCutToText(shortCut_);
    canvas->TextOut(rect.Right - canvas->TextWidth(sc) - 10, ty, sc);
  }
}

bool TMenuItem::IsShortCut(TShortCut shortCut) {
  if (!enabled_ || !visible_) return false;
  for (TMenuItem* child : std::vector<TMenuItem*>(items_)) {
    if (child->shortCut_ == shortCut && child->enabled_ && child->visible_ &&
        child->items_.empty()) {
      child->Click();
      return true;
    }
    if (child->IsShortCut(shortCut)) return true;
  }
  return false;
}

// ---- TMenu --------------------------------------------------------------------------------

K_PUBLISH(TMenu) {
  p.Prop("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw);
  p.Prop("Images", &TMenu::Images, &TMenu::SetImages);
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(std::make_unique<TMenuItem>(nullptr)) {
  items_->menu_ = this;
}

TMenu::~TMenu() {
  Destroying();
  if (window_ && IsWindow(window_) && GetMenu(window_) == handle_.Get())
    ::SetMenu(window_, nullptr);
  // Owned items die with the owner; detach them from the tree first.
  items_.reset();
}

HMENU TMenu::Handle() {
  if (!handle_) {
    handle_.Reset(IsPopup() ? CreatePopupMenu() : CreateMenu());
    items_->FillMenu(handle_.Get(), ownerDraw_);
  }
  return handle_.Get();
}

void TMenu::Changed() {
  if (handle_) items_->FillMenu(handle_.Get(), ownerDraw_);
}

void TMenu::SetOwnerDraw(bool value) {
  if (value == ownerDraw_) return;
  ownerDraw_ = value;
  Changed();
}

void TMenu::SetImages(TCustomImageList* value) {
  images_ = value;
  if (value) value->FreeNotification(this);
  Changed();
}

void TMenu::Notification(TComponent* c, TOperation operation) {
  TComponent::Notification(c, operation);
  if (operation == opRemove && c == images_) images_ = nullptr;
}

void TMenu::Loaded() {
  TComponent::Loaded();
  Changed();
}

bool TMenu::IsShortCut(WORD key, TShiftState shift) {
  TShortCut sc = ::ShortCut(key, shift * TShiftState{ssShift, ssCtrl, ssAlt});
  return sc != 0 && items_->IsShortCut(sc);
}

void TMainMenu::Changed() {
  TMenu::Changed();
  if (WindowHandle() && IsWindow(WindowHandle())) DrawMenuBar(WindowHandle());
}

K_PUBLISH(TPopupMenu) { p.Prop("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup); }

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup_) OnPopup_(this);
  HMENU menu = Handle();
  HWND owner = GetActiveWindow();
  if (!owner || !TWinControl::FindControl(owner))
    owner = Application ? Application->Handle() : nullptr;
  // The chosen command comes back here, so its click has run when Popup returns.
  UINT cmd = static_cast<UINT>(TrackPopupMenuEx(
      menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, owner, nullptr));
  if (cmd) TMenuItem::DispatchCommand(cmd);
}
