#include "imaging/GIFPainter.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

#include "imaging/GIFBitmapOps.h"
#include "imaging/GIFImage.h"

// ---- services ----------------------------------------------------------------------------------
void TGIFPainterServices::RunOnMainThread(TThread* painter, const std::function<void()>& method) {
  TThread::Synchronize(painter, TThreadMethod(method));
}

namespace {

class TRealPainterServices : public TGIFPainterServices {
 public:
  uint32_t Now() override {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }
  void Sleep(uint32_t ms) override {
    if (ms == 0)
      std::this_thread::yield();
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
  bool WaitForWake(TEvent& event, uint32_t ms) override { return event.WaitFor(ms) == wrSignaled; }
  bool PumpMessages(const std::function<bool()>&) override { return true; }
};

TGIFPainterServices* installedServices = nullptr;

}  // namespace

TGIFPainterServices& DefaultPainterServices() {
  static TRealPainterServices real;
  return installedServices != nullptr ? *installedServices : real;
}

void SetDefaultPainterServices(TGIFPainterServices* services) { installedServices = services; }

// ---- painter -----------------------------------------------------------------------------------
TGIFPainter::TGIFPainter(TGIFImage* image, uint16_t flags, const TRect& rect, TBitmap* canvas,
                         TGIFPainterServices* services)
    : TThread(true),
      image_(image),
      canvas_(canvas),
      rect_(rect),
      flags_(flags),
      speed_(image->AnimationPercent()),
      services_(services != nullptr ? services : &DefaultPainterServices()) {
  SetFreeOnTerminate(true);
  OnTerminate = MakeEvent<&TGIFPainter::ReleaseResources>(this);
  if ((flags & dfThreaded) != 0 && (flags & dfAnimate) != 0 && image->FrameCount() > 1 &&
      speed_ >= 0)
    wake_ = std::make_unique<TEvent>(false, false);

  if (image->BackgroundOverride() != clNone)
    backgroundColor_ = ColorToRGB(image->BackgroundOverride());
  else if (image->GlobalColorMap().Count() == 0)
    backgroundColor_ = ColorToRGB(clWindow);
  else
    backgroundColor_ = image->ScreenBackground();

  bool disposals[8] = {};
  for (int i = 0; i < image->FrameCount(); ++i)
    if (const TGIFGraphicControlExtension* gce = image->Frame(i)->GraphicControlExtension())
      disposals[gce->DisposalMethod()] = true;
  if ((flags & dfClearOnRestart) != 0) disposals[2] = true;
  const int w = rect.Width();
  const int h = rect.Height();
  if (canvas != nullptr && w > 0 && h > 0) {
    auto makeBuffer = [&](bool copyCanvas) {
      auto b = std::make_unique<TBitmap>();
      b->SetPixelFormat(pf24bit);
      b->SetSize(w, h);
      if (copyCanvas)
        CopyPixels(*b, Rect(0, 0, w, h), *canvas, rect.Left, rect.Top);
      else
        FillArea(*b, Rect(0, 0, w, h), backgroundColor_);
      return b;
    };
    if (disposals[2] && (flags & dfTransparent) != 0) background_ = makeBuffer(true);
    if (disposals[2] || disposals[3]) {
      backup_ = makeBuffer(true);
      frameBuffer_ = makeBuffer(false);
    }
  }
}

TGIFPainter* TGIFPainter::CreateLinked(TGIFPainter** variable, TGIFImage* image, uint16_t flags,
                                       const TRect& rect, TBitmap* canvas,
                                       TGIFPainterServices* services) {
  auto* painter = new TGIFPainter(image, flags, rect, canvas, services);
  painter->variable_ = variable;
  if (variable != nullptr) *variable = painter;
  return painter;
}

TGIFPainter::~TGIFPainter() {
  // A running thread must be stopped before the members it uses go.
  if (!Threaded()) {
    ReleaseResources(this);
  } else if (!Suspended() && !Finished()) {
    Terminate();
    if (wake_) wake_->SetEvent();
  }
}

void TGIFPainter::StartPlayback() {
  if (Threaded()) Start();
}

void TGIFPainter::StopPlayback() {
  Terminate();
  if (Threaded()) {
    if (wake_) wake_->SetEvent();
    if (Suspended()) {
      // A painter that never ran only has to unlink itself; starting it lets it end and
      // free itself the normal way.
      Start();
    }
  }
}

void TGIFPainter::Finish() {
  std::exception_ptr error = storedError_;
  storedError_ = nullptr;
  if (error) std::rethrow_exception(error);
}

void TGIFPainter::ReleaseResources(TObject*) {
  if (released_) return;
  released_ = true;
  if (image_ != nullptr) {
    std::lock_guard<std::recursive_mutex> lock(image_->PainterLock());
    if (variable_ != nullptr && *variable_ == this) *variable_ = nullptr;
    auto& list = image_->Painters();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (Threaded() && storedError_) image_->StorePainterError(storedError_);
    image_ = nullptr;
  } else if (variable_ != nullptr && *variable_ == this) {
    *variable_ = nullptr;
  }
  backup_.reset();
  frameBuffer_.reset();
  background_.reset();
}

void TGIFPainter::RunOnMainThread(const std::function<void()>& method) {
  if (Terminated()) return;
  if (Threaded())
    services_->RunOnMainThread(this, method);
  else
    method();
}

void TGIFPainter::RaiseEvent(const TNotifyEvent& event) {
  if (!event) return;
  RunOnMainThread([this, &event] { event(this); });
}

int TGIFPainter::ComputeWait(int delay, uint32_t now, int& previousDelay, uint32_t delayStart) {
  if (speed_ < 1) return Threaded() ? -1 : MaxFrameDelay * FrameDelayUnitMs;
  const int64_t overrun = static_cast<int64_t>(
      static_cast<int32_t>(now - (delayStart + static_cast<uint32_t>(previousDelay))));
  const int64_t wait =
      (static_cast<int64_t>(delay) * FrameDelayUnitMs - overrun / 2) * 100 / speed_;
  if (wait > 0x7FFFFFFF || wait < -0x7FFFFFFF) {
    previousDelay = 0;
    return MaxFrameDelay * FrameDelayUnitMs;
  }
  previousDelay = static_cast<int>(wait);
  return previousDelay;
}

void TGIFPainter::WaitUnthreaded(int wait) {
  wait = Max(wait, 1);
  while (wait > 0 && !Terminated() && !restart_) {
    const uint32_t before = services_->Now();
    services_->Sleep(static_cast<uint32_t>(Min(wait, 100)));
    const uint32_t passed = services_->Now() - before;
    wait -= static_cast<int>(Min<uint32_t>(passed, 0x7FFFFFFF));
    if (!services_->PumpMessages([this] { return Terminated() || restart_; })) Terminate();
  }
}

void TGIFPainter::Execute() {
  try {
    restart_ = true;
    while (restart_ && !Terminated()) {
      activeFrame_ = 0;
      RaiseEvent(OnAnimationStart);
      started_ = false;
      restart_ = false;
      int loopsLeft = 1;
      int loopStart = 0;
      bool loopingFound = false;
      int delay = Threaded() ? 0 : 1;
      previousDisposal_ = 1;
      uint32_t delayStart = services_->Now();
      int previousDelay = 0;
      while ((loopsLeft != 0 || (flags_ & dfLoopForever) != 0) && !Terminated() && !restart_) {
        activeFrame_ = loopStart;
        if (started_) RaiseEvent(OnAnimationLoop);
        while (!Terminated() && !restart_ && image_ != nullptr && activeFrame_ >= 0 &&
               activeFrame_ < image_->FrameCount() && !image_->Frame(activeFrame_)->IsEmpty()) {
          TGIFSubImage* frame = image_->Frame(activeFrame_);
          if (delay < 1) {
            services_->Sleep(0);
          } else {
            frame->EnsureBitmap();
            const uint32_t now = services_->Now();
            const int wait = ComputeWait(delay, now, previousDelay, delayStart);
            delayStart = now;
            if (Threaded()) {
              if ((wait > 0 || speed_ == 0) && wake_) {
                const uint32_t ms = wait < 0 ? kWaitForever : static_cast<uint32_t>(wait);
                if (services_->WaitForWake(*wake_, ms)) {
                  previousDelay = 0;
                  delayStart = services_->Now();
                }
              }
            } else {
              WaitUnthreaded(wait);
            }
          }
          if (Terminated()) break;
          RaiseEvent(OnFramePaint);
          if (Terminated() || image_ == nullptr) break;

          disposal_ = 1;
          TGIFExtensionList& extensions = frame->Extensions();
          for (int k = 0; k < extensions.ItemCount(); ++k) {
            TGIFExtension* ext = extensions.ExtensionAt(k);
            if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(ext)) {
              if (!loopingFound) {
                loopingFound = true;
                loopsLeft =
                    (loop->RepeatCount() == 0 || (flags_ & dfLoopForever) != 0) && Threaded()
                        ? -1
                        : loop->RepeatCount();
                loopStart = activeFrame_;
              }
            } else if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(ext)) {
              disposal_ = gce->DisposalMethod();
            }
          }
          RunOnMainThread([this] {
            // Stopped while the call waited for the main thread: the canvas may be gone.
            if (Terminated()) return;
            if (backup_)
              PaintWithDisposal();
            else
              PaintActiveFrame();
            if (OnPresent) OnPresent();
          });
          previousDisposal_ = disposal_;
          if (Terminated()) break;

          delay = DefaultFrameDelay;
          if (const TGIFGraphicControlExtension* gce = frame->GraphicControlExtension())
            if (gce->DelayTime() != 0) {
              delay = Max<int>(gce->DelayTime(), MinFrameDelay);
              if (!Threaded()) delay = Min(delay, MaxFrameDelay);
            }
          const int before = activeFrame_;
          RaiseEvent(OnFramePainted);
          if (Terminated()) break;
          if (activeFrame_ == before) ++activeFrame_;
          if ((flags_ & dfAnimate) == 0) break;
        }
        if (loopsLeft > 0) --loopsLeft;
        if ((flags_ & dfAnimate) == 0 || (flags_ & dfLoop) == 0) break;
      }
    }
    activeFrame_ = -1;
    RaiseEvent(OnAnimationEnd);
  } catch (const Exception&) {
    Terminate();
    storedError_ = std::current_exception();
  }
}

