#include "imaging/pngimage.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/PngRowFilters.h"
#include "imaging/pnglang.h"
#include "imaging/skPNG.h"

namespace {

constexpr uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
// A decoded image larger than this is refused before any allocation.
constexpr uint64_t kMaxPixels = uint64_t{1} << 26;
constexpr size_t kInflateBlock = 65535;

uint32_t Be32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}
uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
void PutBe32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}
void PutBe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}

bool ValidColorFormat(uint8_t colorType, uint8_t depth) {
  switch (colorType) {
    case 0:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6:
      return depth == 8 || depth == 16;
    default:
      return false;
  }
}

uint32_t RowBytesFor(uint64_t width, uint8_t colorType, uint8_t depth) {
  switch (colorType) {
    case 0:
    case 3:
      return static_cast<uint32_t>((width * depth + 7) / 8);
    case 2:
      return static_cast<uint32_t>(width * depth * 3 / 8);
    case 4:
      return static_cast<uint32_t>(width * depth * 2 / 8);
    case 6:
      return static_cast<uint32_t>(width * depth * 4 / 8);
    default:
      return 0;
  }
}

// A sample of `depth` bits at index i of a packed row, most significant bits first.
unsigned PackedSample(const uint8_t* row, size_t i, unsigned depth) {
  if (depth == 8) return row[i];
  const size_t bit = i * depth;
  return (row[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
}
void SetPackedSample(uint8_t* row, size_t i, unsigned depth, unsigned v) {
  if (depth == 8) {
    row[i] = static_cast<uint8_t>(v);
    return;
  }
  const size_t bit = i * depth;
  const unsigned shift = 8 - depth - bit % 8;
  const unsigned mask = ((1u << depth) - 1) << shift;
  row[bit / 8] = static_cast<uint8_t>((row[bit / 8] & ~mask) | ((v << shift) & mask));
}

struct TChunkClassEntry {
  const TClassInfo* info;
  TChunkFactory factory;
};
std::vector<TChunkClassEntry>& ChunkRegistry() {
  static std::vector<TChunkClassEntry> registry;
  return registry;
}

std::string TypeNameOf(const TClassInfo* info) {
  const std::string& name = info->ClassName();
  return name.size() > 6 ? name.substr(6) : std::string();
}

// A new chunk of a registered class (generic when unknown) with its name set.
std::unique_ptr<TChunk> NewChunkOfClass(TPNGObject* owner, const TClassInfo* info) {
  if (ChunkRegistry().empty()) RegisterStandardChunks();
  for (const TChunkClassEntry& e : ChunkRegistry())
    if (e.info == info) return e.factory(owner);
  return std::make_unique<TChunk>(owner);
}

template <class T>
T* AppendChunk(TPNGObject* owner) {
  auto chunk = std::make_unique<T>(owner);
  chunk->SetName(TypeNameOf(T::StaticClassInfo()));
  return static_cast<T*>(owner->Chunks().Add(std::move(chunk)));
}

// The usable gAMA values: anything else would darken or bleach the whole image.
bool SaneGamma(uint32_t value) {
  const double product = value / 100000.0 * 2.2;
  return product >= 0.1 && product <= 10.0;
}

struct TZStream {
  z_stream z{};
  bool inflating = false;
  bool deflating = false;
  ~TZStream() {
    if (inflating) inflateEnd(&z);
    if (deflating) deflateEnd(&z);
  }
};

}  // namespace

uint32_t UpdateChunkCrc(uint32_t crc, const void* data, size_t size) {
  // zlib complements on the way in and out; this running value is kept uncomplemented.
  return ~png_rows::Crc32(~crc, data, size);
}

void RegisterChunkClass(const TClassInfo* chunkClass, TChunkFactory factory) {
  ChunkRegistry().push_back({chunkClass, factory});
}

void RegisterStandardChunks() {
  ChunkRegistry().clear();
  RegisterChunkClass<TChunkIEND>();
  RegisterChunkClass<TChunkIHDR>();
  RegisterChunkClass<TChunkIDAT>();
  RegisterChunkClass<TChunkPLTE>();
  RegisterChunkClass<TChunkgAMA>();
  RegisterChunkClass<TChunktRNS>();
  RegisterChunkClass<TChunktIME>();
  RegisterChunkClass<TChunktEXt>();
  RegisterChunkClass<TChunkzTXt>();
}

std::unique_ptr<TChunk> CreateChunkForName(TPNGObject* owner, const std::string& name) {
  std::unique_ptr<TChunk> chunk;
  if (ChunkRegistry().empty()) RegisterStandardChunks();
  for (const TChunkClassEntry& e : ChunkRegistry())
    if (TypeNameOf(e.info) == name) {
      chunk = e.factory(owner);
      break;
    }
  if (!chunk) chunk = std::make_unique<TChunk>(owner);
  chunk->SetName(name);
  return chunk;
}

// ================================================================================================
// TChunk

TChunk::TChunk(TPNGObject* owner) : owner_(owner) {}

std::string TChunk::TypeName() const { return TypeNameOf(ClassInfo()); }

TChunkIHDR* TChunk::OwnerHeader() const { return As<TChunkIHDR>(owner_->Chunks().ChunkAt(0)); }

void TChunk::CopyFrom(TChunk* source) {
  name_ = source->name_;
  data_ = source->data_;
}

bool TChunk::LoadFromStream(TStream& stream, const std::string& chunkName, uint32_t size) {
  // A length beyond the rest of the stream is refused before the data is allocated.
  if (int64_t{size} + 4 > stream.Size() - stream.Position())
    TPNGObject::RaisePngException<EPngUnexpectedEnd>(EPNGUnexpectedEndText);
  data_.assign(size, 0);
  if (size > 0) stream.ReadBuffer(data_.data(), size);
  uint8_t stored[4] = {};
  stream.Read(stored, 4);
  uint32_t crc = UpdateChunkCrc(0xFFFFFFFF, chunkName.data(), 4);
  crc = ~UpdateChunkCrc(crc, data_.data(), data_.size());
  if (crc != Be32(stored)) TPNGObject::RaisePngException<EPngInvalidCRC>(EPngInvalidCRCText);
  return true;
}

bool TChunk::SaveRaw(TStream& stream) {
  uint8_t head[8];
  PutBe32(head, DataSize());
  std::memcpy(head + 4, name_.data(), std::min<size_t>(4, name_.size()));
  stream.WriteBuffer(head, 8);
  if (!data_.empty()) stream.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
  uint32_t crc = UpdateChunkCrc(0xFFFFFFFF, head + 4, 4);
  crc = ~UpdateChunkCrc(crc, data_.data(), data_.size());
  uint8_t tail[4];
  PutBe32(tail, crc);
  stream.WriteBuffer(tail, 4);
  return true;
}

bool TChunk::SaveToStream(TStream& stream) { return SaveRaw(stream); }

// ================================================================================================
// TChunkIHDR

TChunkIHDR::TChunkIHDR(TPNGObject* owner) : TChunk(owner) {}

bool TChunkIHDR::LoadFromStream(TStream& stream, const std::string& chunkName, uint32_t size) {
  TChunk::LoadFromStream(stream, chunkName, size);
  if (size < 13) TPNGObject::RaisePngException<EPngInvalidIHDR>(EPNGInvalidIHDRText);
  const uint8_t* d = data_.data();
  Width = Be32(d);
  Height = Be32(d + 4);
  BitDepth = d[8];
  ColorType = d[9];
  CompressionMethod = d[10];
  FilterMethod = d[11];
  InterlaceMethod = d[12];
  if (Width > 65535 || Height > 65535 || uint64_t{Width} * Height > kMaxPixels)
    TPNGObject::RaisePngException<EPNGSizeExceeds>(EPNGSizeExceedsText);
  if (CompressionMethod != 0)
    TPNGObject::RaisePngException<EPNGUnknownCompression>(EPNGUnknownCompressionText);
  if (InterlaceMethod > 1)
    TPNGObject::RaisePngException<EPNGUnknownInterlace>(EPNGUnknownInterlaceText);
  // No storage layout exists for an empty image or a combination the standard lacks.
  if (Width == 0 || Height == 0 || !ValidColorFormat(ColorType, BitDepth))
    TPNGObject::RaisePngException<EPngInvalidIHDR>(EPNGInvalidIHDRText);
  owner_->SetInterlaceKind(InterlaceMethod);
  MakeImageStorage();
  return true;
}

bool TChunkIHDR::SaveToStream(TStream& stream) {
  if (BitDepth == 2) BitDepth = 4;  // the image is stored with 4 bits anyway
  data_.assign(13, 0);
  PutBe32(data_.data(), Width);
  PutBe32(data_.data() + 4, Height);
  data_[8] = BitDepth;
  data_[9] = ColorType;
  data_[10] = CompressionMethod;
  data_[11] = FilterMethod;
  data_[12] = owner_->InterlaceKind();
  return SaveRaw(stream);
}

void TChunkIHDR::CopyFrom(TChunk* source) {
  auto* other = dynamic_cast<TChunkIHDR*>(source);
  if (other == nullptr) TPNGObject::RaisePngException<EPngError>(EPNGCannotAssignChunkText);
  TChunk::CopyFrom(source);
  Width = other->Width;
  Height = other->Height;
  BitDepth = other->BitDepth;
  ColorType = other->ColorType;
  CompressionMethod = other->CompressionMethod;
  FilterMethod = other->FilterMethod;
  InterlaceMethod = other->InterlaceMethod;
  MakeImageStorage();
  const size_t bytes = std::min(ImageData.size(), other->ImageData.size());
  if (bytes) std::memcpy(ImageData.data(), other->ImageData.data(), bytes);
  const size_t alpha = std::min(ImageAlpha.size(), other->ImageAlpha.size());
  if (alpha) std::memcpy(ImageAlpha.data(), other->ImageAlpha.data(), alpha);
  ColorTable = other->ColorTable;
}

void TChunkIHDR::MakeImageStorage() {
  ReleaseImageStorage();
  BitmapHeader = TBitmapInfoHeader{};
  ColorTable.fill(TRGBQuad{});
  HasColorTable = false;
  unsigned bitCount = 0;
  switch (ColorType) {
    case 0:
    case 3:
    case 4:
      HasColorTable = true;
      bitCount = BitDepth == 2 ? 4 : BitDepth == 16 ? 8 : BitDepth;
      if (ColorType == 4) bitCount = 8;
      break;
    case 2:
    case 6:
      bitCount = 24;
      break;
    default:
      break;
  }
  BitmapHeader.biWidth = static_cast<int32_t>(Width);
  BitmapHeader.biHeight = static_cast<int32_t>(Height);
  BitmapHeader.biBitCount = static_cast<uint16_t>(bitCount);
  BitmapHeader.biCompression = BI_RGB_CODE;
  const uint64_t rowBytes = (uint64_t{bitCount} * Width + 31) / 32 * 4;
  if (bitCount == 0 || uint64_t{Width} * Height > kMaxPixels) return;
  BytesPerRow = static_cast<uint32_t>(rowBytes);
  ImageData.assign(static_cast<size_t>(rowBytes * Height), 0);
  if (ColorType == 4 || ColorType == 6) ImageAlpha.assign(size_t{Width} * Height, 0);
  owner_->DropCachedPalette();
}

void TChunkIHDR::ReleaseImageStorage() {
  ImageData.clear();
  ImageData.shrink_to_fit();
  ImageAlpha.clear();
  ImageAlpha.shrink_to_fit();
  BytesPerRow = 0;
}

// ================================================================================================
// TChunkPLTE

bool TChunkPLTE::LoadFromStream(TStream& stream, const std::string& chunkName, uint32_t size) {
  TChunk::LoadFromStream(stream, chunkName, size);
  if (size % 3 != 0 || size > 768)
    TPNGObject::RaisePngException<EPNGInvalidPalette>(EPNGInvalidPaletteText);
  count_ = size / 3;
  TChunkIHDR* header = OwnerHeader();
  const auto& gamma = owner_->GammaTable;
  for (unsigned i = 0; i < count_; ++i)
    header->ColorTable[i] = {gamma[data_[3 * i + 2]], gamma[data_[3 * i + 1]], gamma[data_[3 * i]],
                             0};
  owner_->DropCachedPalette();
  return true;
}

bool TChunkPLTE::SaveToStream(TStream& stream) {
  TChunkIHDR* header = OwnerHeader();
  const auto& inverse = owner_->InverseGammaTable;
  const unsigned count = std::min(count_, 256u);
  data_.assign(count * 3, 0);
  for (unsigned i = 0; i < count; ++i) {
    data_[3 * i] = inverse[header->ColorTable[i].Red];
    data_[3 * i + 1] = inverse[header->ColorTable[i].Green];
    data_[3 * i + 2] = inverse[header->ColorTable[i].Blue];
  }
  return SaveRaw(stream);
}

void TChunkPLTE::CopyFrom(TChunk* source) {
  auto* other = dynamic_cast<TChunkPLTE*>(source);
  if (other == nullptr) TPNGObject::RaisePngException<EPngError>(EPNGCannotAssignChunkText);
  TChunk::CopyFrom(source);
  count_ = other->count_;
}

uint32_t TChunkPLTE::EntryColor(unsigned index) const {
  if (index >= count_ || index > 255)
    TPNGObject::RaisePngException<EPngError>(EPNGUnknownPalEntryText);
  const TRGBQuad q = OwnerHeader()->ColorTable[index];
  return q.Blue | (q.Green << 8) | (static_cast<uint32_t>(q.Red) << 16);
}

// ================================================================================================
// TChunktRNS

void TChunktRNS::UpdateKeyFlag() {
  const TChunkIHDR* header = OwnerHeader();
  switch (header->ColorType) {
    // A key needs the whole sample value: a short chunk gives no key (and nothing is read
    // past its end).
    case 0:
      keyColor_ = data_.size() >= 2;
      break;
    case 2:
      keyColor_ = data_.size() >= 6;
      break;
    case 3: {
      unsigned below = 0;
      for (size_t i = 0; i < data_.size(); ++i)
        if (data_[i] != 255) ++below;
      keyColor_ = below == 1;
      break;
    }
    default:
      keyColor_ = false;
  }
}

bool TChunktRNS::LoadFromStream(TStream& stream, const std::string& chunkName, uint32_t size) {
  TChunk::LoadFromStream(stream, chunkName, size);
  if (size > 256) TPNGObject::RaisePngException<EPNGInvalidPalette>(EPNGInvalidPaletteText);
  table_.fill(255);
  std::copy(data_.begin(), data_.end(), table_.begin());
  UpdateKeyFlag();
  return true;
}

bool TChunktRNS::SaveToStream(TStream& stream) {
  if (data_.size() <= 256) std::copy(table_.begin(), table_.begin() + data_.size(), data_.begin());
  return SaveRaw(stream);
}

void TChunktRNS::CopyFrom(TChunk* source) {
  auto* other = dynamic_cast<TChunktRNS*>(source);
  if (other == nullptr) TPNGObject::RaisePngException<EPngError>(EPNGCannotAssignChunkText);
  table_ = other->table_;
  keyColor_ = other->keyColor_;
  TChunk::CopyFrom(source);
}

// The key colour as the image's pixels show it: 16-bit samples by their high byte (like the
// pixels), grey through the colour table and RGB through the gamma table.
TColor TChunktRNS::KeyColor() const {
  const TChunkIHDR* header = OwnerHeader();
  auto sample8 = [&](const uint8_t* p) -> unsigned { return header->BitDepth == 16 ? p[0] : p[1]; };
  switch (header->ColorType) {
    case 0: {
      if (data_.size() < 2) return 0;
      unsigned index = header->BitDepth == 16 ? data_[0] : Be16(data_.data());
      if (header->BitDepth == 2) index = (index & 3) * 5;
      if (header->BitDepth < 8) index &= (1u << header->BitmapHeader.biBitCount) - 1;
      index &= 0xFF;
      return ColorFromQuad(header->ColorTable[index]);
    }
    case 2: {
      if (data_.size() < 6) return 0;
      const auto& gamma = owner_->GammaTable;
      return MakeColor(gamma[sample8(&data_[0])], gamma[sample8(&data_[2])],
                       gamma[sample8(&data_[4])]);
    }
    case 3:
      for (size_t i = 0; i < data_.size(); ++i)
        if (table_[i] == 0) return ColorFromQuad(header->ColorTable[i]);
      return 0;
    default:
      return 0;
  }
}

void TChunktRNS::SetKeyColor(TColor color) {
  const TChunkIHDR* header = OwnerHeader();
  table_.fill(0);
  keyColor_ = true;
  const uint8_t r = ColorR(color), g = ColorG(color), b = ColorB(color);
  const bool wide = header->BitDepth == 16;
  // Written so that the pixels the encoder writes for this colour match it after a reload.
  auto sample = [&](uint8_t v) -> uint16_t { return wide ? static_cast<uint16_t>(v << 8) : v; };
  switch (header->ColorType) {
    case 0: {
      data_.assign(2, 0);
      uint16_t value = sample(r);
      if (header->BitDepth < 8) {
        TColorTable table(header->ColorTable.begin(),
                          header->ColorTable.begin() + (1u << header->BitmapHeader.biBitCount));
        value = static_cast<uint16_t>(NearestPaletteIndex(table, color));
        if (header->BitDepth == 2) value = static_cast<uint16_t>(value / 5);
      }
      PutBe16(data_.data(), value);
      break;
    }
    case 2: {
      const auto& inverse = owner_->InverseGammaTable;
      data_.assign(6, 0);
      PutBe16(&data_[0], sample(inverse[r]));
      PutBe16(&data_[2], sample(inverse[g]));
      PutBe16(&data_[4], sample(inverse[b]));
      break;
    }
    case 3: {
      int match = -1;
      for (int i = 0; i < 256; ++i) {
        const TRGBQuad& q = header->ColorTable[i];
        if (q.Red == r && q.Green == g && q.Blue == b) {
          match = i;
          break;
        }
      }
      if (match < 0) {
        // No entry has the colour: nothing becomes transparent (not entry 0 by accident).
        data_.clear();
        keyColor_ = false;
        table_.fill(255);
        break;
      }
      std::fill(table_.begin(), table_.begin() + match, 255);
      table_[match] = 0;
      std::fill(table_.begin() + match + 1, table_.end(), 255);
      data_.assign(table_.begin(), table_.begin() + match + 1);
      break;
    }
    default:
      break;
  }
}

// ================================================================================================
// TChunkgAMA

TChunkgAMA::TChunkgAMA(TPNGObject* owner) : TChunk(owner) { SetGammaValue(1); }

uint32_t TChunkgAMA::GammaValue() {
  if (data_.size() == 4) return Be32(data_.data());
  SetGammaValue(1);
  return 1;
}

void TChunkgAMA::SetGammaValue(uint32_t value) {
  data_.resize(4);
  PutBe32(data_.data(), value);
}

bool TChunkgAMA::LoadFromStream(TStream& stream, const std::string& chunkName, uint32_t size) {
  TChunk::LoadFromStream(stream, chunkName, size);
  // A chunk of the wrong size or an unusable value leaves the tables as they are.
  if (size != 4) return true;
  const uint32_t value = Be32(data_.data());
  if (value == 0 || !SaneGamma(value)) return true;
  const double exponent = 1.0 / (value / 100000.0 * 2.2);
  for (int i = 0; i < 256; ++i) {
    const long g = std::clamp<long>(std::lround(std::pow(i / 255.0, exponent) * 255), 0, 255);
    owner_->GammaTable[i] = static_cast<uint8_t>(g);
    owner_->InverseGammaTable[g] = static_cast<uint8_t>(i);
  }
  return true;
}

void TChunkgAMA::CopyFrom(TChunk* source) {
  auto* other = dynamic_cast<TChunkgAMA*>(source);
  if (other == nullptr) TPNGObject::RaisePngException<EPngError>(EPNGCannotAssignChunkText);
  SetGammaValue(other->GammaValue());
}

// ================================================================================================
// TChunktIME

bool TChunktIME::LoadFromStream(TStream& stream, const std::string& chunkName, uint32_t size) {
  TChunk::LoadFromStream(stream, chunkName, size);
  if (size == 7) {
    Year = Be16(data_.data());
    Month = data_[2];
    Day = data_[3];
    Hour = data_[4];
    Minute = data_[5];
    Second = data_[6];
  }
  return true;
}

bool TChunktIME::SaveToStream(TStream& stream) {
  data_.assign(7, 0);
  PutBe16(data_.data(), Year);
  data_[2] = Month;
  data_[3] = Day;
  data_[4] = Hour;
  data_[5] = Minute;
  data_[6] = Second;
  return SaveRaw(stream);
}

void TChunktIME::CopyFrom(TChunk* source) {
  auto* other = dynamic_cast<TChunktIME*>(source);
  if (other == nullptr) TPNGObject::RaisePngException<EPngError>(EPNGCannotAssignChunkText);
  TChunk::CopyFrom(source);
  Year = other->Year;
  Month = other->Month;
  Day = other->Day;
  Hour = other->Hour;
  Minute = other->Minute;
  Second = other->Second;
}

// ================================================================================================
// TChunktEXt, TChunkzTXt

bool TChunktEXt::LoadFromStream(TStream& stream, const std::string& chunkName, uint32_t size) {
  TChunk::LoadFromStream(stream, chunkName, size);
  if (size > 2) {
    // The keyword ends at the first zero inside the data; without one the whole data is the
    // keyword and there is no text.
    const auto zero = std::find(data_.begin(), data_.end(), 0);
    Keyword.assign(data_.begin(), zero);
    Text = zero == data_.end() ? std::string() : std::string(zero + 1, data_.end());
  }
  return true;
}

bool TChunktEXt::SaveToStream(TStream& stream) {
  data_.assign(Keyword.begin(), Keyword.end());
  data_.push_back(0);
  data_.insert(data_.end(), Text.begin(), Text.end());
  return SaveRaw(stream);
}

void TChunktEXt::CopyFrom(TChunk* source) {
  auto* other = dynamic_cast<TChunktEXt*>(source);
  if (other == nullptr) TPNGObject::RaisePngException<EPngError>(EPNGCannotAssignChunkText);
  TChunk::CopyFrom(source);
  Keyword = other->Keyword;
  Text = other->Text;
}

bool TChunkzTXt::LoadFromStream(TStream& stream, const std::string& chunkName, uint32_t size) {
  TChunktEXt::LoadFromStream(stream, chunkName, size);
  if (size >= 4) {
    const auto zero = std::find(data_.begin(), data_.end(), 0);
    Keyword.assign(data_.begin(), zero);
    Text.clear();
    const size_t method = Keyword.size() + 1;
    if (method < data_.size() && data_[method] == 0) {
      std::string inflated, message;
      if (InflateText(data_.data() + method + 1, data_.size() - method - 1, inflated, message))
        Text = std::move(inflated);
    }
  }
  return true;
}

bool TChunkzTXt::SaveToStream(TStream& stream) {
  if (Text.empty()) Text = " ";
  std::string compressed, message;
  if (!DeflateText(Text, owner_->DeflateLevel(), compressed, message)) return false;
  data_.assign(Keyword.begin(), Keyword.end());
  data_.push_back(0);
  data_.push_back(0);
  data_.insert(data_.end(), compressed.begin(), compressed.end());
  return SaveRaw(stream);
}

bool InflateText(const uint8_t* data, size_t size, std::string& output, std::string& message,
                 size_t maxOutput) {
  output.clear();
  TZStream s;
  if (inflateInit_(&s.z, ZLIB_VERSION, static_cast<int>(sizeof(z_stream))) != Z_OK) {
    message = s.z.msg ? s.z.msg : "";
    return false;
  }
  s.inflating = true;
  s.z.next_in = const_cast<Bytef*>(data);
  s.z.avail_in = static_cast<uInt>(size);
  uint8_t block[256];
  for (;;) {
    s.z.next_out = block;
    s.z.avail_out = sizeof block;
    const int result = inflate(&s.z, Z_NO_FLUSH);
    if (result < 0) {
      message = s.z.msg ? s.z.msg : ZLibErrorText(result);
      output.clear();
      return false;
    }
    output.append(reinterpret_cast<char*>(block), sizeof block - s.z.avail_out);
    if (result == Z_STREAM_END) return true;
    // A text that will not end, or that grows past the cap, is given up.
    if (output.size() > maxOutput || result == Z_NEED_DICT) {
      message = "text too long";
      output.clear();
      return false;
    }
  }
}

bool DeflateText(const std::string& text, int level, std::string& output, std::string& message) {
  output.clear();
  TZStream s;
  if (deflateInit_(&s.z, level, ZLIB_VERSION, static_cast<int>(sizeof(z_stream))) != Z_OK) {
    message = s.z.msg ? s.z.msg : "";
    return false;
  }
  s.deflating = true;
  s.z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  s.z.avail_in = static_cast<uInt>(text.size());
  uint8_t block[256];
  for (;;) {
    s.z.next_out = block;
    s.z.avail_out = sizeof block;
    const int result = deflate(&s.z, Z_FINISH);
    if (result < 0 && result != Z_BUF_ERROR) {
      message = s.z.msg ? s.z.msg : ZLibErrorText(result);
      output.clear();
      return false;
    }
    output.append(reinterpret_cast<char*>(block), sizeof block - s.z.avail_out);
    if (result == Z_STREAM_END) return true;
  }
}

// ================================================================================================
// TChunkIDAT: image data

namespace {

// Reads compressed image data across consecutive IDAT chunks, checking each chunk's CRC.
class TIdatReader {
 public:
  TIdatReader(TStream& stream, const std::string& name, uint32_t size)
      : stream_(stream), input_(kInflateBlock) {
    crc_ = UpdateChunkCrc(0xFFFFFFFF, name.data(), 4);
    dataEnd_ = stream.Position() + size;
    if (inflateInit_(&z_.z, ZLIB_VERSION, static_cast<int>(sizeof(z_stream))) != Z_OK)
      throw EPNGZLIBError(std::string(EPNGZLIBErrorText) + ZLibErrorText(Z_STREAM_ERROR));
    z_.inflating = true;
  }

  // Fills the buffer; fewer bytes when the data runs out (0: nothing more).
  size_t Read(uint8_t* buffer, size_t count) {
    if (ended_) return 0;
    z_.z.next_out = buffer;
    z_.z.avail_out = static_cast<uInt>(count);
    while (z_.z.avail_out > 0) {
      if (z_.z.avail_in == 0 && stream_.Position() >= dataEnd_) {
        CheckCrc();
        uint8_t head[8];
        if (stream_.Read(head, 8) != 8) {
          ended_ = true;
          break;
        }
        if (std::memcmp(head + 4, "IDAT", 4) != 0)
          TPNGObject::RaisePngException<EPNGMissingMultipleIDAT>(EPNGMissingMultipleIDATText);
        crc_ = UpdateChunkCrc(0xFFFFFFFF, head + 4, 4);
        dataEnd_ = stream_.Position() + Be32(head);
      }
      if (z_.z.avail_in == 0) {
        const int64_t want = std::min<int64_t>(dataEnd_ - stream_.Position(), kInflateBlock);
        const int32_t got = want > 0 ? stream_.Read(input_.data(), static_cast<int32_t>(want)) : 0;
        if (got <= 0) {
          if (want > 0) {  // the stream ended inside the chunk
            ended_ = true;
            break;
          }
          continue;  // an empty chunk: on to the next one
        }
        crc_ = UpdateChunkCrc(crc_, input_.data(), static_cast<size_t>(got));
        z_.z.next_in = input_.data();
        z_.z.avail_in = static_cast<uInt>(got);
      }
      const int result = inflate(&z_.z, Z_NO_FLUSH);
      if (result < 0 && !(result == Z_BUF_ERROR && z_.z.avail_in == 0))
        throw EPNGZLIBError(std::string(EPNGZLIBErrorText) + ZLibErrorText(result));
      if (result == Z_STREAM_END || result == Z_NEED_DICT) {
        // The compressed stream is over: no more rows come from it.
        ended_ = true;
        break;
      }
    }
    return count - z_.z.avail_out;
  }

  // Reads what is left of the current chunk through the CRC, then its stored CRC.
  void Finish() {
    while (stream_.Position() < dataEnd_) {
      const int64_t want = std::min<int64_t>(dataEnd_ - stream_.Position(), kInflateBlock);
      const int32_t got = stream_.Read(input_.data(), static_cast<int32_t>(want));
      if (got <= 0) break;
      crc_ = UpdateChunkCrc(crc_, input_.data(), static_cast<size_t>(got));
    }
    CheckCrc();
  }

 private:
  void CheckCrc() {
    uint8_t stored[4];
    if (stream_.Read(stored, 4) != 4 || Be32(stored) != ~crc_)
      TPNGObject::RaisePngException<EPngInvalidCRC>(EPngInvalidCRCText);
  }

  TStream& stream_;
  TZStream z_;
  std::vector<uint8_t> input_;
  uint32_t crc_;
  int64_t dataEnd_;
  bool ended_ = false;
};

// Where the decoded rows of one image go, resolved from its header once per image.
struct TRowTarget {
  explicit TRowTarget(const TPNGObject& png, TChunkIHDR& h)
      : image(h.ImageData.data()),
        stride(h.BytesPerRow),
        height(h.Height),
        alpha(h.ImageAlpha.empty() ? nullptr : h.ImageAlpha.data()),
        width(h.Width),
        gamma(png.GammaTable.data()) {
    for (int i = 0; i < 256; ++i) gammaIsIdentity = gammaIsIdentity && gamma[i] == i;
  }
  // Rows are stored bottom-up.
  uint8_t* Row(int y) const {
    return image + size_t(height - 1 - static_cast<uint32_t>(y)) * stride;
  }
  uint8_t* AlphaRow(int y) const { return alpha ? alpha + size_t(y) * width : nullptr; }

  uint8_t* image;
  size_t stride;
  uint32_t height;
  uint8_t* alpha;
  uint32_t width;
  const uint8_t* gamma;
  bool gammaIsIdentity = true;
};

// Pixel i of a decoded (unfiltered) file row goes to column x of the stored image.
void StorePixel(const TRowTarget& t, const TChunkIHDR& h, const uint8_t* src, size_t i, int y,
                int x) {
  uint8_t* row = t.Row(y);
  const uint8_t* gamma = t.gamma;
  const unsigned depth = h.BitDepth;
  uint8_t* alpha = t.AlphaRow(y);
  switch (h.ColorType) {
    case 0:
    case 3:
      if (depth == 16) {
        row[x] = src[2 * i];
      } else if (depth == 2) {
        // 2-bit samples live in 4-bit storage: indexes keep their value, grey levels are
        // spread so that white stays white (3 -> 15).
        const unsigned v = PackedSample(src, i, 2);
        SetPackedSample(row, x, 4, h.ColorType == 0 ? v * 5 : v);
      } else {
        SetPackedSample(row, x, depth, PackedSample(src, i, depth));
      }
      break;
    case 2: {
      const size_t s = depth == 16 ? 6 * i : 3 * i;
      const size_t k = depth == 16 ? 2 : 1;
      row[3 * x] = gamma[src[s + 2 * k]];
      row[3 * x + 1] = gamma[src[s + k]];
      row[3 * x + 2] = gamma[src[s]];
      break;
    }
    case 4: {
      const size_t s = depth == 16 ? 4 * i : 2 * i;
      row[x] = src[s];
      if (alpha) alpha[x] = src[s + (depth == 16 ? 2 : 1)];
      break;
    }
    case 6: {
      const size_t k = depth == 16 ? 2 : 1;
      const size_t s = 4 * k * i;
      row[3 * x] = gamma[src[s + 2 * k]];
      row[3 * x + 1] = gamma[src[s + k]];
      row[3 * x + 2] = gamma[src[s]];
      if (alpha) alpha[x] = src[s + 3 * k];
      break;
    }
    default:
      break;
  }
}

// A whole decoded row of a non-interlaced image into stored row y: rows whose stored form
// is the file's are copied, 8-bit colour rows are reordered in one loop, the rest go pixel
// by pixel.
void StoreRow(const TRowTarget& t, const TChunkIHDR& h, const uint8_t* src, size_t rowBytes,
              int y) {
  uint8_t* row = t.Row(y);
  const uint32_t width = t.width;
  const unsigned depth = h.BitDepth;
  if ((h.ColorType == 0 || h.ColorType == 3) && (depth == 1 || depth == 4 || depth == 8)) {
    std::memcpy(row, src, rowBytes);
    // Bits past the last pixel stay clear, as the pixel-wise store left them.
    const unsigned usedBits = (width * depth) % 8;
    if (usedBits != 0) row[rowBytes - 1] &= static_cast<uint8_t>(0xFF00u >> usedBits);
    return;
  }
  if (depth == 8 && (h.ColorType == 2 || h.ColorType == 6)) {
    const size_t in = h.ColorType == 2 ? 3 : 4;
    uint8_t* alpha = t.AlphaRow(y);
    const uint8_t* gamma = t.gamma;
    if (t.gammaIsIdentity) {
      for (uint32_t x = 0; x < width; ++x, src += in, row += 3) {
        row[0] = src[2];
        row[1] = src[1];
        row[2] = src[0];
      }
    } else {
      for (uint32_t x = 0; x < width; ++x, src += in, row += 3) {
        row[0] = gamma[src[2]];
        row[1] = gamma[src[1]];
        row[2] = gamma[src[0]];
      }
    }
    if (alpha && in == 4) {
      src -= size_t{width} * 4;
      for (uint32_t x = 0; x < width; ++x) alpha[x] = src[4 * x + 3];
    }
    return;
  }
  for (uint32_t x = 0; x < width; ++x)
    StorePixel(t, h, src, static_cast<size_t>(x), y, static_cast<int>(x));
}

// Column x of the stored image becomes pixel i of a raw file row.
void GatherPixel(TPNGObject& png, const TChunkIHDR& h, uint8_t* dst, size_t i, int y, int x) {
  const uint8_t* row = png.RowAddress(y);
  const auto& inverse = png.InverseGammaTable;
  const unsigned depth = h.BitDepth;
  const uint8_t* alpha = h.ImageAlpha.empty() ? nullptr : h.ImageAlpha.data() + size_t(y) * h.Width;
  auto put = [&](size_t at, uint8_t v) {
    if (depth == 16) {
      dst[2 * at] = v;
      dst[2 * at + 1] = 0;
    } else {
      dst[at] = v;
    }
  };
  switch (h.ColorType) {
    case 0:
    case 3:
      if (depth == 16)
        put(i, row[x]);
      else
        SetPackedSample(dst, i, depth, PackedSample(row, x, depth));
      break;
    case 2:
      put(3 * i, inverse[row[3 * x + 2]]);
      put(3 * i + 1, inverse[row[3 * x + 1]]);
      put(3 * i + 2, inverse[row[3 * x]]);
      break;
    case 4:
      put(2 * i, row[x]);
      put(2 * i + 1, alpha ? alpha[x] : 255);
      break;
    case 6:
      put(4 * i, inverse[row[3 * x + 2]]);
      put(4 * i + 1, inverse[row[3 * x + 1]]);
      put(4 * i + 2, inverse[row[3 * x]]);
      put(4 * i + 3, alpha ? alpha[x] : 255);
      break;
    default:
      break;
  }
}

// Compresses raw rows into IDAT chunks of IdatChunkLimit bytes.
class TIdatWriter {
 public:
  TIdatWriter(TStream& stream, int level, size_t bufferSize)
      : stream_(stream), output_(bufferSize) {
    if (deflateInit_(&z_.z, level, ZLIB_VERSION, static_cast<int>(sizeof(z_stream))) != Z_OK)
      throw EPNGZLIBError(std::string(EPNGZLIBErrorText) + ZLibErrorText(Z_STREAM_ERROR));
    z_.deflating = true;
    z_.z.next_out = output_.data();
    z_.z.avail_out = static_cast<uInt>(output_.size());
  }

  void Write(const uint8_t* bytes, size_t count) {
    z_.z.next_in = const_cast<Bytef*>(bytes);
    z_.z.avail_in = static_cast<uInt>(count);
    while (z_.z.avail_in > 0) {
      deflate(&z_.z, Z_NO_FLUSH);
      if (z_.z.avail_out == 0) Flush();
    }
  }

  void Finish() {
    for (;;) {
      const int result = deflate(&z_.z, Z_FINISH);
      if (z_.z.avail_out == 0) Flush();
      if (result == Z_STREAM_END) break;
      if (result < 0 && result != Z_BUF_ERROR)
        throw EPNGZLIBError(std::string(EPNGZLIBErrorText) + ZLibErrorText(result));
    }
    if (z_.z.avail_out < output_.size()) Flush();
  }

 private:
  void Flush() {
    const size_t used = output_.size() - z_.z.avail_out;
    uint8_t head[8];
    PutBe32(head, static_cast<uint32_t>(used));
    std::memcpy(head + 4, "IDAT", 4);
    stream_.WriteBuffer(head, 8);
    if (used) stream_.WriteBuffer(output_.data(), static_cast<int64_t>(used));
    uint8_t tail[4];
    PutBe32(tail, ~UpdateChunkCrc(UpdateChunkCrc(0xFFFFFFFF, "IDAT", 4), output_.data(), used));
    stream_.WriteBuffer(tail, 4);
    z_.z.next_out = output_.data();
    z_.z.avail_out = static_cast<uInt>(output_.size());
  }

  TStream& stream_;
  TZStream z_;
  std::vector<uint8_t> output_;
};

// Picks the filter for one raw row and leaves the row in buffer 0 for the next one.
uint8_t ChooseFilter(TFilters set, std::vector<uint8_t> (&buffers)[5],
                     const std::vector<uint8_t>& raw, size_t rowBytes, size_t step) {
  const uint8_t* prev = buffers[0].data();
  const uint8_t* x = raw.data();
  if (set.Contains(fsSub))
    for (size_t i = 0; i < rowBytes; ++i)
      buffers[1][i] = static_cast<uint8_t>(x[i] - (i >= step ? x[i - step] : 0));
  if (set.Contains(fsUp))
    for (size_t i = 0; i < rowBytes; ++i) buffers[2][i] = static_cast<uint8_t>(x[i] - prev[i]);
  if (set.Contains(fsAverage))
    for (size_t i = 0; i < rowBytes; ++i)
      buffers[3][i] = static_cast<uint8_t>(x[i] - ((i >= step ? x[i - step] : 0) + prev[i]) / 2);
  if (set.Contains(fsPaeth))
    for (size_t i = 0; i < rowBytes; ++i)
      buffers[4][i] =
          static_cast<uint8_t>(x[i] - png_rows::Paeth(i >= step ? x[i - step] : 0, prev[i],
                                                      i >= step ? prev[i - step] : 0));
  std::copy(raw.begin(), raw.begin() + rowBytes, buffers[0].begin());
  if (set.Empty() || set == TFilters{fsNone}) return 0;
  uint8_t result = 0;
  size_t best = 0;
  for (int f = 0; f <= 4; ++f) {
    const auto filter = static_cast<TFilter>(f);
    if (!set.Contains(filter)) continue;
    if (set == TFilters{filter}) return static_cast<uint8_t>(f);
    const uint8_t* c = buffers[f].data();
    size_t score = 0;
    for (size_t j = 2; j < rowBytes; ++j)
      if (c[j] == c[j - 1] || c[j] == c[j - 2]) ++score;
    if (score > best) {
      best = score;
      result = static_cast<uint8_t>(f);
    }
  }
  return result;
}

}  // namespace

bool TChunkIDAT::LoadFromStream(TStream& stream, const std::string& chunkName, uint32_t size) {
  TChunkIHDR* header = OwnerHeader();
  TPNGObject& png = *owner_;
  if (header->HasColorTable && (header->ColorType == 0 || header->ColorType == 4)) {
    const unsigned bits = header->BitmapHeader.biBitCount;
    const unsigned count = 1u << bits;
    for (unsigned n = 0; n < count; ++n) {
      const uint8_t g =
          png.GammaTable[MulDiv(static_cast<int>(n), 255, static_cast<int>(count - 1))];
      header->ColorTable[n] = {g, g, g, 0};
    }
    png.DropCachedPalette();
  }
  if (header->ImageData.empty()) {
    // No storage (refused header): the data is passed over through its CRC.
    return TChunk::LoadFromStream(stream, chunkName, size);
  }
  uint32_t rowBytes = 0, step = 0;
  png.RowInfo(rowBytes, step);
  const int width = static_cast<int>(header->Width);
  const int height = static_cast<int>(header->Height);
  TIdatReader reader(stream, chunkName, size);
  std::vector<uint8_t> rows[2] = {std::vector<uint8_t>(rowBytes + 1, 0),
                                  std::vector<uint8_t>(rowBytes + 1, 0)};
  int current = 1;  // the first row goes into the second buffer: row 0 sees a zero row above
  auto readRow = [&](size_t bytes) -> uint8_t* {
    uint8_t* row = rows[current].data();
    // Rows the image data does not reach make the file damaged, not the image blank.
    if (reader.Read(row, bytes + 1) < bytes + 1)
      TPNGObject::RaisePngException<EPNGMissingMultipleIDAT>(EPNGMissingMultipleIDATText);
    png_rows::UnfilterRow(row[0], row + 1, rows[1 - current].data() + 1, bytes,
                          std::max<uint32_t>(step, 1));
    current = 1 - current;
    return row;
  };
  const TRowTarget target(png, *header);
  if (png.InterlaceKind() == 0) {
    for (int y = 0; y < height; ++y) {
      const uint8_t* row = readRow(rowBytes);
      if (row == nullptr) break;
      StoreRow(target, *header, row + 1, rowBytes, y);
    }
  } else {
    for (int pass = 0; pass < 7; ++pass) {
      const int passWidth =
          (width + png_rows::kColumnIncrement[pass] - png_rows::kStartColumn[pass] - 1) /
          png_rows::kColumnIncrement[pass];
      const uint32_t passBytes = RowBytesFor(static_cast<uint64_t>(std::max(passWidth, 0)),
                                             header->ColorType, header->BitDepth);
      std::fill(rows[1 - current].begin(), rows[1 - current].end(), 0);
      if (passBytes == 0) continue;
      bool stop = false;
      for (int y = png_rows::kStartRow[pass]; y < height; y += png_rows::kRowIncrement[pass]) {
        const uint8_t* row = readRow(passBytes);
        if (row == nullptr) {
          stop = true;
          break;
        }
        for (int k = 0; k < passWidth; ++k)
          StorePixel(target, *header, row + 1, static_cast<size_t>(k), y,
                     png_rows::kStartColumn[pass] + k * png_rows::kColumnIncrement[pass]);
      }
      if (stop) break;
    }
  }
  reader.Finish();
  return true;
}

bool TChunkIDAT::SaveToStream(TStream& stream) {
  TChunkIHDR* header = OwnerHeader();
  TPNGObject& png = *owner_;
  uint32_t rowBytes = 0, step = 0;
  png.RowInfo(rowBytes, step);
  const int width = static_cast<int>(header->Width);
  const int height = static_cast<int>(header->Height);
  std::vector<uint8_t> raw(rowBytes + 1, 0);
  std::vector<uint8_t> buffers[5];
  for (auto& b : buffers) b.assign(rowBytes + 1, 0);
  const TFilters set = png.FilterSet();
  TIdatWriter writer(stream, png.DeflateLevel(), static_cast<size_t>(png.IdatChunkLimit()));
  const size_t pixelStep = std::max<uint32_t>(step, 1);

  auto writeRow = [&](size_t bytes) {
    const uint8_t filter = ChooseFilter(set, buffers, raw, bytes, pixelStep);
    writer.Write(&filter, 1);
    writer.Write(buffers[filter].data(), bytes);
  };
  if (!header->ImageData.empty()) {
    if (png.InterlaceKind() == 0) {
      for (int y = 0; y < height; ++y) {
        std::fill(raw.begin(), raw.end(), 0);
        for (int x = 0; x < width; ++x)
          GatherPixel(png, *header, raw.data(), static_cast<size_t>(x), y, x);
        writeRow(rowBytes);
      }
    } else {
      for (int pass = 0; pass < 7; ++pass) {
        const int passWidth =
            (width + png_rows::kColumnIncrement[pass] - png_rows::kStartColumn[pass] - 1) /
            png_rows::kColumnIncrement[pass];
        const uint32_t passBytes = RowBytesFor(static_cast<uint64_t>(std::max(passWidth, 0)),
                                               header->ColorType, header->BitDepth);
        std::fill(buffers[0].begin(), buffers[0].end(), 0);
        if (passBytes == 0) continue;
        for (int y = png_rows::kStartRow[pass]; y < height; y += png_rows::kRowIncrement[pass]) {
          std::fill(raw.begin(), raw.end(), 0);
          for (int k = 0; k < passWidth; ++k)
            GatherPixel(png, *header, raw.data(), static_cast<size_t>(k), y,
                        png_rows::kStartColumn[pass] + k * png_rows::kColumnIncrement[pass]);
          writeRow(passBytes);
        }
      }
    }
  }
  writer.Finish();
  return true;
}

// ================================================================================================
// TPNGList

TChunk* TPNGList::ChunkAt(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<size_t>(index)].get();
}

