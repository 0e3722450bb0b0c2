#include "skin/controls/sBitBtnWin32.h"

#include <algorithm>

#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/controls/sControlCmdHandlerWin32.h"
#include "skin/controls/sGlyphPaintWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sBorders.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sTextPaint.h"
#include "skin/core/pixels/skUtils.h"
#include "skin/core/runtime/sFadeWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sVclUtilsWin32.h"

// The skin command as the button answers it: every change of the skin ends a running fade.
class TsBitBtn::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsBitBtn& button)
      : TsControlCmdHandler(button, *button.skinData_), b_(button) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    b_.StopFade();
    TsSkinCmdHandler::OnSkinChanged(m);
    b_.firstPaint_ = true;
    if (b_.HandleAllocated()) Data().Invalidate();
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m) || b_.ComponentState().Contains(csDestroying)) return false;
    b_.StopFade();
    TsSkinCmdHandler::OnRemoveSkin(m);
    b_.holes_.clear();
    b_.shownHoles_.clear();
    if (b_.HandleAllocated()) SetWindowRgn(b_.Handle(), nullptr, TRUE);
    b_.Repaint();
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    b_.StopFade();
    TsSkinCmdHandler::OnRefresh(m);
    if (!Data().PrintTarget) b_.Repaint();
    return true;
  }
  bool OnStopFade(TSkinCmdMessage&) override {
    b_.StopFade();
    // The last frame may still differ from the new look by a rounding step.
    if (b_.HandleAllocated()) InvalidateRect(b_.Handle(), nullptr, FALSE);
    return true;
  }
  bool OnPrepareCache(TSkinCmdMessage&) override {
    b_.PrepareCache();
    return false;
  }
  bool OnResumePainting(TSkinCmdMessage& m) override {
    if (!ReadyAndSkinned(true)) return TsSkinCmdHandler::OnResumePainting(m);
    if (Data().PaintingSuspended()) {
      Data().PaintSuspended = false;
      b_.Repaint();
    }
    return true;
  }
  bool OnSetImmediatePaint(TSkinCmdMessage& m) override {
    if (!ReadyAndSkinned(true)) return TsSkinCmdHandler::OnSetImmediatePaint(m);
    if (Data().ImmediatePaint) b_.PrepareCache();
    TsSkinCmdHandler::OnSetImmediatePaint(m);
    return true;
  }

 private:
  TsBitBtn& b_;
};

TsBitBtn::TsBitBtn(TComponent* owner)
    : TBitBtn(owner),
      host_(this),
      skinData_(std::make_unique<TsCtrlSkinData>(&host_, true)),
      cmdHandler_(std::make_unique<TCmdHandler>(*this)),
      imageChangeLink_(std::make_unique<TChangeLink>()) {
  skinData_->ControlKind = TsControlKind::BitBtn;
  controlStyle_.Exclude(csOpaque);
  imageChangeLink_->OnChange = TNotifyEvent([this](TObject*) {
    if (images_) skinData_->Invalidate();
  });
  // A control made in code is complete here: what streaming does in Loaded happens now.
  skinData_->Loaded();
}

TsBitBtn::~TsBitBtn() {
  StopFade();
  if (images_) images_->UnRegisterChanges(imageChangeLink_.get());
  cmdHandler_.reset();
  skinData_.reset();
}

void TsBitBtn::CreateWnd() {
  TBitBtn::CreateWnd();
  // A control made before its manager loaded the skin missed the skin's news: its window
  // takes the section now.
  TsCommonData& d = *skinData_;
  TsSkinManager* manager = d.SkinManager();
  if (d.SectionIndex < 0 && manager && !manager->Sections().empty()) {
    d.UpdateIndexes();
    d.BackgroundDirty = true;
  }
}

void TsBitBtn::Loaded() {
  TBitBtn::Loaded();
  skinData_->Loaded();
  // An image list that holds the button's image wins over its own glyph.
  if (UsesImages()) Glyph()->Assign(nullptr);
}

void TsBitBtn::Notification(TComponent* component, TOperation operation) {
  TBitBtn::Notification(component, operation);
  if (operation == opRemove && component == images_) SetImages(nullptr);
}

void TsBitBtn::Changed() { skinData_->Invalidate(); }

