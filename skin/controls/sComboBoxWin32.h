// The skinned combo box: the framework's combo box painted from the skin while one is shown.
// The closed box comes from its cached picture (its section, COMBOBOX unless it names
// another, with the skin's button and arrow), its current item and the items of its list
// are drawn in the skin's selection colours, and its drop-down list gets skinned scroll bars
// when it holds more items than it shows at once. A read-only box refuses every change: keys,
// clipboard commands, clicks, and it does not drop its list down.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/StdCtrlsWin32.h"
#include "framework/WindowSubclassWin32.h"
#include "skin/adapters/skComboListWndWin32.h"
#include "skin/controls/sBoundControlWin32.h"
#include "skin/controls/sComboBoxGeometry.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sGraphics.h"

// Shared by the skinned combo boxes (plain and extended).
// A key a read-only box refuses for the message `msg` (WM_CHAR, key downs, system keys): a key
// that would change the selection or open the list; false for every other message.
bool ReadOnlyComboRefusesKey(UINT msg, WPARAM key);
// Whether the mouse still lies on the box's window: leaving the box for one of its own inner
// windows is not leaving it.
bool CursorOverWindow(HWND wnd);
// The box's drop-down button and arrow, painted into its cached picture from COMBOBTN and the
// section's GLYPHMASK: hot, pressed while the list is down.
void PaintComboButton(TsCommonData& d, const TRect& button, int boxHeight, bool dropped);

class TsCustomComboBox : public TCustomComboBox {
  K_CLASS(TsCustomComboBox, TCustomComboBox)
  explicit TsCustomComboBox(TComponent* owner);
  ~TsCustomComboBox() override;

  TsCtrlSkinData* SkinData() const { return skinData_.get(); }
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  TsBoundLabel* BoundLabel() const { return label_->Get(); }
  // The adapter of the drop-down list, once the list has needed skinned bars; null before.
  TskComboListWnd* DropListAdapter() const { return dropListAdapter_.get(); }
  // The list is down (between its drop-down and close-up notifications).
  bool ListDropped() const { return listDropped_; }
  // The box, its edit or its list has the focus.
  bool Focused();

  void WndProc(TMessage& message) override;

 protected:
  void Loaded() override;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;

 private:
  class TCmdHandler;
  TsComboKind Kind() const;
  bool OwnerDrawn() const;
  // Step (b) of a ready, skinned box; true when finished.
  bool HandleSkinned(TMessage& message);
  void AfterEffects(const TMessage& message);
  // The read-only box's filter of keys and commands; true when swallowed.
  bool RefusedWhileReadOnly(const TMessage& message) const;
  bool HandleMouse(TMessage& message);
  void MouseEnterOrLeave(TMessage& message);
  void DrawItemMessage(TMessage& message);
  void PrepareCache();
  void PaintButton();
  void PaintWindow(HDC dc);
  TRect ButtonRect() const;
  // The edit window's messages: refused while read-only, not painted while the cached picture
  // shows the text.
  bool EditChildMessage(UINT msg, LRESULT& result);
  void SkinnedDrawItem(int index, const TRect& rect, TOwnerDrawState state);
  void PlainDrawItem(int index, const TRect& rect, TOwnerDrawState state);
  void ReleaseListAdapter();

  TControlSkinHost host_;
  std::unique_ptr<TsCtrlSkinData> skinData_;
  TAlignment alignment_ = taLeftJustify;
  bool readOnly_ = false;
  TsDisabledKind disabledKind_{dkBlended};
  std::unique_ptr<TsControlLabel> label_;
  HWND dropListWindow_ = nullptr;
  std::unique_ptr<TskComboListWnd> dropListAdapter_;
  bool listDropped_ = false;
  TWindowSubclass editHook_;
  std::unique_ptr<TCmdHandler> cmdHandler_;
};

class TsComboBox : public TsCustomComboBox {
  K_CLASS(TsComboBox, TsCustomComboBox)
  explicit TsComboBox(TComponent* owner) : TsCustomComboBox(owner) {}
};
