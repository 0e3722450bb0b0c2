#include "skin/adapters/skStaticWndWin32.h"

#include <algorithm>

#include "framework/CanvasWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/adapters/skAdapterPaintWin32.h"
#include "skin/adapters/skStaticText.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sColorsWin32.h"

namespace {

uint32_t StyleOf(HWND wnd) { return static_cast<uint32_t>(GetWindowLongPtrA(wnd, GWL_STYLE)); }
uint32_t ExStyleOf(HWND wnd) { return static_cast<uint32_t>(GetWindowLongPtrA(wnd, GWL_EXSTYLE)); }

}  // namespace

HFONT CreateMessageFont(bool underline) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
  if (underline) metrics.lfMessageFont.lfUnderline = TRUE;
  return CreateFontIndirectA(&metrics.lfMessageFont);
}

// ---- static text
// ---------------------------------------------------------------------------------

TskStaticWnd::TskStaticWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                           const std::string& section)
    : TskMainWnd(handle, skinData, manager, section.empty() ? "CHECKBOX" : section) {}

void TskStaticWnd::Redraw() {
  commonData_->BackgroundDirty = true;
  RedrawWindow(windowHandle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void TskStaticWnd::WndProc(TMessage& m) {
  if (!SkinLive() || StaticPaintsItself(StyleOf(windowHandle_), ExStyleOf(windowHandle_))) {
    TskMainWnd::WndProc(m);
    return;
  }
  const bool visible = IsWindowVisible(windowHandle_) != FALSE;
  switch (m.Msg) {
    case WM_MOVE:
    case WM_ENABLE:
      if (!visible) break;
      commonData_->BackgroundDirty = true;
      m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
      Redraw();
      return;
    case WM_SETTEXT:
      if (!visible) break;
      {
        TRedrawOff off(windowHandle_);
        TskMainWnd::WndProc(m);
      }
      Redraw();
      return;
    case WM_PAINT: {
      TAdapterPaint paint(windowHandle_, 0, true);
      if (visible) PaintStatic(m.WParam);
      return;
    }
    case WM_ERASEBKGND:
      if (!visible) break;
      m.Result = 1;
      return;
    case WM_NCPAINT:
      return;
    case WM_PRINT:
      PaintStatic(m.WParam);
      return;
    default:
      break;
  }
  TskMainWnd::WndProc(m);
}

void TskStaticWnd::BuildCache() {
  ReadWindowGeometry();
  commonData_->BackgroundDirty = true;
  PrepareWindowCache(commonData_, windowHandle_, false);
  if (commonData_->CacheBitmap)
    ApplyDisabledLook(windowHandle_, commonData_->CacheBitmap.get(),
                      ParentBackground(windowHandle_), PosInParent());
}

void TskStaticWnd::PaintStatic(WPARAM given) {
  TAdapterPaint paint(windowHandle_, given, false, true);
  HDC dc = paint.Dc();
  if (!dc) return;
  TSaveDC saved(dc);
  BuildCache();
  if (commonData_->CacheBitmap && DrawContent()) CopyCacheTo(dc, *commonData_->CacheBitmap);
}

bool TskStaticWnd::DrawContent() {
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (cache && !CaptionText().empty())
    DrawCaption(*commonData_, cache, WindowFont(windowHandle_), CaptionText(),
                TRect{0, 0, WindowSize().cx, WindowSize().cy},
                StaticTextFlags(ExStyleOf(windowHandle_)), false);
  return true;
}

// ---- statics with a sunken edge
// ------------------------------------------------------------------

void TskEdgeWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskStaticWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_PAINT:
      // The static paints its picture itself; the skin gives it its frame.
      m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
      PaintEdge();
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      return;
    default:
      TskStaticWnd::WndProc(m);
  }
}

void TskEdgeWnd::PaintEdge() {
  TWindowDC dc(windowHandle_, true);
  if (!dc.Get()) return;
  BuildCache();
  if (!commonData_->CacheBitmap) return;
  DrawContent();
  TBitmap& cache = *commonData_->CacheBitmap;
  CopyBorderFrame(dc.Get(), cache.Canvas()->Handle(), cache.Width(), cache.Height(), 2);
}

// ---- icon and bitmap statics
// ---------------------------------------------------------------------

TskIconWnd::TskIconWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                       const std::string& section)
    : TskStaticWnd(handle, skinData, manager, section), bitmapImage_(!ShowsIcon(StyleOf(handle))) {}

bool TskIconWnd::DrawContent() {
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache) return false;
  HDC target = cache->Canvas()->Handle();
  if (!bitmapImage_) {
    auto icon = reinterpret_cast<HICON>(SendMessageA(windowHandle_, STM_GETICON, 0, 0));
    if (!icon) return false;
    DrawIconEx(target, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    return true;
  }
  auto image =
      reinterpret_cast<HBITMAP>(SendMessageA(windowHandle_, STM_GETIMAGE, IMAGE_BITMAP, 0));
  BITMAP info{};
  if (!image || !GetObjectA(image, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
    return false;
  // The image is the static's: it is selected into a DC of our own only for the copy, and
  // never deleted here.
  TDCHandle source(CreateCompatibleDC(target));
  if (!source.Get()) return false;
  TSelectObject selected(source.Get(), image);
  BitBlt(target, 0, 0, std::min<int>(WindowSize().cx, info.bmWidth),
         std::min<int>(WindowSize().cy, info.bmHeight), source.Get(), 0, 0, SRCCOPY);
  return true;
}

// ---- link windows
// --------------------------------------------------------------------------------

void TskLinkWnd::WndProc(TMessage& m) {
  if (!SkinLive() || (ExStyleOf(windowHandle_) & WS_EX_STATICEDGE)) {
    TskStaticWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_ERASEBKGND:
      if (!IsWindowVisible(windowHandle_)) break;
      // The link's picture comes with the erase: its own drawing is suppressed.
      PaintStatic(m.WParam);
      m.Result = 1;
      return;
    case WM_MOVE:
      commonData_->BackgroundDirty = true;
      m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
      Redraw();
      return;
    case WM_SETTEXT:
      TskMainWnd::WndProc(m);
      Redraw();
      return;
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      BeginPaint(windowHandle_, &ps);
      EndPaint(windowHandle_, &ps);
      return;
    }
    case WM_NCPAINT:
      return;
    default:
      break;
  }
  TskStaticWnd::WndProc(m);
}

bool TskLinkWnd::DrawContent() {
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache) return true;
  TGdiObject<HFONT> font(CreateMessageFont(true));
  DrawCaption(*commonData_, cache, font.Get(), StripLinkMarkup(CaptionText()),
              TRect{0, 0, WindowSize().cx + 4, WindowSize().cy}, 0x150, false);
  return true;
}
