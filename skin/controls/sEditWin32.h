// The skinned single-line edit: the framework's edit with a skin data object. While a skin is
// active the system edit still paints its text area; the frame comes from the edit's section
// (EDIT unless it names another), and a disabled edit shows its cached picture instead,
// blended with what lies behind. Every windowed skinned control answers the skin command and
// its paint messages in the order this edit does.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/StdCtrlsWin32.h"
#include "skin/controls/sBoundControlWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sGraphics.h"

class TsEdit : public TEdit {
  K_CLASS(TsEdit, TEdit)
  explicit TsEdit(TComponent* owner);
  ~TsEdit() override;

  TsCtrlSkinData* SkinData() const { return skinData_.get(); }
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  TsBoundLabel* BoundLabel() const { return label_->Get(); }

  void WndProc(TMessage& message) override;

 protected:
  void Loaded() override;
  // A control built in code meets its parent and the skin when its window is made: the skin
  // data takes its section and colours then.
  void CreateWnd() override;
  // Rebuilds the cached picture: the section over the parent's background, the text, and the
  // disabled look.
  virtual void PrepareCache();
  virtual void PaintText();
  // The cached picture, frame included, onto dc (0: the window's own DC).
  void OwnPaint(HDC dc);
  // The frame strips of the cached picture onto the window's frame.
  void PaintBorder();

 private:
  class TCmdHandler;
  // Step (b): the paint messages of a ready, skinned edit; true when finished.
  bool HandleSkinnedPaint(TMessage& message);
  void AfterEffects(const TMessage& message);
  int FrameStripWidth() const;
  void RefreshBorder();
  // Where the client area's top-left lies in the window (the frame's width and height).
  TPoint ClientOffsetInWindow();

  TControlSkinHost host_;
  std::unique_ptr<TsCtrlSkinData> skinData_;
  TsDisabledKind disabledKind_{dkBlended};
  std::unique_ptr<TsControlLabel> label_;
  std::unique_ptr<TCmdHandler> cmdHandler_;
};
