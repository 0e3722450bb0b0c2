// A plain progress gauge for the main window: a bar with "N%" in its middle. It
// stands where the skinned gauge will go and keeps the same rules (TGaugeModel).
#pragma once

#include "app/GaugeModel.h"
#include "framework/ControlsWin32.h"

class TProgressGauge : public TGraphicControl {
  K_CLASS(TProgressGauge, TGraphicControl)

  explicit TProgressGauge(TComponent* owner);

  int MinValue() const { return model_.MinValue(); }
  int MaxValue() const { return model_.MaxValue(); }
  // Raises EInvalidOperation for a maximum below MinValue (see TGaugeModel).
  void SetMaxValue(int value);
  int Progress() const { return model_.Progress(); }
  void SetProgress(int value);
  int PercentDone() const { return model_.PercentDone(); }
  std::string GaugeText() const { return model_.Text(); }
  const std::string& Suffix() const { return model_.Suffix(); }
  void SetSuffix(const std::string& value);
  TColor ForeColor() const { return foreColor_; }
  void SetForeColor(TColor value);

  KFW_EVENT(TNotifyEvent, OnChange)

 protected:
  void Paint() override;

 private:
  // Paints at once: the handlers run long loops between message pumps.
  void RepaintNow();

  TGaugeModel model_;
  TColor foreColor_ = static_cast<TColor>(0x00D77800);  // a plain blue
};
