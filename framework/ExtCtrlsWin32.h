// Panels, bevels, images, scroll boxes and window timers.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/ControlsWin32.h"
#include "framework/StdCtrlsWin32.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TCustomPanel : public TCustomControl {
  K_CLASS_PUBLISHED(TCustomPanel, TCustomControl)
  explicit TCustomPanel(TComponent* owner);

  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int value);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TRect ClientRect() override;

 protected:
  void Paint() override;
  void WndProc(TMessage& message) override;
  int BorderSize() const;

 private:
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TAlignment alignment_ = taCenter;
};

class TPanel : public TCustomPanel {
  K_CLASS(TPanel, TCustomPanel)
  explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
};

class TBevel : public TGraphicControl {
  K_CLASS_PUBLISHED(TBevel, TGraphicControl)
  explicit TBevel(TComponent* owner);
  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape value);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle value);

 protected:
  void Paint() override;

 private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

class TImage : public TGraphicControl {
  K_CLASS_PUBLISHED(TImage, TGraphicControl)
  explicit TImage(TComponent* owner);
  ~TImage() override;

  TPicture* Picture() { return picture_.get(); }
  void SetPicture(TPicture* value) { picture_->Assign(value); }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool Center() const { return center_; }
  void SetCenter(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);

 protected:
  void Paint() override;

 private:
  void PictureChanged(TObject* sender);
  TRect DestRect();
  std::unique_ptr<TPicture> picture_;
  bool autoSize_ = false;
  bool stretch_ = false;
  bool center_ = false;
  bool transparent_ = false;
};

// A window whose children scroll when they reach beyond its client area.
class TScrollBox : public TWinControl {
  K_CLASS_PUBLISHED(TScrollBox, TWinControl)
  explicit TScrollBox(TComponent* owner);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool value);
  // Recomputes the scroll ranges from the children's extent.
  void UpdateScrollBars();
  void ScrollBy(int dx, int dy);
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

 private:
  void Scroll(int bar, int code);
  TBorderStyle borderStyle_ = bsSingle;
  bool autoScroll_ = true;
  TPoint pos_{};
  bool updating_ = false;
};

// A window timer: OnTimer every Interval milliseconds on the main thread while Enabled.
class TTimer : public TComponent {
  K_CLASS_PUBLISHED(TTimer, TComponent)
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned value);
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(TNotifyEvent value);

 protected:
  virtual void Timer();
  void Loaded() override;

 private:
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);
  void UpdateTimer();
  bool enabled_ = true;
  unsigned interval_ = 1000;
  TNotifyEvent onTimer_;
  UINT_PTR id_ = 0;
};
