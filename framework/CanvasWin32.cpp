// GDI objects of the drawing tools and the canvas on a device context.
#include "framework/CanvasWin32.h"

#include "framework/SysUtils.h"

namespace {
constexpr int kDefaultPixelsPerInch = 96;
void DeleteGdiObject(void* object) { ::DeleteObject(static_cast<HGDIOBJ>(object)); }
// GDI wants plain RGB: system colours are resolved, the top byte dropped.
COLORREF ToColorRef(TColor color) { return static_cast<COLORREF>(ColorToRGB(color)) & 0x00FFFFFF; }
}  // namespace

int ScreenPixelsPerInch() {
  static const int ppi = [] {
    TWindowDC screen(nullptr);
    int v = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return v > 0 ? v : kDefaultPixelsPerInch;
  }();
  return ppi;
}

// Reaches the tools' private fields: a handle taken over sets them all with one change.
class TGdiTools {
 public:
  static HFONT Handle(TFont& font);
  static void SetHandle(TFont& font, HFONT value);
  static bool Allocated(const TFont& font) { return bool(font.handle_); }
  static HPEN Handle(TPen& pen);
  static void SetHandle(TPen& pen, HPEN value);
  static HBRUSH Handle(TBrush& brush);
  static void SetHandle(TBrush& brush, HBRUSH value);
};

HFONT FontHandle(TFont* font) { return TGdiTools::Handle(*font); }
void SetFontHandle(TFont* font, HFONT value) { TGdiTools::SetHandle(*font, value); }
bool FontHandleAllocated(const TFont* font) { return TGdiTools::Allocated(*font); }
HPEN PenHandle(TPen* pen) { return TGdiTools::Handle(*pen); }
void SetPenHandle(TPen* pen, HPEN value) { TGdiTools::SetHandle(*pen, value); }
HBRUSH BrushHandle(TBrush* brush) { return TGdiTools::Handle(*brush); }
void SetBrushHandle(TBrush* brush, HBRUSH value) { TGdiTools::SetHandle(*brush, value); }

// ---------------------------------------------------------------- TFont

HFONT TGdiTools::Handle(TFont& font) {
  if (!font.handle_) {
    LOGFONTA lf{};
    lf.lfHeight = font.height_;
    lf.lfWeight = font.style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.style_.Contains(fsItalic);
    lf.lfUnderline = font.style_.Contains(fsUnderline);
    lf.lfStrikeOut = font.style_.Contains(fsStrikeOut);
    lf.lfCharSet = font.charset_;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = font.pitch_ == fpFixed      ? FIXED_PITCH
                          : font.pitch_ == fpVariable ? VARIABLE_PITCH
                                                 : DEFAULT_PITCH;
    font.name_.copy(lf.lfFaceName, LF_FACESIZE - 1);
    font.handle_.Reset(::CreateFontIndirectA(&lf), DeleteGdiObject);
  }
  return static_cast<HFONT>(font.handle_.Get());
}

void TGdiTools::SetHandle(TFont& font, HFONT value) {
  if (value && value == font.handle_.Get()) return;
  LOGFONTA lf{};
  const bool known = value && ::GetObjectA(value, sizeof(lf), &lf) == sizeof(lf);
  if (known) {
    font.name_ = lf.lfFaceName;
    font.height_ = lf.lfHeight;
    font.style_ = TFontStyles();
    if (lf.lfWeight >= FW_BOLD) font.style_ += fsBold;
    if (lf.lfItalic) font.style_ += fsItalic;
    if (lf.lfUnderline) font.style_ += fsUnderline;
    if (lf.lfStrikeOut) font.style_ += fsStrikeOut;
    font.charset_ = lf.lfCharSet;
    switch (lf.lfPitchAndFamily & 3) {
      case FIXED_PITCH:
        font.pitch_ = fpFixed;
        break;
      case VARIABLE_PITCH:
        font.pitch_ = fpVariable;
        break;
      default:
        font.pitch_ = fpDefault;
    }
  }
  TNativeHandle old(std::move(font.handle_));  // deleted after Changed
  // An equal font of its own: the given one stays with its owner (a window, the caller).
  if (known) font.handle_.Reset(::CreateFontIndirectA(&lf), DeleteGdiObject);
  font.Changed();
}

// ---------------------------------------------------------------- TPen

