#include "skin/controls/sSpeedButtonWin32.h"

#include <algorithm>

#include "framework/FormsWin32.h"
#include "framework/MenusWin32.h"
#include "skin/controls/sControlCmdHandlerWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sBorders.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/runtime/sFadeWin32.h"
#include "skin/core/runtime/sSkinMenusWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sVclUtilsWin32.h"

namespace {

// One drop-down menu at a time, whichever button opened it.
bool DropDownOpen = false;

// The whole bitmap shows what lies behind it.
void ShowBackground(TBitmap* bitmap, const TsBackgroundSource& behind) {
  const TRect all{0, 0, bitmap->Width(), bitmap->Height()};
  if (behind.HasBitmap && behind.Bmp) {
    CopyBitmapRect(bitmap, 0, 0, behind.Bmp,
                   Bounds(behind.X, behind.Y, bitmap->Width(), bitmap->Height()));
    return;
  }
  FillRect32(bitmap, all, ColorToRGB(behind.FillColor));
}

TsGlyphLayout LayoutOf(TButtonLayout layout) { return static_cast<TsGlyphLayout>(layout); }

TsBlockAlign AlignOf(TAlignment alignment) {
  switch (alignment) {
    case taLeftJustify:
      return TsBlockAlign::Left;
    case taRightJustify:
      return TsBlockAlign::Right;
    default:
      return TsBlockAlign::Center;
  }
}

}  // namespace

// ---- the skin command -------------------------------------------------------------------------

class TsSpeedButton::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsSpeedButton& button)
      : TsControlCmdHandler(button, *button.skinData_), button_(button) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    button_.StopFade();
    TsSkinCmdHandler::OnSkinChanged(m);
    // A skinned button paints every pixel of its place: the parent need not erase it.
    if (Data().IsSkinned()) button_.controlStyle_ += csOpaque;
    Data().BackgroundDirty = true;
    button_.Invalidate();
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m) || button_.IsDestroying()) return false;
    button_.StopFade();
    TsSkinCmdHandler::OnRemoveSkin(m);
    button_.controlStyle_ -= csOpaque;
    if (button_.Visible()) button_.Repaint();
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnRefresh(m);
    if (button_.Visible()) button_.Repaint();
    return true;
  }
  bool OnResumePainting(TSkinCmdMessage&) override {
    if (Data().PaintingSuspended()) {
      Data().PaintSuspended = false;
      button_.RepaintNow();
    }
    return true;
  }
  bool OnRepaintAll(TSkinCmdMessage&) override {
    Data().PaintSuspended = false;
    Data().BackgroundDirty = true;
    button_.RepaintNow();
    return false;
  }
  bool OnIsUpdating(TSkinCmdMessage& m) override {
    if (!SkinnedAndReady()) return false;
    m.Result = Data().PaintSuspended ? 1 : 0;
    return true;
  }
  bool OnRefreshSection(TSkinCmdMessage&) override {
    if (!SkinnedAndReady()) return false;
    button_.RepaintNow();
    return true;
  }
  bool OnStopFade(TSkinCmdMessage&) override {
    if (!SkinnedAndReady()) return false;
    button_.StopFade();
    return true;
  }

 private:
  bool SkinnedAndReady() const { return button_.Ready() && Data().IsSkinned(true); }
  TsSpeedButton& button_;
};

// The fade's frames are the button's picture while it runs: each one is painted at once.
class TsSpeedButton::TFadeHost : public IFadeHost {
 public:
  explicit TFadeHost(TsSpeedButton& button) : button_(button) {}
  bool Alive() const override { return !button_.IsDestroying(); }
  bool Enabled() const override { return button_.Enabled(); }
  const TBitmap* CacheBitmap() const override { return button_.skinData_->CacheBitmap.get(); }
  void ShowFrame(const TBitmap&) override { button_.RepaintNow(); }
  // The timer is told from its own tick: it is only stopped here and freed later.
  void FadeEnded() override {
    button_.fadeTimer_->SetEnabled(false);
    button_.RepaintNow();
  }
  void Invalidate() override { button_.Invalidate(); }

 private:
  TsSpeedButton& button_;
};

// ---- life -------------------------------------------------------------------------------------

