// The complete PNG image: a graphic that keeps a PNG file as a list of chunk objects,
// decodes it into a DIB-layout image held by its header chunk, and writes it back.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/SysUtils.h"

K_EXCEPTION(EPNGOutMemory, Exception);
K_EXCEPTION(EPngError, Exception);
K_EXCEPTION(EPngUnexpectedEnd, Exception);
K_EXCEPTION(EPngInvalidCRC, Exception);
K_EXCEPTION(EPngInvalidIHDR, Exception);
K_EXCEPTION(EPNGMissingMultipleIDAT, Exception);
K_EXCEPTION(EPNGZLIBError, Exception);
K_EXCEPTION(EPNGInvalidPalette, Exception);
K_EXCEPTION(EPNGInvalidFileHeader, Exception);
K_EXCEPTION(EPNGIHDRNotFirst, Exception);
K_EXCEPTION(EPNGSizeExceeds, Exception);
K_EXCEPTION(EPNGUnknownCriticalChunk, Exception);
K_EXCEPTION(EPNGUnknownCompression, Exception);
K_EXCEPTION(EPNGUnknownInterlace, Exception);
K_EXCEPTION(EPNGNoImageData, Exception);
K_EXCEPTION(EPNGHeaderNotPresent, Exception);

class TPNGObject;
class TChunkIHDR;

// Filters the encoder may choose from.
enum TFilter { fsNone, fsSub, fsUp, fsAverage, fsPaeth };
using TFilters = TSet<TFilter>;

enum TPngTransparency { tmOpaque, tmKeyColor, tmAlpha };

// ---- chunks ------------------------------------------------------------------------------------

// One chunk of the file: four-letter name and data. Types without a class of their own stay
// generic and are written back byte for byte.
class TChunk : public TObject {
  K_CLASS(TChunk, TObject)
  explicit TChunk(TPNGObject* owner);
  ~TChunk() override = default;

  // The class name from its seventh character on ("TChunkIHDR" -> "IHDR"); "" for TChunk.
  std::string TypeName() const;
  virtual void CopyFrom(TChunk* source);
  // Reads the data (size bytes) and the stored CRC after length and type were read.
  virtual bool LoadFromStream(TStream& stream, const std::string& chunkName, uint32_t size);
  virtual bool SaveToStream(TStream& stream);

  void ReallocData(uint32_t size) { data_.resize(size); }
  uint8_t* Data() { return data_.data(); }
  uint32_t DataSize() const { return static_cast<uint32_t>(data_.size()); }
  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  TPNGObject* Owner() const { return owner_; }
  // The owner's first chunk; EInvalidCast when it is not the header.
  TChunkIHDR* OwnerHeader() const;

 protected:
  // Writes length, name, data and CRC.
  bool SaveRaw(TStream& stream);

  std::vector<uint8_t> data_;
  TPNGObject* owner_;
  std::string name_;
};

class TChunkIEND : public TChunk {
  K_CLASS(TChunkIEND, TChunk)
  using TChunk::TChunk;
};

// The header. Also owns the decoded image: DIB-layout rows (bottom-up, padded to 4 bytes)
// with a colour table for colour types 0, 3 and 4 and 24-bit BGR pixels for 2 and 6, plus a
// top-down alpha plane of one byte per pixel for colour types 4 and 6.
class TChunkIHDR : public TChunk {
  K_CLASS(TChunkIHDR, TChunk)
  explicit TChunkIHDR(TPNGObject* owner);

  void CopyFrom(TChunk* source) override;
  bool LoadFromStream(TStream& stream, const std::string& chunkName, uint32_t size) override;
  bool SaveToStream(TStream& stream) override;

  void MakeImageStorage();
  void ReleaseImageStorage();

  uint32_t Width = 0;
  uint32_t Height = 0;
  uint8_t BitDepth = 0;
  uint8_t ColorType = 0;
  uint8_t CompressionMethod = 0;
  uint8_t FilterMethod = 0;
  uint8_t InterlaceMethod = 0;

  bool HasColorTable = false;
  TBitmapInfoHeader BitmapHeader;
  std::array<TRGBQuad, 256> ColorTable{};
  uint32_t BytesPerRow = 0;
  std::vector<uint8_t> ImageData;
  std::vector<uint8_t> ImageAlpha;
};

