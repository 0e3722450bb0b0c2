// Pieces of the PNG format that both PNG codecs use: the Paeth predictor and the
// Adam7 interlace passes.
#pragma once

#include <cstdint>
#include <cstdlib>

namespace png_rows {

// The Paeth predictor of a byte from its left, upper and upper-left neighbours.
inline uint8_t Paeth(int left, int up, int upperLeft) {
  const int p = left + up - upperLeft;
  const int pa = std::abs(p - left);
  const int pb = std::abs(p - up);
  const int pc = std::abs(p - upperLeft);
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(left);
  if (pb <= pc) return static_cast<uint8_t>(up);
  return static_cast<uint8_t>(upperLeft);
}

// Adam7 passes: first row and column, and the steps between them.
inline constexpr int kStartRow[7] = {0, 0, 4, 0, 2, 0, 1};
inline constexpr int kStartColumn[7] = {0, 4, 0, 2, 0, 1, 0};
inline constexpr int kRowIncrement[7] = {8, 8, 8, 4, 4, 2, 2};
inline constexpr int kColumnIncrement[7] = {8, 8, 4, 4, 2, 2, 1};

}  // namespace png_rows
