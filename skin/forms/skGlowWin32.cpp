#include "skin/forms/skGlowWin32.h"

#include "framework/HandlesWin32.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sVclUtils.h"

namespace {

// Tags the glow windows among the program's forms.

// One blend record for every glow: the picture's own alpha, nothing more.
const BLENDFUNCTION GlowBlend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};

}  // namespace

TskGlowEffectWin32::~TskGlowEffectWin32() {
  if (!GlowWindow) return;
  TForm* window = GlowWindow;
  GlowWindow = nullptr;
  try {
    window->SetWindowProc(PreviousProc);
    if (window->HandleAllocated()) ShowWindow(window->Handle(), SW_HIDE);
    // A dying manager takes its glows along at once; otherwise the window goes after the
    // messages already queued for it.
    if ((GlowManager && GlowManager->ComponentState().Contains(csDestroying)) ||
        !window->HandleAllocated())
      delete window;
    else
      window->Release();
  } catch (...) {
    // Nothing leaves a destructor; a window that could not be released stays hidden.
  }
}

HWND TskGlowEffectWin32::Handle() const {
  return GlowWindow && GlowWindow->HandleAllocated() ? GlowWindow->Handle() : nullptr;
}

void TskGlowEffectWin32::GlowWndProc(TMessage& message) {
  // The glow never takes the mouse: clicks go to the window under it.
  if (message.Msg == WM_NCHITTEST) {
    message.Result = HTTRANSPARENT;
    return;
  }
  PreviousProc(message);
}

bool TskGlowEffectWin32::Show(const TRect& rect, const TRect& clipRect, HWND ownerWindow) {
  if (GlowWindow) return true;
  const TskGlowPlacement placement = CalcGlowPlacement(rect, clipRect, MaskWidths(), GlowMargin);
  if (placement.Empty()) return false;

  GlowWindow = new TForm(nullptr);
  GlowWindow->SetTag(kDialogHookSkipTag);
  PreviousProc = GlowWindow->WindowProc();
  GlowWindow->SetWindowProc(TWndMethod::Of(this, &TskGlowEffectWin32::GlowWndProc));
  TControlStyle style = GlowWindow->ControlStyle();
  style.Exclude(csCaptureMouse);
  GlowWindow->SetControlStyle(style);
  GlowWindow->SetBorderStyle(bsNone);

  BuildImage(placement.ImageWidth, placement.ImageHeight);
  std::unique_ptr<TBitmap> picture = placement.CropLeft != 0 || placement.CropTop != 0 ||
                                             placement.Width != placement.ImageWidth ||
                                             placement.Height != placement.ImageHeight
                                         ? CropGlowImage(*Image, placement)
                                         : std::move(Image);
  Image.reset();
  // The layered window blends premultiplied colours; the skin's masks are straight.
  PremultiplyAlpha(picture.get());

  const bool topmost = ownerWindow && (GetWindowLongPtrA(ownerWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
  if (topmost) GlowWindow->SetFormStyle(fsStayOnTop);
  const HWND wnd = GlowWindow->Handle();
  // Directly above the owner: after the window that lies above it, or at the top when the
  // owner is the front window.
  HWND insertAfter = HWND_TOP;
  if (topmost)
    insertAfter = HWND_TOPMOST;
  else if (ownerWindow)
    if (HWND above = GetWindow(ownerWindow, GW_HWNDPREV); above && above != wnd)
      insertAfter = above;
  SetWindowPos(wnd, insertAfter, placement.Position.X, placement.Position.Y, placement.Width,
               placement.Height, SWP_NOOWNERZORDER | SWP_NOACTIVATE);

  // WS_EX_TRANSPARENT as well: HTTRANSPARENT alone passes the mouse only to windows of the
  // same thread, and some systems route a click by the window under it before asking.
  SetWindowLongPtrA(
      wnd, GWL_EXSTYLE,
      GetWindowLongPtrA(wnd, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT);
  // The picture's own DIB section, selected in its canvas's DC, is what the window shows.
  TWindowDC screen(nullptr);
  POINT position{placement.Position.X, placement.Position.Y};
  SIZE size{placement.Width, placement.Height};
  POINT origin{0, 0};
  BLENDFUNCTION blend = GlowBlend;
  CallUpdateLayeredWindow(wnd, screen.Get(), &position, &size, picture->Canvas()->Handle(), &origin,
                          0, &blend, ULW_ALPHA);
  ShowWindow(wnd, SW_SHOWNOACTIVATE);
  return true;
}

int ShowGlow(const TsGlowRequest& request, HWND ownerWindow) {
  if (!HasLayeredWindows()) return -1;
  auto glow = std::make_unique<TskGlowEffectWin32>(request.Manager);
  glow->GlowMask = FindMaskIndex(glow->GlowManager, request.SectionName, request.MaskName + "0");
  if (glow->GlowMask < 0) return -1;
  glow->GlowMargin = request.Margin;
  // Shown before it takes a slot: a glow with nothing to show leaves no empty slot behind.
  if (!glow->Show(request.Rect, request.ClipRect, ownerWindow)) return -1;
  return AddGlow(std::move(glow));
}

HWND GlowWindowHandle(int id) {
  auto* glow = dynamic_cast<TskGlowEffectWin32*>(GlowAt(id));
  return glow ? glow->Handle() : nullptr;
}

namespace {
TskGlowServicesWin32 GlowServices;
}  // namespace

void InstallGlowServices() { SetFormServices(&GlowServices); }

void RemoveGlowServices() { SetFormServices(nullptr); }
