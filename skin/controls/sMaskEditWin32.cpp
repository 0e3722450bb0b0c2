#include "skin/controls/sMaskEditWin32.h"

#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/controls/sControlCmdHandlerWin32.h"
#include "skin/controls/sEditGeometry.h"
#include "skin/controls/sLabelWin32.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/skUtils.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sVclUtilsWin32.h"

namespace {

// The system's sunken edge: the width of the frame strips the non-client paint lays.
constexpr int kBorderStrip = 2;

}  // namespace

// The skin command as the masked edit answers it.
class TsMaskEdit::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsMaskEdit& edit) : TsControlCmdHandler(edit, *edit.skinData_), e_(edit) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnSkinChanged(m);
    // A new skin brings its own colours: keeping the old ones would show the last skin's face
    // inside the new frame while the system edit paints.
    Data().UpdateColors(true);
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnRemoveSkin(m);
    // The frame too: the system's edge comes back in place of the skin's.
    if (e_.HandleAllocated())
      RedrawWindow(e_.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnRefresh(m);
    if (e_.HandleAllocated()) {
      SendMessageA(e_.Handle(), WM_NCPAINT, 0, 0);
      e_.Repaint();
    }
    return true;
  }
  bool OnResumePainting(TSkinCmdMessage&) override {
    if (!Data().PaintingSuspended()) return false;
    Data().PaintSuspended = false;
    if (e_.HandleAllocated()) {
      InvalidateRect(e_.Handle(), nullptr, TRUE);
      SendMessageA(e_.Handle(), WM_NCPAINT, 0, 0);
    }
    return true;
  }

 private:
  TsMaskEdit& e_;
};

TsMaskEdit::TsMaskEdit(TComponent* owner)
    : TMaskEdit(owner),
      host_(this),
      skinData_(std::make_unique<TsCtrlSkinData>(&host_, true)),
      label_(std::make_unique<TsControlLabel>(*this)),
      cmdHandler_(std::make_unique<TCmdHandler>(*this)) {
  skinData_->ControlKind = TsControlKind::Edit;
  if (skinData_->SkinSection().empty()) skinData_->SetSkinSection("EDIT");
  SetControlStyle(ControlStyle() - csSetCaption);
  // A control made in code is complete here: what streaming does in Loaded happens now.
  skinData_->Loaded();
}

TsMaskEdit::~TsMaskEdit() {
  label_.reset();
  cmdHandler_.reset();
  skinData_.reset();
}

void TsMaskEdit::Loaded() {
  TMaskEdit::Loaded();
  skinData_->Loaded();
}

void TsMaskEdit::CreateWnd() {
  TMaskEdit::CreateWnd();
  skinData_->Loaded();
}

void TsMaskEdit::Change() {
  if (IsLoading()) return;
  TMaskEdit::Change();
}

void TsMaskEdit::SetDisabledKind(TsDisabledKind value) {
  if (value == disabledKind_) return;
  disabledKind_ = value;
  skinData_->Invalidate();
}

bool TsMaskEdit::IsActive() const { return skinData_->IsActive(); }

void TsMaskEdit::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD) {
    if (!cmdHandler_->Answer(m)) TMaskEdit::WndProc(m);
    return;
  }
  if (skinData_ && skinData_->IsSkinned() && IsControlReady(this)) {
    if (HandleSkinnedPaint(m)) return;
    HandleCommonMessage(m, skinData_.get());
    TMaskEdit::WndProc(m);
    AfterEffects(m);
  } else {
    TMaskEdit::WndProc(m);
  }
  label_->Follow(m, true, disabledKind_.Contains(dkBlended));
}

bool TsMaskEdit::HandleSkinnedPaint(TMessage& m) {
  TsCommonData& d = *skinData_;
  switch (m.Msg) {
    case WM_SETTEXT:
      if (ComponentState().Contains(csDesigning)) d.BackgroundDirty = true;
      return false;
    case WM_PAINT:
      if (d.IsActive()) {
        TMaskEdit::WndProc(m);
        PaintBorder(nullptr);
      } else {
        OwnPaint(reinterpret_cast<HDC>(m.WParam));
      }
      return true;
    case WM_ERASEBKGND:
    case CN_DRAWITEM:
      if (AnimationRunning) return true;
      d.PaintSuspended = d.PaintingSuspended();
      if (!d.PaintSuspended) TMaskEdit::WndProc(m);
      return true;
    case WM_NCPAINT: {
      if (AnimationRunning) return true;
      d.PaintSuspended = d.PaintingSuspended();
      if (d.PaintSuspended) return true;
      TWindowDC dc(Handle(), true);
      if (dc) {
        TSaveDC saved(dc.Get());
        PaintBorder(dc.Get());
      }
      return true;
    }
    case WM_PRINT: {
      d.PaintSuspended = false;
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      if (d.BackgroundDirty) PrepareCache();
      if (!d.CacheBitmap) return true;
      OwnPaint(dc);
      TBitmap& cache = *d.CacheBitmap;
      CopyBorderFrame(dc, cache.Canvas()->Handle(), cache.Width(), cache.Height(), FrameWidth());
      return true;
    }
    case CM_COLORCHANGED:
    case CM_CHANGED:
      d.BackgroundDirty = true;
      return false;
    default:
      return false;
  }
}

