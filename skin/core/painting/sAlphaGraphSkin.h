// The parts of the pixel core that read a skin manager's tables: the masks of a skin painted
// into 32-bit bitmaps (portable), captions written in a section's colours and the size of the
// small check-box glyph (Win32).
#pragma once

#include <cstdint>
#include <string>

#include "framework/Graphics.h"
#include "framework/Types.h"
#include "skin/core/pixels/sBackground.h"
#include "skin/core/skinfiles/sMaskData.h"

class TsSkinManager;

// A text in a skin section's colours: callers name only the fields they need. Left at their
// defaults: no section (the canvas's font colour), the normal colours, enabled, the default
// manager.
struct TsSectionText {
  std::string Text{};
  TRect R{};
  uint32_t Format = 0;  // DrawText flags
  int SectionIndex = -1;
  bool Hot = false;                  // the section's hot colours
  bool Enabled = true;               // DrawSectionText: disabled text mixes font and section colour
  TsSkinManager* Manager = nullptr;  // null: the default manager
};

// The text on a 32-bit bitmap in the font colour of the section's state (hot when asked and
// the section has states), first once per shadow colour that is not -1, shifted one pixel
// left, up, right or down, when withShadows. With an invalid section, once in the canvas's
// font colour. Without a manager nothing is drawn.
void WriteTextOnBitmap32(TBitmap* bitmap, const TsSectionText& text, bool withShadows);

// The small check-box glyph: the skin's SMALLCHECKED state size (width + 2) when the
// manager is active and has that mask, else the system's check-box size.
int CheckBoxWidth(const TsSkinManager* manager);
int CheckBoxHeight(const TsSkinManager* manager);

// ---- masks of the skin painted into 32-bit bitmaps (portable) ---------------------------------
//
// A mask holds ImageCount state images side by side; a masked mask (MaskType 1) has a second
// row under the colours whose red byte says how much of what lies below shows (0 the mask's
// colour, 255 what lies below). Pixels whose 32 bits are 0x00FF00FF are the key: they show
// the background source or are left alone. Every copy is cut to both bitmaps; a piece that
// reaches outside paints only the part inside.
// The image a mask's SourceRect lies in: its own, else its manager's master image; null when
// it has neither.
const TBitmap* MaskSourceImage(const TsMaskData& mask);

// sourceRect stretched over destRect by the nearest pixel (the system's colour-on-colour
// stretch: no colours in between), cut to the destination; nothing for a source rectangle
// that reaches outside its bitmap.
void StretchNearest32(TBitmap* dest, const TRect& destRect, const TBitmap* source,
                      const TRect& sourceRect);

// Border widths fitted into a length: when the length is below first + second, each loses
// half the excess (the second one more for an odd length), none below 0.
struct TsFittedWidths {
  int First = 0;
  int Second = 0;
};
TsFittedWidths FitBorderWidths(int first, int second, int length);

// sourceRect of the mask's own image (or of maskImage) mixed into destRect by its mask row,
// which lies maskRowOffset rows below; both rectangles cut to the smaller size and to both
// bitmaps. Mixed pixels get alpha 255. Key pixels show the background (its bitmap at the
// destination position plus its X and Y, or its fill colour) when useBackground is set, and
// are left alone otherwise.
void BlendMaskedRect(const TRect& destRect, const TRect& sourceRect, TBitmap* dest,
                     int maskRowOffset, bool useBackground, const TsBackgroundSource& background,
                     const TBitmap* maskImage);

// The nine-piece border of a mask over r for a state (limited to the last image): corners
// copied (key pixels show the background when cornerBackground is set), edges and centre
// (DrawFlags 4) tiled, or stretched with DrawFlags 1. Nothing in state 0 with DrawFlags 2.
void PaintMaskRect(TBitmap* bitmap, const TRect& r, const TsMaskData& mask, int state,
                   bool cornerBackground, const TsBackgroundSource& background);
// One state image of a mask with its top-left corner at the point.
void PaintMaskGlyph(TBitmap* bitmap, TPoint point, int state, const TsMaskData& mask,
                    const TsBackgroundSource& background);
// The copy step of PaintMaskGlyph from the given image (the mask's own or the master).
void CopyMaskImagePart(const TRect& destRect, const TRect& sourceRect, TBitmap* bitmap,
                       const TsMaskData& mask, const TBitmap* sourceImage);
// A masked copy out of the master image, the mask row half the mask's source height below;
// key pixels show the background.
void BlendMasterMaskedRect(const TRect& destRect, const TRect& sourceRect, TBitmap* bitmap,
                           const TsMaskData& mask, const TsBackgroundSource& background);

// Corner codes of RestoreKeyedPixels.
enum : int {
  CornerTopLeft = 13,
  CornerTopRight = 14,
  CornerBottomLeft = 16,
  CornerBottomRight = 17
};
// Key-coloured pixels of r take the background bitmap's pixels from origin on; with a mask
// index the mask's corner image decides which pixels are keyed.
void RestoreKeyedPixels(TBitmap* bitmap, const TRect& r, const TBitmap* background, TPoint origin,
                        int corner, const TsSkinManager* manager, int maskIndex);

// Where the mask's image (maskRect, placed with its top-left at `at` of the bitmap) has a key
// pixel, the bitmap's pixel takes the background: its bitmap at the same place plus X and Y
// (while inside it), or its fill colour. FillKeyedCorner is the step for plain masks,
// FillKeyedCornerRect for masked ones; both do the same per pixel.
void FillKeyedCornerRect(TBitmap* bitmap, const TBitmap* maskImage, const TRect& maskRect,
                         TPoint at, const TsBackgroundSource& background);
void FillKeyedCorner(TBitmap* bitmap, const TBitmap* maskImage, const TRect& maskRect, TPoint at,
                     const TsBackgroundSource& background);
// The four corners of a border mask's state image laid over the corners of the whole bitmap:
// their open (key) pixels show the background. A mask without an image count that has its
// own image counts as three masked states over the whole image.
void FillMaskCorners(TBitmap* bitmap, const TsMaskData& mask, int state,
                     const TsBackgroundSource& background);
