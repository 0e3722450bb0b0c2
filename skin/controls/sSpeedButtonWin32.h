// The skinned speed button: the framework's windowless button painted from its skin section
// (SPEEDBUTTON unless it names another) in its normal, hot and pressed looks, with the tool
// button's styles (a plain or check button, a drop-down button with an arrow part that opens
// its menu, a separator and a divider), a glyph from its own strip or an image list, and fades
// between the looks. It paints its face as the bit button does (PaintButtonFace) into its
// cache and copies the cache onto its parent's canvas; without a skin it draws the standard
// face. Clicks, Down and group indexes work as on the framework's button.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/ButtonsWin32.h"
#include "framework/ComCtrlsWin32.h"
#include "framework/ImgListWin32.h"
#include "skin/controls/sButtonGeometry.h"
#include "skin/controls/sGlyphPaintWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/runtime/sFade.h"

class TsAnimTimer;
class TPopupMenu;

// Called with the finished cache picture, to paint over it.
using TBmpPaintEvent = TMethod<void(TObject* sender, TBitmap* bitmap)>;

class TsSpeedButton : public TSpeedButton {
  K_CLASS(TsSpeedButton, TSpeedButton)
  explicit TsSpeedButton(TComponent* owner);
  ~TsSpeedButton() override;

  TsCtrlSkinData* SkinData() const { return skinData_.get(); }
  int Blend() const { return blend_; }
  void SetBlend(int value);
  bool Grayed() const { return grayed_; }
  void SetGrayed(bool value);
  bool Reflected() const { return reflected_; }
  void SetReflected(bool value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  TsDisabledGlyphKind DisabledGlyphKind() const { return disabledGlyphKind_; }
  void SetDisabledGlyphKind(TsDisabledGlyphKind value);
  int TextOffset() const { return textOffset_; }
  void SetTextOffset(int value);
  // False empties the caption and keeps it; true gives it back.
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TAlignment TextAlignment() const { return textAlignment_; }
  void SetTextAlignment(TAlignment value);
  bool DrawOverBorder() const { return drawOverBorder_; }
  void SetDrawOverBorder(bool value);
  // A drop-down button grows by its arrow part (and shrinks again when it stops being one).
  TToolButtonStyle ButtonStyle() const { return buttonStyle_; }
  void SetButtonStyle(TToolButtonStyle value);
  TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
  void SetDropdownMenu(TPopupMenu* value);
  TskAnimatEvents AnimatEvents() const { return animatEvents_; }
  void SetAnimatEvents(TskAnimatEvents value) { animatEvents_ = value; }
  KFW_EVENT(TBmpPaintEvent, OnPaint)

  // 0 normal, 1 hot (under the mouse), 2 pressed or down.
  virtual int CurrentState() const;
  // A fade between two looks is running.
  bool Fading() const;
  // The drop-down menu is open.
  bool DroppedDown() const { return droppedDown_; }
  // Paints the button at once: from its cache (rebuilt when dirty) or the fade's frame.
  void RepaintNow();

  void WndProc(TMessage& message) override;
  void Invalidate() override;

 protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

  virtual int GlyphWidth() const;
  virtual int GlyphHeight() const;
  // Rebuilds the cached picture: section, border mask, caption, glyph, the arrow part, the
  // disabled look.
  virtual void PrepareCache();
  virtual void PaintUnskinned();
  virtual TRect CalcCaptionRect();
  virtual TRect CalcGlyphRect();
  // The caption's size as it breaks in the width it may take.
  TSize MeasureCaption();
  // What the glyph painter needs, for the current look.
  TsButtonGlyph GlyphOf(TRect glyphRect) const;
  int ArrowWidth() const { return buttonStyle_ == tbsDropDown ? SpeedButtonArrowWidth : 0; }
  // A change of look: faded when the section and the event ask for it, else painted at once.
  void StateChanged(bool halve, bool fade);
  void StopFade();

 private:
  class TCmdHandler;
  class TFadeHost;
  friend class TCmdHandler;
  friend class TFadeHost;
  bool Ready() const;
  bool UsesImages() const;
  TsSpeedButtonPlace Place();
  void PaintArrowPart(const TsBackgroundSource& background);
  void PaintDivider(const TsBackgroundSource& background);
  void StartFade(bool halve);
  void MouseEntered();
  void MouseLeft();
  void OpenDropdownMenu();
  void Changed(bool evenWhileUpdating = true);
  void UpdateCaption();
  bool EventFades(TskAnimatEvent event) const;
  // A skin that arrived before the button was placed is taken when it first paints.
  void CatchUpWithSkin();

  TControlSkinHost host_;
  std::unique_ptr<TsCtrlSkinData> skinData_;
  std::unique_ptr<TFadeHost> fadeHost_;
  std::unique_ptr<TsAnimTimer> fadeTimer_;
  std::unique_ptr<TChangeLink> imageChangeLink_;
  int oldNumGlyphs_ = 1;
  int oldSpacing_ = 4;
  bool storedDown_ = false;
  TsDisabledKind disabledKind_{dkBlended};
  TsDisabledGlyphKind disabledGlyphKind_{dgBlended};
  bool grayed_ = false;
  int blend_ = 0;
  int textOffset_ = 0;
  int imageIndex_ = -1;
  TCustomImageList* images_ = nullptr;
  bool showCaption_ = true;
  TAlignment alignment_ = taCenter;
  TToolButtonStyle buttonStyle_ = tbsButton;
  TPopupMenu* dropdownMenu_ = nullptr;
  bool drawOverBorder_ = true;
  TAlignment textAlignment_ = taCenter;
  TskAnimatEvents animatEvents_{aeGlobalDef};
  bool reflected_ = false;
  bool droppedDown_ = false;
  TButtonLayout oldLayout_ = blGlyphLeft;
  std::string oldCaption_;
};
