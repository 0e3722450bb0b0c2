// Copies and blends of 32-bit skin images: keyed copies (key-colour pixels left out or
// replaced by the background), alpha copies with transparency, tint and reflection,
// one-weight and mask-weighted blends, glyph painting, nine-slice copies, rotation and the
// creation of 32-bit bitmaps.
//
// Pixels and the key colour as in sAlphaGraph.h: a full key match is a pixel whose 32 bits
// are 0x00FF00FF. Keys given as TColor are compared in pixel byte order. Every routine
// clips source and destination areas to both bitmaps (negative positions cut the copied
// area); a routine given a bitmap that is missing, empty or not 32-bit where it needs one
// paints nothing. Rectangles have their right and bottom edges exclusive.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/Graphics.h"
#include "framework/Types.h"
#include "skin/core/pixels/sBackground.h"

enum TsDisabledKindItem { dkBlended, dkGrayed };
using TsDisabledKind = TSet<TsDisabledKindItem>;

// "No blend colour" for CopyImageWithEffects.
constexpr TColor NoBlendColor = clNone;

// A new 32-bit bitmap of that size (black, alpha 0).
std::unique_ptr<TBitmap> CreateBmp32(int width, int height);
// A new bitmap of the same size and pixel format; contents not copied.
std::unique_ptr<TBitmap> CreateBitmapLike(const TBitmap* bitmap);

// The source copied to (x, y) except its key pixels; copied pixels get alpha 255. A source
// that is not 32-bit is compared as 24-bit pixels; the caller's bitmap is never converted.
void CopyKeyedBitmap(TBitmap* dest, const TBitmap* source, int x, TColor key, int y);
// sourceRect copied to (x, y) exactly, every pixel with its alpha.
void CopyBitmapRect(TBitmap* dest, int x, int y, const TBitmap* source, const TRect& sourceRect);
// A new 32-bit bitmap of the area's size holding that area of the source (of any pixel
// format; the caller's bitmap is not converted); what lies outside the source stays clear.
std::unique_ptr<TBitmap> CopyBitmapArea(const TBitmap& source, const TRect& area);
// sourceRect copied to `at` as it is, leaving out pixels equal to the key.
void CopyRectSkippingKey(TBitmap* dest, TPoint at, const TBitmap* source, const TRect& sourceRect,
                         TColor key);
// sourceRect copied to `at`. With useBackground and a background bitmap, key pixels show that
// bitmap and every copied pixel turns opaque; with a bitmap but without useBackground key
// pixels keep the destination's pixels; without a bitmap they take the fill colour.
void CopyRectWithBackground(TBitmap* dest, TPoint at, const TBitmap* source,
                            const TRect& sourceRect, TColor key, bool useBackground,
                            const TsBackgroundSource& background);
// sourceRect blended onto `at`: colour channels d := Round(s - (s - d) * t); key pixels of
// the source skipped; alpha unchanged.
void BlendBitmapKeyed(TBitmap* dest, TPoint at, const TBitmap* source, const TRect& sourceRect,
                      TColor key, double t);
// Every non-key pixel moves toward the colour: channel := Round(k * (channel - c) + c).
void TintBitmap(TBitmap* bitmap, TColor color, double k);
// The colour mixed in by the coverage of a mask of the same size.
void ColorizeByMask(TBitmap* bitmap, const TBitmap* mask, TColor color);
// Whole-image blend of two bitmaps of equal size; dest keeps weight/255.
void BlendBitmaps(TBitmap* dest, const TBitmap* source, uint8_t weight);
// sourceRect blended onto dest at point; dest keeps weight/255.
void BlendBitmapRect(TBitmap* dest, const TBitmap* source, uint8_t weight, TPoint point,
                     const TRect& sourceRect);
// result := ((first - second) * w + second * 256) shr 8 per byte; with a mask the weight is
// the mask's byte at the same place. All bitmaps of one size, else nothing.
void MixBitmaps(TBitmap* result, const TBitmap* first, const TBitmap* second, uint8_t weight,
                const TBitmap* mask);
