#include "framework/ButtonsWin32.h"

#include <algorithm>

#include "framework/FormsWin32.h"
#include "framework/TypInfo.h"

void DrawButtonFace(TCanvas* canvas, const TRect& client, TBitmap* glyph, int numGlyphs,
                    TButtonState state, TButtonLayout layout, int margin, int spacing,
                    const std::string& caption, TFont* font) {
  int gw = 0, gh = 0;
  bool hasGlyph = glyph && !glyph->Empty();
  numGlyphs = std::clamp(numGlyphs, 1, 4);
  if (hasGlyph) {
    gw = glyph->Width() / numGlyphs;
    gh = glyph->Height();
  }
  canvas->Font()->Assign(font);
  TSize ts = caption.empty() ? TSize{} : canvas->TextExtent(caption);
  bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
  int gap = hasGlyph && !caption.empty() ? spacing : 0;
  int totalW = horizontal ? gw + gap + ts.cx : std::max(gw, ts.cx);
  int totalH = horizontal ? std::max(gh, ts.cy) : gh + gap + ts.cy;
  int x0 = client.Left + (client.Width() - totalW) / 2;
  int y0 = client.Top + (client.Height() - totalH) / 2;
  if (margin >= 0) {
    if (layout == blGlyphLeft) x0 = client.Left + margin;
    if (layout == blGlyphRight) x0 = client.Right - margin - totalW;
    if (layout == blGlyphTop) y0 = client.Top + margin;
    if (layout == blGlyphBottom) y0 = client.Bottom - margin - totalH;
  }
  int offset = state == bsDown || state == bsExclusive ? 1 : 0;
  TPoint gp{}, tp{};
  switch (layout) {
    case blGlyphLeft:
      gp = {x0, client.Top + (client.Height() - gh) / 2};
      tp = {x0 + gw + gap, client.Top + (client.Height() - ts.cy) / 2};
      break;
    case blGlyphRight:
      tp = {x0, client.Top + (client.Height() - ts.cy) / 2};
      gp = {x0 + ts.cx + gap, client.Top + (client.Height() - gh) / 2};
      break;
    case blGlyphTop:
      gp = {client.Left + (client.Width() - gw) / 2, y0};
      tp = {client.Left + (client.Width() - ts.cx) / 2, y0 + gh + gap};
      break;
    case blGlyphBottom:
      tp = {client.Left + (client.Width() - ts.cx) / 2, y0};
      gp = {client.Left + (client.Width() - gw) / 2, y0 + ts.cy + gap};
      break;
  }
  if (hasGlyph) {
    int index = 0;
    if (state == bsDisabled && numGlyphs > 1) index = 1;
    if (state == bsDown && numGlyphs > 2) index = 2;
    if (state == bsExclusive && numGlyphs > 3) index = 3;
    TRect dest = Bounds(gp.X + offset, gp.Y + offset, gw, gh);
    if (numGlyphs == 1) {
      canvas->Draw(dest.Left, dest.Top, glyph);
    } else {
      canvas->CopyRect(dest, glyph->Canvas(), Bounds(index * gw, 0, gw, gh));
    }
  }
  if (!caption.empty()) {
    canvas->Brush()->SetStyle(bsClear);
    if (state == bsDisabled) {
      canvas->Font()->SetColor(clBtnHighlight);
      canvas->TextOut(tp.X + 1, tp.Y + 1, caption);
      canvas->Font()->SetColor(clBtnShadow);
    }
    canvas->TextOut(tp.X + offset, tp.Y + offset, caption);
  }
}

// ---- TBitBtn ------------------------------------------------------------------------------

