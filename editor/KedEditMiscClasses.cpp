#include "editor/KedEditMiscClasses.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "editor/KedEditMiscProcs.h"
#include "framework/TypInfo.h"

// ---- Selection colours -----------------------------------------------------------

K_PUBLISH(TKedSelectedColor) {
  p.Prop("Background", &TKedSelectedColor::Background, &TKedSelectedColor::SetBackground);
  p.Prop("Foreground", &TKedSelectedColor::Foreground, &TKedSelectedColor::SetForeground);
}

void TKedSelectedColor::Changed() {
  if (OnChange) OnChange(this);
}

void TKedSelectedColor::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TKedSelectedColor*>(source);
  if (other == nullptr) {
    inherited::Assign(source);
    return;
  }
  background_ = other->background_;
  foreground_ = other->foreground_;
  Changed();
}

void TKedSelectedColor::SetBackground(TColor value) {
  if (value == background_) return;
  background_ = value;
  Changed();
}

void TKedSelectedColor::SetForeground(TColor value) {
  if (value == foreground_) return;
  foreground_ = value;
  Changed();
}

// ---- Gutter ------------------------------------------------------------------------

K_PUBLISH(TKedGutter) {
  p.Prop("AutoSize", &TKedGutter::AutoSize, &TKedGutter::SetAutoSize);
  p.Enum("BorderStyle", &TKedGutter::BorderStyle, &TKedGutter::SetBorderStyle,
         {"gbsNone", "gbsMiddle", "gbsRight"});
  p.Prop("Color", &TKedGutter::Color, &TKedGutter::SetColor);
  p.Prop("BorderColor", &TKedGutter::BorderColor, &TKedGutter::SetBorderColor);
  p.Prop("Cursor", &TKedGutter::Cursor, &TKedGutter::SetCursor);
  p.Prop("DigitCount", &TKedGutter::DigitCount, &TKedGutter::SetDigitCount);
  p.Prop("Font", &TKedGutter::Font, &TKedGutter::SetFont);
  p.Prop("LeadingZeros", &TKedGutter::LeadingZeros, &TKedGutter::SetLeadingZeros);
  p.Prop("LeftOffset", &TKedGutter::LeftOffset, &TKedGutter::SetLeftOffset);
  p.Prop("RightOffset", &TKedGutter::RightOffset, &TKedGutter::SetRightOffset);
  p.Prop("ShowLineNumbers", &TKedGutter::ShowLineNumbers, &TKedGutter::SetShowLineNumbers);
  p.Prop("UseFontStyle", &TKedGutter::UseFontStyle, &TKedGutter::SetUseFontStyle);
  p.Prop("Visible", &TKedGutter::Visible, &TKedGutter::SetVisible);
  p.Prop("Width", &TKedGutter::Width, &TKedGutter::SetWidth);
  p.Prop("ZeroStart", &TKedGutter::ZeroStart, &TKedGutter::SetZeroStart);
  p.Prop("LineNumberStart", &TKedGutter::LineNumberStart, &TKedGutter::SetLineNumberStart);
  p.Prop("Gradient", &TKedGutter::Gradient, &TKedGutter::SetGradient);
  p.Prop("GradientStartColor", &TKedGutter::GradientStartColor, &TKedGutter::SetGradientStartColor);
  p.Prop("GradientEndColor", &TKedGutter::GradientEndColor, &TKedGutter::SetGradientEndColor);
  p.Prop("GradientSteps", &TKedGutter::GradientSteps, &TKedGutter::SetGradientSteps);
}

TKedGutter::TKedGutter() : font_(std::make_unique<TFont>()) {
  font_->SetName("Courier New");
  font_->SetSize(8);
  font_->SetStyle({});
  font_->OnChange = MakeEvent<&TKedGutter::FontChanged>(this);
}

TKedGutter::~TKedGutter() { font_->OnChange = nullptr; }

void TKedGutter::Changed() {
  if (OnChange && !assigning_) OnChange(this);
}

void TKedGutter::FontChanged(TObject*) { Changed(); }

template <typename T>
void TKedGutter::Store(T& field, T value) {
  if (field == value) return;
  field = value;
  Changed();
}