TChunk* TPNGList::Add(std::unique_ptr<TChunk> chunk) {
  items_.push_back(std::move(chunk));
  return items_.back().get();
}

std::unique_ptr<TChunk> TPNGList::Remove(TChunk* chunk) {
  for (auto it = items_.rbegin(); it != items_.rend(); ++it)
    if (it->get() == chunk) {
      std::unique_ptr<TChunk> taken = std::move(*it);
      items_.erase(std::next(it).base());
      return taken;
    }
  return nullptr;
}

TChunk* TPNGList::FindByClass(const TClassInfo* chunkClass) const {
  for (const auto& c : items_)
    if (c->InheritsFrom(chunkClass)) return c.get();
  return nullptr;
}

// ================================================================================================
// TPNGObject

TPNGObject::TPNGObject() { ResetGamma(); }

TPNGObject::~TPNGObject() { chunks_.Clear(); }

void TPNGObject::ResetGamma() {
  for (int i = 0; i < 256; ++i) GammaTable[i] = InverseGammaTable[i] = static_cast<uint8_t>(i);
}

bool TPNGObject::HasHeader() const {
  TChunk* first = chunks_.ChunkAt(0);
  return first != nullptr && first->Is<TChunkIHDR>();
}

TChunkIHDR* TPNGObject::RequireHeader() const {
  if (!HasHeader()) RaisePngException<EPNGHeaderNotPresent>(EPNGHeaderNotPresentText);
  return static_cast<TChunkIHDR*>(chunks_.ChunkAt(0));
}