TsSpeedButton::TsSpeedButton(TComponent* owner)
    : TSpeedButton(owner),
      host_(this),
      skinData_(std::make_unique<TsCtrlSkinData>(&host_, true)),
      fadeHost_(std::make_unique<TFadeHost>(*this)),
      imageChangeLink_(std::make_unique<TChangeLink>()) {
  skinData_->ControlKind = TsControlKind::SpeedButton;
  oldNumGlyphs_ = NumGlyphs();
  oldSpacing_ = Spacing();
  oldLayout_ = Layout();
  imageChangeLink_->OnChange = TNotifyEvent([this](TObject*) {
    if (images_) Changed(false);
  });
  // The framework's glyph change repaints; a skinned button also rebuilds its picture.
  Glyph()->OnChange = TNotifyEvent([this](TObject*) {
    if (!IsLoading() && !IsDestroying()) skinData_->Invalidate();
    TSpeedButton::Invalidate();
  });
  // A control made in code is complete here: what streaming does in Loaded happens now.
  skinData_->Loaded();
  if (skinData_->IsSkinned()) controlStyle_ += csOpaque;
}

TsSpeedButton::~TsSpeedButton() {
  StopFade();
  if (images_) images_->UnRegisterChanges(imageChangeLink_.get());
  skinData_.reset();
}

void TsSpeedButton::Loaded() {
  TSpeedButton::Loaded();
  skinData_->Loaded();
  if (skinData_->IsSkinned()) controlStyle_ += csOpaque;
  // An image list that holds the button's image wins over its own glyph.
  if (UsesImages()) Glyph()->Assign(nullptr);
}

void TsSpeedButton::Notification(TComponent* component, TOperation operation) {
  TSpeedButton::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == images_) SetImages(nullptr);
  if (component == dropdownMenu_) dropdownMenu_ = nullptr;
}

bool TsSpeedButton::Ready() const { return IsControlReady(const_cast<TsSpeedButton*>(this)); }

bool TsSpeedButton::UsesImages() const {
  return images_ && imageIndex_ >= 0 && imageIndex_ < GetImageCount(images_);
}

void TsSpeedButton::CatchUpWithSkin() {
  TsCommonData& d = *skinData_;
  TsSkinManager* manager = d.SkinManager();
  if (d.SectionIndex < 0 && manager && manager->CurrentSkin().Active) {
    d.UpdateIndexes();
    d.BackgroundDirty = true;
    if (d.IsSkinned()) controlStyle_ += csOpaque;
  }
}

// ---- properties -------------------------------------------------------------------------------

void TsSpeedButton::Changed(bool evenWhileUpdating) {
  if (!evenWhileUpdating && (skinData_->SkinState & 0x800)) return;
  if (!Visible() && !ComponentState().Contains(csDesigning)) return;
  skinData_->BackgroundDirty = true;
  RepaintNow();
}

#define KS_SETTER(Name, field, Type, whileUpdating) \
  void TsSpeedButton::Set##Name(Type value) {       \
    if (value == field) return;                     \
    field = value;                                  \
    Changed(whileUpdating);                         \
  }
KS_SETTER(Grayed, grayed_, bool, false)
KS_SETTER(ImageIndex, imageIndex_, int, false)
KS_SETTER(DisabledKind, disabledKind_, TsDisabledKind, true)
KS_SETTER(DisabledGlyphKind, disabledGlyphKind_, TsDisabledGlyphKind, true)
KS_SETTER(TextOffset, textOffset_, int, true)
KS_SETTER(Alignment, alignment_, TAlignment, true)
KS_SETTER(DrawOverBorder, drawOverBorder_, bool, true)
#undef KS_SETTER

void TsSpeedButton::SetBlend(int value) {
  value = std::clamp(value, 0, 100);
  if (value == blend_) return;
  blend_ = value;
  Changed(false);
}

void TsSpeedButton::SetReflected(bool value) {
  reflected_ = value;
  skinData_->BackgroundDirty = true;
  RepaintNow();
}

void TsSpeedButton::SetTextAlignment(TAlignment value) {
  textAlignment_ = value;
  skinData_->BackgroundDirty = true;
  Repaint();
}

void TsSpeedButton::SetImages(TCustomImageList* value) {
  if (value == images_) return;
  if (images_) images_->UnRegisterChanges(imageChangeLink_.get());
  images_ = value;
  if (images_) {
    images_->RegisterChanges(imageChangeLink_.get());
    images_->FreeNotification(this);
  }
  Changed(false);
}

