#include "skin/adapters/skListViewWndWin32.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "framework/ComCtrlsWin32.h"
#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "framework/ImgListWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/SkinTables.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

TCustomListView* HostListView(const TsCommonData* data) {
  return data ? dynamic_cast<TCustomListView*>(HostControlOf(*data)) : nullptr;
}

bool Contains(const RECT& r, POINT p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

}  // namespace

TskListViewWnd::TskListViewWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                               const std::string& section)
    : TskEditWnd(handle, skinData, manager, section) {}

TskListViewWnd::~TskListViewWnd() {
  if (!Detached() && commonData_ && manager_) Release(true);
  header_.Detach();
}

void TskListViewWnd::Start(bool repaint) {
  TskEditWnd::Start(repaint);
  HookHeader(FindWindowExA(windowHandle_, nullptr, WC_HEADERA, nullptr));
}

void TskListViewWnd::HookHeader(HWND header) {
  if (!header || header_.Handle() == header) return;
  header_.Attach(header, [this](HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    try {
      return HeaderProc(wnd, msg, wp, lp, result);
    } catch (...) {
      // The header keeps working; the program hears of the fault.
      Application->HandleException(nullptr);
      return false;
    }
  });
  if (IsWindowVisible(header)) InvalidateRect(header, nullptr, TRUE);
}

TskListViewWnd::TViewKind TskListViewWnd::GetViewStyle() const {
  if (TCustomListView* control = HostListView(commonData_))
    return static_cast<TViewKind>(control->ViewStyle());
  switch (SendMessageA(windowHandle_, LVM_GETVIEW, 0, 0)) {
    case LV_VIEW_ICON:
      return TViewKind::Icon;
    case LV_VIEW_DETAILS:
      return TViewKind::Report;
    case LV_VIEW_SMALLICON:
      return TViewKind::SmallIcon;
    default:
      return TViewKind::List;
  }
}

void TskListViewWnd::SaveColors() {
  TskEditWnd::SaveColors();
  savedBkColor_ = static_cast<COLORREF>(SendMessageA(windowHandle_, LVM_GETBKCOLOR, 0, 0));
  savedTextBkColor_ = static_cast<COLORREF>(SendMessageA(windowHandle_, LVM_GETTEXTBKCOLOR, 0, 0));
  savedTextColor_ = static_cast<COLORREF>(SendMessageA(windowHandle_, LVM_GETTEXTCOLOR, 0, 0));
}

void TskListViewWnd::RestoreColors() {
  // The list view's own colours back, also for a list view without a framework control.
  if (IsWindow(windowHandle_)) {
    SendMessageA(windowHandle_, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(savedBkColor_));
    SendMessageA(windowHandle_, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(savedTextBkColor_));
    SendMessageA(windowHandle_, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(savedTextColor_));
  }
  HWND header = header_.Handle();
  header_.Detach();
  if (header && IsWindowVisible(header)) InvalidateRect(header, nullptr, TRUE);
  TskEditWnd::RestoreColors();
}

void TskListViewWnd::ApplySkinColors() {
  TskEditWnd::ApplySkinColors();
  if (!IsWindow(windowHandle_)) return;
  COLORREF back = 0, text = 0;
  if (InDialog()) {
    back = GetSysColor(COLOR_WINDOW);
    text = GetSysColor(COLOR_WINDOWTEXT);
  } else if (const TsGeneralData* section = commonData_->Section()) {
    back = static_cast<COLORREF>(ColorToRGB(section->Color));
    text = static_cast<COLORREF>(ColorToRGB(section->FontColor));
  } else {
    return;
  }
  // Set only when they differ: a list view repaints whole on a new colour.
  bool changed = false;
  const auto set = [&](UINT get, UINT put, COLORREF value) {
    if (static_cast<COLORREF>(SendMessageA(windowHandle_, get, 0, 0)) == value) return;
    SendMessageA(windowHandle_, put, 0, static_cast<LPARAM>(value));
    changed = true;
  };
  set(LVM_GETBKCOLOR, LVM_SETBKCOLOR, back);
  set(LVM_GETTEXTBKCOLOR, LVM_SETTEXTBKCOLOR, back);
  set(LVM_GETTEXTCOLOR, LVM_SETTEXTCOLOR, text);
  // The list view only takes the colours in; it shows them when painted again.
  if (changed) InvalidateRect(windowHandle_, nullptr, TRUE);
}

