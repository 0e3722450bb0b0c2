#include "framework/Canvas.h"

#include "framework/SysUtils.h"

K_PUBLISH(TFont) {
  p.Prop("Charset", &TFont::Charset, &TFont::SetCharset);
  p.Prop("Color", &TFont::Color, &TFont::SetColor);
  p.Prop("Height", &TFont::Height, &TFont::SetHeight);
  p.Prop("Name", &TFont::Name, &TFont::SetName);
  p.Enum("Pitch", &TFont::Pitch, &TFont::SetPitch, {"fpDefault", "fpVariable", "fpFixed"});
  p.Prop("Size", &TFont::Size, &TFont::SetSize);
  p.Set("Style", &TFont::Style, &TFont::SetStyle,
        {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
}

K_PUBLISH(TPen) {
  p.Prop("Color", &TPen::Color, &TPen::SetColor);
  p.Enum("Mode", &TPen::Mode, &TPen::SetMode,
         {"pmBlack", "pmNotMerge", "pmMaskNotPen", "pmNotCopy", "pmMaskPenNot", "pmNot", "pmXor",
          "pmNotMask", "pmMask", "pmNotXor", "pmNop", "pmMergeNotPen", "pmCopy", "pmMergePenNot",
          "pmMerge", "pmWhite"});
  p.Enum("Style", &TPen::Style, &TPen::SetStyle,
         {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"});
  p.Prop("Width", &TPen::Width, &TPen::SetWidth);
}

K_PUBLISH(TBrush) {
  p.Prop("Color", &TBrush::Color, &TBrush::SetColor);
  p.Enum("Style", &TBrush::Style, &TBrush::SetStyle,
         {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal",
          "bsCross", "bsDiagCross"});
}

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------- TFont

TFont::TFont()
    : name_("MS Sans Serif"),
      height_(-11),
      color_(clWindowText),
      pixelsPerInch_(ScreenPixelsPerInch()) {
  height_ = -MulDiv(8, pixelsPerInch_, 72);
}

TFont::~TFont() = default;

void TFont::Assign(TPersistent* source) {
  if (auto* font = dynamic_cast<TFont*>(source)) {
    if (font == this) return;
    name_ = font->name_;
    // A font measured at another resolution keeps its point size.
    height_ = font->pixelsPerInch_ == pixelsPerInch_ ? font->height_
                                                     : -MulDiv(font->Size(), pixelsPerInch_, 72);
    color_ = font->color_;
    style_ = font->style_;
    charset_ = font->charset_;
    pitch_ = font->pitch_;
    PropertiesChanged();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TFont::PropertiesChanged() {
  // A canvas may still have the old object selected: it lets go while it hears of
  // the change, and only then is the object deleted.
  TNativeHandle old(std::move(handle_));
  Changed();
}

void TFont::SetName(const std::string& value) {
  if (value.empty() || value == name_) return;
  name_ = value;
  PropertiesChanged();
}

void TFont::SetHeight(int value) {
  if (value == height_) return;
  height_ = value;
  PropertiesChanged();
}

int TFont::Size() const { return -MulDiv(height_, 72, pixelsPerInch_); }

void TFont::SetSize(int value) { SetHeight(-MulDiv(value, pixelsPerInch_, 72)); }

void TFont::SetColor(TColor value) {
  // The colour is not part of the GDI font: the handle stays.
  if (value == color_) return;
  color_ = value;
  Changed();
}

void TFont::SetStyle(TFontStyles value) {
  if (value == style_) return;
  style_ = value;
  PropertiesChanged();
}

void TFont::SetCharset(uint8_t value) {
  if (value == charset_) return;
  charset_ = value;
  PropertiesChanged();
}

void TFont::SetPitch(TFontPitch value) {
  if (value == pitch_) return;
  pitch_ = value;
  PropertiesChanged();
}


// ---------------------------------------------------------------- TPen

TPen::TPen() : color_(clBlack) {}
TPen::~TPen() = default;

void TPen::Assign(TPersistent* source) {
  if (auto* pen = dynamic_cast<TPen*>(source)) {
    if (pen == this) return;
    color_ = pen->color_;
    width_ = pen->width_;
    style_ = pen->style_;
    mode_ = pen->mode_;
    PropertiesChanged();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TPen::PropertiesChanged() {
  // A canvas may still have the old object selected: it lets go while it hears of
  // the change, and only then is the object deleted.
  TNativeHandle old(std::move(handle_));
  Changed();
}

void TPen::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  PropertiesChanged();
}

void TPen::SetWidth(int value) {
  if (value < 0 || value == width_) return;
  width_ = value;
  PropertiesChanged();
}

void TPen::SetStyle(TPenStyle value) {
  if (value == style_) return;
  style_ = value;
  PropertiesChanged();
}

void TPen::SetMode(TPenMode value) {
  // The mode is a DC setting, applied when the pen is selected.
  if (value == mode_) return;
  mode_ = value;
  Changed();
}


// ---------------------------------------------------------------- TBrush

TBrush::TBrush() : color_(clWhite) {}
TBrush::~TBrush() = default;

void TBrush::Assign(TPersistent* source) {
  if (auto* brush = dynamic_cast<TBrush*>(source)) {
    if (brush == this) return;
    color_ = brush->color_;
    style_ = brush->style_;
    PropertiesChanged();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TBrush::PropertiesChanged() {
  // A canvas may still have the old object selected: it lets go while it hears of
  // the change, and only then is the object deleted.
  TNativeHandle old(std::move(handle_));
  Changed();
}

void TBrush::SetColor(TColor value) {
  if (value == color_ && style_ != bsClear) return;
  color_ = value;
  if (style_ == bsClear) style_ = bsSolid;
  PropertiesChanged();
}

void TBrush::SetStyle(TBrushStyle value) {
  if (value == style_) return;
  style_ = value;
  PropertiesChanged();
}
