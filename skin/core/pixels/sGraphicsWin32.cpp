#include <windows.h>

#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"

// Every system the program runs on has layered windows.
bool HasLayeredWindows() { return true; }

BOOL CallUpdateLayeredWindow(HWND window, HDC screenDC, POINT* position, SIZE* size, HDC sourceDC,
                             POINT* sourcePoint, COLORREF key, BLENDFUNCTION* blend, DWORD flags) {
  return UpdateLayeredWindow(window, screenDC, position, size, sourceDC, sourcePoint, key, blend,
                             flags);
}

BOOL CallSetLayeredWindowAttributes(HWND window, COLORREF key, BYTE alpha, DWORD flags) {
  return SetLayeredWindowAttributes(window, key, alpha, flags);
}
