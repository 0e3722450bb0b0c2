// Where the spin (up-down) and track bar adapters paint their parts: the two halves of an
// up-down and which one the pointer makes hot or pressed, and a track bar's channel, tick
// marks and the side its ticks stand on. Portable, tested as tables.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/Types.h"

// ---- up-down ----------------------------------------------------------------------------------

struct TsSpinHalves {
  TRect First;   // up, or left
  TRect Second;  // down, or right
};
// The halves of an up-down of that size; a vertical one leaves `leftOffset` pixels at its left
// to the window it is buddied with.
TsSpinHalves SpinHalves(TSize size, bool vertical, int leftOffset);
// The looks of the two halves (0 normal, 1 hot, 2 pressed) for the pointer at `pointer` in the
// window (outside: both normal).
struct TsSpinStates {
  int First = 0;
  int Second = 0;
};
TsSpinStates SpinStates(TSize size, bool vertical, bool pointerInside, TPoint pointer,
                        bool mouseDown);

// ---- track bar ----------------------------------------------------------------------------------

// The track bar's styles the adapter reads.
namespace trackbits {
constexpr uint32_t Vert = 0x2;
constexpr uint32_t Top = 0x4;  // also TBS_LEFT
constexpr uint32_t Both = 0x8;
constexpr uint32_t NoTicks = 0x10;
}  // namespace trackbits

// Which sides carry tick marks.
struct TsTickSides {
  bool TopOrLeft = false;
  bool BottomOrRight = false;
};
TsTickSides TickSides(uint32_t style);

// The channel rectangle of a channel image: as thick as one image less one pixel, centred
// across the reported channel.
TRect TrackChannelRect(const TRect& channel, bool vertical, int imageCrossSize);

struct TsTickPlace {
  TRect Channel{};  // TBM_GETCHANNELRECT (a vertical bar's already turned)
  TRect Thumb{};    // TBM_GETTHUMBRECT
  bool Vertical = false;
  int TickCount = 0;  // TBM_GETNUMTICS
  int TickLength = 4;
};
// The tick positions along the bar (x of a horizontal bar, y of a vertical one): the first at
// the thumb's centre over the channel's start, the last at its end. Fewer than two ticks make
// no marks (there is no step between them).
std::vector<int> TickPositions(const TsTickPlace& place);
// The top-left corner of one tick at position `along`, on the top (or left) side or the other.
TPoint TickCorner(const TsTickPlace& place, int along, bool topOrLeft);
