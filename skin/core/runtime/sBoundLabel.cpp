#include "skin/core/runtime/sBoundLabel.h"

TsBoundLabel::TsBoundLabel(IBoundControl& control, TLabelFactory makeLabel)
    : control_(control), makeLabel_(std::move(makeLabel)) {}

void TsBoundLabel::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  if (!value) {
    // The label's settings are kept for the next one.
    useSkinColor_ = label_->UseSkinColor();
    font_ = label_->Font();
    label_.reset();
    return;
  }
  if (!label_) {
    label_ = makeLabel_();
    label_->SetFont(font_);
    label_->SetUseSkinColor(useSkinColor_);
  }
  label_->SetVisible(false);
  label_->AttachToControl();
  UpdateAlignment();
  label_->SetName(control_.Name() + "Label");
  if (caption_.empty()) caption_ = control_.Name();
  label_->SetCaption(caption_);
  label_->SetVisible(control_.Visible());
  label_->SetEnabled(control_.Enabled());
  AlignLabel();
}

void TsBoundLabel::SetCaption(const std::string& value) {
  caption_ = value;
  if (!label_) return;
  label_->SetCaption(value);
  AlignLabel();
}

void TsBoundLabel::SetLayout(TsCaptionLayout value) {
  layout_ = value;
  UpdateAlignment();
  AlignLabel();
}

void TsBoundLabel::SetIndent(int value) {
  indent_ = value;
  AlignLabel();
}

void TsBoundLabel::SetMaxWidth(int value) {
  maxWidth_ = value;
  AlignLabel();
}

TsBoundLabelFont TsBoundLabel::Font() const { return label_ ? label_->Font() : font_; }

void TsBoundLabel::SetFont(const TsBoundLabelFont& value) {
  if (!label_) {
    font_ = value;
    return;
  }
  label_->SetFont(value);
  label_->AttachToControl();
  AlignLabel();
}

bool TsBoundLabel::UseSkinColor() const { return label_ ? label_->UseSkinColor() : useSkinColor_; }

void TsBoundLabel::SetUseSkinColor(bool value) {
  useSkinColor_ = value;
  if (label_) label_->SetUseSkinColor(value);
}

void TsBoundLabel::UpdateAlignment() {
  if (!label_) return;
  switch (layout_) {
    case sclLeft:
    case sclTopRight:
      label_->SetAlignment(laRightJustify);
      break;
    case sclTopLeft:
      label_->SetAlignment(laLeftJustify);
      break;
    case sclTopCenter:
      label_->SetAlignment(laCenter);
      break;
  }
}

void TsBoundLabel::AlignLabel() {
  if (!label_ || !label_->Visible()) return;
  label_->SetAutoSize(true);
  const TRect c = control_.BoundsRect();
  const int cw = c.Right - c.Left, ch = c.Bottom - c.Top;
  const int w = label_->Width(), h = label_->Height();
  int left = c.Left, top = c.Top - h - indent_;
  switch (layout_) {
    case sclLeft:
      left = c.Left - w - indent_ - 4;
      top = c.Top + (ch - h) / 2 - 1;
      break;
    case sclTopLeft:
      break;
    case sclTopCenter:
      left = c.Left + (cw - w) / 2;
      break;
    case sclTopRight:
      left = c.Left + cw - w;
      break;
  }
  label_->SetBounds(left, top, w, h);
  label_->AttachToControl();
  if (maxWidth_ != 0) {
    label_->SetAutoSize(false);
    label_->SetWordWrap(true);
    label_->SetBounds(left, top, maxWidth_, std::max(label_->Height(), ch));
  }
}
