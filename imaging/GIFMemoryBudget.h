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

// The most pixels one code of a frame's data can stand for: a string of the 4096-entry table.
constexpr int64_t kMaxGIFPixelsPerCode = 4096;

// Pixels that all frames of one file may declare beyond what their coded data can deliver
// (truncated frames keep their fill value there). A frame asking for more is refused before
// its buffer is allocated, so a file of a few hundred bytes costs a few megabytes at most.
constexpr int64_t kMaxGIFUnbackedPixels = int64_t{1} << 20;

// The buffer an animation plays in: the logical screen, but never larger than the rectangle
// it is drawn into. A screen drawn smaller is played at the drawn size, so a large declared
// screen costs nothing until it is shown that large.
inline TSize GIFDrawBufferSize(int screenWidth, int screenHeight, const TRect& drawn) {
  return {std::clamp(drawn.Width(), 0, std::max(0, screenWidth)),
          std::clamp(drawn.Height(), 0, std::max(0, screenHeight))};
}

// Whether a picture of the whole screen may be made: a screen holds no more than its frames
// delivered plus the unbacked allowance, so a large declared screen with little data in it is
// refused before its bitmap is allocated.
inline bool GIFScreenFits(int64_t screenPixels, int64_t framePixels) {
  return screenPixels <= std::min(kMaxGIFImagePixels, framePixels + kMaxGIFUnbackedPixels);
}
