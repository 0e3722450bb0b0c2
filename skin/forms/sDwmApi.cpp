#include "skin/forms/sDwmApi.h"

#include <utility>

namespace {

// Main thread only, like every caller.
struct TDwmBinding {
  TsDwmEnvironment Environment = SystemDwmEnvironment();
  bool LoadTried = false;
  std::optional<TsDwmFunctions> Functions;
};

TDwmBinding& Binding() {
  static TDwmBinding binding;
  return binding;
}

// The bound functions, loading the library on the first call only: a failed load stays
// failed instead of being tried again on every paint.
const TsDwmFunctions* Bound() {
  TDwmBinding& b = Binding();
  if (b.Environment.WindowsMajor < 6) return nullptr;
  if (!b.LoadTried) {
    b.LoadTried = true;
    if (b.Environment.Loader) b.Functions = b.Environment.Loader();
  }
  return b.Functions ? &*b.Functions : nullptr;
}

}  // namespace

#ifndef _WIN32
TsDwmEnvironment SystemDwmEnvironment() { return TsDwmEnvironment{}; }
#endif

void SetDwmEnvironment(TsDwmEnvironment environment) {
  Binding() = TDwmBinding{std::move(environment), false, std::nullopt};
}

void ResetDwmEnvironment() { SetDwmEnvironment(SystemDwmEnvironment()); }

bool DwmCompositionEnabled() {
  const TsDwmFunctions* dwm = Bound();
  if (!dwm || !dwm->IsCompositionEnabled) return false;
  bool enabled = false;
  return dwm->IsCompositionEnabled(enabled) == 0 && enabled;
}

int32_t DwmSetAttribute(TWindowKey window, uint32_t attribute, const void* value, uint32_t size) {
  const TsDwmFunctions* dwm = Bound();
  if (!dwm || !dwm->SetWindowAttribute) return DwmNotImplemented;
  return dwm->SetWindowAttribute(window, attribute, value, size);
}

int32_t DwmSetIconicThumbnailBitmap(TWindowKey window, uintptr_t bitmap) {
  const TsDwmFunctions* dwm = Bound();
  if (!dwm || !dwm->SetIconicThumbnail) return DwmNotImplemented;
  return dwm->SetIconicThumbnail(window, bitmap, 0);
}

int32_t DwmSetIconicLivePreview(TWindowKey window, uintptr_t bitmap) {
  // DWM_SIT_DISPLAYFRAME: the preview is shown inside the window's frame.
  constexpr uint32_t DisplayFrame = 1;
  const TsDwmFunctions* dwm = Bound();
  if (!dwm || !dwm->SetIconicLivePreviewBitmap) return DwmNotImplemented;
  return dwm->SetIconicLivePreviewBitmap(window, bitmap, TPoint{0, 0}, DisplayFrame);
}

void DisableDwmTransitions(TWindowKey window, bool disable) {
  if (!DwmCompositionEnabled()) return;
  const int32_t value = disable ? 1 : 0;
  DwmSetAttribute(window, DwmTransitionsForceDisabled, &value, sizeof value);
}

void InvalidateIconicBitmaps(TWindowKey window) {
  const TDwmBinding& b = Binding();
  if (b.Environment.WindowsMajor < 6 || !b.Functions || !b.Functions->InvalidateIconicBitmaps)
    return;
  b.Functions->InvalidateIconicBitmaps(window);
}
