// Colour reduction for GIF frames: fixed palettes, colour lookups, error-diffusion dither
// engines, an octree quantizer and the conversion of any bitmap into an 8-bit one.
// Palettes are colour tables here; nothing in this unit needs a device.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/Classes.h"
#include "framework/Graphics.h"

enum TColorReduction : uint8_t {
  crNone,
  crSystem20,
  crHalftone256,
  crSystemGray4,
  crMonochrome,
  crGray256,
  crColorCube216,
  crQuantize,
  crQuantizeSystem,
  crCustomPalette
};

enum TDitherMode : uint8_t {
  dtNearest,
  dtFloydSteinberg,
  dtStucki,
  dtSierra,
  dtJarvisJudiceNinke,
  dtStevensonArce,
  dtBurkes
};

// ---- fixed palettes ----------------------------------------------------------------------------
TColorTable CreateColorCubePalette();  // 216 entries, index r*36 + g*6 + b
TColorTable GrayPalette256();
TColorTable MonochromePalette2();
TColorTable SystemGrayPalette4();
TColorTable SystemPalette20();  // the 20 static colours of a paletted display
TColorTable HalftonePalette();  // 256 entries: the cube, then greys

// ---- colour lookups ----------------------------------------------------------------------------
class TColorLookup : public TObject {
  K_CLASS(TColorLookup, TObject)
  explicit TColorLookup(int colors) : colors_(colors) {}
  int Colors() const { return colors_; }
  virtual int NearestColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                           uint8_t& b) const = 0;

 private:
  int colors_;
};

// Nearest entry of an arbitrary palette (squared distance, first wins).
class TSlowColorLookup : public TColorLookup {
  K_CLASS(TSlowColorLookup, TColorLookup)
  explicit TSlowColorLookup(TColorTable palette);
  int NearestColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                   uint8_t& b) const override;

 private:
  TColorTable palette_;
};

class TNetscapeColorLookup : public TColorLookup {
  K_CLASS(TNetscapeColorLookup, TColorLookup)
  TNetscapeColorLookup() : TColorLookup(216) {}
  int NearestColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                   uint8_t& b) const override;
};

class TGrayScaleLookup : public TColorLookup {
  K_CLASS(TGrayScaleLookup, TColorLookup)
  TGrayScaleLookup() : TColorLookup(256) {}
  int NearestColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                   uint8_t& b) const override;
};

class TMonochromeLookup : public TColorLookup {
  K_CLASS(TMonochromeLookup, TColorLookup)
  TMonochromeLookup() : TColorLookup(2) {}
  int NearestColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                   uint8_t& b) const override;
};

// ---- dither engines ----------------------------------------------------------------------------
class TDitherEngine : public TObject {
  K_CLASS(TDitherEngine, TObject)
  TDitherEngine(int width, const TColorLookup& lookup) : lookup_(lookup), width_(width) {}
  // Answers the index; `r`, `g`, `b` receive the chosen colour. Moves the column.
  virtual int DitherPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                          uint8_t& b);
  virtual void NextRow();
  void StepColumn() { column_ += direction_; }
  int Column() const { return column_; }
  int Direction() const { return direction_; }
  int Width() const { return width_; }

 protected:
  const TColorLookup& lookup_;
  int width_;
  int direction_ = 1;
  int column_ = 0;
};

class TFloydSteinbergDitherer : public TDitherEngine {
  K_CLASS(TFloydSteinbergDitherer, TDitherEngine)
  TFloydSteinbergDitherer(int width, const TColorLookup& lookup);
  int DitherPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                  uint8_t& b) override;
  void NextRow() override;

 private:
  std::array<std::vector<int32_t>, 3> rows_;
  int cursor_ = 0;
  std::array<int32_t, 3> current_{}, below_{}, belowPrev_{};
};

// Engines that spread the error over a kernel of rows below (the 5-wide and wider ones).
struct TDitherTap {
  int Row;
  int Offset;
  int Weight;
};

