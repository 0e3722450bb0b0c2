#include "skin/forms/skBorderFormWin32.h"

#include <windowsx.h>

#include "framework/HandlesWin32.h"
#include "framework/ScopeExit.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sShadowTemplates.h"
#include "skin/forms/sVclUtils.h"

namespace {

// The frame answers HTOBJECT inside: mouse input on it then arrives as non-client messages,
// which are handed to the owner with the frame's real hit code.
constexpr LRESULT FrameHit = HTOBJECT;

// The flags every placement of the border window carries: it never activates, never drags
// its owner's z-order along and tells no one it is about to move.
constexpr UINT PlaceFlags = SWP_NOSENDCHANGING | SWP_NOOWNERZORDER | SWP_NOACTIVATE;

LPCSTR CursorFor(int code) {
  switch (code) {
    case HTCAPTION:
    case HTMENU:
      return IDC_ARROW;
    case HTLEFT:
    case HTRIGHT:
      return IDC_SIZEWE;
    case HTTOP:
    case HTBOTTOM:
      return IDC_SIZENS;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
      return IDC_SIZENWSE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
      return IDC_SIZENESW;
    default:
      return nullptr;
  }
}

bool IsClientMouseMessage(UINT msg) { return msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK; }

TRect WindowRectOf(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return TRect{r.left, r.top, r.right, r.bottom};
}

}  // namespace

TskBorderForm::TskBorderForm(IskBorderOwner& owner) : owner_(owner) { CreateBorderWindow(); }

TskBorderForm::~TskBorderForm() {
  owner_.FreeButtonAnimations();
  if (!window_) return;
  TForm* window = window_;
  window_ = nullptr;
  try {
    window->SetWindowProc(previousProc_);
    if (window->HandleAllocated()) {
      ShowWindow(window->Handle(), SW_HIDE);
      SetWindowLongPtrA(window->Handle(), GWLP_HWNDPARENT,
                        reinterpret_cast<LONG_PTR>(previousOwnerWindow_));
    }
    // From inside its own window procedure the window goes after the messages queued for it.
    if (inProc_ > 0 && window->HandleAllocated())
      window->Release();
    else
      delete window;
  } catch (...) {
    // Nothing leaves a destructor; a window that could not go stays hidden.
  }
}

void TskBorderForm::CreateBorderWindow() {
  HWND ownerWnd = owner_.OwnerHandle();
  window_ = new TForm(nullptr);
  window_->SetTag(kDialogHookSkipTag);
  window_->SetBorderStyle(bsNone);
  if (ownerWnd && (GetWindowLongPtrA(ownerWnd, GWL_EXSTYLE) & WS_EX_TOPMOST))
    window_->SetFormStyle(fsStayOnTop);
  previousProc_ = window_->WindowProc();
  window_->SetWindowProc(TWndMethod::Of(this, &TskBorderForm::BorderWndProc));
  HWND wnd = window_->Handle();
  SetWindowLongPtrA(wnd, GWL_EXSTYLE, WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
  // Owned by the owner window, so the system keeps the two together in the z-order (an
  // owned window lies above its owner; its region and its image leave the owner's client
  // area to the owner) and hides and destroys it with its owner. An unowned window given
  // its place right behind the owner is restacked by Wine's X11 driver behind our back.
  previousOwnerWindow_ = reinterpret_cast<HWND>(
      SetWindowLongPtrA(wnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerWnd)));
}

