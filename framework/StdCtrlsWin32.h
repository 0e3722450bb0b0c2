// Standard controls over the system's EDIT, BUTTON, LISTBOX and COMBOBOX windows, the
// group box and the label.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/ControlsWin32.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TListBoxStyle {
  lbStandard,
  lbOwnerDrawFixed,
  lbOwnerDrawVariable,
  lbVirtual,
  lbVirtualOwnerDraw
};
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

using TDrawItemEvent =
    TMethod<void(TControl* control, int index, TRect rect, TOwnerDrawState state)>;

// Items of a list window: kept here as the true copy and mirrored into the window while
// it exists, so the items survive a re-created window.
class TWindowItems : public TStringList {
  K_CLASS(TWindowItems, TStringList)
  struct TMessages {
    UINT Add, Insert, Delete, Reset, SetData, GetCurSel, SetCurSel;
  };
  TWindowItems(TWinControl* control, TMessages messages) : control_(control), msgs_(messages) {}

  void Clear() override;
  void Delete(int index) override;
  void Insert(int index, const std::string& s) override;
  int AddObject(const std::string& s, TObject* obj) override;
  void Put(int index, const std::string& s) override;
  // Fills a new window with the items.
  void Upload();

 protected:
  void SetUpdateState(bool updating) override;

 private:
  void InsertIntoWindow(int index, const std::string& s);
  TWinControl* control_;
  TMessages msgs_;
};

// ---- edits --------------------------------------------------------------------------------

class TCustomEdit : public TWinControl {
  K_CLASS_PUBLISHED(TCustomEdit, TWinControl)
  explicit TCustomEdit(TComponent* owner);

  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase value);
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool value) { autoSelect_ = value; }
  bool Modified();
  void SetModified(bool value);

  int SelStart();
  void SetSelStart(int value);
  int SelLength();
  void SetSelLength(int value);
  std::string SelText();
  void SetSelText(const std::string& value);
  void SelectAll();
  void Clear() { SetText(""); }
  void ClearSelection() { SetSelText(""); }
  void CopyToClipboard() {
    if (HandleAllocated()) SendMessageA(Handle(), WM_COPY, 0, 0);
  }
  void CutToClipboard() {
    if (HandleAllocated()) SendMessageA(Handle(), WM_CUT, 0, 0);
  }
  void PasteFromClipboard() {
    if (HandleAllocated()) SendMessageA(Handle(), WM_PASTE, 0, 0);
  }
  void Undo() {
    if (HandleAllocated()) SendMessageA(Handle(), WM_UNDO, 0, 0);
  }

  KFW_EVENT(TNotifyEvent, OnChange)

  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  virtual void Change();

  int maxLength_ = 0;
  bool readOnly_ = false;
  char passwordChar_ = 0;
  TBorderStyle borderStyle_ = bsSingle;
  TEditCharCase charCase_ = ecNormal;
  bool autoSelect_ = true;
  bool modified_ = false;
  int selStart_ = 0, selLength_ = 0;
};

class TEdit : public TCustomEdit {
  K_CLASS(TEdit, TCustomEdit)
  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

// Lines of a memo: read from and written to the edit window's text.
class TMemoStrings : public TStrings {
  K_CLASS(TMemoStrings, TStrings)
  explicit TMemoStrings(TWinControl* memo) : memo_(memo) {}
  // Appends at the end through the window's own messages: adding many lines costs each line,
  // not the whole text again.
  int Add(const std::string& s) override;
  std::string Get(int index) const override;
  int GetCount() const override;
  void Clear() override;
  void Delete(int index) override;
  void Insert(int index, const std::string& s) override;
  void Put(int index, const std::string& s) override;
  std::string GetTextStr() const override;
  void SetTextStr(const std::string& text) override;

 protected:
  void SetUpdateState(bool updating) override;

 private:
  TWinControl* memo_;
};

class TCustomMemo : public TCustomEdit {
  K_CLASS_PUBLISHED(TCustomMemo, TCustomEdit)
  explicit TCustomMemo(TComponent* owner);
  ~TCustomMemo() override;

  TStrings* Lines() { return lines_.get(); }
  void SetLines(TStrings* value) { lines_->Assign(value); }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool value) { wantReturns_ = value; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool value) { wantTabs_ = value; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);

  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  std::unique_ptr<TStrings> lines_;
  bool wordWrap_ = true;
  TScrollStyle scrollBars_ = ssNone;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
  TAlignment alignment_ = taLeftJustify;
};

class TMemo : public TCustomMemo {
  K_CLASS(TMemo, TCustomMemo)
  explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}
};

// ---- buttons ------------------------------------------------------------------------------

class TButtonControl : public TWinControl {
  K_CLASS(TButtonControl, TWinControl)
  explicit TButtonControl(TComponent* owner);
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
};

class TButton : public TButtonControl {
  K_CLASS_PUBLISHED(TButton, TButtonControl)
  explicit TButton(TComponent* owner);

  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  void Click() override;
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  bool default_ = false;
  bool cancel_ = false;
  TModalResult modalResult_ = 0;
};

