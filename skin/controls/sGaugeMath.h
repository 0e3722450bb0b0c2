// The numbers behind a gauge: its range with the position kept inside, the whole percentage
// it shows, how many pixels a percentage fills and how far the light strip of a skinned bar
// moves per tick. Portable, so the rules are tested natively.
#pragma once

#include <string>

// trunc(x * 100 / z): 0 for an empty range.
int GaugePercentOf(long long x, long long z);
// The pixels out of `length` that `percent` fill: trunc(length * percent / 100).
int GaugeFillLength(int percent, int length);

// One run of the light strip: its length, its cycle and the timer's tick.
constexpr int GaugeLightWidth = 300;
constexpr int GaugeLightCycle = 2222;  // milliseconds
constexpr int GaugeLightTick = 22;     // milliseconds
// The strip's step per tick along a bar of that extent: a run crosses about 50 ticks' worth,
// never less than 15 pixels.
int GaugeLightStep(int extent);

class TsGaugeRange {
 public:
  int MinValue() const { return minValue_; }
  int MaxValue() const { return maxValue_; }
  int Progress() const { return progress_; }
  // Outside loading a minimum above MaxValue (or a maximum below MinValue) raises
  // EInvalidOperation "Wert muss zwischen %d und %d liegen" and keeps the old value; the
  // position follows into the new range. True when the value changed.
  bool SetMinValue(int value, bool loading = false);
  bool SetMaxValue(int value, bool loading = false);
  // Clamped into the range; true when the clamped value differs from the stored one.
  bool SetProgress(int value);
  int Percent() const {
    return GaugePercentOf(static_cast<long long>(progress_) - minValue_,
                          static_cast<long long>(maxValue_) - minValue_);
  }

 private:
  int minValue_ = 0;
  int maxValue_ = 100;
  int progress_ = 47;
};

// The text a gauge shows: the percentage (or the position itself) followed by the suffix.
std::string GaugeText(const TsGaugeRange& range, bool calcPercents, const std::string& suffix);