void TsBitBtn::SetDown(bool value) {
  if (value == down_) return;
  down_ = value;
  skinData_->BackgroundDirty = true;
  Repaint();
}

void TsBitBtn::SetBlend(int value) {
  value = std::clamp(value, 0, 100);
  if (value == blend_) return;
  blend_ = value;
  Changed();
}

#define KS_SETTER(Name, field, Type)     \
  void TsBitBtn::Set##Name(Type value) { \
    if (value == field) return;          \
    field = value;                       \
    Changed();                           \
  }
KS_SETTER(Grayed, grayed_, bool)
KS_SETTER(Reflected, reflected_, bool)
KS_SETTER(ShowCaption, showCaption_, bool)
KS_SETTER(ShowFocus, showFocus_, bool)
KS_SETTER(DrawOverBorder, drawOverBorder_, bool)
KS_SETTER(Alignment, alignment_, TAlignment)
KS_SETTER(TextAlignment, textAlignment_, TAlignment)
KS_SETTER(DisabledKind, disabledKind_, TsDisabledKind)
KS_SETTER(DisabledGlyphKind, disabledGlyphKind_, TsDisabledGlyphKind)
KS_SETTER(ImageIndex, imageIndex_, int)
KS_SETTER(WordWrap, wordWrap_, bool)
#undef KS_SETTER

void TsBitBtn::SetImages(TCustomImageList* value) {
  if (value == images_) return;
  if (images_) images_->UnRegisterChanges(imageChangeLink_.get());
  images_ = value;
  if (images_) {
    images_->RegisterChanges(imageChangeLink_.get());
    images_->FreeNotification(this);
  }
  Changed();
}

bool TsBitBtn::UsesImages() const {
  return images_ && imageIndex_ >= 0 && imageIndex_ < GetImageCount(images_);
}