void TGIFPainter::PaintActiveFrame() {
  if (image_ == nullptr || canvas_ == nullptr) return;
  const int index = activeFrame_;
  if (index < 0 || index >= image_->FrameCount()) return;
  image_->Frame(index)->PaintFrame(*canvas_, rect_, (flags_ & dfTile) != 0,
                                   (flags_ & dfTransparent) != 0);
  started_ = true;
}

void TGIFPainter::PaintWithDisposal() {
  if (image_ == nullptr || canvas_ == nullptr) return;
  const int index = activeFrame_;
  if (index < 0 || index >= image_->FrameCount()) return;
  TGIFSubImage* frame = image_->Frame(index);
  const bool clearFirst = (flags_ & dfClearOnRestart) != 0 && index == 0;
  const bool tile = (flags_ & dfTile) != 0;
  const bool transparent = (flags_ & dfTransparent) != 0;
  const TRect whole = Rect(0, 0, rect_.Width(), rect_.Height());
  if (clearFirst) ClearFrameArea();
  if (disposal_ < 2 || disposal_ == 2) {
    frame->PaintFrame(*backup_, whole, tile, transparent);
    CopyPixels(*canvas_, rect_, *backup_, 0, 0);
    canvas_->SetModified(true);
    if (disposal_ == 2) ClearFrameArea();
  } else if (disposal_ == 3) {
    if (previousDisposal_ < 2) {
      // Nothing is kept: the next frame is drawn on the backup, which never saw this one.
      frame->PaintFrame(*canvas_, rect_, tile, transparent);
    } else {
      CopyPixels(*frameBuffer_, whole, *backup_, 0, 0);
      frame->PaintFrame(*frameBuffer_, whole, tile, transparent);
      CopyPixels(*canvas_, rect_, *frameBuffer_, 0, 0);
      canvas_->SetModified(true);
    }
  } else {
    return;
  }
  started_ = true;
}

