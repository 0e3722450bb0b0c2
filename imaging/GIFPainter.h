// Plays a GIF image onto a bitmap: frames with their delays, disposal, loops and the
// animation events, either as its own thread or inline on the caller's thread.
// Time, waits, the caller's message pump and the hand-over to the main thread go through
// TGIFPainterServices so that schedules can be tested with a simulated clock.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/SyncObjs.h"

class TGIFImage;

class TGIFPainterServices {
 public:
  virtual ~TGIFPainterServices() = default;
  // Milliseconds of a steadily running clock.
  virtual uint32_t Now() = 0;
  virtual void Sleep(uint32_t ms) = 0;
  // Waits for the wake event (kWaitForever: no time-out); true when it was signalled.
  virtual bool WaitForWake(TEvent& event, uint32_t ms) = 0;
  // Runs the calling thread's pending messages; false when a quit request was met (it is
  // posted again for the caller's own loop). `stop` is asked between messages.
  virtual bool PumpMessages(const std::function<bool()>& stop) = 0;
  // Runs `method` on the main thread on behalf of a threaded painter.
  virtual void RunOnMainThread(TThread* painter, const std::function<void()>& method);
};

// The real clock and waits; the Win32 half installs a pump for the caller's messages.
TGIFPainterServices& DefaultPainterServices();
void SetDefaultPainterServices(TGIFPainterServices* services);  // nullptr restores

class TGIFPainter : public TThread {
  K_CLASS(TGIFPainter, TThread)
  TGIFPainter(TGIFImage* image, uint16_t flags, const TRect& rect, TBitmap* canvas,
              TGIFPainterServices* services = nullptr);
  // `variable` receives the painter and is cleared when the painter ends while it holds it.
  static TGIFPainter* CreateLinked(TGIFPainter** variable, TGIFImage* image, uint16_t flags,
                                   const TRect& rect, TBitmap* canvas,
                                   TGIFPainterServices* services = nullptr);
  ~TGIFPainter() override;

  void StartPlayback();
  void StopPlayback();
  // Plays on the calling thread (unthreaded painters).
  void RunInline() { Execute(); }
  // Raises the error that ended playing, once; never called from the destructor.
  void Finish();
  std::exception_ptr StoredError() const { return storedError_; }

  int ActiveFrame() const { return activeFrame_; }
  void SetActiveFrame(int value) { activeFrame_ = value; }
  void Restart() { restart_ = true; }
  bool Started() const { return started_; }
  bool Threaded() const { return (flags_ & 0x0001) != 0; }
  uint16_t Flags() const { return flags_; }
  const TRect& PaintRect() const { return rect_; }
  TBitmap* Canvas() const { return canvas_; }
  TGIFImage* Image() const { return image_; }
  void ForgetImage() { image_ = nullptr; }

  TNotifyEvent OnAnimationStart, OnFramePaint, OnFramePainted, OnAnimationLoop, OnAnimationEnd;
  // Called on the main thread after each painted frame (e.g. to copy the bitmap to a window).
  std::function<void()> OnPresent;

 protected:
  void Execute() override;

 private:
  void ReleaseResources(TObject* sender);
  void RunOnMainThread(const std::function<void()>& method);
  void RaiseEvent(const TNotifyEvent& event);
  void PaintActiveFrame();
  void PaintWithDisposal();
  void ClearFrameArea();
  int ComputeWait(int delay, uint32_t now, int& previousDelay, uint32_t delayStart);
  void WaitUnthreaded(int wait);

  TGIFImage* image_;
  TBitmap* canvas_;
  TRect rect_;
  uint16_t flags_;
  int speed_;
  std::atomic<int> activeFrame_{-1};
  uint8_t disposal_ = 1;
  uint8_t previousDisposal_ = 1;
  std::unique_ptr<TBitmap> backup_, frameBuffer_, background_;
  TColor backgroundColor_ = clBlack;
  std::atomic<bool> restart_{false};
  std::atomic<bool> started_{false};
  std::unique_ptr<TEvent> wake_;
  TGIFPainter** variable_ = nullptr;
  TGIFPainterServices* services_;
  std::exception_ptr storedError_;
  bool released_ = false;
};
