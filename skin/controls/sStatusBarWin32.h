// The skinned status bar: the framework's status bar that, while a skin is active, paints
// itself wholly from a cached picture: its section (STATUSBAR) behind, each panel framed by the
// section's panel mask or, without one, ended by a divider, the panel texts in the section's
// font colours and the size grip from the skin.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/ComCtrlsWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"

class TsStatusBar : public TStatusBar {
  K_CLASS(TsStatusBar, TStatusBar)
  explicit TsStatusBar(TComponent* owner);
  ~TsStatusBar() override;

  TsCommonData* SkinData() const { return skinData_.get(); }
  void WndProc(TMessage& message) override;

 protected:
  void Loaded() override;
  void CreateWnd() override;

 private:
  class TCmdHandler;

  void OwnPaint(HDC dc);
  void BlitCache(HDC dc);
  void PrepareCache();
  void PaintPanels();
  void PaintPanel(TStatusPanel* panel, const std::string& text, const TRect& r, bool last);
  void PaintGrip();

  TControlSkinHost host_;
  std::unique_ptr<TsCommonData> skinData_;
  std::unique_ptr<TCmdHandler> cmdHandler_;
};
