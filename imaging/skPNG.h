// The skin engine's PNG reader: a bitmap that fills itself from a PNG stream, with the
// colour manager that converts its rows and the small zlib wrapper it inflates with.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/SysUtils.h"
#include "framework/Types.h"

struct z_stream_s;

K_EXCEPTION(EColorConversionError, Exception);
K_EXCEPTION(EGraphicCompression, Exception);

// ---- colour manager -----------------------------------------------------------------------

// Scoped because the framework's shortcut constant already owns the plain name scNone; the
// other names are repeated below so code reads as usual.
enum class TColorSchemeKind : uint8_t {
  scNone,
  scIndexed,
  scGray,
  scGrayAlpha,
  scRGB,
  scRGBA,
  scBGR,
  scBGRA,
  scCMY,
  scCMYK,
  scCIELab,
  scYCbCr,
  scPhotoYCC
};
inline constexpr TColorSchemeKind scIndexed = TColorSchemeKind::scIndexed;
inline constexpr TColorSchemeKind scGray = TColorSchemeKind::scGray;
inline constexpr TColorSchemeKind scGrayAlpha = TColorSchemeKind::scGrayAlpha;
inline constexpr TColorSchemeKind scRGB = TColorSchemeKind::scRGB;
inline constexpr TColorSchemeKind scRGBA = TColorSchemeKind::scRGBA;
inline constexpr TColorSchemeKind scBGR = TColorSchemeKind::scBGR;
inline constexpr TColorSchemeKind scBGRA = TColorSchemeKind::scBGRA;
inline constexpr TColorSchemeKind scCMY = TColorSchemeKind::scCMY;
inline constexpr TColorSchemeKind scCMYK = TColorSchemeKind::scCMYK;
inline constexpr TColorSchemeKind scCIELab = TColorSchemeKind::scCIELab;
inline constexpr TColorSchemeKind scYCbCr = TColorSchemeKind::scYCbCr;
inline constexpr TColorSchemeKind scPhotoYCC = TColorSchemeKind::scPhotoYCC;

enum TConvertFlag { cfAlpha, cfApplyGamma, cfByteSwap, cfLabByteRange, cfLabChromaOffset };
using TConvertFlags = TSet<TConvertFlag>;

// (a x b) div c on 16-bit values with a 32-bit product; 0 when c is 0.
constexpr uint16_t MulDivWord(uint32_t a, uint32_t b, uint32_t c) {
  return c == 0 ? 0 : static_cast<uint16_t>((a & 0xFFFF) * (b & 0xFFFF) / (c & 0xFFFF));
}

// Converts rows of pixels between layouts (scheme, samples per pixel, bits per sample,
// interleaved or planar), rescaling, byte-swapping and gamma-correcting on the way, and
// builds colour tables.
//
// A converter takes one source pointer for interleaved samples or one per plane (alpha plane
// last), the target row, the pixel count and an 8-bit pixel mask that is rotated right once
// per pixel starting at bit 7: a pixel whose bit is clear is skipped in the target and takes
// no source data (Adam7 passes fill their pixels this way).
class TColorManager : public TObject {
  K_CLASS(TColorManager, TObject)
  TColorManager();

  uint8_t SourceSampleBits() const { return sourceBits_; }
  uint8_t TargetSampleBits() const { return targetBits_; }
  uint8_t SourceSampleCount() const { return sourceSamples_; }
  uint8_t TargetSampleCount() const { return targetSamples_; }
  TColorSchemeKind SourceScheme() const { return sourceScheme_; }
  TColorSchemeKind TargetScheme() const { return targetScheme_; }
  void SetSourceSampleBits(uint8_t value);
  void SetTargetSampleBits(uint8_t value);
  void SetSourceSampleCount(uint8_t value);
  void SetTargetSampleCount(uint8_t value);
  void SetSourceScheme(TColorSchemeKind value);
  void SetTargetScheme(TColorSchemeKind value);

  // Written directly by the owner.
  TConvertFlags SourceOptions;
  TConvertFlags TargetOptions;

  TPixelFormat PixelFormatOf(bool target) const;
  void ConvertRowPixels(std::span<const void* const> sources, void* target, unsigned count,
                        uint8_t mask);
  void BuildGammaTable(float mainGamma, float displayGamma);
  const std::array<uint8_t, 256>& GammaTable() const { return gamma_; }
  // Layouts: 0 RGB triples, 1 quadruples, 2/3 three planes (8 bits); 4..7 the same with
  // 16-bit samples. The order flag: for 0 and 1 the first sample is blue, for 4 and 5 red.
  TColorTable BuildPaletteFromData(std::span<const void* const> sources, int layout,
                                   unsigned entryCount, bool bgrOrder);
  TColorTable MakeGrayPalette(bool reversed) const;