void TsSpeedButton::SetShowCaption(bool value) {
  if (value == showCaption_) return;
  showCaption_ = value;
  UpdateCaption();
  Changed();
}

void TsSpeedButton::UpdateCaption() {
  if (!Caption().empty()) oldCaption_ = Caption();
  SetCaption(showCaption_ ? oldCaption_ : std::string());
}

void TsSpeedButton::SetButtonStyle(TToolButtonStyle value) {
  if (value == buttonStyle_) return;
  // The arrow part comes on top of the button's own width.
  if (!IsLoading()) {
    if (value == tbsDropDown)
      SetWidth(Width() + SpeedButtonArrowWidth);
    else if (buttonStyle_ == tbsDropDown)
      SetWidth(Width() - SpeedButtonArrowWidth);
  }
  buttonStyle_ = value;
  Changed();
}

void TsSpeedButton::SetDropdownMenu(TPopupMenu* value) {
  dropdownMenu_ = value;
  if (value) value->FreeNotification(this);
}

void TsSpeedButton::Invalidate() {
  if (Layout() != oldLayout_) {
    oldLayout_ = Layout();
    skinData_->BackgroundDirty = true;
  }
  TSpeedButton::Invalidate();
}

// ---- looks and places
// ----------------------------------------------------------------------------

int TsSpeedButton::CurrentState() const {
  if (State() == bsDown || State() == bsExclusive || Down()) return ButtonPressed;
  return skinData_->IsActive() ? ButtonHot : ButtonNormal;
}

bool TsSpeedButton::Fading() const { return fadeTimer_ && fadeTimer_->Enabled(); }

int TsSpeedButton::GlyphWidth() const {
  auto* self = const_cast<TsSpeedButton*>(this);
  const int cells = std::max(NumGlyphs(), 1);
  if (!self->Glyph()->Empty()) return self->Glyph()->Width() / cells;
  if (UsesImages()) return images_->Width() / cells;
  return 0;
}

int TsSpeedButton::GlyphHeight() const {
  auto* self = const_cast<TsSpeedButton*>(this);
  if (!self->Glyph()->Empty()) return self->Glyph()->Height();
  if (UsesImages()) return images_->Height();
  return 0;
}

TsSpeedButtonPlace TsSpeedButton::Place() {
  TsSpeedButtonPlace p;
  p.Width = Width();
  p.Height = Height();
  p.Margin = Margin();
  p.Spacing = Spacing();
  p.Layout = LayoutOf(Layout());
  p.Alignment = AlignOf(alignment_);
  p.DropDown = buttonStyle_ == tbsDropDown;
  p.HasCaption = showCaption_ && !Caption().empty();
  p.Glyph = TSize{GlyphWidth(), GlyphHeight()};
  p.TextOffset = textOffset_;
  p.Reflected = reflected_;
  p.State = CurrentState();
  return p;
}

