// What lies behind a painted area: a bitmap with the area's offset in it, or a plain colour.
// Painters show it where their images have the key colour.
#pragma once

#include "framework/Graphics.h"

struct TsBackgroundSource {
  TBitmap* Bmp = nullptr;  // not owned
  int X = 0;               // offset of the painted area in Bmp
  int Y = 0;
  TColor FillColor = clFuchsia;  // used when there is no bitmap
  bool HasBitmap = false;
};

// A source for painters that need no background.
inline const TsBackgroundSource EmptyBackgroundSource{nullptr, -99, -99, clFuchsia, false};

// The bitmap with that offset; fill colour 0xFF00FF.
inline TsBackgroundSource MakeBackgroundSource(TBitmap* bitmap, int x, int y) {
  return {bitmap, x, y, clFuchsia, true};
}
