#include "skin/controls/sCheckBoxWin32.h"

#include <algorithm>

#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/controls/sControlCmdHandlerWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sBorders.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/runtime/sFadeWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"

// The skin command as the check box answers it: every change of the skin ends a running fade.
class TsCheckBox::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsCheckBox& box) : TsControlCmdHandler(box, *box.skinData_), b_(box) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    b_.StopFade();
    TsSkinCmdHandler::OnSkinChanged(m);
    TakeNewSkin();
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    b_.StopFade();
    TsSkinCmdHandler::OnRefresh(m);
    TakeNewSkin();
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    b_.StopFade();
    TsSkinCmdHandler::OnRemoveSkin(m);
    // The system button shows the state again.
    if (b_.HandleAllocated()) {
      SendMessageA(b_.Handle(), BM_SETCHECK, static_cast<WPARAM>(b_.State()), 0);
      InvalidateRect(b_.Handle(), nullptr, TRUE);
    }
    return true;
  }
  bool OnStopFade(TSkinCmdMessage&) override {
    b_.StopFade();
    if (b_.HandleAllocated()) InvalidateRect(b_.Handle(), nullptr, FALSE);
    return true;
  }
  bool OnPrepareCache(TSkinCmdMessage&) override {
    b_.PrepareCache();
    return false;
  }
  bool OnResumePainting(TSkinCmdMessage&) override {
    if (ReadyAndSkinned(true) && (Data().PaintingSuspended() || Data().PartlyHidden)) {
      Data().PaintSuspended = false;
      b_.Repaint();
    }
    return false;
  }

 private:
  void TakeNewSkin() {
    b_.AdjustSize();
    if (b_.HandleAllocated()) Data().Invalidate();
  }

  TsCheckBox& b_;
};

TsCheckBox::TsCheckBox(TComponent* owner)
    : TCustomCheckBox(owner),
      host_(this),
      skinData_(std::make_unique<TsCommonData>(&host_, false)),
      cmdHandler_(std::make_unique<TCmdHandler>(*this)),
      glyphChecked_(std::make_unique<TBitmap>()),
      glyphUnChecked_(std::make_unique<TBitmap>()) {
  skinData_->ControlKind = TsControlKind::CheckBox;
  // A control made in code is complete here: what streaming does in Loaded happens now.
  skinData_->Loaded();
}

TsCheckBox::~TsCheckBox() {
  StopFade();
  cmdHandler_.reset();
  skinData_.reset();
}

void TsCheckBox::CreateWnd() {
  TCustomCheckBox::CreateWnd();
  // A control made before its manager loaded the skin missed the skin's news: its window
  // takes the section now.
  TsCommonData& d = *skinData_;
  TsSkinManager* manager = d.SkinManager();
  if (d.SectionIndex < 0 && manager && !manager->Sections().empty()) {
    d.UpdateIndexes();
    d.BackgroundDirty = true;
    AdjustSize();
  }
}

void TsCheckBox::Loaded() {
  TCustomCheckBox::Loaded();
  skinData_->Loaded();
  AdjustSize();
}

void TsCheckBox::SetDisabledKind(TsDisabledKind value) {
  if (value == disabledKind_) return;
  disabledKind_ = value;
  skinData_->Invalidate();
}

void TsCheckBox::SetGlyphChecked(TBitmap* value) {
  glyphChecked_->Assign(value);
  AdjustSize();
  skinData_->Invalidate();
}

void TsCheckBox::SetGlyphUnChecked(TBitmap* value) {
  glyphUnChecked_->Assign(value);
  AdjustSize();
  skinData_->Invalidate();
}

void TsCheckBox::SetImages(TCustomImageList* value) {
  images_ = value;
  AdjustSize();
  skinData_->Invalidate();
}

void TsCheckBox::SetImgChecked(int value) {
  imgChecked_ = value;
  AdjustSize();
  if (Checked()) skinData_->Invalidate();
}

void TsCheckBox::SetImgUnchecked(int value) {
  imgUnchecked_ = value;
  AdjustSize();
  if (!Checked()) skinData_->Invalidate();
}

void TsCheckBox::SetMargin(int value) {
  margin_ = value;
  AdjustSize();
  skinData_->Invalidate();
}

void TsCheckBox::SetTextIndent(int value) {
  textIndent_ = value;
  AdjustSize();
  skinData_->Invalidate();
}

void TsCheckBox::SetShowFocus(bool value) {
  showFocus_ = value;
  skinData_->Invalidate();
}

void TsCheckBox::SetAutoSize(bool value) {
  autoSize_ = value;
  AdjustSize();
}

