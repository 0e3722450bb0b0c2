// A skinned edit with a small button inside its right edge: the button presses on a click or
// on the click key (Alt+Down), and the edit's text never runs under it.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/ControlsWin32.h"
#include "framework/ShortCuts.h"
#include "skin/controls/sEditWin32.h"
#include "skin/core/painting/sSkinCmdHandler.h"

class TsCustomComboEdit;

// The button inside a combo edit, painted from the skin's small speed-button section over the
// edit's picture, or as a push button without a skin.
class TsEditButton : public TCustomControl {
  K_CLASS(TsEditButton, TCustomControl)
  explicit TsEditButton(TsCustomComboEdit* edit);
  ~TsEditButton() override;

  TsCtrlSkinData* SkinData() const { return skinData_.get(); }
  void WndProc(TMessage& message) override;

 protected:
  void Paint() override;

 private:
  TsCustomComboEdit* edit_;
  TControlSkinHost host_;
  std::unique_ptr<TsCtrlSkinData> skinData_;
  std::unique_ptr<TsSkinCmdHandler> cmdHandler_;
  bool pressed_ = false;
  bool hot_ = false;
};

class TsCustomComboEdit : public TsEdit {
  K_CLASS(TsCustomComboEdit, TsEdit)
  explicit TsCustomComboEdit(TComponent* owner);
  ~TsCustomComboEdit() override;

  TsEditButton* Button() const { return button_; }
  TShortCut ClickKey() const { return clickKey_; }
  void SetClickKey(TShortCut value) { clickKey_ = value; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  bool DirectInput() const { return directInput_; }
  void SetDirectInput(bool value);
  bool ShowButton() const { return showButton_; }
  void SetShowButton(bool value);
  KFW_EVENT(TNotifyEvent, OnButtonClick)

  void WndProc(TMessage& message) override;
  // The button's OnClick: ButtonClick unless the edit is read-only.
  void ButtonPressed();
  // Keeps the text out from under the button.
  void UpdateEditRect();

 protected:
  void CreateWnd() override;
  virtual void ButtonClick();

 private:
  class TCmdHandler;
  friend class TCmdHandler;
  void PassSkinCmd(TMessage& message) { TsEdit::WndProc(message); }
  void ApplyReadOnly();

  TsEditButton* button_;
  std::unique_ptr<TCmdHandler> cmdHandler_;
  TMessage* currentMessage_ = nullptr;
  TShortCut clickKey_ = scAlt | VK_DOWN;
  bool readOnly_ = false;
  bool directInput_ = true;
  bool showButton_ = true;
};