int TPNGObject::Width() const { return HasHeader() ? static_cast<int>(RequireHeader()->Width) : 0; }
int TPNGObject::Height() const {
  return HasHeader() ? static_cast<int>(RequireHeader()->Height) : 0;
}
void TPNGObject::SetWidth(int) { RaisePngException<EPngError>(EPNGCannotChangeSizeText); }
void TPNGObject::SetHeight(int) { RaisePngException<EPngError>(EPNGCannotChangeSizeText); }

uint8_t* TPNGObject::RowAddress(int row) const {
  TChunkIHDR* h = RequireHeader();
  if (h->ImageData.empty() || row < 0 || row >= static_cast<int>(h->Height)) return nullptr;
  return h->ImageData.data() + size_t(h->Height - 1 - static_cast<uint32_t>(row)) * h->BytesPerRow;
}

void TPNGObject::RowInfo(uint32_t& rowBytes, uint32_t& pixelStep) const {
  const TChunkIHDR* h = RequireHeader();
  rowBytes = RowBytesFor(h->Width, h->ColorType, h->BitDepth);
  switch (h->ColorType) {
    case 0:
      pixelStep = h->BitDepth == 16 ? 2 : 1;
      break;
    case 3:
      pixelStep = 1;
      break;
    case 2:
      pixelStep = h->BitDepth * 3 / 8;
      break;
    case 4:
      pixelStep = h->BitDepth / 4;
      break;
    case 6:
      pixelStep = h->BitDepth / 2;
      break;
    default:
      pixelStep = 1;
  }
}

