// PNG files made in code for the codec tests: every colour type, depth and interlacing,
// rows filtered with all five filters, chunks in any order.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace pngtest {

struct PngShape {
  uint32_t width = 4;
  uint32_t height = 3;
  uint8_t depth = 8;
  uint8_t colorType = 2;
  uint8_t interlace = 0;
};

// Number of samples per pixel of a colour type.
int Channels(uint8_t colorType);
// The raw sample of channel c at (x, y): a fixed pattern that varies in every bit.
uint16_t Sample(const PngShape& shape, uint32_t x, uint32_t y, int c);
// The PLTE colours of palette fixtures: entry i as 0x00BBGGRR.
uint32_t PaletteColor(unsigned i);

std::string Chunk(const std::string& type, const std::string& data);
std::string IhdrData(const PngShape& shape);
// The image's scan lines, filtered (filter type = row number mod 5), not yet compressed.
std::string FilteredData(const PngShape& shape);
std::string Zlib(const std::string& raw, int level = 6);
std::string PlteData(unsigned entries);

struct Options {
  std::vector<std::pair<std::string, std::string>> before;  // chunks between IHDR and IDAT
  std::vector<std::pair<std::string, std::string>> after;   // chunks between IDAT and IEND
  size_t idatSplit = 0;  // split the compressed data into pieces of this size (0: one IDAT)
  bool emptyIdatBetween = false;
  bool palette = true;  // a PLTE for colour type 3
};
std::string MakePng(const PngShape& shape, const Options& options = {});

const std::string& Signature();

// A 32-bit number as its four bytes, most significant first, and read back from `at`.
std::string Be32(uint32_t v);
uint32_t GetBe32(const std::string& s, size_t at);

// Every colour type with each of its bit depths, plain and interlaced, in one size.
std::vector<PngShape> EveryFormat(uint32_t width, uint32_t height);

// Chunks of a file in order: (type, data).
std::vector<std::pair<std::string, std::string>> SplitChunks(const std::string& png);

}  // namespace pngtest
