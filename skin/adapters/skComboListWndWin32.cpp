#include "skin/adapters/skComboListWndWin32.h"

#include "framework/HandlesWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColorsWin32.h"

TskComboListWnd::TskComboListWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                 const std::string& section, bool simple)
    : TskEditWnd(handle, skinData, manager, section), simpleCombo_(simple) {}

std::unique_ptr<TskComboListWnd> TskComboListWnd::CreateForCombo(HWND list, TsCommonData* skinData,
                                                                 TsSkinManager* manager,
                                                                 const std::string& section,
                                                                 bool repaint, bool simple) {
  auto adapter = Make<TskComboListWnd>(list, skinData, manager, section, repaint, simple);
  if (!simple) {
    // The list's real size, not one recorded at a first non-client paint: an empty list has
    // had none, and a recorded 0 x 0 would make it invisible.
    RECT r{};
    GetWindowRect(list, &r);
    SetWindowPos(list, nullptr, 0, 0, r.right - r.left + 1, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_NOOWNERZORDER |
                     SWP_NOSENDCHANGING);
  }
  return adapter;
}

void TskComboListWnd::PrepareCache() {
  ReadWindowGeometry();
  if (simpleCombo_) {
    SendSkinCmd(windowHandle_, CmdPrepareCache, 0);
    return;
  }
  commonData_->UpdateIndexes();
  ApplySkinColors();
  commonData_->UpdateCacheSize();
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (!cache) return;
  const int width = WindowSize().cx, height = WindowSize().cy;
  if (cache->Width() != width || cache->Height() != height) cache->SetSize(width, height);
  FillRect32(cache, TRect{0, 0, width, height}, ColorToRGB(plainFrameColor_));
  if (width > 2 && height > 2)
    FillRect32(cache, TRect{1, 1, width - 1, height - 1}, ColorToRGB(plainColor_));
  commonData_->BackgroundDirty = false;
}

void TskComboListWnd::NcPaint(TMessage& m) {
  m.Result = 0;
  ReadWindowGeometry();
  PrepareCache();
  if (!InDialog()) FillTransparentCorners(TsPaintState::Normal);
  TWindowDC dc(windowHandle_, true);
  if (!dc.Get()) return;
  {
    TSaveDC saved(dc.Get());
    CopyCacheFrame(dc.Get(), EdgeLeft);
    PaintBars(dc.Get());
  }
  if (simpleCombo_) FillStripBelow();
}

void TskComboListWnd::FillStripBelow() {
  HWND combo = GetParent(windowHandle_);
  HWND parent = combo ? GetParent(combo) : nullptr;
  if (!parent) return;
  RECT list{}, box{};
  GetWindowRect(windowHandle_, &list);
  GetWindowRect(combo, &box);
  const int width = box.right - box.left, height = box.bottom - list.bottom;
  if (width <= 0 || height <= 0) return;
  TsBackgroundSource behind;
  GetWindowParentBackground(combo, behind);
  POINT at{box.left, list.bottom};
  ScreenToClient(parent, &at);
  TWindowDC dc(combo, true);
  if (!dc.Get()) return;
  const int top = list.bottom - box.top;
  if (behind.HasBitmap && behind.Bmp) {
    BitBlt(dc.Get(), 0, top, width, height, behind.Bmp->Canvas()->Handle(), behind.X + at.x,
           behind.Y + at.y, SRCCOPY);
  } else {
    // The DC's own brush: nothing made and freed at every paint.
    TSaveDC saved(dc.Get());
    SetDCBrushColor(dc.Get(), static_cast<COLORREF>(ColorToRGB(behind.FillColor)));
    RECT strip{0, top, width, top + height};
    FillRect(dc.Get(), &strip, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }
}

void TskComboListWnd::MouseUp(TMessage& m) {
  const TScrollTrackState& t = ScrollTrackState();
  if (t.TrackWindow() == windowHandle_ && t.DownPart() != TScrollBarPart::None) {
    // A press on a skinned bar ends here; the list keeps tracking the mouse.
    BarMouseUp(m);
    if (simpleCombo_ && GetCapture() == windowHandle_) ReleaseCapture();
    return;
  }
  TskEditWnd::WndProc(m);
}

void TskComboListWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskEditWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_ERASEBKGND:
    case WM_HSCROLL:
    case WM_VSCROLL:
      m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
      return;
    case WM_NCCALCSIZE:
      ReserveBarSpace(m);
      return;
    case WM_NCPAINT:
      if (sendingScroll_) break;
      NcPaint(m);
      return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      m.WParam = static_cast<WPARAM>(BarHitTest(
          TPoint{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))}));
      if (m.WParam == HTHSCROLL || m.WParam == HTVSCROLL) BarMouseDown(m);
      return;
    case kComboListShown:
      listShown_ = true;
      break;
    case kComboListHidden:
      listShown_ = false;
      commonData_->BackgroundDirty = true;
      break;
    case WM_LBUTTONUP:
      MouseUp(m);
      return;
    case WM_PRINT:
    case WM_PRINTCLIENT: {
      if (!m.WParam || !IsWindowVisible(windowHandle_)) return;
      PrepareCache();
      m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
      if (m.Msg == WM_PRINT && SendMessageA(windowHandle_, LB_GETCOUNT, 0, 0) > 0) {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        if (ScrollTrackState().DownPart() == TScrollBarPart::None && !listShown_)
          CopyCacheFrame(dc, EdgeLeft);
        PaintBars(dc);
      }
      return;
    }
    default:
      break;
  }
  TskEditWnd::WndProc(m);
  if (m.Msg == WM_WINDOWPOSCHANGED) UpdateScrollBars(true);
}
