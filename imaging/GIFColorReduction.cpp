#include "imaging/GIFColorReduction.h"

#include <algorithm>

// ---- fixed palettes ----------------------------------------------------------------------------
TColorTable CreateColorCubePalette() {
  TColorTable table;
  table.reserve(216);
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        table.push_back(TRGBQuad{static_cast<uint8_t>(51 * b), static_cast<uint8_t>(51 * g),
                                 static_cast<uint8_t>(51 * r), 0});
  return table;
}

namespace {
TRGBQuad Grey(int v) {
  const auto c = static_cast<uint8_t>(v);
  return {c, c, c, 0};
}
}  // namespace

TColorTable GrayPalette256() {
  TColorTable table;
  for (int i = 0; i < 256; ++i) table.push_back(Grey(i));
  return table;
}

TColorTable MonochromePalette2() { return {Grey(0), Grey(255)}; }

TColorTable SystemGrayPalette4() { return {Grey(0), Grey(128), Grey(192), Grey(255)}; }

TColorTable SystemPalette20() {
  static constexpr TColor kColors[20] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000,
                                         0x800080, 0x808000, 0xC0C0C0, 0xC0DCC0, 0xF0CAA6,
                                         0xF0FBFF, 0xA4A0A0, 0x808080, 0x0000FF, 0x00FF00,
                                         0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
  TColorTable table;
  for (TColor c : kColors) table.push_back(QuadFromColor(c));
  return table;
}

TColorTable HalftonePalette() {
  TColorTable table = CreateColorCubePalette();
  // Greys between the cube's own greys fill the rest.
  for (int i = 0; table.size() < 256; ++i) table.push_back(Grey(8 + i * 6));
  return table;
}

// ---- lookups -----------------------------------------------------------------------------------
TSlowColorLookup::TSlowColorLookup(TColorTable palette)
    : TColorLookup(static_cast<int>(Min<size_t>(palette.size(), 256))),
      palette_(std::move(palette)) {
  if (palette_.size() > 256) palette_.resize(256);
}

int TSlowColorLookup::NearestColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                                   uint8_t& b) const {
  const int index = NearestPaletteIndex(palette_, MakeColor(red, green, blue));
  const TRGBQuad q = palette_.empty() ? TRGBQuad{} : palette_[index];
  r = q.Red;
  g = q.Green;
  b = q.Blue;
  return index;
}

int TNetscapeColorLookup::NearestColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r,
                                       uint8_t& g, uint8_t& b) const {
  const int rr = (red + 3) / 51;
  const int gg = (green + 3) / 51;
  const int bb = (blue + 3) / 51;
  r = static_cast<uint8_t>(51 * rr);
  g = static_cast<uint8_t>(51 * gg);
  b = static_cast<uint8_t>(51 * bb);
  return rr * 36 + gg * 6 + bb;
}

int TGrayScaleLookup::NearestColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                                   uint8_t& b) const {
  const int grey = (red * 77 + green * 150 + blue * 29) >> 8;
  r = g = b = static_cast<uint8_t>(grey);
  return grey;
}

int TMonochromeLookup::NearestColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r,
                                    uint8_t& g, uint8_t& b) const {
  const int sum = red * 77 + green * 150 + blue * 29;
  const int index = sum > 32512 ? 1 : 0;
  r = g = b = index ? 255 : 0;
  return index;
}

// ---- dither engines ----------------------------------------------------------------------------
int TDitherEngine::DitherPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                               uint8_t& b) {
  const int index = lookup_.NearestColor(red, green, blue, r, g, b);
  StepColumn();
  return index;
}

void TDitherEngine::NextRow() {
  direction_ = -direction_;
  column_ = direction_ == 1 ? 0 : width_ - 1;
}

namespace {
uint8_t Clamp255(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }
}  // namespace

TFloydSteinbergDitherer::TFloydSteinbergDitherer(int width, const TColorLookup& lookup)
    : TDitherEngine(width, lookup) {
  for (auto& row : rows_) row.assign(static_cast<size_t>(width + 2), 0);
}

