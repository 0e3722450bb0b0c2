#include "skin/core/painting/sCommonDataWin32.h"

#include <algorithm>

#include "framework/Canvas.h"
#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "framework/StdCtrlsWin32.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

// The skin commands this thread is delivering right now, innermost last. A receiver trusts
// the pointers of a command only when it is one of these: a number that came from elsewhere
// is never followed.
struct TOwnSkinCmd {
  WPARAM WParam;
  LPARAM LParam;
};
thread_local std::vector<TOwnSkinCmd> OwnSkinCmds;

class TOwnSkinCmdScope {
 public:
  TOwnSkinCmdScope(WPARAM wParam, LPARAM lParam) { OwnSkinCmds.push_back({wParam, lParam}); }
  ~TOwnSkinCmdScope() { OwnSkinCmds.pop_back(); }
  TOwnSkinCmdScope(const TOwnSkinCmdScope&) = delete;
  TOwnSkinCmdScope& operator=(const TOwnSkinCmdScope&) = delete;
};

bool Destroying(const TComponent* c) { return c->ComponentState().Contains(csDestroying); }

}  // namespace

void (*TsSkinRuntimeHotWindow)(HWND) = nullptr;

LRESULT PerformSkinCmd(TControl* control, int cmd, LPARAM lParam, int lowWord) {
  if (!control) return 0;
  const WPARAM wParam = SkinCmdWParam(cmd, lowWord);
  TOwnSkinCmdScope scope(wParam, lParam);
  return control->Perform(SM_SKINCMD, wParam, lParam);
}

TSkinCmdMessage ReadSkinCmd(WPARAM wParam, LPARAM lParam) {
  TSkinCmdMessage m;
  m.Cmd = SkinCmdOf(wParam);
  m.LowWord = SkinCmdLowWord(wParam);
  m.LParam = lParam;
  // InSendMessage: sent by another thread or process, whatever our own senders are doing.
  if (!InSendMessage())
    for (auto it = OwnSkinCmds.rbegin(); it != OwnSkinCmds.rend(); ++it)
      if (it->WParam == wParam && it->LParam == lParam) {
        m.FromOwnThread = true;
        break;
      }
  return m;
}

LRESULT SendSkinCmd(HWND wnd, int cmd, LPARAM lParam, int lowWord) {
  if (!wnd) return 0;
  const WPARAM wParam = SkinCmdWParam(cmd, lowWord);
  TOwnSkinCmdScope scope(wParam, lParam);
  return SendMessageA(wnd, SM_SKINCMD, wParam, lParam);
}

LRESULT SendControlSkinCmd(TControl* control, int cmd, LPARAM lParam, int lowWord) {
  if (!control) return 0;
  if (auto* win = dynamic_cast<TWinControl*>(control)) {
    if (Destroying(win) || !win->HandleAllocated()) return 0;
    return SendSkinCmd(win->Handle(), cmd, lParam, lowWord);
  }
  return PerformSkinCmd(control, cmd, lParam, lowWord);
}

LRESULT QueryControlSkinCmd(TControl* control, int cmd) {
  return SendControlSkinCmd(control, cmd, 0);
}

bool TestSkinCmd(HWND wnd, int cmd) { return SendSkinCmd(wnd, cmd, 0) == 1; }

void BroadcastToChildren(TWinControl* parent, const TSkinCmdMessage& message) {
  if (!parent) return;
  std::vector<TControl*> children;
  for (int i = 0; i < parent->ControlCount(); ++i) children.push_back(parent->Controls(i));
  for (TControl* child : children) {
    // A receiver may free its siblings: only children still in the parent are reached.
    bool present = false;
    for (int i = 0; i < parent->ControlCount() && !present; ++i)
      present = parent->Controls(i) == child;
    // A child on its way out is passed over, not the end of the broadcast: its later
    // siblings would keep the old skin.
    if (!present || Destroying(child)) continue;
    auto* win = dynamic_cast<TWinControl*>(child);
    if (!win || !win->HandleAllocated())
      PerformSkinCmd(child, message.Cmd, message.LParam, message.LowWord);
    else if (QueryControlSkinCmd(win, CmdIsSkinned) & 0xFF)
      SendSkinCmd(win->Handle(), message.Cmd, message.LParam, message.LowWord);
    else
      BroadcastToChildren(win, message);
  }
}

