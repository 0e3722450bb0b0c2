// The rubber-band frame: while the user moves or sizes a skinned form this way, an inverted
// outline drawn on the desktop follows the mouse, and the form itself moves or takes its new
// size once, when the button is released. The frame holds the mouse and the desktop's DC
// only while it is dragged: both are given back when the drag ends, is cancelled or loses
// the mouse.
#pragma once

#include <windows.h>

#include <optional>

#include "framework/HandlesWin32.h"
#include "framework/Types.h"
#include "skin/forms/sFrameMouse.h"

class TsRubberFrameWin32 {
 public:
  explicit TsRubberFrameWin32(HWND form) : form_(form) {}
  ~TsRubberFrameWin32() { Cancel(); }
  TsRubberFrameWin32(const TsRubberFrameWin32&) = delete;
  TsRubberFrameWin32& operator=(const TsRubberFrameWin32&) = delete;

  bool Active() const { return active_; }
  // Begins a drag at the screen point: a move for the caption (fhCaption), a size for an edge
  // or corner (fhLeft .. fhBottomRight); the form may not become smaller than minSize.
  void Begin(int hitCode, POINT screen, TSize minSize);
  void MouseMoved(POINT screen);
  // The button was released there: the outline goes and the form takes the dragged place
  // (nothing when the mouse never moved).
  void End(POINT screen);
  // The outline goes and the form stays where it was (the mouse went elsewhere, the mode was
  // cancelled).
  void Cancel();
  // Where the form would go now.
  TRect Outline() const { return outline_; }

 private:
  void Draw();
  void Finish();
  TRect Placed(POINT screen) const;

  HWND form_;
  bool active_ = false;
  bool moved_ = false;
  TsRubberFrame frame_{};
  TRect outline_{};
  TWindowDC desktop_;
  std::optional<TSaveDC> savedState_;
};
