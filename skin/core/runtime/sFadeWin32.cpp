// Fades driven by window timers on the main thread.
#include "skin/core/runtime/sFadeWin32.h"

#include <algorithm>
#include <vector>

#include "framework/ControlsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/core/painting/sCommonData.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sMessages.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

// Every live fade timer, so that the end of the session can stop them all.
std::vector<TsFadeTimer*>& LiveTimers() {
  static std::vector<TsFadeTimer*> timers;
  return timers;
}

bool IsLive(TsFadeTimer* timer) {
  const auto& live = LiveTimers();
  return std::find(live.begin(), live.end(), timer) != live.end();
}

}  // namespace

TsFadeTimer::TsFadeTimer(TComponent* owner) : TTimer(owner) {
  SetEnabled(false);
  SetInterval(10);
  // The framework's timer ticks only while a handler is set; the work is in Timer().
  SetOnTimer([](TObject*) {});
  LiveTimers().push_back(this);
}

namespace {

TWinControl* WindowedHostOf(const TsCommonData& data) {
  return dynamic_cast<TWinControl*>(HostControlOf(data));
}

}  // namespace

TsFadeTimer::~TsFadeTimer() {
  auto& live = LiveTimers();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

void TsFadeTimer::Prepare(IFadeHost* host, const TBitmap& startImage, int iterations,
                          bool pressed) {
  host_ = host;
  Steps.Prepare(host, startImage, iterations, pressed);
  SetInterval(10);
}

bool TsFadeTimer::Prepare(TsCommonData& data, bool pressed) {
  TWinControl* control = WindowedHostOf(data);
  const TsGeneralData* section = data.Section();
  if (!control || !control->HandleAllocated() || !section) return false;
  if (data.BackgroundDirty && (!data.CacheBitmap || data.CacheBitmap->Empty()))
    SendSkinCmd(control->Handle(), CmdPrepareCache, 0);
  if (!data.CacheBitmap || data.CacheBitmap->Empty()) return false;
  auto host = std::make_unique<TWindowFadeHost>(control, &data);
  Prepare(host.get(), *data.CacheBitmap, section->FadingIterations, pressed);
  windowHost_ = std::move(host);
  return true;
}

void TsFadeTimer::SetDirection(int direction) {
  Direction = direction;
  if (direction != 0) SetEnabled(true);
}

void TsFadeTimer::Finish() {
  SetEnabled(false);
  Direction = 0;
  if (host_ && host_->Alive()) host_->FadeEnded();
}

bool TsFadeTimer::IsFinished() { return Steps.IsFinished(); }

void TsFadeTimer::FadeStep() { Steps.FadeStep(); }

void TsFadeTimer::Timer() {
  if (Direction == 0 || ComponentState().Contains(csDestroying)) return;
  if (IsFinished()) {
    // A control told that its fade ended frees the timer (CmdStopFade): nothing of it is
    // touched then.
    if (!IsLive(this)) return;
  } else {
    FadeStep();
    if (Steps.Running()) return;
  }
  // Over, stopped, disabled or its control gone: no more ticks.
  SetEnabled(false);
  Direction = 0;
}

TsAnimTimer::TsAnimTimer(TComponent* owner) : TTimer(owner) {
  SetEnabled(false);
  SetInterval(10);
  SetOnTimer([](TObject*) {});
  ++FadeTimerCount;
}

TsAnimTimer::~TsAnimTimer() { --FadeTimerCount; }

void TsAnimTimer::SetOwnerData(const TsCommonData& data, IFadeHost* host) {
  host_ = host;
  SetInterval(10);
  const TsGeneralData* section = data.Section();
  StepCount = section ? section->FadingIterations : 0;
}

namespace {

// The speed button paints FrameImage itself while its animation runs: each frame is a request
// to repaint, never a copy onto its window.
class TRepaintRequestHost : public TWindowFadeHost {
 public:
  TRepaintRequestHost(TWinControl* control, TsCommonData* data)
      : TWindowFadeHost(control, data), control_(control) {}
  void ShowFrame(const TBitmap&) override {
    SendControlSkinCmd(control_, CmdSetUpdating, 0, 0);
    SendControlSkinCmd(control_, CmdRepaintAll, 0);
  }

 private:
  TWinControl* control_;
};

}  // namespace

void TsAnimTimer::SetOwnerData(TsCtrlSkinData& data) {
  auto* control = WindowedHostOf(data);
  windowHost_ = control ? std::make_unique<TRepaintRequestHost>(control, &data) : nullptr;
  SetOwnerData(data, windowHost_.get());
}

void TsAnimTimer::AnimStep() {
  const TBitmap* cache = host_ ? host_->CacheBitmap() : nullptr;
  if (!InProgress && host_ && host_->Alive() && StepCount != 0 && Step >= 0 && StartImage &&
      cache && cache->Width() == StartImage->Width() && cache->Height() == StartImage->Height()) {
    InProgress = true;
    const TRect whole{0, 0, cache->Width(), cache->Height()};
    if (!FrameImage || FrameImage->Width() != cache->Width() ||
        FrameImage->Height() != cache->Height())
      FrameImage = CreateBmp32(cache->Width(), cache->Height());
    BlendBitmapRect(FrameImage.get(), StartImage.get(), 0, TPoint{0, 0}, whole);
    BlendBitmapRect(FrameImage.get(), cache, FadeWeight(Step, StepCount), TPoint{0, 0}, whole);
    RepaintOwner();
    InProgress = false;
  }
  ++Step;
}

void TsAnimTimer::RepaintOwner() {
  if (host_ && FrameImage) host_->ShowFrame(*FrameImage);
}

bool TsAnimTimer::IsFinished() {
  if (ComponentState().Contains(csDestroying) || !host_ || !host_->Alive() || FadesStopped) {
    SetEnabled(false);
    return true;
  }
  if (Step >= 0 && Step <= StepCount) return false;
  SetEnabled(false);
  host_->FadeEnded();
  return true;
}

void TsAnimTimer::Timer() {
  if (!IsFinished()) AnimStep();
}

void StartFading(std::unique_ptr<TsFadeTimer>& timer, IFadeHost& host, const TBitmap& startImage,
                 int iterations, bool pressed, int direction) {
  if (FadesStopped || iterations <= 0) return;
  if (!timer) {
    timer = std::make_unique<TsFadeTimer>(nullptr);
    timer->Steps.Step = 1;
  } else {
    timer->Steps.Step = iterations;
  }
  timer->Prepare(&host, startImage, iterations, pressed);
  timer->SetDirection(direction);
}

void StopFading(std::unique_ptr<TsFadeTimer>& timer) {
  if (!timer || timer->ComponentState().Contains(csDestroying)) return;
  timer->SetEnabled(false);
  timer->Direction = 0;
  timer.reset();
}

void StartFading(std::unique_ptr<TsFadeTimer>& timer, TsCommonData& data, bool pressed,
                 int direction) {
  const TsGeneralData* section = data.Section();
  TWinControl* control = WindowedHostOf(data);
  if (FadesStopped || !section || !section->FadingEnabled || !control) return;
  const bool restart = static_cast<bool>(timer);
  if (!timer) timer = std::make_unique<TsFadeTimer>(nullptr);
  timer->Steps.Step = restart ? section->FadingIterations : 1;
  if (!timer->Prepare(data, pressed)) {
    StopFading(timer);
    return;
  }
  // The start image is taken: now the cache gets the new look the fade runs to.
  SendControlSkinCmd(control, CmdPrepareCache, 0);
  timer->SetDirection(direction);
}

void StopFading(std::unique_ptr<TsFadeTimer>& timer, TsCommonData& data) {
  (void)data;
  StopFading(timer);
}

void StopAllFades() {
  FadesStopped = true;
  // Finishing one fade may free others (the control frees its timer when told).
  const std::vector<TsFadeTimer*> timers = LiveTimers();
  for (TsFadeTimer* timer : timers)
    if (IsLive(timer)) timer->Finish();
}

void RepaintWithFade(std::unique_ptr<TsFadeTimer>& timer, TsCommonData& data, IFadeHost& host,
                     bool pressed, int direction, bool allowed) {
  if (!data.IsSkinned()) return;
  const TsGeneralData* section = data.Section();
  const TBitmap* current = host.CacheBitmap();
  const bool fade = allowed && !SkinLoadInProgress && section && section->FadingEnabled &&
                    !FadesStopped && current && !current->Empty() && !data.BackgroundDirty;
  data.BackgroundDirty = true;
  if (fade) {
    StartFading(timer, host, *current, section->FadingIterations, pressed, direction);
  } else {
    StopFading(timer);
    host.Invalidate();
  }
}

bool TWindowFadeHost::Alive() const {
  return control_ && !control_->ComponentState().Contains(csDestroying) &&
         control_->HandleAllocated();
}

bool TWindowFadeHost::Enabled() const { return control_ && control_->Enabled(); }

void TWindowFadeHost::ShowFrame(const TBitmap& frame) {
  HWND wnd = control_->Handle();
  if (SendSkinCmd(wnd, CmdFadeFrame, reinterpret_cast<LPARAM>(&frame)) != 0) return;
  TWindowDC dc(wnd);
  if (!dc) return;
  TSaveDC saved(dc.Get());
  BitBlt(dc.Get(), 0, 0, frame.Width(), frame.Height(),
         const_cast<TBitmap&>(frame).Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TWindowFadeHost::FadeEnded() { PerformSkinCmd(control_, CmdStopFade, 0); }

void TWindowFadeHost::Invalidate() {
  if (data_) {
    data_->Invalidate();
    return;
  }
  if (control_->HandleAllocated())
    RedrawWindow(control_->Handle(), nullptr, nullptr,
                 RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void RepaintWithFade(std::unique_ptr<TsFadeTimer>& timer, TsCommonData& data, bool pressed,
                     int direction, bool allowed) {
  if (!data.IsSkinned()) return;
  const TsGeneralData* section = data.Section();
  const bool fade = allowed && !SkinLoadInProgress && section && section->FadingEnabled &&
                    !FadesStopped && data.CacheBitmap && !data.CacheBitmap->Empty() &&
                    !data.BackgroundDirty && WindowedHostOf(data);
  data.BackgroundDirty = true;
  if (fade) {
    StartFading(timer, data, pressed, direction);
  } else {
    StopFading(timer, data);
    data.Invalidate();
  }
  UpdateGlow(data, pressed, nullptr);
}

const TBitmap* TWindowFadeHost::CacheBitmap() const {
  return data_ && data_->CacheBitmap ? data_->CacheBitmap.get() : nullptr;
}