TPngTransparency TPNGObject::TransparencyKind() const {
  if (!HasHeader()) return tmOpaque;
  const TChunkIHDR* h = RequireHeader();
  auto* trns = chunks_.Find<TChunktRNS>();
  switch (h->ColorType) {
    case 0:
    case 2:
      return trns && trns->IsKeyColor() ? tmKeyColor : tmOpaque;
    case 3:
      if (!trns) return tmOpaque;
      return trns->IsKeyColor() ? tmKeyColor : tmAlpha;
    case 4:
    case 6:
      return tmAlpha;
    default:
      return tmOpaque;
  }
}

TColor TPNGObject::KeyColor() const {
  auto* trns = chunks_.Find<TChunktRNS>();
  return trns ? trns->KeyColor() : 0;
}

void TPNGObject::FreeAllChunks() {
  ResetGamma();
  chunks_.Clear();
  cachedPalette_.clear();
}

void TPNGObject::LoadFromStream(TStream& stream) {
  FreeAllChunks();
  uint8_t signature[8] = {};
  if (stream.Read(signature, 8) != 8 || std::memcmp(signature, kSignature, 8) != 0)
    RaisePngException<EPNGInvalidFileHeader>(EPNGInvalidFileHeaderText);
  bool hasIdat = false;
  for (;;) {
    uint8_t head[8];
    if (stream.Read(head, 4) != 4) RaisePngException<EPngUnexpectedEnd>(EPNGUnexpectedEndText);
    const uint32_t length = Be32(head);
    if (stream.Read(head + 4, 4) != 4) RaisePngException<EPngUnexpectedEnd>(EPNGUnexpectedEndText);
    const std::string name(reinterpret_cast<char*>(head + 4), 4);
    if (chunks_.Count() == 0 && name != "IHDR")
      RaisePngException<EPNGIHDRNotFirst>(EPNGIHDRNotFirstText);
    if ((name == "IDAT" && hasIdat) || name == "cHRM") {
      stream.Seek(int64_t{length} + 4, soCurrent);
      continue;
    }
    // A second header would describe an image the first one's storage does not hold.
    if (name == "IHDR" && chunks_.Count() > 0)
      RaisePngException<EPngInvalidIHDR>(EPNGInvalidIHDRText);
    // One colour table: a second PLTE would be written back as a second chunk.
    if (name == "PLTE" && chunks_.Find<TChunkPLTE>() != nullptr)
      RaisePngException<EPNGInvalidPalette>(EPNGInvalidPaletteText);
    std::unique_ptr<TChunk> chunk = CreateChunkForName(this, name);
    if (chunk->ClassInfo() == TChunk::StaticClassInfo() && !(head[4] & 0x20))
      RaisePngException<EPNGUnknownCriticalChunk>(EPNGUnknownCriticalChunkText);
    TChunk* added = chunks_.Add(std::move(chunk));
    if (name == "IDAT") hasIdat = true;
    added->LoadFromStream(stream, name, length);
    if (name == "IEND") break;
  }
  if (!hasIdat) RaisePngException<EPNGNoImageData>(EPNGNoImageDataText);
  Changed(this);
}

