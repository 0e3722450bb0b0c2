#include "skin/core/pixels/sGradient.h"

#include <algorithm>
#include <cmath>

#include "framework/SysUtils.h"
#include "skin/core/pixels/sAlphaGraph.h"

namespace {

struct TChannels {
  float Red, Green, Blue;
};

TChannels ChannelsOf(TColor c) {
  const auto v = static_cast<uint32_t>(c);
  return {float(v & 0xFF), float((v >> 8) & 0xFF), float((v >> 16) & 0xFF)};
}

uint32_t PixelOf(const TChannels& c) {
  auto byte = [](float v) {
    return static_cast<uint32_t>(std::nearbyint(std::clamp(v, 0.0f, 255.0f)));
  };
  return 0xFF000000u | byte(c.Red) << 16 | byte(c.Green) << 8 | byte(c.Blue);
}

// Interpolated pixels from Color1 at index 0 to Color2 at index count - 1; running
// single-precision values rounded to the nearest, ties to even.
void Interpolate(const TsGradStop& stop, int count, uint32_t* out) {
  TChannels v = ChannelsOf(stop.Color1);
  const TChannels end = ChannelsOf(stop.Color2);
  const float steps = static_cast<float>(count - 1);
  const TChannels step{(end.Red - v.Red) / steps, (end.Green - v.Green) / steps,
                       (end.Blue - v.Blue) / steps};
  for (int i = 0; i < count; ++i) {
    out[i] = PixelOf(v);
    v.Red += step.Red;
    v.Green += step.Green;
    v.Blue += step.Blue;
  }
}

// The painted area: r cut to the bitmap; false when nothing is left.
bool CutToBitmap(const TRect& r, const TPixels32& b, TRect& cut) {
  if (r.Right <= r.Left || r.Bottom <= r.Top) return false;
  cut = {std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, b.Width),
         std::min(r.Bottom, b.Height)};
  return cut.Right > cut.Left && cut.Bottom > cut.Top;
}

// One band of rows or columns: its first and last index, both included.
struct TBand {
  int First, Last;
  const TsGradStop* Stop;
};

// Bands from top to bottom: band k ends H * Percent div 100 after its start; the last one
// always reaches the end. Each band starts on the row where the previous one ended.
std::vector<TBand> RowBands(const TRect& cut, const TsGradArray& gradient,
                            bool stopAtEmpty = false) {
  std::vector<TBand> bands;
  const int64_t height = cut.Height();
  const int last = cut.Bottom - 1;
  int64_t start = cut.Top;
  for (size_t k = 0; k < gradient.size(); ++k) {
    int64_t end = start + height * gradient[k].Percent / 100;
    if (k + 1 == gradient.size() || end > last) end = last;
    if (end > start)
      bands.push_back({int(start), int(end), &gradient[k]});
    else if (stopAtEmpty)
      break;
    start = end;
  }
  return bands;
}

// Bands from left to right: one unit is a hundredth of the width.
std::vector<TBand> ColumnBands(const TRect& cut, const TsGradArray& gradient) {
  std::vector<TBand> bands;
  const double unit = cut.Width() / 100.0;
  const int last = cut.Right - 1;
  int64_t start = cut.Left;
  for (size_t k = 0; k < gradient.size(); ++k) {
    int64_t end = start + static_cast<int64_t>(std::nearbyint(gradient[k].Percent * unit));
    if (k + 1 == gradient.size() || end > last) end = last;
    if (end > start) bands.push_back({int(start), int(end), &gradient[k]});
    start = end;
  }
  return bands;
}

// The top row of a left-to-right gradient over the cut rectangle's columns.
std::vector<uint32_t> ColumnColours(const TRect& cut, const TsGradArray& gradient) {
  std::vector<uint32_t> row(static_cast<size_t>(cut.Width()), 0xFF000000u);
  for (const TBand& band : ColumnBands(cut, gradient))
    Interpolate(*band.Stop, band.Last - band.First + 1, row.data() + (band.First - cut.Left));
  return row;
}

inline uint32_t MixWithTexture(uint32_t g, uint32_t t, unsigned mix) {
  uint32_t out = 0xFF000000u;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int gb = (g >> shift) & 0xFF, tb = (t >> shift) & 0xFF;
    out |= static_cast<uint32_t>(((tb - gb) * static_cast<int>(mix) + gb * 256) >> 8) << shift;
  }
  return out;
}

}  // namespace

void ParseGradientData(const char* text, TsGradArray& result) {
  result.clear();
  if (text) ParseGradientData(std::string(text), result);
}