TSize TsSpeedButton::MeasureCaption() {
  TsSpeedButtonPlace p = Place();
  if (!p.HasCaption) return TSize{};
  skinData_->UpdateCacheSize();
  TCanvas* canvas = skinData_->CacheBitmap->Canvas();
  canvas->Font()->Assign(Font());
  RECT r{0, 0, SpeedButtonCaptionWidth(p), 0};
  DrawTextA(canvas->Handle(), Caption().c_str(), static_cast<int>(Caption().size()), &r,
            DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
  return TSize{r.right - r.left, r.bottom - r.top};
}

TRect TsSpeedButton::CalcGlyphRect() {
  TsSpeedButtonPlace p = Place();
  p.Text = MeasureCaption();
  return SpeedButtonGlyphRect(p);
}

TRect TsSpeedButton::CalcCaptionRect() {
  TsSpeedButtonPlace p = Place();
  p.Text = MeasureCaption();
  return SpeedButtonCaptionRect(p);
}

TsButtonGlyph TsSpeedButton::GlyphOf(TRect glyphRect) const {
  auto* self = const_cast<TsSpeedButton*>(this);
  const TsGeneralData* section = skinData_->Section();
  return TsButtonGlyph{.Glyph = UsesImages() ? nullptr : self->Glyph(),
                       .NumGlyphs = NumGlyphs(),
                       .Images = images_,
                       .ImageIndex = imageIndex_,
                       .GlyphRect = glyphRect,
                       .State = CurrentState(),
                       .Enabled = Enabled(),
                       .Blend = blend_,
                       .Grayed = grayed_,
                       .DisabledGlyphKind = disabledGlyphKind_,
                       .Reflected = reflected_,
                       .GreyColor = section && skinData_->IsSkinned() ? section->Color : clBtnFace};
}

// ---- the skinned picture ------------------------------------------------------------------------

void TsSpeedButton::PaintDivider(const TsBackgroundSource& background) {
  TsSkinManager* manager = skinData_->SkinManager();
  if (!manager) return;
  const int section = manager->GetSectionIndex("DIVIDER");
  const int maskIndex = manager->GetMaskIndex(section, "DIVIDER", "BORDERSMASK");
  if (!manager->IsValidMaskIndex(maskIndex)) return;
  const TsMaskData& mask = manager->Masks()[static_cast<size_t>(maskIndex)];
  const int w = MaskStateWidth(mask);
  PaintMaskRect(skinData_->CacheBitmap.get(),
                TRect{(Width() - w) / 2, 0, (Width() + w) / 2, Height()}, mask, 0, true,
                MovedBackground(background, TPoint{Left(), Top()}));
}

void TsSpeedButton::PaintArrowPart(const TsBackgroundSource& background) {
  TsCommonData& d = *skinData_;
  TBitmap* cache = d.CacheBitmap.get();
  int look = ButtonNormal;
  if (droppedDown_ || Down() || State() == bsDown || State() == bsExclusive)
    look = ButtonPressed;
  else if (d.IsActive())
    look = ButtonHot;
  const TRect part{Width() - SpeedButtonArrowWidth, 0, Width(), Height()};
  PaintButtonFace(d, background, cache,
                  TsButtonFace{.Area = part,
                               .Offset = TPoint{Left(), Top()},
                               .Look = look,
                               .DrawOverBorder = drawOverBorder_,
                               .ApplyHue = false},
                  nullptr);
  TsSkinManager* manager = d.SkinManager();
  const int arrow = manager ? manager->FixedIndexes().ScrollBtn[1].GlyphMask : -1;
  if (!manager || !manager->IsValidMaskIndex(arrow)) return;
  const TsMaskData& mask = manager->Masks()[static_cast<size_t>(arrow)];
  const int w = MaskStateWidth(mask);
  const int h = MaskStateHeight(mask);
  const TsBackgroundSource self = MakeBackgroundSource(cache, 0, 0);
  PaintMaskGlyph(cache,
                 TPoint{(SpeedButtonArrowWidth - w) / 2 + Width() - SpeedButtonArrowWidth + 1,
                        (Height() - h) / 2},
                 look, mask, self);
}

void TsSpeedButton::PrepareCache() {
  TsCommonData& d = *skinData_;
  d.UpdateCacheSize();
  TBitmap* cache = d.CacheBitmap.get();
  if (!cache || cache->Empty()) return;
  cache->Canvas()->Font()->Assign(Font());
  TsBackgroundSource background;
  d.GetParentBackground(background);
  const TPoint offset{Left(), Top()};
  if (buttonStyle_ == tbsSeparator || buttonStyle_ == tbsDivider) {
    // Only what lies behind: the parent's picture under the button, or its colour.
    ShowBackground(cache, MovedBackground(background, offset));
    if (buttonStyle_ == tbsDivider) PaintDivider(background);
    d.BackgroundDirty = false;
    return;
  }
  const int look = CurrentState();
  const TRect captionRect = CalcCaptionRect();
  const TsButtonGlyph glyph = GlyphOf(CalcGlyphRect());
  UINT flags = GetTextAlignFlags(this, textAlignment_) | DT_WORDBREAK | DT_EXPANDTABS;
  flags &= ~static_cast<UINT>(DT_SINGLELINE);
  PaintButtonFace(d, background, cache,
                  TsButtonFace{.Area = TRect{0, 0, Width() - ArrowWidth(), Height()},
                               .Offset = offset,
                               .Look = look,
                               .DrawOverBorder = drawOverBorder_,
                               .Font = Font(),
                               .Caption = showCaption_ ? Caption() : std::string(),
                               .CaptionRect = captionRect,
                               .TextFlags = flags,
                               .Enabled = Enabled(),
                               .Glyph = &glyph},
                  nullptr);
  if (buttonStyle_ == tbsDropDown) PaintArrowPart(background);
  if (!Enabled()) {
    d.GetParentBackground(background);
    PaintDisabledEffect(cache, disabledKind_, GetControlBgColor(Parent()), offset, background);
  }
  if (OnPaint_) OnPaint_(this, cache);
  d.BackgroundDirty = false;
}

void TsSpeedButton::Paint() {
  TsCommonData& d = *skinData_;
  CatchUpWithSkin();
  if (!d.IsSkinned()) {
    PaintUnskinned();
    return;
  }
  if (Width() < 1 || Height() < 1) return;
  if (Fading() && fadeTimer_->FrameImage && fadeTimer_->FrameImage->Width() == Width()) {
    BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), fadeTimer_->FrameImage->Canvas()->Handle(),
           0, 0, SRCCOPY);
    return;
  }
  d.BackgroundDirty = d.BackgroundDirty || d.PartlyHidden || Down() != storedDown_;
  storedDown_ = Down();
  // Over a parent that paints a picture, the button is rebuilt at every paint.
  d.PartlyHidden = d.DependsOnParentBg();
  if (NumGlyphs() != oldNumGlyphs_ || Spacing() != oldSpacing_) d.BackgroundDirty = true;
  oldNumGlyphs_ = NumGlyphs();
  oldSpacing_ = Spacing();
  if (d.BackgroundDirty && !d.ImmediatePaint) PrepareCache();
  if (!d.CacheBitmap || d.CacheBitmap->Width() < Width()) return;
  BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), d.CacheBitmap->Canvas()->Handle(), 0, 0,
         SRCCOPY);
}

