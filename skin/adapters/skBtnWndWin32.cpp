#include "skin/adapters/skBtnWndWin32.h"

#include "skin/adapters/skAdapterPaintWin32.h"
#include "skin/adapters/skButtonLayout.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/skGlow.h"

namespace {
// The skin-state bit of a control that is being printed.
constexpr uint16_t kPrintingState = 0x200;
}  // namespace

class TskBtnWnd::TCmdHandler : public TskAdapterCmdHandler {
 public:
  explicit TCmdHandler(TskBtnWnd& button)
      : TskAdapterCmdHandler(*button.CommonData(), button.Manager(), button.AdapterWindow()),
        b_(button) {}

 protected:
  bool OnMouseEnter(TSkinCmdMessage&) override {
    TsCommonData& d = Data();
    if (!d.MouseOver) {
      // A late enter from a pointer that has already left changes nothing.
      if (!CursorOver(b_.WindowHandle())) return true;
      d.MouseOver = true;
      d.BackgroundDirty = true;
      d.SetPaintSuspended(false);
      b_.Repaint();
      UpdateGlow(d, false, b_.WindowHandle());
    }
    return false;
  }
  bool OnMouseLeave(TSkinCmdMessage&) override {
    TsCommonData& d = Data();
    if (d.MouseOver) {
      FreeAllGlows();
      d.MouseOver = false;
      d.SetPaintSuspended(false);
      d.BackgroundDirty = true;
      b_.Repaint();
    }
    return false;
  }

 private:
  TskBtnWnd& b_;
};

TskBtnWnd::TskBtnWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                     const std::string& section)
    : TskMainWnd(handle, skinData, manager, section.empty() ? "BUTTON" : section) {}

bool TskBtnWnd::AnswerSkinCmd(TSkinCmdMessage& cmd) { return TCmdHandler(*this).Handle(cmd); }

uint32_t TskBtnWnd::GetStyle() const {
  return static_cast<uint32_t>(GetWindowLongPtrA(windowHandle_, GWL_STYLE));
}

