// Shaped windows: the holes of a border mask's corners removed from a region.
#include "skin/core/sBordersWin32.h"

#include "framework/WinHandles.h"

void PaintMaskBitmap(TBitmap* bitmap, HRGN region, bool drawCentre, int state,
                     const TsMaskData& mask) {
  std::vector<TRect> holes;
  PaintMaskBitmap(bitmap, region ? &holes : nullptr, drawCentre, state, mask);
  for (const TRect& hole : holes) {
    TRegion cut(CreateRectRgn(hole.Left, hole.Top, hole.Right, hole.Bottom));
    if (cut) CombineRgn(region, region, cut.Get(), RGN_DIFF);
  }
}
