#include "skin/forms/sVclUtilsWin32.h"

#include <algorithm>
#include <vector>

#include "framework/Canvas.h"
#include "framework/ComCtrlsWin32.h"
#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "framework/ScopeExit.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColorsWin32.h"

namespace {

bool Destroying(const TComponent* c) { return c->ComponentState().Contains(csDestroying); }
bool Designing(const TComponent* c) { return c->ComponentState().Contains(csDesigning); }

// Sends the message, a skin command through our own sender so that its LParam is trusted.
void SendAsOwn(HWND wnd, const TMessage& m) {
  if (m.Msg == SM_SKINCMD)
    SendSkinCmd(wnd, SkinCmdOf(m.WParam), m.LParam, SkinCmdLowWord(m.WParam));
  else
    SendMessageA(wnd, m.Msg, m.WParam, m.LParam);
}

struct TDirectChildMessage {
  HWND Parent;
  const TMessage* Message;
};

// EnumChildWindows walks every descendant: only the direct children are sent the message.
BOOL CALLBACK SendToDirectChild(HWND wnd, LPARAM data) {
  const auto* target = reinterpret_cast<const TDirectChildMessage*>(data);
  if (GetParent(wnd) == target->Parent) SendAsOwn(wnd, *target->Message);
  return TRUE;
}

void MoveOrigin(HDC dc, int dx, int dy) {
  POINT org;
  GetViewportOrgEx(dc, &org);
  SetViewportOrgEx(dc, org.x + dx, org.y + dy, nullptr);
}

bool IsPushToolButton(TControl* c) {
  auto* button = dynamic_cast<TToolButton*>(c);
  return button && (button->Style() == tbsButton || button->Style() == tbsCheck ||
                    button->Style() == tbsDropDown);
}

bool IsPaintable(HDC dc, TControl* c) {
  TGraphicChildFacts facts;
  facts.Visible = c->Visible();
  facts.Designing = Designing(c);
  facts.Graphic = !dynamic_cast<TWinControl*>(c);
  facts.Width = c->Width();
  facts.Height = c->Height();
  facts.HiddenAtDesignTime = c->ControlStyle().Contains(csNoDesignVisible);
  facts.Destroying = Destroying(c);
  facts.PushToolButton = IsPushToolButton(c);
  RECT bounds{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
  facts.BoundsVisibleInDC = RectVisible(dc, &bounds) != FALSE;
  return IsPaintableGraphicChild(facts);
}

// Fills the child's area of the off-screen image with what lies behind it.
void FillChildBackground(HDC memDC, TControl* c, const TsBackgroundRequest& behind) {
  const TRect r = c->BoundsRect();
  if (c->ControlStyle().Contains(csOpaque))
    PaintSolidRect(memDC, r, GetControlBgColor(c));
  else if (behind.BgType != 2 || !behind.Bmp)
    PaintSolidRect(memDC, r, behind.Color);
  else
    BitBlt(memDC, r.Left, r.Top, r.Width(), r.Height(), behind.Bmp->Canvas()->Handle(),
           behind.X + r.Left, behind.Y + r.Top, SRCCOPY);
}

bool PaintingGraphicChildren = false;

}  // namespace

void BroadcastToChildWindows(HWND wnd, const TMessage& message) {
  if (!wnd) return;
  TDirectChildMessage target{wnd, &message};
  EnumChildWindows(wnd, SendToDirectChild, reinterpret_cast<LPARAM>(&target));
}

void ResumeChildrenPainting(TWinControl* control) {
  if (!control || AnimationRunning) return;
  for (int i = 0; i < control->ControlCount(); ++i) {
    TControl* child = control->Controls(i);
    auto* win = dynamic_cast<TWinControl*>(child);
    if (!win || Destroying(child)) continue;
    if (win->HandleAllocated() && win->Showing())
      SendSkinCmd(win->Handle(), CmdResumePainting, 0);
    else
      SendControlSkinCmd(child, CmdResumePainting, 0);
  }
}

void ResumeChildWindowsPainting(HWND wnd) {
  if (!wnd) return;
  for (HWND child = GetTopWindow(wnd); child; child = GetWindow(child, GW_HWNDNEXT))
    if (GetWindowLongPtrA(child, GWL_STYLE) & WS_CHILD) SendSkinCmd(child, CmdResumePainting, 0);
}

TCustomForm* GetOwnerForm(TComponent* component) {
  for (TComponent* c = component; c; c = c->Owner())
    if (auto* form = dynamic_cast<TCustomForm*>(c)) return form;
  return nullptr;
}

TComponent* GetOwnerFrame(TComponent*) { return nullptr; }

TRect GetClientRectInWindow(HWND wnd) {
  RECT client{}, window{};
  POINT origin{0, 0};
  GetClientRect(wnd, &client);
  GetWindowRect(wnd, &window);
  ClientToScreen(wnd, &origin);
  const TClientRectInWindow r = ClientRectInWindow(
      {client.right, client.bottom, origin.x, origin.y, window.left, window.top});
  return TRect{r.Left, r.Top, r.Right, r.Bottom};
}

int SumAlignedSizes(TWinControl* control, TAlign align, bool includeGraphic) {
  if (!control) return 0;
  int sum = 0;
  for (int i = 0; i < control->ControlCount(); ++i) {
    TControl* c = control->Controls(i);
    if (!c->Visible() || c->Align() != align) continue;
    if (!includeGraphic && !dynamic_cast<TWinControl*>(c)) continue;
    switch (align) {
      case alTop:
      case alBottom:
        sum += c->Height();
        break;
      case alLeft:
      case alRight:
        sum += c->Width();
        break;
      default:
        break;
    }
  }
  return sum;
}

UINT GetTextAlignFlags(TControl*, TAlignment alignment) {
  // The framework has no right-to-left reading: the control changes nothing here.
  UINT flags = DT_LEFT;
  if (alignment == taRightJustify) flags = DT_RIGHT;
  if (alignment == taCenter) flags = DT_CENTER;
  return flags | DT_VCENTER | DT_EXPANDTABS;
}

void ReadCursorPos(TPoint& point) {
  POINT p{point.X, point.Y};
  if (GetCursorPos(&p)) point = TPoint{p.x, p.y};
}

void PlaceAfterSibling(TControl* control, TControl* sibling) {
  if (!control || !sibling || !control->Parent()) return;
  TWinControl* parent = control->Parent();
  int siblingIndex = -1, ownIndex = -1;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    if (parent->Controls(i) == sibling) siblingIndex = i;
    if (parent->Controls(i) == control) ownIndex = i;
  }
  if (siblingIndex < 0 || sibling == control) return;
  // Taking the control out first moves the sibling up by one when it came after it.
  parent->SetChildOrder(control, ownIndex < siblingIndex ? siblingIndex : siblingIndex + 1);
  auto* win = dynamic_cast<TWinControl*>(control);
  auto* winSibling = dynamic_cast<TWinControl*>(sibling);
  if (win && winSibling && win->HandleAllocated() && winSibling->HandleAllocated())
    SetWindowPos(win->Handle(), winSibling->Handle(), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void PassSkinCmdToProvider(TCustomForm*, TMessage&) {}

void PaintControlTree(TBitmap* bmp, TControl* control, int x, int y, ISkinProvider* provider) {
  if (!bmp || !control) return;
  HDC dc = bmp->Canvas()->Handle();
  if (!provider && control->Parent() && !control->Visible()) {
    TsBackgroundRequest behind;
    GetControlBackground(behind, control->Parent(), false);
    const TRect r = Bounds(x, y, control->Width(), control->Height());
    if (behind.BgType == 2 && behind.Bmp)
      BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), behind.Bmp->Canvas()->Handle(),
             behind.X + control->Left(), behind.Y + control->Top(), SRCCOPY);
    else
      PaintSolidRect(dc, r, behind.Color);
    return;
  }
  const bool borderForm = provider && provider->HasBorderForm();
  if (!borderForm) IntersectClipRect(dc, 0, 0, control->Width(), control->Height());
  auto* win = dynamic_cast<TWinControl*>(control);
  if (!win) {
    SendControlSkinCmd(control, CmdSetPrintDC, reinterpret_cast<LPARAM>(dc));
    control->Perform(WM_PRINT, reinterpret_cast<WPARAM>(dc), 0);
    SendControlSkinCmd(control, CmdSetPrintDC, 0);
    return;
  }
  if (QueryControlSkinCmd(win, CmdIsSkinned) & 0xFF) {
    HWND wnd = win->Handle();
    SendSkinCmd(wnd, CmdSetPrintDC, reinterpret_cast<LPARAM>(dc));
    SendMessageA(wnd, WM_PRINT, reinterpret_cast<WPARAM>(dc), 0);
    SendSkinCmd(wnd, CmdSetPrintDC, 0);
  } else {
    win->PaintTo(dc, 0, 0);
  }
  for (int i = 0; i < win->ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(win->Controls(i));
    if (!child || !child->Visible()) continue;
    TSaveDC saved(dc);
    const bool topLevelForm = dynamic_cast<TCustomForm*>(child) && !child->Parent();
    if (!topLevelForm) MoveOrigin(dc, child->Left(), child->Top());
    PaintControlTree(bmp, child, child->Left(), child->Top());
  }
  if (borderForm) {
    // The layered snapshot shows the client area opaque whatever alpha its painting left.
    const TRect own = win->ClientRect();
    TRect client = Bounds(own.Left + provider->GetClientOffsetX(),
                          own.Top + provider->GetClientOffsetY(), own.Width(), own.Height());
    if (client.Bottom >= bmp->Height()) client.Bottom = bmp->Height() - 1;
    FillAlphaRect(bmp, client, 255, false);
  }
}

