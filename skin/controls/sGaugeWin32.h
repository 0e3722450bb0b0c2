// The skinned gauge: a progress indicator without a window of its own, shown as a bar, a pie,
// a needle or its text alone. Under a skin it paints its section (GAUGE) with the filled part
// from the progress section (PROGRESSH, or PROGRESSV for an upright bar) and a light strip
// running along the filled part; without one it paints the classic way, its text inverted over
// what lies beneath.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/ControlsWin32.h"
#include "framework/ExtCtrlsWin32.h"
#include "skin/controls/sGaugeMath.h"
#include "skin/core/painting/sCommonDataWin32.h"

enum TsGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };

class TsGauge : public TGraphicControl {
  K_CLASS(TsGauge, TGraphicControl)
  explicit TsGauge(TComponent* owner);
  ~TsGauge() override;

  TsCommonData* SkinData() const { return skinData_.get(); }
  int MinValue() const { return range_.MinValue(); }
  void SetMinValue(int value);
  int MaxValue() const { return range_.MaxValue(); }
  // A maximum below MinValue raises EInvalidOperation outside loading (see TsGaugeRange).
  void SetMaxValue(int value);
  int Progress() const { return range_.Progress(); }
  void SetProgress(int value);
  int ProgressPercent() const { return range_.Percent(); }
  // What the gauge shows as its text.
  std::string ShownText() const { return GaugeText(range_, calcPercents_, suffix_); }
  TsGaugeKind Kind() const { return kind_; }
  void SetKind(TsGaugeKind value);
  bool ShowText() const { return showText_; }
  void SetShowText(bool value);
  const std::string& Suffix() const { return suffix_; }
  void SetSuffix(const std::string& value);
  bool CalcPercents() const { return calcPercents_; }
  void SetCalcPercents(bool value);
  TColor ForeColor() const { return foreColor_; }
  void SetForeColor(TColor value);
  TColor BackColor() const { return backColor_; }
  void SetBackColor(TColor value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  const std::string& ProgressSkin() const { return progressSkin_; }
  void SetProgressSkin(const std::string& value);
  bool Animated() const { return animated_; }
  void SetAnimated(bool value);
  TTimer* LightTimer() const { return lightTimer_; }
  int LightPos() const { return lightPos_; }

  KFW_EVENT(TNotifyEvent, OnChange)

  void WndProc(TMessage& message) override;

 protected:
  void Loaded() override;
  void Paint() override;

 private:
  // A gauge made before its window's skin was loaded, with no window of its own to hear the
  // news, takes its section when it first paints or ticks.
  void CatchUpWithSkin();
  void PrepareCache();
  void PaintContent(const TRect& r);
  void PaintSkinnedText(TBitmap* bitmap, const TRect& r, int sectionIndex);
  void PaintSkinnedBar(const TRect& r);
  // The pie or the needle in ForeColor; skinned, the needle's half ellipse is not filled.
  void PaintFigure(TCanvas* canvas, const TRect& r, bool skinned);
  void PaintUnskinned();
  void BuildLight(int thickness);
  void LightTick(TObject* sender);
  void CopyCacheToCanvas();
  bool SectionReservedBoolean() const;

  class TCmdHandler;

  TControlSkinHost host_;
  std::unique_ptr<TsCommonData> skinData_;
  std::unique_ptr<TCmdHandler> cmdHandler_;
  TsGaugeRange range_;
  TsGaugeKind kind_ = gkHorizontalBar;
  bool showText_ = true;
  std::string suffix_ = "%";
  TColor foreColor_ = clBlack;
  TBorderStyle borderStyle_ = bsSingle;
  TColor backColor_ = clWhite;
  std::string progressSkin_;
  bool calcPercents_ = true;
  bool animated_ = true;
  int lightCycleTime_ = GaugeLightCycle + 1;
  int lightPos_ = 9999;
  std::unique_ptr<TBitmap> lightBitmap_;
  TTimer* lightTimer_;
  std::unique_ptr<TBitmap> progressCache_;
};