void TPNGObject::SaveToStream(TStream& stream) {
  stream.WriteBuffer(kSignature, 8);
  for (int i = 0; i < chunks_.Count(); ++i) chunks_.ChunkAt(i)->SaveToStream(stream);
}

void TPNGObject::CopyFromPng(TPNGObject* source) {
  if (source == this) return;
  interlaceKind_ = source->interlaceKind_;
  SetIdatChunkLimit(source->idatChunkLimit_);
  deflateLevel_ = source->deflateLevel_;
  filterSet_ = source->filterSet_;
  FreeAllChunks();
  // The copy writes the same file as the source: its PLTE and RGB samples go back through
  // the same inverse gamma.
  GammaTable = source->GammaTable;
  InverseGammaTable = source->InverseGammaTable;
  for (int i = 0; i < source->chunks_.Count(); ++i) {
    TChunk* from = source->chunks_.ChunkAt(i);
    std::unique_ptr<TChunk> chunk = NewChunkOfClass(this, from->ClassInfo());
    TChunk* added = chunks_.Add(std::move(chunk));
    added->SetName(from->Name());
    added->CopyFrom(from);
  }
  Changed(this);
}

void TPNGObject::Assign(TPersistent* source) {
  if (auto* png = dynamic_cast<TPNGObject*>(source)) {
    CopyFromPng(png);
  } else if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
    FromBitmap(bitmap, bitmap->Transparent(), ColorToRGB(bitmap->TransparentColor()));
  } else {
    TGraphic::Assign(source);
  }
}

