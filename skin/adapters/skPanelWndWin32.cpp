#include "skin/adapters/skPanelWndWin32.h"

#include "framework/FormsWin32.h"
#include "skin/adapters/skAdapterPaintWin32.h"
#include "skin/core/painting/sBordersWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

// The width of a window's non-client border: half of what its client area lacks.
int BorderWidth(HWND wnd) {
  RECT w{}, c{};
  GetWindowRect(wnd, &w);
  GetClientRect(wnd, &c);
  return ((w.right - w.left) - (c.right - c.left)) / 2;
}

}  // namespace

// ---- a dialog inside the dialog ---------------------------------------------------------------

void TskTransPanelWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskMainWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_ERASEBKGND:
      PaintBackground(m.WParam);
      m.Result = 1;
      return;
    case WM_NCPAINT:
      m.Result = 0;
      return;
    default:
      TskMainWnd::WndProc(m);
  }
}

void TskTransPanelWnd::PaintBackground(WPARAM given) {
  ReadWindowGeometry();
  TAdapterPaint paint(windowHandle_, given, false, true);
  HDC dc = paint.Dc();
  if (!dc) return;
  commonData_->BackgroundDirty = true;
  PrepareWindowCache(commonData_, windowHandle_, false);
  const TSize size = WindowSize();
  BlitCacheExceptWindows(windowHandle_, *commonData_,
                         TsCacheBlit{.DC = dc,
                                     .Dest = TRect{0, 0, size.cx, size.cy},
                                     .Source = TRect{0, 0, size.cx, size.cy}});
}

// ---- a framework panel in a dialog
// ---------------------------------------------------------------

TskDlgPanelWnd::TskDlgPanelWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                               const std::string& section)
    : TskMainWnd(handle, skinData, manager, section),
      hostPanel_(FindComponentByHandle(handle, Application)) {
  const bool plainPanel = hostPanel_ && hostPanel_->ClassName() == "TPanel";
  if (plainPanel && manager_) hostPanel_->SetColor(manager_->GlobalColor());
  commonData_->SetSkinSection(plainPanel ? "CHECKBOX" : "GROUPBOX");
}

void TskDlgPanelWnd::SetHostColor(TColor color) {
  if (hostPanel_ && hostPanel_->Color() != color) hostPanel_->SetColor(color);
}

void TskDlgPanelWnd::ApplySkinColors() {
  TskMainWnd::ApplySkinColors();
  if (manager_) SetHostColor(manager_->GlobalColor());
}

void TskDlgPanelWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskMainWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_SETTEXT:
      if (IsWindowVisible(windowHandle_)) commonData_->BackgroundDirty = true;
      break;
    case WM_PAINT: {
      SetHostColor(manager_->GlobalColor());
      PAINTSTRUCT ps{};
      BeginPaint(windowHandle_, &ps);
      EndPaint(windowHandle_, &ps);
      return;
    }
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      if (!dc) break;
      TSaveDC saved(dc);
      PaintClient(m.WParam);
      const TSize size = WindowSize();
      // The panel paints its own inside, within the skin's frame.
      IntersectClipRect(dc, 6, 6, size.cx - 6, size.cy - 6);
      CallOldProc(WM_PAINT, m.WParam, 0);
      m.Result = 1;
      return;
    }
    case WM_NCPAINT:
      PaintBorder(0);
      m.Result = 1;
      return;
    case WM_UPDATEUISTATE:
      m.Result = 1;
      return;
    case WM_PARENTNOTIFY:
      TskMainWnd::WndProc(m);
      if (LOWORD(m.WParam) == WM_CREATE || LOWORD(m.WParam) == WM_DESTROY)
        SetHostColor(manager_->GlobalColor());
      if (LOWORD(m.WParam) == WM_CREATE) {
        if (TControl* host = HostControlOf(*commonData_)) NotifyControlChanged(host);
      }
      return;
    case WM_PRINT:
      PaintClient(m.WParam);
      PaintBorder(m.WParam);
      return;
    case WM_THEMECHANGED:
      SetHostColor(clBtnFace);
      break;
    default:
      break;
  }
  TskMainWnd::WndProc(m);
}

void TskDlgPanelWnd::PrepareCache() {
  ReadWindowGeometry();
  commonData_->UpdateCacheSize();
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache) return;
  const TSize size = WindowSize();
  if (cache->Width() != size.cx || cache->Height() != size.cy) cache->SetSize(size.cx, size.cy);
  PaintControlItem(*commonData_, ParentBackground(windowHandle_), cache, PosInParent(),
                   TRect{0, 0, size.cx, size.cy}, TsPaintState::Normal);
  commonData_->BackgroundDirty = false;
}

void TskDlgPanelWnd::PaintClient(WPARAM given) {
  TAdapterPaint paint(windowHandle_, given, false, true);
  HDC dc = paint.Dc();
  if (!dc) return;
  TSaveDC saved(dc);
  commonData_->PaintSuspended = commonData_->PaintingSuspended();
  if (commonData_->PaintSuspended) return;
  PrepareCache();
  if (!commonData_->CacheBitmap) return;
  const int b = BorderWidth(windowHandle_);
  const TSize size = WindowSize();
  CopyCacheTo(dc, *commonData_->CacheBitmap, b, b, size.cx - 2 * b, size.cy - 2 * b, b, b);
}

void TskDlgPanelWnd::PaintBorder(WPARAM given) {
  const int frame = BorderWidth(windowHandle_) + 6;
  commonData_->BackgroundDirty = true;
  PrepareCache();
  TAdapterPaint paint(windowHandle_, given, false, true);
  HDC dc = paint.Dc();
  if (!dc || !commonData_->CacheBitmap) return;
  TBitmap& cache = *commonData_->CacheBitmap;
  CopyBorderFrame(dc, cache.Canvas()->Handle(), cache.Width(), cache.Height(), frame);
}
