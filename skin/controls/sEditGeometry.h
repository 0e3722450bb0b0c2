// Where a skinned edit's frame ends and its text starts, and the text it shows: the numbers
// behind the edit's cached picture, kept apart from the window so they are tested natively.
#pragma once

#include <string>

#include "framework/Types.h"

// What lies around an edit's text: its border (3-D borders are one pixel wider) and the bevel
// edges drawn inside it.
struct TsEditFrame {
  bool HasBorder = true;  // BorderStyle is not bsNone
  bool Ctl3D = true;
  int BevelEdges = 0;  // the bevel's inner and outer edges that are drawn (0, 1 or 2)
};

// The width of the frame strips a non-client paint copies from the cache: the border, or,
// without one, the bevel edges.
int EditBorderWidth(const TsEditFrame& frame);
// The inset of the text in the cached picture: border and bevel edges together.
int EditTextInset(const TsEditFrame& frame);
// The rectangle the cached text is drawn in: one pixel inside the inset at the top left.
TRect EditTextRect(int width, int height, int inset);
// The text as the edit shows it: one password character per character when there is one.
std::string ShownEditText(const std::string& text, char passwordChar);
