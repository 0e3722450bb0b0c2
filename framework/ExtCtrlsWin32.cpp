#include "framework/ExtCtrlsWin32.h"

#include <algorithm>
#include <map>

#include "framework/FormsWin32.h"
#include "framework/TypInfo.h"

namespace {

void Frame3D(HDC dc, RECT& r, TColor topLeft, TColor bottomRight, int width) {
  for (int i = 0; i < width; ++i) {
    TGdiObject<HPEN> tl(CreatePen(PS_SOLID, 1, static_cast<COLORREF>(ColorToRGB(topLeft))));
    TGdiObject<HPEN> br(CreatePen(PS_SOLID, 1, static_cast<COLORREF>(ColorToRGB(bottomRight))));
    {
      TSelectObject sel(dc, tl.Get());
      MoveToEx(dc, r.left, r.bottom - 1, nullptr);
      LineTo(dc, r.left, r.top);
      LineTo(dc, r.right - 1, r.top);
    }
    {
      TSelectObject sel(dc, br.Get());
      MoveToEx(dc, r.right - 1, r.top, nullptr);
      LineTo(dc, r.right - 1, r.bottom - 1);
      LineTo(dc, r.left - 1, r.bottom - 1);
    }
    InflateRect(&r, -1, -1);
  }
}

std::map<UINT_PTR, TTimer*>& Timers() {
  static std::map<UINT_PTR, TTimer*> timers;
  return timers;
}

}  // namespace

// ---- TCustomPanel -------------------------------------------------------------------------