// The source over the destination by its alpha, weakened where the mask's red is high.
void BlendByAlphaMask(TBitmap* dest, const TBitmap* source, const TBitmap* mask, const TRect& r);
// sourceRect of source copied into destRect of dest by the source's per-pixel alpha.
void CopyAlphaBitmap(const TRect& destRect, const TRect& sourceRect, TBitmap* dest,
                     bool useBackground, const TsBackgroundSource& background,
                     const TBitmap* source);
// What CopyImageWithEffects adds to an alpha copy; the defaults add nothing.
struct TsImageEffects {
  int Transparency = 0;              // percent more transparent than the source
  TColor BlendColor = NoBlendColor;  // a grey tint toward this colour
  bool Reflected = false;            // a fading mirror image below
  // Key pixels of the source show the background's bitmap when set.
  bool UseBackground = false;
  TsBackgroundSource Background{};
};
// sourceRect of source copied into destRect of dest by its alpha, with the effects.
void CopyImageWithEffects(TBitmap* dest, const TRect& destRect, const TBitmap* source,
                          const TRect& sourceRect, const TsImageEffects& effects);
// A new 32-bit bitmap turned by 90 degrees (clockwise: (x, y) -> (height - 1 - y, x));
// null for a source that is not 32-bit. With freeSource the source is released.
std::unique_ptr<TBitmap> RotateBitmap90(std::unique_ptr<TBitmap>& bitmap, bool clockwise,
                                        bool freeSource);
std::unique_ptr<TBitmap> RotateBitmap90(const TBitmap* bitmap, bool clockwise);
// One byte channel (0 blue .. 3 alpha) copied from the 32-bit bitmap into the 8-bit one
// (toEightBit) or back, over the area both share.
void CopyBitmapChannel(TBitmap* bitmap32, TBitmap* bitmap8, int channel, bool toEightBit);

struct TsNineSliceModes {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;  // 0 tile, 1 stretch, other: nothing
};
// How a nine-part copy cuts its source and fills the edges and the centre.
struct TsNineSlice {
  TRect Margins{};       // widths of the source's left, top, right and bottom parts
  TRect CornerLimits{};  // no corner or edge thicker than these (left, top, right, bottom)
  TsNineSliceModes EdgeModes{};
  bool DrawCentre = true;
  int CentreMode = 0;  // 0 tile, 1 stretch, other: nothing
};
// Nine-part copy of sourceRect into destRect: corners copied, edges and centre tiled or
// stretched.
void CopyNineSlice(TBitmap* dest, const TRect& destRect, const TBitmap* source,
                   const TRect& sourceRect, const TsNineSlice& slice);
// Stretches sourceRect of source into destRect of dest (bilinear, 16.16 fixed point).
void StretchRect32(TBitmap* dest, const TRect& destRect, const TBitmap* source,
                   const TRect& sourceRect);

// Which image of a button glyph is painted, and how.
struct TsGlyphLook {
  int Count = 1;  // images side by side in the glyph
  // With several images: 0 the first, 1 the second, 2 the one of State from the third on.
  int Mode = 0;
  int State = 0;
  int Blend = 0;  // percent of what lies below kept (a single image in mode 0)
  bool Enabled = true;
  TsDisabledKind DisabledKind{};  // how a disabled single image looks
};
// One image of a button glyph painted at rect's top-left.
void PaintGlyph(TBitmap* dest, const TRect& rect, const TBitmap* glyph, const TsGlyphLook& look);
// A soft rounded shadow of a colour over r: intensity percent, corner radius, blur size.
void PaintShadowRect(TBitmap* bitmap, const TRect& r, int intensity, int radius, int blurSize,
                     TColor color);

// Layered windows exist: on Windows always, false in the portable build.
bool HasLayeredWindows();
