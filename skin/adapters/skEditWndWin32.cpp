#include "skin/adapters/skEditWndWin32.h"

#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "framework/StdCtrlsWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/skUtils.h"
#include "skin/core/skinfiles/SkinTables.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sVclUtilsWin32.h"

namespace {

TControl* HostOf(const TsCommonData* data) { return data ? HostControlOf(*data) : nullptr; }

bool IsDestroying(const TControl* control) {
  return control->ComponentState().Contains(csDestroying);
}

// The DC's visible part is empty: nothing to paint.
bool ClipIsEmpty(HDC dc) {
  RECT box{};
  return GetClipBox(dc, &box) == NULLREGION;
}

}  // namespace

TskEditWnd::TskEditWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                       const std::string& section)
    : TskBaseWnd(handle, skinData, manager, section) {
  commonData_->SetSkinSection(section.empty() ? "EDIT" : section);
}

TskEditWnd::~TskEditWnd() {
  // Let go here, while this adapter's own colours can still be given back.
  if (!Detached() && commonData_ && manager_) Release(true);
}

void TskEditWnd::SaveColors() {
  TControl* control = HostOf(commonData_);
  if (!control) return;
  SavedColor = control->Color();
  SavedFontColor = control->Font()->Color();
  if (HasProperty(control, "FocusColor"))
    savedFocusColor_ = static_cast<TColor>(GetOrdProperty(control, "FocusColor"));
}

void TskEditWnd::RestoreColors() {
  if (IsWindow(windowHandle_) && IsWindowVisible(windowHandle_))
    SetWindowPos(windowHandle_, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
  TControl* control = HostOf(commonData_);
  if (!control || IsDestroying(control)) return;
  control->SetColor(SavedColor);
  control->Font()->SetColor(SavedFontColor);
  SetControlOrdProperty(control, "FocusColor", savedFocusColor_);
}

void TskEditWnd::ApplySkinColors() {
  if (InternalChange) return;
  commonData_->SetPaintSuspended(true);
  InternalChange = true;
  colorsApplied_ = true;
  const TsGeneralData* section = commonData_->Section();
  if (TControl* control = HostOf(commonData_)) {
    const bool hot = commonData_->IsActive() && section && section->States > 1;
    if (!commonData_->CustomColor) {
      const TColor color = commonData_->BgColor(hot ? 1 : 0);
      if (HasProperty(control, "FocusColor")) {
        if (color != control->Color()) SetControlOrdProperty(control, "Color", color);
        SetControlOrdProperty(control, "FocusColor", color);
      } else if (color != control->Color()) {
        control->SetColor(color);
      }
    }
    if (!commonData_->CustomFont && section) {
      const TColor font = hot ? section->HotFontColor : section->FontColor;
      if (font != control->Font()->Color()) control->Font()->SetColor(font);
    }
  } else {
    plainColor_ = !InDialog() && section ? section->Color : clWindow;
    plainFrameColor_ = 0;
  }
  commonData_->BackgroundDirty = true;
  InternalChange = false;
  commonData_->SetPaintSuspended(false);
}

bool TskEditWnd::IsPrintTarget(HDC dc) const {
  return dc && commonData_ && commonData_->PrintTarget == reinterpret_cast<intptr_t>(dc);
}

void TskEditWnd::CopyCacheFrame(HDC dc, int width) {
  if (!commonData_->CacheBitmap || width <= 0) return;
  TBitmap& cache = *commonData_->CacheBitmap;
  CopyBorderFrame(dc, cache.Canvas()->Handle(), cache.Width(), cache.Height(), width);
}

void TskEditWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskBaseWnd::WndProc(m);
    return;
  }
  if (m.Msg == SM_SKINCMD) {
    const TSkinCmdMessage cmd = ReadSkinCmd(m.WParam, m.LParam);
    const bool trusted = IsSkinCmdTrusted(cmd);
    switch (cmd.Cmd) {
      case CmdRefresh:
        if (IsOwnRefresh(cmd)) {
          TskBaseWnd::WndProc(m);
          ApplySkinColors();
          return;
        }
        break;
      case CmdIsSkinned:
        m.Result = 1;
        return;
      case CmdPrepareCache:
        if (!trusted) break;
        ReadWindowGeometry();
        PrepareWindowCache(commonData_, windowHandle_, InDialog());
        FillTransparentCorners(TsPaintState::Normal);
        return;
      case CmdGetSectionIndex:
        // A pointer to write through: only from our own senders.
        if (trusted && cmd.LParam)
          *reinterpret_cast<int32_t*>(cmd.LParam) = commonData_->SectionIndex;
        return;
      case CmdGetApplication:
        m.Result = reinterpret_cast<LRESULT>(Application);
        return;
      default:
        break;
    }
    CommonTail(m);
    return;
  }
  const bool visible = IsWindowVisible(windowHandle_) != FALSE;
  switch (m.Msg) {
    case WM_PAINT: {
      if (!visible || InternalChange) break;
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      if (dc && !IsPrintTarget(dc) && ClipIsEmpty(dc)) return;
      if (commonData_->PaintingSuspended() || (AnimationRunning && !commonData_->PrintTarget)) {
        // Validated without painting: the animation or the resumed painting shows it later.
        TPaintDC validated(windowHandle_);
        return;
      }
      if (!colorsApplied_) ApplySkinColors();
      break;
    }
    case WM_ERASEBKGND: {
      if (!visible || InternalChange) break;
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      if (dc && !IsPrintTarget(dc) && ClipIsEmpty(dc)) return;
      if (commonData_->PaintingSuspended()) return;
      if (!colorsApplied_) ApplySkinColors();
      if (AnimationRunning && !IsPrintTarget(dc)) {
        m.Result = 1;
        return;
      }
      break;
    }
    case WM_NCPAINT:
      if (!visible || InternalChange) break;
      NcPaint(m);
      return;
    case WM_PRINT:
      Print(m);
      if (m.Result == 2) return;
      break;
    case CM_FONTCHANGED:
      if (!commonData_->PaintingSuspended())
        RedrawWindow(windowHandle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      break;
    default:
      break;
  }
  CommonTail(m);
}

