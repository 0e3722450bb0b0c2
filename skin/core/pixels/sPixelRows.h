// The row loops that carry most of the skin engine's painting time: the one-weight blend,
// the alpha copy, the fill and the linear mix of two rows. Each has a plain loop and an SSE2 one;
// the SSE2 loop runs wherever the processor has it, also in the 32-bit Windows build, whose
// compiler does not assume it.
#pragma once

#include <cstddef>
#include <cstdint>

// v cut to 0..255 and rounded to the nearest integer, ties to the even one, as std::nearbyint
// rounds in the default mode, but without its library call, which costs more than a pixel's
// whole arithmetic.
inline uint8_t RoundToByte(double v) {
  v = v < 0.0 ? 0.0 : v > 255.0 ? 255.0 : v;
  int i = static_cast<int>(v);
  const double fraction = v - i;  // exact: v and i lie below 256
  if (fraction > 0.5 || (fraction == 0.5 && (i & 1) != 0)) ++i;
  return static_cast<uint8_t>(i);
}

// Blue, green and red of d mixed toward s by w (0..255); alpha of d kept. The rule
// ((s - d) * w + d * 256) shr 8 equals (s * w + d * (256 - w)) shr 8, whose terms are never
// negative and stay below 65536, so red and blue share one 32-bit multiply.
inline uint32_t MixColourChannels(uint32_t d, uint32_t s, int w) {
  const uint32_t ws = static_cast<uint32_t>(w), wd = 256 - ws;
  const uint32_t rb = (((s & 0x00FF00FFu) * ws + (d & 0x00FF00FFu) * wd) >> 8) & 0x00FF00FFu;
  const uint32_t g = (((s & 0x0000FF00u) * ws + (d & 0x0000FF00u) * wd) >> 8) & 0x0000FF00u;
  return (d & 0xFF000000u) | rb | g;
}

// One pixel of the alpha copy: colour mixed by the source alpha, and the destination alpha
// raised by what the source covers of the rest: a + s.alpha * (255 - a) / 255.
inline uint32_t AlphaOver(uint32_t d, uint32_t s) {
  const int alpha = static_cast<int>(s >> 24);
  const uint32_t out = MixColourChannels(d, s, alpha);
  const int da = static_cast<int>(d >> 24);
  return (out & 0x00FFFFFFu) | uint32_t(da + alpha * (255 - da) / 255) << 24;
}

// d := round((d * w + s * (255 - w)) / 255) for every byte.
void BlendRow(uint8_t* d, const uint8_t* s, size_t bytes, unsigned w);
// AlphaOver for count pixels.
void AlphaOverRow(uint32_t* d, const uint32_t* s, size_t count);
// count pixels of value.
void FillRow(uint32_t* d, size_t count, uint32_t value);
// out := (a * (256 - w) + b * w) shr 8 for every byte, w in 0..256.
void LerpRow(uint8_t* out, const uint8_t* a, const uint8_t* b, size_t bytes, unsigned w);

// Tests switch the SSE2 loops off to hold the plain ones against them; false where the
// processor has no SSE2 anyway.
void UseVectorPixelRows(bool use);