void TKedGutter::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TKedGutter*>(source);
  if (other == nullptr) {
    inherited::Assign(source);
    return;
  }
  {
    // One notice for the whole copy, not one per value and font change.
    assigning_ = true;
    struct TReset {
      bool& flag;
      ~TReset() { flag = false; }
    } reset{assigning_};
    font_->Assign(other->font_.get());
    useFontStyle_ = other->useFontStyle_;
    color_ = other->color_;
    visible_ = other->visible_;
    width_ = other->width_;
    showLineNumbers_ = other->showLineNumbers_;
    leadingZeros_ = other->leadingZeros_;
    zeroStart_ = other->zeroStart_;
    leftOffset_ = other->leftOffset_;
    digitCount_ = other->digitCount_;
    rightOffset_ = other->rightOffset_;
    autoSize_ = other->autoSize_;
    realDigitCount_ = other->realDigitCount_;
    lineNumberStart_ = other->lineNumberStart_;
  }
  Changed();
}

int TKedGutter::ShownNumber(int line) const {
  if (zeroStart_) return line - 1;
  if (lineNumberStart_ > 1) return line + lineNumberStart_ - 1;
  return line;
}

void TKedGutter::AdjustDigitCount(int lineCount) {
  if (visible_ && autoSize_ && showLineNumbers_) {
    const int digits = static_cast<int>(IntToStr(ShownNumber(lineCount)).size());
    const int count = std::max(digits, digitCount_);
    if (count != realDigitCount_) {
      realDigitCount_ = count;
      Changed();
    }
  } else {
    realDigitCount_ = digitCount_;
  }
}

std::string TKedGutter::FormatLineNumber(int line) const {
  std::string number = IntToStr(ShownNumber(line));
  if (static_cast<int>(number.size()) < realDigitCount_)
    number.insert(0, static_cast<std::size_t>(realDigitCount_) - number.size(),
                  leadingZeros_ ? '0' : ' ');
  return number;
}

int TKedGutter::ComputeWidth(int charWidth) const {
  if (!visible_) return 0;
  if (showLineNumbers_) return leftOffset_ + rightOffset_ + charWidth * realDigitCount_ + 2;
  return width_;
}

void TKedGutter::SetAutoSize(bool value) { Store(autoSize_, value); }

void TKedGutter::SetBorderStyle(TKedGutterBorderStyle value) {
  borderStyle_ = value;
  Changed();  // also when unchanged
}

void TKedGutter::SetColor(TColor value) { Store(color_, value); }
void TKedGutter::SetBorderColor(TColor value) { Store(borderColor_, value); }

void TKedGutter::SetDigitCount(int value) {
  value = ClampValue(value, 2, 12);
  if (value == digitCount_) return;
  digitCount_ = value;
  realDigitCount_ = value;
  Changed();
}

void TKedGutter::SetLeadingZeros(bool value) { Store(leadingZeros_, value); }
void TKedGutter::SetLeftOffset(int value) { Store(leftOffset_, std::max(value, 0)); }
void TKedGutter::SetRightOffset(int value) { Store(rightOffset_, std::max(value, 0)); }
void TKedGutter::SetShowLineNumbers(bool value) { Store(showLineNumbers_, value); }
void TKedGutter::SetUseFontStyle(bool value) { Store(useFontStyle_, value); }
void TKedGutter::SetVisible(bool value) { Store(visible_, value); }
void TKedGutter::SetWidth(int value) { Store(width_, std::max(value, 0)); }
void TKedGutter::SetZeroStart(bool value) { Store(zeroStart_, value); }

void TKedGutter::SetLineNumberStart(int value) {
  if (value == lineNumberStart_) return;
  lineNumberStart_ = std::max(value, 0);
  zeroStart_ = lineNumberStart_ == 0;
  Changed();
}

void TKedGutter::SetGradient(bool value) { Store(gradient_, value); }
void TKedGutter::SetGradientStartColor(TColor value) { Store(gradientStartColor_, value); }
void TKedGutter::SetGradientEndColor(TColor value) { Store(gradientEndColor_, value); }

void TKedGutter::SetGradientSteps(int value) {
  if (value == gradientSteps_) return;
  gradientSteps_ = std::max(value, 2);
  Changed();
}

// ---- Bookmark options --------------------------------------------------------------

// Asks the image list to tell the editor when it goes away (image lists are
// Win32 objects: see the Win32 half of this unit).
void RequestKedFreeNotification(TCustomImageList* images, TComponent* owner);

K_PUBLISH(TKedBookMarkOpt) {
  p.Prop("DrawBookmarksFirst", &TKedBookMarkOpt::DrawBookmarksFirst,
         &TKedBookMarkOpt::SetDrawBookmarksFirst);
  p.Prop("EnableKeys", &TKedBookMarkOpt::EnableKeys, &TKedBookMarkOpt::SetEnableKeys);
  p.Prop("GlyphsVisible", &TKedBookMarkOpt::GlyphsVisible, &TKedBookMarkOpt::SetGlyphsVisible);
  p.Prop("LeftMargin", &TKedBookMarkOpt::LeftMargin, &TKedBookMarkOpt::SetLeftMargin);
  p.Prop("Xoffset", &TKedBookMarkOpt::Xoffset, &TKedBookMarkOpt::SetXoffset);
}

