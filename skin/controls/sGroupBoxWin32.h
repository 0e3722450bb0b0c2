// The skinned group box: the framework's group box painted from its section (GROUPBOX unless
// it names another) while a skin is active, with a caption band whose place, vertical offset
// and background section are settable. It rebuilds its picture at every paint and copies it
// around its child controls; without a skin it keeps the standard look.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/StdCtrlsWin32.h"
#include "skin/controls/sGroupBoxGeometry.h"
#include "skin/core/painting/sCommonDataWin32.h"

class TsGroupBox : public TGroupBox {
  K_CLASS(TsGroupBox, TGroupBox)
  explicit TsGroupBox(TComponent* owner);
  ~TsGroupBox() override;

  TsCommonData* SkinData() const { return skinData_.get(); }
  sGroupBox::TsCaptionLayout CaptionLayout() const { return captionLayout_; }
  void SetCaptionLayout(sGroupBox::TsCaptionLayout value);
  int CaptionYOffset() const { return captionYOffset_; }
  void SetCaptionYOffset(int value);
  // A section painted behind the caption band; its picture then is the children's background.
  const std::string& CaptionSkin() const { return captionSkin_; }
  void SetCaptionSkin(const std::string& value);
  // The caption band in the box's coordinates.
  TRect CaptionRect();

  // The client area moves with the caption's offset.
  TRect ClientRect() override;
  void WndProc(TMessage& message) override;

 protected:
  void Loaded() override;
  void CreateWnd() override;
  void Paint() override;

 private:
  class TCmdHandler;

  bool HandleSkinned(TMessage& message);
  void PrepareCache();
  void PaintCaption(const TRect& captionRect, const TsBackgroundSource& background);
  void OwnPaint(HDC dc);

  TControlSkinHost host_;
  std::unique_ptr<TsCommonData> skinData_;
  std::unique_ptr<TCmdHandler> cmdHandler_;
  sGroupBox::TsCaptionLayout captionLayout_ = sGroupBox::clTopLeft;
  int captionYOffset_ = 0;
  std::string captionSkin_;
};