int TFloydSteinbergDitherer::DitherPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r,
                                         uint8_t& g, uint8_t& b) {
  const uint8_t in[3] = {red, green, blue};
  uint8_t corrected[3];
  for (int ch = 0; ch < 3; ++ch)
    corrected[ch] = Clamp255(in[ch] + (rows_[ch][cursor_] + current_[ch] + 8) / 16);
  const int index = lookup_.NearestColor(corrected[0], corrected[1], corrected[2], r, g, b);
  const uint8_t chosen[3] = {r, g, b};
  for (int ch = 0; ch < 3; ++ch) {
    const int e = corrected[ch] - chosen[ch];
    if (e != 0) {
      rows_[ch][cursor_] = belowPrev_[ch] + 3 * e;
      belowPrev_[ch] = below_[ch] + 5 * e;
      below_[ch] = e;
      current_[ch] = 7 * e;
    } else {
      current_[ch] = 0;
    }
  }
  cursor_ += direction_;
  StepColumn();
  return index;
}

void TFloydSteinbergDitherer::NextRow() {
  if (cursor_ >= 0 && cursor_ < width_ + 2)
    for (int ch = 0; ch < 3; ++ch) rows_[ch][cursor_] = belowPrev_[ch];
  current_.fill(0);
  below_.fill(0);
  belowPrev_.fill(0);
  TDitherEngine::NextRow();
  cursor_ = direction_ == 1 ? 0 : width_ + 1;
}

TKernelDitherer::TKernelDitherer(int width, const TColorLookup& lookup, int rowCount, int margin,
                                 int divisor, std::vector<TDitherTap> taps)
    : TDitherEngine(width, lookup),
      margin_(margin),
      divisor_(divisor),
      taps_(std::move(taps)),
      cursor_(margin) {
  for (auto& channel : rows_)
    channel.assign(static_cast<size_t>(rowCount),
                   std::vector<int32_t>(static_cast<size_t>(width + 2 * margin), 0));
}

int TKernelDitherer::DitherPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                                 uint8_t& b) {
  const uint8_t in[3] = {red, green, blue};
  uint8_t corrected[3];
  for (int ch = 0; ch < 3; ++ch)
    corrected[ch] = Clamp255(in[ch] + (rows_[ch][0][cursor_] + divisor_ / 2) / divisor_);
  const int index = lookup_.NearestColor(corrected[0], corrected[1], corrected[2], r, g, b);
  const uint8_t chosen[3] = {r, g, b};
  for (int ch = 0; ch < 3; ++ch) {
    const int e = corrected[ch] - chosen[ch];
    if (e == 0) continue;
    for (const TDitherTap& tap : taps_)
      rows_[ch][tap.Row][cursor_ + tap.Offset * direction_] += e * tap.Weight;
  }
  cursor_ += direction_;
  StepColumn();
  return index;
}

void TKernelDitherer::NextRow() {
  for (auto& channel : rows_) {
    std::fill(channel[0].begin(), channel[0].end(), 0);
    std::rotate(channel.begin(), channel.begin() + 1, channel.end());
  }
  TDitherEngine::NextRow();
  cursor_ = direction_ == 1 ? margin_ : width_ + margin_ - 1;
}

TStuckiDitherer::TStuckiDitherer(int width, const TColorLookup& lookup)
    : T5by3Ditherer(width, lookup, 3, 2, 42,
                    {{0, 1, 8},
                     {0, 2, 4},
                     {1, -2, 2},
                     {1, -1, 4},
                     {1, 0, 8},
                     {1, 1, 4},
                     {1, 2, 2},
                     {2, -2, 1},
                     {2, -1, 2},
                     {2, 0, 4},
                     {2, 1, 2},
                     {2, 2, 1}}) {}

TSierraDitherer::TSierraDitherer(int width, const TColorLookup& lookup)
    : T5by3Ditherer(width, lookup, 3, 2, 32,
                    {{0, 1, 5},
                     {0, 2, 3},
                     {1, -2, 2},
                     {1, -1, 4},
                     {1, 0, 5},
                     {1, 1, 4},
                     {1, 2, 2},
                     {2, -1, 2},
                     {2, 0, 3},
                     {2, 1, 2}}) {}

TJaJuNiDitherer::TJaJuNiDitherer(int width, const TColorLookup& lookup)
    : T5by3Ditherer(width, lookup, 3, 2, 48,
                    {{0, 1, 7},
                     {0, 2, 5},
                     {1, -2, 3},
                     {1, -1, 5},
                     {1, 0, 7},
                     {1, 1, 5},
                     {1, 2, 3},
                     {2, -2, 1},
                     {2, -1, 3},
                     {2, 0, 5},
                     {2, 1, 3},
                     {2, 2, 1}}) {}

