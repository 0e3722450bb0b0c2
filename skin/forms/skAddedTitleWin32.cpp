#include "skin/forms/skAddedTitleWin32.h"

#include "framework/Graphics.h"
#include "skin/forms/sSkinProviderWin32.h"

TskAddedTitle::TskAddedTitle(TsSkinProvider* owner)
    : owner_(owner), font_(std::make_unique<TFont>()) {
  font_->SetColor(clNone);
}

TskAddedTitle::~TskAddedTitle() = default;

void TskAddedTitle::Repaint() {
  if (owner_ && !owner_->Form()->ComponentState().Contains(csLoading)) owner_->RepaintNonClient();
}

void TskAddedTitle::SetFont(TFont* value) {
  if (value) font_->Assign(value);
  Repaint();
}

void TskAddedTitle::SetShowMainCaption(bool value) {
  if (showMainCaption_ == value) return;
  showMainCaption_ = value;
  Repaint();
}

void TskAddedTitle::SetText(const std::string& value) {
  if (text_ == value) return;
  text_ = value;
  Repaint();
}
