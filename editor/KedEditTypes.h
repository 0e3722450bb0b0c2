// Small value types shared by the editor units: text and screen positions,
// the selection modes and 8-bit character sets.
#pragma once

#include <bitset>
#include <cstdint>

// A position in the text: 1-based character index in the line and 1-based line.
struct TBufferCoord {
  int Char = 0;
  int Line = 0;
  friend bool operator==(const TBufferCoord&, const TBufferCoord&) = default;
};

// A position on the screen grid: 1-based column (tabs expanded) and 1-based
// display row (differs from the line when lines are wrapped).
struct TDisplayPos {
  int Column = 0;
  int Row = 0;
  friend bool operator==(const TDisplayPos&, const TDisplayPos&) = default;
};

inline TBufferCoord MakeTextPos(int aChar, int aLine) { return TBufferCoord{aChar, aLine}; }
inline TDisplayPos MakeDisplayPos(int aColumn, int aRow) { return TDisplayPos{aColumn, aRow}; }

enum class TKedSelectionMode : std::uint8_t { smNormal, smLine, smColumn };

// A set of 8-bit characters, indexed by the unsigned byte value.
using TKedCharSet = std::bitset<256>;