void TPNGObject::AssignTo(TPersistent* dest) {
  if (auto* png = dynamic_cast<TPNGObject*>(dest)) {
    png->CopyFromPng(this);
    return;
  }
  auto* bitmap = dynamic_cast<TBitmap*>(dest);
  if (bitmap == nullptr || !HasHeader()) {
    TGraphic::AssignTo(dest);
    return;
  }
  const TChunkIHDR* h = RequireHeader();
  TPixelFormat format = pf24bit;
  switch (h->BitmapHeader.biBitCount) {
    case 1:
      format = pf1bit;
      break;
    case 4:
      format = pf4bit;
      break;
    case 8:
      format = pf8bit;
      break;
    case 32:
      format = pf32bit;
      break;
    default:
      format = pf24bit;
  }
  bitmap->SetSize(0, 0);
  bitmap->SetPixelFormat(format);
  if (h->HasColorTable)
    bitmap->SetPalette(TColorTable(h->ColorTable.begin(),
                                   h->ColorTable.begin() + (1u << h->BitmapHeader.biBitCount)));
  bitmap->SetSize(static_cast<int>(h->Width), static_cast<int>(h->Height));
  // The same DIB layout on both sides: the rows copy as one block.
  if (uint8_t* bits = bitmap->Bits())
    std::memcpy(bits, h->ImageData.data(), std::min(bitmap->BitsSize(), h->ImageData.size()));
  if (TransparencyKind() == tmKeyColor) {
    bitmap->SetTransparentColor(KeyColor());
    bitmap->SetTransparent(true);
  }
}

