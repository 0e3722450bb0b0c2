// The window utilities' animations: a skinned form fades (or zooms) in when it is shown, out
// when it is hidden, and cross-fades to its new look when the skin changes. Each takes a
// 32-bit snapshot of the form, puts a borderless layered window, the cover, at the form's
// place and pushes the snapshot into it frame by frame with an alpha, one frame per 12 ms,
// while the form itself stays hidden or frozen. The steps are sVclUtils' TskAnimationSteps;
// every pushed frame also goes to the frame sink there.
//
// Showing and cross-fading run their frames before they return; hiding runs on the one hide
// timer of the program, whose ticks arrive on the main thread (all at once while the program
// ends). AnimationRunning is true while a routine runs and false when it returns, on every
// path. These routines paint through the skin provider, so they are built with it.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/FormsWin32.h"
#include "skin/core/runtime/skThdTimer.h"
#include "skin/forms/sVclUtils.h"
#include "skin/forms/sVclUtilsWin32.h"

class TsSkinProvider;

// The borderless, layered, non-activating tool window a snapshot is shown in (Tag -98, so
// the dialog hook leaves it alone).
class TskCoverForm : public TForm {
  K_CLASS(TskCoverForm, TForm)

 public:
  explicit TskCoverForm(TComponent* owner);
  ~TskCoverForm() override;
  // Covers alive in the program: none is left once an animation is over (tests read it).
  static int Alive();
};

// The first appearance of a skinned form, fading (or zooming) in to `value`; with a border
// window its picture, shadow included, fades in at the border window's place, which shows
// nothing meanwhile. A form the provider made layered only for this (see HideForAnimation) is not
// layered when it ends. Below one frame the form just shows, without a cover.
void AnimateFormShow(TsSkinProvider& provider, int time, int value, TskAnimType mode);

// Called while the form is about to hide and still shows: its snapshot is taken and a cover
// showing it put over the form, so nothing flickers between the form going and the hide's
// first frame. AnimateFormHide takes both over.
void PrepareFormHide(TsSkinProvider& provider);
// What PrepareFormHide made for the provider's form and no hide took is freed.
void DropPreparedHide(TsSkinProvider& provider);
// The disappearance of a skinned form with the skin manager's FormHide time and mode: a
// prepared cover is taken over (or one made now), then StartHideAnimation. With a border
// window the snapshot is the border window's picture, shadow included, at its place.
void AnimateFormHide(TsSkinProvider& provider);
// A skinned standard dialog about to show: its snapshot (frame and client, opaque, the size of
// its window) fades or zooms in to `value` over N + 1 frames in a cover at the window's place,
// directly above it. The cover is handed back still showing the last frame, so that nothing
// flickers before the dialog paints itself; the caller frees it then. Null below one frame.
std::unique_ptr<TskCoverForm> AnimateDialogShow(HWND dialog, std::unique_ptr<TBitmap> snapshot,
                                                int time, int value, TskAnimType mode);
// A skinned standard dialog about to hide: its snapshot fades out in a cover over its place on
// the hide timer, as a form's does.
void AnimateDialogHide(HWND dialog, std::unique_ptr<TBitmap> snapshot, int time, TskAnimType mode);
// Fades `snapshot` out in `cover` on the hide timer, from startAlpha to 0. A hide still
// running loses its cover at once; below one frame nothing is shown and both are freed.
void StartHideAnimation(std::unique_ptr<TskCoverForm> cover, std::unique_ptr<TBitmap> snapshot,
                        int time, int startAlpha, TskAnimType mode);
// Ends a running hide now: its cover and pictures are freed.
void StopHideAnimation();

// After a skin change that froze the form (its old look still on the screen): the form's new
// look fades in over the old one in a cover, then the form is redrawn. With a border window
// the new picture, border and shadow included, fades in while the border window's old
// picture fades out three times as fast; at the end the border window shows the new one.
// Below one frame nothing is animated (the caller's redraw shows the new look).
void AnimateFromSnapshot(TsSkinProvider& provider, int time, int value, TskAnimType mode);

// A control about to change its whole look (a page control turning a page): the screen's
// picture of it is kept, and an output window showing those pixels is put right over it, so
// the change underneath stays unseen.
void CoverWithSnapshot(TWinControl* control);
// Cross-fades from the kept picture to the control's new look: frame i mixes
// MixOldShareAt(i, N) of the old into the new one in the output window, then the new look
// is shown as it is and the control redrawn. A form with a skin provider fades its new look
// in through a layered cover instead (as after a skin change). Below one frame the new look
// shows at once. The output window and the pictures are freed at the end, also on failure;
// without a cover and none to be made, nothing happens.
void AnimateFromSnapshot(TWinControl* control, int time, int value);
// A change that did not happen (refused, or no new look): the output window and the kept
// picture go without an animation.
void FreeChangeCover();
// The output window of a pending change, null when none (tests read it).
HWND ChangeCoverWindow();

// The program's one hide timer: it fades a snapshot out in a cover, one frame per tick, and
// frees both after the last. Made on the first hide, owned by the application.
class TskHideTimer : public TskThreadedTimer {
  K_CLASS(TskHideTimer, TskThreadedTimer)

 public:
  explicit TskHideTimer(TComponent* owner);
  ~TskHideTimer() override;

  void Start(std::unique_ptr<TskCoverForm> cover, std::unique_ptr<TBitmap> snapshot, int time,
             int startAlpha, TskAnimType mode);
  void Tick() override;
  // Frees the cover and the pictures and parks the timer.
  void Finish();
  bool Running() const { return cover_ != nullptr; }
  HWND CoverWindow() const;

 private:
  std::unique_ptr<TskCoverForm> cover_;
  std::unique_ptr<TBitmap> source_;
  std::unique_ptr<TBitmap> frame_;
  std::unique_ptr<TskAnimationSteps> steps_;
  TskAnimType mode_ = atFading;
  int index_ = 0;
  bool inTick_ = false;
};

// The hide timer, null before the first hide.
TskHideTimer* HideTimer();
