// Border masks painted over whole bitmaps: a control's image framed by its mask in nine
// pieces, with the transparent pixels of the corners collected so the caller can cut them
// out of the window's region (shaped buttons). Portable: the holes come back as one-pixel-high
// rectangles; the Win32 half removes them from a region.
#pragma once

#include <vector>

#include "framework/Graphics.h"
#include "framework/Types.h"
#include "skin/core/sMaskData.h"

// The mask's state image over the whole bitmap: corners, edges, then the centre when
// drawCentre is set and the mask has DrawFlags 4. Key pixels of the corners are not copied;
// with holes given, each horizontal run of them is appended as a rectangle.
void PaintMaskBitmap(TBitmap* bitmap, std::vector<TRect>* holes, bool drawCentre, int state,
                     const TsMaskData& mask);
// One piece of PaintMaskBitmap: sourceRect of the mask's image into destRect (the smaller
// size, cut to both bitmaps), masked by the mask row for MaskType 1.
void CopyMaskPiece(const TRect& destRect, const TRect& sourceRect, bool corner,
                   const TsMaskData& mask, std::vector<TRect>* holes, TBitmap* bitmap);