void TKedBookMarkOpt::Changed() {
  if (OnChange) OnChange(this);
}

void TKedBookMarkOpt::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TKedBookMarkOpt*>(source);
  if (other == nullptr) {
    inherited::Assign(source);
    return;
  }
  bookmarkImages_ = other->bookmarkImages_;
  drawBookmarksFirst_ = other->drawBookmarksFirst_;
  enableKeys_ = other->enableKeys_;
  glyphsVisible_ = other->glyphsVisible_;
  leftMargin_ = other->leftMargin_;
  xoffset_ = other->xoffset_;
  Changed();
}

void TKedBookMarkOpt::SetBookmarkImages(TCustomImageList* value) {
  if (value == bookmarkImages_) return;
  bookmarkImages_ = value;
  if (value != nullptr && owner_ != nullptr) RequestKedFreeNotification(value, owner_);
  Changed();
}

void TKedBookMarkOpt::SetDrawBookmarksFirst(bool value) {
  if (value == drawBookmarksFirst_) return;
  drawBookmarksFirst_ = value;
  Changed();
}

void TKedBookMarkOpt::SetGlyphsVisible(bool value) {
  if (value == glyphsVisible_) return;
  glyphsVisible_ = value;
  Changed();
}

void TKedBookMarkOpt::SetLeftMargin(int value) {
  if (value == leftMargin_) return;
  leftMargin_ = value;
  Changed();
}

void TKedBookMarkOpt::SetXoffset(int value) {
  if (value == xoffset_) return;
  xoffset_ = value;
  Changed();
}

// ---- Pictures ----------------------------------------------------------------------

// The program's own loader (Win32 half of this unit); portable builds have no
// resources.
std::unique_ptr<TBitmap> LoadKedBitmapResourceFromModule(const std::string& name);

namespace {

TKedBitmapResourceLoader& ResourceLoader() {
  static TKedBitmapResourceLoader loader = &LoadKedBitmapResourceFromModule;
  return loader;
}

}  // namespace

void SetKedBitmapResourceLoader(TKedBitmapResourceLoader loader) {
  ResourceLoader() = loader ? std::move(loader) : &LoadKedBitmapResourceFromModule;
}

std::unique_ptr<TBitmap> LoadKedBitmapResource(const std::string& name) {
  return ResourceLoader()(name);
}

TKedCellPlacement PlaceKedCell(int sourceLeft, int width, int height, int x, int y,
                               int lineHeight) {
  TKedCellPlacement p;
  if (height > lineHeight) {
    const int top = (height - lineHeight) / 2;
    p.Source = Rect(sourceLeft, top, sourceLeft + width, top + lineHeight);
    p.Dest = Rect(x, y, x + width, y + lineHeight);
  } else {
    const int top = y + (lineHeight - height) / 2;  // rounded toward zero
    p.Source = Rect(sourceLeft, 0, sourceLeft + width, height);
    p.Dest = Rect(x, top, x + width, top + height);
  }
  return p;
}

K_PUBLISH(TKedGlyph) {
  p.Prop("Glyph", &TKedGlyph::Glyph, &TKedGlyph::SetGlyph);
  p.Prop("MaskColor", &TKedGlyph::MaskColor, &TKedGlyph::SetMaskColor);
  p.Prop("Visible", &TKedGlyph::Visible, &TKedGlyph::SetVisible);
}

TKedGlyph::TKedGlyph(const std::string& resourceName, TColor maskColor)
    : glyph_(std::make_unique<TBitmap>()) {
  if (!resourceName.empty()) {
    internalGlyph_ = LoadKedBitmapResource(resourceName);
    internalMaskColor_ = maskColor;
  }
  glyph_->OnChange = MakeEvent<&TKedGlyph::GlyphChanged>(this);
}

TKedGlyph::~TKedGlyph() { glyph_->OnChange = nullptr; }

void TKedGlyph::Changed() {
  if (OnChange) OnChange(this);
}

void TKedGlyph::GlyphChanged(TObject*) { Changed(); }

void TKedGlyph::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TKedGlyph*>(source);
  if (other == nullptr) {
    inherited::Assign(source);
    return;
  }
  if (other->internalGlyph_) {
    if (!internalGlyph_) internalGlyph_ = std::make_unique<TBitmap>();
    internalGlyph_->Assign(other->internalGlyph_.get());
  } else {
    internalGlyph_.reset();
  }
  internalMaskColor_ = other->internalMaskColor_;
  {
    // The copy of the picture is part of this one change.
    glyph_->OnChange = nullptr;
    struct TRestore {
      TKedGlyph* self;
      ~TRestore() { self->glyph_->OnChange = MakeEvent<&TKedGlyph::GlyphChanged>(self); }
    } restore{this};
    glyph_->Assign(other->glyph_.get());
  }
  maskColor_ = other->maskColor_;
  visible_ = other->visible_;
  Changed();
}