void TsMaskEdit::AfterEffects(const TMessage& m) {
  switch (m.Msg) {
    case WM_SETFOCUS:
      Invalidate();
      break;
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
      skinData_->Invalidate();
      break;
    default:
      break;
  }
}

TPoint TsMaskEdit::ClientOffsetInWindow() {
  RECT window{};
  POINT client{0, 0};
  GetWindowRect(Handle(), &window);
  ::ClientToScreen(Handle(), &client);
  return TPoint{client.x - window.left, client.y - window.top};
}

void TsMaskEdit::OwnPaint(HDC dc) {
  TsCommonData& d = *skinData_;
  std::unique_ptr<TPaintDC> painting;
  if (!AnimationRunning) painting = std::make_unique<TPaintDC>(Handle());
  // Without a device context the picture goes to the client area through the paint DC; the
  // frame is the non-client paint's.
  TPoint from{0, 0};
  TWindowDC clientDC;
  if (!dc) {
    if (painting) {
      dc = painting->Get();
    } else {
      clientDC = TWindowDC(Handle());
      dc = clientDC.Get();
    }
    from = ClientOffsetInWindow();
  }
  if (!dc) return;
  TSaveDC saved(dc);
  d.PaintSuspended = d.PaintingSuspended();
  if (d.PaintSuspended) return;
  d.BackgroundDirty = d.BackgroundDirty || d.PartlyHidden ||
                      (Parent() && QueryControlSkinCmd(Parent(), CmdIsPartlyHidden) != 0);
  d.PartlyHidden = !Parent() || !RectContainsRect(Parent()->ClientRect(), BoundsRect());
  if (d.BackgroundDirty) PrepareCache();
  // The border is not laid again here: the cache holds the text, which the border mask's
  // centre would cover, and it got its border over the background current when it was built.
  if (!d.CacheBitmap) return;
  BitBlt(dc, 0, 0, Width() - from.X, Height() - from.Y, d.CacheBitmap->Canvas()->Handle(), from.X,
         from.Y, SRCCOPY);
}

void TsMaskEdit::PaintBorder(HDC dc) {
  TsCommonData& d = *skinData_;
  if (!Parent() || !Visible() || !Parent()->Visible() || !HandleAllocated() ||
      BorderStyle() == bsNone || d.PaintingSuspended())
    return;
  TWindowDC own;
  if (!dc) {
    own = TWindowDC(Handle(), true);
    dc = own.Get();
  }
  if (!dc) return;
  TSaveDC saved(dc);
  if (d.BackgroundDirty) PrepareCache();
  if (!d.CacheBitmap) return;
  TBitmap& cache = *d.CacheBitmap;
  CopyBorderFrame(dc, cache.Canvas()->Handle(), Width(), Height(), kBorderStrip);
}

void TsMaskEdit::PrepareCache() {
  TsCommonData& d = *skinData_;
  d.UpdateCacheSize();
  if (!d.CacheBitmap) return;
  if (!d.IsSkinned()) {
    PaintSolidRect(d.CacheBitmap->Canvas()->Handle(), TRect{0, 0, Width(), Height()}, Color());
    PaintText();
    return;
  }
  TsBackgroundSource background;
  d.GetParentBackground(background);
  const TRect all{0, 0, Width(), Height()};
  const TPoint offset{Left(), Top()};
  if (BorderStyle() == bsSingle) {
    const TsPaintState state = IsActive() ? TsPaintState::Hot : TsPaintState::Normal;
    PaintControlItem(d, background, d.CacheBitmap.get(), offset, all, state);
  } else {
    PaintControlBackground(d, background, TsPaintState::Normal, d.CacheBitmap.get(), offset, all);
  }
  PaintText();
  if (!Enabled()) {
    d.GetParentBackground(background);
    PaintDisabledEffect(d.CacheBitmap.get(), disabledKind_, GetControlBgColor(Parent()), offset,
                        background);
  }
  d.BackgroundDirty = false;
}

void TsMaskEdit::PaintText() {
  TsCommonData& d = *skinData_;
  const std::string text = EditText();
  if (text.empty()) return;
  TCanvas* canvas = d.CacheBitmap->Canvas();
  canvas->Font()->Assign(Font());
  // The text goes where the system edit draws it when focused (its formatting rectangle,
  // margins included), so that it does not jump as the focus comes and goes.
  const int fw = FrameWidth();
  TRect r{fw, fw, Width() - fw, 0};
  RECT format{};
  if (HandleAllocated()) SendMessageA(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  if (format.right > format.left) {
    const TPoint client = ClientOffsetInWindow();
    r = TRect{format.left + client.X, format.top + client.Y, format.right + client.X, 0};
  }
  r.Bottom = r.Top + canvas->TextHeight(text) + 2;
  TsSectionText shown{.R = r, .Hot = IsActive(), .Enabled = Enabled()};
  if (PasswordChar()) {
    shown.Text = MakeCharString(static_cast<int>(text.size()), PasswordChar());
    shown.Format = GetTextAlignFlags(this, taLeftJustify) | DT_NOPREFIX;
  } else {
    shown.Text = text;
    shown.Format = DT_NOPREFIX | DT_EXTERNALLEADING;
  }
  DrawControlText(canvas, d, shown);
}