HWND TskBorderForm::BorderPlaceAfter(HWND ownerWnd) const {
  // Directly above the owner: after the window that lies above the owner, so no window of
  // the program that came forward lies between the two.
  const bool topmost = (GetWindowLongPtrA(ownerWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  if (topmost) return HWND_TOPMOST;
  HWND above = GetWindow(ownerWnd, GW_HWNDPREV);
  return above ? above : HWND_TOP;
}

HWND TskBorderForm::Handle() const {
  return window_ && window_->HandleAllocated() ? window_->Handle() : nullptr;
}

TSize TskBorderForm::WindowSize() const {
  const TRect r = WindowRectOf(Handle());
  return TSize{r.Width(), r.Height()};
}

HRGN TskBorderForm::CreateRegion() const {
  const TskBorderRegion plan = PlanBorderRegion(owner_.OwnerFacts(), WindowSize(),
                                                (owner_.OwnerState() & BorderStateWholeImage) != 0);
  HRGN region =
      CreateRectRgn(plan.Bounds.Left, plan.Bounds.Top, plan.Bounds.Right, plan.Bounds.Bottom);
  if (plan.Hole.Width() > 0 && plan.Hole.Height() > 0) {
    TRegion hole(CreateRectRgn(plan.Hole.Left, plan.Hole.Top, plan.Hole.Right, plan.Hole.Bottom));
    CombineRgn(region, region, hole.Get(), RGN_DIFF);
  }
  return region;
}

TskBorderRegion TskBorderForm::CurrentRegionPlan(TSize windowSize) const {
  return PlanBorderRegion(owner_.OwnerFacts(), windowSize,
                          (owner_.OwnerState() & BorderStateWholeImage) != 0);
}

void TskBorderForm::ApplyRegion() {
  HWND wnd = Handle();
  if (!wnd) return;
  const TskBorderRegion plan = CurrentRegionPlan(WindowSize());
  // The same region again would only make the system shape the window anew.
  if (regionApplied_ && plan == appliedRegion_) return;
  TRegion region(CreateRegion());
  // The window owns the region once it took it.
  if (SetWindowRgn(wnd, region.Get(), FALSE)) {
    region.Release();
    appliedRegion_ = plan;
    regionApplied_ = true;
  }
}

void TskBorderForm::UpdateExBorder(bool rebuild, int alpha) {
  HWND wnd = Handle();
  HWND ownerWnd = owner_.OwnerHandle();
  if (!wnd || showing_ || !ownerWnd || (Application && Application->Terminated())) return;
  RECT ownerRect;
  if (!GetWindowRect(ownerWnd, &ownerRect) || !owner_.BorderUpdatesAllowed()) return;
  const unsigned state = owner_.OwnerState();
  if ((!IsWindowVisible(ownerWnd) || IsIconic(ownerWnd)) && (state & ~0x8000u) == 0) {
    ShowWindow(wnd, SW_HIDE);
    return;
  }
  showing_ = true;
  TScopeExit done([this] { showing_ = false; });

  TSize imageSize{};
  bool rebuilt = false;
  TBitmap* image = owner_.OwnerImage(imageSize, rebuilt);
  if (!image || imageSize.cx <= 0 || imageSize.cy <= 0) return;
  rebuild = rebuild || rebuilt;
  const TsFormFacts facts = owner_.OwnerFacts();
  const TskBorderPlacement place = PlaceBorderWindow(
      facts, TRect{ownerRect.left, ownerRect.top, ownerRect.right, ownerRect.bottom}, imageSize,
      IsCompositionEnabled());
  const TSize current = WindowSize();
  const bool sizeChanged = current != place.ShownSize;

  const HWND after = BorderPlaceAfter(ownerWnd);
  const UINT zFlags = after == wnd ? SWP_NOZORDER : 0;
  // The hole for the owner's client area follows the owner's facts, which change without a
  // new size too (the owner's frame, its menu line): a hole that moved is cut and cleared
  // in the image at once, so the window never lies over the owner's client area.
  if (!regionApplied_ || CurrentRegionPlan(place.ShownSize) != appliedRegion_) rebuild = true;

  if (HasLayeredWindows() && (rebuild || sizeChanged) && !passingMouse_) {
    const int ownAlpha = owner_.OwnerAlpha();
    const BYTE blendAlpha = static_cast<BYTE>(ownAlpha >= 0 ? ownAlpha : alpha);
    if (sizeChanged)
      SetWindowPos(wnd, nullptr, place.Bounds.Left, place.Bounds.Top, place.ShownSize.cx,
                   place.ShownSize.cy, PlaceFlags | SWP_NOZORDER | SWP_NOREDRAW);
    ApplyRegion();
    // The owner's client area is cleared in what the window shows, not only cut out by the
    // region: a system that draws a layered window without its region (Wine does) would
    // otherwise lay the image's client area over the owner's controls.
    const TskBorderRegion plan =
        PlanBorderRegion(facts, place.ShownSize, (state & BorderStateWholeImage) != 0);
    TBitmap* shown = image;
    if (plan.Hole.Width() > 0 && plan.Hole.Height() > 0) {
      if (!shownImage_ || shownImage_->Width() != place.ShownSize.cx ||
          shownImage_->Height() != place.ShownSize.cy)
        shownImage_ = CreateBmp32(place.ShownSize.cx, place.ShownSize.cy);
      BitBlt(shownImage_->Canvas()->Handle(), 0, 0, place.ShownSize.cx, place.ShownSize.cy,
             image->Canvas()->Handle(), 0, 0, SRCCOPY);
      FillRect32(shownImage_.get(), plan.Hole, 0);
      FillAlphaRect(shownImage_.get(), plan.Hole, 0, false);
      shown = shownImage_.get();
    }
    TWindowDC screen(nullptr);
    POINT position{place.Bounds.Left, place.Bounds.Top};
    SIZE size{place.ShownSize.cx, place.ShownSize.cy};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, blendAlpha, AC_SRC_ALPHA};
    CallUpdateLayeredWindow(wnd, screen.Get(), &position, &size, shown->Canvas()->Handle(), &origin,
                            0, &blend, ULW_ALPHA);
    if (!IsWindowVisible(wnd)) {
      // Shown with a transparent image the owner must not be seen to move behind it.
      const bool hideOwner = alpha == 0;
      const LONG_PTR style = GetWindowLongPtrA(ownerWnd, GWL_STYLE);
      if (hideOwner) SetWindowLongPtrA(ownerWnd, GWL_STYLE, style & ~WS_VISIBLE);
      SetWindowPos(wnd, after, 0, 0, 0, 0,
                   PlaceFlags | SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | zFlags);
      if (hideOwner) SetWindowLongPtrA(ownerWnd, GWL_STYLE, style);
    } else {
      SetWindowPos(wnd, after, 0, 0, 0, 0, PlaceFlags | SWP_NOSIZE | SWP_NOMOVE | zFlags);
    }
    return;
  }
  SetWindowPos(wnd, after, place.Bounds.Left, place.Bounds.Top, 0, 0,
               PlaceFlags | SWP_NOSIZE | zFlags);
  ApplyRegion();
}

bool TskBorderForm::IsOutsideFrame(POINT p) const {
  if (!Handle() || (Application && Application->Terminated())) return false;
  const bool outside = ::IsOutsideFrame(owner_.OwnerFacts(), WindowSize(), TPoint{p.x, p.y});
  if (outside) owner_.SetHotButton(0);
  return outside;
}

int TskBorderForm::HitTest(POINT screenPoint) {
  HWND ownerWnd = owner_.OwnerHandle();
  if (!ownerWnd || !IsWindowEnabled(ownerWnd)) return -1;
  const TRect window = WindowRectOf(Handle());
  const TPoint p{screenPoint.x - window.Left, screenPoint.y - window.Top};
  TskBorderHitFacts hit;
  hit.ButtonCode = owner_.TitleButtonAt(p);
  hit.IconRect = owner_.IconRect();
  const int code =
      BorderHitTest(owner_.OwnerFacts(), TSize{window.Width(), window.Height()}, p, hit);
  owner_.SetHotButton(hit.ButtonCode > 0 ? hit.ButtonCode : 0);
  return code;
}

bool TskBorderForm::StretchOnDoubleClick(int code) {
  const TskStretchAxis axis = StretchAxisOf(code);
  HWND ownerWnd = owner_.OwnerHandle();
  if (axis == TskStretchAxis::None || !ownerWnd) return false;
  const TsFormFacts facts = owner_.OwnerFacts();
  if (!facts.ThickFrame || facts.Maximized || facts.Minimized) return false;
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(MonitorFromWindow(ownerWnd, MONITOR_DEFAULTTONEAREST), &info)) return false;
  const TRect work{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
  const TRect r = stretch_.Toggle(facts, WindowRectOf(ownerWnd), work, axis);
  SetWindowPos(ownerWnd, nullptr, r.Left, r.Top, r.Width(), r.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

void TskBorderForm::PassMouseOn(TMessage& m) {
  HWND wnd = Handle();
  passingMouse_ = true;
  TScopeExit passed([this] { passingMouse_ = false; });
  POINT client{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  POINT screen = client;
  ClientToScreen(wnd, &screen);
  // A one-pixel hole at the point lets the window below be found there.
  {
    TRegion region(CreateRegion());
    TRegion hole(CreateRectRgn(client.x, client.y, client.x + 1, client.y + 1));
    CombineRgn(region.Get(), region.Get(), hole.Get(), RGN_DIFF);
    if (SetWindowRgn(wnd, region.Get(), FALSE)) region.Release();
  }
  HWND target = WindowFromPoint(screen);
  regionApplied_ = false;
  ApplyRegion();
  m.Result = 0;
  if (!target || target == wnd || target == owner_.OwnerHandle()) return;
  // The target reads the point in its own client coordinates, not in the border window's.
  POINT local = screen;
  ScreenToClient(target, &local);
  ++passed_;
  const LPARAM point = MAKELPARAM(static_cast<WORD>(local.x), static_cast<WORD>(local.y));
  // Another program's window (or another thread's) gets the message posted, as the system
  // delivers input: a window that does not answer must not hold this one's thread.
  if (GetWindowThreadProcessId(target, nullptr) != GetCurrentThreadId()) {
    PostMessageA(target, m.Msg, m.WParam, point);
    return;
  }
  m.Result = SendMessageA(target, m.Msg, m.WParam, point);
}

void TskBorderForm::BorderWndProc(TMessage& m) {
  ++inProc_;
  TScopeExit left([this] { --inProc_; });
  HWND wnd = Handle();
  HWND ownerWnd = owner_.OwnerHandle();
  switch (m.Msg) {
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      m.Result = 0;
      return;
    case WM_SETCURSOR: {
      POINT p;
      GetCursorPos(&p);
      const TRect window = WindowRectOf(wnd);
      if (!IsOutsideFrame(POINT{p.x - window.Left, p.y - window.Top})) {
        if (LPCSTR cursor = CursorFor(HitTest(p))) {
          SetCursor(LoadCursorA(nullptr, cursor));
          m.Result = TRUE;
          return;
        }
      }
      break;
    }
    case WM_MOUSEACTIVATE:
      m.Result = MA_NOACTIVATE;
      if (ownerWnd && IsWindowEnabled(ownerWnd)) SetForegroundWindow(ownerWnd);
      return;
    case WM_WINDOWPOSCHANGING: {
      // Whoever restacks the window puts it right above its owner.
      auto* pos = reinterpret_cast<WINDOWPOS*>(m.LParam);
      if (pos && !(pos->flags & SWP_NOZORDER) && ownerWnd && IsWindowVisible(ownerWnd)) {
        pos->hwndInsertAfter = BorderPlaceAfter(ownerWnd);
        if (pos->hwndInsertAfter == wnd) pos->flags |= SWP_NOZORDER;
      }
      break;
    }
    case WM_WINDOWPOSCHANGED:
      owner_.FreeButtonAnimations();
      break;
    case WM_NCHITTEST: {
      POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      const TRect window = WindowRectOf(wnd);
      if (IsOutsideFrame(POINT{p.x - window.Left, p.y - window.Top})) break;
      m.Result = FrameHit;
      return;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP: {
      POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      const TRect window = WindowRectOf(wnd);
      m.Result = 0;
      if (IsOutsideFrame(POINT{p.x - window.Left, p.y - window.Top}) || !ownerWnd) return;
      if (m.Msg == WM_NCLBUTTONDOWN) showing_ = false;
      const int code = HitTest(p);
      if (code <= 0) return;
      if (m.Msg == WM_NCLBUTTONDBLCLK && StretchOnDoubleClick(code)) return;
      // The owner handles the frame's mouse as its own: moving, sizing, the title buttons.
      m.Result = SendMessageA(ownerWnd, m.Msg, static_cast<WPARAM>(code), m.LParam);
      return;
    }
    default:
      if (IsClientMouseMessage(m.Msg)) {
        POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        m.Result = 0;
        if (IsOutsideFrame(p)) PassMouseOn(m);
        return;
      }
      break;
  }
  previousProc_(m);
}
