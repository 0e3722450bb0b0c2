// The skinned extended combo box: the framework's extended combo box (items with images and
// indents) painted from the skin while one is shown. The closed box comes from its cached
// picture (its section, COMBOBOX unless it names another, with the skin's button and arrow,
// and the current item with its image), the items of the drop-down list are drawn with the
// SELECTION section (or the skin's selection colour) behind the selected one, and the list
// window gets a list adapter. A read-only box refuses every change: keys, clipboard commands,
// clicks, and it does not drop its list down.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/ComCtrlsWin32.h"
#include "framework/WindowSubclassWin32.h"
#include "skin/adapters/skComboListWndWin32.h"
#include "skin/controls/sBoundControlWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sGraphics.h"

class TsCustomComboBoxEx : public TCustomComboBoxEx {
  K_CLASS(TsCustomComboBoxEx, TCustomComboBoxEx)
  explicit TsCustomComboBoxEx(TComponent* owner);
  ~TsCustomComboBoxEx() override;

  TsCtrlSkinData* SkinData() const { return skinData_.get(); }
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  bool ShowButton() const { return showButton_; }
  void SetShowButton(bool value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  TsBoundLabel* BoundLabel() const { return label_->Get(); }
  // The inner combo box window the extended one holds (0 before the window exists).
  HWND InnerComboHandle() const { return innerCombo_.Handle(); }
  // The edit window of a drop-down box (0 for the other styles).
  HWND EditHandle() const { return edit_.Handle(); }
  // The drop-down list window and its adapter, once the list has been shown skinned.
  HWND ListHandle() const { return listWnd_; }
  TskComboListWnd* ListAdapter() const { return listAdapter_.get(); }
  // The list is down (between its drop-down and close-up notifications).
  bool ListDropped() const { return dropped_; }
  // The box, its inner combo box or its edit has the focus.
  bool Focused();

  void WndProc(TMessage& message) override;

 protected:
  void Loaded() override;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  // WM_DRAWITEM of the inner combo box while skinned: the item painted from the skin.
  virtual void DrawItemMessage(TMessage& message);
  // Paints item `index` into `rect` of dc (null: the cached picture); true when painted.
  virtual bool DrawSkinItem(int index, const TRect& rect, HDC dc, TOwnerDrawState state);

 private:
  class TCmdHandler;
  friend class TCmdHandler;

  // The read-only box's filter of keys and commands; true when swallowed.
  bool RefusedWhileReadOnly(const TMessage& message);
  // Step (b) of a ready, skinned box; true when finished.
  bool HandleSkinned(TMessage& message);
  void MouseEnterOrLeave(TMessage& message);
  void AfterEffects(const TMessage& message);
  // The messages of the inner combo box and of the edit.
  bool InnerMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  bool RefusedByInnerWindow(HWND wnd, UINT msg, WPARAM wp);
  void PrepareCache();
  void PaintButton();
  void PaintToDC(HDC dc);
  TRect ButtonRect();
  bool RightToLeft();
  // The cached picture made again and shown in the inner combo box.
  void RepaintBox();
  void ReleaseListAdapter();

  TControlSkinHost host_;
  std::unique_ptr<TsCtrlSkinData> skinData_;
  TsDisabledKind disabledKind_{dkBlended};
  std::unique_ptr<TsControlLabel> label_;
  bool readOnly_ = false;
  bool showButton_ = true;
  bool dropped_ = false;
  bool focusing_ = false;
  TWindowSubclass innerCombo_;
  TWindowSubclass edit_;
  HWND listWnd_ = nullptr;
  std::unique_ptr<TskComboListWnd> listAdapter_;
  std::unique_ptr<TCmdHandler> cmdHandler_;
};

class TsComboBoxEx : public TsCustomComboBoxEx {
  K_CLASS(TsComboBoxEx, TsCustomComboBoxEx)
  explicit TsComboBoxEx(TComponent* owner) : TsCustomComboBoxEx(owner) {}
};