K_PUBLISH(TCustomPanel) {
  p.Enum("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner,
         {"bvNone", "bvLowered", "bvRaised", "bvSpace"});
  p.Enum("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter,
         {"bvNone", "bvLowered", "bvRaised", "bvSpace"});
  p.Prop("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth);
  p.Prop("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth);
  p.Enum("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment,
         {"taLeftJustify", "taRightJustify", "taCenter"});
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents,
                   csSetCaption,      csOpaque,       csDoubleClicks};
  width_ = 185;
  height_ = 41;
  color_ = clBtnFace;
  brush_->SetColor(color_);
}

int TCustomPanel::BorderSize() const {
  int size = borderWidth_;
  if (bevelOuter_ != bvNone) size += bevelWidth_;
  if (bevelInner_ != bvNone) size += bevelWidth_;
  return size;
}

TRect TCustomPanel::ClientRect() {
  TRect r = TCustomControl::ClientRect();
  int b = BorderSize();
  return Rect(r.Left + b, r.Top + b, std::max(r.Left + b, r.Right - b),
              std::max(r.Top + b, r.Bottom - b));
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
  bevelInner_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
  bevelOuter_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(int value) {
  bevelWidth_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderWidth(int value) {
  borderWidth_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment value) {
  alignment_ = value;
  Invalidate();
}

void TCustomPanel::Paint() {
  HDC dc = Canvas()->Handle();
  RECT r;
  GetClientRect(handle_, &r);
  if (bevelOuter_ != bvNone && bevelOuter_ != bvSpace)
    Frame3D(dc, r, bevelOuter_ == bvLowered ? clBtnShadow : clBtnHighlight,
            bevelOuter_ == bvLowered ? clBtnHighlight : clBtnShadow, bevelWidth_);
  else if (bevelOuter_ == bvSpace)
    InflateRect(&r, -bevelWidth_, -bevelWidth_);
  InflateRect(&r, -borderWidth_, -borderWidth_);
  if (bevelInner_ != bvNone && bevelInner_ != bvSpace)
    Frame3D(dc, r, bevelInner_ == bvLowered ? clBtnShadow : clBtnHighlight,
            bevelInner_ == bvLowered ? clBtnHighlight : clBtnShadow, bevelWidth_);
  else if (bevelInner_ == bvSpace)
    InflateRect(&r, -bevelWidth_, -bevelWidth_);
  brush_->SetColor(color_);
  FillRect(dc, &r, BrushHandle(brush_.get()));
  std::string caption = Text();
  if (!caption.empty()) {
    TSelectObject font(dc, FontHandle(font_.get()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Enabled() ? font_->Color() : clGrayText)));
    UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    flags |= alignment_ == taCenter ? DT_CENTER : alignment_ == taRightJustify ? DT_RIGHT : DT_LEFT;
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r, flags);
  }
}

void TCustomPanel::WndProc(TMessage& m) {
  if (m.Msg == CM_TEXTCHANGED) Invalidate();
  if (m.Msg == WM_ERASEBKGND) {
    m.Result = 1;  // Paint fills the whole client area
    return;
  }
  TCustomControl::WndProc(m);
}

// ---- TBevel -------------------------------------------------------------------------------

K_PUBLISH(TBevel) {
  p.Enum(
      "Shape", &TBevel::Shape, &TBevel::SetShape,
      {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"});
  p.Enum("Style", &TBevel::Style, &TBevel::SetStyle, {"bsLowered", "bsRaised"});
}

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
  width_ = 50;
  height_ = 50;
}

void TBevel::SetShape(TBevelShape value) {
  if (value == shape_) return;
  shape_ = value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
  if (value == style_) return;
  style_ = value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* c = Canvas();
  TColor c1 = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor c2 = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
  int w = width_, h = height_;
  auto line = [c](TColor color, int x1, int y1, int x2, int y2) {
    c->Pen()->SetColor(color);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
  };
  c->Pen()->SetWidth(1);
  switch (shape_) {
    case bsBox:
      line(c1, 0, h - 1, 0, 0);
      line(c1, 0, 0, w - 1, 0);
      line(c2, w - 1, 0, w - 1, h - 1);
      line(c2, w - 1, h - 1, -1, h - 1);
      break;
    case bsFrame:
      c->Brush()->SetStyle(bsClear);
      c->Pen()->SetColor(c1);
      c->Rectangle(0, 0, w - 1, h - 1);
      c->Pen()->SetColor(c2);
      c->Rectangle(1, 1, w, h);
      break;
    case bsTopLine:
      line(c1, 0, 0, w, 0);
      line(c2, 0, 1, w, 1);
      break;
    case bsBottomLine:
      line(c1, 0, h - 2, w, h - 2);
      line(c2, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      line(c1, 0, 0, 0, h);
      line(c2, 1, 0, 1, h);
      break;
    case bsRightLine:
      line(c1, w - 2, 0, w - 2, h);
      line(c2, w - 1, 0, w - 1, h);
      break;
    case bsSpacer:
      break;
  }
}

// ---- TImage -------------------------------------------------------------------------------

K_PUBLISH(TImage) {
  p.Prop("Picture", &TImage::Picture, &TImage::SetPicture);
  p.Prop("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize);
  p.Prop("Stretch", &TImage::Stretch, &TImage::SetStretch);
  p.Prop("Center", &TImage::Center, &TImage::SetCenter);
  p.Prop("Transparent", &TImage::Transparent, &TImage::SetTransparent);
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
  width_ = 105;
  height_ = 105;
  picture_->OnChange = TNotifyEvent([this](TObject* s) { PictureChanged(s); });
}

TImage::~TImage() = default;

void TImage::PictureChanged(TObject*) {
  if (autoSize_ && picture_->Width() > 0 && picture_->Height() > 0)
    SetBounds(left_, top_, picture_->Width(), picture_->Height());
  if (TGraphic* g = picture_->Graphic()) g->SetTransparent(transparent_);
  if (picture_->Graphic() && !picture_->Graphic()->Transparent() && !stretch_ && !center_)
    controlStyle_ += csOpaque;
  else
    controlStyle_ -= csOpaque;
  Invalidate();
}

void TImage::SetAutoSize(bool value) {
  autoSize_ = value;
  PictureChanged(this);
}

void TImage::SetStretch(bool value) {
  stretch_ = value;
  PictureChanged(this);
}

void TImage::SetCenter(bool value) {
  center_ = value;
  PictureChanged(this);
}

void TImage::SetTransparent(bool value) {
  transparent_ = value;
  PictureChanged(this);
}

TRect TImage::DestRect() {
  int w = picture_->Width(), h = picture_->Height();
  if (stretch_) return Rect(0, 0, width_, height_);
  if (center_) return Bounds((width_ - w) / 2, (height_ - h) / 2, w, h);
  return Bounds(0, 0, w, h);
}

void TImage::Paint() {
  TGraphic* g = picture_->Graphic();
  if (!g || g->Empty()) return;
  Canvas()->StretchDraw(DestRect(), g);
}

// ---- TScrollBox ---------------------------------------------------------------------------

K_PUBLISH(TScrollBox) {
  p.Enum("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle,
         {"bsNone", "bsSingle"});
  p.Prop("AutoScroll", &TScrollBox::AutoScroll, &TScrollBox::SetAutoScroll);
}

TScrollBox::TScrollBox(TComponent* owner) : TWinControl(owner) {
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  width_ = 185;
  height_ = 41;
  color_ = clBtnFace;
  brush_->SetColor(color_);
}

void TScrollBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.Style |= WS_CLIPCHILDREN;
  if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateScrollBars();
}

void TScrollBox::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TScrollBox::SetAutoScroll(bool value) {
  autoScroll_ = value;
  UpdateScrollBars();
}

void TScrollBox::UpdateScrollBars() {
  if (!HandleAllocated() || updating_) return;
  updating_ = true;
  int right = 0, bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible()) continue;
    right = std::max(right, c->Left() + c->Width() + pos_.X);
    bottom = std::max(bottom, c->Top() + c->Height() + pos_.Y);
  }
  RECT r;
  GetClientRect(handle_, &r);
  SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
  si.nMax = autoScroll_ ? right - 1 : 0;
  si.nPage = static_cast<UINT>(r.right);
  si.nPos = pos_.X;
  SetScrollInfo(handle_, SB_HORZ, &si, TRUE);
  si.nMax = autoScroll_ ? bottom - 1 : 0;
  si.nPage = static_cast<UINT>(r.bottom);
  si.nPos = pos_.Y;
  SetScrollInfo(handle_, SB_VERT, &si, TRUE);
  updating_ = false;
}

void TScrollBox::ScrollBy(int dx, int dy) {
  if (!dx && !dy) return;
  DisableAlign();
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
  }
  EnableAlign();
  Invalidate();
}

