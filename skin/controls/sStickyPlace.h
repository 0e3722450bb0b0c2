// Where a sticky label goes beside the control it is attached to (and, swapped, where the
// control goes beside the label): portable, so the placing rule is tested natively.
#pragma once

#include "framework/Types.h"

enum TAlignTo { altLeft, altTop, altBottom, altRight };

// The side opposite to a side.
TAlignTo OppositeSide(TAlignTo side);
// The top-left of a moving control of that size beside the target on that side, `gap` pixels
// away; centred along the target's height on the left and right sides.
TPoint StickyPlace(const TRect& target, int movingWidth, int movingHeight, TAlignTo side, int gap);
