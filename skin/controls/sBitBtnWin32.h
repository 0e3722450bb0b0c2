// The skinned glyph push button: the framework's bit button painted from its skin section
// (BUTTON unless it names another) in its normal, hot and pressed looks, with the section's
// border mask (the window is cut to the mask's shape), the caption in the section's font
// colours, a glyph from its own strip or an image list, and fades between the looks. It keeps
// the standard button's behaviour: clicks, the space bar, accelerators and the dialog keys go
// through the system button; without a skin it draws itself as the framework's button does.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/ButtonsWin32.h"
#include "framework/ImgListWin32.h"
#include "skin/controls/sButtonGeometry.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/runtime/sFade.h"

class TsFadeTimer;

class TsBitBtn : public TBitBtn {
  K_CLASS(TsBitBtn, TBitBtn)
  explicit TsBitBtn(TComponent* owner);
  ~TsBitBtn() override;

  TsCtrlSkinData* SkinData() const { return skinData_.get(); }
  bool Down() const { return down_; }
  void SetDown(bool value);
  int Blend() const { return blend_; }
  void SetBlend(int value);
  bool Grayed() const { return grayed_; }
  void SetGrayed(bool value);
  bool Reflected() const { return reflected_; }
  void SetReflected(bool value);
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool value);
  bool ShowFocus() const { return showFocus_; }
  void SetShowFocus(bool value);
  int FocusMargin() const { return focusMargin_; }
  void SetFocusMargin(int value) { focusMargin_ = value; }
  bool DrawOverBorder() const { return drawOverBorder_; }
  void SetDrawOverBorder(bool value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TAlignment TextAlignment() const { return textAlignment_; }
  void SetTextAlignment(TAlignment value);
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  TsDisabledGlyphKind DisabledGlyphKind() const { return disabledGlyphKind_; }
  void SetDisabledGlyphKind(TsDisabledGlyphKind value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  // The caption breaks into lines where it is wider than the button.
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  TskAnimatEvents AnimatEvents() const { return animatEvents_; }
  void SetAnimatEvents(TskAnimatEvents value) { animatEvents_ = value; }
  // 0 normal, 1 hot (focused, default or under the mouse), 2 pressed.
  int CurrentState() const;
  // A fade between two looks is running.
  bool Fading() const { return static_cast<bool>(fadeTimer_); }

  void WndProc(TMessage& message) override;

 protected:
  void Loaded() override;
  void CreateWnd() override;
  void Notification(TComponent* component, TOperation operation) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  // Rebuilds the cached picture: section, border mask, caption, glyph, disabled look.
  void PrepareCache();

 private:
  class TCmdHandler;

  bool HandleSkinned(TMessage& message);
  void AfterEffects(const TMessage& message);
  void PaintWindow(HDC dc);
  // The dotted frame around the caption of the focused button, where the section shows one.
  void DrawFocusFrame(int state);
  TSize GlyphSize() const;
  bool UsesImages() const;
  void StopFade();
  void RemoveGlow();
  void Changed();
  void Fade(TskAnimatEvent event, bool pressed);

  TControlSkinHost host_;
  std::unique_ptr<TsCtrlSkinData> skinData_;
  std::unique_ptr<TCmdHandler> cmdHandler_;
  std::unique_ptr<TsFadeTimer> fadeTimer_;
  std::unique_ptr<TChangeLink> imageChangeLink_;
  bool mouseClicked_ = false;
  bool down_ = false;
  int focusMargin_ = 1;
  TsDisabledKind disabledKind_{dkBlended};
  TsDisabledGlyphKind disabledGlyphKind_{dgBlended};
  bool grayed_ = false;
  int blend_ = 0;
  int imageIndex_ = -1;
  TCustomImageList* images_ = nullptr;
  bool showCaption_ = true;
  bool showFocus_ = true;
  TAlignment alignment_ = taCenter;
  bool drawOverBorder_ = true;
  TAlignment textAlignment_ = taCenter;
  TskAnimatEvents animatEvents_{aeGlobalDef};
  bool reflected_ = false;
  bool wordWrap_ = true;
  bool focusChangeGuard_ = false;
  // The window region cut to the border mask's shape, built with the cache and handed to the
  // window at the next paint; the first paint redraws with it.
  std::vector<TRect> holes_;
  std::vector<TRect> shownHoles_;  // the cut-outs of the region the window has
  bool regionPending_ = false;
  bool firstPaint_ = true;
  TRect lastRect_{};
  TPoint glyphPos_{};
  TRect captionRect_{};
};
