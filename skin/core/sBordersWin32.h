// PaintMaskBitmap with a window region: the corners' transparent pixels are cut out of it.
#pragma once

#include <windows.h>

#include "skin/core/sBorders.h"

void PaintMaskBitmap(TBitmap* bitmap, HRGN region, bool drawCentre, int state,
                     const TsMaskData& mask);

class TControl;
class TWinControl;
class TsCommonData;

// The control's cache bitmap is handed in until the skin data keeps it itself.

// The open corner pixels of the control's border take its parent's background.
void FillBorderCorners(const TsCommonData& data, int state, TBitmap* cache, TControl* control);
// The border mask redrawn on the cache over the parent's current background.
void PaintCtrlBorder(const TsCommonData& data, int state, TBitmap* cache, TControl* control);
// The control's frame of width W painted into the cache from its border mask (a plain frame
// in the background colour without one) and copied to the device context; inner receives
// the rectangle inside the frame.
void PaintNonClientBorder(HDC dc, const TRect& r, int width, TRect& inner, int state,
                          const TsCommonData& data, TBitmap* cache, TControl* control);
// rect of the cache (from sourceOffset) copied into the DC, leaving out the areas of the
// control's visible child controls (child windows for the second form).
void BlitCacheExceptControls(TWinControl* control, const TsCommonData& data, TPoint sourceOffset,
                             bool paintBorder, HDC dc, const TRect& rect, TBitmap* cache);
void BlitCacheExceptWindows(HWND window, TPoint sourceOffset, HDC dc, const TRect& rect,
                            TBitmap* cache);