void TskListViewWnd::RepaintHeader() {
  if (HWND header = header_.Handle()) {
    InvalidateRect(header, nullptr, TRUE);
    UpdateWindow(header);
  }
}

void TskListViewWnd::ThumbTrack(TMessage& m) {
  const bool vertical = m.Msg == WM_VSCROLL;
  const int pos = m.LParam ? static_cast<int>(m.LParam) : HIWORD(m.WParam);
  const int last = ScrollTrackState().LastTrackPos();
  if (pos == last) return;
  int delta = pos - last;
  RECT item{};
  item.left = LVIR_BOUNDS;
  const TViewKind view = GetViewStyle();
  if ((vertical && view == TViewKind::Report) || (!vertical && view == TViewKind::List)) {
    // Report rows and list columns scroll by whole items: the position counts items.
    if (SendMessageA(windowHandle_, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)))
      delta *= vertical ? item.bottom - item.top : item.right - item.left;
  }
  SendMessageA(windowHandle_, LVM_SCROLL, vertical ? 0 : delta, vertical ? delta : 0);
}

void TskListViewWnd::WndProc(TMessage& m) {
  if (!SkinLive()) {
    TskEditWnd::WndProc(m);
    return;
  }
  if (m.Msg == SM_SKINCMD) {
    const TSkinCmdMessage cmd = ReadSkinCmd(m.WParam, m.LParam);
    if (cmd.Cmd == CmdRefresh && IsOwnRefresh(cmd)) {
      TskEditWnd::WndProc(m);
      RepaintHeader();
      return;
    }
    // A new skin brings new colours; a paint never does.
    if (cmd.Cmd == CmdSkinChanged && IsOwnRefresh(cmd)) {
      TskEditWnd::WndProc(m);
      ApplySkinColors();
      return;
    }
    if (cmd.Cmd == CmdBeforeScroll) {
      m.Result = 1;  // the list view scrolls itself: the bars send the whole position
      return;
    }
    TskEditWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_PAINT:
      if (!colorsApplied_) ApplySkinColors();
      break;
    case WM_NCHITTEST:
      if (hoverColumn_ != -1 || pushedColumn_ != -1) {
        hoverColumn_ = pushedColumn_ = -1;
        RepaintHeader();
      }
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (LOWORD(m.WParam) == SB_THUMBTRACK) {
        ThumbTrack(m);
        return;
      }
      // The position travels in LParam for us only: the list view would take it for the
      // window of a scroll-bar control.
      m.LParam = 0;
      m.Result = CallOldProc(m.Msg, m.WParam, 0);
      if (!sendingScroll_) UpdateScrollBars(true);
      return;
    default:
      break;
  }
  ListTail(m);
}

void TskListViewWnd::ListTail(TMessage& m) {
  TskEditWnd::WndProc(m);
  switch (m.Msg) {
    case WM_STYLECHANGED:
    case LVM_INSERTITEMA:
    case LVM_ARRANGE:
      if (!commonData_->PaintingSuspended()) UpdateScrollBars(true);
      break;
    case WM_LBUTTONUP:
      if (GetCapture() == windowHandle_) ReleaseCapture();
      break;
    case WM_PARENTNOTIFY:
      if (LOWORD(m.WParam) == WM_CREATE) {
        char name[96] = {};
        GetClassNameA(reinterpret_cast<HWND>(m.LParam), name, sizeof name);
        // A new header (the view was changed or recreated) is painted from the skin too.
        if (lstrcmpiA(name, WC_HEADERA) == 0) HookHeader(reinterpret_cast<HWND>(m.LParam));
      }
      break;
    case WM_PRINT:
      if (GetViewStyle() == TViewKind::Report && m.WParam) {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        TSaveDC saved(dc);
        SetViewportOrgEx(dc, EdgeLeft, EdgeLeft, nullptr);
        PaintHeader(dc);
      }
      break;
    default:
      break;
  }
}