void TskEditWnd::NcPaint(TMessage& m) {
  m.Result = 0;
  if (AnimationRunning || commonData_->PaintingSuspended()) return;
  TWindowDC dc(windowHandle_, true);
  if (!dc.Get()) return;
  if (!IsPrintTarget(dc.Get()) && ClipIsEmpty(dc.Get())) return;
  ReadWindowGeometry();
  if (commonData_->BackgroundDirty) {
    if (!colorsApplied_) ApplySkinColors();
    PrepareWindowCache(commonData_, windowHandle_, InDialog());
  }
  TSaveDC saved(dc.Get());
  PaintBars(dc.Get());
  CopyCacheFrame(dc.Get(), EdgeLeft);
}

void TskEditWnd::Print(TMessage& m) {
  m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
  if (m.Result == 2) return;
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (!dc) return;
  ReadWindowGeometry();
  commonData_->SetPaintSuspended(false);
  commonData_->BackgroundDirty = true;
  if (!colorsApplied_) ApplySkinColors();
  PrepareWindowCache(commonData_, windowHandle_, InDialog());
  if (!InDialog()) FillTransparentCorners(TsPaintState::Normal);
  CopyCacheFrame(dc, EdgeLeft);
  PaintBars(dc);
  if (!commonData_->CacheBitmap) return;
  TSaveDC saved(dc);
  const int width = commonData_->CacheBitmap->Width() - 2 * EdgeLeft -
                    (VertBar && VertBar->Shown ? GetScrollBarSize(*VertBar, true, false) : 0);
  const int height = commonData_->CacheBitmap->Height() - 2 * EdgeLeft -
                     (HorzBar && HorzBar->Shown ? GetScrollBarSize(*HorzBar, true, false) : 0);
  SetViewportOrgEx(dc, EdgeLeft, EdgeLeft, nullptr);
  IntersectClipRect(dc, EdgeLeft, EdgeLeft, EdgeLeft + width, EdgeLeft + height);
  SendMessageA(windowHandle_, WM_ERASEBKGND, m.WParam, 0);
  auto* list = dynamic_cast<TCustomListBox*>(HostOf(commonData_));
  // An empty list box would paint nothing but its focus frame over the background.
  if (!list || list->Count() > 0) SendMessageA(windowHandle_, WM_PAINT, m.WParam, 0);
  SendMessageA(windowHandle_, WM_PRINTCLIENT, m.WParam, PRF_CLIENT | PRF_OWNED);
}

void TskEditWnd::CommonTail(TMessage& m) {
  TskBaseWnd::WndProc(m);
  switch (m.Msg) {
    case WM_SIZE:
      if (IsWindowVisible(windowHandle_)) SendMessageA(windowHandle_, WM_NCPAINT, 0, 0);
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      auto* control = dynamic_cast<TWinControl*>(HostOf(commonData_));
      if (HasMultiStateSkin(*commonData_) && control && control->CanFocus() && control->TabStop()) {
        commonData_->BackgroundDirty = true;
        commonData_->HasFocus = m.Msg == WM_SETFOCUS;
        SendMessageA(windowHandle_, WM_NCPAINT, 0, 0);
      }
      break;
    }
    case WM_SETFONT:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_LBUTTONDOWN:
    case CN_KEYDOWN:
    case CN_KEYUP:
      if (!sendingScroll_) UpdateScrollBars(true);
      break;
    case EM_REPLACESEL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_SETCURSEL:
    case LB_SETTOPINDEX:
      UpdateScrollBars(true);
      break;
    case LB_GETTOPINDEX: {
      auto* list = dynamic_cast<TCustomListBox*>(HostOf(commonData_));
      if (list && list->Count() == 0 && m.Result == 0) m.Result = -1;
      break;
    }
    case WM_MOUSEMOVE:
      if (!commonData_->PaintingSuspended() && GetCapture()) UpdateScrollBars(true);
      break;
    default:
      break;
  }
}