void TGIFPainter::ClearFrameArea() {
  if (image_ == nullptr || !backup_) return;
  TGIFSubImage* frame = image_->Frame(activeFrame_);
  const TRect whole = Rect(0, 0, rect_.Width(), rect_.Height());
  const bool tile = (flags_ & dfTile) != 0;
  const int iw = Max(1, image_->Width());
  const int ih = Max(1, image_->Height());
  auto forEachTile = [&](auto&& action) {
    for (int ty = 0; ty < whole.Bottom; ty += ih)
      for (int tx = 0; tx < whole.Right; tx += iw)
        action(Bounds(tx + frame->Left(), ty + frame->Top(), frame->Width(), frame->Height()));
  };
  if ((flags_ & dfTransparent) != 0 && background_) {
    if (tile)
      forEachTile([&](const TRect& r) { CopyPixels(*backup_, r, *background_, r.Left, r.Top); });
    else {
      const TRect r = frame->MapToDestRect(whole);
      CopyPixels(*backup_, r, *background_, r.Left, r.Top);
    }
  } else if (tile && frame->Width() != image_->Width() && frame->Height() != image_->Height()) {
    const TColor fill =
        image_->BackgroundOverride() == clNone ? backgroundColor_ : image_->BackgroundOverride();
    forEachTile([&](const TRect& r) { FillArea(*backup_, r, fill); });
  } else {
    FillArea(*backup_, frame->MapToDestRect(whole), backgroundColor_);
  }
}
