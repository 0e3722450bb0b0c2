// Pieces of the PNG format that both PNG codecs use: the chunk CRC, the row filters and
// the Adam7 interlace passes.
#pragma once

#include <cstddef>
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

// The CRC-32 of PNG chunks (zlib's): crc is the value so far (0 to start), returned
// updated by the size bytes at data.
uint32_t Crc32(uint32_t crc, const void* data, size_t size);

// Undoes a row's filter in place: x holds the row's length bytes after its filter byte, up
// the row above (unfiltered, zeros for the first row), step the bytes per pixel (at least
// 1). Bytes wrap modulo 256; unknown filter types leave the row as it is.
void UnfilterRow(uint8_t filter, uint8_t* x, const uint8_t* up, size_t length, size_t step);

// Adam7 passes: first row and column, and the steps between them.
inline constexpr int kStartRow[7] = {0, 0, 4, 0, 2, 0, 1};
inline constexpr int kStartColumn[7] = {0, 4, 0, 2, 0, 1, 0};
inline constexpr int kRowIncrement[7] = {8, 8, 8, 4, 4, 2, 2};
inline constexpr int kColumnIncrement[7] = {8, 8, 4, 4, 2, 2, 1};

}  // namespace png_rows
