// The skinned masked edit: the framework's masked edit with a skin data object. While it is
// neither focused nor under the mouse its whole picture, text included, comes from its cache;
// while it is, the system edit paints its text area inside the skinned frame. Combo edits
// build on it and replace its painting steps.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/MaskWin32.h"
#include "skin/controls/sBoundControlWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sGraphics.h"

class TsMaskEdit : public TMaskEdit {
  K_CLASS(TsMaskEdit, TMaskEdit)
  explicit TsMaskEdit(TComponent* owner);
  ~TsMaskEdit() override;

  TsCtrlSkinData* SkinData() const { return skinData_.get(); }
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  TsBoundLabel* BoundLabel() const { return label_->Get(); }
  // The frame around the text: none without a border, else the sunken edge and one pixel.
  int FrameWidth() const { return BorderStyle() == bsNone ? 0 : 3; }

  void WndProc(TMessage& message) override;

 protected:
  void Loaded() override;
  void CreateWnd() override;
  // Changes while the form streams the edit in are not the user's: OnChange stays quiet.
  void Change() override;

  // Keeps the text clear of what a descendant places inside the edit; nothing here.
  virtual void UpdateEditRect() {}
  // The frame strips of the cache onto dc (0: the window's own DC).
  virtual void PaintBorder(HDC dc);
  virtual void PaintText();
  // The whole cached picture onto dc (0: the client area).
  virtual void OwnPaint(HDC dc);
  virtual bool IsActive() const;
  // Rebuilds the cached picture: the section (with its border mask unless the edit has no
  // border), the edit text and the disabled look.
  void PrepareCache();

 private:
  class TCmdHandler;
  friend class TCmdHandler;
  // Step (b): the paint messages of a ready, skinned edit; true when finished.
  bool HandleSkinnedPaint(TMessage& message);
  void AfterEffects(const TMessage& message);
  TPoint ClientOffsetInWindow();

  TControlSkinHost host_;
  std::unique_ptr<TsCtrlSkinData> skinData_;
  TsDisabledKind disabledKind_{dkBlended};
  std::unique_ptr<TsControlLabel> label_;
  std::unique_ptr<TCmdHandler> cmdHandler_;
};