int TsBitBtn::CurrentState() const {
  const TsCommonData& d = *skinData_;
  const bool pushed =
      (HandleAllocated() &&
       (SendMessageA(const_cast<TsBitBtn*>(this)->Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED)) ||
      PressedPaintFlag;
  const bool defPush =
      HandleAllocated() && (GetWindowLongA(handle_, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
  const bool focused = HandleAllocated() && GetFocus() == handle_;
  return BitBtnState(TsBitBtnStateInputs{
      .Down = down_,
      .Pushed = pushed,
      .MouseOver = d.MouseOver,
      .LeftHeld = ControlState().Contains(csLButtonDown) ||
                  (GetKeyState(VK_LBUTTON) < 0 && GetCapture() == handle_),
      // The focused button is the default one of its dialog; Default marks it otherwise.
      .IsDefault = Default() || focused || defPush,
      .IsActive = d.IsActive()});
}

TSize TsBitBtn::GlyphSize() const {
  const int cells = std::max(NumGlyphs(), 1);
  if (UsesImages()) return TSize{images_->Width() / cells, images_->Height()};
  TBitmap* glyph = const_cast<TsBitBtn*>(this)->Glyph();
  if (!glyph || glyph->Empty()) return TSize{};
  return TSize{glyph->Width() / cells, glyph->Height()};
}

void TsBitBtn::StopFade() { StopFading(fadeTimer_); }

void TsBitBtn::RemoveGlow() {
  if (skinData_->GlowIndex != -1) skinData_->FreeShownGlow();
}

void TsBitBtn::Fade(TskAnimatEvent event, bool pressed) {
  TsCommonData& d = *skinData_;
  if (!IsAnimEventActive(event, animatEvents_, d.SkinManager()) || !HandleAllocated()) {
    StopFade();
    d.BackgroundDirty = true;
    Repaint();
    return;
  }
  RepaintWithFade(fadeTimer_, d, pressed, 1, true);
}

// ---- painting ---------------------------------------------------------------------------

void TsBitBtn::DrawFocusFrame(int state) {
  TsCommonData& d = *skinData_;
  const TsGeneralData* section = d.Section();
  if (!Enabled() || !Focused() || Caption().empty() || !section || !section->ShowFocus ||
      !showFocus_ || !showCaption_)
    return;
  TRect r = captionRect_;
  if (state == ButtonPressed) r = TRect{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
  const TRect frame{r.Left - focusMargin_, r.Top - focusMargin_, r.Right + focusMargin_,
                    r.Bottom + focusMargin_};
  DrawDottedFrame(d.CacheBitmap->Canvas(), frame, clBtnFace, clBtnFace);
}

void TsBitBtn::PrepareCache() {
  TsCommonData& d = *skinData_;
  TsBackgroundSource background;
  d.GetParentBackground(background);
  d.UpdateCacheSize();
  TBitmap* cache = d.CacheBitmap.get();
  if (!cache || cache->Empty()) return;
  const int wanted = CurrentState();
  const TRect all{0, 0, Width(), Height()};

  // Where the glyph and the caption go.
  const TSize glyph = GlyphSize();
  const bool hasCaption = showCaption_ && !Caption().empty();
  const auto layout = static_cast<TsGlyphLayout>(Layout());
  TSize text{};
  if (hasCaption) {
    TCanvas* canvas = cache->Canvas();
    canvas->Font()->Assign(Font());
    RECT measured{
        0, 0, BitBtnCaptionWidth(Width(), Margin(), layout, glyph.cx, Spacing(), hasCaption), 0};
    UINT flags = DT_CALCRECT | DT_EXPANDTABS | GetTextAlignFlags(this, textAlignment_);
    if (WordWrap()) flags |= DT_WORDBREAK;
    DrawTextA(canvas->Handle(), Caption().c_str(), static_cast<int>(Caption().size()), &measured,
              flags);
    text = TSize{measured.right - measured.left, measured.bottom - measured.top};
  }
  TsItemPlacement placement;
  placement.Layout = static_cast<TsItemLayout>(Layout());
  placement.Alignment = static_cast<TsItemAlignment>(alignment_);
  placement.Spacing = Spacing();
  placement.Margin = Margin();
  const TsItemPlaces places = CalcItemLayout(all, glyph, text, placement);
  glyphPos_ = places.GlyphPos;
  captionRect_ = places.TextBounds;

  TRect captionRect = captionRect_;
  if (wanted == ButtonPressed)
    captionRect = TRect{captionRect.Left + 1, captionRect.Top + 1, captionRect.Right + 1,
                        captionRect.Bottom + 1};
  UINT flags = GetTextAlignFlags(this, textAlignment_) | DT_EXPANDTABS | DT_END_ELLIPSIS;
  if (WordWrap()) flags |= DT_WORDBREAK;
  const TsGeneralData* section = d.Section();
  const TsButtonGlyph picture{.Glyph = UsesImages() ? nullptr : Glyph(),
                              .NumGlyphs = NumGlyphs(),
                              .Images = images_,
                              .ImageIndex = imageIndex_,
                              .GlyphRect = BitBtnGlyphRect(glyphPos_, glyph, wanted, reflected_),
                              .State = wanted,
                              .Enabled = Enabled(),
                              .Blend = blend_,
                              .Grayed = grayed_,
                              .DisabledGlyphKind = disabledGlyphKind_,
                              .Reflected = reflected_,
                              .GreyColor = section ? section->Color : clBtnFace};
  holes_.clear();
  regionPending_ = !AnimationRunning && !fadeTimer_;
  PaintButtonFace(d, background, cache,
                  TsButtonFace{.Area = all,
                               .Offset = TPoint{Left(), Top()},
                               .Look = wanted,
                               .DrawOverBorder = drawOverBorder_,
                               .Font = Font(),
                               .Caption = hasCaption ? Caption() : std::string(),
                               .CaptionRect = captionRect,
                               .TextFlags = flags,
                               .Enabled = Enabled(),
                               .Glyph = &picture},
                  &holes_);
  if (hasCaption) DrawFocusFrame(wanted);
  if (!Enabled()) {
    d.GetParentBackground(background);
    PaintDisabledEffect(cache, disabledKind_, GetControlBgColor(Parent()), TPoint{Left(), Top()},
                        background);
  }
  d.BackgroundDirty = false;
}

void TsBitBtn::PaintWindow(HDC given) {
  TsCommonData& d = *skinData_;
  if (AnimationRunning && (!given || reinterpret_cast<intptr_t>(given) != d.PrintTarget)) {
    TPaintDC validated(Handle());
    return;
  }
  std::unique_ptr<TPaintDC> painting;
  if (!AnimationRunning) painting = std::make_unique<TPaintDC>(Handle());
  TWindowDC client;
  HDC dc = given;
  if (!dc) {
    client = TWindowDC(Handle());
    dc = client.Get();
  }
  if (!dc) return;
  d.PaintSuspended = d.PaintingSuspended();
  // While a fade runs its frames are the button's picture.
  if (d.PaintSuspended || fadeTimer_) return;
  d.PartlyHidden = !Parent() || !RectContainsRect(Parent()->ClientRect(), BoundsRect());
  const bool redraw = firstPaint_ || SkinLoadInProgress;
  firstPaint_ = false;
  // The cache and the window's shape are rebuilt at every paint: the look depends on the
  // pushed state, which the system button keeps.
  d.BackgroundDirty = true;
  PrepareCache();
  if (!d.CacheBitmap || d.CacheBitmap->Empty()) return;
  // The cache was just built over the parent's current background, border included: painting
  // the border mask again would cover the caption with the mask's centre and a disabled
  // button's blended border with full colour.
  // The same shape again needs no new region: setting one moves the window's frame anew.
  const bool sameShape = holes_ == shownHoles_ && BoundsRect() == lastRect_;
  if (regionPending_ && reinterpret_cast<intptr_t>(dc) != d.PrintTarget && (redraw || !sameShape)) {
    regionPending_ = false;
    shownHoles_ = holes_;
    HRGN region = CreateRectRgn(0, 0, Width(), Height());
    for (const TRect& hole : holes_) {
      TRegion cut(CreateRectRgn(hole.Left, hole.Top, hole.Right, hole.Bottom));
      CombineRgn(region, region, cut.Get(), RGN_DIFF);
    }
    // The window owns the region from here on.
    SetWindowRgn(Handle(), holes_.empty() ? nullptr : region, redraw);
    if (holes_.empty()) DeleteObject(region);
    lastRect_ = BoundsRect();
  }
  TSaveDC saved(dc);
  BitBlt(dc, 0, 0, Width(), Height(), d.CacheBitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ---- messages ---------------------------------------------------------------------------

bool TsBitBtn::HandleSkinned(TMessage& m) {
  TsCommonData& d = *skinData_;
  const bool designing = ComponentState().Contains(csDesigning);
  const bool destroying = ComponentState().Contains(csDestroying);
  switch (m.Msg) {
    case WM_MOVE: {
      const TsGeneralData* section = d.Section();
      if (section &&
          (section->Transparency > 0 || (section->HotTransparency > 0 && d.IsActive()))) {
        d.BackgroundDirty = true;
        Repaint();
      }
      return false;
    }
    case WM_WINDOWPOSCHANGED:
      d.BackgroundDirty = true;
      return false;
    case WM_SETFOCUS:
    case CM_ENTER:
      if (!Visible() || designing) return false;
      if (Enabled() && !destroying && !focusChangeGuard_) {
        focusChangeGuard_ = true;
        SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
        TBitBtn::WndProc(m);
        SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
        focusChangeGuard_ = false;
        d.HasFocus = true;
        if (fadeTimer_)
          fadeTimer_->FadeStep();
        else
          d.Invalidate();
        return true;
      }
      TBitBtn::WndProc(m);
      return true;
    case WM_KILLFOCUS:
    case CM_EXIT:
      if (!Visible() || designing) return false;
      if (Enabled() && !destroying) {
        StopFade();
        SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
        TBitBtn::WndProc(m);
        SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
        if (d.IsSkinned()) {
          d.HasFocus = false;
          d.Invalidate();
          RemoveGlow();
        }
        return true;
      }
      TBitBtn::WndProc(m);
      return true;
    case WM_ENABLE:
      return true;
    case WM_SETTEXT:
      if (!Visible()) return false;
      StopFade();
      SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
      TBitBtn::WndProc(m);
      SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
      return true;
    case WM_PAINT:
      if (!Visible() && !designing) return false;
      if (Parent()) PaintWindow(reinterpret_cast<HDC>(m.WParam));
      return true;
    case WM_ERASEBKGND:
    case WM_UPDATEUISTATE:
      if (!Visible() && !designing) return false;
      m.Result = 0;
      return true;
    case WM_PRINT:
      PaintWindow(reinterpret_cast<HDC>(m.WParam));
      return true;
    case CM_TEXTCHANGED:
      if (destroying || (!Visible() && !designing)) return false;
      d.Invalidate();
      return true;
    case CM_MOUSEENTER:
      if (Enabled() && !designing && !d.MouseOver) {
        d.MouseOver = true;
        d.BackgroundDirty = false;
        Fade(aeMouseEnter, false);
      }
      return false;
    case CM_MOUSELEAVE:
      if (Enabled() && !designing) {
        d.MouseOver = false;
        d.BackgroundDirty = false;
        Fade(aeMouseLeave, false);
      }
      return false;
    case CM_UIACTIVATE:
      d.PaintSuspended = false;
      return false;
    case CN_DRAWITEM:
      // The system button asks for a picture when its pushed or focus state changes: the
      // skinned one paints itself on WM_PAINT, so it only asks for one, unless a fade shows
      // the change.
      if (!fadeTimer_ && HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
      m.Result = 1;
      return true;
    default:
      return false;
  }
}

void TsBitBtn::AfterEffects(const TMessage& m) {
  TsCommonData& d = *skinData_;
  const bool designing = ComponentState().Contains(csDesigning);
  const bool destroying = ComponentState().Contains(csDestroying);
  switch (m.Msg) {
    case WM_SETFONT:
      if (Visible() || designing) {
        d.PaintSuspended = false;
        d.Invalidate();
      }
      break;
    case CM_CANCELMODE:
      RemoveGlow();
      break;
    case CM_VISIBLECHANGED:
      if (m.WParam != 0 && !destroying) {
        d.BackgroundDirty = true;
        d.PaintSuspended = false;
        Repaint();
      }
      break;
    case CM_ENABLEDCHANGED:
      if ((Visible() || designing) && !destroying) {
        d.PaintSuspended = false;
        d.Invalidate();
      }
      break;
    default:
      break;
  }
}

void TsBitBtn::WndProc(TMessage& m) {
  TsCommonData& d = *skinData_;
  if (m.Msg == WM_KILLFOCUS && ComponentState().Contains(csDestroying)) return;
  if (m.Msg == SM_SKINCMD) {
    if (!cmdHandler_->Answer(m)) TBitBtn::WndProc(m);
    return;
  }
  // Enter clicks the focused button as it clicks the default one: the focused push button is
  // its dialog's default while it has the focus.
  if (m.Msg == CM_DIALOGKEY && m.WParam == VK_RETURN && HandleAllocated() &&
      GetFocus() == handle_ && CanFocus()) {
    Click();
    m.Result = 1;
    return;
  }
  if (!IsControlReady(this) || !d.IsSkinned(true)) {
    const bool live = Enabled() && !ComponentState().Contains(csDesigning);
    if (m.Msg == CM_MOUSEENTER && live) d.MouseOver = true;
    if (m.Msg == CM_MOUSELEAVE && live) d.MouseOver = false;
    TBitBtn::WndProc(m);
    return;
  }
  if (HandleSkinned(m)) return;
  HandleCommonMessage(m, &d);
  TBitBtn::WndProc(m);
  AfterEffects(m);
}

void TsBitBtn::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TsCommonData& d = *skinData_;
  if (d.IsSkinned() && Enabled() && !ComponentState().Contains(csDesigning)) {
    d.PaintSuspended = false;
    mouseClicked_ = true;
    if (button == mbLeft && !down_) {
      d.PaintSuspended = d.PaintingSuspended();
      d.BackgroundDirty = false;
      Fade(aeMouseDown, true);
    }
  }
  TBitBtn::MouseDown(button, shift, x, y);
}

void TsBitBtn::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TsCommonData& d = *skinData_;
  if (d.IsSkinned() && Enabled() && !ComponentState().Contains(csDesigning)) {
    if (!mouseClicked_ || ComponentState().Contains(csDestroying)) {
      StopFade();
    } else {
      mouseClicked_ = false;
      if (button == mbLeft) {
        if (fadeTimer_ && fadeTimer_->Steps.Step < fadeTimer_->Steps.StepCount) {
          // A quick click: the pressed look shows a moment before the fade back starts.
          StopFade();
          d.BackgroundDirty = true;
          PressedPaintFlag = true;
          RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
          PressedPaintFlag = false;
          Sleep(30);
        }
        d.PaintSuspended = false;
        d.BackgroundDirty = false;
        Fade(aeMouseUp, false);
      }
    }
  }
  TBitBtn::MouseUp(button, shift, x, y);
}
