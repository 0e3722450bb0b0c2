#include "skin/core/pixels/sTextPaint.h"

#include <algorithm>
#include <cmath>
#include <vector>

std::string CutTextEllipsis(const TTextMeasure& measure, const std::string& text, int width) {
  if (width <= 0) return {};
  std::string result = text;
  if (result.empty() || measure(result) <= width) return result;
  while (!result.empty() && measure(result + "...") > width) result.pop_back();
  return result.empty() ? result : result + "...";
}

void BlurBitmap8(TBitmap* bitmap, int radius) {
  if (!bitmap || bitmap->Empty() || bitmap->PixelFormat() != pf8bit || radius < 1) return;
  // 201 taps of exp(-(i / r)^2 / 2), normalised; the outer taps whose total stays below
  // 1/510 (less than half a level of 255) are dropped and the rest normalised again.
  constexpr int centre = 100;
  std::vector<float> taps(2 * centre + 1);
  double total = 0;
  for (int i = 0; i <= 2 * centre; ++i) {
    const double x = static_cast<double>(i - centre) / radius;
    taps[static_cast<size_t>(i)] = static_cast<float>(std::exp(-x * x / 2));
    total += taps[static_cast<size_t>(i)];
  }
  for (float& t : taps) t = static_cast<float>(t / total);
  int half = centre;
  double dropped = 0;
  while (dropped < 1.0 / 510 && half > 1) {
    dropped += 2.0 * taps[static_cast<size_t>(centre + half)];
    --half;
  }
  std::vector<float> kernel(taps.begin() + (centre - half), taps.begin() + (centre + half + 1));
  double kept = 0;
  for (float k : kernel) kept += k;
  for (float& k : kernel) k = static_cast<float>(k / kept);

  // out(x) = sum of kernel(j) * v(clamp(x - j)), truncated and limited to a byte.
  std::vector<uint8_t> line;
  auto convolve = [&](std::vector<uint8_t>& values) {
    const int n = static_cast<int>(values.size());
    std::vector<uint8_t> out(values.size());
    for (int x = 0; x < n; ++x) {
      float sum = 0;
      for (int j = -half; j <= half; ++j)
        sum += kernel[static_cast<size_t>(j + half)] * values[std::clamp(x - j, 0, n - 1)];
      out[static_cast<size_t>(x)] = static_cast<uint8_t>(std::clamp(static_cast<int>(sum), 0, 255));
    }
    values.swap(out);
  };
  const int w = bitmap->Width(), h = bitmap->Height();
  line.resize(static_cast<size_t>(w));
  for (int y = 0; y < h; ++y) {
    uint8_t* row = bitmap->ScanLine(y);
    std::copy_n(row, w, line.begin());
    convolve(line);
    std::copy_n(line.begin(), w, row);
  }
  line.resize(static_cast<size_t>(h));
  for (int x = 0; x < w; ++x) {
    for (int y = 0; y < h; ++y) line[static_cast<size_t>(y)] = bitmap->ScanLine(y)[x];
    convolve(line);
    for (int y = 0; y < h; ++y) bitmap->ScanLine(y)[x] = line[static_cast<size_t>(y)];
  }
}

void BlendGlowMask(TBitmap* bitmap, const TBitmap& mask, const TRect& rect, int margin,
                   TColor color) {
  if (!bitmap || bitmap->Empty() || bitmap->PixelFormat() != pf32bit ||
      mask.PixelFormat() != pf8bit)
    return;
  const auto c = static_cast<uint32_t>(ColorToRGB(color));
  const int colour[3] = {int((c >> 16) & 0xFF), int((c >> 8) & 0xFF), int(c & 0xFF)};
  const int64_t originX = int64_t{rect.Left} - margin, originY = int64_t{rect.Top} - margin;
  for (int y = 0; y < mask.Height(); ++y) {
    const int64_t by = originY + y;
    if (by < 0 || by >= bitmap->Height()) continue;
    const uint8_t* m = mask.ScanLine(y);
    auto* row = bitmap->ScanLine(static_cast<int>(by));
    for (int x = 0; x < mask.Width(); ++x) {
      const int64_t bx = originX + x;
      if (m[x] == 255 || bx < 0 || bx >= bitmap->Width()) continue;
      uint8_t* p = row + bx * 4;
      for (int ch = 0; ch < 3; ++ch)
        p[ch] = static_cast<uint8_t>(colour[ch] + (p[ch] - colour[ch]) * m[x] / 255);
      p[3] = static_cast<uint8_t>(p[3] + (255 - m[x]) * (255 - p[3]) / 255);
    }
  }
}

