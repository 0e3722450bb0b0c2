#include "skin/core/pixels/sPixelRows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

std::vector<uint32_t> Noise(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint32_t> v(n);
  for (auto& p : v) p = rng();
  return v;
}

// Byte rounding cuts to 0..255 and rounds ties to the even neighbour, exactly as the default
// rounding mode does, also for the values just beside a tie.
TEST(RoundToByte, MatchesTheDefaultRoundingModeOverTheWholeRange) {
  struct Case {
    double V;
    int Expected;
  };
  for (const Case& c : std::vector<Case>{{-300.0, 0},
                                         {-0.5, 0},
                                         {0.5, 0},
                                         {1.5, 2},
                                         {2.5, 2},
                                         {254.5, 254},
                                         {254.5000001, 255},
                                         {255.4, 255},
                                         {1e9, 255},
                                         {127.49999999999999, 127}})
    EXPECT_EQ(RoundToByte(c.V), c.Expected) << c.V;
  for (int i = -4 * 256; i <= 4 * 260; ++i) {
    const double v = i / 4.0 + (i % 3) * 1e-12;
    const double cut = v < 0 ? 0.0 : v > 255 ? 255.0 : v;
    EXPECT_EQ(RoundToByte(v), static_cast<int>(std::nearbyint(cut))) << v;
  }
}

// The vector loops and the plain ones give the same bytes, and both follow the rules.
class PixelRows : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { UseVectorPixelRows(GetParam()); }
  void TearDown() override { UseVectorPixelRows(true); }
};

TEST_P(PixelRows, BlendRoundsByteMixesToTheNearest) {
  for (size_t n : {1u, 15u, 16u, 17u, 100u}) {
    for (unsigned w : {0u, 1u, 128u, 254u, 255u}) {
      auto d = Noise(n, n + w), s = Noise(n, n * 7 + w);
      auto expected = d;
      auto* e = reinterpret_cast<uint8_t*>(expected.data());
      const auto* sb = reinterpret_cast<const uint8_t*>(s.data());
      for (size_t i = 0; i < n * 4; ++i)
        e[i] = static_cast<uint8_t>((e[i] * w + sb[i] * (255 - w) + 127) / 255);
      BlendRow(reinterpret_cast<uint8_t*>(d.data()), sb, n * 4, w);
      ASSERT_EQ(d, expected) << n << " " << w;
    }
  }
}

TEST_P(PixelRows, AlphaOverMixesByTheSourceAlpha) {
  for (size_t n : {1u, 3u, 4u, 5u, 64u, 67u}) {
    auto d = Noise(n, n), s = Noise(n, n + 99);
    std::vector<uint32_t> expected(n);
    for (size_t i = 0; i < n; ++i) {
      const int a = static_cast<int>(s[i] >> 24), da = static_cast<int>(d[i] >> 24);
      uint32_t out = static_cast<uint32_t>(da + a * (255 - da) / 255) << 24;
      for (int c = 0; c < 24; c += 8) {
        const int sc = (s[i] >> c) & 0xFF, dc = (d[i] >> c) & 0xFF;
        out |= static_cast<uint32_t>(((sc - dc) * a + dc * 256) >> 8) << c;
      }
      expected[i] = out;
    }
    AlphaOverRow(d.data(), s.data(), n);
    ASSERT_EQ(d, expected) << n;
  }
}

TEST_P(PixelRows, LerpWeighsTheSecondRowByW) {
  for (size_t n : {1u, 4u, 5u, 40u}) {
    for (unsigned w : {0u, 1u, 100u, 255u, 256u}) {
      auto a = Noise(n, n), b = Noise(n, n + 5);
      std::vector<uint32_t> out(n), expected(n);
      const auto* ab = reinterpret_cast<const uint8_t*>(a.data());
      const auto* bb = reinterpret_cast<const uint8_t*>(b.data());
      auto* e = reinterpret_cast<uint8_t*>(expected.data());
      for (size_t i = 0; i < n * 4; ++i)
        e[i] = static_cast<uint8_t>((ab[i] * (256 - w) + bb[i] * w) >> 8);
      LerpRow(reinterpret_cast<uint8_t*>(out.data()), ab, bb, n * 4, w);
      ASSERT_EQ(out, expected) << n << " " << w;
    }
  }
}

// Pixels whose bytes are the extremes a blend can meet: alphas and colours of 0, 1, 127,
// 128, 254 and 255 in every pairing of source and destination, then noise.
std::vector<uint32_t> ExtremePixels(size_t n, uint32_t seed) {
  static constexpr uint8_t kExtremes[] = {0, 1, 127, 128, 254, 255};
  std::vector<uint32_t> v = Noise(n, seed);
  for (size_t i = 0; i < n && i < 6 * 6 * 6; ++i) {
    const size_t k = (i + seed) % (6 * 6 * 6);
    const uint32_t alpha = kExtremes[k % 6], colour = kExtremes[k / 6 % 6];
    const uint32_t other = kExtremes[k / 36];
    v[i] = alpha << 24 | colour << 16 | other << 8 | colour;
  }
  return v;
}