class TChunkPLTE : public TChunk {
  K_CLASS(TChunkPLTE, TChunk)
  using TChunk::TChunk;
  void CopyFrom(TChunk* source) override;
  bool LoadFromStream(TStream& stream, const std::string& chunkName, uint32_t size) override;
  bool SaveToStream(TStream& stream) override;
  // Colour-table entry as blue in the low byte, then green, red; EPngError past the count.
  uint32_t EntryColor(unsigned index) const;
  unsigned Count() const { return count_; }
  void SetCount(unsigned count) { count_ = count; }

 private:
  unsigned count_ = 0;
};

class TChunktRNS : public TChunk {
  K_CLASS(TChunktRNS, TChunk)
  using TChunk::TChunk;
  void CopyFrom(TChunk* source) override;
  bool LoadFromStream(TStream& stream, const std::string& chunkName, uint32_t size) override;
  bool SaveToStream(TStream& stream) override;
  TColor KeyColor() const;
  void SetKeyColor(TColor color);
  bool IsKeyColor() const { return keyColor_; }
  const std::array<uint8_t, 256>& Table() const { return table_; }

 private:
  void UpdateKeyFlag();
  bool keyColor_ = false;
  std::array<uint8_t, 256> table_{};
};

class TChunkgAMA : public TChunk {
  K_CLASS(TChunkgAMA, TChunk)
  explicit TChunkgAMA(TPNGObject* owner);
  void CopyFrom(TChunk* source) override;
  bool LoadFromStream(TStream& stream, const std::string& chunkName, uint32_t size) override;
  uint32_t GammaValue();
  void SetGammaValue(uint32_t value);
};

class TChunkIDAT : public TChunk {
  K_CLASS(TChunkIDAT, TChunk)
  using TChunk::TChunk;
  bool LoadFromStream(TStream& stream, const std::string& chunkName, uint32_t size) override;
  bool SaveToStream(TStream& stream) override;
};

class TChunktIME : public TChunk {
  K_CLASS(TChunktIME, TChunk)
  using TChunk::TChunk;
  void CopyFrom(TChunk* source) override;
  bool LoadFromStream(TStream& stream, const std::string& chunkName, uint32_t size) override;
  bool SaveToStream(TStream& stream) override;
  uint16_t Year = 0;
  uint8_t Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};

class TChunktEXt : public TChunk {
  K_CLASS(TChunktEXt, TChunk)
  using TChunk::TChunk;
  void CopyFrom(TChunk* source) override;
  bool LoadFromStream(TStream& stream, const std::string& chunkName, uint32_t size) override;
  bool SaveToStream(TStream& stream) override;
  std::string Keyword;
  std::string Text;
};

class TChunkzTXt : public TChunktEXt {
  K_CLASS(TChunkzTXt, TChunktEXt)
  using TChunktEXt::TChunktEXt;
  bool LoadFromStream(TStream& stream, const std::string& chunkName, uint32_t size) override;
  bool SaveToStream(TStream& stream) override;
};

// The chunk-class registry.
using TChunkFactory = std::unique_ptr<TChunk> (*)(TPNGObject* owner);
void RegisterChunkClass(const TClassInfo* chunkClass, TChunkFactory factory);
template <class T>
void RegisterChunkClass() {
  RegisterChunkClass(T::StaticClassInfo(), [](TPNGObject* owner) -> std::unique_ptr<TChunk> {
    return std::make_unique<T>(owner);
  });
}
void RegisterStandardChunks();
// The first registered class whose type name equals the name (case counts), else TChunk.
std::unique_ptr<TChunk> CreateChunkForName(TPNGObject* owner, const std::string& name);

// One-shot zlib helpers of zTXt. Inflating stops with false beyond maxOutput bytes.
bool InflateText(const uint8_t* data, size_t size, std::string& output, std::string& message,
                 size_t maxOutput = 1u << 20);
bool DeflateText(const std::string& text, int level, std::string& output, std::string& message);

// CRC-32 over a buffer without the final complement (start with 0xFFFFFFFF).
uint32_t UpdateChunkCrc(uint32_t crc, const void* data, size_t size);

// ---- the chunk list ------------------------------------------------------------------------