void TsSpeedButton::RepaintNow() {
  const TControlState state = ControlState();
  if (state.Contains(csCreating) || IsDestroying() || IsLoading() || !Parent() || !Visible() ||
      !Parent()->HandleAllocated())
    return;
  TsCommonData& d = *skinData_;
  if (!d.IsSkinned() || ComponentState().Contains(csDesigning)) {
    Repaint();
    return;
  }
  if (d.BackgroundDirty) PrepareCache();
  TBitmap* picture =
      Fading() && fadeTimer_->FrameImage ? fadeTimer_->FrameImage.get() : d.CacheBitmap.get();
  if (!picture || picture->Width() < Width() || picture->Height() < Height()) return;
  BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), picture->Canvas()->Handle(), 0, 0, SRCCOPY);
  // The parent's DC is borrowed only for this copy.
  static_cast<TControlCanvas*>(Canvas())->FreeHandle();
}

// ---- without a skin
// -------------------------------------------------------------------------------

void TsSpeedButton::PaintUnskinned() {
  if (buttonStyle_ == tbsSeparator) return;
  TCanvas* canvas = Canvas();
  HDC dc = canvas->Handle();
  if (buttonStyle_ == tbsDivider) {
    RECT line{Width() / 2 - 1, 0, Width() / 2 + 1, Height()};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
    return;
  }
  const bool pressed = State() == bsDown || State() == bsExclusive || Down();
  RECT face{0, 0, Width() - ArrowWidth(), Height()};
  const auto frame = [&](RECT r, bool down) {
    if (Flat()) {
      TBrush fill;
      fill.SetColor(Parent() ? Parent()->Color() : clBtnFace);
      FillRect(dc, &r, BrushHandle(&fill));
      if (down || (MouseInControl() && Enabled()))
        DrawEdge(dc, &r, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    } else {
      DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
    }
  };
  frame(face, pressed);
  if (buttonStyle_ == tbsDropDown) {
    const bool arrowDown = droppedDown_ || pressed;
    RECT part{Width() - SpeedButtonArrowWidth, 0, Width(), Height()};
    frame(part, arrowDown);
    const int x = (SpeedButtonArrowWidth - 5) / 2 + part.left + (arrowDown ? 1 : 0);
    const int y = (Height() - 5) / 2 + (arrowDown ? 1 : 0);
    const POINT triangle[3] = {{x, y}, {x + 5, y}, {x + 2, y + 5}};
    TBrush arrow;
    arrow.SetColor(clBtnText);
    HGDIOBJ oldBrush = SelectObject(dc, BrushHandle(&arrow));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Polygon(dc, triangle, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
  }
  if (showCaption_ && !Caption().empty()) {
    const TRect caption = CalcCaptionRect();
    const RECT r{caption.Left, caption.Top, caption.Right, caption.Bottom};
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, FontHandle(Font()));
    const UINT flags = (GetTextAlignFlags(this, textAlignment_) | DT_WORDBREAK | DT_EXPANDTABS) &
                       ~static_cast<UINT>(DT_SINGLELINE);
    const auto text = [&](RECT at, TColor colour) {
      SetTextColor(dc, ColorToRGB(colour));
      DrawTextA(dc, Caption().c_str(), static_cast<int>(Caption().size()), &at, flags);
    };
    if (Enabled()) {
      text(r, clBtnText);
    } else {
      text(RECT{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1}, clBtnHighlight);
      text(r, clBtnShadow);
    }
  }
  // The glyph's effects need 32-bit pixels: it is drawn over a copy of the face.
  const TRect glyphRect = CalcGlyphRect();
  if (glyphRect.Width() <= 0 || glyphRect.Height() <= 0) return;
  std::unique_ptr<TBitmap> copy = CreateBmp32(Width(), Height());
  BitBlt(copy->Canvas()->Handle(), 0, 0, Width(), Height(), dc, 0, 0, SRCCOPY);
  DrawButtonGlyph(GlyphOf(glyphRect), copy.get());
  BitBlt(dc, 0, 0, Width(), Height(), copy->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ---- changes of look
// ------------------------------------------------------------------------------

bool TsSpeedButton::EventFades(TskAnimatEvent event) const {
  return IsAnimEventActive(event, animatEvents_, skinData_->SkinManager());
}

void TsSpeedButton::StopFade() {
  if (!fadeTimer_) return;
  const bool shown = fadeTimer_->Enabled() && fadeTimer_->Step != 0;
  fadeTimer_->SetEnabled(false);
  fadeTimer_.reset();
  if (shown && !IsDestroying() && !ComponentState().Contains(csDesigning)) {
    skinData_->BackgroundDirty = true;
    Repaint();
  }
}

void TsSpeedButton::StartFade(bool halve) {
  if (ComponentState().Contains(csDesigning)) return;
  TsCommonData& d = *skinData_;
  int remaining = 1;
  if (fadeTimer_) {
    // A fade interrupted by the next change goes on from where the last one stood.
    if (fadeTimer_->Enabled()) remaining = std::max(fadeTimer_->StepCount - fadeTimer_->Step, 1);
    fadeTimer_.reset();
  }
  const TsGeneralData* section = d.Section();
  if (!section || !section->FadingEnabled || FadesStopped || !d.CacheBitmap ||
      d.CacheBitmap->Width() != Width() || d.CacheBitmap->Height() != Height()) {
    RepaintNow();
    return;
  }
  fadeTimer_ = std::make_unique<TsAnimTimer>(nullptr);
  fadeTimer_->SetOwnerData(d, fadeHost_.get());
  fadeTimer_->StepCount = FadeStepCount(section->FadingIterations, halve);
  fadeTimer_->Step = std::min(remaining, fadeTimer_->StepCount);
  fadeTimer_->StartImage = CopyBitmapArea(*d.CacheBitmap, TRect{0, 0, Width(), Height()});
  PrepareCache();
  fadeTimer_->SetEnabled(true);
  fadeTimer_->AnimStep();
}

void TsSpeedButton::StateChanged(bool halve, bool fade) {
  TsCommonData& d = *skinData_;
  if (fade && !SkinLoadInProgress && d.IsSkinned() && d.Section() && d.Section()->FadingEnabled &&
      !FadesStopped && !d.BackgroundDirty) {
    d.BackgroundDirty = true;
    StartFade(halve);
  } else {
    d.BackgroundDirty = true;
    StopFade();
    RepaintNow();
  }
}

void TsSpeedButton::MouseEntered() {
  TsCommonData& d = *skinData_;
  if (d.MouseOver) return;
  d.MouseOver = true;
  StateChanged(false, EventFades(aeMouseEnter));
}

void TsSpeedButton::MouseLeft() {
  TsCommonData& d = *skinData_;
  if (!d.MouseOver) return;
  d.MouseOver = false;
  if (State() == bsDown) SetState(bsUp);
  if (Visible()) StateChanged(false, EventFades(aeMouseLeave));
}

// ---- mouse, drop-down menu and messages
// ----------------------------------------------------------

void TsSpeedButton::OpenDropdownMenu() {
  StopFade();
  if (DropDownOpen) return;
  // The menu wears the skin the button wears, and the standard look once the skin is gone.
  if (TsSkinManager* manager = skinData_->SkinManager())
    SkinableMenusOf(*manager).InitPopupMenu(dropdownMenu_, skinData_->IsSkinned());
  DropDownOpen = true;
  droppedDown_ = true;
  skinData_->BackgroundDirty = true;
  const bool menuOnly = !OnClick();
  if (menuOnly) SetState(bsDown);
  RepaintNow();
  if (!skinData_->IsSkinned()) Repaint();
  const TPoint at = ClientToScreen(TPoint{0, Height() + 1});
  dropdownMenu_->SetPopupComponent(this);
  dropdownMenu_->Popup(at.X, at.Y);
  droppedDown_ = false;
  DropDownOpen = false;
  if (IsDestroying()) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  const TPoint topLeft = ClientToScreen(TPoint{0, 0});
  const bool over = cursor.x >= topLeft.X && cursor.y >= topLeft.Y &&
                    cursor.x < topLeft.X + Width() && cursor.y < topLeft.Y + Height();
  if (!over) Perform(CM_MOUSELEAVE, 0, 0);
  if (menuOnly) SetState(bsUp);
  skinData_->BackgroundDirty = true;
  if (skinData_->IsSkinned())
    RepaintNow();
  else
    Repaint();
}

void TsSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && Enabled() && buttonStyle_ == tbsDropDown && dropdownMenu_ &&
      (x > Width() - SpeedButtonArrowWidth || !OnClick())) {
    // The menu takes this press: the button does not go down as for a click.
    if (OnMouseDown_) OnMouseDown_(this, button, shift, x, y);
    OpenDropdownMenu();
    return;
  }
  TSpeedButton::MouseDown(button, shift, x, y);
}

void TsSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && Enabled() && buttonStyle_ == tbsDropDown) droppedDown_ = false;
  TSpeedButton::MouseUp(button, shift, x, y);
}

