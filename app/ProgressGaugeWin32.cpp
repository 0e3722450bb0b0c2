#include "app/ProgressGaugeWin32.h"

TProgressGauge::TProgressGauge(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 150, 18);
  SetColor(clWindow);
  controlStyle_.Include(csOpaque);
}

void TProgressGauge::RepaintNow() {
  Invalidate();
  Update();
}

void TProgressGauge::SetMaxValue(int value) {
  const int before = model_.PercentDone();
  if (model_.SetMaxValue(value) && model_.PercentDone() != before) RepaintNow();
}

void TProgressGauge::SetProgress(int value) {
  const int before = model_.PercentDone();
  if (!model_.SetProgress(value)) return;
  if (model_.PercentDone() != before) RepaintNow();
  if (OnChange_) OnChange_(this);
}

void TProgressGauge::SetSuffix(const std::string& value) {
  if (value == model_.Suffix()) return;
  model_.SetSuffix(value);
  Invalidate();
}

void TProgressGauge::SetForeColor(TColor value) {
  if (value == foreColor_) return;
  foreColor_ = value;
  Invalidate();
}

void TProgressGauge::Paint() {
  TCanvas* canvas = Canvas();
  const TRect all = Bounds(0, 0, Width(), Height());
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(all);
  const int filled = (Width() - 2) * model_.PercentDone() / 100;
  if (filled > 0) {
    canvas->Brush()->SetColor(foreColor_);
    canvas->FillRect(Bounds(1, 1, filled, Height() - 2));
  }
  canvas->Brush()->SetColor(clGray);
  canvas->FrameRect(all);
  const std::string text = model_.Text();
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(bsClear);
  canvas->TextOut((Width() - canvas->TextWidth(text)) / 2,
                  (Height() - canvas->TextHeight(text)) / 2, text);
  canvas->Brush()->SetStyle(bsSolid);
}