  [[noreturn]] static void RaiseConversionError(const std::string& message);

 private:
  using TRowConverter = void (TColorManager::*)(std::span<const void* const> sources,
                                                uint8_t* target, unsigned count, uint8_t mask);
  enum class TChromaKind { YCbCr, PhotoYCC };

  void SelectRowConverter();
  void BuildChromaTables(TChromaKind kind);
  uint8_t ScaleSample16(uint16_t raw) const;  // 16-bit raw sample to 8 bits, swap/gamma by flags
  uint16_t ReadSample16(const uint8_t* p) const;

  void ConvertPackedRow(std::span<const void* const>, uint8_t*, unsigned, uint8_t);
  void ConvertIndexed16Row(std::span<const void* const>, uint8_t*, unsigned, uint8_t);
  void ConvertIndexed16ToPackedRow(std::span<const void* const>, uint8_t*, unsigned, uint8_t);
  void ConvertPackedToIndexed16Row(std::span<const void* const>, uint8_t*, unsigned, uint8_t);
  void ConvertGrayRow(std::span<const void* const>, uint8_t*, unsigned, uint8_t);
  void ConvertRGBFamily(std::span<const void* const>, uint8_t*, unsigned, uint8_t, bool exchange);
  void ConvertRGBToRGBRow(std::span<const void* const>, uint8_t*, unsigned, uint8_t);
  void ConvertRGBToBGRRow(std::span<const void* const>, uint8_t*, unsigned, uint8_t);
  void ConvertCMYKRow(std::span<const void* const>, uint8_t*, unsigned, uint8_t, bool bgr);
  void ConvertCMYKToRGBRow(std::span<const void* const>, uint8_t*, unsigned, uint8_t);
  void ConvertCMYKToBGRRow(std::span<const void* const>, uint8_t*, unsigned, uint8_t);
  void ConvertLabRow(std::span<const void* const>, uint8_t*, unsigned, uint8_t, bool bgr);
  void ConvertLabToRGBRow(std::span<const void* const>, uint8_t*, unsigned, uint8_t);
  void ConvertLabToBGRRow(std::span<const void* const>, uint8_t*, unsigned, uint8_t);
  void ConvertChromaRow(std::span<const void* const>, uint8_t*, unsigned, uint8_t, bool bgr);
  void ConvertYCbCrToRGBRow(std::span<const void* const>, uint8_t*, unsigned, uint8_t);
  void ConvertYCbCrToBGRRow(std::span<const void* const>, uint8_t*, unsigned, uint8_t);

  bool changed_ = true;
  uint8_t sourceBits_ = 8;
  uint8_t targetBits_ = 8;
  uint8_t sourceSamples_ = 3;
  uint8_t targetSamples_ = 3;
  float mainGamma_ = 1.0f;
  float displayGamma_ = 2.2f;
  std::array<uint8_t, 256> gamma_{};
  float yCbCrCoefficients_[3] = {0.299f, 0.587f, 0.114f};
  std::vector<int> crToRed_, cbToBlue_, crToGreen_, cbToGreen_;
  TChromaKind chromaKind_ = TChromaKind::YCbCr;
  TColorSchemeKind sourceScheme_ = scRGB;
  TColorSchemeKind targetScheme_ = scBGR;
  TRowConverter converter_ = nullptr;
};

// ---- zlib wrapper ----------------------------------------------------------------------------

class TLZ77Decoder : public TObject {
  K_CLASS(TLZ77Decoder, TObject)
  TLZ77Decoder(int flushMode, bool autoReset);
  ~TLZ77Decoder() override;
  TLZ77Decoder(const TLZ77Decoder&) = delete;
  TLZ77Decoder& operator=(const TLZ77Decoder&) = delete;

  void StartInflating();
  // Inflates from source into target; both pointers advance. Does nothing once zlib has
  // reported anything but success (the stream's end, for example).
  void InflateBlock(const uint8_t*& source, uint8_t*& target, unsigned outputSize,
                    unsigned inputSize);
  void FinishInflating();
  unsigned InputLeft() const;
  unsigned OutputLeft() const;
  int LastResult() const { return lastResult_; }

 private:
  std::unique_ptr<z_stream_s> stream_;
  int lastResult_ = 0;
  int flushMode_;
  bool autoReset_;
  bool started_ = false;
};

