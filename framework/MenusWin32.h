// Menus: TMenuItem trees shown as a window's menu bar (TMainMenu) or on demand
// (TPopupMenu), with shortcuts and owner-drawn items.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/CanvasWin32.h"
#include "framework/Classes.h"
#include "framework/ControlsWin32.h"
#include "framework/ImgListWin32.h"

class TMenu;

K_EXCEPTION(EMenuError, Exception);

using TMenuMeasureItemEvent =
    TMethod<void(TObject* sender, TCanvas* canvas, int& width, int& height)>;
using TMenuDrawItemEvent =
    TMethod<void(TObject* sender, TCanvas* canvas, TRect rect, bool selected)>;
using TAdvancedMenuDrawItemEvent =
    TMethod<void(TObject* sender, TCanvas* canvas, TRect rect, TOwnerDrawState state)>;

class TMenuItem : public TComponent {
  K_CLASS_PUBLISHED(TMenuItem, TComponent)

  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value) { groupIndex_ = value; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  bool Default() const { return default_; }
  void SetDefault(bool value);
  // The item starts a new column of its popup.
  bool Break() const { return break_; }
  void SetBreak(bool value);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value) { hint_ = value; }
  bool IsLine() const { return caption_ == "-"; }

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
  TMenuItem* operator[](int index) const { return Items(index); }
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  void Delete(int index) { Remove(Items(index)); }
  void Clear();
  int IndexOf(TMenuItem* item) const;
  int MenuIndex() const { return parent_ ? parent_->IndexOf(const_cast<TMenuItem*>(this)) : -1; }
  TMenuItem* Parent() const { return parent_; }
  TMenu* GetParentMenu() const;
  // The submenu of an item with children; 0 for a plain item.
  HMENU Handle();
  UINT Command() const { return command_; }
  TCustomImageList* SubMenuImages() const { return subMenuImages_; }
  void SetSubMenuImages(TCustomImageList* value) { subMenuImages_ = value; }

  KFW_EVENT(TNotifyEvent, OnClick)
  KFW_EVENT(TMenuMeasureItemEvent, OnMeasureItem)
  KFW_EVENT(TMenuDrawItemEvent, OnDrawItem)
  KFW_EVENT(TAdvancedMenuDrawItemEvent, OnAdvancedDrawItem)

  virtual void Click();
  // Runs the click of the item with that command id; false when there is none.
  static bool DispatchCommand(UINT command);
  // A submenu is about to open: its item's OnClick runs, as for a drop-down.
  static bool DispatchPopup(HMENU menu);
  static bool DispatchMeasure(MEASUREITEMSTRUCT* mi);
  static bool DispatchDraw(DRAWITEMSTRUCT* di);
  static TMenuItem* FindByCommand(UINT command);

  // Menu shortcut: an enabled item (or sub-item) with that shortcut is clicked.
  bool IsShortCut(TShortCut shortCut);

 protected:
  virtual void MeasureItem(TCanvas* canvas, int& width, int& height);
  virtual void AdvancedDrawItem(TCanvas* canvas, const TRect& rect, TOwnerDrawState state);
  // Appends this item (and its submenu) to a system menu.
  void AppendTo(HMENU menu, bool ownerDraw);
  // Fills a system menu with the visible children.
  void FillMenu(HMENU menu, bool ownerDraw);
  // Rebuilds the menu (structure changed) or updates this item's entry in place.
  void MenuChanged(bool rebuild);
  void UpdateInPlace();
  void FillInfo(MENUITEMINFOA& info, std::string& text, bool ownerDraw) const;
  // The system menu that holds this item's entry.
  HMENU ContainerHandle() const;

 private:
  friend class TMenu;

  K_EXCEPTION(EMenuError, Exception);
  std::string caption_;
  bool checked_ = false;
  bool radioItem_ = false;
  int groupIndex_ = 0;
  bool enabled_ = true;
  bool visible_ = true;
  bool default_ = false;
  bool break_ = false;
  TShortCut shortCut_ = 0;
  int imageIndex_ = -1;
  std::string hint_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // the menu whose root this item is
  std::vector<TMenuItem*> items_;
  HMENU subMenu_ = nullptr;  // belongs to the menu tree of the parent menu
  UINT command_;
  TCustomImageList* subMenuImages_ = nullptr;
};

class TMenu : public TComponent {
  K_CLASS_PUBLISHED(TMenu, TComponent)

  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  TMenuItem* Items() const { return items_.get(); }
  virtual HMENU Handle();
  bool HandleAllocated() const { return bool(handle_); }
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  bool IsShortCut(WORD key, TShiftState shift);
  // The window whose menu bar shows this menu (main menus).
  HWND WindowHandle() const { return window_; }
  void SetWindowHandle(HWND value) { window_ = value; }
  // Rebuilds the system menu after items changed.
  virtual void Changed();

 protected:
  virtual bool IsPopup() const { return false; }
  void Notification(TComponent* c, TOperation operation) override;
  void Loaded() override;
  TMenuHandle handle_;

 private:
  friend class TMenuItem;
  std::unique_ptr<TMenuItem> items_;
  bool ownerDraw_ = false;
  TCustomImageList* images_ = nullptr;
  HWND window_ = nullptr;
};

class TMainMenu : public TMenu {
  K_CLASS(TMainMenu, TMenu)
  explicit TMainMenu(TComponent* owner) : TMenu(owner) {}
  void Changed() override;
};

class TPopupMenu : public TMenu {
  K_CLASS_PUBLISHED(TPopupMenu, TMenu)
  explicit TPopupMenu(TComponent* owner);

  // Shows the menu at a screen point and returns after it closed; a chosen item's
  // click has run by then.
  virtual void Popup(int x, int y);
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool value) { autoPopup_ = value; }
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* value) { popupComponent_ = value; }
  KFW_EVENT(TNotifyEvent, OnPopup)

 protected:
  bool IsPopup() const override { return true; }

 private:
  bool autoPopup_ = true;
  TComponent* popupComponent_ = nullptr;
};

// Text of a menu caption without its accelerator marks ("&Datei" -> "Datei").
std::string StripHotkey(const std::string& text);