bool TskListViewWnd::HeaderProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (GetViewStyle() != TViewKind::Report) return false;
  switch (msg) {
    case WM_PAINT:
      PaintHeader(nullptr);
      result = 0;
      return true;
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_WINDOWPOSCHANGING:
      if (IsWindowVisible(windowHandle_)) SendMessageA(windowHandle_, WM_NCPAINT, 0, 0);
      return false;
    case WM_NCHITTEST: {
      result = header_.CallNext(msg, wp, lp);
      // Asked at every pointer move: one hit test instead of a walk over the columns.
      POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      ScreenToClient(wnd, &at);
      const int index = ColumnUnder(wnd, at);
      if (index != hoverColumn_) {
        hoverColumn_ = index;
        RepaintHeader();
      }
      return true;
    }
    case WM_LBUTTONUP:
      pushedColumn_ = -1;
      return false;
    case WM_LBUTTONDOWN: {
      result = header_.CallNext(msg, wp, lp);
      HDHITTESTINFO hit{};
      hit.pt = POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      const int item =
          static_cast<int>(SendMessageA(wnd, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      pushedColumn_ = (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) ? -1 : item;
      RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE);
      return true;
    }
    default:
      return false;
  }
}

int TskListViewWnd::ColumnUnder(HWND header, POINT client) {
  HDHITTESTINFO hit{};
  hit.pt = client;
  const int index =
      static_cast<int>(SendMessageA(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (index < 0 || !(hit.flags & HHT_ONDIVIDER)) return index;
  // Near a divider the header names the column left of it, even from inside the next one
  // or from the empty rest right of the last.
  RECT r{};
  if (!SendMessageA(header, HDM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r)) ||
      client.x < r.right)
    return index;
  HDITEMA item{};
  item.mask = HDI_ORDER;
  if (!SendMessageA(header, HDM_GETITEMA, index, reinterpret_cast<LPARAM>(&item))) return index;
  const int next = item.iOrder + 1;
  if (next >= static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0))) return -1;
  return static_cast<int>(SendMessageA(header, HDM_ORDERTOINDEX, next, 0));
}

TRect TskListViewWnd::GetHeaderItemRect(int order) const {
  HWND header = header_.Handle();
  // Columns are reordered by the user's drag or by the program (HDM_SETORDERARRAY): map
  // always, whatever the header's style.
  const int index = static_cast<int>(SendMessageA(header, HDM_ORDERTOINDEX, order, 0));
  RECT r{};
  if (!SendMessageA(header, HDM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r))) return TRect{};
  return TRect{r.left, r.top, r.right, r.bottom};
}

int TskListViewWnd::HeaderItemAt(POINT screen) const {
  HWND header = header_.Handle();
  if (!header) return -2;
  // In the header's own coordinates, whatever lies above it in the list view.
  ScreenToClient(header, &screen);
  const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
  for (int order = 0; order < count; ++order) {
    const TRect r = GetHeaderItemRect(order);
    if (Contains(RECT{r.Left, r.Top, r.Right, r.Bottom}, screen)) return order;
  }
  return -2;
}

void TskListViewWnd::PaintHeader(HDC dc) {
  HWND header = header_.Handle();
  if (!header || GetViewStyle() != TViewKind::Report) return;
  // Without a DC this answers the header's WM_PAINT: one paint DC for all the items.
  std::optional<TPaintDC> paint;
  if (!dc) {
    paint.emplace(header);
    dc = paint->Get();
    if (!dc) return;
  }
  const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
  int right = 0;
  for (int order = 0; order < count; ++order) {
    const TRect r = GetHeaderItemRect(order);
    if (r.Width() <= 0 || r.Height() <= 0) continue;
    PaintHeaderItem(r, static_cast<int>(SendMessageA(header, HDM_ORDERTOINDEX, order, 0)), dc);
    right = std::max(right, r.Right);
  }
  RECT client{};
  GetClientRect(header, &client);
  const TRect rest{right, 0, client.right, client.bottom};
  if (rest.Width() > 0 && rest.Height() > 0) PaintHeaderItem(rest, -2, dc);
}

