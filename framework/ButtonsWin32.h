// Buttons with pictures: TBitBtn (a push button window drawn by the program) and
// TSpeedButton (a windowless button that can stay down).
#pragma once

#include <memory>

#include "framework/ControlsWin32.h"
#include "framework/Graphics.h"
#include "framework/StdCtrlsWin32.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
enum TBitBtnKind {
  bkCustom,
  bkOK,
  bkCancel,
  bkHelp,
  bkYes,
  bkNo,
  bkClose,
  bkAbort,
  bkRetry,
  bkIgnore,
  bkAll
};

// Draws a glyph strip (up to four pictures: up, disabled, down, exclusive) and a caption
// into a rectangle; shared by both buttons.
void DrawButtonFace(TCanvas* canvas, const TRect& client, TBitmap* glyph, int numGlyphs,
                    TButtonState state, TButtonLayout layout, int margin, int spacing,
                    const std::string& caption, TFont* font);

class TBitBtn : public TButton {
  K_CLASS_PUBLISHED(TBitBtn, TButton)
  explicit TBitBtn(TComponent* owner);
  ~TBitBtn() override;

  TBitmap* Glyph() { return glyph_.get(); }
  void SetGlyph(TBitmap* value);
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int value);
  TBitBtnKind Kind() const { return kind_; }
  void SetKind(TBitBtnKind value);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout value);
  int Margin() const { return margin_; }
  void SetMargin(int value);
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  std::unique_ptr<TBitmap> glyph_;
  std::unique_ptr<TCanvas> drawCanvas_;
  int numGlyphs_ = 1;
  TBitBtnKind kind_ = bkCustom;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
};

class TSpeedButton : public TGraphicControl {
  K_CLASS_PUBLISHED(TSpeedButton, TGraphicControl)
  explicit TSpeedButton(TComponent* owner);
  ~TSpeedButton() override;

  TBitmap* Glyph() { return glyph_.get(); }
  void SetGlyph(TBitmap* value);
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int value);
  // Down stays only with a GroupIndex; setting it releases the other buttons of the group.
  bool Down() const { return down_; }
  void SetDown(bool value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value) { allowAllUp_ = value; }
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout value);
  int Margin() const { return margin_; }
  void SetMargin(int value);
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);
  // Pressed by the mouse right now.
  TButtonState State() const { return state_; }
  bool MouseInControl() const { return mouseInControl_; }

  void WndProc(TMessage& message) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  // A button that presses itself for its own reasons (a drop-down menu running) shows it.
  void SetState(TButtonState value) { state_ = value; }

 private:
  void UpdateExclusive();
  std::unique_ptr<TBitmap> glyph_;
  int numGlyphs_ = 1;
  bool down_ = false;
  bool dragging_ = false;
  int groupIndex_ = 0;
  bool allowAllUp_ = false;
  bool flat_ = false;
  bool mouseInControl_ = false;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  TButtonState state_ = bsUp;
};
