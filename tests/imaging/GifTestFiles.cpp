#include "tests/imaging/GifTestFiles.h"

#include <cstddef>

#include "imaging/GIFImage.h"

namespace {

void Word(TBytes& d, int v) {
  d.push_back(static_cast<uint8_t>(v & 0xFF));
  d.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

int TableBits(size_t n) {
  int bits = 1;
  while ((size_t{1} << bits) < n) ++bits;
  return bits;
}

void SubBlocks(TBytes& d, const TBytes& payload) {
  for (size_t pos = 0; pos < payload.size(); pos += 255) {
    const size_t n = std::min<size_t>(255, payload.size() - pos);
    d.push_back(static_cast<uint8_t>(n));
    d.insert(d.end(), payload.begin() + static_cast<std::ptrdiff_t>(pos),
             payload.begin() + static_cast<std::ptrdiff_t>(pos + n));
  }
  d.push_back(0);
}

}  // namespace

void TGifBuilder::ColorTable(const std::vector<TColor>& colors) {
  const size_t n = size_t{1} << TableBits(colors.size());
  for (size_t i = 0; i < n; ++i) {
    const TColor c = i < colors.size() ? colors[i] : 0;
    data_.push_back(ColorR(c));
    data_.push_back(ColorG(c));
    data_.push_back(ColorB(c));
  }
}

TGifBuilder& TGifBuilder::Header(int width, int height, const std::vector<TColor>& globalColors,
                                 const std::string& signature, uint8_t background) {
  data_.insert(data_.end(), signature.begin(), signature.end());
  Word(data_, width);
  Word(data_, height);
  uint8_t packed = 0x70;
  if (!globalColors.empty())
    packed |= 0x80 | static_cast<uint8_t>(TableBits(globalColors.size()) - 1);
  data_.push_back(packed);
  data_.push_back(background);
  data_.push_back(0);
  if (!globalColors.empty()) ColorTable(globalColors);
  return *this;
}

TGifBuilder& TGifBuilder::GraphicControl(int disposal, int delay, int transparentIndex) {
  data_.insert(data_.end(), {'!', 0xF9, 4});
  data_.push_back(static_cast<uint8_t>((disposal << 2) | (transparentIndex >= 0 ? 1 : 0)));
  Word(data_, delay);
  data_.push_back(static_cast<uint8_t>(transparentIndex >= 0 ? transparentIndex : 0));
  data_.push_back(0);
  return *this;
}

TGifBuilder& TGifBuilder::Loop(int repeatCount) {
  const std::string id = "NETSCAPE2.0";
  data_.insert(data_.end(), {'!', 0xFF, 11});
  data_.insert(data_.end(), id.begin(), id.end());
  data_.insert(data_.end(), {3, 1});
  Word(data_, repeatCount);
  data_.push_back(0);
  return *this;
}

TGifBuilder& TGifBuilder::Comment(const std::string& text) {
  data_.insert(data_.end(), {'!', 0xFE});
  SubBlocks(data_, TBytes(text.begin(), text.end()));
  return *this;
}

TGifBuilder& TGifBuilder::Application(uint8_t blockSize, const std::string& identifier,
                                      const TBytes& data) {
  data_.insert(data_.end(), {'!', 0xFF, blockSize});
  data_.insert(data_.end(), identifier.begin(), identifier.end());
  SubBlocks(data_, data);
  return *this;
}

TBytes PackCodes(int minCodeSize, const std::vector<int>& codes, int codeWidth) {
  TBytes packed;
  uint32_t bucket = 0;
  int bits = 0;
  for (int code : codes) {
    bucket |= static_cast<uint32_t>(code) << bits;
    bits += codeWidth;
    while (bits >= 8) {
      packed.push_back(static_cast<uint8_t>(bucket));
      bucket >>= 8;
      bits -= 8;
    }
  }
  if (bits > 0) packed.push_back(static_cast<uint8_t>(bucket));
  TBytes out{static_cast<uint8_t>(minCodeSize)};
  SubBlocks(out, packed);
  return out;
}

std::vector<int> InterlacedRowOrder(int height) {
  std::vector<int> rows;
  const int start[4] = {0, 4, 2, 1};
  const int step[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int r = start[pass]; r < height; r += step[pass]) rows.push_back(r);
  return rows;
}

TGifBuilder& TGifBuilder::Frame(int left, int top, int width, int height,
                                const std::vector<uint8_t>& pixels, int minCodeSize,
                                const std::vector<TColor>& localColors, bool interlaced) {
  const int clear = 1 << minCodeSize;
  std::vector<int> codes{clear};
  int sinceClear = 0;
  std::vector<int> order;
  if (interlaced)
    order = InterlacedRowOrder(height);
  else
    for (int r = 0; r < height; ++r) order.push_back(r);
  for (int r : order)
    for (int x = 0; x < width; ++x) {
      // After a clear the decoder adds no entry for the first code and one for every later
      // one; the width would grow after clear - 2 codes.
      if (sinceClear == clear - 2) {
        codes.push_back(clear);
        sinceClear = 0;
      }
      codes.push_back(pixels[static_cast<size_t>(r) * width + x]);
      ++sinceClear;
    }
  codes.push_back(clear + 1);
  uint8_t packed = interlaced ? 0x40 : 0;
  if (!localColors.empty())
    packed |= 0x80 | static_cast<uint8_t>(TableBits(localColors.size()) - 1);
  data_.push_back(',');
  Word(data_, left);
  Word(data_, top);
  Word(data_, width);
  Word(data_, height);
  data_.push_back(packed);
  if (!localColors.empty()) ColorTable(localColors);
  const TBytes image = PackCodes(minCodeSize, codes, minCodeSize + 1);
  data_.insert(data_.end(), image.begin(), image.end());
  return *this;
}

TGifBuilder& TGifBuilder::RawFrame(int left, int top, int width, int height, const TBytes& data,
                                   uint8_t packed) {
  data_.push_back(',');
  Word(data_, left);
  Word(data_, top);
  Word(data_, width);
  Word(data_, height);
  data_.push_back(packed);
  data_.insert(data_.end(), data.begin(), data.end());
  return *this;
}

TGifBuilder& TGifBuilder::Byte(uint8_t b) {
  data_.push_back(b);
  return *this;
}

TGifBuilder& TGifBuilder::Bytes(const TBytes& b) {
  data_.insert(data_.end(), b.begin(), b.end());
  return *this;
}

TMemoryStream StreamOf(const TBytes& bytes) {
  TMemoryStream stream;
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  return stream;
}

TBytes BytesOf(TMemoryStream& stream) {
  return TBytes(stream.Memory(), stream.Memory() + stream.Size());
}

void LoadGif(TGIFImage& image, const TBytes& bytes, std::vector<std::string>* warnings) {
  if (warnings != nullptr)
    image.OnGIFWarning = [warnings](TObject*, int, const std::string& m) {
      warnings->push_back(m);
    };
  TMemoryStream stream = StreamOf(bytes);
  image.LoadFromStream(stream);
}

TBytes SaveGif(TGIFImage& image) {
  TMemoryStream stream;
  image.SaveToStream(stream);
  return BytesOf(stream);
}
