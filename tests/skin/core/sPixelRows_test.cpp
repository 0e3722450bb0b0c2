#include "skin/core/pixels/sPixelRows.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

std::vector<uint32_t> Noise(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint32_t> v(n);
  for (auto& p : v) p = rng();
  return v;
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

INSTANTIATE_TEST_SUITE_P(VectorAndPlain, PixelRows, ::testing::Bool());

}  // namespace
