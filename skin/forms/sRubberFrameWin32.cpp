#include "skin/forms/sRubberFrameWin32.h"

void TsRubberFrameWin32::Begin(int hitCode, POINT screen, TSize minSize) {
  Cancel();
  RECT window;
  GetWindowRect(form_, &window);
  frame_ = TsRubberFrame{TRect{window.left, window.top, window.right, window.bottom},
                         TPoint{screen.x, screen.y}, hitCode, minSize};
  outline_ = frame_.Form;
  moved_ = false;
  desktop_ = TWindowDC(GetDesktopWindow(), true);
  if (!desktop_) return;
  savedState_.emplace(desktop_.Get());
  // Drawn twice with the inverted colours, the outline is gone again.
  SetROP2(desktop_.Get(), R2_NOT);
  SetCapture(form_);
  active_ = true;
  Draw();
}

TRect TsRubberFrameWin32::Placed(POINT screen) const {
  const TPoint mouse{screen.x, screen.y};
  return frame_.HitCode == fhCaption ? MovedFrameRect(frame_.Form, frame_.Start, mouse)
                                     : SizedFrameRect(frame_, mouse);
}

void TsRubberFrameWin32::MouseMoved(POINT screen) {
  if (!active_) return;
  const TRect next = Placed(screen);
  if (next == outline_) return;
  Draw();
  outline_ = next;
  moved_ = true;
  Draw();
}

void TsRubberFrameWin32::End(POINT screen) {
  if (!active_) return;
  MouseMoved(screen);
  const bool moved = moved_;
  const TRect target = outline_;
  Finish();
  if (moved) MoveWindow(form_, target.Left, target.Top, target.Width(), target.Height(), TRUE);
}

void TsRubberFrameWin32::Cancel() {
  if (active_) Finish();
}

void TsRubberFrameWin32::Finish() {
  Draw();
  // Inactive before the capture goes: losing it tells the form, which cancels nothing then.
  active_ = false;
  savedState_.reset();
  desktop_.Reset();
  if (GetCapture() == form_) ReleaseCapture();
}

void TsRubberFrameWin32::Draw() {
  if (!desktop_) return;
  const TRect& r = outline_;
  const POINT points[5] = {{r.Left, r.Top},
                           {r.Right - 1, r.Top},
                           {r.Right - 1, r.Bottom - 1},
                           {r.Left, r.Bottom - 1},
                           {r.Left, r.Top}};
  Polyline(desktop_.Get(), points, 5);
}