TSteveArcheDitherer::TSteveArcheDitherer(int width, const TColorLookup& lookup)
    : TKernelDitherer(width, lookup, 4, 3, 200,
                      {{0, 2, 32},
                       {1, -3, 12},
                       {1, -1, 26},
                       {1, 1, 30},
                       {1, 3, 16},
                       {2, -2, 12},
                       {2, 0, 26},
                       {2, 2, 12},
                       {3, -3, 5},
                       {3, -1, 12},
                       {3, 1, 12},
                       {3, 3, 5}}) {}

TBurkesDitherer::TBurkesDitherer(int width, const TColorLookup& lookup)
    : TKernelDitherer(
          width, lookup, 2, 2, 32,
          {{0, 1, 8}, {0, 2, 4}, {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2}}) {}

std::unique_ptr<TDitherEngine> MakeDitherEngine(uint8_t dither, int width,
                                                const TColorLookup& lookup) {
  switch (dither) {
    case dtNearest:
      return std::make_unique<TDitherEngine>(width, lookup);
    case dtFloydSteinberg:
      return std::make_unique<TFloydSteinbergDitherer>(width, lookup);
    case dtStucki:
      return std::make_unique<TStuckiDitherer>(width, lookup);
    case dtSierra:
      return std::make_unique<TSierraDitherer>(width, lookup);
    case dtJarvisJudiceNinke:
      return std::make_unique<TJaJuNiDitherer>(width, lookup);
    case dtStevensonArce:
      return std::make_unique<TSteveArcheDitherer>(width, lookup);
    case dtBurkes:
      return std::make_unique<TBurkesDitherer>(width, lookup);
    default:
      return nullptr;
  }
}

// ---- quantizer ---------------------------------------------------------------------------------
TColorQuantizer::TColorQuantizer(int maxColors, int colorBits)
    : maxColors_(Max(1, maxColors)), colorBits_(std::clamp(colorBits, 1, 8)) {}

TColorQuantizer::~TColorQuantizer() = default;

void TColorQuantizer::AddColor(uint8_t red, uint8_t green, uint8_t blue) {
  InsertColor(root_, 0, red, green, blue);
  while (leafCount_ > maxColors_ && MergeDeepestNode()) {
  }
}

void TColorQuantizer::AddImage(const TBitmap& bitmap) {
  const int bpp = bitmap.BitsPerPixel();
  for (int y = 0; y < bitmap.Height(); ++y) {
    const uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      if (bpp == 24 || bpp == 32) {
        const uint8_t* p = row + x * (bpp / 8);
        AddColor(p[2], p[1], p[0]);
      } else {
        const TColor c = bitmap.PixelColor(x, y);
        AddColor(ColorR(c), ColorG(c), ColorB(c));
      }
    }
  }
}

void TColorQuantizer::InsertColor(std::unique_ptr<TOctreeNode>& node, int level, uint8_t r,
                                  uint8_t g, uint8_t b) {
  if (!node) {
    node = std::make_unique<TOctreeNode>();
    if (level == colorBits_) {
      node->Leaf = true;
      ++leafCount_;
    } else {
      node->Next = reducible_[level];
      reducible_[level] = node.get();
    }
  }
  if (node->Leaf) {
    ++node->PixelCount;
    node->RedSum += r;
    node->GreenSum += g;
    node->BlueSum += b;
    return;
  }
  const int shift = 7 - level;
  const int child = (((r >> shift) & 1) << 2) | (((g >> shift) & 1) << 1) | ((b >> shift) & 1);
  InsertColor(node->Children[child], level + 1, r, g, b);
}

bool TColorQuantizer::MergeDeepestNode() {
  int level = colorBits_ - 1;
  while (level > 0 && reducible_[level] == nullptr) --level;
  TOctreeNode* node = reducible_[level];
  if (node == nullptr) return false;
  reducible_[level] = node->Next;
  int children = 0;
  for (auto& child : node->Children) {
    if (!child) continue;
    node->RedSum += child->RedSum;
    node->GreenSum += child->GreenSum;
    node->BlueSum += child->BlueSum;
    node->PixelCount += child->PixelCount;
    child.reset();
    ++children;
  }
  node->Leaf = true;
  leafCount_ -= children - 1;
  return true;
}

