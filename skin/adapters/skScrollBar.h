// A skinned scroll bar and its geometry: its scroll information, where its thumb lies, which
// part a point hits, where a dragged thumb goes and where the bars lie in their window. Only
// numbers: the scrolling adapter (skScrollWndWin32.h) reads the window and carries out.
#pragma once

#include <cstdint>

#include "framework/Types.h"

class TskScrollWnd;

// A bar's scroll information as the window keeps it (the fields of SCROLLINFO we read).
struct TScrollBarInfo {
  int32_t nMin = 0;
  int32_t nMax = 0;
  uint32_t nPage = 0;
  int32_t nPos = 0;
  int32_t nTrackPos = 0;
};

// Which bar; the numbers are those the program's callers pass for a bar.
enum class TScrollBarKind : uint16_t { Horizontal = 0, Vertical = 1 };

// Parts of a bar; their numbers are the scroll codes a press on them sends.
enum class TScrollBarPart : int {
  None = -1,
  FirstArrow = 0,   // left or top arrow: SB_LINEUP
  SecondArrow = 1,  // right or bottom arrow: SB_LINEDOWN
  PageBefore = 2,   // SB_PAGEUP
  PageAfter = 3,    // SB_PAGEDOWN
  Thumb = 5,        // SB_THUMBTRACK
};
// The scroll code a press on the part sends.
constexpr int ScrollCodeOf(TScrollBarPart part) { return static_cast<int>(part); }
// An arrow or a page area: a press on it scrolls and repeats.
constexpr bool IsArrowOrPage(TScrollBarPart part) {
  return part >= TScrollBarPart::FirstArrow && part <= TScrollBarPart::PageAfter;
}

// One skinned bar of a scrolling adapter.
class TskScrollBar {
 public:
  static constexpr uint16_t kStyleHasBar = 0x8;
  static constexpr int kDefaultMinThumbLength = 10;

  uint16_t StyleFlags = 0;  // kStyleHasBar: the window's style has this bar
  bool Shown = false;       // the bar takes space in the non-client area
  TScrollBarInfo Info;
  int ArrowLength = -1;  // >= 0 used as is; -n: n times the default
  int Thickness = -1;    // same rule
  TScrollBarKind Kind = TScrollBarKind::Horizontal;
  int MinThumbLength = kDefaultMinThumbLength;
  TskScrollWnd* Owner = nullptr;

  bool IsVertical() const { return Kind == TScrollBarKind::Vertical; }
};

// A bar size as stored (`value`) for the default `unit`: 0 or more is used unchanged, -n is n
// times the unit.
int ResolveScrollBarSize(int value, int unit);

// Thumb of a bar lying in `rect` with arrows of `arrowLength`: its length and where it starts
// along the bar (in rect's coordinates). Never shorter than the bar's MinThumbLength while the
// range is not empty; as long as an arrow without a page size.
struct TThumbGeometry {
  int Length = 0;
  int Start = 0;
};
TThumbGeometry GetThumbGeometry(const TskScrollBar& bar, const TRect& rect, int arrowLength);

// The part of a horizontal (vertical) bar lying in `rect` at (x, y), or None. A bar too short
// for its two arrows is two half arrows; without room for a thumb there are no page areas.
TScrollBarPart GetHorzBarPartAt(const TskScrollBar& bar, const TRect& rect, int y, int x,
                                int arrowLength);
TScrollBarPart GetVertBarPartAt(const TskScrollBar& bar, const TRect& rect, int y, int x,
                                int arrowLength);
// Chooses by the bar's Kind.
TScrollBarPart GetBarPartAt(const TskScrollBar& bar, const TRect& rect, int y, int x,
                            int arrowLength);

// Where a dragged thumb lies and which position it stands for. `barRect` is the bar at the
// press, `mouse` the mouse along the bar, `grabOffset` the distance from the thumb's start to
// the mouse at the press, `thumbLength` the thumb's length then. Start is in barRect's
// coordinates; Position is a scroll position within the bar's range.
struct TThumbDrag {
  int Start = 0;
  int Position = 0;
};
TThumbDrag DragThumbH(const TskScrollBar& bar, const TRect& barRect, int mouse, int grabOffset,
                      int thumbLength, int arrowLength);
TThumbDrag DragThumbV(const TskScrollBar& bar, const TRect& barRect, int mouse, int grabOffset,
                      int thumbLength, int arrowLength);

// Where the bars lie in a window. `window` is the window rectangle (any coordinates), the edges
// are the widths of the window's own frame, the thicknesses count only for a bar that is shown
// (pass 0 otherwise).
struct TScrollBarLayout {
  TRect Window;
  int EdgeLeft = 0, EdgeTop = 0, EdgeRight = 0, EdgeBottom = 0;
  int HorzThickness = 0;  // 0 when the horizontal bar is not shown
  int VertThickness = 0;  // 0 when the vertical bar is not shown
  bool LeftScrollBar = false;
};
TRect HorzBarRect(const TScrollBarLayout& layout);
TRect VertBarRect(const TScrollBarLayout& layout);
// The square between the two bars, relative to the window's top-left corner.
TRect CornerSquareRect(const TScrollBarLayout& layout);