class TPNGList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // nullptr past the end.
  TChunk* ChunkAt(int index) const;
  TChunk* Add(std::unique_ptr<TChunk> chunk);
  std::unique_ptr<TChunk> Remove(TChunk* chunk);
  void Clear() { items_.clear(); }
  // The first chunk of the class or a descendant; nullptr when none.
  TChunk* FindByClass(const TClassInfo* chunkClass) const;
  template <class T>
  T* Find() const {
    return static_cast<T*>(FindByClass(T::StaticClassInfo()));
  }

 private:
  std::vector<std::unique_ptr<TChunk>> items_;
};

// ---- the image -----------------------------------------------------------------------------

class TPNGObject : public TGraphic {
  K_CLASS(TPNGObject, TGraphic)
  TPNGObject();
  ~TPNGObject() override;

  void Assign(TPersistent* source) override;
  bool Empty() const override { return chunks_.Count() == 0; }
  int Width() const override;
  int Height() const override;
  void SetWidth(int value) override;
  void SetHeight(int value) override;
  bool Transparent() const override { return TransparencyKind() != tmOpaque; }
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  void Draw(TCanvas* canvas, const TRect& r) override;
#ifdef _WIN32
  // Through a bitmap (CF_BITMAP): the clipboard carries the drawn pixels, no transparency.
  void LoadFromClipboardFormat(uint16_t format, void* data, void* palette) override;
  void SaveToClipboardFormat(uint16_t& format, void*& data, void*& palette) override;
#endif

  // 256 entries for colour types 0 and 3 (cached until the storage changes); empty otherwise.
  const TColorTable& GetPalette();
  void SetPalette(const TColorTable& palette);

  virtual TColor PixelAt(int x, int y);
  virtual void SetPixelAt(int x, int y, TColor color);

  TChunkIHDR* RequireHeader() const;
  bool HasHeader() const;
  // Stored row `row` counted from the top of the image.
  uint8_t* RowAddress(int row) const;
  TPngTransparency TransparencyKind() const;
  TColor KeyColor() const;
  // Bytes of one filtered row (without its filter byte) and bytes per complete pixel.
  void RowInfo(uint32_t& rowBytes, uint32_t& pixelStep) const;
  void FreeAllChunks();
  void CopyFromPng(TPNGObject* source);
  // Builds IHDR, PLTE (below 16 bits per pixel), tRNS (when transparent), IDAT and IEND from
  // the bitmap's pixels: indexed bitmaps keep their depth and table, others become 24-bit RGB.
  void FromBitmap(TBitmap* bitmap, bool transparent, TColor keyColor);
  // Blends the image by its alpha onto a top-down 32-bit buffer of the image's size.
  void BlendOnto(uint8_t* bgra, int stride);
  // Invalidates the cached palette (the header's storage was rebuilt).
  void DropCachedPalette() { cachedPalette_.clear(); }

  template <class E>
  [[noreturn]] static void RaisePngException(const char* text) {
    throw E(text);
  }

  const TPNGList& Chunks() const { return chunks_; }
  TPNGList& Chunks() { return chunks_; }
  TFilters FilterSet() const { return filterSet_; }
  void SetFilterSet(TFilters value) { filterSet_ = value; }
  uint8_t DeflateLevel() const { return deflateLevel_; }
  void SetDeflateLevel(uint8_t value) { deflateLevel_ = value; }
  int32_t IdatChunkLimit() const { return idatChunkLimit_; }
  void SetIdatChunkLimit(int32_t value) { idatChunkLimit_ = value > 65534 ? value : 65535; }
  uint8_t InterlaceKind() const { return interlaceKind_; }
  void SetInterlaceKind(uint8_t value) { interlaceKind_ = value; }

  std::array<uint8_t, 256> GammaTable{};
  std::array<uint8_t, 256> InverseGammaTable{};

 protected:
  void AssignTo(TPersistent* dest) override;

 private:
  void ResetGamma();

  TColorTable cachedPalette_;
  TFilters filterSet_{fsSub};
  uint8_t deflateLevel_ = 7;
  int32_t idatChunkLimit_ = 65535;
  uint8_t interlaceKind_ = 0;
  TPNGList chunks_;
};

// Registers TPNGObject for "PNG" after the skin engine's reader has registered "png", so the
// extension opens with this class (idempotent; called from a program's start-up list).
void RegisterPNGObject();
void UnregisterPNGObject();