TColor GetControlBgColor(TControl* control) {
  if (!control) return clFuchsia;
  if (QueryControlSkinCmd(control, CmdIsSkinned) == 1)
    return ColorToRGB(static_cast<TColor>(SendControlSkinCmd(control, CmdGetBgColor, clFuchsia)));
  return ColorToRGB(control->Color());
}

TColor GetWindowBgColor(HWND wnd) {
  if (!wnd) return clFuchsia;
  return ColorToRGB(static_cast<TColor>(SendSkinCmd(wnd, CmdGetBgColor, clFuchsia)));
}

bool IsControlReady(TControl* control) {
  if (!control) return false;
  if (auto* win = dynamic_cast<TWinControl*>(control); win && !win->HandleAllocated()) return false;
  const TComponentState state = control->ComponentState();
  if (state.Contains(csLoading) || state.Contains(csReading) || state.Contains(csDestroying))
    return false;
  // Messages sent while the window is being made reach a control that is not set up yet.
  if (control->ControlState().Contains(csCreating)) return false;
  return control->Parent() != nullptr;
}

HWND GetTopParentWindow(HWND wnd) {
  while (HWND parent = GetParent(wnd)) wnd = parent;
  return wnd;
}

void NotifyControlChanged(TControl* control) {
  if (!control) return;
  const TComponentState state = control->ComponentState();
  if (state.Contains(csLoading) || state.Contains(csDesigning)) return;
  TWinControl* form = control->Parent();
  while (form && !dynamic_cast<TCustomForm*>(form)) form = form->Parent();
  if (form && form->HandleAllocated())
    SendSkinCmd(form->Handle(), CmdControlChanged, reinterpret_cast<LPARAM>(control));
}

// ---- the owner bound to a control -------------------------------------------------------------

bool TControlSkinHost::IsWindowed() const { return dynamic_cast<TWinControl*>(control_); }
bool TControlSkinHost::IsDestroying() const { return Destroying(control_); }
bool TControlSkinHost::IsLoading() const { return control_->ComponentState().Contains(csLoading); }

ISkinDataHost* TControlSkinHost::Parent() const {
  TWinControl* parent = control_->Parent();
  if (!parent) return nullptr;
  parent_ = std::make_unique<TControlSkinHost>(parent);
  return parent_.get();
}

TColor TControlSkinHost::FontColor() const { return control_->Font()->Color(); }
void TControlSkinHost::SetFontColor(TColor color) { control_->Font()->SetColor(color); }

intptr_t TControlSkinHost::SkinCmd(int cmd, int lowWord, intptr_t lParam) {
  return SendControlSkinCmd(control_, cmd, lParam, lowWord);
}

