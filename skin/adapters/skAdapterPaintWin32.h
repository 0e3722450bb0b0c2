// What the adapters of a dialog's windows share when they paint: the device context of a
// paint (the one handed in with WM_PRINT, or the window's own) with BeginPaint and EndPaint
// around it, the window's own drawing kept off the screen while its procedure changes a state,
// the disabled look mixed into a cache image, and captions drawn in the window's font and the
// skin's colours.
#pragma once

#include <windows.h>

#include <string>

#include "framework/HandlesWin32.h"
#include "skin/core/painting/sCommonData.h"
#include "skin/core/pixels/sBackground.h"

class TBitmap;

// The DC a paint draws into: WParam's when it is one, else the window's own (GetDC, or
// GetWindowDC with wholeWindow), released at the end; with beginPaint the paint is begun and
// ended around it, so the window is validated also when nothing is drawn.
class TAdapterPaint {
 public:
  TAdapterPaint(HWND wnd, WPARAM wParam, bool beginPaint, bool wholeWindow = false);
  ~TAdapterPaint();
  TAdapterPaint(const TAdapterPaint&) = delete;
  TAdapterPaint& operator=(const TAdapterPaint&) = delete;
  // The DC to draw into, taken when first asked for.
  HDC Dc();
  bool Given() const { return given_ != nullptr; }

 private:
  HWND wnd_;
  HDC given_;
  bool whole_;
  bool painting_ = false;
  PAINTSTRUCT ps_{};
  TWindowDC own_;
};

// The window's drawing is switched off for the scope (WM_SETREDRAW), so a state change the
// window's own procedure carries out is not painted by it over the skinned picture.
class TRedrawOff {
 public:
  explicit TRedrawOff(HWND wnd) : wnd_(wnd) { SendMessageA(wnd_, WM_SETREDRAW, FALSE, 0); }
  ~TRedrawOff() { SendMessageA(wnd_, WM_SETREDRAW, TRUE, 0); }
  TRedrawOff(const TRedrawOff&) = delete;
  TRedrawOff& operator=(const TRedrawOff&) = delete;

 private:
  HWND wnd_;
};

// The cache copied to the DC at (x, y), as wide and high as given (the whole cache for -1).
void CopyCacheTo(HDC dc, TBitmap& cache, int x = 0, int y = 0, int width = -1, int height = -1,
                 int sourceX = 0, int sourceY = 0);
// A disabled window keeps 40 % of its own image over what lies behind it.
void ApplyDisabledLook(HWND wnd, TBitmap* cache, const TsBackgroundSource& behind, TPoint pos);
// What the window's parent shows behind it, its colour as an RGB value.
TsBackgroundSource ParentBackground(HWND wnd);
// The window's own font (WM_GETFONT); null for the system font.
HFONT WindowFont(HWND wnd);
// The size a text takes in the font with the DrawText flags (DT_CALCRECT added), at most
// `width` wide where it wraps; negative sizes as 0.
TSize MeasureText(HDC dc, HFONT font, const std::string& text, int width, uint32_t flags);
// A caption in the skin's colours for the skin data's section into the cache, in `font`.
void DrawCaption(TsCommonData& data, TBitmap* cache, HFONT font, const std::string& text,
                 const TRect& r, uint32_t flags, bool hot);
// The window's text with its real length.
std::string WindowTextOf(HWND wnd);
// The window lies under the mouse pointer.
bool CursorOver(HWND wnd);
