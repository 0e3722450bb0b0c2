// One mask of a loaded skin: an image (its own, or a rectangle of the skin's master image)
// with its states side by side, and the two size helpers of a state image.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/Graphics.h"
#include "framework/Types.h"

class TsSkinManager;

// How a mask is used: 0 a bordered image, 1 a texture, 2 a glyph, 3 and 4 as the skin says.
enum : uint8_t { mkBorders = 0, mkTexture = 1, mkGlyph = 2 };

struct TsMaskData {
  std::unique_ptr<TBitmap> Image;  // own 32-bit image; null: the mask lies in the master image
  std::string SectionName;
  std::string PropertyName;
  TRect SourceRect{};      // right and bottom exclusive
  int16_t ImageCount = 0;  // state images side by side
  int16_t MaskType = 0;    // 0 colour only, 1 colour row plus mask row
  int16_t BorderWidth = 0;
  int16_t DrawFlags = 0;  // 1 stretch, 2 nothing in state 0, 4 paint the centre
  uint8_t MaskKind = mkBorders;
  TsSkinManager* Manager = nullptr;
  int16_t WidthLeft = 0;
  int16_t WidthTop = 0;
  int16_t WidthRight = 0;
  int16_t WidthBottom = 0;
};

// Width of one state image: ImageCount 0 gives 0, 1 the whole width, else width div count.
int MaskStateWidth(const TsMaskData& mask);
// Height of one state row: MaskType -1 gives 0, 0 the whole height, else height div (type + 1).
int MaskStateHeight(const TsMaskData& mask);