K_PUBLISH(TBitBtn) {
  p.Prop("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph);
  p.Prop("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs);
  p.Enum("Kind", &TBitBtn::Kind, &TBitBtn::SetKind,
         {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort",
          "bkRetry", "bkIgnore", "bkAll"});
  p.Enum("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout,
         {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"});
  p.Prop("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin);
  p.Prop("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing);
}

TBitBtn::TBitBtn(TComponent* owner)
    : TButton(owner),
      glyph_(std::make_unique<TBitmap>()),
      drawCanvas_(std::make_unique<TCanvas>()) {
  glyph_->OnChange = TNotifyEvent([this](TObject*) { Invalidate(); });
}

TBitBtn::~TBitBtn() = default;

void TBitBtn::CreateParams(TCreateParams& p) {
  TButton::CreateParams(p);
  p.Style = (p.Style & ~static_cast<DWORD>(BS_DEFPUSHBUTTON | BS_PUSHBUTTON)) | BS_OWNERDRAW;
}

void TBitBtn::SetGlyph(TBitmap* value) {
  glyph_->Assign(value);
  Invalidate();
}

void TBitBtn::SetNumGlyphs(int value) {
  numGlyphs_ = std::clamp(value, 1, 4);
  Invalidate();
}

void TBitBtn::SetKind(TBitBtnKind value) {
  kind_ = value;
  switch (value) {
    case bkOK:
      SetModalResult(mrOk);
      SetDefault(true);
      break;
    case bkCancel:
      SetModalResult(mrCancel);
      SetCancel(true);
      break;
    case bkYes:
      SetModalResult(mrYes);
      break;
    case bkNo:
      SetModalResult(mrNo);
      break;
    case bkAbort:
      SetModalResult(mrAbort);
      break;
    case bkRetry:
      SetModalResult(mrRetry);
      break;
    case bkIgnore:
      SetModalResult(mrIgnore);
      break;
    case bkAll:
      SetModalResult(mrAll);
      break;
    default:
      break;
  }
}

void TBitBtn::SetLayout(TButtonLayout value) {
  layout_ = value;
  Invalidate();
}

void TBitBtn::SetMargin(int value) {
  margin_ = value;
  Invalidate();
}

void TBitBtn::SetSpacing(int value) {
  spacing_ = value;
  Invalidate();
}

void TBitBtn::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_DRAWITEM: {
      auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      bool down = (di->itemState & ODS_SELECTED) != 0;
      bool focused = (di->itemState & ODS_FOCUS) != 0;
      RECT r = di->rcItem;
      HDC dc = di->hDC;
      brush_->SetColor(color_);
      FillRect(dc, &r, BrushHandle(brush_.get()));
      if (Default() || focused) {
        FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&r, -1, -1);
      }
      DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
      TButtonState state = !Enabled() ? bsDisabled : down ? bsDown : bsUp;
      {
        TCanvasOnDC onDC(drawCanvas_.get(), dc);
        DrawButtonFace(drawCanvas_.get(), Rect(r.left, r.top, r.right, r.bottom), glyph_.get(),
                       numGlyphs_, state, layout_, margin_, spacing_, Caption(), font_.get());
      }
      if (focused) {
        InflateRect(&r, -4, -4);
        DrawFocusRect(dc, &r);
      }
      m.Result = 1;
      return;
    }
    case WM_LBUTTONDBLCLK:
      // An owner-drawn button reports a double click instead of a second click.
      m.Msg = WM_LBUTTONDOWN;
      break;
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
      Invalidate();
      break;
  }
  TButton::WndProc(m);
}

// ---- TSpeedButton -------------------------------------------------------------------------

K_PUBLISH(TSpeedButton) {
  p.Prop("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
  p.Prop("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs);
  p.Prop("Down", &TSpeedButton::Down, &TSpeedButton::SetDown);
  p.Prop("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex);
  p.Prop("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp);
  p.Prop("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat);
  p.Enum("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout,
         {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"});
  p.Prop("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin);
  p.Prop("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing);
}

TSpeedButton::TSpeedButton(TComponent* owner)
    : TGraphicControl(owner), glyph_(std::make_unique<TBitmap>()) {
  width_ = 23;
  height_ = 22;
  controlStyle_ = {csCaptureMouse, csDoubleClicks};
  glyph_->OnChange = TNotifyEvent([this](TObject*) { Invalidate(); });
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetGlyph(TBitmap* value) {
  glyph_->Assign(value);
  Invalidate();
}

void TSpeedButton::SetNumGlyphs(int value) {
  numGlyphs_ = std::clamp(value, 1, 4);
  Invalidate();
}

void TSpeedButton::SetDown(bool value) {
  if (groupIndex_ == 0) value = false;
  if (value == down_) return;
  if (down_ && !value && !allowAllUp_) return;
  down_ = value;
  state_ = value ? bsExclusive : bsUp;
  if (value) UpdateExclusive();
  Invalidate();
}

void TSpeedButton::SetGroupIndex(int value) {
  groupIndex_ = value;
  UpdateExclusive();
}

void TSpeedButton::UpdateExclusive() {
  if (groupIndex_ == 0 || !parent_ || !down_) return;
  for (int i = 0; i < parent_->ControlCount(); ++i) {
    auto* b = dynamic_cast<TSpeedButton*>(parent_->Controls(i));
    if (b && b != this && b->groupIndex_ == groupIndex_ && b->down_) {
      b->down_ = false;
      b->state_ = bsUp;
      b->Invalidate();
    }
  }
}

void TSpeedButton::SetFlat(bool value) {
  flat_ = value;
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout value) {
  layout_ = value;
  Invalidate();
}

void TSpeedButton::SetMargin(int value) {
  margin_ = value;
  Invalidate();
}

void TSpeedButton::SetSpacing(int value) {
  spacing_ = value;
  Invalidate();
}


void TSpeedButton::Paint() {
  TCanvas* c = Canvas();
  HDC dc = c->Handle();
  RECT r{0, 0, width_, height_};
  TButtonState state = !Enabled() ? bsDisabled : state_;
  if (state == bsDisabled && down_) state = bsExclusive;
  bool pressed = state == bsDown || state == bsExclusive;
  if (!flat_) {
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  } else {
    TBrush b;
    b.SetColor(parent_ ? parent_->Color() : clBtnFace);
    FillRect(dc, &r, BrushHandle(&b));
    if (pressed || (mouseInControl_ && Enabled()))
      DrawEdge(dc, &r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  DrawButtonFace(c, Rect(1, 1, width_ - 1, height_ - 1), glyph_.get(), numGlyphs_, state, layout_,
                 margin_, spacing_, Caption(), font_.get());
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button == mbLeft && Enabled()) {
    if (!down_) {
      state_ = bsDown;
      Invalidate();
    }
    dragging_ = true;
  }
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!dragging_) return;
  bool inside = x >= 0 && y >= 0 && x < width_ && y < height_;
  TButtonState s = down_ ? bsExclusive : inside ? bsDown : bsUp;
  if (s != state_) {
    state_ = s;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!dragging_) return;
  dragging_ = false;
  bool inside = x >= 0 && y >= 0 && x < width_ && y < height_;
  if (groupIndex_ == 0) {
    state_ = bsUp;
    Invalidate();
    if (inside) Click();
    return;
  }
  if (inside) {
    SetDown(!down_);
    if (down_ == false) state_ = bsUp;
    Invalidate();
    Click();
  } else {
    state_ = down_ ? bsExclusive : bsUp;
    Invalidate();
  }
}

void TSpeedButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_MOUSEENTER:
      if (m.LParam == 0) {
        mouseInControl_ = true;
        if (flat_) Invalidate();
      }
      break;
    case CM_MOUSELEAVE:
      if (m.LParam == 0) {
        mouseInControl_ = false;
        if (flat_) Invalidate();
      }
      break;
    case CM_BUTTONPRESSED:
      if (static_cast<int>(m.WParam) == groupIndex_ &&
          reinterpret_cast<TSpeedButton*>(m.LParam) != this && down_) {
        down_ = false;
        state_ = bsUp;
        Invalidate();
      }
      return;
  }
  TGraphicControl::WndProc(m);
}
