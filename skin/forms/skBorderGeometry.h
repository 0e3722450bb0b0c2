// Where the extended border window lies and what its pixels answer, decided from the
// owner's window facts: the window carries the owner's whole frame image (with the skin's
// wider border and title and the shadow around them) right behind the owner window.
// Points and rectangles are in the border window's coordinates, which are the frame
// image's. Portable: the border window's Win32 half reads the facts and applies the answers.
#pragma once

#include "framework/Types.h"
#include "skin/forms/sFrameMetrics.h"

// How far the owner window's left edge lies right of the border window's: the skin's
// border and the left shadow less the owner's own frame.
int GetOwnerOffsetX(const TsFormFacts& f);
// How far the owner window's top lies below the border window's: the top shadow and the
// skin's title (when the owner has a caption) less the owner's own frame and caption. With
// a compact maximized title the owner's frame, the top shadow and the title delta.
int GetOwnerOffsetY(const TsFormFacts& f);

// The border window's place for an owner window at ownerRect (screen) and a frame image of
// imageSize. A maximized owner's window shows no bottom frame and shadow; with desktop
// composition it is 5 pixels shorter still.
struct TskBorderPlacement {
  TRect Bounds;     // screen
  TSize ShownSize;  // the part of the image shown, from its top-left
  friend bool operator==(const TskBorderPlacement&, const TskBorderPlacement&) = default;
};
TskBorderPlacement PlaceBorderWindow(const TsFormFacts& f, const TRect& ownerRect, TSize imageSize,
                                     bool composition);

// The border window's region: Bounds less Hole (an empty Hole: none). While the owner's
// whole image is shown (an animation) nothing is cut out; otherwise the owner's client area
// and menu line, which the owner window shows itself, are.
struct TskBorderRegion {
  TRect Bounds;
  TRect Hole;
  friend bool operator==(const TskBorderRegion&, const TskBorderRegion&) = default;
};
TskBorderRegion PlanBorderRegion(const TsFormFacts& f, TSize windowSize, bool wholeImage);

// The point lies in the shadow, outside the frame (never for a maximized owner).
bool IsOutsideFrame(const TsFormFacts& f, TSize windowSize, TPoint p);

// What the owner says about the point besides its geometry.
struct TskBorderHitFacts {
  // The title button's hit code under the point (HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP,
  // 1000 + n for user buttons), 0 for none, -1 for a button that does nothing now.
  int ButtonCode = 0;
  TRect IconRect{};     // the title icon, empty when none
  bool GripAt = false;  // the point lies on the size grip
};
// The hit-test code of a point inside the frame: the title button, a sizing edge of a
// sizeable owner that is not maximized, the icon (HTSYSMENU), the title (HTCAPTION), the
// menu line (HTMENU), the grip (HTBOTTOMRIGHT), else 0.
int BorderHitTest(const TsFormFacts& f, TSize windowSize, TPoint p, const TskBorderHitFacts& owner);

// A double click on a sizing edge of the border window stretches the owner over the work
// area: a left or right edge over its width, a top or bottom edge over its height, so that
// the frame the user sees (the wider border and title) meets the work area's edges; the
// same double click again gives the owner back its place and size along that axis.
enum class TskStretchAxis { None, Width, Height };
// The axis a double click on the edge with hit code `code` stretches (None for others).
TskStretchAxis StretchAxisOf(int code);
// The owner's window rectangle stretched along the axis over the work area.
TRect StretchOwner(const TsFormFacts& f, const TRect& owner, const TRect& workArea,
                   TskStretchAxis axis);
// What a double click on an edge does, remembered per axis: stretch the owner, or give
// back what it was when the owner still lies where the stretch put it (a move or a size
// since makes the next double click stretch anew).
class TskEdgeStretch {
 public:
  // The owner's new window rectangle for a double click along the axis.
  TRect Toggle(const TsFormFacts& f, const TRect& owner, const TRect& workArea,
               TskStretchAxis axis);
  bool Stretched(TskStretchAxis axis, const TRect& owner) const;

 private:
  struct TSaved {
    bool Active = false;
    int Start = 0, Length = 0;  // the owner's left and width (or top and height)
    int StretchedStart = 0, StretchedLength = 0;
  };
  TSaved& SavedFor(TskStretchAxis axis) { return axis == TskStretchAxis::Width ? width_ : height_; }
  const TSaved& SavedFor(TskStretchAxis axis) const {
    return axis == TskStretchAxis::Width ? width_ : height_;
  }
  TSaved width_, height_;
};