HPEN TGdiTools::Handle(TPen& pen) {
  if (!pen.handle_) {
    static const int kStyles[] = {PS_SOLID,      PS_DASH, PS_DOT,        PS_DASHDOT,
                                  PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    pen.handle_.Reset(::CreatePen(kStyles[pen.style_], pen.width_, ToColorRef(pen.color_)), DeleteGdiObject);
  }
  return static_cast<HPEN>(pen.handle_.Get());
}

void TGdiTools::SetHandle(TPen& pen, HPEN value) {
  if (value && value == pen.handle_.Get()) return;
  LOGPEN lp{};
  const bool known = value && ::GetObjectA(value, sizeof(lp), &lp) == sizeof(lp);
  if (known) {
    pen.color_ = static_cast<TColor>(lp.lopnColor);
    pen.width_ = lp.lopnWidth.x;
    switch (lp.lopnStyle) {
      case PS_DASH:
        pen.style_ = psDash;
        break;
      case PS_DOT:
        pen.style_ = psDot;
        break;
      case PS_DASHDOT:
        pen.style_ = psDashDot;
        break;
      case PS_DASHDOTDOT:
        pen.style_ = psDashDotDot;
        break;
      case PS_NULL:
        pen.style_ = psClear;
        break;
      case PS_INSIDEFRAME:
        pen.style_ = psInsideFrame;
        break;
      default:
        pen.style_ = psSolid;
    }
  }
  TNativeHandle old(std::move(pen.handle_));  // deleted after Changed
  if (known) pen.handle_.Reset(::CreatePenIndirect(&lp), DeleteGdiObject);
  pen.Changed();
}

// ---------------------------------------------------------------- TBrush

HBRUSH TGdiTools::Handle(TBrush& brush) {
  if (!brush.handle_) {
    LOGBRUSH lb{};
    lb.lbColor = ToColorRef(brush.color_);
    switch (brush.style_) {
      case bsSolid:
        lb.lbStyle = BS_SOLID;
        break;
      case bsClear:
        lb.lbStyle = BS_HOLLOW;
        break;
      default:
        lb.lbStyle = BS_HATCHED;
        lb.lbHatch = static_cast<ULONG_PTR>(brush.style_) - bsHorizontal;  // HS_HORIZONTAL ...
    }
    brush.handle_.Reset(::CreateBrushIndirect(&lb), DeleteGdiObject);
  }
  return static_cast<HBRUSH>(brush.handle_.Get());
}

void TGdiTools::SetHandle(TBrush& brush, HBRUSH value) {
  if (value && value == brush.handle_.Get()) return;
  LOGBRUSH lb{};
  const bool known = value && ::GetObjectA(value, sizeof(lb), &lb) == sizeof(lb);
  if (known) {
    brush.color_ = static_cast<TColor>(lb.lbColor);
    if (lb.lbStyle == BS_HOLLOW)
      brush.style_ = bsClear;
    else if (lb.lbStyle == BS_HATCHED && lb.lbHatch <= HS_DIAGCROSS)
      brush.style_ = static_cast<TBrushStyle>(bsHorizontal + lb.lbHatch);
    else
      brush.style_ = bsSolid;
  }
  TNativeHandle old(std::move(brush.handle_));  // deleted after Changed
  if (known) brush.handle_.Reset(::CreateBrushIndirect(&lb), DeleteGdiObject);
  brush.Changed();
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
  HGDIOBJ old = ::SelectObject(dc_, FontHandle(font_.get()));
  if (!oldFont_) oldFont_ = old;
  ::SetTextColor(dc_, ToColorRef(font_->Color()));
  state_ += csFontValid;
}

void TCanvas::SelectPen() {
  HGDIOBJ old = ::SelectObject(dc_, PenHandle(pen_.get()));
  if (!oldPen_) oldPen_ = old;
  ::SetROP2(dc_, static_cast<int>(pen_->Mode()) + 1);
  state_ += csPenValid;
}

void TCanvas::SelectBrush() {
  HGDIOBJ old = ::SelectObject(dc_, BrushHandle(brush_.get()));
  if (!oldBrush_) oldBrush_ = old;
  ::UnrealizeObject(BrushHandle(brush_.get()));
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
  ::FillRect(dc_, &r, BrushHandle(brush_.get()));
  Changed();
}

void TCanvas::FrameRect(const TRect& rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::FrameRect(dc_, &r, BrushHandle(brush_.get()));
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
