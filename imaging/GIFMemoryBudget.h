// What the GIF codec may allocate for one image, stated in one place: the frames of a loaded
// file share one pixel budget, and an animation is drawn through a buffer no larger than the
// area it is drawn on. A file of a few hundred bytes can declare frames and a logical screen
// of many gigabytes; in the 32-bit program that would take the address space the editor
// needs for the dump.
#pragma once

#include <algorithm>
#include <cstdint>

#include "framework/Types.h"

// Pixels (one byte each) that all frames read from one file may hold together; a single
// frame is held to it as well. Loading a file that asks for more raises EOutOfMemory.
constexpr int64_t kMaxGIFImagePixels = int64_t{1} << 28;

// The buffer an animation plays in: the logical screen, but never larger than the rectangle
// it is drawn into. A screen drawn smaller is played at the drawn size, so a large declared
// screen costs nothing until it is shown that large.
inline TSize GIFDrawBufferSize(int screenWidth, int screenHeight, const TRect& drawn) {
  return {std::clamp(drawn.Width(), 0, std::max(0, screenWidth)),
          std::clamp(drawn.Height(), 0, std::max(0, screenHeight))};
}