void PaintGraphicChildren(HDC dc, TWinControl* parent, TPoint offset, bool onlyWhenVisible) {
  if (PaintingGraphicChildren || !parent) return;
  PaintingGraphicChildren = true;
  TScopeExit clearGuard([] { PaintingGraphicChildren = false; });

  if (!parent->Visible() && !Designing(parent) && onlyWhenVisible) return;
  if (parent->ControlCount() == 0) return;
  RECT box{};
  if (GetClipBox(dc, &box) == NULLREGION || box.right <= box.left || box.bottom <= box.top) {
    if (parent->HandleAllocated()) SendSkinCmd(parent->Handle(), CmdSetPartlyHidden, 0);
    return;
  }
  TsBackgroundRequest behind;
  GetControlBackground(behind, parent, false);

  std::vector<TControl*> paintable;
  for (int i = 0; i < parent->ControlCount(); ++i)
    if (IsPaintable(dc, parent->Controls(i))) paintable.push_back(parent->Controls(i));
  if (paintable.empty()) return;

  auto* form = dynamic_cast<TCustomForm*>(parent);
  TWindowDC screen(nullptr);
  TGdiObject<HBITMAP> image(CreateCompatibleBitmap(screen.Get(), std::max(parent->Width(), 1),
                                                   std::max(parent->Height(), 1)));
  TDCHandle memDC(CreateCompatibleDC(screen.Get()));
  if (!image || !memDC) return;
  TSelectObject selected(memDC.Get(), image.Get());
  for (TControl* c : paintable) FillChildBackground(memDC.Get(), c, behind);
  const bool paintCopy = parent->ControlState().Contains(csPaintCopy);
  for (TControl* c : paintable) {
    if (form && form->FormStyle() == fsMDIForm && c->Align() != alNone)
      PerformSkinCmd(c, CmdRepaintAll, 0);
    TSaveDC saved(memDC.Get());
    MoveOrigin(memDC.Get(), c->Left(), c->Top());
    IntersectClipRect(memDC.Get(), 0, 0, c->Width(), c->Height());
    const TControlState before = c->ControlState();
    if (paintCopy) {
      TControlState copying = before;
      copying += csPaintCopy;
      c->SetControlState(copying);
    }
    TScopeExit restoreState([&] { c->SetControlState(before); });
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(memDC.Get()), 0);
  }
  for (TControl* c : paintable) {
    // A child that left its corner in the key colour paints nothing of itself there.
    if (ColorToRGB(GetPixel(memDC.Get(), c->Left(), c->Top())) == clFuchsia) continue;
    BitBlt(dc, c->Left() + offset.X, c->Top() + offset.Y, c->Width(), c->Height(), memDC.Get(),
           c->Left(), c->Top(), SRCCOPY);
  }
}

TOutputWindow::TOutputWindow(TComponent* owner) : TCustomControl(owner) {
  SetCaption("skOutputWindow");
  SetVisible(false);
  SetColor(clFuchsia);
  SetTag(kDialogHookSkipTag);
}

void TOutputWindow::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  if (!Parent() && !ParentWindow()) {
    params.Style = WS_POPUP;
    auto* ownerWin = dynamic_cast<TWinControl*>(Owner());
    if (ownerWin && ownerWin->HandleAllocated() &&
        (GetWindowLongPtrA(ownerWin->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST))
      params.ExStyle |= WS_EX_TOPMOST;
    params.WndParent = Application ? Application->Handle() : nullptr;
  }
}

void TOutputWindow::WndProc(TMessage& message) {
  if (message.Msg == WM_ERASEBKGND) {
    message.Result = 1;
    return;
  }
  if (message.Msg == WM_NCPAINT) {
    message.Result = 0;
    return;
  }
  TCustomControl::WndProc(message);
}
