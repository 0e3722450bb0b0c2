#include "skin/core/pixels/sColors.h"

#include <algorithm>
#include <cmath>

#include "skin/core/pixels/sPixelRows.h"

namespace {

uint32_t Channel(uint32_t v, int shift) { return (v >> shift) & 0xFFu; }

bool IsGreyPixel(uint32_t p) {
  return Channel(p, 0) == Channel(p, 8) && Channel(p, 8) == Channel(p, 16);
}

// Applies f to every pixel of a 32-bit bitmap, row by row.
template <class F>
void ForEachPixel(TBitmap* bitmap, F f) {
  if (!bitmap || bitmap->PixelFormat() != pf32bit || bitmap->Empty()) return;
  const int w = bitmap->Width();
  for (int y = 0; y < bitmap->Height(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(bitmap->ScanLine(y));
    for (int x = 0; x < w; ++x) row[x] = f(row[x]);
  }
}

}  // namespace

uint32_t ChangeSaturation(int amount, uint32_t color) {
  if (amount == 0) return color;
  const double avg = (Channel(color, 0) + Channel(color, 8) + Channel(color, 16)) / 3.0;
  uint32_t result = color & 0xFF000000u;
  for (int shift = 0; shift <= 16; shift += 8) {
    const double c = Channel(color, shift);
    result |= uint32_t{RoundToByte(c - (avg - c) * amount / 100.0)} << shift;
  }
  return result;
}

TColor ChangeColorSaturation(TColor color, int amount) {
  if (amount == 0) return color;
  return static_cast<TColor>(ChangeSaturation(amount, static_cast<uint32_t>(color)));
}

uint32_t ChangeHue(int amount, uint32_t pixel) {
  const int r = static_cast<int>(Channel(pixel, 16));
  const int g = static_cast<int>(Channel(pixel, 8));
  const int b = static_cast<int>(Channel(pixel, 0));
  const int v = std::max({r, g, b});
  const int delta = v - std::min({r, g, b});
  const double s = v == 0 ? 0.0 : static_cast<double>(delta) / v;
  if (s == 0.0) return (pixel & 0xFF00FFFFu) | (uint32_t(v) << 16);

  double h;
  if (r == v)
    h = 60.0 * (g - b) / delta;
  else if (g == v)
    h = 120.0 + 60.0 * (b - r) / delta;
  else
    h = 240.0 + 60.0 * (r - g) / delta;
  if (h < 0) h += 360.0;

  // A rotation whose sum is negative wraps around as well, so the hue stays in [0, 360).
  double turned = std::fmod(std::nearbyint(h + amount), 360.0);
  if (turned < 0) turned += 360.0;
  const int rotated = static_cast<int>(turned);
  const int i = rotated / 60;
  const double f = rotated / 60.0 - i;
  const double vv = v;
  const double p = std::clamp(vv * (1 - s), 0.0, 255.0);
  const double q = std::clamp(vv * (1 - f * s), 0.0, 255.0);
  const double t = std::clamp(vv * (1 - (1 - f) * s), 0.0, 255.0);

  double nr, ng, nb;
  switch (i) {
    case 0:
      nr = vv, ng = t, nb = p;
      break;
    case 1:
      nr = q, ng = vv, nb = p;
      break;
    case 2:
      nr = p, ng = vv, nb = t;
      break;
    case 3:
      nr = p, ng = q, nb = vv;
      break;
    case 4:
      nr = t, ng = p, nb = vv;
      break;
    default:
      nr = vv, ng = p, nb = q;
      break;
  }
  return (pixel & 0xFF000000u) | (uint32_t{RoundToByte(nr)} << 16) |
         (uint32_t{RoundToByte(ng)} << 8) | RoundToByte(nb);
}

TColor ChangeColorHue(int amount, TColor color) {
  if (amount == 0) return color;
  const uint32_t pixel = SwapRedBlueBytes(static_cast<uint32_t>(color));
  return static_cast<TColor>(SwapRedBlueBytes(ChangeHue(amount, pixel)));
}

TColor MixColors(TColor a, TColor b, double k) {
  const auto ua = static_cast<uint32_t>(a), ub = static_cast<uint32_t>(b);
  uint32_t result = ua & 0xFF000000u;
  for (int shift = 0; shift <= 16; shift += 8)
    result |= uint32_t{RoundToByte(Channel(ua, shift) * k + Channel(ub, shift) * (1 - k))} << shift;
  return static_cast<TColor>(result);
}

TColor MixColorsHalf(TColor a, TColor b) {
  const auto ua = static_cast<uint32_t>(a), ub = static_cast<uint32_t>(b);
  uint32_t result = 0;
  for (int shift = 0; shift <= 16; shift += 8)
    result |= ((Channel(ua, shift) * 127 + Channel(ub, shift) * 129) >> 8) << shift;
  return static_cast<TColor>(result);
}

TColor AverageColors(TColor a, TColor b) { return MixColorsHalf(a, b); }

void GrayscaleBitmap(TBitmap* bitmap) {
  ForEachPixel(bitmap, [](uint32_t p) {
    const uint32_t grey = (Channel(p, 0) + Channel(p, 8) + Channel(p, 16)) / 3;
    return (p & 0xFF000000u) | grey << 16 | grey << 8 | grey;
  });
}

void GrayscaleBitmapKeyed(TBitmap* bitmap, uint32_t key) {
  ForEachPixel(bitmap, [key](uint32_t p) {
    if (p == key) return p;
    const uint32_t grey = (Channel(p, 0) + Channel(p, 8) + Channel(p, 16)) / 3;
    return (p & 0xFF000000u) | grey << 16 | grey << 8 | grey;
  });
}

void ShiftBitmapHue(TBitmap* bitmap, int amount) {
  if (amount == 0) return;
  ForEachPixel(bitmap, [amount](uint32_t p) {
    return p == KeyColor || IsGreyPixel(p) ? p : ChangeHue(amount, p);
  });
}

void ChangeBitmapSaturation(TBitmap* bitmap, int amount) {
  if (amount == 0) return;
  ForEachPixel(bitmap, [amount](uint32_t p) {
    return p == KeyColor || IsGreyPixel(p) ? p : ChangeSaturation(amount, p);
  });
}
