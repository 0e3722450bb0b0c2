// Border masks painted over whole bitmaps: a control's image framed by its mask in nine
// pieces, with the transparent pixels of the corners collected so the caller can cut them
// out of the window's region (shaped buttons). Portable: the holes come back as one-pixel-high
// rectangles; the Win32 half removes them from a region.
#pragma once

#include <vector>

#include "framework/Graphics.h"
#include "framework/Types.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/pixels/sBackground.h"
#include "skin/core/skinfiles/sMaskData.h"

class TsCommonData;

// The mask's state image over the whole bitmap: corners, edges, then the centre when
// drawCentre is set and the mask has DrawFlags 4. Key pixels of the corners are not copied;
// with holes given, each horizontal run of them is appended as a rectangle.
void PaintMaskBitmap(TBitmap* bitmap, std::vector<TRect>* holes, bool drawCentre, int state,
                     const TsMaskData& mask);
// One piece of PaintMaskBitmap: sourceRect of the mask's image into destRect (the smaller
// size, cut to both bitmaps), masked by the mask row for MaskType 1.
void CopyMaskPiece(const TRect& destRect, const TRect& sourceRect, bool corner,
                   const TsMaskData& mask, std::vector<TRect>* holes, TBitmap* bitmap);

// ---- a control's border over its cache bitmap ----

// What lies behind the skin data's owner, in the owner's own coordinates: its parent's
// background moved by the owner's place in it, or a colour.
TsBackgroundSource BackgroundBehind(TsCommonData& data);
// The open corner pixels of the control's border take its parent's background; nothing
// without a border mask, a cache bitmap or an owner control.
void FillBorderCorners(TsCommonData& data, TsPaintState state);
// The border mask redrawn on the cache over the parent's current background.
void PaintCtrlBorder(TsCommonData& data, TsPaintState state);
// The cache half of a control's non-client frame of width W over r: the cache sized to the
// control, the border mask over r and the band up to W in the background colour; inner gets
// the rectangle inside the frame. False without a border mask: the caller draws a plain
// frame in BgColor and inner is left alone.
bool PaintBorderIntoCache(const TRect& r, int width, TRect& inner, TsPaintState state,
                          TsCommonData& data);
