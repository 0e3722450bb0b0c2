// LZW decoding of damaged and unusual code streams, and round trips through both encoders.
#include "imaging/GIFLzw.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <random>

#include "imaging/GIFImage.h"
#include "tests/imaging/GifTestFiles.h"

namespace {

struct TDecoded {
  std::vector<uint8_t> pixels;
  int64_t endPosition = 0;
  std::vector<std::string> warnings;
};

// Decodes image data followed by a marker byte; reports where the stream was left.
TDecoded Decode(const TBytes& data, int width, int height, bool interlaced = false,
                uint8_t fill = 0xEE) {
  TBytes bytes = data;
  bytes.push_back(';');
  TMemoryStream stream = StreamOf(bytes);
  TDecoded out;
  out.pixels.assign(static_cast<size_t>(width) * height, fill);
  TGIFWarningHandler warn = [&out](int, const std::string& m) { out.warnings.push_back(m); };
  DecodeLZW(stream, out.pixels.data(), width, height, interlaced, warn);
  out.endPosition = stream.Position();
  return out;
}

std::vector<uint8_t> Encode(const std::vector<uint8_t>& pixels, int width, int height, int bits,
                            bool rle, bool interlaced = false, int maxColor = -1) {
  TMemoryStream stream;
  std::unique_ptr<TGIFEncoder> encoder;
  if (rle)
    encoder = std::make_unique<TRLEEncoder>();
  else
    encoder = std::make_unique<TLZWEncoder>();
  encoder->EncodeFrame(stream, bits, maxColor < 0 ? 1 << bits : maxColor, pixels.data(), interlaced,
                       height, width);
  return BytesOf(stream);
}

TEST(GIFLzwDecoding, DataWithoutCodesLeavesTheFillValue) {
  const TDecoded d = Decode({2, 0}, 3, 2);
  EXPECT_EQ(d.pixels, std::vector<uint8_t>(6, 0xEE));
}

TEST(GIFLzwDecoding, StreamWithoutLeadingClearCodeDecodes) {
  // Codes 1, 2, 3 and the end code (5) at three bits, no clear code in front.
  const TDecoded d = Decode(PackCodes(2, {1, 2, 3, 5}, 3), 3, 1);
  EXPECT_EQ(d.pixels, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(d.endPosition, static_cast<int64_t>(PackCodes(2, {1, 2, 3, 5}, 3).size()));
}

TEST(GIFLzwDecoding, StreamIsLeftAtTheNextBlockAfterTheEndCode) {
  // End code straight before the terminator, and end code followed by extra sub-blocks.
  const TBytes plain = PackCodes(2, {4, 1, 5}, 3);
  EXPECT_EQ(Decode(plain, 1, 1).endPosition, static_cast<int64_t>(plain.size()));
  TBytes extra = plain;
  extra.pop_back();
  extra.insert(extra.end(), {3, 9, 9, 9, 2, 8, 8, 0});
  const TDecoded d = Decode(extra, 1, 1);
  EXPECT_EQ(d.pixels[0], 1);
  EXPECT_EQ(d.endPosition, static_cast<int64_t>(extra.size()));
  // The end code before the last pixel: the next block is not read as more data.
  for (const TBytes& early : {PackCodes(2, {4, 1, 5}, 3), PackCodes(2, {4, 5}, 3)}) {
    const TDecoded shortFrame = Decode(early, 3, 1);
    EXPECT_EQ(shortFrame.endPosition, static_cast<int64_t>(early.size()));
  }
}

TEST(GIFLzwDecoding, CutOffDataKeepsTheRestFilled) {
  const TBytes full = PackCodes(2, {4, 1, 2, 4, 3, 1, 4, 2, 2, 5}, 3);
  // Length byte claims more than follows: the bytes that are there are used.
  TBytes cut(full.begin(), full.begin() + 3);
  TBytes noMarker = cut;
  TMemoryStream stream = StreamOf(noMarker);
  std::vector<uint8_t> pixels(6, 0xEE);
  std::vector<std::string> warnings;
  DecodeLZW(stream, pixels.data(), 6, 1, false,
            [&](int, const std::string& m) { warnings.push_back(m); });
  EXPECT_EQ(pixels[0], 1);
  EXPECT_EQ(pixels[5], 0xEE);
  EXPECT_NE(std::find(warnings.begin(), warnings.end(), "Premature end of data"), warnings.end());
}

TEST(GIFLzwDecoding, TransparentFrameCutOffShowsTheMissingPartTransparent) {
  const std::vector<TColor> colors{clBlack, clWhite, clRed, clBlue};
  TBytes bytes = TGifBuilder()
                     .Header(4, 4, colors)
                     .GraphicControl(0, 0, 3)
                     .Frame(0, 0, 4, 4, std::vector<uint8_t>(16, 1))
                     .Data();
  ASSERT_GT(bytes.size(), 8u);
  bytes.erase(bytes.end() - 8, bytes.end());  // cut into the frame's data
  TGIFImage image;
  ASSERT_NO_THROW(LoadGif(image, bytes));
  ASSERT_EQ(image.FrameCount(), 1);
  EXPECT_EQ(image.Frame(0)->PixelAt(0, 0), 1);
  EXPECT_EQ(image.Frame(0)->PixelAt(3, 3), 3);
}

TEST(GIFLzwDecoding, InterlacedFramesFillEveryRowOnce) {
  for (int height = 1; height <= 9; ++height) {
    std::vector<uint8_t> pixels(static_cast<size_t>(2 * height));
    for (int r = 0; r < height; ++r)
      pixels[2 * r] = pixels[2 * r + 1] = static_cast<uint8_t>(r % 16);
    const TBytes file =
        TGifBuilder().Header(2, height, {}).Frame(0, 0, 2, height, pixels, 4, {}, true).Data();
    TGIFImage image;
    image.SetPaintFlags(0);
    LoadGif(image, file);
    ASSERT_EQ(image.FrameCount(), 1);
    std::vector<uint8_t> got(image.Frame(0)->Pixels(), image.Frame(0)->Pixels() + 2 * height);
    EXPECT_EQ(got, pixels) << "height " << height;
  }
}

TEST(GIFLzwDecoding, MinimumCodeSizeOutsideTheTablesStopsWithoutWriting) {
  for (uint8_t size : {0, 12, 13, 255}) {
    const TDecoded d = Decode({size, 2, 0xFF, 0xFF, 0}, 2, 2);
    EXPECT_EQ(d.pixels, std::vector<uint8_t>(4, 0xEE)) << int(size);
    EXPECT_EQ(d.endPosition, 5) << int(size);
  }
}

TEST(GIFLzwDecoding, CyclingCodeChainsStopInsteadOfOverflowing) {
  // Codes far beyond the table make entries whose prefixes point forward and back.
  std::vector<int> codes{256};
  std::mt19937 rng(7);
  for (int i = 0; i < 6000; ++i) codes.push_back(static_cast<int>(rng() % 4096));
  const TBytes data = PackCodes(8, codes, 12);
  std::vector<uint8_t> pixels(64 * 64, 0);
  TMemoryStream stream = StreamOf(data);
  try {
    DecodeLZW(stream, pixels.data(), 64, 64, false, {});
  } catch (const GIFException& e) {
    EXPECT_EQ(e.Message(), "Circular decoder table entry");
  }
}

TEST(GIFLzwDecoding, CodeWidthStaysAtTwelveBitsWhenTheTableIsFull) {
  // 8-bit pixels without repeats fill the table fast; the encoder then clears.
  std::vector<uint8_t> pixels(20000);
  std::mt19937 rng(3);
  for (auto& p : pixels) p = static_cast<uint8_t>(rng());
  const TBytes data = Encode(pixels, 200, 100, 8, false);
  const TDecoded d = Decode(data, 200, 100);
  EXPECT_EQ(d.pixels, pixels);
  EXPECT_TRUE(d.warnings.empty());
}

TEST(GIFLzwDecoding, ClearCodesStartTheTableAfreshWhateverCameBefore) {
  // Minimum code size 11 keeps every code 12 bits wide: clear 2048, end 2049, first new
  // entry 2050. After a clear, a code beyond the table (2054) becomes the prefix of a new
  // entry (2051); decoding 2051 then reads entry 2054, which must look as a fresh table
  // has it, not as the codes before the clear left it (that would give 3, 2, 2).
  const std::vector<int> afterClear{2048, 1, 2054, 2, 2051};
  const std::vector<uint8_t> fresh{1, 1, 1, 2, 0, 0, 2};
  struct TCase {
    const char* name;
    std::vector<int> before;
    std::vector<uint8_t> beforePixels;
  };
  const TCase cases[] = {
      {"nothing before", {}, {}},
      {"a filled table before", {2048, 7, 6, 5, 4, 3, 2, 1}, {7, 6, 5, 4, 3, 2, 1}},
      {"clear codes between single pixels", {2048, 5, 2048, 6, 2048, 2048, 7}, {5, 6, 7}},
  };
  for (const TCase& c : cases) {
    std::vector<int> codes = c.before;
    codes.insert(codes.end(), afterClear.begin(), afterClear.end());
    codes.push_back(2049);
    std::vector<uint8_t> expected = c.beforePixels;
    expected.insert(expected.end(), fresh.begin(), fresh.end());
    const TDecoded d = Decode(PackCodes(11, codes, 12), static_cast<int>(expected.size()), 1);
    EXPECT_EQ(d.pixels, expected) << c.name;
    EXPECT_TRUE(d.warnings.empty()) << c.name;
  }
}

TEST(GIFLzwEncoding, OnePixelOfTwoColoursUsesCodeSizeTwo) {
  const TBytes data = Encode({0}, 1, 1, 1, false, false, 2);
  // Size 2, one sub-block: clear (4), pixel 0, end (5) at three bits, lowest bits first.
  const TBytes expected{2, 2, 0x44, 0x01, 0};
  EXPECT_EQ(data, expected);
}

TEST(GIFLzwEncoding, FrameWithoutPixelsWritesOnlyTheEndCode) {
  TMemoryStream stream;
  TLZWEncoder encoder;
  encoder.EncodeFrame(stream, 2, 4, nullptr, false, 0, 0);
  EXPECT_EQ(BytesOf(stream), (TBytes{2, 1, 0x05, 0}));
}

TEST(GIFLzwEncoding, PixelBeyondTheColourCountIsRefused) {
  for (bool rle : {false, true}) {
    try {
      Encode({0, 1, 2, 3, 4}, 5, 1, 2, rle, false, 4);
      ADD_FAILURE() << "no exception";
    } catch (const GIFException& e) {
      EXPECT_EQ(e.Message(), "Color not in color table");
    }
  }
}

TEST(GIFLzwEncoding, BothEncodersRoundTripThroughTheDecoder) {
  struct Case {
    int width, height, bits;
    bool interlaced;
    const char* pattern;
  } cases[] = {
      {1, 1, 1, false, "random"}, {7, 2, 1, true, "random"},     {5, 3, 2, true, "random"},
      {9, 4, 3, true, "random"},  {31, 17, 4, false, "runs"},    {64, 64, 5, false, "random"},
      {100, 9, 6, true, "runs"},  {50, 50, 7, false, "random"},  {300, 200, 8, false, "random"},
      {257, 33, 8, true, "runs"}, {1000, 100, 8, false, "flat"}, {123, 45, 2, false, "runs"},
  };
  std::mt19937 rng(11);
  for (const Case& c : cases) {
    std::vector<uint8_t> pixels(static_cast<size_t>(c.width) * c.height);
    const int colors = 1 << c.bits;
    uint8_t run = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
      if (std::string(c.pattern) == "random")
        pixels[i] = static_cast<uint8_t>(rng() % colors);
      else if (std::string(c.pattern) == "runs")
        pixels[i] = (rng() % 9 == 0) ? (run = static_cast<uint8_t>(rng() % colors)) : run;
      else
        pixels[i] = static_cast<uint8_t>(colors - 1);
    }
    for (bool rle : {false, true}) {
      const TBytes data = Encode(pixels, c.width, c.height, c.bits, rle, c.interlaced);
      const TDecoded d = Decode(data, c.width, c.height, c.interlaced);
      EXPECT_EQ(d.pixels, pixels) << c.width << "x" << c.height << " bits " << c.bits
                                  << (rle ? " rle" : " lzw");
      EXPECT_EQ(d.endPosition, static_cast<int64_t>(data.size()));
      EXPECT_TRUE(d.warnings.empty());
    }
  }
}

TEST(GIFLzwEncoding, RunLengthOutputOfAFlatFrameIsSmall) {
  const std::vector<uint8_t> pixels(100000, 3);
  const TBytes data = Encode(pixels, 1000, 100, 2, true);
  EXPECT_LT(data.size(), 5000u);
  EXPECT_EQ(Decode(data, 1000, 100).pixels, pixels);
}

TEST(GIFLzwEncoding, DictionaryEncoderClearsWhenTheTableIsFull) {
  std::vector<uint8_t> pixels(30000);
  std::mt19937 rng(5);
  for (auto& p : pixels) p = static_cast<uint8_t>(rng() % 256);
  const TBytes data = Encode(pixels, 300, 100, 8, false);
  // Read the codes back at the widths the decoder uses and look for a clear after the start.
  TBytes packed;
  for (size_t pos = 1; pos < data.size() && data[pos] != 0; pos += data[pos] + 1)
    packed.insert(packed.end(), data.begin() + static_cast<std::ptrdiff_t>(pos) + 1,
                  data.begin() + static_cast<std::ptrdiff_t>(pos) + 1 + data[pos]);
  int bit = 0, width = 9, next = 258, clears = 0;
  bool first = true;
  while (bit + width <= static_cast<int>(packed.size()) * 8) {
    int code = 0;
    for (int k = 0; k < width; ++k) code |= ((packed[(bit + k) / 8] >> ((bit + k) % 8)) & 1) << k;
    bit += width;
    if (code == 257) break;
    if (code == 256) {
      ++clears;
      width = 9;
      next = 258;
      first = true;
      continue;
    }
    if (!first && next < 4096) {
      ++next;
      if (next >= (1 << width) && width < 12) ++width;
    }
    first = false;
  }
  EXPECT_GE(clears, 2);
  EXPECT_EQ(Decode(data, 300, 100).pixels, pixels);
}

TEST(GIFLzwEncoding, SubBlocksHoldAtMost255Bytes) {
  std::vector<uint8_t> pixels(5000);
  std::mt19937 rng(9);
  for (auto& p : pixels) p = static_cast<uint8_t>(rng() % 16);
  const TBytes data = Encode(pixels, 100, 50, 4, false);
  size_t pos = 1;
  int blocks = 0;
  while (data[pos] != 0) {
    EXPECT_LE(data[pos], 255);
    pos += data[pos] + 1;
    ++blocks;
  }
  EXPECT_GT(blocks, 1);
  EXPECT_EQ(pos, data.size() - 1);
}

TEST(GIFLzwEncoding, HelperArithmetic) {
  const std::pair<int, int> roots[] = {{0, 0},  {1, 1},  {3, 1},  {4, 2},
                                       {15, 3}, {16, 4}, {99, 9}, {10000, 100}};
  for (auto [x, r] : roots) EXPECT_EQ(IntegerSqrt(x), r) << x;
  // One code per run length 1, 2, 3...: 6 pixels need 3 codes, 7 need 4.
  EXPECT_EQ(TriangleCost(6, 4000), 3);
  EXPECT_EQ(TriangleCost(7, 4000), 4);
  EXPECT_EQ(TriangleCost(20, 4), 8);
}

}  // namespace
