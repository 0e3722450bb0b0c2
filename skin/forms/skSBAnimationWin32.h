// The fade of one title button between its normal, hot and pressed looks. The form's frame
// takes the button's new look at once, so that what the window draws, prints and reports is
// always the button's true state; a small layered window over the button shows the look it
// left and fades that out over the new one in 12 ms steps, which on the screen is the new
// look fading in. A fade turned round halfway starts from what the screen shows at that
// moment and takes as many steps back as it had gone.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/ExtCtrlsWin32.h"
#include "framework/FormsWin32.h"
#include "framework/Graphics.h"

class TskSBAnimation : public TTimer {
  K_CLASS(TskSBAnimation, TTimer)

 public:
  // The fade's window lies just above `ownerWindow` (the form, or its border window that
  // shows the title).
  explicit TskSBAnimation(HWND ownerWindow);
  ~TskSBAnimation() override;

  // A new look is about to be drawn in the frame: `leftLook` is the button's picture as the
  // frame shows it before (32-bit, the button's size), `screenRect` where the button lies on
  // the screen. Fades over `steps` ticks; with fewer than two steps (a fade shorter than one
  // tick) the new look shows at once and nothing stays over it. A fade still running turns
  // round from the look the screen shows now.
  void Start(std::unique_ptr<TBitmap> leftLook, const TRect& screenRect, int steps);
  // Ends the fade now: the frame's look shows alone.
  void Stop();

  bool Running() const { return running_; }
  // The layered window over the button; null before the first fade.
  HWND FadeWindow() const;
  // How many frames this fade showed.
  int FramesShown() const { return framesShown_; }

 private:
  void Tick(TObject* sender);
  // The look the screen shows now over `frameLook` (the frame's picture of the button).
  std::unique_ptr<TBitmap> ShownOver(std::unique_ptr<TBitmap> frameLook) const;
  void ShowStep();
  void CreateFadeWindow();
  void FadeWndProc(TMessage& message);

  HWND ownerWindow_;
  TForm* window_ = nullptr;
  TWndMethod previousProc_;
  std::unique_ptr<TBitmap> image_;
  TRect screenRect_{};
  int step_ = 0;
  int steps_ = 0;
  int framesShown_ = 0;
  bool running_ = false;
};