void TScrollBox::Scroll(int bar, int code) {
  SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(handle_, bar, &si);
  int pos = si.nPos;
  int page = static_cast<int>(si.nPage);
  switch (code) {
    case SB_LINEUP:
      pos -= 8;
      break;
    case SB_LINEDOWN:
      pos += 8;
      break;
    case SB_PAGEUP:
      pos -= page;
      break;
    case SB_PAGEDOWN:
      pos += page;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      pos = si.nTrackPos;
      break;
    case SB_TOP:
      pos = si.nMin;
      break;
    case SB_BOTTOM:
      pos = si.nMax;
      break;
    default:
      return;
  }
  pos = std::clamp(pos, si.nMin, std::max(si.nMin, si.nMax - page + 1));
  int delta = pos - (bar == SB_HORZ ? pos_.X : pos_.Y);
  if (bar == SB_HORZ)
    pos_.X = pos;
  else
    pos_.Y = pos;
  ScrollBy(bar == SB_HORZ ? -delta : 0, bar == SB_VERT ? -delta : 0);
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(handle_, bar, &si, TRUE);
}

void TScrollBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_HSCROLL:
      if (!m.LParam) {
        Scroll(SB_HORZ, LOWORD(m.WParam));
        return;
      }
      break;
    case WM_VSCROLL:
      if (!m.LParam) {
        Scroll(SB_VERT, LOWORD(m.WParam));
        return;
      }
      break;
    case WM_SIZE:
      TWinControl::WndProc(m);
      UpdateScrollBars();
      return;
    case CM_CONTROLCHANGE:
    case CM_CONTROLLISTCHANGE:
      UpdateScrollBars();
      return;
  }
  TWinControl::WndProc(m);
}

// ---- TTimer -------------------------------------------------------------------------------

K_PUBLISH(TTimer) {
  p.Prop("Enabled", &TTimer::Enabled, &TTimer::SetEnabled);
  p.Prop("Interval", &TTimer::Interval, &TTimer::SetInterval);
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
  enabled_ = false;
  UpdateTimer();
}

void CALLBACK TTimer::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = Timers().find(id);
  if (it == Timers().end()) return;
  TTimer* t = it->second;
  try {
    t->Timer();
  } catch (...) {
    if (Application) Application->HandleException(t);
  }
}

void TTimer::Timer() {
  if (onTimer_) onTimer_(this);
}

void TTimer::UpdateTimer() {
  if (id_) {
    KillTimer(nullptr, id_);
    Timers().erase(id_);
    id_ = 0;
  }
  if (enabled_ && interval_ > 0 && onTimer_ && !ComponentState().Contains(csLoading) &&
      !ComponentState().Contains(csDestroying)) {
    id_ = SetTimer(nullptr, 0, interval_, &TTimer::TimerProc);
    if (!id_) throw EOutOfResources("Not enough timers available");
    Timers()[id_] = this;
  }
}

void TTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned value) {
  if (value == interval_) return;
  interval_ = value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent value) {
  onTimer_ = std::move(value);
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}
