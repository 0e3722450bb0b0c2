// Cross-fades of skinned controls: when a control changes its look (mouse enters, leaves,
// presses, releases), the old cache image is blended into the new one over a few 10 ms steps.
// This is the portable half: the weights, the step counts and the run of one fade over a
// small host interface, so the stop rules are tested without windows. The Win32 half drives
// it from a window timer and paints the frames.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/Graphics.h"
#include "framework/Types.h"

class TsSkinManager;

enum TskAnimatEvent { aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp, aeGlobalDef };
using TskAnimatEvents = TSet<TskAnimatEvent>;

// Live fades (each fade run adds one while it exists).
extern int FadeTimerCount;
// While set, no control starts a fade and running fades stop at their next tick; the form
// skinning sets it when the session ends.
extern bool FadesStopped;

// May this mouse event fade: in the control's set, or through aeGlobalDef in the manager's
// button effects (null manager: the default one).
bool IsAnimEventActive(TskAnimatEvent event, TskAnimatEvents events, TsSkinManager* manager);
// Weight of the old image in step `step` of `count`: 255 - step * 256 div count, in 0..255.
uint8_t FadeWeight(int step, int count);
// Steps of a fade of a section's FADINGITERATIONS; a press fades in half the steps.
int FadeStepCount(int iterations, bool pressed);

// What one fade needs of its control.
class IFadeHost {
 public:
  virtual ~IFadeHost() = default;
  // The control still lives and is not being destroyed.
  virtual bool Alive() const = 0;
  virtual bool Enabled() const = 0;
  // The control's current (new) image.
  virtual const TBitmap* CacheBitmap() const = 0;
  // Shows one blended frame.
  virtual void ShowFrame(const TBitmap& frame) = 0;
  // The fade has ended (CmdStopFade); the control frees its fade.
  virtual void FadeEnded() = 0;
  // Repaint the control whole (a control disabled during its fade).
  virtual void Invalidate() = 0;
};

// One fade from a start image to the host's cache image, StepCount frames.
class TsFadeSteps {
 public:
  TsFadeSteps();
  ~TsFadeSteps();
  TsFadeSteps(const TsFadeSteps&) = delete;
  TsFadeSteps& operator=(const TsFadeSteps&) = delete;

  // Takes a copy of the start image and sets the steps; Step starts at 1.
  void Prepare(IFadeHost* host, const TBitmap& startImage, int iterations, bool pressed);
  // The end test of a tick: true once the steps have run (the host is told FadeEnded, and may
  // free the fade), and also when the fade was stopped or its control is gone (nothing told).
  bool IsFinished();
  // One frame: the start image blended with the host's cache by the step's weight and shown;
  // Step grows by one. A disabled control ends the fade and is repainted whole instead.
  void FadeStep();
  // One tick: IsFinished, else FadeStep; false once the fade is over (ended, stopped or its
  // control gone); the caller then frees it and its timer.
  bool Tick();
  int Step = 1;
  int StepCount = 0;
  bool Running() const { return running_; }

 private:
  IFadeHost* host_ = nullptr;
  std::unique_ptr<TBitmap> start_;
  std::unique_ptr<TBitmap> frame_;
  bool running_ = false;
};