// ---- geometry ---------------------------------------------------------------------------

bool TsCheckBox::UsesImages() const { return images_ && imgChecked_ >= 0 && imgUnchecked_ >= 0; }

TBitmap* TsCheckBox::OwnGlyph() const {
  TBitmap* glyph = State() == cbChecked ? glyphChecked_.get() : glyphUnChecked_.get();
  return glyph->Empty() ? nullptr : glyph;
}

bool TsCheckBox::CaptionRight() const { return Alignment() == taRightJustify; }

TSize TsCheckBox::GlyphSize() {
  if (UsesImages()) return CheckGlyphCellSize(images_->Width(), images_->Height());
  if (TBitmap* own = OwnGlyph()) return CheckGlyphCellSize(own->Width(), own->Height());
  TsSkinManager* manager = skinData_->SkinManager();
  if (manager && skinData_->IsSkinned()) {
    const TsFixedIndexes& fixed = manager->FixedIndexes();
    const int index = State() == cbChecked  ? fixed.BoxChecked
                      : State() == cbGrayed ? fixed.BoxGrayed
                                            : fixed.BoxUnchecked;
    if (index >= 0 && index < static_cast<int>(manager->Masks().size())) {
      const TsMaskData& mask = manager->Masks()[static_cast<size_t>(index)];
      return TSize{MaskStateWidth(mask), MaskStateHeight(mask)};
    }
  }
  return TSize{16, 16};
}

TRect TsCheckBox::CheckRect() {
  return CheckBoxGlyphRect(TsCheckBoxPlace{.Width = Width(),
                                           .Height = Height(),
                                           .Margin = margin_,
                                           .TextIndent = textIndent_,
                                           .CaptionRight = CaptionRight(),
                                           .Glyph = GlyphSize()});
}

TSize TsCheckBox::CaptionSize(TCanvas* canvas) {
  if (Caption().empty()) return TSize{};
  canvas->Font()->Assign(Font());
  RECT r{0, 0, std::max(Width(), 1), 0};
  DrawTextA(canvas->Handle(), Caption().c_str(), static_cast<int>(Caption().size()), &r,
            DT_CALCRECT | DT_SINGLELINE);
  return TSize{r.right - r.left, r.bottom - r.top};
}

void TsCheckBox::AdjustSize() {
  TsCommonData& d = *skinData_;
  if (!autoSize_ || IsLoading() || !d.IsSkinned() || !Parent()) return;
  TBitmap measure;
  measure.SetPixelFormat(pf32bit);
  measure.SetSize(1, 1);
  const TSize text = CaptionSize(measure.Canvas());
  const TSize size = CheckBoxAutoSize(GlyphSize(), margin_, textIndent_, text, !Caption().empty());
  if (size.cx != Width() || size.cy != Height()) {
    // A caption left of the box keeps the box where it was.
    const int left = CaptionRight() ? Left() : Left() + Width() - size.cx;
    SetBounds(left, Top(), size.cx, size.cy);
  }
}

// ---- painting ---------------------------------------------------------------------------

namespace {

bool HasAnyAlpha(TBitmap* bitmap) {
  for (int y = 0; y < bitmap->Height(); ++y) {
    const uint8_t* row = bitmap->ScanLine(y);
    for (int x = 0; x < bitmap->Width(); ++x)
      if (row[x * 4 + 3] != 0) return true;
  }
  return false;
}

}  // namespace

void TsCheckBox::DrawCaption(TCanvas* canvas, bool active) {
  if (Caption().empty()) return;
  const TsCheckBoxPlace place{.Width = Width(),
                              .Height = Height(),
                              .Margin = margin_,
                              .TextIndent = textIndent_,
                              .CaptionRight = CaptionRight(),
                              .Glyph = GlyphSize()};
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(bsClear);
  TRect r = CheckBoxCaptionRect(place, CaptionSize(canvas), false);
  DrawControlText(
      canvas, *skinData_,
      TsSectionText{
          .Text = Caption(), .R = r, .Format = DT_SINGLELINE, .Hot = active, .Enabled = Enabled()});
  if (Focused() && showFocus_) {
    const TRect frame{r.Left - 1, r.Top, r.Right + 1, r.Bottom};
    DrawDottedFrame(canvas, frame, clBtnFace, clBtnFace);
  }
}

