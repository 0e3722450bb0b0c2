#include "skin/controls/sPanelWin32.h"

#include "framework/CanvasWin32.h"
#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/controls/sControlCmdHandlerWin32.h"
#include "skin/controls/sPanelGeometry.h"
#include "skin/core/painting/sBordersWin32.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sVclUtilsWin32.h"

// A panel is a container: a plain section makes it a plain background for its children.
class TsPanel::THost : public TControlSkinHost {
 public:
  using TControlSkinHost::TControlSkinHost;
  bool IsPlainContainer() const override { return true; }
};

// The skin command as the panel answers it: skin changes reach its children too, and its
// children ask it for their background.
class TsPanel::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsPanel& panel) : TsControlCmdHandler(panel, *panel.skinData_), p_(panel) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    p_.controlStyle_.Exclude(csOpaque);
    BroadcastToChildren(&p_, m);
    if (!NamesOurManager(m)) return true;
    TsSkinCmdHandler::OnSkinChanged(m);
    // A panel shown before the skin came paints its new picture at once.
    if (p_.HandleAllocated()) Data().Invalidate();
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    p_.controlStyle_.Exclude(csOpaque);
    if (NamesOurManager(m)) {
      TsSkinCmdHandler::OnRemoveSkin(m);
      p_.Invalidate();
    }
    BroadcastToChildren(&p_, m);
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (NamesOurManager(m)) {
      TsSkinCmdHandler::OnRefresh(m);
      if (p_.HandleAllocated() && !p_.ComponentState().Contains(csLoading)) {
        InvalidateRect(p_.Handle(), nullptr, TRUE);
        RedrawWindow(p_.Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
      }
    }
    BroadcastToChildren(&p_, m);
    return true;
  }
  bool OnGetBgInfo(TSkinCmdMessage& m) override {
    TsCommonData& d = Data();
    if (d.BackgroundDirty && !d.PaintingSuspended()) p_.PrepareCache();
    if (m.LParam == 0) return true;
    auto& request = *reinterpret_cast<TsBackgroundRequest*>(m.LParam);
    d.FillBackgroundRequest(request, 0);
    // A window frame moves the client area inside the picture.
    if (p_.HandleAllocated() && request.BgType == 2 && !request.PleaseDraw) {
      RECT client{};
      GetClientRect(p_.Handle(), &client);
      if (client.right != p_.Width()) {
        request.X += p_.BevelInset();
        request.Y += p_.BevelInset();
      }
    }
    return true;
  }
  bool OnResumePainting(TSkinCmdMessage& m) override {
    if (!ReadyAndSkinned()) return TsSkinCmdHandler::OnResumePainting(m);
    TsCommonData& d = Data();
    if (d.PaintSuspended) {
      d.PaintSuspended = false;
      d.PaintSuspended = d.PaintingSuspended();
      if (!d.PaintSuspended)
        RedrawWindow(p_.Handle(), nullptr, nullptr,
                     RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
    }
    ResumeChildrenPainting(&p_);
    return true;
  }
  bool OnIsUpdating(TSkinCmdMessage& m) override {
    if (!ReadyAndSkinned()) return TsSkinCmdHandler::OnIsUpdating(m);
    m.Result = Data().PaintingSuspended() ? 1 : 0;
    return true;
  }

 private:
  TsPanel& p_;
};

TsPanel::TsPanel(TComponent* owner)
    : TPanel(owner),
      host_(std::make_unique<THost>(this)),
      skinData_(std::make_unique<TsCommonData>(host_.get(), true)),
      cmdHandler_(std::make_unique<TCmdHandler>(*this)) {
  skinData_->ControlKind = TsControlKind::Panel;
  // A control made in code is complete here: what streaming does in Loaded happens now.
  skinData_->Loaded();
}

TsPanel::~TsPanel() {
  cmdHandler_.reset();
  skinData_.reset();
}

void TsPanel::Loaded() {
  TPanel::Loaded();
  skinData_->Loaded();
}

void TsPanel::CreateWnd() {
  TPanel::CreateWnd();
  skinData_->Loaded();
}

int TsPanel::BevelInset() const {
  return PanelBevelInset(BevelWidth(), BevelInner() != bvNone, BevelOuter() != bvNone,
                         BorderWidth());
}

bool TsPanel::CachedWay() const {
  return (skinData_->NeedsCache() && !skinData_->CustomColor) || AnimationRunning;
}

int TsPanel::SectionTransparency() const {
  const TsGeneralData* section = skinData_->Section();
  return section ? section->Transparency : 0;
}

