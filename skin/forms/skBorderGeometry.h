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
