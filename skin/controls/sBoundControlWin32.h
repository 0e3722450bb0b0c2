// The bound label of a windowed skinned control: the label's view of the control, and the
// label following the control's moves, sizes, visibility and enabled state.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/ControlsWin32.h"
#include "skin/core/runtime/sBoundLabel.h"

class TsControlLabel {
 public:
  explicit TsControlLabel(TWinControl& control);
  ~TsControlLabel();
  TsControlLabel(const TsControlLabel&) = delete;
  TsControlLabel& operator=(const TsControlLabel&) = delete;

  TsBoundLabel* Get() const { return label_.get(); }
  // After the control handled `message`: the label (when one is shown) moves with the control,
  // shows and hides with it, and, with followEnabled, is disabled with it when the control's
  // disabled look is blended into its background (disabledBlended).
  void Follow(const TMessage& message, bool followEnabled, bool disabledBlended);

 private:
  class TBound;
  TWinControl& control_;
  std::unique_ptr<TBound> bound_;
  std::unique_ptr<TsBoundLabel> label_;
};
