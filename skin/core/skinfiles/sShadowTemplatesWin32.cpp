// The Win32 half of the window shadow: the templates come from the program's resources, and
// desktop composition is asked of the desktop window manager, bound on first use so the
// program still starts where it is missing.
#include <windows.h>

#include "framework/ResourceStreamWin32.h"
#include "skin/core/pixels/skUtilsWin32.h"
#include "skin/core/skinfiles/sShadowTemplates.h"

namespace {

// RT_RCDATA in its ANSI spelling, whatever the character set of the build.
const char* const kRawData = MAKEINTRESOURCEA(10);

// The resource's bytes; none when the program has no such resource.
std::vector<uint8_t> ResourceBytes(const char* name) {
  if (!FindResourceA(GetModuleHandleA(nullptr), name, kRawData)) return {};
  TResourceStream stream(GetModuleHandleA(nullptr), name, kRawData);
  return std::vector<uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

using TDwmIsCompositionEnabled = HRESULT(WINAPI*)(BOOL*);

TDwmIsCompositionEnabled CompositionQuery() {
  static const TDwmIsCompositionEnabled query = []() -> TDwmIsCompositionEnabled {
    // Windows 6 (Vista) brought the desktop window manager.
    if (WindowsMajorVersion() < 6) return nullptr;
    HMODULE dwm = LoadLibraryA("dwmapi.dll");  // kept for the rest of the run
    if (!dwm) return nullptr;
    return reinterpret_cast<TDwmIsCompositionEnabled>(
        reinterpret_cast<void*>(GetProcAddress(dwm, "DwmIsCompositionEnabled")));
  }();
  return query;
}

}  // namespace

bool ReadShadowTemplates() {
  return LoadShadowTemplates(ResourceBytes("skSHDA"), ResourceBytes("skSHDI"));
}

bool IsCompositionEnabled() {
  const TDwmIsCompositionEnabled query = CompositionQuery();
  BOOL enabled = FALSE;
  return query && SUCCEEDED(query(&enabled)) && enabled;
}
