#include "skin/adapters/skGroupBoxWndWin32.h"

#include "framework/CanvasWin32.h"
#include "skin/adapters/skAdapterPaintWin32.h"
#include "skin/adapters/skButtonLayout.h"
#include "skin/core/painting/sBordersWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sVclUtilsWin32.h"

class TskGroupBoxWnd::TCmdHandler : public TskAdapterCmdHandler {
 public:
  explicit TCmdHandler(TskGroupBoxWnd& box)
      : TskAdapterCmdHandler(*box.CommonData(), box.Manager(), box.AdapterWindow()), b_(box) {}

 protected:
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (TControl* host = HostControlOf(Data()))
      host->SetControlStyle(host->ControlStyle() - csOpaque);
    return TskAdapterCmdHandler::OnRemoveSkin(m);
  }
  // The children of a group box ask where its inside begins.
  bool OnGetContainerInfo(TSkinCmdMessage& m) override {
    m.Result = b_.GetCaptionRect().Height();
    return true;
  }

 private:
  TskGroupBoxWnd& b_;
};

TskGroupBoxWnd::TskGroupBoxWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                               const std::string& section)
    : TskMainWnd(handle, skinData, manager, section.empty() ? "GROUPBOX" : section) {}

bool TskGroupBoxWnd::AnswerSkinCmd(TSkinCmdMessage& cmd) { return TCmdHandler(*this).Handle(cmd); }

TRect TskGroupBoxWnd::GetCaptionRect() {
  ReadWindowGeometry();
  TWindowDC screen(nullptr);
  const TSize text = MeasureText(screen.Get(), WindowFont(windowHandle_), CaptionText(), 0,
                                 DT_CALCRECT | DT_CENTER);
  const bool rtl = (GetWindowLongPtrA(windowHandle_, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
  return GroupCaptionRect(WindowSize().cx, text, rtl);
}

void TskGroupBoxWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskMainWnd::WndProc(m);
    return;
  }
  const UINT redraw = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME;
  switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      {
        TRedrawOff off(windowHandle_);
        TskMainWnd::WndProc(m);
      }
      commonData_->BackgroundDirty = true;
      RedrawWindow(windowHandle_, nullptr, nullptr, redraw);
      return;
    }
    case WM_SETTEXT:
      TskMainWnd::WndProc(m);
      commonData_->BackgroundDirty = true;
      RedrawWindow(windowHandle_, nullptr, nullptr, redraw);
      return;
    case WM_PAINT:
      if (InDialog()) break;
      Paint(m.WParam, 0);
      m.Result = 0;
      return;
    case WM_ERASEBKGND:
      if (InDialog()) break;
      if (m.WParam == static_cast<WPARAM>(m.LParam)) Erase(m.WParam);
      m.Result = 1;
      return;
    case WM_NCPAINT:
      if (!InDialog()) break;
      Paint(0, 0);
      m.Result = 1;
      return;
    case WM_PARENTNOTIFY:
      TskMainWnd::WndProc(m);
      if (LOWORD(m.WParam) == WM_CREATE) NotifyControlChanged(HostControlOf(*commonData_));
      return;
    case WM_PRINT:
      commonData_->BackgroundDirty = true;
      Paint(m.WParam, 1);
      return;
    default:
      break;
  }
  TskMainWnd::WndProc(m);
}

void TskGroupBoxWnd::Erase(WPARAM given) {
  HDC dc = reinterpret_cast<HDC>(given);
  if (!dc) return;
  if (commonData_->BackgroundDirty) PrepareCache();
  if (commonData_->BackgroundDirty) return;
  if (commonData_->NeedsCache() && commonData_->CacheBitmap) {
    CopyCacheTo(dc, *commonData_->CacheBitmap);
    return;
  }
  const RECT r{0, 0, WindowSize().cx, WindowSize().cy};
  TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(GetWindowBgColor(windowHandle_))));
  FillRect(dc, &r, brush.Get());
}

void TskGroupBoxWnd::Paint(WPARAM given, LPARAM flags) {
  const bool printing = given != 0 && flags == 1;
  TAdapterPaint paint(windowHandle_, printing ? given : 0, true, true);
  ReadWindowGeometry();
  commonData_->PaintSuspended = commonData_->PaintingSuspended();
  if (commonData_->PaintSuspended) return;
  HDC dc = paint.Dc();
  if (!dc) return;
  PrepareCache();
  TSaveDC saved(dc);
  const TSize size = WindowSize();
  if (InDialog() && manager_) {
    // Only the frame is the skin's; the box paints its inside itself.
    const int mask = commonData_->BorderMaskIndex;
    TsSkinManager* widths = DefaultManager ? DefaultManager : manager_;
    ExcludeClipRect(dc, widths->MaskWidthLeft(mask), GetCaptionRect().Height(),
                    size.cx - widths->MaskWidthRight(mask),
                    size.cy - widths->MaskWidthBottom(mask));
  }
  BlitCacheExceptWindows(windowHandle_, *commonData_,
                         TsCacheBlit{.DC = dc,
                                     .Dest = TRect{0, 0, size.cx, size.cy},
                                     .Source = TRect{0, 0, size.cx, size.cy}});
  if (auto* host = dynamic_cast<TWinControl*>(HostControlOf(*commonData_)))
    PaintGraphicChildren(dc, host, TPoint{0, 0}, true);
  ResumeChildWindowsPainting(windowHandle_);
}

void TskGroupBoxWnd::PrepareCache() {
  commonData_->UpdateCacheSize();
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache) return;
  ReadWindowGeometry();
  const TSize size = WindowSize();
  cache->SetSize(size.cx, size.cy);
  const TRect c = GetCaptionRect();
  TsBackgroundRequest request;
  GetWindowBackground(request, ParentHandle(), false);
  POINT p{ScreenRect().Left, ScreenRect().Top};
  if (!ParentHandle() || !ScreenToClient(ParentHandle(), &p)) return;
  const TsBackgroundSource behind = BackgroundSourceFromRequest(request);
  // The strip behind the caption shows the parent.
  auto fillFromParent = [&](const TRect& r) {
    if (behind.HasBitmap && behind.Bmp)
      CopyBitmapRect(cache, r.Left, r.Top, behind.Bmp,
                     TRect{p.x + behind.X + r.Left, p.y + behind.Y + r.Top,
                           p.x + behind.X + r.Right, p.y + behind.Y + r.Bottom});
    else
      FillRect32(cache, r, ColorToRGB(behind.FillColor));
  };
  fillFromParent(TRect{0, 0, size.cx, c.Bottom});
  const int half = c.Height() / 2;
  PaintControlItem(*commonData_, behind, cache, TPoint{p.x, p.y + half},
                   TRect{0, half, size.cx, size.cy}, TsPaintState::Normal);
  if (!CaptionText().empty()) {
    // The frame's line is interrupted behind the text.
    fillFromParent(c);
    DrawCaption(*commonData_, cache, WindowFont(windowHandle_), CaptionText(), c,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE, false);
  }
  commonData_->BackgroundDirty = false;
}
