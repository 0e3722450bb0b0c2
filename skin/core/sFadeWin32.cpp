// Fades driven by window timers on the main thread.
#include "skin/core/sFadeWin32.h"

#include <algorithm>
#include <vector>

#include "framework/ControlsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sGraphics.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"

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

void TsFadeTimer::SetDirection(int direction) {
  Direction = direction;
  if (direction != 0) SetEnabled(true);
}

void TsFadeTimer::Finish() {
  SetEnabled(false);
  Direction = 0;
  if (host_ && host_->Alive()) host_->FadeEnded();
}

void TsFadeTimer::Timer() {
  if (Direction == 0 || ComponentState().Contains(csDestroying)) return;
  if (!Steps.Tick()) {
    // Over, stopped or its control gone: no more ticks.
    SetEnabled(false);
    Direction = 0;
  }
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
  TsSkinManager* manager = data.SkinManager();
  StepCount = manager && manager->IsValidSectionIndex(data.SectionIndex)
                  ? manager->Sections()[static_cast<size_t>(data.SectionIndex)].FadingIterations
                  : 0;
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
    host_->ShowFrame(*FrameImage);
    InProgress = false;
  }
  ++Step;
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
  TsSkinManager* manager = data.SkinManager();
  const TsGeneralData* section = manager && manager->IsValidSectionIndex(data.SectionIndex)
                                     ? &manager->Sections()[static_cast<size_t>(data.SectionIndex)]
                                     : nullptr;
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
  if (SendMessageA(wnd, SM_SKINCMD, SkinCmdWParam(CmdFadeFrame),
                   reinterpret_cast<LPARAM>(&frame)) != 0)
    return;
  TWindowDC dc(wnd);
  if (!dc) return;
  TSaveDC saved(dc.Get());
  BitBlt(dc.Get(), 0, 0, frame.Width(), frame.Height(),
         const_cast<TBitmap&>(frame).Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TWindowFadeHost::FadeEnded() { control_->Perform(SM_SKINCMD, SkinCmdWParam(CmdStopFade), 0); }

void TWindowFadeHost::Invalidate() {
  if (control_->HandleAllocated())
    RedrawWindow(control_->Handle(), nullptr, nullptr,
                 RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}
