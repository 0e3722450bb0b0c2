#include "skin/controls/sGlyphUtilsWin32.h"

#include <memory>

#include "framework/ResourceStreamWin32.h"
#include "imaging/skAlphaImageListWin32.h"
#include "skin/controls/sGlyphPaintWin32.h"
#include "skin/controls/sSpeedButtonWin32.h"

TsAlphaImageList* BuiltInButtonGlyphs() {
  static std::unique_ptr<TsAlphaImageList> list = [] {
    auto made = std::make_unique<TsAlphaImageList>(nullptr);
    made->SetSize(BuiltInButtonGlyphSize.Width, BuiltInButtonGlyphSize.Height);
    for (const char* name : {"SF", "SR", "SD", "SE", "SC"}) {
      TResourceStream stream(GetModuleHandleA(nullptr), name, RT_RCDATA);
      made->Items()->Add()->ImgData().CopyFrom(&stream, 0);
    }
    made->AfterConstruction();
    return made;
  }();
  return list.get();
}

TsGlyphMode::TsGlyphMode(TControl* owner) : owner_(owner) {}

void TsGlyphMode::SetButton(TsSpeedButton* value) {
  button_ = value;
  UpdateButton();
}

TsGlyphModeSize TsGlyphMode::Size() const {
  TsGlyphList own;
  if (images_) own = TsGlyphList{true, images_->Width(), images_->Height(), GetImageCount(images_)};
  return GlyphModeSize(own, imageIndex_);
}

TCustomImageList* TsGlyphMode::ChosenList() const {
  if (images_ && imageIndex_ >= 0 && imageIndex_ < GetImageCount(images_)) return images_;
  return BuiltInButtonGlyphs();
}

int TsGlyphMode::CellCount() const { return Size().CellCount; }
int TsGlyphMode::GlyphWidth() const { return Size().GlyphWidth; }
int TsGlyphMode::GlyphHeight() const { return Size().GlyphHeight; }

void TsGlyphMode::UpdateButton() {
  if (!button_) return;
  const TsGlyphModeSize size = Size();
  button_->SetWidth(size.ButtonWidth);
  button_->SetNumGlyphs(size.CellCount);
  button_->Invalidate();
}

#define KS_SETTER(Name, field, Type)        \
  void TsGlyphMode::Set##Name(Type value) { \
    if (value == field) return;             \
    field = value;                          \
    UpdateButton();                         \
  }
KS_SETTER(Images, images_, TCustomImageList*)
KS_SETTER(ImageIndex, imageIndex_, int)
KS_SETTER(ImageIndexHot, imageIndexHot_, int)
KS_SETTER(ImageIndexPressed, imageIndexPressed_, int)
#undef KS_SETTER

bool TsGlyphMode::ButtonReady() const {
  if (!button_) return false;
  const TComponentState state = button_->ComponentState();
  return !state.Contains(csLoading) && !state.Contains(csDestroying);
}

int TsGlyphMode::Blend() const { return ButtonReady() ? button_->Blend() : 0; }

void TsGlyphMode::SetBlend(int value) {
  if (ButtonReady()) button_->SetBlend(value);
}

bool TsGlyphMode::Grayed() const { return ButtonReady() && button_->Grayed(); }

void TsGlyphMode::SetGrayed(bool value) {
  if (ButtonReady()) button_->SetGrayed(value);
}

std::string TsGlyphMode::Hint() const {
  if (button_) return button_->Hint();
  return owner_ ? owner_->Hint() : std::string();
}

void TsGlyphMode::SetHint(const std::string& value) {
  if (button_) button_->SetHint(value);
}
