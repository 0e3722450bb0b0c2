// The skinned check box: the framework's check box drawn wholly by itself while a skin is
// active (the section's background, the caption in its font colours, a check glyph from an
// image list, its own strips or the skin's check images), with fades between its normal, hot
// and pressed looks. While skinned it takes the mouse and the space bar itself, so the system
// button never draws; the state, the click event and the accelerator stay the framework's.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/ImgListWin32.h"
#include "framework/StdCtrlsWin32.h"
#include "skin/controls/sButtonGeometry.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/runtime/sFade.h"

class TsFadeTimer;

class TsCheckBox : public TCustomCheckBox {
  K_CLASS(TsCheckBox, TCustomCheckBox)
  explicit TsCheckBox(TComponent* owner);
  ~TsCheckBox() override;

  TsCommonData* SkinData() const { return skinData_.get(); }
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  TBitmap* GlyphChecked() const { return glyphChecked_.get(); }
  void SetGlyphChecked(TBitmap* value);
  TBitmap* GlyphUnChecked() const { return glyphUnChecked_.get(); }
  void SetGlyphUnChecked(TBitmap* value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  int ImgChecked() const { return imgChecked_; }
  void SetImgChecked(int value);
  int ImgUnchecked() const { return imgUnchecked_; }
  void SetImgUnchecked(int value);
  int Margin() const { return margin_; }
  void SetMargin(int value);
  int TextIndent() const { return textIndent_; }
  void SetTextIndent(int value);
  bool ShowFocus() const { return showFocus_; }
  void SetShowFocus(bool value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TskAnimatEvents AnimatEvents() const { return animatEvents_; }
  void SetAnimatEvents(TskAnimatEvents value) { animatEvents_ = value; }
  // The mouse or the space bar holds the box down.
  bool Pressed() const { return pressed_; }
  bool Fading() const { return static_cast<bool>(fadeTimer_); }
  // The box's glyph rectangle in its own coordinates.
  TRect CheckRect();

  void WndProc(TMessage& message) override;

 protected:
  void Loaded() override;
  void CreateWnd() override;
  void PrepareCache();
  // Gives an auto-sized skinned box the size of its glyph and caption.
  void AdjustSize();

 private:
  class TCmdHandler;

  bool HandleFocusAndMouse(TMessage& message);
  bool HandleSkinned(TMessage& message);
  void Paint(HDC given);
  void DrawCaption(TCanvas* canvas, bool active);
  void DrawCheckGlyph(TBitmap* cache, const TsBackgroundSource& background, int state);
  bool UsesImages() const;
  TBitmap* OwnGlyph() const;
  TSize GlyphSize();
  TSize CaptionSize(TCanvas* canvas);
  bool CaptionRight() const;
  void StopFade();
  void Fade(TskAnimatEvent event, bool pressed);
  void Release();

  TControlSkinHost host_;
  std::unique_ptr<TsCommonData> skinData_;
  std::unique_ptr<TCmdHandler> cmdHandler_;
  std::unique_ptr<TsFadeTimer> fadeTimer_;
  TsDisabledKind disabledKind_{dkBlended};
  std::unique_ptr<TBitmap> glyphChecked_;
  std::unique_ptr<TBitmap> glyphUnChecked_;
  int textIndent_ = 0;
  bool pressed_ = false;
  bool showFocus_ = true;
  int margin_ = 2;
  TCustomImageList* images_ = nullptr;
  int imgChecked_ = 0;
  int imgUnchecked_ = 0;
  TskAnimatEvents animatEvents_{aeGlobalDef};
  bool readOnly_ = false;
  bool autoSize_ = true;
};
