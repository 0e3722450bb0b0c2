// Run-time binding of the layered-window functions: they are looked up in user32.dll once,
// so the program still starts where they are missing.
#include <windows.h>

#include "skin/core/sColorsWin32.h"
#include "skin/core/sGraphics.h"

namespace {

using TUpdateLayeredWindow = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                           BLENDFUNCTION*, DWORD);
using TSetLayeredWindowAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

struct TLayeredWindowBinding {
  HMODULE Library = nullptr;
  TUpdateLayeredWindow UpdateLayeredWindow = nullptr;
  TSetLayeredWindowAttributes SetLayeredWindowAttributes = nullptr;

  TLayeredWindowBinding() {
    Library = LoadLibraryA("user32.dll");
    if (!Library) return;
    UpdateLayeredWindow = reinterpret_cast<TUpdateLayeredWindow>(
        reinterpret_cast<void*>(GetProcAddress(Library, "UpdateLayeredWindow")));
    SetLayeredWindowAttributes = reinterpret_cast<TSetLayeredWindowAttributes>(
        reinterpret_cast<void*>(GetProcAddress(Library, "SetLayeredWindowAttributes")));
  }
  ~TLayeredWindowBinding() {
    if (Library) FreeLibrary(Library);
  }
};

const TLayeredWindowBinding& Binding() {
  static const TLayeredWindowBinding binding;  // bound on first use, released at exit
  return binding;
}

}  // namespace

bool HasLayeredWindows() { return Binding().UpdateLayeredWindow != nullptr; }

BOOL CallUpdateLayeredWindow(HWND window, HDC screenDC, POINT* position, SIZE* size, HDC sourceDC,
                             POINT* sourcePoint, COLORREF key, BLENDFUNCTION* blend, DWORD flags) {
  const auto f = Binding().UpdateLayeredWindow;
  return f ? f(window, screenDC, position, size, sourceDC, sourcePoint, key, blend, flags) : FALSE;
}

BOOL CallSetLayeredWindowAttributes(HWND window, COLORREF key, BYTE alpha, DWORD flags) {
  const auto f = Binding().SetLayeredWindowAttributes;
  return f ? f(window, key, alpha, flags) : FALSE;
}
