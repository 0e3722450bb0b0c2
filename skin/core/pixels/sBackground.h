// What lies behind a painted area: a bitmap with the area's offset in it, or a plain colour.
// Painters show it where their images have the key colour.
#pragma once

#include <cstdint>

#include "framework/Graphics.h"
#include "framework/Types.h"

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

// What a control asks its parent with CmdGetBgInfo (a pointer to it is the LParam). The
// answer: BgType 1 with Color, or 2 with Bmp and where the asker's origin lies in it (X, Y).
// With PleaseDraw the parent copies R of its image (from X, Y) into DrawDC instead.
struct TsBackgroundRequest {
  TBitmap* Bmp = nullptr;
  TColor Color = 0;
  int32_t X = 0;
  int32_t Y = 0;
  TRect R{};
  uint8_t BgType = 0;  // 0 no answer, 1 colour, 2 bitmap
  bool PleaseDraw = false;
  void* DrawDC = nullptr;  // the device context, as a handle
};
