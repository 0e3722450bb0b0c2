#include "skin/controls/sEditWin32.h"

#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/controls/sControlCmdHandlerWin32.h"
#include "skin/controls/sEditGeometry.h"
#include "skin/controls/sLabelWin32.h"
#include "skin/core/painting/sBorders.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/skUtils.h"
#include "skin/core/skinfiles/sSkinManager.h"

// The skin command as the edit answers it.
class TsEdit::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsEdit& edit) : TsControlCmdHandler(edit, *edit.skinData_), e_(edit) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnSkinChanged(m);
    // A new skin brings its own colours: an edit keeping the old ones would show the last
    // skin's face inside the new frame.
    Data().UpdateColors(true);
    RedrawWithFrame();
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnRemoveSkin(m);
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnRefresh(m);
    RedrawWithFrame();
    return true;
  }
  // Children of an edit see a plain background.
  bool OnIsBgGraphic(TSkinCmdMessage& m) override {
    m.Result = 0;
    return true;
  }
  bool OnResumePainting(TSkinCmdMessage&) override {
    if (ReadyAndSkinned() && Data().PaintingSuspended()) {
      Data().PaintSuspended = false;
      e_.Repaint();
      if (e_.HandleAllocated()) SendMessageA(e_.Handle(), WM_NCPAINT, 0, 0);
    }
    return false;
  }

 private:
  void RedrawWithFrame() {
    if (!AnimationRunning && e_.HandleAllocated())
      RedrawWindow(e_.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
  }

  TsEdit& e_;
};

TsEdit::TsEdit(TComponent* owner)
    : TEdit(owner),
      host_(this),
      skinData_(std::make_unique<TsCtrlSkinData>(&host_, true)),
      label_(std::make_unique<TsControlLabel>(*this)),
      cmdHandler_(std::make_unique<TCmdHandler>(*this)) {
  skinData_->ControlKind = TsControlKind::Edit;
  // A control made in code is complete here: what streaming does in Loaded happens now.
  skinData_->Loaded();
}

TsEdit::~TsEdit() {
  label_.reset();
  cmdHandler_.reset();
  skinData_.reset();
}

void TsEdit::Loaded() {
  TEdit::Loaded();
  skinData_->Loaded();
}

void TsEdit::CreateWnd() {
  TEdit::CreateWnd();
  skinData_->Loaded();
}

void TsEdit::SetDisabledKind(TsDisabledKind value) {
  if (value == disabledKind_) return;
  disabledKind_ = value;
  skinData_->Invalidate();
}

void TsEdit::RefreshBorder() {
  // The border is laid again over what lies behind now, but not over a disabled picture: that
  // would bring back the full colours the disabled look blended away.
  if (Enabled()) PaintCtrlBorder(*skinData_, TsPaintState::Normal);
}

int TsEdit::FrameStripWidth() const {
  return EditBorderWidth(TsEditFrame{.HasBorder = BorderStyle() != bsNone});
}

void TsEdit::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD) {
    if (!cmdHandler_->Answer(m)) TEdit::WndProc(m);
    return;
  }
  if (!IsControlReady(this) || !skinData_->IsSkinned()) {
    TEdit::WndProc(m);
  } else {
    if (HandleSkinnedPaint(m)) return;
    if (HandleCommonMessage(m, skinData_.get())) return;
    TEdit::WndProc(m);
    AfterEffects(m);
  }
  label_->Follow(m, true, disabledKind_.Contains(dkBlended));
}

bool TsEdit::HandleSkinnedPaint(TMessage& m) {
  TsCommonData& d = *skinData_;
  switch (m.Msg) {
    case WM_PAINT:
      d.PaintSuspended = d.PaintingSuspended();
      if (AnimationRunning || d.PaintSuspended) {
        TPaintDC validated(Handle());
      } else if (Enabled()) {
        TEdit::WndProc(m);
      } else {
        OwnPaint(reinterpret_cast<HDC>(m.WParam));
      }
      return true;
    case WM_ERASEBKGND:
    case CN_DRAWITEM:
      if (AnimationRunning) return true;
      d.PaintSuspended = d.PaintingSuspended();
      if (d.PaintSuspended) return true;
      // A disabled edit erases nothing: its cached picture covers the whole window.
      if (Enabled()) TEdit::WndProc(m);
      return true;
    case WM_NCPAINT:
      if (!AnimationRunning) PaintBorder();
      return true;
    case WM_PRINT: {
      d.PaintSuspended = false;
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      PrepareCache();
      RefreshBorder();
      const int bw = FrameStripWidth();
      TBitmap& cache = *d.CacheBitmap;
      CopyBorderFrame(dc, cache.Canvas()->Handle(), cache.Width(), cache.Height(), bw);
      OwnPaint(dc);
      // The system edit prints its text area inside the frame.
      POINT origin{};
      GetWindowOrgEx(dc, &origin);
      SetWindowOrgEx(dc, origin.x - bw, origin.y - bw, nullptr);
      IntersectClipRect(dc, 0, 0, cache.Width() - 2 * bw, cache.Height() - 2 * bw);
      return false;
    }
    case CM_COLORCHANGED:
      if (d.CustomColor) d.BackgroundDirty = true;
      return false;
    default:
      return false;
  }
}

