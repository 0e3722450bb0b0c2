// The parts of the pixel core that read a skin manager's tables: captions written onto
// 32-bit bitmaps in a section's colours, and the size of the small check-box glyph. They are
// built with the skin manager, which itself builds on the pixel core (Win32 only).
#pragma once

#include <cstdint>
#include <string>

#include "framework/Graphics.h"
#include "framework/Types.h"

class TsSkinManager;

// The text on a 32-bit bitmap in the font colour of the section's state (hot when asked and
// the section has states), first once per shadow colour that is not -1, shifted one pixel
// left, up, right or down. With an invalid section, once in the canvas's font colour. A null
// manager means the default manager; with none nothing is drawn.
void WriteTextOnBitmap32(TBitmap* bitmap, const std::string& text, bool withShadows, const TRect& r,
                         uint32_t format, int sectionIndex, bool hot, TsSkinManager* manager);

// The small check-box glyph: the skin's SMALLCHECKED state size (width + 2) when the
// manager is active and has that mask, else the system's check-box size.
int CheckBoxWidth(const TsSkinManager* manager);
int CheckBoxHeight(const TsSkinManager* manager);
