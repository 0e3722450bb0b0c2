// The glyph of a combo edit's button: which image list it shows (its own, or the built-in
// button pictures when it names no image of its own), how many state cells one picture holds
// and how wide the button becomes. The portable half; the images themselves are Win32's.
#pragma once

#include "framework/Types.h"

// The size of one picture of an image list and whether the list is set at all.
struct TsGlyphList {
  bool Assigned = false;
  int Width = 0;
  int Height = 0;
  int Count = 0;
};

// The size of the built-in button pictures: three 16 x 16 state cells side by side.
constexpr TsGlyphList BuiltInButtonGlyphSize{true, 48, 16, 5};

// The edit's own list when it is set and holds the image index; the built-in pictures
// otherwise.
bool UsesOwnGlyphList(const TsGlyphList& own, int imageIndex);
// What the button shows, for its own list and image index.
struct TsGlyphModeSize {
  int CellCount = 1;  // state cells per picture
  int GlyphWidth = 0;
  int GlyphHeight = 0;
  int ButtonWidth = 0;  // the glyph and a pixel on either side
};
TsGlyphModeSize GlyphModeSize(const TsGlyphList& own, int imageIndex);