void TskListViewWnd::PaintHeaderItem(const TRect& r, int index, HDC dc) {
  HWND header = header_.Handle();
  auto image = CreateBmp32(r.Width(), r.Height());
  const TsPaintState state =
      pushedColumn_ < 0
          ? (index == hoverColumn_ && index >= 0 ? TsPaintState::Hot : TsPaintState::Normal)
          : (index == pushedColumn_ ? TsPaintState::Pressed : TsPaintState::Normal);
  TControl* control = HostControlOf(*commonData_);
  const int sectionIndex = PaintSectionByName(
      image.get(), TsSectionByName{.Name = "COLHEADER",
                                   .SecondName = "BUTTON",
                                   .State = state,
                                   .FillColor = control ? control->Color() : clWindow,
                                   .Manager = manager_});
  HDC canvas = image->Canvas()->Handle();
  TSaveDC saved(canvas);
  if (HFONT font = reinterpret_cast<HFONT>(SendMessageA(windowHandle_, WM_GETFONT, 0, 0)))
    SelectObject(canvas, font);
  SetBkMode(canvas, TRANSPARENT);
  RECT t{4, 1, r.Width() - 4, r.Height() - 1};
  if (index >= 0) {
    char text[129] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_BITMAP | HDI_IMAGE;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    if (SendMessageA(header, HDM_GETITEMA, index, reinterpret_cast<LPARAM>(&item))) {
      const std::string caption(text);
      // A sort arrow from the scroll buttons' glyphs.
      int arrowMask = -1;
      if (item.fmt & HDF_SORTDOWN)
        arrowMask = manager_->FixedIndexes().ScrollBtn[1].GlyphMask;
      else if (item.fmt & HDF_SORTUP)
        arrowMask = manager_->FixedIndexes().ScrollBtn[0].GlyphMask;
      const TsMaskData* arrow = manager_->IsValidMaskIndex(arrowMask)
                                    ? &manager_->Masks()[static_cast<size_t>(arrowMask)]
                                    : nullptr;
      const int arrowWidth = arrow ? MaskStateWidth(*arrow) + 6 : 0;
      SIZE extent{};
      GetTextExtentPoint32A(canvas, caption.data(), static_cast<int>(caption.size()), &extent);
      const int w = extent.cx + 5;
      // The column's image from the list view's small images, left of the text.
      TCustomListView* host = HostListView(commonData_);
      TCustomImageList* images = host ? host->SmallImages() : nullptr;
      if (!(item.fmt & (HDF_IMAGE | HDF_OWNERDRAW))) images = nullptr;
      const int imageOffset = images ? images->Width() + 4 : 0;
      switch (item.fmt & HDF_JUSTIFYMASK) {
        case HDF_RIGHT:
          t.right -= arrowWidth;
          t.left = t.right - w;
          break;
        case HDF_CENTER:
          t.left += imageOffset + (t.right - t.left - w - arrowWidth - imageOffset) / 2;
          t.right = t.left + w;
          break;
        default:
          t.left += imageOffset;
          t.right = t.left + w;
          break;
      }
      if (arrow) {
        TsBackgroundSource behind;
        behind.HasBitmap = true;
        behind.Bmp = image.get();
        PaintMaskGlyph(
            image.get(),
            TPoint{static_cast<int>(t.right) + 6, (r.Height() - MaskStateHeight(*arrow)) / 2}, 0,
            *arrow, behind);
      }
      if (state == TsPaintState::Pressed) OffsetRect(&t, 1, 1);
      COLORREF color = GetSysColor(COLOR_BTNTEXT);
      if (manager_->IsValidSectionIndex(sectionIndex)) {
        const TsGeneralData& section = manager_->Sections()[static_cast<size_t>(sectionIndex)];
        color = static_cast<COLORREF>(
            ColorToRGB(state == TsPaintState::Normal ? section.FontColor : section.HotFontColor));
      }
      SetTextColor(canvas, color);
      DrawTextA(canvas, caption.data(), static_cast<int>(caption.size()), &t,
                DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_END_ELLIPSIS);
      if (images)
        images->Draw(image->Canvas(), t.left - imageOffset,
                     (r.Height() - images->Height()) / 2 + (state == TsPaintState::Pressed ? 1 : 0),
                     item.iImage, host->Enabled());
    }
  }
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), canvas, 0, 0, SRCCOPY);
}
