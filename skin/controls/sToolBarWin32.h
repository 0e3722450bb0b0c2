// The skinned tool bar: the system tool bar with the framework's plain tool buttons, its
// background painted from its skin section (TOOLBAR unless it names another) and each button
// painted by the bar in the custom-draw events from the section TOOLBUTTON: border mask, image,
// caption and drop-down arrow in the normal, hot and pressed looks; separators show the
// DIVIDER section. Buttons of a disabled bar look disabled. Without a skin the system bar
// paints itself.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/ComCtrlsWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sGraphics.h"

class TsToolBar : public TToolBar {
  K_CLASS(TsToolBar, TToolBar)
  explicit TsToolBar(TComponent* owner);
  ~TsToolBar() override;

  TsCommonData* SkinData() const { return skinData_.get(); }
  TsDisabledKind BtnDisabledKind() const { return btnDisabledKind_; }
  void SetBtnDisabledKind(TsDisabledKind value);
  // The button under the mouse on a bar that is not flat (a flat bar's system part tracks it).
  int HotButtonIndex() const { return hotButtonIndex_; }

  void WndProc(TMessage& message) override;

 protected:
  void Loaded() override;
  void CreateWnd() override;

 private:
  class TCmdHandler;
  friend class TCmdHandler;
  // While skinned the bar paints itself and its buttons in the custom-draw events.
  void InstallCustomDraw();
  void PrepareCache();
  void CustomDrawBar(const TRect& rect, TCustomDrawStage stage, bool& defaultDraw);
  void CustomDrawButton(TToolButton* button, TCustomDrawState state, TCustomDrawStage stage,
                        TTBCustomDrawFlags& flags, bool& defaultDraw);
  void PaintButton(HDC dc, TToolButton* button, TCustomDrawState state);
  void RepaintButton(int index);
  void PaintDividers(HDC dc);
  void PaintNonClient();
  int ButtonAtPos(TPoint p);
  int BorderOffsetX() const;
  int BorderOffsetY() const;
  bool Skinned() const;

  std::unique_ptr<TControlSkinHost> host_;
  std::unique_ptr<TsCommonData> skinData_;
  int hotButtonIndex_ = -1;
  TsDisabledKind btnDisabledKind_{dkBlended};
  TToolButton* droppedButton_ = nullptr;
};
