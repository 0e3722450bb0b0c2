// Border painting that ends in device contexts and regions: shaped windows (the holes of a
// border mask's corners removed from a region), a control's non-client frame copied from its
// cache, and the cache copied to the screen around the control's children.
#pragma once

#include <windows.h>

#include "skin/core/painting/sBorders.h"

void PaintMaskBitmap(TBitmap* bitmap, HRGN region, bool drawCentre, int state,
                     const TsMaskData& mask);

class TWinControl;
class TsCommonData;

// The control's frame of width W painted into its cache from its border mask and copied to
// the device context (a plain frame in the background colour straight onto the device
// context without a mask); inner receives the rectangle inside the frame.
void PaintNonClientBorder(HDC dc, const TRect& r, int width, TRect& inner, TsPaintState state,
                          TsCommonData& data);
// dest of the DC filled from the skin data's cache (taken at source's top-left), leaving out
// the parent's visible child controls over dest that are graphic or opaque (each moved by the
// offsets). With paintBorder the open corners of the border first take the parent's
// background. Nothing without a cache.
void BlitCacheExceptControls(TWinControl* parent, TsCommonData& data, const TRect& source,
                             int yOffset, int xOffset, bool paintBorder, HDC dc, const TRect& dest);
// The same leaving out the window's visible child windows (their place in the window moved
// back by the offsets); of a child group box only its caption strip and border strips, so
// that its inside shows the cache.
void BlitCacheExceptWindows(HWND window, TsCommonData& data, const TRect& source, int yOffset,
                            int xOffset, bool paintBorder, HDC dc, const TRect& dest);