void ParseGradientData(const std::string& text, TsGradArray& result) {
  result.clear();
  std::vector<std::string> fields;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = std::min(text.find(';', pos), text.size());
    if (end > pos) fields.push_back(text.substr(pos, end - pos));
    pos = end + 1;
  }
  for (size_t k = 0; k + 5 <= fields.size(); k += 5) {
    TsGradStop stop;
    stop.Color1 = std::max(0, StrToInt(fields[k]));
    stop.Color2 = std::max(0, StrToInt(fields[k + 1]));
    stop.Percent = static_cast<uint8_t>(std::clamp(StrToInt(fields[k + 2]), 0, 100));
    stop.Mode = StrToInt(fields[k + 3]);
    result.push_back(stop);
  }
}

void PaintGradient(TBitmap* bitmap, const TRect& r, const TsGradArray& gradient) {
  if (r.Right <= r.Left || r.Bottom <= r.Top || gradient.empty()) return;
  TPixels32 b(bitmap);
  TRect cut;
  if (!b.Valid() || !CutToBitmap(r, b, cut)) return;
  switch (gradient.front().Mode) {
    case 0: {
      std::vector<uint32_t> column(static_cast<size_t>(cut.Height()));
      for (const TBand& band : RowBands(cut, gradient)) {
        const int rows = band.Last - band.First + 1;
        if (band.Stop->Color1 == band.Stop->Color2)
          std::fill_n(column.begin(), rows, PixelOf(ChannelsOf(band.Stop->Color1)));
        else
          Interpolate(*band.Stop, rows, column.data());
        for (int y = band.First; y <= band.Last; ++y)
          FillPixels32(b.Row(y) + cut.Left, cut.Width(), column[y - band.First]);
      }
      break;
    }
    case 1: {
      const std::vector<uint32_t> row = ColumnColours(cut, gradient);
      for (int y = cut.Top; y < cut.Bottom; ++y)
        std::copy(row.begin(), row.end(), b.Row(y) + cut.Left);
      break;
    }
    case 2:
      PaintGradientTriangles(bitmap, cut, gradient);
      break;
    default:
      break;
  }
}

void PaintGradientTextured(TBitmap* bitmap, const TRect& r, const TsGradArray& gradient,
                           uint8_t mix, const TRect& textureRect, const TBitmap* texture) {
  if (r.Right <= r.Left || r.Bottom <= r.Top || gradient.empty()) return;
  TPixels32 b(bitmap), t(texture);
  TRect cut;
  if (!b.Valid() || !t.Valid() || !CutToBitmap(r, b, cut)) return;
  TRect tile = textureRect;
  if (tile.Right <= tile.Left || tile.Bottom <= tile.Top) tile = {0, 0, t.Width, t.Height};
  // The tile is read only where it lies inside the texture.
  tile.Left = std::clamp(tile.Left, 0, t.Width - 1);
  tile.Top = std::clamp(tile.Top, 0, t.Height - 1);
  int64_t p = std::max<int64_t>(SafeWidth(tile), 0), q = std::max<int64_t>(SafeHeight(tile), 0);
  if (tile.Left + p > t.Width - 1) p = t.Width - tile.Left - 1;
  if (tile.Top + q > t.Height - 1) q = t.Height - tile.Top - 1;
  if (p <= 0 || q <= 0) return;

  auto mixRow = [&](int y, const uint32_t* colours, int stride) {
    const uint32_t* texRow = t.Row(static_cast<int>(tile.Top + y % q)) + tile.Left;
    uint32_t* out = b.Row(y);
    for (int x = cut.Left; x < cut.Right; ++x)
      out[x] = MixWithTexture(colours[(x - cut.Left) * stride], texRow[x % p], mix);
  };
  switch (gradient.front().Mode) {
    case 0: {
      std::vector<uint32_t> column(static_cast<size_t>(cut.Height()));
      // Over a texture, a band cut down to nothing ends the painting.
      for (const TBand& band : RowBands(cut, gradient, true)) {
        Interpolate(*band.Stop, band.Last - band.First + 1, column.data());
        for (int y = band.First; y <= band.Last; ++y) mixRow(y, &column[y - band.First], 0);
      }
      break;
    }
    case 1: {
      const std::vector<uint32_t> row = ColumnColours(cut, gradient);
      for (int y = cut.Top; y < cut.Bottom; ++y) mixRow(y, row.data(), 1);
      break;
    }
    default:
      break;
  }
}

#ifndef _WIN32
bool PaintGradientTriangles(TBitmap*, const TRect&, const TsGradArray&) { return false; }
#endif
