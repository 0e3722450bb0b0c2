// The mouse over a skinned form's frame, decided without the window: what a point of the frame
// hits (sizing edges and corners, caption, title icon, menu line, size grip), what a double
// click on the caption does, the rectangle a rubber-band frame shows while the user moves or
// sizes the form, and where screen snapping puts a form near the work area's edges. The title
// buttons are hit-tested by their own layout first; the provider asks these for the rest.
#pragma once

#include "framework/Types.h"
#include "skin/forms/sFrameMetrics.h"

// The hit codes of the frame, as the system numbers them (WM_NCHITTEST answers).
enum TsFrameHit : int {
  fhNowhere = 0,
  fhClient = 1,
  fhCaption = 2,
  fhSysMenu = 3,
  fhMenu = 5,
  fhLeft = 10,
  fhRight = 11,
  fhTop = 12,
  fhTopLeft = 13,
  fhTopRight = 14,
  fhBottom = 15,
  fhBottomLeft = 16,
  fhBottomRight = 17,
};

// A code of a sizing edge or corner.
constexpr bool IsSizingHit(int code) { return code >= fhLeft && code <= fhBottomRight; }

// What the frame's hit test needs besides the window's facts, in frame-image coordinates.
struct TsFrameHitFacts {
  TsFormFacts Form;
  TRect IconRect{};  // the title icon; empty without one
  // The size grip at the bottom right corner of the client area, when it is shown.
  bool GripVisible = false;
  TRect GripRect{};
};

// What a point of the frame hits, title buttons aside: the sizing edges and corners of a
// sizeable form that is not maximized (b pixels of the frame, a corner where two edges meet),
// the caption band (the icon: fhSysMenu), the menu lines, the grip, else the client.
// Borders that do not size the form answer fhClient: the system knows them better.
int FrameHitTest(const TsFrameHitFacts& f, TPoint p);

// What a double click on the caption does.
enum class TsCaptionDoubleClick { None, Restore, Maximize };
struct TsCaptionDoubleClickFacts {
  bool CloseVisible = true;  // the system menu shows its close item
  bool MaxEnabled = true;
  bool RestoreEnabled = false;
  bool Framed = true;
  bool Minimized = false;
  bool Maximized = false;
};
TsCaptionDoubleClick CaptionDoubleClick(const TsCaptionDoubleClickFacts& f);

// A rubber-band frame being dragged: what the form was when the drag began.
struct TsRubberFrame {
  TRect Form{};     // the form's window rectangle (screen)
  TPoint Start{};   // the mouse at the drag's first move (screen)
  int HitCode = 0;  // the edge or corner dragged (fhLeft .. fhBottomRight)
  TSize MinSize{};  // the smallest size the form may take
};
// The sized frame for the mouse at `mouse`: a side edge changes only the width, the top or
// bottom edge only the height, a corner both; the dragged edge stops where the form would
// become smaller than MinSize, and the opposite edges stay where they were.
TRect SizedFrameRect(const TsRubberFrame& r, TPoint mouse);
// The moved frame: the form's rectangle shifted by the mouse's way since the start.
TRect MovedFrameRect(const TRect& form, TPoint start, TPoint mouse);
// The least size a drag may give the form: the form's own minimum where it has one and the
// system's minimum track size, whichever is larger.
TSize RubberMinSize(TSize constraints, TSize systemMinTrack);

// Screen snapping: Pos moves to Edge - Offset when Pos + Offset lies closer than Buffer to
// Edge.
void SnapToEdge(int& pos, int edge, int buffer, int offset);
struct TsSnapFacts {
  TRect WorkArea{};  // the work area of the form's monitor
  TSize Size{};      // the form's window size
  int Buffer = 10;   // how near an edge the form snaps to it
  // Extended borders: how far the frame the user sees reaches beyond the form's window at
  // the sides and the bottom, and the offset the top edge is tried with (minus how far that
  // frame reaches above the window).
  int SideOffset = 0;
  int TopOffset = 0;
};
// Where a form moved to `pos` ends: the right and bottom edges are tried before the left and
// top ones, and a later match wins (a form narrower than the work area by less than the
// buffer snaps to the left edge).
TPoint SnapFormPosition(TPoint pos, const TsSnapFacts& s);
