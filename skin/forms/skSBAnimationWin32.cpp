#include "skin/forms/skSBAnimationWin32.h"

#include <algorithm>

#include "framework/HandlesWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/forms/sVclUtils.h"
#include "skin/forms/skFormAnimSteps.h"

namespace {
constexpr unsigned FadeInterval = 12;
}  // namespace

TskSBAnimation::TskSBAnimation(HWND ownerWindow) : TTimer(nullptr), ownerWindow_(ownerWindow) {
  SetEnabled(false);
  SetInterval(FadeInterval);
  SetOnTimer(TNotifyEvent::Of<&TskSBAnimation::Tick>(this));
}

TskSBAnimation::~TskSBAnimation() {
  SetEnabled(false);
  TForm* window = window_;
  window_ = nullptr;
  try {
    if (window) {
      window->SetWindowProc(previousProc_);
      delete window;
    }
  } catch (...) {
    // Nothing leaves a destructor.
  }
}

HWND TskSBAnimation::FadeWindow() const {
  return window_ && window_->HandleAllocated() ? window_->Handle() : nullptr;
}

void TskSBAnimation::FadeWndProc(TMessage& message) {
  // The fade never takes the mouse: the button under it stays hot.
  if (message.Msg == WM_NCHITTEST) {
    message.Result = HTTRANSPARENT;
    return;
  }
  previousProc_(message);
}

void TskSBAnimation::CreateFadeWindow() {
  if (window_) return;
  window_ = new TForm(nullptr);
  window_->SetTag(kDialogHookSkipTag);
  previousProc_ = window_->WindowProc();
  window_->SetWindowProc(TWndMethod::Of(this, &TskSBAnimation::FadeWndProc));
  TControlStyle style = window_->ControlStyle();
  style.Exclude(csCaptureMouse);
  window_->SetControlStyle(style);
  window_->SetBorderStyle(bsNone);
  if (ownerWindow_ && (GetWindowLongPtrA(ownerWindow_, GWL_EXSTYLE) & WS_EX_TOPMOST))
    window_->SetFormStyle(fsStayOnTop);
  const HWND wnd = window_->Handle();
  // WS_EX_TRANSPARENT with WS_EX_LAYERED lets clicks through to the button below.
  SetWindowLongPtrA(wnd, GWL_EXSTYLE,
                    GetWindowLongPtrA(wnd, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_TOOLWINDOW |
                        WS_EX_NOACTIVATE | WS_EX_TRANSPARENT);
}

std::unique_ptr<TBitmap> TskSBAnimation::ShownOver(std::unique_ptr<TBitmap> frameLook) const {
  if (!running_ || !image_ || image_->Width() != frameLook->Width() ||
      image_->Height() != frameLook->Height())
    return frameLook;
  // The fade's window shows its picture at this alpha over the frame.
  const int alpha = 255 - FadeAlphaAt(step_, steps_);
  BlendBitmapRect(frameLook.get(), image_.get(), static_cast<uint8_t>(255 - alpha), TPoint{0, 0},
                  TRect{0, 0, image_->Width(), image_->Height()});
  return frameLook;
}

void TskSBAnimation::Start(std::unique_ptr<TBitmap> leftLook, const TRect& screenRect, int steps) {
  // Turned round halfway: back from where the screen is, in as many steps as it went.
  if (running_) steps = std::min(steps, step_);
  leftLook = ShownOver(std::move(leftLook));
  SetEnabled(false);
  running_ = false;
  if (steps < 2 || !leftLook || screenRect.Width() <= 0 || screenRect.Height() <= 0 ||
      !HasLayeredWindows()) {
    Stop();
    return;
  }
  image_ = std::move(leftLook);
  FillAlphaRect(image_.get(), TRect{0, 0, image_->Width(), image_->Height()}, 255, false);
  screenRect_ = screenRect;
  steps_ = steps;
  step_ = 1;
  framesShown_ = 0;
  running_ = true;
  CreateFadeWindow();
  ShowStep();
  SetEnabled(true);
}

void TskSBAnimation::Stop() {
  SetEnabled(false);
  running_ = false;
  image_.reset();
  if (HWND wnd = FadeWindow()) ShowWindow(wnd, SW_HIDE);
}

void TskSBAnimation::Tick(TObject*) {
  if (!running_) {
    SetEnabled(false);
    return;
  }
  ++step_;
  if (step_ >= steps_) {
    Stop();
    return;
  }
  ShowStep();
}

void TskSBAnimation::ShowStep() {
  const HWND wnd = FadeWindow();
  if (!wnd || !image_) return;
  // The look left behind fades out as the new one beneath fades in.
  const int alpha = 255 - FadeAlphaAt(step_, steps_);
  TWindowDC screen(nullptr);
  POINT position{screenRect_.Left, screenRect_.Top};
  SIZE size{image_->Width(), image_->Height()};
  POINT origin{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(alpha), AC_SRC_ALPHA};
  if (!IsWindowVisible(wnd)) {
    // Directly above the window that shows the title.
    HWND insertAfter = HWND_TOP;
    if (GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST)
      insertAfter = HWND_TOPMOST;
    else if (HWND above = ownerWindow_ ? GetWindow(ownerWindow_, GW_HWNDPREV) : nullptr;
             above && above != wnd)
      insertAfter = above;
    SetWindowPos(wnd, insertAfter, screenRect_.Left, screenRect_.Top, size.cx, size.cy,
                 SWP_NOOWNERZORDER | SWP_NOACTIVATE);
  }
  CallUpdateLayeredWindow(wnd, screen.Get(), &position, &size, image_->Canvas()->Handle(), &origin,
                          0, &blend, ULW_ALPHA);
  if (!IsWindowVisible(wnd)) ShowWindow(wnd, SW_SHOWNOACTIVATE);
  ++framesShown_;
}