// CRC-32 of the PNG chunks (reflected polynomial 0xEDB88320); pass 0 to start.
uint32_t CalcCrc32(uint32_t crc, const void* data, size_t length);

// ---- the graphic -----------------------------------------------------------------------------

enum TPNGInfoFlag { ifHeaderRead, ifHasGamma };
using TPNGInfoFlags = TSet<TPNGInfoFlag>;

struct TPNGImageProperties {
  TPNGInfoFlags InfoFlags;
  uint32_t PixelWidth = 0;
  uint32_t PixelHeight = 0;
  TColorSchemeKind SchemeCode = TColorSchemeKind::scNone;
  uint8_t SampleBits = 0;
  uint8_t SampleCount = 0;
  uint8_t PixelBits = 0;
  uint8_t CompressionCode = 0;
  float GammaOfFile = 1.0f;
  bool IsInterlaced = false;
  bool HasAlphaChannel = false;
  uint8_t FilterMethod = 0;
  uint8_t ColorType = 0;  // the IHDR byte itself, kept for the converter set-up
};

// A bitmap loaded from PNG data. 32-bit images keep straight alpha in the fourth byte and
// draw themselves blended by it; other images behave as plain bitmaps.
class TPNGGraphic : public TBitmap {
  K_CLASS(TPNGGraphic, TBitmap)
  TPNGGraphic();
  ~TPNGGraphic() override;

  void Assign(TPersistent* source) override;
  void LoadFromStream(TStream& stream) override;
  void Draw(TCanvas* canvas, const TRect& r) override;

  // Reads signature, IHDR and the first gAMA; false when the data is no PNG.
  bool ReadHeaderInfo(TStream& stream);
  const TPNGImageProperties& ImageProperties() const { return props_; }
  TColorManager& ColorManager() { return *colorManager_; }

  bool Reflected() const { return reflected_; }
  void SetReflected(bool value) { reflected_ = value; }

#ifdef _WIN32
  // Defined in skPNGWin32.cpp; the caller owns the icon.
  struct HICON__* MakeIcon(bool force);
  struct HICON__* MakeIconOnColor(TColor color);
#endif

 private:
  void ReadChunkHeader();
  bool ChunkTypeIs(const char* name) const;
  void ReadChunkData();
  void SkipChunkData();
  int ConfigureConverter(uint8_t colorType, uint8_t bitDepth);
  void DecodeImageRows();
  // False when the image data ends before the row is complete.
  bool InflateRow(uint8_t* buffer, size_t count);
  void TakeBackground(const std::vector<uint8_t>& data);
  void TakeTransparency(const std::vector<uint8_t>& data);
  TColor GrayEntryColor(unsigned sample) const;
  TColor RgbSampleColor(const uint8_t* data) const;
  void LoadChunks();

  std::unique_ptr<TColorManager> colorManager_;
  TRect progressRect_{};
  int64_t basePosition_ = 0;
  TStream* stream_ = nullptr;
  TPNGImageProperties props_;
  std::unique_ptr<TLZ77Decoder> decoder_;
  uint32_t idatSize_ = 0;
  std::vector<uint8_t> chunkBuffer_;
  const uint8_t* currentSource_ = nullptr;
  const uint8_t* chunkEnd_ = nullptr;
  uint32_t chunkLength_ = 0;
  char chunkType_[4] = {};
  uint32_t runningCrc_ = 0;
  int sourceBpp_ = 0;
  TColorTable pngPalette_;
  bool hasPalette_ = false;
  bool converterConfigured_ = false;
  bool imageDecoded_ = false;
  // tRNS and bKGD are kept until the image starts: their colours depend on the palette
  // and gamma table in force for the pixels.
  std::vector<uint8_t> trnsData_;
  std::vector<uint8_t> bkgdData_;
  TColor transparentColor_ = clNone;
  TColor backgroundColor_ = clWhite;
  bool reflected_ = false;
};

// Pixels of a 32-bit bitmap whose value is exactly 0x00FFFFFF (white, alpha 0) become 0.
void ClearWhiteTransparentPixels(TBitmap* bitmap);

// Blends a 32-bit image with straight alpha over a 32-bit target at (x, y), clipped to the
// target; with `reflected` also a mirror image fading out over the H div 2 rows below it.
void BlendAlphaImage(TBitmap& target, int x, int y, TBitmap& image, bool reflected);

// Registers TPNGGraphic for "png" (idempotent); done when the library starts.
void RegisterPNGGraphic();
void UnregisterPNGGraphic();
