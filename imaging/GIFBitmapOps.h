// Pixel copies between bitmaps for the GIF painter and the image's buffer: the portable
// counterparts of the blits that the Win32 half does on device contexts.
#pragma once

#include "framework/Graphics.h"

// Copies `src` area `from` into `dst` area `to`, stretched by nearest pixel and clipped to
// both bitmaps.
void StretchPixels(TBitmap& dst, const TRect& to, const TBitmap& src, const TRect& from);
// Same-size copy.
void CopyPixels(TBitmap& dst, const TRect& to, const TBitmap& src, int srcLeft, int srcTop);
// Fills an area (clipped) with a colour.
void FillArea(TBitmap& bitmap, const TRect& area, TColor color);
