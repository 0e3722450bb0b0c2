#include "skin/adapters/skScrollWndWin32.h"

#include <algorithm>
#include <utility>

#include "framework/FormsWin32.h"
#include "framework/StdCtrlsWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/pixels/skUtils.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sVclUtilsWin32.h"

const TScrollTrackState& ScrollTrackState() { return TskScrollWnd::Tracking(); }

TScrollTrackState& TskScrollWnd::Tracking() {
  static TScrollTrackState state;
  return state;
}

namespace {

constexpr LONG_PTR kScrollStyles = WS_HSCROLL | WS_VSCROLL;

// The point in a mouse message's LParam (signed).
TPoint PointOf(LPARAM lp);

// The bar's scroll information as the window keeps it now.
void ReadScrollInfo(HWND handle, TskScrollBar& bar) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
  if (!GetScrollInfo(handle, bar.IsVertical() ? SB_VERT : SB_HORZ, &si)) si = SCROLLINFO{};
  bar.Info = TScrollBarInfo{si.nMin, si.nMax, si.nPage, si.nPos, si.nTrackPos};
}

TRect ToWindowCoordinates(TRect r, const TRect& window) {
  return TRect{r.Left - window.Left, r.Top - window.Top, r.Right - window.Left,
               r.Bottom - window.Top};
}

TRect ScreenRectOf(HWND handle) {
  RECT r{};
  GetWindowRect(handle, &r);
  return TRect{r.left, r.top, r.right, r.bottom};
}

// What the window shows behind its bars, moved to `at` (window coordinates).
TsBackgroundSource BarBackground(HWND handle, TPoint at) {
  TsBackgroundRequest request;
  GetWindowBackground(request, handle, false);
  TsBackgroundSource source = BackgroundSourceFromRequest(request);
  source.X += at.X;
  source.Y += at.Y;
  return source;
}

// Skin commands that only ask: the bars look the same after them. The bars' own painting asks
// some of them of the window.
bool IsSkinQuery(int cmd) {
  switch (cmd) {
    case CmdGetProvider:
    case CmdIsSkinned:
    case CmdIsUpdating:
    case CmdIsPartlyHidden:
    case CmdIsBgGraphic:
    case CmdGetBgColor:
    case CmdPrepareCache:
    case CmdGetSectionIndex:
    case CmdGetContainerInfo:
    case CmdGetBgInfo:
    case CmdGetDisabledKind:
    case CmdBeforeScroll:
    case CmdAfterScroll:
    case CmdGetApplication:
    case CmdGetClientOffset:
      return true;
    default:
      return false;
  }
}

bool HostEnabled(const TskScrollWnd& owner) {
  TControl* control = owner.CommonData() ? HostControlOf(*owner.CommonData()) : nullptr;
  return !control || control->Enabled();
}

}  // namespace

int GetScrollBarSize(const TskScrollBar& bar, bool across, bool useSkin) {
  if (across)
    return ResolveScrollBarSize(bar.Thickness,
                                GetSystemMetrics(bar.IsVertical() ? SM_CXVSCROLL : SM_CYHSCROLL));
  const TsSkinManager* skin = useSkin && bar.Owner ? bar.Owner->Manager() : nullptr;
  return ScrollBarArrowLength(bar, skin);
}