void TsCheckBox::DrawCheckGlyph(TBitmap* cache, const TsBackgroundSource& background, int state) {
  const TRect r = CheckRect();
  const auto copyCell = [&](TBitmap* strip, int cellWidth) {
    const int cells = std::max(strip->Width() / std::max(cellWidth, 1), 1);
    const TRect cell = GlyphCellRect(GlyphCellOfState(state, cells), cellWidth, strip->Height());
    strip->SetPixelFormat(pf32bit);
    // A glyph drawn without alpha (24-bit, or from a plain image list) has only zero alpha
    // bytes now: it is an opaque picture, not an invisible one.
    if (!HasAnyAlpha(strip))
      FillAlphaRect(strip, TRect{0, 0, strip->Width(), strip->Height()}, 255, false);
    CopyAlphaBitmap(r, cell, cache, false, background, strip);
  };
  if (UsesImages()) {
    const int index = Checked() ? imgChecked_ : imgUnchecked_;
    if (index >= images_->Count()) return;
    TBitmap image;
    image.SetPixelFormat(pf32bit);
    image.SetSize(images_->Width(), images_->Height());
    images_->GetBitmap(index, &image);
    copyCell(&image, GlyphSize().cx);
    return;
  }
  if (TBitmap* own = OwnGlyph()) {
    copyCell(own, GlyphSize().cx);
    return;
  }
  TsSkinManager* manager = skinData_->SkinManager();
  if (!manager) return;
  const TsFixedIndexes& fixed = manager->FixedIndexes();
  const int index = State() == cbChecked  ? fixed.BoxChecked
                    : State() == cbGrayed ? fixed.BoxGrayed
                                          : fixed.BoxUnchecked;
  if (index < 0 || index >= static_cast<int>(manager->Masks().size())) return;
  PaintMaskGlyph(cache, r.TopLeft(), state, manager->Masks()[static_cast<size_t>(index)],
                 background);
}

void TsCheckBox::PrepareCache() {
  TsCommonData& d = *skinData_;
  d.UpdateCacheSize();
  TBitmap* cache = d.CacheBitmap.get();
  if (!cache || cache->Empty()) return;
  cache->Canvas()->Font()->Assign(Font());
  TsBackgroundSource background;
  d.GetParentBackground(background);
  const bool active = d.IsActive() && !readOnly_;
  const TRect all{0, 0, Width(), Height()};
  PaintControlItem(d, background, cache, TPoint{Left(), Top()}, all,
                   active ? TsPaintState::Hot : TsPaintState::Normal);
  DrawCaption(cache->Canvas(), active);
  DrawCheckGlyph(cache, MovedBackground(background, TPoint{Left(), Top()}),
                 CheckGlyphState(pressed_, d.IsActive(), readOnly_));
  if (!Enabled()) {
    d.GetParentBackground(background);
    PaintDisabledEffect(cache, disabledKind_, GetControlBgColor(Parent()), TPoint{Left(), Top()},
                        background);
  }
  d.BackgroundDirty = false;
}

