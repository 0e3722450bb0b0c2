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
// A copy of a skin data's cache into a device context around the children of a control or a
// window: Dest of DC is filled from the cache taken at Source's top-left.
struct TsCacheBlit {
  HDC DC = nullptr;
  TRect Dest{};
  TRect Source{};
  TPoint Offset{0, 0};  // how the children's places are moved (see each blit)
  // The open corners of the border first take the parent's background.
  bool PaintBorder = false;
};
// Leaves out the parent's visible child controls over Dest that are graphic or opaque, each
// moved by Offset. Nothing without a cache.
void BlitCacheExceptControls(TWinControl* parent, TsCommonData& data, const TsCacheBlit& blit);
// The same leaving out the window's visible child windows (their place in the window moved
// back by Offset); of a child group box only its caption strip and border strips, so that its
// inside shows the cache.
void BlitCacheExceptWindows(HWND window, TsCommonData& data, const TsCacheBlit& blit);
