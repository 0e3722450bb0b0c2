// Separable filter resampling of 24-bit and 32-bit bitmaps: a horizontal pass into a work
// bitmap, then a vertical pass into the target, with one of seven kernels and integer
// weights in 16.16 fixed point.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/Graphics.h"

// Kernels by index: 0 box, 1 triangle, 2 Hermite, 3 bell, 4 B-spline, 5 sine window,
// 6 Mitchell. Other indexes are limited to 0..6.
constexpr int ResampleFilterCount = 7;
// The kernel's value at distance x >= 0 (the box is signed: -0.5 is outside) and its support.
double ResampleKernel(int filter, double x);
double ResampleSupport(int filter);

// One source pixel's share in a destination pixel.
struct TsContributor {
  int SourceIndex;  // always inside 0..source size - 1
  int32_t Weight;   // 16.16 fixed point
};
using TsContributorList = std::vector<TsContributor>;

// The contributors of every destination index along one axis. Indexes that fall before or
// past the source are mirrored at its edges and then kept inside it, so a kernel wider than
// a tiny source still reads only real pixels. The weights of each list add up to 65536.
std::vector<TsContributorList> BuildContributors(int destSize, int sourceSize, int filter);

// Resamples source to newWidth x newHeight into dest. A new width or height of 0 or less
// does nothing; a source under 2 x 2 raises Exception "Source bitmap is too small" and
// leaves both bitmaps unchanged; the same size copies. dest gets 32 bits per pixel for a
// 32-bit source (alpha resampled too), 24 otherwise. The source is never converted itself.
void StretchBitmap(TBitmap* source, TBitmap* dest, int newWidth, int filter, int newHeight);