namespace {
void CollectLeaves(const TOctreeNode* node, std::vector<TRGBQuad>& out) {
  if (node == nullptr) return;
  if (node->Leaf) {
    if (node->PixelCount == 0) {
      out.push_back({});
    } else {
      out.push_back(TRGBQuad{static_cast<uint8_t>(node->BlueSum / node->PixelCount),
                             static_cast<uint8_t>(node->GreenSum / node->PixelCount),
                             static_cast<uint8_t>(node->RedSum / node->PixelCount), 0});
    }
    return;
  }
  for (const auto& child : node->Children) CollectLeaves(child.get(), out);
}
}  // namespace

std::vector<TRGBQuad> TColorQuantizer::LeafColors() const {
  std::vector<TRGBQuad> out;
  CollectLeaves(root_.get(), out);
  return out;
}

TColorTable QuantizedPaletteOfBitmap(const TBitmap& bitmap, int colors, int colorBits,
                                     bool withSystemColors) {
  colors = std::clamp(colors, 1, 256);
  TColorTable table(static_cast<size_t>(colors));
  int first = 0;
  if (withSystemColors) {
    const TColorTable system = SystemPalette20();
    table.assign(256, TRGBQuad{});
    for (int i = 0; i < 10; ++i) {
      table[i] = system[i];
      table[246 + i] = system[10 + i];
    }
    colors = 236;
    first = 10;
  }
  TColorQuantizer quantizer(colors, colorBits);
  quantizer.AddImage(bitmap);
  const std::vector<TRGBQuad> leaves = quantizer.LeafColors();
  for (int i = 0; i < colors && i < static_cast<int>(leaves.size()); ++i)
    table[first + i] = leaves[i];
  return table;
}

// ---- conversion ------------------------------------------------------------------------------
std::unique_ptr<TBitmap> DitherBitmapToPalette(TBitmap& bitmap, uint8_t reduction, uint8_t dither,
                                               const TColorTable* palette, int bits) {
  auto result = std::make_unique<TBitmap>();
  if (reduction == crNone) {
    result->Assign(&bitmap);
    result->SetPixelFormat(pf24bit);
    return result;
  }
  bitmap.SetPixelFormat(pf24bit);
  TColorTable table;
  std::unique_ptr<TColorLookup> lookup;
  bits = std::clamp(bits, 1, 8);
  switch (reduction) {
    case crSystem20:
      table = SystemPalette20();
      break;
    case crHalftone256:
      table = HalftonePalette();
      break;
    case crSystemGray4:
      table = SystemGrayPalette4();
      break;
    case crMonochrome:
      table = MonochromePalette2();
      lookup = std::make_unique<TMonochromeLookup>();
      break;
    case crGray256:
      table = GrayPalette256();
      lookup = std::make_unique<TGrayScaleLookup>();
      break;
    case crColorCube216:
      table = CreateColorCubePalette();
      lookup = std::make_unique<TNetscapeColorLookup>();
      break;
    case crQuantize:
      table = QuantizedPaletteOfBitmap(bitmap, 1 << bits, 8, false);
      break;
    case crQuantizeSystem:
      table = QuantizedPaletteOfBitmap(bitmap, 256, 8, true);
      break;
    case crCustomPalette:
      if (palette != nullptr) table = *palette;
      break;
    default:
      return result;
  }
  if (!lookup) lookup = std::make_unique<TSlowColorLookup>(table);
  if (lookup->Colors() == 0 || table.empty()) return result;
  std::unique_ptr<TDitherEngine> engine = MakeDitherEngine(dither, bitmap.Width(), *lookup);
  if (!engine) return result;
  if (table.size() > 256) table.resize(256);
  result->SetPixelFormat(pf8bit);
  result->SetPalette(table);
  result->SetSize(bitmap.Width(), bitmap.Height());
  const int w = bitmap.Width();
  for (int y = 0; y < bitmap.Height(); ++y) {
    const uint8_t* src = bitmap.ScanLine(y);
    uint8_t* dst = result->ScanLine(y);
    while (engine->Column() >= 0 && engine->Column() < w) {
      const int x = engine->Column();
      const uint8_t* p = src + 3 * x;
      uint8_t r, g, b;
      dst[x] = static_cast<uint8_t>(engine->DitherPixel(p[2], p[1], p[0], r, g, b));
    }
    engine->NextRow();
  }
  return result;
}