void TsCheckBox::Paint(HDC given) {
  TsCommonData& d = *skinData_;
  std::unique_ptr<TPaintDC> painting;
  HDC dc = given;
  if (!(d.SkinState & 0x200) || !dc) {
    painting = std::make_unique<TPaintDC>(Handle());
    dc = painting->Get();
  }
  if (!dc) return;
  TSaveDC saved(dc);
  if (d.PaintingSuspended()) {
    d.PaintSuspended = true;
    return;
  }
  if (fadeTimer_) return;
  PrepareCache();
  if (!d.CacheBitmap || d.CacheBitmap->Empty()) return;
  BitBlt(dc, 0, 0, Width(), Height(), d.CacheBitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ---- fades and input --------------------------------------------------------------------

void TsCheckBox::StopFade() { StopFading(fadeTimer_); }

void TsCheckBox::Fade(TskAnimatEvent event, bool pressed) {
  TsCommonData& d = *skinData_;
  if (!HandleAllocated()) return;
  if (!IsAnimEventActive(event, animatEvents_, d.SkinManager())) {
    StopFade();
    d.BackgroundDirty = true;
    Repaint();
    return;
  }
  RepaintWithFade(fadeTimer_, d, pressed, 1, true);
}

// The press ends: the box toggles (the framework's click event fires), unless the press
// was given up meanwhile.
void TsCheckBox::Release() {
  if (!pressed_) return;
  pressed_ = false;
  StopFade();
  Toggle();
  skinData_->BackgroundDirty = true;
  Repaint();
}

bool TsCheckBox::HandleFocusAndMouse(TMessage& m) {
  TsCommonData& d = *skinData_;
  const bool designing = ComponentState().Contains(csDesigning);
  if (designing) return false;
  switch (m.Msg) {
    case WM_SETFOCUS:
    case CM_ENTER:
      if (!Enabled()) return true;
      TCustomCheckBox::WndProc(m);
      d.HasFocus = m.Msg == WM_SETFOCUS || d.HasFocus;
      d.BackgroundDirty = true;
      if (fadeTimer_)
        fadeTimer_->FadeStep();
      else
        Repaint();
      return true;
    case WM_KILLFOCUS:
    case CM_EXIT:
      if (!Enabled()) return false;
      StopFade();
      pressed_ = false;
      if (HandleAllocated()) SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
      TCustomCheckBox::WndProc(m);
      if (HandleAllocated()) SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
      d.HasFocus = false;
      d.MouseOver = false;
      d.Invalidate();
      return true;
    case CM_MOUSEENTER:
      if (Enabled() && !d.MouseOver) {
        d.MouseOver = true;
        Fade(aeMouseEnter, false);
      }
      return false;
    case CM_MOUSELEAVE:
      if (Enabled()) {
        d.MouseOver = false;
        pressed_ = false;
        Fade(aeMouseLeave, false);
      }
      return false;
    default:
      return false;
  }
}

bool TsCheckBox::HandleSkinned(TMessage& m) {
  TsCommonData& d = *skinData_;
  const bool live = Enabled() && !ComponentState().Contains(csDesigning);
  switch (m.Msg) {
    case WM_ENABLE:
    case WM_NCPAINT:
      return true;
    case WM_ERASEBKGND:
      m.Result = 1;
      return true;
    case WM_PAINT:
      Paint(reinterpret_cast<HDC>(m.WParam));
      return true;
    case WM_PRINT:
      d.PaintSuspended = false;
      Paint(reinterpret_cast<HDC>(m.WParam));
      return false;
    case BM_SETCHECK:
      // The framework's state changed: the system button must not draw it, the box shows it.
      if (fadeTimer_) StopFade();
      d.BackgroundDirty = true;
      if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
      return true;
    case BM_SETSTATE:
    case WM_UPDATEUISTATE:
      return true;
    // The box presses and toggles itself, so the system button never draws; the form's
    // handlers still hear of the keys and the mouse as from any other control.
    case WM_KEYDOWN:
      if (!live || m.WParam != VK_SPACE) return false;
      if (readOnly_) return true;
      pressed_ = true;
      if (!Focused()) SetFocus();
      d.BackgroundDirty = true;
      Repaint();
      DoKeyMessage(m, true);
      return true;
    case WM_KEYUP:
      // Only the space bar's release toggles: another key let go while the space bar is
      // held leaves the box pressed.
      if (!live || m.WParam != VK_SPACE) return false;
      if (readOnly_) return true;
      Release();
      DoKeyMessage(m, false);
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (!live) return false;
      if (readOnly_) return true;
      pressed_ = true;
      Fade(aeMouseDown, true);
      if (!Focused() && CanFocus()) SetFocus();
      const TPoint p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
      if (m.Msg == WM_LBUTTONDBLCLK)
        DblClick();
      else
        MouseDown(mbLeft, KeysToShiftState(static_cast<WORD>(m.WParam)), p.X, p.Y);
      return true;
    }
    case WM_LBUTTONUP: {
      if (!live) return false;
      if (readOnly_) return true;
      Release();
      const TPoint p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
      MouseUp(mbLeft, KeysToShiftState(static_cast<WORD>(m.WParam)), p.X, p.Y);
      return true;
    }
    case CM_ENABLEDCHANGED:
      TCustomCheckBox::WndProc(m);
      d.BackgroundDirty = true;
      Repaint();
      return true;
    case CM_TEXTCHANGED:
      AdjustSize();
      d.BackgroundDirty = true;
      Repaint();
      return true;
    default:
      return false;
  }
}

void TsCheckBox::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD) {
    if (!cmdHandler_->Answer(m)) TCustomCheckBox::WndProc(m);
    return;
  }
  TsCommonData& d = *skinData_;
  const bool skinned = d.IsSkinned(true);
  if (skinned && HandleFocusAndMouse(m)) return;
  if (IsControlReady(this)) {
    HandleCommonMessage(m, &d);
    if (skinned && HandleSkinned(m)) return;
    if (!skinned && readOnly_ &&
        (m.Msg == WM_LBUTTONDBLCLK || m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONUP ||
         (m.Msg == WM_KEYDOWN && m.WParam == VK_SPACE) ||
         (m.Msg == WM_KEYUP && m.WParam == VK_SPACE)))
      return;
  }
  TCustomCheckBox::WndProc(m);
}