bool TskBtnWnd::IsPushed() const {
  return (SendMessageA(windowHandle_, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
}

int TskBtnWnd::GetDrawState() const {
  const int state = PushButtonState(
      TsPushButtonLook{.Pushed = IsPushed(),
                       .Enabled = IsWindowEnabled(windowHandle_) != FALSE,
                       .FocusedOrHot = GetFocus() == windowHandle_ || commonData_->MouseOver,
                       .HostControl = HostControlOf(*commonData_) != nullptr,
                       .Style = GetStyle()});
  if (state == 2) FreeAllGlows();
  return state;
}

void TskBtnWnd::Repaint() {
  RedrawWindow(windowHandle_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TskBtnWnd::ChangeQuietly(TMessage& m, bool baseProcedure) {
  {
    TRedrawOff off(windowHandle_);
    if (baseProcedure)
      TskMainWnd::WndProc(m);
    else
      m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
  }
  commonData_->BackgroundDirty = true;
  Repaint();
}

void TskBtnWnd::SetHot(bool hot) {
  if (TsSkinRuntimeHotWindow) TsSkinRuntimeHotWindow(hot ? windowHandle_ : nullptr);
}

void TskBtnWnd::TrackLeave() {
  // The leave is reported, so the hot look ends when the pointer goes elsewhere.
  TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, windowHandle_, 0};
  TrackMouseEvent(&track);
}

void TskBtnWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskMainWnd::WndProc(m);
    return;
  }
  const bool visible = IsWindowVisible(windowHandle_) != FALSE;
  const bool enabled = IsWindowEnabled(windowHandle_) != FALSE;
  switch (m.Msg) {
    case WM_MOVE: {
      const TsGeneralData* section = commonData_->Section();
      if (section && (section->Transparency > 0 ||
                      (section->HotTransparency > 0 && commonData_->IsActive()))) {
        commonData_->BackgroundDirty = true;
        Repaint();
      }
      break;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (!enabled) {
        // A disabled button never takes the focus's look, nor hears of it.
        if (m.Msg == WM_SETFOCUS) return;
        break;
      }
      commonData_->HasFocus = m.Msg == WM_SETFOCUS;
      ChangeQuietly(m, true);
      return;
    case WM_ENABLE:
    case WM_SETTEXT:
      if (!visible) break;
      ChangeQuietly(m, true);
      return;
    case BM_SETSTATE:
      if (!visible) break;
      ChangeQuietly(m, false);
      return;
    case WM_PAINT:
      if (!visible && !(commonData_->SkinState & kPrintingState)) break;
      if (!colorsApplied_) ApplySkinColors();
      PaintButton(m.WParam);
      return;
    case WM_PRINT:
      PaintButton(m.WParam);
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
    case WM_UPDATEUISTATE:
      m.Result = 1;
      return;
    case WM_MOUSEHOVER:
      SendSkinCmd(windowHandle_, CmdMouseEnter, reinterpret_cast<LPARAM>(manager_));
      break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      // A click's capture ends the request for the leave: it is asked for again.
      TskMainWnd::WndProc(m);
      if (commonData_->MouseOver && CursorOver(windowHandle_)) TrackLeave();
      return;
    case WM_MOUSELEAVE:
      if (commonData_->MouseOver) SetHot(false);
      break;
    case WM_MOUSEMOVE:
      TskMainWnd::WndProc(m);
      if (DefaultManager && !DefaultManager->ComponentState().Contains(csDesigning) && enabled) {
        const bool over = CursorOver(windowHandle_);
        if (over) TrackLeave();
        if (over && !commonData_->MouseOver) SetHot(true);
        if (!over && commonData_->MouseOver) SetHot(false);
      }
      return;
    default:
      break;
  }
  TskMainWnd::WndProc(m);
}

void TskBtnWnd::PaintButton(WPARAM given) {
  TAdapterPaint paint(windowHandle_, given, true);
  if (AnimationRunning && !commonData_->PrintTarget) return;
  ReadWindowGeometry();
  if (!AnimationRunning) {
    commonData_->PaintSuspended = commonData_->PaintingSuspended();
    if (commonData_->PaintSuspended) return;
  }
  HDC dc = paint.Dc();
  if (!dc) return;
  commonData_->BackgroundDirty = true;
  PrepareCache();
  if (commonData_->CacheBitmap) CopyCacheTo(dc, *commonData_->CacheBitmap);
}

void TskBtnWnd::PrepareCache() {
  ReadWindowGeometry();
  const TsBackgroundSource behind = ParentBackground(windowHandle_);
  commonData_->UpdateCacheSize();
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache) return;
  const TSize size = WindowSize();
  cache->SetSize(size.cx, size.cy);
  PaintControlItem(*commonData_, behind, cache, PosInParent(), TRect{0, 0, size.cx, size.cy},
                   static_cast<TsPaintState>(GetDrawState()));
  DrawCaption();
  DrawGlyph();
  ApplyDisabledLook(windowHandle_, cache, behind, PosInParent());
  commonData_->BackgroundDirty = false;
}

int TskBtnWnd::GetMaxCaptionWidth() const {
  return PushButtonCaptionWidth(WindowSize().cx, GetGlyphSize().cx, !CaptionText().empty());
}

TSize TskBtnWnd::MeasureCaption() {
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache) return TSize{0, 0};
  return MeasureText(cache->Canvas()->Handle(), WindowFont(windowHandle_), CaptionText(),
                     GetMaxCaptionWidth(), PushButtonMeasureFlags(GetStyle()));
}

TRect TskBtnWnd::GetCaptionRect() {
  return PushButtonCaptionRect(WindowSize(), MeasureCaption(), IsPushed());
}

void TskBtnWnd::DrawCaption() {
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache || CaptionText().empty()) return;
  TRect r = GetCaptionRect();
  ::DrawCaption(*commonData_, cache, WindowFont(windowHandle_), CaptionText(), r,
                PushButtonTextFlags(GetStyle()), GetDrawState() != 0);
  const TsGeneralData* section = commonData_->Section();
  const bool focused = (SendMessageA(windowHandle_, BM_GETSTATE, 0, 0) & BST_FOCUS) != 0;
  if (IsWindowEnabled(windowHandle_) && focused && section && section->ShowFocus) {
    r = TRect{r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1};
    DrawDottedFrame(cache->Canvas(), r, clBtnFace, 0);
  }
}