void TPNGObject::FromBitmap(TBitmap* bitmap, bool transparent, TColor keyColor) {
  FreeAllChunks();
  TBitmap source;
  source.Assign(bitmap);
  const int bits = source.BitsPerPixel();
  const bool indexed = bits > 0 && bits < 16;
  if (!indexed) source.SetPixelFormat(pf24bit);

  auto* header = AppendChunk<TChunkIHDR>(this);
  TChunkPLTE* plte = indexed ? AppendChunk<TChunkPLTE>(this) : nullptr;
  TChunktRNS* trns = transparent ? AppendChunk<TChunktRNS>(this) : nullptr;
  AppendChunk<TChunkIDAT>(this);
  AppendChunk<TChunkIEND>(this);

  header->Width = static_cast<uint32_t>(source.Width());
  header->Height = static_cast<uint32_t>(std::abs(source.Height()));
  header->BitDepth = static_cast<uint8_t>(indexed ? bits : 8);
  header->ColorType = indexed ? 3 : 2;
  header->CompressionMethod = 0;
  header->InterlaceMethod = 0;
  interlaceKind_ = 0;
  header->MakeImageStorage();
  if (indexed) {
    const TColorTable& palette = source.Palette();
    for (size_t i = 0; i < palette.size() && i < 256; ++i) header->ColorTable[i] = palette[i];
  }
  if (!source.Empty() && !header->ImageData.empty())
    std::memcpy(header->ImageData.data(), source.Bits(),
                std::min(source.BitsSize(), header->ImageData.size()));
  if (plte) plte->SetCount(1u << bits);
  if (trns) trns->SetKeyColor(keyColor);
  Changed(this);
}