TRect TsPanel::CaptionArea() {
  const int inset = BevelInset();
  return TRect{inset, inset, std::max(inset, Width() - inset), std::max(inset, Height() - inset)};
}

void TsPanel::Paint() {
  if (Showing() && OnPaint_) {
    OnPaint_(this, Canvas());
    return;
  }
  TPanel::Paint();
}

void TsPanel::PaintWindow(HDC dc) {
  TPanel::PaintWindow(dc);
  PaintToDC(dc, true);
}

void TsPanel::PrepareCache() {
  TsCommonData& d = *skinData_;
  if (!d.NeedsCache() && !AnimationRunning) return;
  d.UpdateCacheSize();
  TBitmap* cache = d.CacheBitmap.get();
  PaintControlItemOnParent(d, Parent(), cache, TPoint{Left(), Top()},
                           TRect{0, 0, Width(), Height()}, TsPaintState::Normal);
  DrawCaption(CaptionArea(), cache->Canvas(), nullptr);
  if (OnPaint_) OnPaint_(this, cache->Canvas());
  d.BackgroundDirty = false;
}

void TsPanel::DrawCaption(const TRect& r, TCanvas* canvas, HDC dc) {
  if (Caption().empty()) return;
  std::unique_ptr<TCanvas> onDC;
  if (!canvas) {
    if (!dc) return;
    onDC = std::make_unique<TCanvas>();
    onDC->SetHandle(dc);
    canvas = onDC.get();
  }
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(bsClear);
  const TRect line = PanelCaptionRect(r, Height(), canvas->TextHeight("W"));
  DrawControlText(canvas, *skinData_,
                  TsSectionText{.Text = Caption(),
                                .R = line,
                                .Format = GetTextAlignFlags(this, Alignment()),
                                .Enabled = Enabled()});
  if (onDC) onDC->SetHandle(nullptr);
}

void TsPanel::PaintCached(HDC target) {
  TsCommonData& d = *skinData_;
  d.PaintSuspended = d.PaintingSuspended();
  if (d.PaintSuspended) return;
  const bool rebuild = d.PartlyHidden || d.BackgroundDirty;
  if (d.DependsOnParentBg()) {
    RECT clip{};
    GetClipBox(target, &clip);
    d.PartlyHidden =
        !(clip.left == 0 && clip.top == 0 && clip.right == Width() && clip.bottom == Height());
  } else {
    d.PartlyHidden = false;
  }
  if (rebuild && !d.ImmediatePaint) PrepareCache();
  const TRect all{0, 0, Width(), Height()};
  BlitCacheExceptControls(this, d, TsCacheBlit{.DC = target, .Dest = all, .Source = all});
  PaintGraphicChildren(target, this, TPoint{0, 0}, true);
}

void TsPanel::PaintDirect(HDC dc, HDC target) {
  TsCommonData& d = *skinData_;
  if (OnPaint_) {
    OnPaint_(this, Canvas());
    return;
  }
  d.PaintSuspended = false;
  const int b = d.MaxBorderWidth();
  const TRect r{0, 0, Width(), Height()};
  const bool seeThrough = SectionTransparency() == 100;
  {
    TSaveDC saved(target);
    ExcludeGraphicChildren(target, this, 0, 0);
    TsBackgroundRequest answer;
    if (d.CustomColor) {
      answer.Color = ColorToRGB(Color());
      answer.BgType = 1;
    } else {
      GetControlBackground(answer, Parent(), false);
    }
    bool painted = true;
    if (seeThrough && answer.BgType == 2 && answer.Bmp) {
      d.PaintSuspended = d.PaintingSuspended();
      if (d.PaintSuspended) {
        painted = false;
      } else if (b == 0) {
        BitBlt(target, 0, 0, Width(), Height(), answer.Bmp->Canvas()->Handle(), answer.X, answer.Y,
               SRCCOPY);
      } else {
        if (!d.CacheBitmap) d.UpdateCacheSize();
        TRect inner;
        PaintNonClientBorder(target, r, b, inner, TsPaintState::Normal, d);
        BitBlt(target, b, b, Width() - 2 * b, Height() - 2 * b, answer.Bmp->Canvas()->Handle(),
               answer.X + b, answer.Y + b, SRCCOPY);
      }
    } else if (b == 0) {
      PaintSolidRect(target, r, answer.Color);
    } else {
      if (!d.CacheBitmap) d.UpdateCacheSize();
      TRect inner;
      PaintNonClientBorder(target, r, b, inner, TsPaintState::Normal, d);
      PaintSolidRect(target, inner, seeThrough ? answer.Color : d.BgColor(0));
    }
    if (painted) {
      if (dc)
        DrawCaption(CaptionArea(), nullptr, dc);
      else
        DrawCaption(CaptionArea(), Canvas(), nullptr);
    }
  }
  PaintGraphicChildren(target, this, TPoint{0, 0}, true);
  // The direct way keeps no picture.
  d.CacheBitmap.reset();
}

