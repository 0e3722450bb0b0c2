// Small helpers of the skin core tests: 32-bit bitmaps made and read in code.
#pragma once

#include <cstdint>
#include <memory>
#include <random>

#include "framework/Graphics.h"

// A 32-bit bitmap of the given size with every pixel set to value (0xAARRGGBB).
inline std::unique_ptr<TBitmap> MakeBitmap32(int width, int height, uint32_t value = 0) {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(pf32bit);
  bmp->SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(bmp->ScanLine(y));
    for (int x = 0; x < width; ++x) row[x] = value;
  }
  return bmp;
}

inline uint32_t& Px(TBitmap& bmp, int x, int y) {
  return reinterpret_cast<uint32_t*>(bmp.ScanLine(y))[x];
}

// Every pixel a different pseudo-random value, reproducible by seed.
inline std::unique_ptr<TBitmap> MakeNoiseBitmap32(int width, int height, uint32_t seed) {
  auto bmp = MakeBitmap32(width, height);
  std::mt19937 rng(seed);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) Px(*bmp, x, y) = rng();
  return bmp;
}

inline bool SamePixels(TBitmap& a, TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (Px(a, x, y) != Px(b, x, y)) return false;
  return true;
}
