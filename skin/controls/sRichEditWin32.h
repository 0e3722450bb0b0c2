// The skinned rich edit: the framework's rich edit whose frame, colours and scroll bars come
// from the skin through an edit adapter on its window, while the system draws its text. It
// takes its section's colours (blended toward the background while disabled) and prints its
// whole text inside the skinned frame. The main window's log pane is one.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/ComCtrlsWin32.h"
#include "skin/adapters/skEditWndWin32.h"
#include "skin/controls/sBoundControlWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sGraphics.h"

class TsRichEdit : public TRichEdit {
  K_CLASS(TsRichEdit, TRichEdit)
  explicit TsRichEdit(TComponent* owner);
  ~TsRichEdit() override;

  TsCtrlSkinData* SkinData() const { return skinData_.get(); }
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  TsBoundLabel* BoundLabel() const { return label_->Get(); }
  // The adapter that paints the frame and bars while a skin is shown; null without one.
  TskEditWnd* ScrollWnd() const { return scrollWnd_.get(); }

  void WndProc(TMessage& message) override;

 protected:
  void Loaded() override;
  void CreateWnd() override;

 private:
  class TCmdHandler;
  // The whole control, frame, bars and all text, into the DC (WM_PRINT).
  void Print(TMessage& message);
  // The section's colours, the text's blended toward the background while disabled.
  void TakeSectionColors();
  void UpdateAdapter();

  TControlSkinHost host_;
  std::unique_ptr<TsCtrlSkinData> skinData_;
  TsDisabledKind disabledKind_{dkBlended};
  std::unique_ptr<TsControlLabel> label_;
  std::unique_ptr<TskEditWnd> scrollWnd_;
  std::unique_ptr<TCmdHandler> cmdHandler_;
};