void TsSpeedButton::WndProc(TMessage& m) {
  TsCommonData& d = *skinData_;
  if (m.Msg == SM_SKINCMD) {
    if (TCmdHandler(*this).Answer(m)) return;
  }
  const bool designing = ComponentState().Contains(csDesigning);
  if (!Ready() || !d.IsSkinned(true)) {
    if (m.Msg == CM_MOUSEENTER && m.LParam == 0 && Enabled() && !designing) d.MouseOver = true;
    if (m.Msg == CM_MOUSELEAVE && m.LParam == 0 && Enabled() && !designing) {
      d.MouseOver = false;
      if (State() == bsDown) SetState(bsUp);
    }
    TSpeedButton::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      if (Visible()) d.BackgroundDirty = true;
      break;
    case WM_ERASEBKGND:
      return;
    case WM_LBUTTONUP:
      if (!designing && Fading()) {
        StopFade();
        PrepareCache();
        RepaintNow();
      }
      break;
    case CM_TEXTCHANGED:
      if (showCaption_) {
        d.BackgroundDirty = true;
        RepaintNow();
        return;
      }
      break;
    case CM_MOUSEENTER:
      // The framework fires OnMouseEnter; the button only changes its look.
      TSpeedButton::WndProc(m);
      if (m.LParam == 0 && Enabled() && !designing) MouseEntered();
      return;
    case CM_MOUSELEAVE:
      TSpeedButton::WndProc(m);
      if (m.LParam == 0 && Enabled()) MouseLeft();
      return;
    default:
      break;
  }
  HandleCommonMessage(m, &d);
  TSpeedButton::WndProc(m);
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!designing && !droppedDown_) StateChanged(true, EventFades(aeMouseDown));
      break;
    case WM_LBUTTONUP:
      if (!designing && !IsDestroying()) StateChanged(true, EventFades(aeMouseUp));
      break;
    case CM_VISIBLECHANGED:
      d.MouseOver = false;
      break;
    case CM_ENABLEDCHANGED:
      if (Visible() || designing) {
        d.BackgroundDirty = true;
        if (!IsLoading()) RepaintNow();
      }
      break;
    case CM_BUTTONPRESSED:
      d.BackgroundDirty = true;
      RepaintNow();
      break;
    default:
      break;
  }
}
