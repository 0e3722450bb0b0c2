// The minimize and restore animation of a skinned form: the form's picture flies from its
// place to its task-bar button (or, where that cannot be found, toward the task bar's edge or
// the tray), shrinking and fading out, shown in a layered window of its own while the form
// itself is already minimized; a restore flies the same picture back, and the form shows
// again when it lands. A flight turned round halfway goes back from where it is. Its ticks
// come from a threaded timer and run on the main thread.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "framework/FormsWin32.h"
#include "framework/Graphics.h"
#include "skin/core/runtime/skThdTimer.h"
#include "skin/forms/skFormAnimSteps.h"

// The screen rectangle of the application window's button on the task bar; false when the
// shell's windows or the button are not found. The shell's process is asked only to read its
// memory (and for the one page the button records are copied into, to reserve and free it),
// as the shell's own bitness lays the records out, and everything taken is given back.
bool FindTaskBarButtonRect(HWND appWindow, TRect& rect);
// Where a form at formRect minimizes to: its task-bar button, else the task bar's inner edge
// (under desktop composition, which draws its own), else a place by the tray: never nothing.
TRect GetTaskBarTarget(HWND appWindow, const TRect& formRect, bool composition);

class TskMinTimer : public TskThreadedTimer {
  K_CLASS(TskMinTimer, TskThreadedTimer)

 public:
  // Flies `image` (the form's look, 32-bit) from `start` to `target` in `steps` ticks with
  // the form's alpha; `finished` runs on the main thread after the last frame.
  TskMinTimer(const TskMinimizePlan& plan, std::unique_ptr<TBitmap> image,
              std::function<void()> finished);
  ~TskMinTimer() override;

  void Tick() override;
  // Turns the flight toward the task bar or back to the form's place, from the frame shown
  // now; `landed` runs after the last frame. False when there is no picture to fly (a plan
  // without steps shows its end at once).
  bool Fly(bool toTaskBar, std::function<void()> landed);
  bool Running() const { return running_; }
  // The flight goes back to the form's place.
  bool Restoring() const { return restoring_; }
  HWND FrameWindow() const;
  int FramesShown() const { return framesShown_; }
  // Minimize timers alive in the program (tests read it).
  static int Alive();

 private:
  void ShowFrame(const TskMinimizeFrame& frame);
  void Finish();

  TskMinimizePlan plan_;
  std::unique_ptr<TBitmap> image_;
  std::unique_ptr<TBitmap> frameImage_;
  std::function<void()> finished_;
  TForm* frameWindow_ = nullptr;
  int step_ = 0;
  int framesShown_ = 0;
  bool running_ = false;
  bool restoring_ = false;
  bool inTick_ = false;
};
