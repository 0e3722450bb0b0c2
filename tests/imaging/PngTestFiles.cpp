#include "tests/imaging/PngTestFiles.h"

#include <zlib.h>

#include <cstdlib>
#include <stdexcept>

namespace pngtest {

std::string Be32(uint32_t v) {
  std::string s;
  for (int i = 3; i >= 0; --i) s.push_back(static_cast<char>(v >> (8 * i)));
  return s;
}

uint32_t GetBe32(const std::string& s, size_t at) {
  return (uint32_t(uint8_t(s[at])) << 24) | (uint32_t(uint8_t(s[at + 1])) << 16) |
         (uint32_t(uint8_t(s[at + 2])) << 8) | uint8_t(s[at + 3]);
}

std::vector<PngShape> EveryFormat(uint32_t width, uint32_t height) {
  std::vector<PngShape> all;
  const std::pair<uint8_t, std::vector<uint8_t>> formats[] = {
      {0, {1, 2, 4, 8, 16}}, {2, {8, 16}}, {3, {1, 2, 4, 8}}, {4, {8, 16}}, {6, {8, 16}}};
  for (const auto& [type, depths] : formats)
    for (uint8_t depth : depths)
      for (uint8_t interlace : {0, 1}) all.push_back({width, height, depth, type, interlace});
  return all;
}

namespace {
void PutBe32(std::string& s, uint32_t v) { s += Be32(v); }

constexpr int kStartRow[7] = {0, 0, 4, 0, 2, 0, 1};
constexpr int kStartColumn[7] = {0, 4, 0, 2, 0, 1, 0};
constexpr int kRowIncrement[7] = {8, 8, 8, 4, 4, 2, 2};
constexpr int kColumnIncrement[7] = {8, 8, 4, 4, 2, 2, 1};

int PaethPredictor(int a, int b, int c) {
  int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

// Raw row bytes of `count` pixels starting at column x0 stepping dx.
std::string RawRow(const PngShape& s, uint32_t y, uint32_t x0, uint32_t dx, uint32_t count) {
  const int ch = Channels(s.colorType);
  const size_t bits = size_t(count) * ch * s.depth;
  std::string row((bits + 7) / 8, '\0');
  size_t bit = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t x = x0 + i * dx;
    for (int c = 0; c < ch; ++c) {
      const uint16_t v = Sample(s, x, y, c);
      if (s.depth == 16) {
        row[bit / 8] = static_cast<char>(v >> 8);
        row[bit / 8 + 1] = static_cast<char>(v);
      } else if (s.depth == 8) {
        row[bit / 8] = static_cast<char>(v);
      } else {
        const int shift = 8 - s.depth - static_cast<int>(bit % 8);
        row[bit / 8] = static_cast<char>(uint8_t(row[bit / 8]) | (v << shift));
      }
      bit += s.depth;
    }
  }
  return row;
}

std::string FilterRow(const std::string& raw, const std::string& prev, int type, size_t bpp) {
  std::string out(1, static_cast<char>(type));
  for (size_t i = 0; i < raw.size(); ++i) {
    const int x = uint8_t(raw[i]);
    const int a = i >= bpp ? uint8_t(raw[i - bpp]) : 0;
    const int b = prev.empty() ? 0 : uint8_t(prev[i]);
    const int c = (i >= bpp && !prev.empty()) ? uint8_t(prev[i - bpp]) : 0;
    int v = x;
    switch (type) {
      case 1:
        v = x - a;
        break;
      case 2:
        v = x - b;
        break;
      case 3:
        v = x - (a + b) / 2;
        break;
      case 4:
        v = x - PaethPredictor(a, b, c);
        break;
      default:
        break;
    }
    out.push_back(static_cast<char>(v & 0xFF));
  }
  return out;
}
}  // namespace

int Channels(uint8_t colorType) {
  switch (colorType) {
    case 2:
      return 3;
    case 4:
      return 2;
    case 6:
      return 4;
    default:
      return 1;
  }
}

uint16_t Sample(const PngShape& shape, uint32_t x, uint32_t y, int c) {
  const uint32_t v = x * 7919u + y * 104729u + uint32_t(c) * 7001u + x * y * 31u + 0x5A5Au;
  if (shape.depth == 16) return static_cast<uint16_t>(v ^ (v >> 9));
  return static_cast<uint16_t>((x * 3 + y * 5 + c * 7 + x * y) & ((1u << shape.depth) - 1));
}

uint32_t PaletteColor(unsigned i) {
  return ((i * 37u + 11) & 0xFF) | (((i * 91u + 3) & 0xFF) << 8) | (((i * 53u + 7) & 0xFF) << 16);
}

std::string Chunk(const std::string& type, const std::string& data) {
  std::string out;
  PutBe32(out, static_cast<uint32_t>(data.size()));
  out += type;
  out += data;
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), 4);
  crc = crc32(crc, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
  PutBe32(out, static_cast<uint32_t>(crc));
  return out;
}

