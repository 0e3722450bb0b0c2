// PaintMaskBitmap with a window region: the corners' transparent pixels are cut out of it.
#pragma once

#include <windows.h>

#include "skin/core/sBorders.h"

void PaintMaskBitmap(TBitmap* bitmap, HRGN region, bool drawCentre, int state,
                     const TsMaskData& mask);
