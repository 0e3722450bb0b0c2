// The lowest painting layer of the skin engine: direct access to the pixels of 32-bit
// bitmaps (TskFast32), the one-weight blend of one 32-bit bitmap into another
// (TskFastSum32), their 24-bit twins (TskFast24, TskFastSum24), and fills, alpha fills,
// colour blends and text written onto 32-bit bitmaps.
//
// Pixels are blue, green, red, alpha in memory (0xAARRGGBB as one value); a TColor
// (0x00BBGGRR) becomes a pixel by exchanging red and blue, its top byte becoming alpha.
// Every routine clips what it touches to the bitmaps it is given: a rectangle or point that
// lies partly or wholly outside paints only the part inside, or nothing. Rectangles have
// their right and bottom edges exclusive.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Graphics.h"
#include "framework/Types.h"
#include "skin/core/pixels/sBackground.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/pixels/sGraphics.h"

// Sizes of rectangles without overflow, whatever their coordinates.
constexpr int64_t SafeWidth(const TRect& r) { return int64_t{r.Right} - r.Left; }
constexpr int64_t SafeHeight(const TRect& r) { return int64_t{r.Bottom} - r.Top; }
// Coordinates within +-2^24: routines that add margins and offsets refuse larger ones.
constexpr bool IsSaneRect(const TRect& r) {
  constexpr int32_t limit = 1 << 24;
  return r.Left >= -limit && r.Left <= limit && r.Top >= -limit && r.Top <= limit &&
         r.Right >= -limit && r.Right <= limit && r.Bottom >= -limit && r.Bottom <= limit;
}

// The TColor as a pixel (red and blue exchanged; the top byte becomes alpha).
constexpr uint32_t ColorToPixel32(uint32_t color) { return SwapRedBlueBytes(color); }

// Direct access to the pixels of one 32-bit bitmap. Pixel (x, y) lies at
// FirstRow + y * RowStep + 4 * x; RowStep is negative for the framework's bottom-up rows.
class TskFast32 {
 public:
  // False (ImageWidth 0) for a bitmap under 2 x 2 pixels or a null one; EAssertionFailed
  // "Bitmap format is not supported" for a bitmap of 2 x 2 or more that is not 32-bit.
  bool AttachBitmap(TBitmap* bitmap);
  // The pixel as a TColor with alpha in the top byte; 0 outside the bitmap.
  uint32_t GetPixel(int x, int y) const;
  // Stores the colour (its top byte as alpha); nothing outside the bitmap.
  void SetPixel(int x, int y, uint32_t color);
  // Fills the rectangle with the pixel value, alpha forced to 255.
  void FillRect(const TRect& r, uint32_t pixel);
  uint32_t* PixelAddress(int x, int y) const {
    return reinterpret_cast<uint32_t*>(FirstRow + static_cast<ptrdiff_t>(y) * RowStep) + x;
  }

  TBitmap* Image = nullptr;
  int32_t ImageWidth = 0;
  int32_t ImageHeight = 0;
  ptrdiff_t RowStep = 0;
  uint8_t* FirstRow = nullptr;
};

// Blends SourceRect of SourceImage into DestRect of DestImage with one weight: each byte
// d := (d * W + s * (255 - W)) / 255 rounded to the nearest, W = DestWeight. Dividing by 255
// (not 256) makes W = 255 keep the destination and W = 0 take the source exactly, so 255
// over 255 stays 255 and the last step of a fade shows the new image alone. The 32-bit and the
// 24-bit blends differ only in their pixel format.
class TskFastSum {
 public:
  // False when either bitmap is null or under 2 x 2 pixels, or either is not of the blend's
  // pixel format.
  bool AttachBitmaps(TBitmap* source, TBitmap* dest);
  // Rows of DestRect from bottom to top; the source pixel of destination (x, y) is
  // (x - (DestRect.Left - SourceRect.Left), y - (DestRect.Bottom - SourceRect.Bottom)).
  // Only pixels inside both bitmaps are read and written.
  void Blend();

  TBitmap* SourceImage = nullptr;
  TBitmap* DestImage = nullptr;
  int32_t CommonWidth = 0;
  int32_t CommonHeight = 0;
  uint8_t* SourceFirstRow = nullptr;
  uint8_t* DestFirstRow = nullptr;
  ptrdiff_t SourceRowStep = 0;
  ptrdiff_t DestRowStep = 0;
  uint8_t DestWeight = 0;
  TRect DestRect;
  TRect SourceRect;

 protected:
  TskFastSum(TPixelFormat format, int bytesPerPixel)
      : format_(format), bytesPerPixel_(bytesPerPixel) {}

