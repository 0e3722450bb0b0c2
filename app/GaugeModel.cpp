#include "app/GaugeModel.h"

#include <algorithm>
#include <climits>

#include "framework/SysUtils.h"

bool TGaugeModel::SetMaxValue(int value) {
  if (value == maxValue_) return false;
  if (value < minValue_)
    throw EInvalidOperation(Format("Wert muss zwischen %d und %d liegen", minValue_ + 1, INT_MAX));
  maxValue_ = value;
  if (progress_ > maxValue_) progress_ = maxValue_;
  return true;
}

bool TGaugeModel::SetProgress(int value) {
  value = std::clamp(value, minValue_, maxValue_);
  if (value == progress_) return false;
  progress_ = value;
  return true;
}

int TGaugeModel::PercentDone() const {
  const long long range = static_cast<long long>(maxValue_) - minValue_;
  if (range <= 0) return 0;
  return static_cast<int>((static_cast<long long>(progress_) - minValue_) * 100 / range);
}

std::string TGaugeModel::Text() const { return std::to_string(PercentDone()) + suffix_; }
