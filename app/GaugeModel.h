// The numbers behind a progress gauge: range, clamped position and the shown
// percentage. Kept apart from the window so the rules are tested natively.
#pragma once

#include <string>

class TGaugeModel {
 public:
  int MinValue() const { return minValue_; }
  int MaxValue() const { return maxValue_; }
  int Progress() const { return progress_; }
  const std::string& Suffix() const { return suffix_; }
  void SetSuffix(const std::string& value) { suffix_ = value; }

  // A maximum below MinValue raises EInvalidOperation "Wert muss zwischen %d und
  // %d liegen" (MinValue + 1, 2147483647) and keeps the old one. The position is
  // lowered to a smaller maximum. True when something changed.
  bool SetMaxValue(int value);
  // Clamped to MinValue..MaxValue. True when the position changed.
  bool SetProgress(int value);
  // Whole percent of the range that the position covers (0 for an empty range).
  int PercentDone() const;
  // The text the gauge shows: "N" + suffix.
  std::string Text() const;

 private:
  int minValue_ = 0;
  int maxValue_ = 100;
  int progress_ = 0;
  std::string suffix_ = "%";
};