void TControlSkinHost::Redraw() {
  auto* win = dynamic_cast<TWinControl*>(control_);
  if (!win) {
    control_->Invalidate();
    return;
  }
  if (win->HandleAllocated())
    RedrawWindow(win->Handle(), nullptr, nullptr,
                 RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
}

std::vector<ISkinDataHost*> TControlSkinHost::Children() const {
  children_.clear();
  std::vector<ISkinDataHost*> result;
  if (auto* win = dynamic_cast<TWinControl*>(control_))
    for (int i = 0; i < win->ControlCount(); ++i) {
      children_.push_back(std::make_unique<TControlSkinHost>(win->Controls(i)));
      result.push_back(children_.back().get());
    }
  return result;
}

void TControlSkinHost::SkinRemoved(TsCommonData& data) {
  if (auto* edit = dynamic_cast<TCustomEdit*>(control_)) {
    if (!data.CustomColor) edit->SetColor(clWindow);
    if (!data.CustomFont) edit->Font()->SetColor(clWindowText);
    if (edit->HandleAllocated())
      RedrawWindow(edit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
  } else if (auto* win = dynamic_cast<TWinControl*>(control_)) {
    for (int i = 0; i < win->ControlCount(); ++i)
      if (auto* label = dynamic_cast<TLabel*>(win->Controls(i)))
        label->Font()->SetColor(clWindowText);
  }
}

bool TControlSkinHost::AskParentBackground(TsBackgroundRequest& request, bool copyNow) {
  if (TWinControl* parent = control_->Parent()) {
    GetControlBackground(request, parent, copyNow);
    return true;
  }
  auto* win = dynamic_cast<TWinControl*>(control_);
  HWND parentWindow = win && win->HandleAllocated() ? GetParent(win->Handle()) : nullptr;
  if (!parentWindow) return false;
  GetWindowBackground(request, parentWindow, false);
  return true;
}

void TControlSkinHost::FillRequestRect(const TsBackgroundRequest& request, TColor color) {
  if (request.DrawDC) PaintSolidRect(static_cast<HDC>(request.DrawDC), request.R, color);
}

void TControlSkinHost::CopyToRequest(const TsBackgroundRequest& request, const TBitmap& source) {
  if (!request.DrawDC) return;
  const TRect& r = request.R;
  BitBlt(static_cast<HDC>(request.DrawDC), r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top,
         const_cast<TBitmap&>(source).Canvas()->Handle(), request.X, request.Y, SRCCOPY);
}

TControl* HostControlOf(const TsCommonData& data) {
  auto* host = dynamic_cast<TControlSkinHost*>(data.Host());
  return host ? host->Control() : nullptr;
}

int FindFontParentSection(TControl* control, int defaultIndex, TsSkinManager* manager) {
  if (!control) return defaultIndex;
  TControlSkinHost host(control);
  return FindFontParentSection(&host, defaultIndex, manager);
}

// ---- the common message handling ----------------------------------------------------------

namespace {

TWinControl* WindowedHost(TsCommonData& data) {
  auto* host = dynamic_cast<TControlSkinHost*>(data.Host());
  return host ? dynamic_cast<TWinControl*>(host->Control()) : nullptr;
}

TControl* HostControl(TsCommonData& data) {
  auto* host = dynamic_cast<TControlSkinHost*>(data.Host());
  return host ? host->Control() : nullptr;
}

void RedrawFrame(TWinControl* control) {
  if (control && control->HandleAllocated())
    RedrawWindow(control->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

bool SectionHasStates(TsCommonData& data) {
  TsSkinManager* manager = data.SkinManager();
  return manager && manager->IsValidSectionIndex(data.SectionIndex) &&
         manager->Sections()[static_cast<size_t>(data.SectionIndex)].States > 1;
}

TRect ToRect(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }

// The clip box of a window's whole-window DC: the part of it that can show.
TRect WindowClipBox(HWND wnd) {
  TWindowDC dc(wnd, true);
  RECT box{};
  if (dc) GetClipBox(dc.Get(), &box);
  return ToRect(box);
}

}  // namespace

void UpdateGlow(TsCommonData& data, bool hide, HWND window) {
  const TsCommonData::TGlowAction action =
      data.GlowAction(hide, (GetKeyState(VK_LBUTTON) & 0x8000) != 0);
  if (action == TsCommonData::TGlowAction::None) return;
  // A glow already shown goes first: a new one takes its place.
  data.FreeShownGlow();
  if (action == TsCommonData::TGlowAction::Free) return;
  TRect rect, clip;
  HWND target = nullptr;
  if (TControl* control = HostControl(data)) {
    TWinControl* form = control->Parent();
    while (form && !dynamic_cast<TCustomForm*>(form)) form = form->Parent();
    if (!form || !form->HandleAllocated()) return;
    target = form->Parent() && form->Parent()->HandleAllocated() ? form->Parent()->Handle()
                                                                 : form->Handle();
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
      if (!windowed->HandleAllocated()) return;
      RECT r;
      GetWindowRect(windowed->Handle(), &r);
      rect = ToRect(r);
      clip = WindowClipBox(windowed->Handle());
    } else {
      TWinControl* parent = control->Parent();
      if (!parent || !parent->HandleAllocated()) return;
      POINT origin{control->Left(), control->Top()};
      ClientToScreen(parent->Handle(), &origin);
      const int width = control->Width(), height = control->Height();
      rect = TRect{origin.x, origin.y, origin.x + width, origin.y + height};
      TWindowDC dc(parent->Handle());
      RECT box{};
      if (dc) GetClipBox(dc.Get(), &box);
      // The parent's visible part, in the control's coordinates and cut to the control.
      clip = TRect{std::max(0, static_cast<int>(box.left) - control->Left()),
                   std::max(0, static_cast<int>(box.top) - control->Top()),
                   std::min(width, static_cast<int>(box.right) - control->Left()),
                   std::min(height, static_cast<int>(box.bottom) - control->Top())};
    }
  } else if (window && IsWindow(window)) {
    RECT r;
    GetWindowRect(window, &r);
    rect = ToRect(r);
    clip = WindowClipBox(window);
    target = GetTopParentWindow(window);
  } else {
    return;
  }
  TsSkinManager* manager = data.SkinManager();
  const int margin = manager->Sections()[static_cast<size_t>(data.SectionIndex)].GlowMargin;
  data.SetShownGlow(FormServices().ShowGlow({.Rect = rect,
                                             .ClipRect = clip,
                                             .SectionName = data.SkinSection(),
                                             .Margin = margin,
                                             .Manager = manager},
                                            reinterpret_cast<TWindowKey>(target)));
}

bool HandleCommonMessage(TMessage& message, TsCommonData* data) {
  if (!data) return false;
  TsCommonData& d = *data;
  if (message.Msg == SM_SKINCMD) {
    TSkinCmdMessage m = ReadSkinCmd(message.WParam, message.LParam);
    const bool consumed = ProcessSkinCommand(m, data);
    message.Result = m.Result;
    if (m.Cmd == CmdIsBgGraphic && consumed) message.LParam = m.LParam;
    return consumed;
  }
  TControl* control = HostControl(d);
  TWinControl* windowed = WindowedHost(d);
  switch (message.Msg) {
    case WM_MOVE:
      if (d.DependsOnParentBg()) {
        d.BackgroundDirty = true;
        if (control) PerformSkinCmd(control, CmdBgChangedRedraw, 0, 1);
      }
      d.FreeShownGlow();
      break;
    case WM_SIZE:
      if (d.IsSkinned()) {
        d.BackgroundDirty = true;
        TsSkinManager* manager = d.SkinManager();
        if (windowed &&
            manager->Sections()[static_cast<size_t>(d.SectionIndex)].GradientPercent > 0) {
          std::vector<TControl*> children;
          for (int i = 0; i < windowed->ControlCount(); ++i)
            children.push_back(windowed->Controls(i));
          for (TControl* child : children)
            if (!Destroying(child)) PerformSkinCmd(child, CmdBgChangedRedraw, 0, 1);
        }
      }
      d.FreeShownGlow();
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (windowed && windowed->CanFocus() && windowed->TabStop()) {
        const bool focus = message.Msg == WM_SETFOCUS;
        d.BackgroundDirty = true;
        d.HasFocus = focus;
        if (IsEditLikeKind(d.ControlKind) &&
            (focus ? d.IsSkinned() && SectionHasStates(d) : windowed->Visible()))
          RedrawFrame(windowed);
      }
      break;
    case WM_FONTCHANGE:
    case CM_ENABLEDCHANGED:
      d.MouseOver = false;
      d.HasFocus = false;
      if (control && !control->Enabled()) d.FreeShownGlow();
      break;
    case WM_UPDATEUISTATE:
      if (d.IsSkinned()) return true;
      break;
    case WM_PARENTNOTIFY:
      if (LOWORD(message.WParam) == WM_CREATE && windowed) NotifyControlChanged(windowed);
      break;
    case CM_VISIBLECHANGED:
      if (!d.CacheBitmap) break;
      if (message.WParam == 0) {
        d.EmptyCache();
      } else {
        d.PaintSuspended = false;
        d.BackgroundDirty = true;
      }
      break;
    case CM_MOUSEENTER:
      if (d.IsSkinned()) {
        if (!IsNoHotStateKind(d.ControlKind)) d.MouseOver = true;
        if (!HasNoGlow(d.ControlKind)) UpdateGlow(d, false, nullptr);
        if (windowed && DefaultManager) {
          if (TsSkinRuntimeHotWindow) TsSkinRuntimeHotWindow(windowed->Handle());
          if (IsEditLikeKind(d.ControlKind) && SectionHasStates(d) && windowed->HandleAllocated()) {
            d.BackgroundDirty = true;
            SendMessageA(windowed->Handle(), WM_NCPAINT, 0, 0);
          }
        }
      }
      break;
    case CM_MOUSELEAVE:
      if (d.IsSkinned()) {
        if (!IsNoHotStateKind(d.ControlKind)) d.MouseOver = false;
        if (!HasNoGlow(d.ControlKind)) {
          d.FreeShownGlow();
          FormServices().FreeAllGlows();
        }
        if (windowed && windowed->Visible() && IsEditLikeKind(d.ControlKind) &&
            windowed->HandleAllocated()) {
          d.BackgroundDirty = true;
          SendMessageA(windowed->Handle(), WM_NCPAINT, 0, 0);
        }
      }
      break;
    default:
      break;
  }
  return false;
}