void TsEdit::AfterEffects(const TMessage& m) {
  TsCommonData& d = *skinData_;
  switch (m.Msg) {
    case WM_SIZE:
      SendMessageA(Handle(), WM_NCPAINT, 0, 0);
      break;
    case WM_KILLFOCUS:
    case CM_EXIT:
      d.HasFocus = false;
      d.MouseOver = false;
      d.BackgroundDirty = true;
      if (Visible()) Repaint();
      break;
    case WM_SETTEXT:
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
      if (IsLoading() || AnimationRunning) break;
      d.Invalidate();
      if (HandleAllocated()) SendMessageA(Handle(), WM_NCPAINT, 0, 0);
      break;
    default:
      break;
  }
}

void TsEdit::OwnPaint(HDC dc) {
  TsCommonData& d = *skinData_;
  std::unique_ptr<TPaintDC> painting;
  if (!AnimationRunning) painting = std::make_unique<TPaintDC>(Handle());
  // Without a device context the picture goes to the client area through the paint DC (a
  // window DC taken while painting is clipped away from the client area under Wine); the
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
  // An edit reaching outside its parent shows different parts of the background as it moves:
  // its picture is built anew until it lies wholly inside again.
  d.PartlyHidden = !Parent() || !RectContainsRect(Parent()->ClientRect(), BoundsRect());
  if (d.BackgroundDirty && !d.ImmediatePaint) PrepareCache();
  if (!d.CacheBitmap) return;
  RefreshBorder();
  BitBlt(dc, 0, 0, Width() - from.X, Height() - from.Y, d.CacheBitmap->Canvas()->Handle(), from.X,
         from.Y, SRCCOPY);
}

TPoint TsEdit::ClientOffsetInWindow() {
  RECT window{};
  POINT client{0, 0};
  GetWindowRect(Handle(), &window);
  ::ClientToScreen(Handle(), &client);
  return TPoint{client.x - window.left, client.y - window.top};
}

void TsEdit::PrepareCache() {
  TsCommonData& d = *skinData_;
  d.UpdateCacheSize();
  const TsPaintState state = d.IsActive() ? TsPaintState::Hot : TsPaintState::Normal;
  TsBackgroundSource background;
  d.GetParentBackground(background);
  const TRect all{0, 0, Width(), Height()};
  PaintControlItem(d, background, d.CacheBitmap.get(), TPoint{Left(), Top()}, all, state);
  PaintText();
  if (!Enabled()) {
    d.GetParentBackground(background);
    PaintDisabledEffect(d.CacheBitmap.get(), disabledKind_, GetControlBgColor(Parent()),
                        TPoint{Left(), Top()}, background);
  }
  d.BackgroundDirty = false;
}

void TsEdit::PaintText() {
  TsCommonData& d = *skinData_;
  TCanvas* canvas = d.CacheBitmap->Canvas();
  canvas->Font()->Assign(Font());
  const int inset = EditTextInset(TsEditFrame{.HasBorder = BorderStyle() != bsNone});
  // One line from the top left, whatever the alignment: the picture of a disabled edit shows
  // the start of its text as the system edit would.
  DrawControlText(canvas, d,
                  TsSectionText{.Text = ShownEditText(Text(), PasswordChar()),
                                .R = EditTextRect(Width(), Height(), inset),
                                .Format = DT_SINGLELINE | DT_NOPREFIX,
                                .Hot = d.IsActive(),
                                .Enabled = Enabled()});
}

void TsEdit::PaintBorder() {
  TsCommonData& d = *skinData_;
  if (AnimationRunning || !HandleAllocated()) return;
  d.PaintSuspended = d.PaintingSuspended();
  if (d.PaintSuspended) return;
  TWindowDC dc(Handle(), true);
  if (!dc) return;
  TSaveDC saved(dc.Get());
  if (d.BackgroundDirty) PrepareCache();
  if (!d.CacheBitmap) return;
  RefreshBorder();
  TBitmap& cache = *d.CacheBitmap;
  CopyBorderFrame(dc.Get(), cache.Canvas()->Handle(), Width(), Height(), FrameStripWidth());
}