bool IsScrollBarActive(const TskScrollBar& bar) {
  HWND handle = bar.Owner ? bar.Owner->WindowHandle() : nullptr;
  if (!handle) return false;
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  if (!GetScrollBarInfo(handle, bar.IsVertical() ? OBJID_VSCROLL : OBJID_HSCROLL, &info))
    return (GetWindowLongPtrA(handle, GWL_STYLE) & (bar.IsVertical() ? WS_VSCROLL : WS_HSCROLL)) !=
           0;
  return !(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
}

void PaintScrollBar(TskScrollBar& bar, HWND handle, HDC dc, int thumbPos,
                    TScrollBarPart pressedPart, const TRect& rect) {
  TskScrollWnd* owner = bar.Owner;
  if (!owner || owner->DraggingThumb || !bar.Shown) return;
  if (bar.IsVertical() && owner->SendingScroll()) return;
  TsSkinManager* manager = owner->Manager();
  const bool vertical = bar.IsVertical();
  if (!manager ||
      !manager->IsValidSectionIndex(manager->FixedIndexes().ScrollBar[vertical].Section))
    return;
  if (rect.Width() <= 1 || rect.Height() <= 1) return;
  ReadScrollInfo(handle, bar);
  const int arrow = GetScrollBarSize(bar, false, true);
  const bool active = IsScrollBarActive(bar) && HostEnabled(*owner);
  TScrollBarStates states;
  const TScrollTrackState& t = ScrollTrackState();
  if (handle == t.TrackWindow()) {
    const bool hoverHere = active && t.HoverBar() == bar.Kind;
    const auto look = [&](TScrollBarPart part) {
      return pressedPart == part                  ? TsPaintState::Pressed
             : hoverHere && t.HoverPart() == part ? TsPaintState::Hot
                                                  : TsPaintState::Normal;
    };
    // Page areas have no hot look.
    const auto pressedOnly = [&](TScrollBarPart part) {
      return pressedPart == part ? TsPaintState::Pressed : TsPaintState::Normal;
    };
    states.FirstArrow = look(TScrollBarPart::FirstArrow);
    states.SecondArrow = look(TScrollBarPart::SecondArrow);
    states.PageBefore = pressedOnly(TScrollBarPart::PageBefore);
    states.PageAfter = pressedOnly(TScrollBarPart::PageAfter);
    states.Thumb = look(TScrollBarPart::Thumb);
  }
  TThumbGeometry thumb = GetThumbGeometry(bar, TRect{0, 0, rect.Width(), rect.Height()},
                                          GetScrollBarSize(bar, false, false));
  if (thumbPos != -1) thumb.Start = thumbPos - (vertical ? rect.Top : rect.Left);
  TScrollBarPaint paint;
  paint.Bar = &bar;
  paint.ArrowLength = arrow;
  paint.Thumb = thumb;
  paint.Active = active;
  paint.States = states;
  paint.Background = BarBackground(handle, rect.TopLeft());
  TskScrollWnd::TBarPicture& picture = owner->PictureOf(bar.Kind);
  const TScrollBarPictureKey key =
      ScrollBarPictureKey(rect.Width(), rect.Height(), *manager, paint, owner->PictureGeneration());
  if (!picture.Image || !(picture.Key == key)) {
    auto image = CreateBmp32(rect.Width(), rect.Height());
    picture.Image.reset();
    if (!PaintScrollBarImage(*image, *manager, paint)) return;
    picture.Image = std::move(image);
    picture.Key = key;
  }
  BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), picture.Image->Canvas()->Handle(), 0,
         0, SRCCOPY);
}

TskScrollBar* GetScrollBarObject(HWND handle, int kind) {
  auto* adapter = dynamic_cast<TskScrollWnd*>(GetWindowAdapter(handle));
  if (!adapter) return nullptr;
  switch (kind) {
    case static_cast<int>(TScrollBarKind::Horizontal):
      return adapter->HorzBar.get();
    case static_cast<int>(TScrollBarKind::Vertical):
      return adapter->VertBar.get();
    default:
      return nullptr;
  }
}

void SetMinThumbLength(HWND handle, int which, int value) {
  auto* adapter = dynamic_cast<TskScrollWnd*>(GetWindowAdapter(handle));
  if (!adapter) return;
  if ((which == 0 || which == 3) && adapter->HorzBar) adapter->HorzBar->MinThumbLength = value;
  if ((which == 1 || which == 3) && adapter->VertBar) adapter->VertBar->MinThumbLength = value;
}

TskScrollWnd::~TskScrollWnd() {
  // The window gets its own frame back while the bars still exist.
  StopTracking();
  if (!Detached() && commonData_ && manager_) Release(true);
  for (auto* bar : {HorzBar.get(), VertBar.get()})
    if (bar) bar->Owner = nullptr;
}

void TskScrollWnd::Start(bool repaint) { InitBars(windowHandle_, repaint); }