void TsPanel::PaintToDC(HDC dc, bool resumeChildren) {
  if (!Showing() || !skinData_ || !skinData_->IsSkinned()) return;
  HDC target = dc ? dc : Canvas()->Handle();
  if (CachedWay())
    PaintCached(target);
  else
    PaintDirect(dc, target);
  if (resumeChildren) ResumeChildrenPainting(this);
}

void TsPanel::PaintMessage(TMessage& m) {
  TsCommonData& d = *skinData_;
  PAINTSTRUCT ps{};
  HDC painted = BeginPaint(Handle(), &ps);
  d.PaintSuspended = d.PaintingSuspended();
  if (d.NeedsCache() && !d.PaintSuspended) {
    HDC dc = m.WParam ? reinterpret_cast<HDC>(m.WParam) : painted;
    TSaveDC saved(dc);
    controlState_.Include(csCustomPaint);
    {
      TCanvasOnDC onDC(Canvas(), dc);
      PaintToDC(dc, true);
    }
    controlState_.Exclude(csCustomPaint);
  } else {
    PaintToDC(painted, true);
  }
  EndPaint(Handle(), &ps);
  m.Result = 0;
}

void TsPanel::PrintMessage(TMessage& m) {
  TsCommonData& d = *skinData_;
  d.PaintSuspended = false;
  if (!d.NeedsCache() && !d.CacheBitmap) d.CacheBitmap = std::make_unique<TBitmap>();
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  PrepareCache();
  PaintCtrlBorder(d, TsPaintState::Normal);
  PaintToDC(dc, false);
  if (!d.NeedsCache()) d.CacheBitmap.reset();
}

bool TsPanel::HandleSkinned(TMessage& m) {
  TsCommonData& d = *skinData_;
  switch (m.Msg) {
    case WM_PAINT:
      if (!Visible() && !ComponentState().Contains(csDesigning)) return false;
      PaintMessage(m);
      return true;
    case WM_ERASEBKGND:
      d.PaintSuspended = d.PaintingSuspended();
      if (!d.NeedsCache() && !d.PaintSuspended) PaintToDC(reinterpret_cast<HDC>(m.WParam), true);
      m.Result = 1;
      return true;
    case WM_PRINT:
      PrintMessage(m);
      return true;
    case CM_VISIBLECHANGED:
      d.BackgroundDirty = true;
      d.PaintSuspended = false;
      TPanel::WndProc(m);
      return true;
    case CM_COLORCHANGED:
      if (d.CustomColor) d.BackgroundDirty = true;
      return false;
    case CM_TEXTCHANGED:
      if (Parent()) d.Invalidate();
      return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TPanel::WndProc(m);
      return true;
    case WM_WINDOWPOSCHANGING:
      if (SectionTransparency() != 0) d.BackgroundDirty = true;
      return false;
    case WM_SIZE:
      d.BackgroundDirty = true;
      return false;
    default:
      return false;
  }
}

bool TsPanel::HandleUnskinned(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      // The owner paints the whole panel.
      if (OnPaint_) return true;
      return false;
    case WM_PRINT:
      if (OnPaint_) {
        OnPaint_(this, Canvas());
        if (m.WParam)
          BitBlt(reinterpret_cast<HDC>(m.WParam), 0, 0, Width(), Height(), Canvas()->Handle(), 0, 0,
                 SRCCOPY);
      }
      return true;
    default:
      return false;
  }
}

void TsPanel::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD) {
    if (cmdHandler_->Answer(m)) return;
    // Within a skin the panel's own procedure never sees the other commands.
    if (IsControlReady(this) && skinData_->IsSkinned()) return;
    TPanel::WndProc(m);
    return;
  }
  if (!IsControlReady(this) || !skinData_->IsSkinned()) {
    if (!HandleUnskinned(m)) TPanel::WndProc(m);
    return;
  }
  if (HandleSkinned(m)) return;
  HandleCommonMessage(m, skinData_.get());
  TPanel::WndProc(m);
  if (m.Msg == WM_SETFONT && !Caption().empty()) {
    skinData_->BackgroundDirty = true;
    Repaint();
  }
  if (m.Msg == CM_ENABLEDCHANGED) skinData_->Invalidate();
}
