#include "skin/adapters/skTreeViewWndWin32.h"

#include <commctrl.h>

#include "framework/HandlesWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/skinfiles/SkinTables.h"
#include "skin/core/skinfiles/sSkinManager.h"

TskTreeViewWnd::~TskTreeViewWnd() {
  // Let go here, while the tree's own colour can still be given back.
  if (!Detached() && commonData_ && manager_) Release(true);
}

void TskTreeViewWnd::SaveColors() {
  TskEditWnd::SaveColors();
  savedBkColor_ = static_cast<COLORREF>(SendMessageA(windowHandle_, TVM_GETBKCOLOR, 0, 0));
}

void TskTreeViewWnd::RestoreColors() {
  TskEditWnd::RestoreColors();
  // The tree's own background back (-1: the system's window colour).
  if (IsWindow(windowHandle_))
    SendMessageA(windowHandle_, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(savedBkColor_));
}

void TskTreeViewWnd::ApplySkinColors() {
  colorsApplied_ = true;
  TColor color = clWindow;
  if (!InDialog()) {
    const TsGeneralData* section = commonData_->Section();
    if (!section) return;
    const bool hot = section->States > 1 && commonData_->IsActive();
    color = hot ? section->HotColor : section->Color;
    if (TControl* control = HostControlOf(*commonData_)) {
      if (!commonData_->CustomFont) {
        const TColor font = hot ? section->HotFontColor : section->FontColor;
        if (font != control->Font()->Color()) control->Font()->SetColor(font);
      }
      if (commonData_->CustomColor || color == control->Color()) return;
    }
  }
  const COLORREF rgb = static_cast<COLORREF>(ColorToRGB(color));
  if (static_cast<COLORREF>(SendMessageA(windowHandle_, TVM_GETBKCOLOR, 0, 0)) != rgb)
    SendMessageA(windowHandle_, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(rgb));
}

void TskTreeViewWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskEditWnd::WndProc(m);
    return;
  }
  if (m.Msg != WM_ERASEBKGND) {
    TskEditWnd::WndProc(m);
    if (m.Msg == WM_LBUTTONUP && GetCapture() == windowHandle_) ReleaseCapture();
    // A tree view sets its scroll information while it paints, and the system then draws
    // its standard bar over ours.
    if (m.Msg == WM_PAINT && !sendingScroll_) UpdateScrollBars(true);
    return;
  }
  if (commonData_->PaintingSuspended()) return;
  if (commonData_->BackgroundDirty) PrepareWindowCache(commonData_, windowHandle_, InDialog());
  const TsGeneralData* section = commonData_->Section();
  const COLORREF color =
      static_cast<COLORREF>(ColorToRGB(InDialog() || !section ? clWindow : section->Color));
  HDC given = reinterpret_cast<HDC>(m.WParam);
  TWindowDC own;
  if (!given) own = TWindowDC(windowHandle_);
  HDC dc = given ? given : own.Get();
  if (dc) {
    RECT client{};
    GetClientRect(windowHandle_, &client);
    // The DC's own brush: nothing made and freed at every erase.
    TSaveDC saved(dc);
    SetDCBrushColor(dc, color);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }
  m.Result = 1;
}