class TCustomCheckBox : public TButtonControl {
  K_CLASS_PUBLISHED(TCustomCheckBox, TButtonControl)
  explicit TCustomCheckBox(TComponent* owner);

  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState value);
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool value) { allowGrayed_ = value; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  virtual void Toggle();

 private:
  TCheckBoxState state_ = cbUnchecked;
  bool allowGrayed_ = false;
  TAlignment alignment_ = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
  K_CLASS(TCheckBox, TCustomCheckBox)
  explicit TCheckBox(TComponent* owner) : TCustomCheckBox(owner) {}
};

class TRadioButton : public TButtonControl {
  K_CLASS_PUBLISHED(TRadioButton, TButtonControl)
  explicit TRadioButton(TComponent* owner);

  bool Checked() const { return checked_; }
  // Checking a button unchecks the other radio buttons of the same parent.
  void SetChecked(bool value);
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

 private:
  bool checked_ = false;
};

// ---- lists --------------------------------------------------------------------------------

class TCustomListBox : public TWinControl {
  K_CLASS_PUBLISHED(TCustomListBox, TWinControl)
  explicit TCustomListBox(TComponent* owner);
  ~TCustomListBox() override;

  TStrings* Items() { return items_.get(); }
  void SetItems(TStrings* value) { items_->Assign(value); }
  int ItemIndex();
  void SetItemIndex(int value);
  int Count() { return items_->Count(); }
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value);
  bool Selected(int index);
  void SetSelected(int index, bool value);
  int SelCount();
  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle value);
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int value);
  int TopIndex();
  void SetTopIndex(int value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  void Clear() { items_->Clear(); }
  int ItemAtPos(TPoint pos, bool existing);
  TRect ItemRect(int index);
  TCanvas* Canvas() { return canvas_.get(); }

  KFW_EVENT(TDrawItemEvent, OnDrawItem)
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);

 private:
  std::unique_ptr<TWindowItems> items_;
  std::unique_ptr<TControlCanvas> canvas_;
  int itemIndex_ = -1;
  bool multiSelect_ = false;
  bool sorted_ = false;
  TListBoxStyle style_ = lbStandard;
  int itemHeight_ = 16;
  TBorderStyle borderStyle_ = bsSingle;
};

class TListBox : public TCustomListBox {
  K_CLASS(TListBox, TCustomListBox)
  explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
};

class TCustomComboBox : public TWinControl {
  K_CLASS_PUBLISHED(TCustomComboBox, TWinControl)
  explicit TCustomComboBox(TComponent* owner);
  ~TCustomComboBox() override;

  TStrings* Items() { return items_.get(); }
  void SetItems(TStrings* value) { items_->Assign(value); }
  int ItemIndex();
  void SetItemIndex(int value);
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle value);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int value) { dropDownCount_ = value; }
  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int value) { itemHeight_ = value; }
  bool DroppedDown();
  void SetDroppedDown(bool value);
  void Clear();
  // The edit window inside a drop-down combo box (0 for drop-down lists).
  HWND EditHandle();
  TCanvas* Canvas() { return canvas_.get(); }

  KFW_EVENT(TNotifyEvent, OnChange)
  KFW_EVENT(TNotifyEvent, OnSelect)
  KFW_EVENT(TNotifyEvent, OnDropDown)
  KFW_EVENT(TNotifyEvent, OnCloseUp)
  KFW_EVENT(TDrawItemEvent, OnDrawItem)
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void Change();
  virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
  // A text set in code selects the item of that text, or none.
  void SetTextValue(const std::string& value) override;

 private:
  std::unique_ptr<TWindowItems> items_;
  std::unique_ptr<TControlCanvas> canvas_;
  int itemIndex_ = -1;
  TComboBoxStyle style_ = csDropDown;
  int dropDownCount_ = 8;
  bool sorted_ = false;
  int maxLength_ = 0;
  int itemHeight_ = 16;
};

class TComboBox : public TCustomComboBox {
  K_CLASS(TComboBox, TCustomComboBox)
  explicit TComboBox(TComponent* owner) : TCustomComboBox(owner) {}
};

// ---- group box and label ------------------------------------------------------------------

class TCustomGroupBox : public TCustomControl {
  K_CLASS(TCustomGroupBox, TCustomControl)
  explicit TCustomGroupBox(TComponent* owner);
  TRect ClientRect() override;

 protected:
  void Paint() override;
  void WndProc(TMessage& message) override;
};

class TGroupBox : public TCustomGroupBox {
  K_CLASS(TGroupBox, TCustomGroupBox)
  explicit TGroupBox(TComponent* owner) : TCustomGroupBox(owner) {}
};

class TCustomLabel : public TGraphicControl {
  K_CLASS_PUBLISHED(TCustomLabel, TGraphicControl)
  explicit TCustomLabel(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool Transparent() const { return !controlStyle_.Contains(csOpaque); }
  void SetTransparent(bool value);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* value) { focusControl_ = value; }
  void WndProc(TMessage& message) override;

 protected:
  void Paint() override;
  // Draws the caption with DrawText flags; DT_CALCRECT measures instead.
  virtual void DoDrawText(TRect& rect, UINT flags);
  void AdjustBounds();
  void Loaded() override;

 private:
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool autoSize_ = true;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
  K_CLASS(TLabel, TCustomLabel)
  explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
};
