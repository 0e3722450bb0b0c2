#include "framework/Canvas.h"

#include "framework/SysUtils.h"

namespace {

constexpr int kDefaultPixelsPerInch = 96;

int ScreenPixelsPerInch() {
#ifdef _WIN32
  static const int ppi = [] {
    TWindowDC screen(nullptr);
    int v = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return v > 0 ? v : kDefaultPixelsPerInch;
  }();
  return ppi;
#else
  return kDefaultPixelsPerInch;
#endif
}

#ifdef _WIN32
// GDI wants plain RGB: system colours are resolved, the top byte dropped.
COLORREF ToColorRef(TColor color) { return static_cast<COLORREF>(ColorToRGB(color)) & 0x00FFFFFF; }
#endif

}  // namespace

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
#ifdef _WIN32
  // A canvas may still have the old object selected: it lets go while it hears of
  // the change, and only then is the object deleted.
  TGdiObject<HFONT> old(handle_.Release());
#endif
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

#ifdef _WIN32
HFONT TFont::Handle() {
  if (!handle_) {
    LOGFONTA lf{};
    lf.lfHeight = height_;
    lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style_.Contains(fsItalic);
    lf.lfUnderline = style_.Contains(fsUnderline);
    lf.lfStrikeOut = style_.Contains(fsStrikeOut);
    lf.lfCharSet = charset_;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = pitch_ == fpFixed      ? FIXED_PITCH
                          : pitch_ == fpVariable ? VARIABLE_PITCH
                                                 : DEFAULT_PITCH;
    name_.copy(lf.lfFaceName, LF_FACESIZE - 1);
    handle_.Reset(::CreateFontIndirectA(&lf));
  }
  return handle_.Get();
}

void TFont::SetHandle(HFONT value) {
  if (value && value == handle_.Get()) return;
  LOGFONTA lf{};
  const bool known = value && ::GetObjectA(value, sizeof(lf), &lf) == sizeof(lf);
  if (known) {
    name_ = lf.lfFaceName;
    height_ = lf.lfHeight;
    style_ = TFontStyles();
    if (lf.lfWeight >= FW_BOLD) style_ += fsBold;
    if (lf.lfItalic) style_ += fsItalic;
    if (lf.lfUnderline) style_ += fsUnderline;
    if (lf.lfStrikeOut) style_ += fsStrikeOut;
    charset_ = lf.lfCharSet;
    switch (lf.lfPitchAndFamily & 3) {
      case FIXED_PITCH:
        pitch_ = fpFixed;
        break;
      case VARIABLE_PITCH:
        pitch_ = fpVariable;
        break;
      default:
        pitch_ = fpDefault;
    }
  }
  TGdiObject<HFONT> old(handle_.Release());  // deleted after Changed
  // An equal font of its own: the given one stays with its owner (a window, the caller).
  if (known) handle_.Reset(::CreateFontIndirectA(&lf));
  Changed();
}
#endif

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
#ifdef _WIN32
  // A canvas may still have the old object selected: it lets go while it hears of
  // the change, and only then is the object deleted.
  TGdiObject<HPEN> old(handle_.Release());
#endif
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

