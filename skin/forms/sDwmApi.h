// The desktop window manager as the form skinning uses it: whether composition is on, window
// attributes (transitions switched off while a form animates itself) and the task bar's
// iconic previews. The library is bound on first use through a loader that tests replace; a
// library that cannot be loaded is remembered and not asked for again, and on Windows
// versions below 6 nothing is loaded or called at all.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "framework/Types.h"
#include "skin/core/painting/sFormSkinning.h"

// What the library offers; a missing entry point stays empty. Results are HRESULTs.
struct TsDwmFunctions {
  std::function<int32_t(bool& enabled)> IsCompositionEnabled;
  std::function<int32_t(TWindowKey window, uint32_t attribute, const void* value, uint32_t size)>
      SetWindowAttribute;
  std::function<int32_t(TWindowKey window, uintptr_t bitmap, uint32_t flags)> SetIconicThumbnail;
  std::function<int32_t(TWindowKey window, uintptr_t bitmap, TPoint offset, uint32_t flags)>
      SetIconicLivePreviewBitmap;
  std::function<int32_t(TWindowKey window)> InvalidateIconicBitmaps;
};

// Binds the library: its functions, or nothing when it cannot be loaded.
using TsDwmLoader = std::function<std::optional<TsDwmFunctions>()>;

// The system the calls go to: its major version and how the library is bound.
struct TsDwmEnvironment {
  int WindowsMajor = 0;
  TsDwmLoader Loader;
};

// The running system (on Windows the real library; elsewhere none).
TsDwmEnvironment SystemDwmEnvironment();
// Replaces the environment and forgets what was bound (tests pin composition on or off).
void SetDwmEnvironment(TsDwmEnvironment environment);
// Back to the running system.
void ResetDwmEnvironment();

constexpr int32_t DwmNotImplemented = static_cast<int32_t>(0x80004001);  // E_NOTIMPL
constexpr uint32_t DwmTransitionsForceDisabled = 3;  // DWMWA_TRANSITIONS_FORCEDISABLED

// False below version 6; else the library must answer S_OK and true.
bool DwmCompositionEnabled();
// DwmSetWindowAttribute; DwmNotImplemented without the library or the function.
int32_t DwmSetAttribute(TWindowKey window, uint32_t attribute, const void* value, uint32_t size);
// Only while composition is on: transitions of the window switched off or on.
void DisableDwmTransitions(TWindowKey window, bool disable);
// DwmSetIconicThumbnail; DwmNotImplemented without the library or the function.
int32_t DwmSetIconicThumbnailBitmap(TWindowKey window, uintptr_t bitmap);
// DwmSetIconicLivePreviewBitmap at the window's corner, shown with the window's frame;
// DwmNotImplemented without the library or the function.
int32_t DwmSetIconicLivePreview(TWindowKey window, uintptr_t bitmap);
// Version 6 and later, with the library already bound: the task bar asks for new previews.
void InvalidateIconicBitmaps(TWindowKey window);