TsItemPlaces CalcItemLayout(const TRect& client, TSize glyphSize, TSize textSize,
                            const TsItemPlacement& placement) {
  const uint32_t flags = placement.Flags;
  const TsItemAlignment alignment = placement.Alignment;
  TsItemLayout layout = placement.Layout;
  // 64-bit throughout: any client rectangle and sizes a caller passes stay defined.
  using I = int64_t;
  const I cw = I{client.Right} - client.Left, ch = I{client.Bottom} - client.Top;
  const I gw = glyphSize.cx, gh = glyphSize.cy, tw = textSize.cx, th = textSize.cy;
  I s = placement.Spacing, m = placement.Margin;
  if (flags & ItemLayoutRightToLeft) {
    if (layout == ilGlyphLeft)
      layout = ilGlyphRight;
    else if (layout == ilGlyphRight)
      layout = ilGlyphLeft;
  }
  const bool horizontal = layout == ilGlyphLeft || layout == ilGlyphRight;
  I boundsRight = tw;
  I glyphX = 0, glyphY = 0, textX = 0, textY = 0;
  if (horizontal) {
    glyphY = (ch - gh + 1) / 2;
    textY = (ch - th + 1) / 2;
  } else {
    glyphX = (cw - gw + 1) / 2;
    textX = (cw - tw + 1) / 2;
  }
  if (tw == 0 || gw == 0) s = 0;
  if (m == -1) {
    if (s < 0) {
      m = horizontal ? (cw - (gw + tw)) / 3 : (ch - (gh + th)) / 3;
      s = m;
    } else if (alignment == iaCenter) {
      m = horizontal ? (cw - (gw + s + tw) + 1) / 2 : (ch - (gh + s + th) + 1) / 2;
    } else {
      m = 2;
    }
  } else if (s < 0) {
    s = horizontal ? (cw - m - gw - tw) / 2 : (ch - m - gh - th) / 2;
  }
  switch (layout) {
    case ilGlyphLeft:
      if (alignment == iaLeft) {
        glyphX = m;
        textX = m + gw + s;
        boundsRight = std::min(tw, I{client.Right} - m - textX);
      } else if (alignment == iaRight) {
        textX = cw - m - tw;
        glyphX = textX - s - gw;
      } else {
        m = std::max<I>((cw - tw - s - gw) / 2, m);
        glyphX = m;
        textX = m + gw + s;
      }
      break;
    case ilGlyphRight:
      if (alignment == iaLeft) {
        glyphX = m + tw + s;
        textX = m;
      } else if (alignment == iaRight) {
        glyphX = cw - m - gw;
        textX = glyphX - s - tw;
      } else {
        textX = (cw - tw - s - gw) / 2;
        glyphX = textX + tw + s;
      }
      break;
    case ilGlyphTop:
      glyphY = (ch - gh - s - th) / 2;
      textY = glyphY + gh + s;
      break;
    case ilGlyphBottom: {
      const I q = (ch - gh - s - th) / 2 - m;
      glyphY = ch - m - gh - q;
      textY = glyphY - s - th;
      break;
    }
    default:
      break;
  }
  auto toInt = [](I v) { return static_cast<int32_t>(std::clamp<I>(v, INT32_MIN, INT32_MAX)); };
  TsItemPlaces places;
  places.GlyphPos = {toInt(glyphX + client.Left), toInt(glyphY + client.Top)};
  places.TextBounds = {toInt(textX + client.Left), toInt(textY + client.Top),
                       toInt(boundsRight + textX + client.Left), toInt(th + textY + client.Top)};
  return places;
}
