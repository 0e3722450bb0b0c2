#include "skin/controls/sStickyPlace.h"

TAlignTo OppositeSide(TAlignTo side) {
  switch (side) {
    case altLeft:
      return altRight;
    case altTop:
      return altBottom;
    case altBottom:
      return altTop;
    case altRight:
      return altLeft;
  }
  return side;
}

TPoint StickyPlace(const TRect& target, int movingWidth, int movingHeight, TAlignTo side, int gap) {
  // Integer division truncates toward zero, so a taller label sits half a pixel higher.
  const int middle = target.Top + (target.Height() - movingHeight) / 2;
  switch (side) {
    case altLeft:
      return TPoint{target.Left - movingWidth - gap, middle};
    case altTop:
      return TPoint{target.Left, target.Top - movingHeight - gap};
    case altRight:
      return TPoint{target.Right + gap, middle};
    case altBottom:
      return TPoint{target.Left, target.Bottom + gap};
  }
  return target.TopLeft();
}
