// Test and diagnostic helper: what a window shows, as pixels or as a PNG file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ktest {

// Pixels of a captured area, top-down rows, each pixel 0x00RRGGBB.
struct TScreenshot {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;

  // The colour at (x, y) as a TColor/COLORREF (0x00BBGGRR); CLR_INVALID outside.
  COLORREF ColorAt(int x, int y) const;
};

// What `draw` paints into a fresh top-down 32-bit bitmap of w × h. False when no bitmap can
// be made or `draw` answers false.
bool CaptureDrawing(int w, int h, const std::function<bool(HDC)>& draw, TScreenshot& shot);

// An area of a device context (the screen's when `dc` is null) as it holds it now.
bool CaptureArea(HDC dc, int x, int y, int w, int h, TScreenshot& shot);

// The client rectangle in the coordinates of the whole window, frame included.
RECT ClientRectInWindow(HWND wnd);

// Captures the whole window (frame included) as it is shown on the screen; a
// hidden or covered window is asked to print itself instead. False when the
// window does not exist or has no area.
bool CaptureWindow(HWND wnd, TScreenshot& shot);

// The colour shown at a point relative to the window's top-left corner (frame
// included) or to its client area; CLR_INVALID when the point lies outside.
COLORREF WindowPixel(HWND wnd, int x, int y);
COLORREF ClientPixel(HWND wnd, int x, int y);

// Writes an RGB PNG (zlib-compressed, no filtering). False when the file cannot be written.
bool WritePng(const std::string& path, const TScreenshot& shot);

// Captures the window into <binary dir>/screenshots/<name>.png and returns the
// path, or an empty string on failure; the binary dir comes from KESTRAVA_BINARY_DIR.
std::string SaveScreenshot(HWND wnd, const std::string& name);

}  // namespace ktest