TBitmap* TKedGlyph::PictureUsed() const {
  if (!glyph_->Empty()) return glyph_.get();
  return internalGlyph_.get();
}

TColor TKedGlyph::MaskColorUsed() const {
  return !glyph_->Empty() ? maskColor_ : internalMaskColor_;
}

int TKedGlyph::GetGlyphWidth() const {
  const TBitmap* picture = PictureUsed();
  return picture != nullptr ? picture->Width() : 0;
}

bool TKedGlyph::Placement(int x, int y, int lineHeight, TKedCellPlacement& placement) const {
  const TBitmap* picture = PictureUsed();
  if (picture == nullptr || picture->Empty()) return false;
  placement = PlaceKedCell(0, picture->Width(), picture->Height(), x, y, lineHeight);
  return true;
}

void TKedGlyph::SetMaskColor(TColor value) {
  if (value == maskColor_) return;
  maskColor_ = value;
  Changed();
}

void TKedGlyph::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  Changed();
}

// The strips shared by every internal image, by upper-cased resource name.
namespace {

struct TInternalResource {
  std::string Name;
  std::unique_ptr<TBitmap> Bitmap;
  int UsageCount = 0;
};

// Made on first use and freed when the last strip goes.
std::unique_ptr<std::vector<TInternalResource>>& InternalResources() {
  static std::unique_ptr<std::vector<TInternalResource>> cache;
  return cache;
}

}  // namespace

TKedInternalImage::TKedInternalImage(int count, const std::string& resourceName) : count_(count) {
  auto& cache = InternalResources();
  const std::string key = AnsiUpperCase(resourceName);
  if (cache) {
    for (TInternalResource& entry : *cache) {
      if (entry.Name == key) {
        ++entry.UsageCount;
        images_ = entry.Bitmap.get();
        break;
      }
    }
  }
  if (images_ == nullptr) {
    std::unique_ptr<TBitmap> bitmap = LoadKedBitmapResource(resourceName);
    if (!cache) cache = std::make_unique<std::vector<TInternalResource>>();
    images_ = bitmap.get();
    cache->push_back(TInternalResource{key, std::move(bitmap), 1});
  }
  // A strip of no pictures has no cells; guard the division.
  width_ = count_ > 0 ? (images_->Width() + count_ / 2) / count_ : 0;
  height_ = images_->Height();
}

TKedInternalImage::~TKedInternalImage() {
  auto& cache = InternalResources();
  if (!cache) return;
  for (auto it = cache->begin(); it != cache->end(); ++it) {
    if (it->Bitmap.get() != images_) continue;
    if (--it->UsageCount == 0) cache->erase(it);
    break;
  }
  if (cache->empty()) cache.reset();
}

int TKedInternalImage::CachedStripCount() {
  const auto& cache = InternalResources();
  return cache ? static_cast<int>(cache->size()) : 0;
}

bool TKedInternalImage::CellPlacement(int number, int x, int y, int lineHeight,
                                      TKedCellPlacement& placement) const {
  if (number < 0 || number >= count_) return false;
  placement = PlaceKedCell(number * width_, width_, height_, x, y, lineHeight);
  return true;
}

// ---- Method chains -----------------------------------------------------------------

void TKedMethodChain::RemoveHandler(const TNotifyEvent& method) {
  for (std::size_t i = methods_.size(); i > 0; --i)
    if (methods_[i - 1] == method)
      methods_.erase(methods_.begin() + static_cast<std::ptrdiff_t>(i - 1));
}

void TKedMethodChain::InvokeAll() {
  // A method may add or remove methods while the walk goes on.
  const std::vector<TNotifyEvent> methods = methods_;
  for (const TNotifyEvent& method : methods) {
    try {
      FireMethod(method);
    } catch (Exception& e) {
      if (!DoHandleException(e)) return;
    }
  }
}

bool TKedMethodChain::DoHandleException(Exception& e) {
  if (!OnException) throw;
  bool doContinue = true;
  try {
    OnException(this, e, doContinue);
  } catch (...) {
    throw EKedMethodChain(
        Format("%s.DoHandleException : MUST NOT occur any kind of exception in ExceptionHandler",
               ClassName()));
  }
  return doContinue;
}