 private:
  TPixelFormat format_;
  int bytesPerPixel_;
  int32_t sourceWidth_ = 0, sourceHeight_ = 0, destWidth_ = 0, destHeight_ = 0;
};

class TskFastSum32 : public TskFastSum {
 public:
  TskFastSum32() : TskFastSum(pf32bit, 4) {}
};

// The 24-bit twins, for the cache bitmaps of the engine's 24-bit build. A pixel is three
// bytes, blue, green, red; pixel (x, y) lies at FirstRow + y * RowStep + 3 * x.
class TskFast24 {
 public:
  // False (ImageWidth 0) for a bitmap under 2 x 2 pixels or a null one; EAssertionFailed
  // "Bitmap format is not supported" for a bitmap of 2 x 2 or more that is not 24-bit.
  bool AttachBitmap(TBitmap* bitmap);
  // The pixel as a TColor (red in the low byte, 0 in the top byte); 0 outside the bitmap.
  uint32_t GetPixel(int x, int y) const;
  // Stores the colour's red, green and blue; its top byte is ignored. Nothing outside.
  void SetPixel(int x, int y, uint32_t color);
  uint8_t* PixelAddress(int x, int y) const {
    return FirstRow + static_cast<ptrdiff_t>(y) * RowStep + ptrdiff_t{3} * x;
  }

  TBitmap* Image = nullptr;
  int32_t ImageWidth = 0;
  int32_t ImageHeight = 0;
  ptrdiff_t RowStep = 0;
  uint8_t* FirstRow = nullptr;
};

// TskFastSum32 for two 24-bit bitmaps: the same weight rule, rectangles matched at their
// bottom and left edges, and only pixels inside both bitmaps touched.
class TskFastSum24 : public TskFastSum {
 public:
  TskFastSum24() : TskFastSum(pf24bit, 3) {}
};

// Rows of any non-empty 32-bit bitmap (also 1 x 1, unlike TskFast32); Valid() is false for
// a missing, empty or other bitmap. Row(y) is row y counted from the top.
class TPixels32 {
 public:
  explicit TPixels32(const TBitmap* bitmap);
  bool Valid() const { return firstRow_ != nullptr; }
  uint32_t* Row(int y) const {
    return reinterpret_cast<uint32_t*>(firstRow_ + static_cast<ptrdiff_t>(y) * rowStep_);
  }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < Width && y < Height; }
  int Width = 0;
  int Height = 0;

 private:
  uint8_t* firstRow_ = nullptr;
  ptrdiff_t rowStep_ = 0;
};

// Stores value into count consecutive pixels; nothing for a count of 0 or less.
void FillPixels32(uint32_t* first, int count, uint32_t value);
// Opaque fill of a 32-bit bitmap with a TColor; a bitmap under 2 x 2 is left alone.
void FillRect32(TBitmap* bitmap, const TRect& r, TColor color);
// The four edge strips of r, of the given widths, filled with an opaque colour.
void FillBorder32(TBitmap* bitmap, const TRect& r, int left, int top, int right, int bottom,
                  TColor color);
// Sets the alpha byte of every pixel of r; with skipKey, pixels whose full value is
// 0x00FF00FF keep theirs.
void FillAlphaRect(TBitmap* bitmap, const TRect& r, uint8_t alpha, bool skipKey);
// Red, green and blue of r := percent% pixel + (100 - percent)% colour, rounded to the
// nearest (ties to even); alpha untouched.
void BlendRectColor(TBitmap* bitmap, const TRect& r, int percent, TColor color);

// The disabled look of a control image: dkGrayed turns it grey; dkBlended lays it 40 % over
// the background bitmap's area at (X + offset.X, Y + offset.Y) (key pixels of the background
// left out), or without a background bitmap mixes it 50 % with the fill colour, or with
// controlColor when the fill colour is the key colour.
void PaintDisabledEffect(TBitmap* bitmap, TsDisabledKind kind, TColor controlColor, TPoint offset,
                         const TsBackgroundSource& background);

// The blend of text coverage onto a 32-bit bitmap: coverage is a 32-bit bitmap of black
// text on white whose (0, 0) lies at r's top-left. Every pixel of r inside both bitmaps
// whose coverage pixel is not white takes, per channel, the low byte of
// ((target - colour) * c + colour * 256) shr 8 with c the coverage grey, and alpha 255.
void BlendTextCoverage(TBitmap* target, const TBitmap& coverage, const TRect& r, TColor color);

#ifdef _WIN32
class TCanvas;
// Text in one colour written onto a 32-bit bitmap: the text is drawn black on white with
// the target canvas's font into a temporary bitmap by GDI, then blended (sAlphaGraphWin32).
void DrawTextOnBitmap32(TBitmap* bitmap, const std::string& text, TColor color, uint32_t format,
                        const TRect& r);
#endif