void TskScrollWnd::InitBars(HWND handle, bool repaint) {
  sendingScroll_ = false;
  windowHandle_ = handle;
  const LONG_PTR style = GetWindowLongPtrA(handle, GWL_STYLE);
  for (TScrollBarKind kind : {TScrollBarKind::Horizontal, TScrollBarKind::Vertical}) {
    const bool vertical = kind == TScrollBarKind::Vertical;
    auto bar = std::make_unique<TskScrollBar>();
    bar->Owner = this;
    bar->Kind = kind;
    bar->StyleFlags =
        (style & (vertical ? WS_VSCROLL : WS_HSCROLL)) ? TskScrollBar::kStyleHasBar : 0;
    ReadScrollInfo(handle, *bar);
    (vertical ? VertBar : HorzBar) = std::move(bar);
  }
  LeftScrollBar = (GetWindowLongPtrA(handle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
  InternalChange = false;
  TskMainWnd::Start(repaint);  // hooks the window and names the adapter in its property
  SetMinThumbLength(handle, 3, TskScrollBar::kDefaultMinThumbLength);
  if (repaint) RedrawFrame(handle, true);
}

TScrollBarLayout TskScrollWnd::Layout() const {
  TScrollBarLayout l;
  l.Window = ScreenRectOf(windowHandle_);
  l.EdgeLeft = EdgeLeft;
  l.EdgeTop = EdgeTop;
  l.EdgeRight = EdgeRight;
  l.EdgeBottom = EdgeBottom;
  l.HorzThickness = HorzBar && HorzBar->Shown ? GetScrollBarSize(*HorzBar, true, false) : 0;
  l.VertThickness = VertBar && VertBar->Shown ? GetScrollBarSize(*VertBar, true, false) : 0;
  l.LeftScrollBar = LeftScrollBar;
  return l;
}

TRect TskScrollWnd::GetHorzBarRect() const { return HorzBarRect(Layout()); }

TRect TskScrollWnd::GetVertBarRect() const { return VertBarRect(Layout()); }

TRect TskScrollWnd::GetBarRect(TScrollBarKind kind) const {
  return kind == TScrollBarKind::Horizontal ? GetHorzBarRect() : GetVertBarRect();
}

bool TskScrollWnd::IsGripCorner(const TRect& square) const {
  HWND parent = GetParent(windowHandle_);
  if (!parent || (GetWindowLongPtrA(parent, GWL_STYLE) & WS_CHILD)) return false;
  RECT client{};
  GetClientRect(parent, &client);
  MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&client), 2);
  if (square.Bottom + EdgeBottom != client.bottom) return false;
  return LeftScrollBar ? square.Left - EdgeLeft == client.left
                       : square.Right + EdgeRight == client.right;
}

void TskScrollWnd::UpdateScrollBars(bool repaint) {
  if (!IsWindowVisible(windowHandle_) || !commonData_ || commonData_->PaintSuspended || !HorzBar ||
      !VertBar)
    return;
  ReadScrollInfo(windowHandle_, *HorzBar);
  ReadScrollInfo(windowHandle_, *VertBar);
  if (repaint && !AnimationRunning) PaintBars(nullptr);
}

