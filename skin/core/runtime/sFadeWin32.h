// Fades on the main thread: a framework window timer that runs one TsFadeSteps every 10 ms,
// and the host that shows the frames on a control's window.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/ExtCtrlsWin32.h"
#include "skin/core/runtime/sFade.h"

class TsCommonData;
class TsCtrlSkinData;
class TWinControl;
class TWindowFadeHost;

class TsFadeTimer : public TTimer {
  K_CLASS(TsFadeTimer, TTimer)
  explicit TsFadeTimer(TComponent* owner);
  ~TsFadeTimer() override;

  // Binds the timer to its control and takes the start image; 10 ms ticks.
  void Prepare(IFadeHost* host, const TBitmap& startImage, int iterations, bool pressed);
  // Binds the timer to a skinned control: its cache bitmap is the start image (prepared
  // first when it is dirty and empty), FADINGITERATIONS the steps; false when the control
  // has no window or no image to start from.
  bool Prepare(TsCommonData& data, bool pressed);
  // Stores the direction; a direction other than 0 starts the ticks.
  void SetDirection(int direction);
  // Ends the fade now: no more ticks, the control is told (CmdStopFade through its host).
  void Finish();
  // The end test of a tick (the control is told CmdStopFade when the steps have run) and one
  // frame of the fade (see TsFadeSteps).
  bool IsFinished();
  void FadeStep();

  int Direction = 0;
  TsFadeSteps Steps;

 protected:
  void Timer() override;

 private:
  IFadeHost* host_ = nullptr;
  std::unique_ptr<TWindowFadeHost> windowHost_;
};

// The speed button's fade: each tick blends the start image with the owner's cache into
// FrameImage and asks the owner to repaint (the host's ShowFrame); the button paints
// FrameImage while the animation runs.
class TsAnimTimer : public TTimer {
  K_CLASS(TsAnimTimer, TTimer)
  explicit TsAnimTimer(TComponent* owner);
  ~TsAnimTimer() override;

  // Binds the timer: 10 ms ticks, StepCount from the section's FADINGITERATIONS.
  void SetOwnerData(const TsCommonData& data, IFadeHost* host);
  // The same for a skinned control: frames are shown on its window, its cache is the image.
  void SetOwnerData(TsCtrlSkinData& data);
  void AnimStep();
  // Asks the owner to repaint itself with FrameImage (the host's ShowFrame; for a skinned
  // control CmdSetUpdating with low word 0, then CmdRepaintAll).
  void RepaintOwner();
  bool IsFinished();

  bool InProgress = false;
  std::unique_ptr<TBitmap> StartImage;
  std::unique_ptr<TBitmap> FrameImage;
  int StepCount = 0;
  int Step = 0;

 protected:
  void Timer() override;

 private:
  IFadeHost* host_ = nullptr;
  std::unique_ptr<TWindowFadeHost> windowHost_;
};

// Starts (or restarts from the newest image) a control's fade; nothing when the section does
// not fade. The timer is owned by the variable.
void StartFading(std::unique_ptr<TsFadeTimer>& timer, IFadeHost& host, const TBitmap& startImage,
                 int iterations, bool pressed, int direction);
// Stops and frees a control's fade.
void StopFading(std::unique_ptr<TsFadeTimer>& timer);

// The same for a skinned control, reading its section and cache: nothing when the section
// has no FADINGENABLED; the control is told CmdPrepareCache after the start image is taken,
// so its cache holds the new look the fade runs to.
void StartFading(std::unique_ptr<TsFadeTimer>& timer, TsCommonData& data, bool pressed,
                 int direction);
void StopFading(std::unique_ptr<TsFadeTimer>& timer, TsCommonData& data);
// The session ends: every fade stops at once and no new one starts, so nothing that waits
// for the fades to end (log-off) can hang.
void StopAllFades();

// After a state change: fades from the current image when the section fades, fading is
// allowed, no skin is loading, fades are not stopped and the cache is up to date; otherwise
// stops a running fade and repaints at once.
void RepaintWithFade(std::unique_ptr<TsFadeTimer>& timer, TsCommonData& data, IFadeHost& host,
                     bool pressed, int direction, bool allowed);
// The same for a skinned windowed control, its cache bitmap being the current image.
void RepaintWithFade(std::unique_ptr<TsFadeTimer>& timer, TsCommonData& data, bool pressed,
                     int direction, bool allowed);

// Shows fade frames on a control's window: CmdFadeFrame first; a control that does not show
// the frame itself gets it copied to its window at (0, 0).
class TWindowFadeHost : public IFadeHost {
 public:
  // data: the control's skin data, whose cache bitmap is read at each tick.
  TWindowFadeHost(TWinControl* control, TsCommonData* data) : control_(control), data_(data) {}
  bool Alive() const override;
  bool Enabled() const override;
  const TBitmap* CacheBitmap() const override;
  void ShowFrame(const TBitmap& frame) override;
  void FadeEnded() override;
  void Invalidate() override;

 private:
  TWinControl* control_;
  TsCommonData* data_;
};