std::string IhdrData(const PngShape& shape) {
  std::string d;
  PutBe32(d, shape.width);
  PutBe32(d, shape.height);
  d += static_cast<char>(shape.depth);
  d += static_cast<char>(shape.colorType);
  d += '\0';
  d += '\0';
  d += static_cast<char>(shape.interlace);
  return d;
}

std::string FilteredData(const PngShape& shape) {
  const size_t bpp = std::max<size_t>(1, size_t(Channels(shape.colorType)) * shape.depth / 8);
  std::string out;
  int filter = 0;
  if (shape.interlace == 0) {
    std::string prev;
    for (uint32_t y = 0; y < shape.height; ++y) {
      const std::string raw = RawRow(shape, y, 0, 1, shape.width);
      out += FilterRow(raw, prev, filter++ % 5, bpp);
      prev = raw;
    }
    return out;
  }
  for (int p = 0; p < 7; ++p) {
    if (uint32_t(kStartColumn[p]) >= shape.width) continue;
    const uint32_t count =
        (shape.width - kStartColumn[p] + kColumnIncrement[p] - 1) / kColumnIncrement[p];
    std::string prev;
    for (uint32_t y = kStartRow[p]; y < shape.height; y += kRowIncrement[p]) {
      const std::string raw = RawRow(shape, y, kStartColumn[p], kColumnIncrement[p], count);
      out += FilterRow(raw, prev, filter++ % 5, bpp);
      prev = raw;
    }
  }
  return out;
}

std::string Zlib(const std::string& raw, int level) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                level) != Z_OK)
    throw std::runtime_error("compress2 failed");
  out.resize(size);
  return out;
}

std::string PlteData(unsigned entries) {
  std::string d;
  for (unsigned i = 0; i < entries; ++i) {
    const uint32_t c = PaletteColor(i);
    d += static_cast<char>(c & 0xFF);
    d += static_cast<char>((c >> 8) & 0xFF);
    d += static_cast<char>((c >> 16) & 0xFF);
  }
  return d;
}

const std::string& Signature() {
  static const std::string s("\x89PNG\r\n\x1a\n", 8);
  return s;
}

std::string MakePng(const PngShape& shape, const Options& options) {
  std::string png = Signature() + Chunk("IHDR", IhdrData(shape));
  if (shape.colorType == 3 && options.palette) png += Chunk("PLTE", PlteData(1u << shape.depth));
  for (const auto& [type, data] : options.before) png += Chunk(type, data);
  const std::string z = Zlib(FilteredData(shape));
  if (options.idatSplit == 0) {
    png += Chunk("IDAT", z);
  } else {
    for (size_t at = 0; at < z.size(); at += options.idatSplit) {
      png += Chunk("IDAT", z.substr(at, options.idatSplit));
      if (options.emptyIdatBetween && at == 0) png += Chunk("IDAT", "");
    }
  }
  for (const auto& [type, data] : options.after) png += Chunk(type, data);
  png += Chunk("IEND", "");
  return png;
}

std::vector<std::pair<std::string, std::string>> SplitChunks(const std::string& png) {
  std::vector<std::pair<std::string, std::string>> out;
  size_t at = 8;
  while (at + 12 <= png.size()) {
    const uint32_t length = GetBe32(png, at);
    if (at + 12 + length > png.size()) break;
    out.emplace_back(png.substr(at + 4, 4), png.substr(at + 8, length));
    at += 12 + length;
  }
  return out;
}

}  // namespace pngtest