const TColorTable& TPNGObject::GetPalette() {
  if (HasHeader() && cachedPalette_.empty()) {
    const TChunkIHDR* h = RequireHeader();
    if (h->ColorType == 0 || h->ColorType == 3)
      cachedPalette_.assign(h->ColorTable.begin(), h->ColorTable.end());
  }
  return cachedPalette_;
}

void TPNGObject::SetPalette(const TColorTable& palette) {
  if (!HasHeader()) return;
  TChunkIHDR* h = RequireHeader();
  if (h->ColorType != 0 && h->ColorType != 3) return;
  for (size_t i = 0; i < palette.size() && i < 256; ++i) h->ColorTable[i] = palette[i];
  cachedPalette_.clear();
}

TColor TPNGObject::PixelAt(int x, int y) {
  if (!HasHeader() || x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
  const TChunkIHDR* h = RequireHeader();
  const uint8_t* row = RowAddress(y);
  if (row == nullptr) return 0;
  switch (h->ColorType) {
    case 0:
    case 3: {
      // Storage depth: 2-bit images are kept (and read) with 4 bits.
      const unsigned depth = std::min<unsigned>(h->BitmapHeader.biBitCount, 8);
      const unsigned v = PackedSample(row, static_cast<size_t>(x), depth);
      if (h->ColorType == 3) return ColorFromQuad(h->ColorTable[v]);
      const uint8_t g = GammaTable[v * 255 / ((1u << depth) - 1)];
      return MakeColor(g, g, g);
    }
    case 4:
      return MakeColor(row[x], row[x], row[x]);
    case 2:
    case 6:
      return MakeColor(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    default:
      return 0;
  }
}

void TPNGObject::SetPixelAt(int x, int y, TColor color) {
  if (!HasHeader() || x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  const TChunkIHDR* h = RequireHeader();
  uint8_t* row = RowAddress(y);
  if (row == nullptr) return;
  color = ColorToRGB(color);
  switch (h->ColorType) {
    case 0:
    case 3: {
      // Only entries the stored depth can address are candidates.
      const unsigned depth = std::min<unsigned>(h->BitmapHeader.biBitCount, 8);
      const TColorTable& palette = GetPalette();
      const TColorTable usable(palette.begin(),
                               palette.begin() + std::min<size_t>(palette.size(), 1u << depth));
      SetPackedSample(row, static_cast<size_t>(x), depth,
                      static_cast<unsigned>(NearestPaletteIndex(usable, color)));
      break;
    }
    case 4:
      row[x] = ColorR(color);
      break;
    case 2:
    case 6:
      row[3 * x] = ColorB(color);
      row[3 * x + 1] = ColorG(color);
      row[3 * x + 2] = ColorR(color);
      break;
    default:
      break;
  }
}

void TPNGObject::BlendOnto(uint8_t* bgra, int stride) {
  if (!HasHeader() || bgra == nullptr) return;
  const TChunkIHDR* h = RequireHeader();
  if (h->ImageData.empty()) return;
  auto* trns = chunks_.Find<TChunktRNS>();
  const int width = Width();
  for (int y = 0; y < Height(); ++y) {
    const uint8_t* row = RowAddress(y);
    const uint8_t* alphaRow =
        h->ImageAlpha.empty() ? nullptr : h->ImageAlpha.data() + size_t(y) * h->Width;
    uint8_t* out = bgra + ptrdiff_t(y) * stride;
    for (int x = 0; x < width; ++x) {
      unsigned b, g, r, a;
      switch (h->ColorType) {
        case 6:
        case 2:
          b = row[3 * x];
          g = row[3 * x + 1];
          r = row[3 * x + 2];
          a = alphaRow ? alphaRow[x] : 255;
          break;
        case 4:
          b = g = r = row[x];
          a = alphaRow ? alphaRow[x] : 255;
          break;
        default: {
          const unsigned depth = std::min<unsigned>(h->BitmapHeader.biBitCount, 8);
          const unsigned index = PackedSample(row, static_cast<size_t>(x), depth);
          const TRGBQuad q = h->ColorTable[index];
          b = q.Blue;
          g = q.Green;
          r = q.Red;
          a = trns ? trns->Table()[index] : 255;
        }
      }
      uint8_t* p = out + 4 * x;
      p[0] = static_cast<uint8_t>((a * b + (255 - a) * p[0] + 255) >> 8);
      p[1] = static_cast<uint8_t>((a * g + (255 - a) * p[1] + 255) >> 8);
      p[2] = static_cast<uint8_t>((a * r + (255 - a) * p[2] + 255) >> 8);
    }
  }
}

#ifndef _WIN32
// Natively there is no device to draw on; the Win32 build draws in pngimageWin32.cpp.
void TPNGObject::Draw(TCanvas*, const TRect&) {}
#endif

// ================================================================================================

void RegisterPNGObject() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  // The skin engine's reader registers "png" first; this later "PNG" wins the extension.
  RegisterPNGGraphic();
  RegisterStandardChunks();
  TPicture::RegisterFileFormat("PNG", "Portable Network Graphics", TPNGObject::StaticClassInfo());
}

void UnregisterPNGObject() { TPicture::UnregisterGraphicClass(TPNGObject::StaticClassInfo()); }