#ifdef _WIN32
HPEN TPen::Handle() {
  if (!handle_) {
    static const int kStyles[] = {PS_SOLID,      PS_DASH, PS_DOT,        PS_DASHDOT,
                                  PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    handle_.Reset(::CreatePen(kStyles[style_], width_, ToColorRef(color_)));
  }
  return handle_.Get();
}

void TPen::SetHandle(HPEN value) {
  if (value && value == handle_.Get()) return;
  LOGPEN lp{};
  const bool known = value && ::GetObjectA(value, sizeof(lp), &lp) == sizeof(lp);
  if (known) {
    color_ = static_cast<TColor>(lp.lopnColor);
    width_ = lp.lopnWidth.x;
    switch (lp.lopnStyle) {
      case PS_DASH:
        style_ = psDash;
        break;
      case PS_DOT:
        style_ = psDot;
        break;
      case PS_DASHDOT:
        style_ = psDashDot;
        break;
      case PS_DASHDOTDOT:
        style_ = psDashDotDot;
        break;
      case PS_NULL:
        style_ = psClear;
        break;
      case PS_INSIDEFRAME:
        style_ = psInsideFrame;
        break;
      default:
        style_ = psSolid;
    }
  }
  TGdiObject<HPEN> old(handle_.Release());  // deleted after Changed
  if (known) handle_.Reset(::CreatePenIndirect(&lp));
  Changed();
}
#endif

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
#ifdef _WIN32
  // A canvas may still have the old object selected: it lets go while it hears of
  // the change, and only then is the object deleted.
  TGdiObject<HBRUSH> old(handle_.Release());
#endif
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

#ifdef _WIN32
HBRUSH TBrush::Handle() {
  if (!handle_) {
    LOGBRUSH lb{};
    lb.lbColor = ToColorRef(color_);
    switch (style_) {
      case bsSolid:
        lb.lbStyle = BS_SOLID;
        break;
      case bsClear:
        lb.lbStyle = BS_HOLLOW;
        break;
      default:
        lb.lbStyle = BS_HATCHED;
        lb.lbHatch = static_cast<ULONG_PTR>(style_) - bsHorizontal;  // HS_HORIZONTAL ...
    }
    handle_.Reset(::CreateBrushIndirect(&lb));
  }
  return handle_.Get();
}

void TBrush::SetHandle(HBRUSH value) {
  if (value && value == handle_.Get()) return;
  LOGBRUSH lb{};
  const bool known = value && ::GetObjectA(value, sizeof(lb), &lb) == sizeof(lb);
  if (known) {
    color_ = static_cast<TColor>(lb.lbColor);
    if (lb.lbStyle == BS_HOLLOW)
      style_ = bsClear;
    else if (lb.lbStyle == BS_HATCHED && lb.lbHatch <= HS_DIAGCROSS)
      style_ = static_cast<TBrushStyle>(bsHorizontal + lb.lbHatch);
    else
      style_ = bsSolid;
  }
  TGdiObject<HBRUSH> old(handle_.Release());  // deleted after Changed
  if (known) handle_.Reset(::CreateBrushIndirect(&lb));
  Changed();
}

// ---------------------------------------------------------------- TCanvas

TCanvas::TCanvas()
    : font_(std::make_unique<TFont>()),
      pen_(std::make_unique<TPen>()),
      brush_(std::make_unique<TBrush>()) {
  auto changed = [this](TObject* sender) { ToolChanged(sender); };
  font_->OnChange = changed;
  pen_->OnChange = changed;
  brush_->OnChange = changed;
}

TCanvas::~TCanvas() {
  // Descendants release their own DCs; a borrowed DC gets its objects back.
  DeselectHandles();
}

HDC TCanvas::Handle() {
  // Code that draws on the DC directly (DrawText, BitBlt) gets the canvas's font,
  // colours, pen and brush with it.
  RequiredState({csHandleValid, csFontValid, csPenValid, csBrushValid});
  return dc_;
}

void TCanvas::SetHandle(HDC value) {
  if (value == dc_) return;
  DeselectHandles();
  dc_ = value;
  state_ = value ? TCanvasState{csHandleValid} : TCanvasState();
}

void TCanvas::DeselectHandles() {
  if (!dc_) return;
  if (oldFont_) ::SelectObject(dc_, oldFont_);
  if (oldPen_) ::SelectObject(dc_, oldPen_);
  if (oldBrush_) ::SelectObject(dc_, oldBrush_);
  oldFont_ = oldPen_ = oldBrush_ = nullptr;
  state_ -= TCanvasState{csFontValid, csPenValid, csBrushValid};
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::ToolChanged(TObject* sender) {
  // The changed tool's old GDI object may be deleted next: take it out of the DC now.
  if (!dc_) return;
  if (sender == font_.get() && state_.Contains(csFontValid)) {
    ::SelectObject(dc_, oldFont_);
    oldFont_ = nullptr;
    state_ -= csFontValid;
  } else if (sender == pen_.get() && state_.Contains(csPenValid)) {
    ::SelectObject(dc_, oldPen_);
    oldPen_ = nullptr;
    state_ -= csPenValid;
  } else if (sender == brush_.get() && state_.Contains(csBrushValid)) {
    ::SelectObject(dc_, oldBrush_);
    oldBrush_ = nullptr;
    state_ -= csBrushValid;
  }
}

void TCanvas::RequiredState(TCanvasState required) {
  if (!dc_) {
    CreateHandle();
    if (!dc_) throw EInvalidOperation("Canvas does not allow drawing");
  }
  if (required.Contains(csFontValid) && !state_.Contains(csFontValid)) SelectFont();
  if (required.Contains(csPenValid) && !state_.Contains(csPenValid)) SelectPen();
  if (required.Contains(csBrushValid) && !state_.Contains(csBrushValid)) SelectBrush();
}

void TCanvas::SelectFont() {
  HGDIOBJ old = ::SelectObject(dc_, font_->Handle());
  if (!oldFont_) oldFont_ = old;
  ::SetTextColor(dc_, ToColorRef(font_->Color()));
  state_ += csFontValid;
}

void TCanvas::SelectPen() {
  HGDIOBJ old = ::SelectObject(dc_, pen_->Handle());
  if (!oldPen_) oldPen_ = old;
  ::SetROP2(dc_, static_cast<int>(pen_->Mode()) + 1);
  state_ += csPenValid;
}

void TCanvas::SelectBrush() {
  HGDIOBJ old = ::SelectObject(dc_, brush_->Handle());
  if (!oldBrush_) oldBrush_ = old;
  ::UnrealizeObject(brush_->Handle());
  ::SetBkColor(dc_, ToColorRef(brush_->Color()));
  ::SetBkMode(dc_, brush_->Style() == bsSolid ? OPAQUE : TRANSPARENT);
  state_ += csBrushValid;
}

void TCanvas::Lock() {
  lock_.lock();
  ++lockCount_;
}

bool TCanvas::TryLock() {
  if (!lock_.try_lock()) return false;
  ++lockCount_;
  return true;
}

void TCanvas::Unlock() {
  --lockCount_;
  lock_.unlock();
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

TPoint TCanvas::PenPos() {
  RequiredState({csHandleValid});
  POINT p{};
  ::GetCurrentPositionEx(dc_, &p);
  return Point(p.x, p.y);
}

void TCanvas::FillRect(const TRect& rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::FillRect(dc_, &r, brush_->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::FrameRect(dc_, &r, brush_->Handle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::DrawFocusRect(dc_, &r);
  Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Rectangle(dc_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::RoundRect(dc_, x1, y1, x2, y2, cornerWidth, cornerHeight);
  Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Ellipse(dc_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  ::Arc(dc_, x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Pie(dc_, x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  if (points.empty()) return;
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  static_assert(sizeof(TPoint) == sizeof(POINT));
  ::Polygon(dc_, reinterpret_cast<const POINT*>(points.data()), static_cast<int>(points.size()));
  Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  if (points.empty()) return;
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Polyline(dc_, reinterpret_cast<const POINT*>(points.data()), static_cast<int>(points.size()));
  Changed();
}

void TCanvas::MoveTo(int x, int y) {
  RequiredState({csHandleValid});
  ::MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::LineTo(dc_, x, y);
  Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  ::ExtTextOutA(dc_, x, y, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
  // The pen moves to the end of the text, so texts can be written one after another.
  ::MoveToEx(dc_, x + TextWidth(text), y, nullptr);
  Changed();
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  UINT options = ETO_CLIPPED;
  if (brush_->Style() != bsClear) options |= ETO_OPAQUE;
  ::ExtTextOutA(dc_, x, y, options, &r, text.data(), static_cast<UINT>(text.size()), nullptr);
  Changed();
}

TSize TCanvas::TextExtent(const std::string& text) {
  RequiredState({csHandleValid, csFontValid});
  SIZE s{};
  ::GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &s);
  return TSize{s.cx, s.cy};
}

TColor TCanvas::Pixels(int x, int y) {
  RequiredState({csHandleValid});
  return static_cast<TColor>(::GetPixel(dc_, x, y));
}

void TCanvas::SetPixels(int x, int y, TColor value) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  ::SetPixel(dc_, x, y, ToColorRef(value));
  Changed();
}

TRect TCanvas::ClipRect() {
  RequiredState({csHandleValid});
  RECT r{};
  ::GetClipBox(dc_, &r);
  return Rect(r.left, r.top, r.right, r.bottom);
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  graphic->Draw(this, Rect(x, y, x + graphic->Width(), y + graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
  if (!graphic) return;
  Changing();
  RequiredState({csHandleValid});
  graphic->Draw(this, rect);
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source) {
  if (!canvas) return;
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  HDC from = canvas->Handle();
  ::StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), from, source.Left, source.Top,
               source.Width(), source.Height(), copyMode_);
  Changed();
}

#endif  // _WIN32
