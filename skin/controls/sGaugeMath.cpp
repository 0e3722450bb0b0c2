#include "skin/controls/sGaugeMath.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "framework/SysUtils.h"

int GaugePercentOf(long long x, long long z) {
  if (z == 0) return 0;
  return static_cast<int>(std::trunc(static_cast<double>(x) * 100.0 / static_cast<double>(z)));
}

int GaugeFillLength(int percent, int length) {
  return static_cast<int>(std::trunc(length * (percent * 0.01)));
}

int GaugeLightStep(int extent) {
  return std::max(15, static_cast<int>(std::nearbyint(extent / (GaugeLightCycle / 44.0))));
}

bool TsGaugeRange::SetMinValue(int value, bool loading) {
  if (value == minValue_) return false;
  if (!loading && value > maxValue_)
    throw EInvalidOperation(Format("Wert muss zwischen %d und %d liegen", -INT_MAX, maxValue_ - 1));
  minValue_ = value;
  if (progress_ < minValue_) progress_ = minValue_;
  return true;
}

bool TsGaugeRange::SetMaxValue(int value, bool loading) {
  if (value == maxValue_) return false;
  if (!loading && value < minValue_)
    throw EInvalidOperation(Format("Wert muss zwischen %d und %d liegen", minValue_ + 1, INT_MAX));
  maxValue_ = value;
  if (progress_ > maxValue_) progress_ = maxValue_;
  return true;
}

bool TsGaugeRange::SetProgress(int value) {
  // A range set while loading may be upside down: the lower end wins then.
  value = std::max(std::min(value, maxValue_), minValue_);
  if (value == progress_) return false;
  progress_ = value;
  return true;
}

std::string GaugeText(const TsGaugeRange& range, bool calcPercents, const std::string& suffix) {
  return std::to_string(calcPercents ? range.Percent() : range.Progress()) + suffix;
}
