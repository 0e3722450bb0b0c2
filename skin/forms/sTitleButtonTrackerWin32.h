// The mouse over a skinned form's title buttons: the button under the mouse is hot, a press
// holds the mouse until it is released, the button shows pressed while the mouse is over it,
// and its action runs only when it is released over it. The provider hands it the messages
// (WM_NCHITTEST, WM_NCMOUSEMOVE, WM_NCMOUSELEAVE, WM_NCLBUTTONDOWN on a button, and while a
// press is held WM_MOUSEMOVE, WM_LBUTTONUP and WM_CAPTURECHANGED).
#pragma once

#include <windows.h>

class TsSkinProvider;

class TsTitleButtonTracker {
 public:
  explicit TsTitleButtonTracker(TsSkinProvider& provider) : p_(provider) {}

  // The title-button answer of WM_NCHITTEST at a screen point (TitleButtonHitTest's codes);
  // the button there becomes hot, or none when no acting button is there.
  int HitTest(POINT screen);
  // WM_NCMOUSEMOVE: the window is told when the mouse leaves its frame.
  void NonClientMouseMoved();
  // WM_NCMOUSELEAVE: no button is hot any more.
  void NonClientMouseLeft();

  // A press on a title button (its hit code): the mouse is held for the window. False for a
  // code that names no title button.
  bool Press(int hitCode);
  // A press is being held.
  bool Holding() const { return holding_ != 0; }
  // While held: the mouse moved to a screen point.
  void HeldMouseMoved(POINT screen);
  // While held: the button was released at a screen point; the button acts when that point
  // lies on it.
  void Released(POINT screen);
  // The window lost the mouse (another window took it, or the press was cancelled).
  void CaptureLost();

 private:
  bool Over(POINT screen) const;
  // What the button does when it was pressed and released over it.
  void Act(int hitCode, POINT screen);

  TsSkinProvider& p_;
  int holding_ = 0;  // the pressed button's hit code while the mouse is held
  bool leaveAsked_ = false;
};