// The four row loops, each run once by the vector loop and once by the plain one on the same
// input: a row of `count` pixels that starts `offset` bytes into its buffer.
struct RowCase {
  size_t count;
  size_t offset;
};

constexpr RowCase kRowCases[] = {
    {0, 0},  {1, 0}, {3, 0},  {4, 0},  {5, 0},   {15, 0}, {16, 0}, {17, 0},  {31, 0},
    {33, 0}, {1, 4}, {3, 4},  {5, 8},  {15, 12}, {16, 4}, {17, 8}, {33, 12}, {1, 1},
    {4, 1},  {5, 2}, {16, 3}, {17, 1}, {63, 3},  {64, 2}, {67, 1}, {250, 4}, {252, 7},
};

enum class Row { Blend, AlphaOver, Fill, Lerp };

// Runs one loop on copies of the inputs and returns the destination buffer, bytes around
// the row included, so a loop that writes past its row is caught too. The pixel loops start
// at the pixel that holds the offset: their rows are whole pixels, 16-byte aligned or not.
std::vector<uint8_t> RunRow(Row row, const RowCase& c, unsigned w, bool vector) {
  const size_t bytes = c.count * 4, size = bytes + c.offset + 32;
  // uint32_t storage keeps the pixel loops' rows on whole pixels.
  std::vector<uint32_t> buffers[3];
  for (uint32_t b = 0; b < 3; ++b) buffers[b] = ExtremePixels(size / 4 + 1, b + 1 + w);
  auto bytesOf = [](std::vector<uint32_t>& b) { return reinterpret_cast<uint8_t*>(b.data()); };
  uint8_t *d = bytesOf(buffers[0]) + c.offset, *first = bytesOf(buffers[1]) + c.offset;
  const size_t pixel = c.offset / 4;
  UseVectorPixelRows(vector);
  switch (row) {
    case Row::Blend:
      BlendRow(d, first, bytes, w);
      break;
    case Row::AlphaOver:
      AlphaOverRow(buffers[0].data() + pixel, buffers[1].data() + pixel, c.count);
      break;
    case Row::Fill:
      FillRow(buffers[0].data() + pixel, c.count, 0x80FF0102u + w);
      break;
    case Row::Lerp:
      LerpRow(d, first, bytesOf(buffers[2]) + c.offset, bytes, w);
      break;
  }
  UseVectorPixelRows(true);
  return std::vector<uint8_t>(bytesOf(buffers[0]), bytesOf(buffers[0]) + size);
}

TEST(PixelRowsVectorAndPlain, GiveTheSameBytesOnEveryWidthStartAndExtremeWeight) {
  const struct {
    Row row;
    const char* name;
    std::vector<unsigned> weights;
  } loops[] = {
      {Row::Blend, "blend", {0, 1, 127, 128, 254, 255}},
      {Row::AlphaOver, "alpha over", {0, 1, 2}},
      {Row::Fill, "fill", {0, 1}},
      {Row::Lerp, "lerp", {0, 1, 128, 255, 256}},
  };
  for (const auto& loop : loops)
    for (const RowCase& c : kRowCases)
      for (unsigned w : loop.weights)
        ASSERT_EQ(RunRow(loop.row, c, w, true), RunRow(loop.row, c, w, false))
            << loop.name << ": " << c.count << " pixels at byte " << c.offset << ", weight " << w;
}

// Every pair of source and destination alpha, with colour pairs that run through the whole
// byte range: the vector loop's products and corrections never leave their lanes.
TEST(PixelRowsVectorAndPlain, AlphaOverAgreesForEveryPairOfAlphas) {
  std::vector<uint32_t> dest(256 * 256), source(256 * 256);
  for (uint32_t a = 0; a < 256; ++a) {
    for (uint32_t da = 0; da < 256; ++da) {
      const uint32_t i = a * 256 + da, c = (a * 7 + da * 13) & 0xFF;
      dest[i] = da << 24 | da << 16 | (255 - c) << 8 | c;
      source[i] = a << 24 | c << 16 | da << 8 | (255 - da);
    }
  }
  std::vector<uint32_t> plain = dest;
  UseVectorPixelRows(false);
  AlphaOverRow(plain.data(), source.data(), plain.size());
  UseVectorPixelRows(true);
  AlphaOverRow(dest.data(), source.data(), dest.size());
  for (size_t i = 0; i < dest.size(); ++i)
    ASSERT_EQ(dest[i], plain[i]) << "source alpha " << i / 256 << ", destination alpha " << i % 256;
  // The ends: alpha 0 keeps the destination, an opaque source makes the result opaque.
  EXPECT_EQ(plain[0 * 256 + 77] & 0xFF000000u, 77u << 24);
  EXPECT_EQ(plain[0 * 256 + 77],
            (77u << 24) | (77u << 16) | ((255u - ((77 * 13) & 0xFF)) << 8) | ((77 * 13) & 0xFF));
  EXPECT_EQ(plain[255 * 256 + 77] >> 24, 255u);
}

INSTANTIATE_TEST_SUITE_P(VectorAndPlain, PixelRows, ::testing::Bool());

}  // namespace
