#include "skin/forms/sTitleIconWin32.h"

TsTitleIcon::TsTitleIcon() = default;

TsTitleIcon::~TsTitleIcon() = default;

void TsTitleIcon::SetGlyph(TBitmap* value) {
  if (!value || value->Empty()) {
    glyph_.reset();
    return;
  }
  if (!glyph_) glyph_ = std::make_unique<TBitmap>();
  glyph_->Assign(value);
}