void TskScrollWnd::PaintBars(HDC dc, int thumbPos) {
  if (!HorzBar || !VertBar) return;
  HDC windowDC = dc ? nullptr : GetWindowDC(windowHandle_);
  if (!dc) dc = windowDC;
  if (!dc) return;
  const TScrollBarLayout layout = Layout();
  const TRect window = layout.Window;
  const TScrollTrackState& t = ScrollTrackState();
  if (HorzBar->Shown)
    PaintScrollBar(*HorzBar, windowHandle_, dc, thumbPos,
                   t.PressedPartOf(TScrollBarKind::Horizontal),
                   ToWindowCoordinates(HorzBarRect(layout), window));
  if (VertBar->Shown)
    PaintScrollBar(*VertBar, windowHandle_, dc, thumbPos, t.PressedPartOf(TScrollBarKind::Vertical),
                   ToWindowCoordinates(VertBarRect(layout), window));
  if (HorzBar->Shown && VertBar->Shown) {
    const TRect square = CornerSquareRect(layout);
    if (square.Width() > 0 && square.Height() > 0) {
      auto image = CreateBmp32(square.Width(), square.Height());
      const TsBackgroundSource behind = BarBackground(windowHandle_, square.TopLeft());
      if (behind.HasBitmap && behind.Bmp)
        CopyBitmapRect(
            image.get(), 0, 0, behind.Bmp,
            TRect{behind.X, behind.Y, behind.X + square.Width(), behind.Y + square.Height()});
      else
        image->Fill(behind.FillColor);
      TRect screenSquare = square;
      screenSquare.Left += window.Left;
      screenSquare.Right += window.Left;
      screenSquare.Top += window.Top;
      screenSquare.Bottom += window.Top;
      if (manager_ && IsGripCorner(screenSquare)) {
        const TsFixedIndexes& fixed = manager_->FixedIndexes();
        const int grip = manager_->GetMaskIndex(fixed.GlobalInfo, "GLOBALINFO", "GRIPIMAGE");
        if (manager_->IsValidMaskIndex(grip)) {
          const TsMaskData& mask = manager_->Masks()[static_cast<size_t>(grip)];
          PaintMaskGlyph(image.get(),
                         TPoint{square.Width() - MaskStateWidth(mask),
                                square.Height() - MaskStateHeight(mask)},
                         0, mask, behind);
        }
      }
      BitBlt(dc, square.Left, square.Top, square.Width(), square.Height(),
             image->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
  }
  if (windowDC) ReleaseDC(windowHandle_, windowDC);
}

void TskScrollWnd::ReserveBarSpace(TMessage& m) {
  auto* r = reinterpret_cast<RECT*>(m.LParam);
  const RECT before = *r;
  const LONG_PTR style = GetWindowLongPtrA(windowHandle_, GWL_STYLE);
  if (style & kScrollStyles) {
    // The window's own frame, computed without the standard bars.
    InternalChange = true;
    SetWindowLongPtrA(windowHandle_, GWL_STYLE, style & ~kScrollStyles);
    m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
    SetWindowLongPtrA(windowHandle_, GWL_STYLE, style);
    InternalChange = false;
  } else {
    m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
  }
  EdgeLeft = r->left - before.left;
  EdgeTop = r->top - before.top;
  EdgeRight = before.right - r->right;
  EdgeBottom = before.bottom - r->bottom;
  HorzBar->StyleFlags = (style & WS_HSCROLL) ? TskScrollBar::kStyleHasBar : 0;
  const int horz = GetScrollBarSize(*HorzBar, true, false);
  HorzBar->Shown = HorzBar->StyleFlags && r->bottom - r->top >= horz;
  if (HorzBar->Shown) r->bottom -= horz;
  VertBar->StyleFlags = (style & WS_VSCROLL) ? TskScrollBar::kStyleHasBar : 0;
  const int vert = GetScrollBarSize(*VertBar, true, false);
  VertBar->Shown = VertBar->StyleFlags && r->right - r->left >= vert;
  if (VertBar->Shown) {
    if (LeftScrollBar)
      r->left += vert;
    else
      r->right -= vert;
  }
}

void TskScrollWnd::WndProc(TMessage& m) {
  switch (m.Msg) {
    // After these the bars may look different with the same key: composed again.
    case WM_NCPAINT:
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
    case WM_NCCALCSIZE:
    case WM_ENABLE:
    case WM_SETTINGCHANGE:
    case WM_THEMECHANGED:
      ++pictureGeneration_;
      break;
    case SM_SKINCMD:
      if (!IsSkinQuery(SkinCmdOf(m.WParam))) ++pictureGeneration_;
      break;
    default:
      break;
  }
  switch (m.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
      // A press or hover on a window that goes ends with it.
      StopTracking();
      TskMainWnd::WndProc(m);
      return;
    case WM_UPDATEUISTATE:
      return;
    case CM_RECREATEWND:
      if (!IsWindowVisible(windowHandle_) &&
          dynamic_cast<TCustomComboBox*>(commonData_ ? HostControlOf(*commonData_) : nullptr))
        return;
      break;
    default:
      break;
  }
  if (Detached()) return;
  if (!commonData_ || !manager_ || !commonData_->IsSkinned()) {
    TskMainWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_STYLECHANGED:
      if (InternalChange) {
        m.Result = 0;
        return;
      }
      if (m.WParam == static_cast<WPARAM>(GWL_EXSTYLE))
        LeftScrollBar =
            (reinterpret_cast<const STYLESTRUCT*>(m.LParam)->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
      break;
    case WM_STYLECHANGING:
      if (InternalChange) {
        m.Result = 0;
        return;
      }
      break;
    case WM_NCCALCSIZE:
      ReserveBarSpace(m);
      return;
    case WM_NOTIFY:
      m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
      return;
    case WM_NCHITTEST:
      m.Result = BarHitTest(PointOf(m.LParam));
      return;
    case WM_NCMOUSEMOVE:
      BarNcMouseMove(m);
      return;
    case WM_NCMOUSELEAVE:
      // The system's own hover tracking of standard bars may have drawn one.
      m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
      UpdateScrollBars(true);
      return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      if (m.WParam == HTHSCROLL || m.WParam == HTVSCROLL) {
        BarMouseDown(m);
        return;
      }
      break;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
      if (m.WParam == HTHSCROLL || m.WParam == HTVSCROLL) {
        m.Result = 0;
        return;
      }
      break;
    case WM_SYSCOMMAND:
      if (LOWORD(m.WParam) == (SC_VSCROLL | HTVSCROLL)) return;
      break;
    case WM_TIMER:
      BarTimer(m);
      if (!sendingScroll_ && !DraggingThumb) UpdateScrollBars(true);
      return;
    case WM_MOUSEMOVE:
      BarMouseMove(m);
      return;
    case WM_LBUTTONUP:
      BarMouseUp(m);
      return;
    case CM_UIACTIVATE:
      if (WindowSize().cx != 0) {
        // The window is given back the size it had when last measured.
        m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
        if (m.Result == 0)
          SetWindowPos(windowHandle_, nullptr, 0, 0, WindowSize().cx, WindowSize().cy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS |
                           SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
        return;
      }
      break;
    case WM_NCPAINT:
      // The window's own frame first, so that nothing it draws covers the skinned bars.
      TskMainWnd::WndProc(m);
      if (IsWindowVisible(windowHandle_) && !commonData_->PaintingSuspended() && !sendingScroll_)
        PaintBars(nullptr);
      return;
    default:
      break;
  }
  TskMainWnd::WndProc(m);
  if (((m.Msg == WM_MOUSEWHEEL || m.Msg == CM_MOUSEWHEEL) && !sendingScroll_) ||
      m.Msg == CM_FOCUSCHANGED)
    UpdateScrollBars(true);
}

// ---- skinned scroll bars: the mouse ------------------------------------------------------------

namespace {
constexpr UINT_PTR kHoverTimer = 0xFFF2;
constexpr UINT_PTR kFirstRepeatTimer = 0xFFFD;
constexpr UINT_PTR kRepeatTimer = 0xFFFE;
constexpr UINT kHoverInterval = 20;
constexpr UINT kFirstRepeatDelay = 300;
constexpr UINT kRepeatInterval = 55;

TPoint PointOf(LPARAM lp) {
  return TPoint{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

bool Contains(const TRect& r, TPoint p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

// The bar a non-client hit code names.
TScrollBarKind KindOfHit(WPARAM hit) {
  return hit == HTHSCROLL ? TScrollBarKind::Horizontal : TScrollBarKind::Vertical;
}
}  // namespace

void SendScrollMessage(HWND handle, UINT msg, int code, int pos) {
  const LPARAM kindOfScroll = MAKELPARAM(code, msg);
  const WPARAM wp = MAKEWPARAM(code, static_cast<WORD>(std::min(pos, 0xFFFF)));
  if (SendSkinCmd(handle, CmdBeforeScroll, kindOfScroll) == 1) {
    SendMessageA(handle, msg, wp, static_cast<LPARAM>(pos));
  } else {
    if (code == SB_THUMBTRACK) {
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_POS;
      si.nPos = pos;
      SetScrollInfo(handle, msg == WM_HSCROLL ? SB_HORZ : SB_VERT, &si, FALSE);
    }
    SendMessageA(handle, msg, wp, 0);
  }
  SendSkinCmd(handle, CmdAfterScroll, kindOfScroll);
}

bool TskScrollWnd::BarUsable(TScrollBarKind kind) {
  return IsScrollBarActive(BarOfKind(kind)) && HostEnabled(*this);
}

void TskScrollWnd::RepaintBar(TScrollBarKind kind, TScrollBarPart pressedPart, int thumbPos) {
  TskScrollBar& bar = BarOfKind(kind);
  if (!bar.Shown) return;
  HDC dc = GetWindowDC(windowHandle_);
  if (!dc) return;
  const TScrollBarLayout layout = Layout();
  const TRect r = kind == TScrollBarKind::Horizontal ? HorzBarRect(layout) : VertBarRect(layout);
  PaintScrollBar(bar, windowHandle_, dc, thumbPos, pressedPart,
                 ToWindowCoordinates(r, layout.Window));
  ReleaseDC(windowHandle_, dc);
}

LRESULT TskScrollWnd::BarHitTest(TPoint p) {
  if (HorzBar->Shown && Contains(GetHorzBarRect(), p))
    return BarUsable(TScrollBarKind::Horizontal) ? HTHSCROLL : HTNOWHERE;
  if (VertBar->Shown && Contains(GetVertBarRect(), p))
    return BarUsable(TScrollBarKind::Vertical) ? HTVSCROLL : HTNOWHERE;
  if (HorzBar->Shown && VertBar->Shown) {
    const TScrollBarLayout layout = Layout();
    TRect square = CornerSquareRect(layout);
    square = TRect{square.Left + layout.Window.Left, square.Top + layout.Window.Top,
                   square.Right + layout.Window.Left, square.Bottom + layout.Window.Top};
    if (Contains(square, p) && IsGripCorner(square)) return HTBOTTOMRIGHT;
  }
  return CallOldProc(WM_NCHITTEST, 0, MAKELPARAM(p.X, p.Y));
}

void TskScrollWnd::BarNcMouseMove(TMessage& m) {
  TScrollTrackState& t = Tracking();
  t.trackWindow_ = windowHandle_;
  if (m.WParam == HTHSCROLL || m.WParam == HTVSCROLL) {
    const TScrollBarKind kind = KindOfHit(m.WParam);
    if (kind != t.hoverBar_) {
      t.lastHoverPart_ = t.hoverPart_ = TScrollBarPart::None;
      t.hoverRect_ = GetBarRect(kind);
      t.hoverBar_ = kind;
      t.hoverTimer_ = SetTimer(windowHandle_, kHoverTimer, kHoverInterval, nullptr);
      PaintBars(nullptr);
    }
  }
  m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
  // The system may draw a standard bar's hot arrows over ours.
  if (m.WParam == HTHSCROLL || m.WParam == HTVSCROLL) PaintBars(nullptr);
}

void TskScrollWnd::BarMouseDown(TMessage& m) {
  TScrollTrackState& t = Tracking();
  t.trackWindow_ = windowHandle_;
  const TScrollBarKind kind = KindOfHit(m.WParam);
  t.scrollMessage_ = kind == TScrollBarKind::Horizontal ? WM_HSCROLL : WM_VSCROLL;
  t.trackBar_ = kind;
  TskScrollBar& bar = BarOfKind(kind);
  ReadScrollInfo(windowHandle_, bar);
  const TRect rect = GetBarRect(kind);
  const TPoint p = PointOf(m.LParam);
  const int arrow = GetScrollBarSize(bar, false, false);
  t.downPart_ = GetBarPartAt(bar, rect, p.Y, p.X, arrow);
  m.Result = 0;
  if (IsArrowOrPage(t.downPart_)) {
    if (BarUsable(kind)) {
      t.pressedPart_ = t.downPart_;
      RepaintBar(kind, t.pressedPart_);
      SendScrollMessage(windowHandle_, t.scrollMessage_, ScrollCodeOf(t.downPart_), 0);
      t.pressedPart_ = t.downPart_;
      // The window's own scrolling may have drawn its standard bar.
      RepaintBar(kind, t.pressedPart_);
      t.repeatTimer_ = SetTimer(windowHandle_, kFirstRepeatTimer, kFirstRepeatDelay, nullptr);
    }
  } else if (t.downPart_ == TScrollBarPart::Thumb) {
    if (BarUsable(kind)) {
      const TThumbGeometry thumb = GetThumbGeometry(bar, rect, arrow);
      t.downThumbLength_ = thumb.Length;
      t.downThumbPos_ = thumb.Start;
      t.downBarRect_ = rect;
      t.pressedPart_ = TScrollBarPart::Thumb;
      RepaintBar(kind, TScrollBarPart::Thumb);
      DraggingThumb = true;
      bar.Info.nTrackPos = bar.Info.nPos;
      t.grabOffset_ = (kind == TScrollBarKind::Vertical ? p.Y : p.X) - t.downThumbPos_;
      t.lastTrackPos_ = bar.Info.nPos;
    } else {
      t.downPart_ = TScrollBarPart::None;  // nothing to drag: the press is over
    }
  } else {
    m.Result = CallOldProc(WM_NCLBUTTONDOWN, m.WParam, m.LParam);
  }
  if (t.downPart_ != TScrollBarPart::None) SetCapture(windowHandle_);
}

void TskScrollWnd::TrackPressedPart(TPoint screen) {
  TScrollTrackState& t = Tracking();
  if (!t.trackBar_) return;
  const TScrollBarKind kind = *t.trackBar_;
  TskScrollBar& bar = BarOfKind(kind);
  const TScrollBarPart part =
      GetBarPartAt(bar, GetBarRect(kind), screen.Y, screen.X, GetScrollBarSize(bar, false, false));
  const TScrollBarPart pressed = part == t.downPart_ ? t.downPart_ : TScrollBarPart::None;
  if (pressed != t.pressedPart_) {
    t.pressedPart_ = pressed;
    RepaintBar(kind, pressed);
  }
}

void TskScrollWnd::DragThumb(TPoint screen) {
  TScrollTrackState& t = Tracking();
  if (!t.trackBar_) return;
  const TScrollBarKind kind = *t.trackBar_;
  TskScrollBar& bar = BarOfKind(kind);
  const int arrow = GetScrollBarSize(bar, false, false);
  const TThumbDrag drag =
      kind == TScrollBarKind::Horizontal
          ? DragThumbH(bar, t.downBarRect_, screen.X, t.grabOffset_, t.downThumbLength_, arrow)
          : DragThumbV(bar, t.downBarRect_, screen.Y, t.grabOffset_, t.downThumbLength_, arrow);
  if (drag.Position != t.lastTrackPos_) {
    bar.Info.nTrackPos = drag.Position;
    sendingScroll_ = true;
    SendScrollMessage(windowHandle_, t.scrollMessage_, SB_THUMBTRACK, drag.Position);
    sendingScroll_ = false;
    t.lastTrackPos_ = drag.Position;
  }
  // Painted at once, after the window has scrolled (its scrolling may draw its own bar).
  const TRect window = ScreenRectOf(windowHandle_);
  const int thumbPos =
      kind == TScrollBarKind::Horizontal ? drag.Start - window.Left : drag.Start - window.Top;
  DraggingThumb = false;
  RepaintBar(kind, TScrollBarPart::Thumb, thumbPos);
  DraggingThumb = true;
}

void TskScrollWnd::BarMouseMove(TMessage& m) {
  TScrollTrackState& t = Tracking();
  if (t.trackWindow_ != windowHandle_ || t.downPart_ == TScrollBarPart::None) {
    m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
    return;
  }
  // Client coordinates to the screen (captured: the mouse may be anywhere).
  POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
  ClientToScreen(windowHandle_, &p);
  if (DraggingThumb)
    DragThumb(TPoint{p.x, p.y});
  else
    TrackPressedPart(TPoint{p.x, p.y});
  m.Result = 0;
}

void TskScrollWnd::BarTimer(TMessage& m) {
  TScrollTrackState& t = Tracking();
  switch (m.WParam) {
    case kHoverTimer: {
      if (DraggingThumb) return;
      POINT p{};
      GetCursorPos(&p);
      if (t.hoverBar_) {
        if (Contains(t.hoverRect_, TPoint{p.x, p.y})) {
          TskScrollBar& bar = BarOfKind(*t.hoverBar_);
          t.hoverPart_ =
              GetBarPartAt(bar, t.hoverRect_, p.y, p.x, GetScrollBarSize(bar, false, false));
          if (t.hoverPart_ != t.lastHoverPart_) RepaintBar(*t.hoverBar_, TScrollBarPart::None);
          t.lastHoverPart_ = t.hoverPart_;
          return;
        }
      }
      KillTimer(windowHandle_, kHoverTimer);
      t.hoverTimer_ = 0;
      t.hoverBar_.reset();
      t.lastHoverPart_ = t.hoverPart_ = TScrollBarPart::None;
      PaintBars(nullptr);
      return;
    }
    case kFirstRepeatTimer:
      KillTimer(windowHandle_, kFirstRepeatTimer);
      t.repeatTimer_ = SetTimer(windowHandle_, kRepeatTimer, kRepeatInterval, nullptr);
      return;
    case kRepeatTimer: {
      // The cursor as it is: a bar on the left lies at negative client coordinates.
      POINT p{};
      GetCursorPos(&p);
      TrackPressedPart(TPoint{p.x, p.y});
      if (t.pressedPart_ != TScrollBarPart::None && t.trackWindow_ == windowHandle_) {
        sendingScroll_ = true;
        SendScrollMessage(windowHandle_, t.scrollMessage_, ScrollCodeOf(t.pressedPart_), 0);
        sendingScroll_ = false;
      }
      return;
    }
    default:
      m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
      return;
  }
}

void TskScrollWnd::BarMouseUp(TMessage& m) {
  TScrollTrackState& t = Tracking();
  if (t.trackWindow_ != windowHandle_ || t.downPart_ == TScrollBarPart::None) {
    m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
    return;
  }
  if (GetCapture() == windowHandle_ && !KeepsCaptureAfterBarPress()) ReleaseCapture();
  const std::optional<TScrollBarKind> kind = t.trackBar_;
  if (IsArrowOrPage(t.downPart_)) {
    KillTimer(windowHandle_, kFirstRepeatTimer);
    KillTimer(windowHandle_, kRepeatTimer);
    sendingScroll_ = true;
    SendScrollMessage(windowHandle_, t.scrollMessage_, SB_ENDSCROLL, 0);
  } else if (t.downPart_ == TScrollBarPart::Thumb) {
    if (DraggingThumb) {
      sendingScroll_ = true;
      SendScrollMessage(windowHandle_, t.scrollMessage_, SB_THUMBPOSITION, t.lastTrackPos_);
      DraggingThumb = false;
    }
    sendingScroll_ = true;
    SendScrollMessage(windowHandle_, t.scrollMessage_, SB_ENDSCROLL, t.lastTrackPos_);
  }
  sendingScroll_ = false;
  t.downPart_ = t.pressedPart_ = TScrollBarPart::None;
  t.trackBar_.reset();
  t.repeatTimer_ = 0;
  t.scrollMessage_ = 0;
  if (kind) RepaintBar(*kind, TScrollBarPart::None);
  m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
}

void TskScrollWnd::StopTracking() {
  TScrollTrackState& t = Tracking();
  if (t.trackWindow_ != windowHandle_) return;
  if (IsWindow(windowHandle_)) {
    for (UINT_PTR id : {kHoverTimer, kFirstRepeatTimer, kRepeatTimer}) KillTimer(windowHandle_, id);
    if (GetCapture() == windowHandle_ && t.downPart_ != TScrollBarPart::None) ReleaseCapture();
  }
  t = TScrollTrackState{};
}
