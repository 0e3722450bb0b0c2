// Where a skinned up-down's two halves lie, when a half has run into its limit, and how the
// look of the halves follows the mouse (hot, pressed, released).
#pragma once

#include <cstdint>

#include "framework/Types.h"

namespace sUpDown {

// The look of the two halves: one half at most is hot or pressed.
enum TsUpDownLook : uint8_t {
  udlNone = 0,
  udlFirstHot = 1,
  udlSecondHot = 2,
  udlFirstPressed = 3,
  udlSecondPressed = 4
};

struct TsUpDownHalves {
  TRect First;   // the upper half (vertical) or the left one (horizontal)
  TRect Second;  // the rest
};

// The first half takes the smaller share of an odd size: 21 pixels split as 10 + 11.
TsUpDownHalves UpDownHalves(TSize size, bool vertical);

struct TsUpDownRange {
  int Min = 0;
  int Max = 100;
  int Position = 0;
};

// The value a half runs into: the first half of a vertical up-down counts up to Max, the
// first half of a horizontal one down to Min (and the second halves the other way).
int HalfLimit(bool firstHalf, bool vertical, const TsUpDownRange& range);
bool HalfAtLimit(bool firstHalf, bool vertical, const TsUpDownRange& range);

// Which halves take no hot or pressed look: those at their limit, when inaccessibility shows.
struct TsBlockedHalves {
  bool First = false;
  bool Second = false;
};
TsBlockedHalves BlockedHalves(bool showInaccessibility, bool vertical, const TsUpDownRange& range);

// The look while the mouse is at p (client coordinates): the half under it hot, none over a
// blocked half or outside.
TsUpDownLook LookUnderMouse(TPoint p, TSize size, bool vertical, TsBlockedHalves blocked);
// The look after the left button went down: the hot half pressed unless it is blocked.
TsUpDownLook LookAfterPress(TsUpDownLook look, TsBlockedHalves blocked);
// The look after the button came up: a pressed half hot again, or none when the press
// brought it to its limit.
TsUpDownLook LookAfterRelease(TsUpDownLook look, TsBlockedHalves blocked);
// The state image a half paints in that look: 0 normal, 1 hot, 2 pressed.
int HalfPaintState(TsUpDownLook look, bool firstHalf);

}  // namespace sUpDown
