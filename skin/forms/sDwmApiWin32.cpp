// The real desktop window manager library, bound by name.
#include <windows.h>

#include "skin/core/pixels/skUtilsWin32.h"
#include "skin/forms/sDwmApi.h"

namespace {

template <class F>
F Entry(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

HWND WindowOf(TWindowKey window) { return reinterpret_cast<HWND>(window); }

std::optional<TsDwmFunctions> LoadDwmApi() {
  // Kept for the rest of the run: the bound functions live as long as the program.
  HMODULE dwm = LoadLibraryA("DWMAPI.DLL");
  if (!dwm) return std::nullopt;
  TsDwmFunctions f;
  using TIsComposition = HRESULT(WINAPI*)(BOOL*);
  using TSetAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  using TSetThumbnail = HRESULT(WINAPI*)(HWND, HBITMAP, DWORD);
  using TSetLivePreview = HRESULT(WINAPI*)(HWND, HBITMAP, POINT*, DWORD);
  using TInvalidate = HRESULT(WINAPI*)(HWND);
  if (auto p = Entry<TIsComposition>(dwm, "DwmIsCompositionEnabled"))
    f.IsCompositionEnabled = [p](bool& enabled) {
      BOOL on = FALSE;
      const HRESULT hr = p(&on);
      enabled = on != FALSE;
      return static_cast<int32_t>(hr);
    };
  if (auto p = Entry<TSetAttribute>(dwm, "DwmSetWindowAttribute"))
    f.SetWindowAttribute = [p](TWindowKey w, uint32_t attribute, const void* value, uint32_t size) {
      return static_cast<int32_t>(p(WindowOf(w), attribute, value, size));
    };
  if (auto p = Entry<TSetThumbnail>(dwm, "DwmSetIconicThumbnail"))
    f.SetIconicThumbnail = [p](TWindowKey w, uintptr_t bitmap, uint32_t flags) {
      return static_cast<int32_t>(p(WindowOf(w), reinterpret_cast<HBITMAP>(bitmap), flags));
    };
  if (auto p = Entry<TSetLivePreview>(dwm, "DwmSetIconicLivePreviewBitmap"))
    f.SetIconicLivePreviewBitmap = [p](TWindowKey w, uintptr_t bitmap, TPoint offset,
                                       uint32_t flags) {
      POINT at{offset.X, offset.Y};
      return static_cast<int32_t>(p(WindowOf(w), reinterpret_cast<HBITMAP>(bitmap), &at, flags));
    };
  if (auto p = Entry<TInvalidate>(dwm, "DwmInvalidateIconicBitmaps"))
    f.InvalidateIconicBitmaps = [p](TWindowKey w) { return static_cast<int32_t>(p(WindowOf(w))); };
  return f;
}

}  // namespace

TsDwmEnvironment SystemDwmEnvironment() {
  return TsDwmEnvironment{WindowsMajorVersion(), LoadDwmApi};
}