class TKernelDitherer : public TDitherEngine {
  K_CLASS(TKernelDitherer, TDitherEngine)
  TKernelDitherer(int width, const TColorLookup& lookup, int rowCount, int margin, int divisor,
                  std::vector<TDitherTap> taps);
  int DitherPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                  uint8_t& b) override;
  void NextRow() override;

 private:
  int margin_;
  int divisor_;
  std::vector<TDitherTap> taps_;
  // [channel][row] of width + 2 x margin entries.
  std::array<std::vector<std::vector<int32_t>>, 3> rows_;
  int cursor_;
};

class T5by3Ditherer : public TKernelDitherer {
  K_CLASS(T5by3Ditherer, TKernelDitherer)
  using TKernelDitherer::TKernelDitherer;
};
class TStuckiDitherer : public T5by3Ditherer {
  K_CLASS(TStuckiDitherer, T5by3Ditherer)
  TStuckiDitherer(int width, const TColorLookup& lookup);
};
class TSierraDitherer : public T5by3Ditherer {
  K_CLASS(TSierraDitherer, T5by3Ditherer)
  TSierraDitherer(int width, const TColorLookup& lookup);
};
class TJaJuNiDitherer : public T5by3Ditherer {
  K_CLASS(TJaJuNiDitherer, T5by3Ditherer)
  TJaJuNiDitherer(int width, const TColorLookup& lookup);
};
class TSteveArcheDitherer : public TKernelDitherer {
  K_CLASS(TSteveArcheDitherer, TKernelDitherer)
  TSteveArcheDitherer(int width, const TColorLookup& lookup);
};
class TBurkesDitherer : public TKernelDitherer {
  K_CLASS(TBurkesDitherer, TKernelDitherer)
  TBurkesDitherer(int width, const TColorLookup& lookup);
};

std::unique_ptr<TDitherEngine> MakeDitherEngine(uint8_t dither, int width,
                                                const TColorLookup& lookup);

// ---- octree quantizer --------------------------------------------------------------------------
class TOctreeNode : public TObject {
  K_CLASS(TOctreeNode, TObject)
  bool Leaf = false;
  int64_t PixelCount = 0;
  int64_t RedSum = 0, GreenSum = 0, BlueSum = 0;
  TOctreeNode* Next = nullptr;
  std::array<std::unique_ptr<TOctreeNode>, 8> Children;
};

class TColorQuantizer : public TObject {
  K_CLASS(TColorQuantizer, TObject)
  TColorQuantizer(int maxColors, int colorBits);
  ~TColorQuantizer() override;
  // Adds every pixel of a 24-bit bitmap (blue, green, red per pixel).
  void AddImage(const TBitmap& bitmap);
  void AddColor(uint8_t red, uint8_t green, uint8_t blue);
  std::vector<TRGBQuad> LeafColors() const;
  int LeafCount() const { return leafCount_; }

 private:
  void InsertColor(std::unique_ptr<TOctreeNode>& node, int level, uint8_t r, uint8_t g, uint8_t b);
  // False when nothing is left to merge.
  bool MergeDeepestNode();

  std::unique_ptr<TOctreeNode> root_;
  int leafCount_ = 0;
  std::array<TOctreeNode*, 8> reducible_{};
  int maxColors_;
  int colorBits_;
};

// A palette of `colors` entries (at most 256) from a 24-bit bitmap; entries after the last
// leaf colour are black.
TColorTable QuantizedPaletteOfBitmap(const TBitmap& bitmap, int colors, int colorBits,
                                     bool withSystemColors);

// A new 8-bit bitmap of the source reduced to a palette (crNone: a 24-bit copy). The source
// is converted to 24 bits in place. Reductions, dithers or palettes it cannot use give an
// empty bitmap.
std::unique_ptr<TBitmap> DitherBitmapToPalette(TBitmap& bitmap, uint8_t reduction, uint8_t dither,
                                               const TColorTable* palette, int bits);
