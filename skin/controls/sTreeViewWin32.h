// The skinned tree view: the framework's tree view whose frame, background and scroll bars come
// from the skin through a tree view adapter on its window, whose colours are its section's, and
// whose selected node is painted again, after the system drew it, with the skin's selection
// look. Without a skin it is the standard tree view. The shell tree derives from it.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/ComCtrlsWin32.h"
#include "skin/adapters/skTreeViewWndWin32.h"
#include "skin/controls/sBoundControlWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"

class TsTreeView : public TTreeView {
  K_CLASS(TsTreeView, TTreeView)
  explicit TsTreeView(TComponent* owner);
  ~TsTreeView() override;

  TsCtrlSkinData* SkinData() const { return skinData_.get(); }
  TsBoundLabel* BoundLabel() const { return label_->Get(); }
  // The adapter that paints the frame, background and bars while a skin is shown; null
  // without one.
  TskTreeViewWnd* ScrollWnd() const { return scrollWnd_.get(); }

  void WndProc(TMessage& message) override;

 protected:
  void Loaded() override;
  void CreateWnd() override;

 private:
  class TCmdHandler;
  // Puts the tree's own node painter in the custom-draw event, keeping the user's one to be
  // called first.
  void InstallNodePainter();
  void PaintNode(TCustomTreeView* sender, TTreeNode* node, TCustomDrawState state,
                 TCustomDrawStage stage, bool& paintImages, bool& defaultDraw);
  // The section's colours, or the system's after the skin went away.
  void TakeColors(bool skinned);
  void UpdateAdapter();

  TControlSkinHost host_;
  std::unique_ptr<TsCtrlSkinData> skinData_;
  std::unique_ptr<TsControlLabel> label_;
  TTVAdvancedCustomDrawItemEvent savedDrawItem_;
  std::unique_ptr<TskTreeViewWnd> scrollWnd_;
  std::unique_ptr<TCmdHandler> cmdHandler_;
};
