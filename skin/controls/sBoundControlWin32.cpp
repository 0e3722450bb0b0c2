#include "skin/controls/sBoundControlWin32.h"

#include "skin/controls/sLabelWin32.h"

class TsControlLabel::TBound : public IBoundControl {
 public:
  explicit TBound(TWinControl& control) : control_(control) {}
  std::string Name() const override { return control_.Name(); }
  TRect BoundsRect() const override { return control_.BoundsRect(); }
  bool Visible() const override { return control_.Visible(); }
  bool Enabled() const override { return control_.Enabled(); }

 private:
  TWinControl& control_;
};

TsControlLabel::TsControlLabel(TWinControl& control)
    : control_(control), bound_(std::make_unique<TBound>(control)) {
  label_ = std::make_unique<TsBoundLabel>(
      *bound_, [this] { return MakeEditLabel(&control_, label_.get()); });
}

TsControlLabel::~TsControlLabel() = default;

void TsControlLabel::Follow(const TMessage& m, bool followEnabled, bool disabledBlended) {
  if (!label_ || !label_->TheLabel()) return;
  IEditLabel& label = *label_->TheLabel();
  switch (m.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      label_->AlignLabel();
      break;
    case CM_VISIBLECHANGED:
      label.SetVisible(control_.Visible());
      label_->AlignLabel();
      break;
    case CM_ENABLEDCHANGED:
      if (!followEnabled) break;
      label.SetEnabled(control_.Enabled() || !disabledBlended);
      label_->AlignLabel();
      break;
    default:
      break;
  }
}
