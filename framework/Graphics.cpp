#include "framework/Graphics.h"

#include <algorithm>
#include <cstring>

namespace {

// ---- colours ----------------------------------------------------------------------------------

// The classic system colours, used until the Win32 half installs the live ones.
constexpr uint32_t kClassicSystemColors[] = {
    0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x544E43, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xE1FFFF, 0xB5B5B5, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0};

TSystemColorSource systemColorSource = nullptr;

// ---- storage ----------------------------------------------------------------------------------

class THeapPixelStorage final : public TPixelStorage {
 public:
  explicit THeapPixelStorage(size_t size) : bytes_(size, 0) {}
  uint8_t* Bits() override { return bytes_.data(); }

 private:
  std::vector<uint8_t> bytes_;
};

TBitmap::TBindingFactory bindingFactory = nullptr;

// Limits for bitmaps read from files: a corrupt header must not make us allocate gigabytes.
constexpr int64_t kMaxBitmapPixels = int64_t{1} << 28;
constexpr int32_t kMaxBitmapSide = 1 << 16;

const char* const kInvalidBitmap = "Bitmap image is not valid";

// ---- pixel access by format -------------------------------------------------------------------

uint8_t Expand5(unsigned v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }
uint8_t Expand6(unsigned v) { return static_cast<uint8_t>((v << 2) | (v >> 4)); }

bool IsIndexed(TPixelFormat f) { return f == pf1bit || f == pf4bit || f == pf8bit; }

unsigned ReadIndex(const uint8_t* row, int x, int bits) {
  switch (bits) {
    case 1:
      return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
      return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    default:
      return row[x];
  }
}

void WriteIndex(uint8_t* row, int x, int bits, unsigned index) {
  switch (bits) {
    case 1: {
      const uint8_t mask = static_cast<uint8_t>(0x80 >> (x & 7));
      row[x >> 3] = static_cast<uint8_t>(index & 1 ? row[x >> 3] | mask : row[x >> 3] & ~mask);
      break;
    }
    case 4:
      if (x & 1)
        row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & 0xF0) | (index & 0x0F));
      else
        row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & 0x0F) | ((index & 0x0F) << 4));
      break;
    default:
      row[x] = static_cast<uint8_t>(index);
  }
}

// A pixel as blue, green, red, alpha (Reserved); formats without alpha give alpha 0.
TRGBQuad ReadQuad(const uint8_t* row, int x, TPixelFormat format, const TColorTable& palette) {
  switch (format) {
    case pf1bit:
    case pf4bit:
    case pf8bit: {
      const unsigned index = ReadIndex(row, x, BitsPerPixelOf(format));
      TRGBQuad q = index < palette.size() ? palette[index] : TRGBQuad{};
      q.Reserved = 0;
      return q;
    }
    case pf15bit: {
      const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
      return {Expand5(v & 0x1F), Expand5((v >> 5) & 0x1F), Expand5((v >> 10) & 0x1F), 0};
    }
    case pf16bit: {
      const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
      return {Expand5(v & 0x1F), Expand6((v >> 5) & 0x3F), Expand5((v >> 11) & 0x1F), 0};
    }
    case pf24bit:
      return {row[3 * x], row[3 * x + 1], row[3 * x + 2], 0};
    case pfDevice:
    case pf32bit:
      return {row[4 * x], row[4 * x + 1], row[4 * x + 2], row[4 * x + 3]};
    case pfCustom:
      break;
  }
  return {};
}

void WriteQuad(uint8_t* row, int x, TPixelFormat format, const TColorTable& palette, TRGBQuad q) {
  switch (format) {
    case pf1bit:
    case pf4bit:
    case pf8bit:
      WriteIndex(row, x, BitsPerPixelOf(format),
                 static_cast<unsigned>(NearestPaletteIndex(palette, ColorFromQuad(q))));
      break;
    case pf15bit: {
      const unsigned v = (q.Blue >> 3) | ((q.Green >> 3) << 5) | ((q.Red >> 3) << 10);
      row[2 * x] = static_cast<uint8_t>(v);
      row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
      break;
    }
    case pf16bit: {
      const unsigned v = (q.Blue >> 3) | ((q.Green >> 2) << 5) | ((q.Red >> 3) << 11);
      row[2 * x] = static_cast<uint8_t>(v);
      row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
      break;
    }
    case pf24bit:
      row[3 * x] = q.Blue;
      row[3 * x + 1] = q.Green;
      row[3 * x + 2] = q.Red;
      break;
    case pfDevice:
    case pf32bit:
      row[4 * x] = q.Blue;
      row[4 * x + 1] = q.Green;
      row[4 * x + 2] = q.Red;
      row[4 * x + 3] = q.Reserved;
      break;
    case pfCustom:
      break;
  }
}

// ---- little-endian stream helpers
// ----------------------------------------------------------------

void ReadExact(TStream& stream, void* buffer, int64_t count) {
  if (count > 0 && stream.Read(buffer, static_cast<int32_t>(count)) != count)
    throw EInvalidGraphic(kInvalidBitmap);
}

uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

// ================================================================================================

TColor ColorToRGB(TColor color) {
  if (!IsSystemColor(color)) return color;
  const int index = color & 0xFF;
  if (systemColorSource != nullptr) return static_cast<TColor>(systemColorSource(index) & 0xFFFFFF);
  if (index < static_cast<int>(std::size(kClassicSystemColors)))
    return static_cast<TColor>(kClassicSystemColors[index]);
  return clBlack;
}

void SetSystemColorSource(TSystemColorSource source) { systemColorSource = source; }

namespace {

struct TColorName {
  const char* Name;
  TColor Value;
};

const TColorName kColorNames[] = {
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clOlive", clOlive},
    {"clNavy", clNavy},
    {"clPurple", clPurple},
    {"clTeal", clTeal},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},
    {"clWhite", clWhite},
    {"clLtGray", clLtGray},
    {"clDkGray", clDkGray},
    {"clMoneyGreen", clMoneyGreen},
    {"clSkyBlue", clSkyBlue},
    {"clCream", clCream},
    {"clMedGray", clMedGray},
    {"clNone", clNone},
    {"clDefault", clDefault},
    {"clScrollBar", clScrollBar},
    {"clBackground", clBackground},
    {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption},
    {"clMenu", clMenu},
    {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame},
    {"clMenuText", clMenuText},
    {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText},
    {"clActiveBorder", clActiveBorder},
    {"clInactiveBorder", clInactiveBorder},
    {"clAppWorkSpace", clAppWorkSpace},
    {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace},
    {"clBtnShadow", clBtnShadow},
    {"clGrayText", clGrayText},
    {"clBtnText", clBtnText},
    {"clInactiveCaptionText", clInactiveCaptionText},
    {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow},
    {"cl3DLight", cl3DLight},
    {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk},
    {"clHotLight", clHotLight},
    {"clGradientActiveCaption", clGradientActiveCaption},
    {"clGradientInactiveCaption", clGradientInactiveCaption},
    {"clMenuHighlight", clMenuHighlight},
    {"clMenuBar", clMenuBar}};

}  // namespace

TColor StringToColor(const std::string& text) {
  for (const TColorName& entry : kColorNames)
    if (SameText(text, entry.Name)) return entry.Value;
  int value = 0;
  if (!TryStrToInt(text, value)) throw EConvertError("'" + text + "' is not a valid colour");
  return static_cast<TColor>(value);
}

int BitsPerPixelOf(TPixelFormat format) {
  switch (format) {
    case pf1bit:
      return 1;
    case pf4bit:
      return 4;
    case pf8bit:
      return 8;
    case pf15bit:
    case pf16bit:
      return 16;
    case pf24bit:
      return 24;
    case pfDevice:
    case pf32bit:
      return 32;
    case pfCustom:
      break;
  }
  return 0;
}

int64_t DibRowBytes(int64_t width, int bitsPerPixel) {
  return ((width * bitsPerPixel + 31) / 32) * 4;
}

TColorTable DefaultPalette(TPixelFormat format) {
  static constexpr TColor kVga[16] = {clBlack, clMaroon,  clGreen, clOlive, clNavy, clPurple,
                                      clTeal,  clSilver,  clGray,  clRed,   clLime, clYellow,
                                      clBlue,  clFuchsia, clAqua,  clWhite};
  TColorTable table;
  switch (format) {
    case pf1bit:
      table = {QuadFromColor(clBlack), QuadFromColor(clWhite)};
      break;
    case pf4bit:
      for (TColor c : kVga) table.push_back(QuadFromColor(c));
      break;
    case pf8bit:
      // The 16 standard colours, a 6x6x6 colour cube and a grey ramp.
      for (TColor c : kVga) table.push_back(QuadFromColor(c));
      for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
          for (int b = 0; b < 6; ++b)
            table.push_back({static_cast<uint8_t>(b * 51), static_cast<uint8_t>(g * 51),
                             static_cast<uint8_t>(r * 51), 0});
      for (int i = 1; i <= 24; ++i) {
        const auto v = static_cast<uint8_t>(i * 255 / 25);
        table.push_back({v, v, v, 0});
      }
      break;
    default:
      break;
  }
  return table;
}

int NearestPaletteIndex(const TColorTable& table, TColor color) {
  int best = 0;
  int bestDistance = INT32_MAX;
  for (size_t i = 0; i < table.size(); ++i) {
    const int dr = table[i].Red - ColorR(color);
    const int dg = table[i].Green - ColorG(color);
    const int db = table[i].Blue - ColorB(color);
    const int d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<int>(i);
      if (d == 0) break;
    }
  }
  return best;
}

// ---- TGraphic ---------------------------------------------------------------------------------

void TGraphic::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Changed(this);
}

void TGraphic::SetModified(bool value) {
  if (value)
    Changed(this);
  else
    modified_ = false;
}

void TGraphic::Changed(TObject* /*sender*/) {
  modified_ = true;
  if (OnChange) OnChange(this);
}

void TGraphic::Progress(TObject* sender, TProgressStage stage, uint8_t percentDone, bool redrawNow,
                        const TRect& r, const std::string& msg) {
  if (OnProgress) OnProgress(sender, stage, percentDone, redrawNow, r, msg);
}

void TGraphic::LoadFromFile(const std::string& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& fileName) {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(stream);
}

// ---- TBitmap ----------------------------------------------------------------------------------

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  // The binding refers to the storage: it goes first.
  binding_.reset();
  storage_.reset();
}

void TBitmap::SetBindingFactory(TBindingFactory factory) { bindingFactory = factory; }

TBitmapBinding* TBitmap::Binding() {
  if (!binding_ && bindingFactory != nullptr) binding_ = bindingFactory(*this);
  return binding_.get();
}

size_t TBitmap::BitsSize() const {
  return static_cast<size_t>(DibRowBytes(width_, BitsPerPixel()) * height_);
}

void TBitmap::ReleaseStorage() {
  if (binding_) binding_->StorageReleasing();
  storage_.reset();
}

void TBitmap::AdoptStorage(std::unique_ptr<TPixelStorage> storage) {
  storage_ = std::move(storage);
}

void TBitmap::NotifyPixelAccess() const {
  // The binding is made here too, so that pixel addresses handed out stay valid once
  // GDI draws on the same bitmap.
  if (TBitmapBinding* binding = const_cast<TBitmap*>(this)->Binding())
    binding->SyncForPixelAccess();
}

uint8_t* TBitmap::Bits() {
  if (!storage_) return nullptr;
  NotifyPixelAccess();
  return storage_->Bits();
}

uint8_t* TBitmap::ScanLine(int y) {
  if (y < 0 || y >= height_ || !storage_) throw EInvalidGraphic("Scan line index out of range");
  NotifyPixelAccess();
  return storage_->Bits() + static_cast<size_t>(height_ - 1 - y) * RowBytes();
}

const uint8_t* TBitmap::ScanLine(int y) const { return const_cast<TBitmap*>(this)->ScanLine(y); }

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  if (int64_t{width} * height > kMaxBitmapPixels) throw EOutOfResources("Out of system resources");
  std::unique_ptr<TPixelStorage> old;
  if (storage_) NotifyPixelAccess();
  if (binding_) binding_->StorageReleasing();
  old = std::move(storage_);
  const int oldWidth = width_;
  const int oldHeight = height_;
  const int64_t oldRow = DibRowBytes(oldWidth, BitsPerPixel());
  width_ = width;
  height_ = height;
  if (IsIndexed(pixelFormat_) && palette_.empty()) palette_ = DefaultPalette(pixelFormat_);
  if (!Empty()) storage_ = std::make_unique<THeapPixelStorage>(BitsSize());
  if (old && storage_) {
    // Keep the top-left part: whole bytes first, then the bits of a partial last byte.
    const int keepWidth = std::min(oldWidth, width_);
    const int keepHeight = std::min(oldHeight, height_);
    const int64_t keepBits = int64_t{keepWidth} * BitsPerPixel();
    for (int y = 0; y < keepHeight; ++y) {
      const uint8_t* src = old->Bits() + (oldHeight - 1 - y) * oldRow;
      uint8_t* dst = storage_->Bits() + static_cast<size_t>(height_ - 1 - y) * RowBytes();
      std::memcpy(dst, src, static_cast<size_t>(keepBits / 8));
      if (keepBits % 8) {
        const int bits = BitsPerPixel();
        for (int x = static_cast<int>(keepBits / 8 * 8 / bits); x < keepWidth; ++x)
          WriteIndex(dst, x, bits, ReadIndex(src, x, bits));
      }
    }
  }
  Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat value) {
  if (value == pixelFormat_) return;
  if (value == pfCustom) throw EInvalidGraphic("Invalid pixel format");
  const TPixelFormat oldFormat = pixelFormat_;
  TColorTable oldPalette = palette_;
  if (Empty()) {
    ReleaseStorage();
    pixelFormat_ = value;
    palette_ = IsIndexed(value) ? DefaultPalette(value) : TColorTable{};
    Changed(this);
    return;
  }
  NotifyPixelAccess();
  std::unique_ptr<TPixelStorage> old;
  if (binding_) binding_->StorageReleasing();
  old = std::move(storage_);
  const int64_t oldRow = DibRowBytes(width_, BitsPerPixelOf(oldFormat));
  pixelFormat_ = value;
  storage_ = std::make_unique<THeapPixelStorage>(BitsSize());

  // An indexed image whose table fits the new depth keeps its indexes and table; otherwise
  // every pixel goes through its colour, mapped to the nearest entry of the new table.
  const bool keepIndexes = IsIndexed(oldFormat) && IsIndexed(value) &&
                           oldPalette.size() <= (size_t{1} << BitsPerPixelOf(value));
  if (IsIndexed(value))
    palette_ = keepIndexes ? oldPalette : DefaultPalette(value);
  else
    palette_.clear();
  const bool pixelAlpha = (oldFormat == pf32bit || oldFormat == pfDevice);
  for (int y = 0; y < height_; ++y) {
    const uint8_t* src = old->Bits() + (height_ - 1 - y) * oldRow;
    uint8_t* dst = storage_->Bits() + static_cast<size_t>(height_ - 1 - y) * RowBytes();
    for (int x = 0; x < width_; ++x) {
      if (keepIndexes) {
        WriteIndex(dst, x, BitsPerPixel(), ReadIndex(src, x, BitsPerPixelOf(oldFormat)));
      } else {
        TRGBQuad q = ReadQuad(src, x, oldFormat, oldPalette);
        if (!pixelAlpha) q.Reserved = 0;
        WriteQuad(dst, x, value, palette_, q);
      }
    }
  }
  Changed(this);
}

void TBitmap::SetPalette(const TColorTable& entries) {
  if (!IsIndexed(pixelFormat_)) return;
  const size_t capacity = size_t{1} << BitsPerPixel();
  palette_.assign(entries.begin(), entries.begin() + std::min(entries.size(), capacity));
  for (TRGBQuad& q : palette_) q.Reserved = 0;
  if (binding_) binding_->PaletteChanged();
  Changed(this);
}

TColor TBitmap::PixelColor(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || !storage_) return clBlack;
  return ColorFromQuad(ReadQuad(ScanLine(y), x, pixelFormat_, palette_));
}

void TBitmap::SetPixelColor(int x, int y, TColor color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || !storage_) return;
  WriteQuad(ScanLine(y), x, pixelFormat_, palette_, QuadFromColor(ColorToRGB(color)));
}

void TBitmap::Fill(TColor color) {
  if (Empty()) return;
  color = ColorToRGB(color);
  // One row is built pixel by pixel, the others are copies of it.
  uint8_t* first = ScanLine(0);
  for (int x = 0; x < width_; ++x)
    WriteQuad(first, x, pixelFormat_, palette_, QuadFromColor(color));
  for (int y = 1; y < height_; ++y)
    std::memcpy(ScanLine(y), first, static_cast<size_t>(RowBytes()));
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
  if (value == transparentMode_) return;
  if (value == tmAuto)
    SetTransparentColor(clDefault);
  else
    SetTransparentColor(TransparentColor());
}

TColor TBitmap::TransparentColor() const {
  if (transparentMode_ == tmFixed) return transparentColor_;
  if (Empty()) return clDefault;
  return PixelColor(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor value) {
  if (value == transparentColor_ && (value == clDefault) == (transparentMode_ == tmAuto)) return;
  transparentColor_ = value;
  transparentMode_ = value == clDefault ? tmAuto : tmFixed;
  Changed(this);
}

void TBitmap::Assign(TPersistent* source) {
  if (source == nullptr) {
    ReleaseStorage();
    width_ = height_ = 0;
    Changed(this);
    return;
  }
  if (auto* other = dynamic_cast<TBitmap*>(source)) {
    if (other == this) return;
    ReleaseStorage();
    width_ = other->width_;
    height_ = other->height_;
    pixelFormat_ = other->pixelFormat_;
    palette_ = other->palette_;
    transparentMode_ = other->transparentMode_;
    transparentColor_ = other->transparentColor_;
    if (!Empty()) {
      storage_ = std::make_unique<THeapPixelStorage>(BitsSize());
      if (other->storage_) std::memcpy(storage_->Bits(), other->Bits(), BitsSize());
    }
    TGraphic::SetTransparent(other->Transparent());
    Changed(this);
    return;
  }
  TGraphic::Assign(source);
}

void TBitmap::Draw(TCanvas* canvas, const TRect& r) {
  if (TBitmapBinding* binding = Binding()) binding->Draw(canvas, r);
}

// ---- BMP files --------------------------------------------------------------------------------

void TBitmap::LoadFromStream(TStream& stream) {
  ReadBmp(stream);
  Changed(this);
}

void TBitmap::ReadBmp(TStream& stream) {
  const int64_t base = stream.Position();
  uint8_t fileHeader[14];
  ReadExact(stream, fileHeader, sizeof fileHeader);
  if (Le16(fileHeader) != 0x4D42) throw EInvalidGraphic(kInvalidBitmap);
  const uint32_t offBits = Le32(fileHeader + 10);

  uint8_t info[124] = {};
  ReadExact(stream, info, 4);
  const uint32_t infoSize = Le32(info);
  int32_t width;
  int32_t height;
  unsigned bitCount;
  uint32_t compression = BI_RGB_CODE;
  uint32_t colorsUsed = 0;
  bool core = false;
  if (infoSize == 12) {
    core = true;
    ReadExact(stream, info + 4, 8);
    width = Le16(info + 4);
    height = static_cast<int16_t>(Le16(info + 6));
    if (Le16(info + 8) != 1) throw EInvalidGraphic(kInvalidBitmap);
    bitCount = Le16(info + 10);
  } else if (infoSize >= 40 && infoSize <= sizeof info) {
    ReadExact(stream, info + 4, infoSize - 4);
    width = static_cast<int32_t>(Le32(info + 4));
    height = static_cast<int32_t>(Le32(info + 8));
    if (Le16(info + 12) != 1) throw EInvalidGraphic(kInvalidBitmap);
    bitCount = Le16(info + 14);
    compression = Le32(info + 16);
    colorsUsed = Le32(info + 32);
  } else {
    throw EInvalidGraphic(kInvalidBitmap);
  }
  const bool topDown = height < 0;
  if (height == INT32_MIN || width <= 0 || height == 0) throw EInvalidGraphic(kInvalidBitmap);
  if (topDown) height = -height;
  if (width > kMaxBitmapSide || height > kMaxBitmapSide ||
      int64_t{width} * height > kMaxBitmapPixels)
    throw EInvalidGraphic(kInvalidBitmap);

  TPixelFormat format;
  switch (bitCount) {
    case 1:
      format = pf1bit;
      break;
    case 4:
      format = pf4bit;
      break;
    case 8:
      format = pf8bit;
      break;
    case 16:
      format = pf15bit;
      break;
    case 24:
      format = pf24bit;
      break;
    case 32:
      format = pf32bit;
      break;
    default:
      throw EInvalidGraphic(kInvalidBitmap);
  }
  if (compression == BI_BITFIELDS_CODE && (bitCount == 16 || bitCount == 32)) {
    uint8_t masks[12];
    if (infoSize >= 52) {
      std::memcpy(masks, info + 40, 12);
    } else {
      ReadExact(stream, masks, 12);
    }
    const uint32_t red = Le32(masks), green = Le32(masks + 4), blue = Le32(masks + 8);
    if (bitCount == 16 && red == 0xF800 && green == 0x07E0 && blue == 0x001F)
      format = pf16bit;
    else if (bitCount == 16 && red == 0x7C00 && green == 0x03E0 && blue == 0x001F)
      format = pf15bit;
    else if (!(bitCount == 32 && red == 0xFF0000 && green == 0xFF00 && blue == 0xFF))
      throw EInvalidGraphic(kInvalidBitmap);
  } else if (compression != BI_RGB_CODE) {
    throw EInvalidGraphic(kInvalidBitmap);
  }

  TColorTable table;
  if (bitCount <= 8) {
    const uint32_t capacity = 1u << bitCount;
    // A table larger than the depth allows is cut: its extra entries could never be used.
    const uint32_t stored = core || colorsUsed == 0 ? capacity : colorsUsed;
    if (stored > 4096) throw EInvalidGraphic(kInvalidBitmap);
    const unsigned entrySize = core ? 3 : 4;
    std::vector<uint8_t> raw(static_cast<size_t>(stored) * entrySize);
    ReadExact(stream, raw.data(), static_cast<int64_t>(raw.size()));
    for (uint32_t i = 0; i < std::min(stored, capacity); ++i)
      table.push_back({raw[i * entrySize], raw[i * entrySize + 1], raw[i * entrySize + 2], 0});
  }

  if (offBits != 0) stream.SetPosition(base + offBits);
  const int64_t rowBytes = DibRowBytes(width, static_cast<int>(bitCount));
  if (stream.Size() - stream.Position() < rowBytes * height) throw EInvalidGraphic(kInvalidBitmap);

  ReleaseStorage();
  width_ = height_ = 0;
  pixelFormat_ = format;
  palette_ = std::move(table);
  width_ = width;
  height_ = height;
  storage_ = std::make_unique<THeapPixelStorage>(BitsSize());
  uint8_t* bits = storage_->Bits();
  if (!topDown) {
    ReadExact(stream, bits, rowBytes * height);
  } else {
    for (int y = 0; y < height; ++y)
      ReadExact(stream, bits + (height - 1 - y) * rowBytes, rowBytes);
  }
}

void TBitmap::ReadData(TStream& stream) {
  uint8_t size[4];
  ReadExact(stream, size, 4);
  if (Le32(size) == 0) {
    Assign(nullptr);
    return;
  }
  const int64_t end = stream.Position() + Le32(size);
  ReadBmp(stream);
  // Whatever the BMP did not use of its block is passed over.
  if (stream.Position() < end) stream.SetPosition(end);
  Changed(this);
}

void TBitmap::WriteData(TStream& stream) {
  TMemoryStream bmp;
  if (!Empty()) SaveToStream(bmp);
  uint8_t size[4];
  const auto n = static_cast<uint32_t>(bmp.Size());
  for (int i = 0; i < 4; ++i) size[i] = static_cast<uint8_t>(n >> (8 * i));
  stream.WriteBuffer(size, 4);
  if (n) stream.WriteBuffer(bmp.Memory(), n);
}

void TBitmap::SaveToStream(TStream& stream) {
  const int bits = BitsPerPixel();
  const bool bitFields = pixelFormat_ == pf16bit;
  const uint32_t tableBytes = static_cast<uint32_t>(IsIndexed(pixelFormat_) ? palette_.size() * 4
                                                    : bitFields             ? 12
                                                                            : 0);
  TBitmapInfoHeader info;
  info.biWidth = width_;
  info.biHeight = height_;
  info.biBitCount = static_cast<uint16_t>(bits);
  info.biCompression = bitFields ? BI_BITFIELDS_CODE : BI_RGB_CODE;
  info.biSizeImage = static_cast<uint32_t>(BitsSize());
  if (IsIndexed(pixelFormat_)) info.biClrUsed = static_cast<uint32_t>(palette_.size());
  TBitmapFileHeader file;
  file.bfOffBits = sizeof file + sizeof info + tableBytes;
  file.bfSize = file.bfOffBits + info.biSizeImage;
  // Both structs are packed little-endian images of the file layout.
  stream.WriteBuffer(&file, sizeof file);
  stream.WriteBuffer(&info, sizeof info);
  if (IsIndexed(pixelFormat_)) {
    if (!palette_.empty())
      stream.WriteBuffer(palette_.data(), static_cast<int32_t>(palette_.size() * 4));
  } else if (bitFields) {
    const uint8_t masks[12] = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
    stream.WriteBuffer(masks, sizeof masks);
  }
  if (!Empty()) stream.WriteBuffer(Bits(), static_cast<int32_t>(BitsSize()));
}

// ---- TPicture ---------------------------------------------------------------------------------

namespace {

struct TFileFormat {
  std::string extension;  // lower case, no dot
  std::string description;
  TGraphicClass graphicClass;
};
struct TClipboardFormat {
  uint32_t format;
  TGraphicClass graphicClass;
};

// Pictures in form resources name their graphic's class; plain bitmaps must be findable even
// in a program that never names TBitmap itself.
const bool kBitmapClassRegistered = [] {
  RegisterClassInfo(TBitmap::StaticClassInfo());
  return true;
}();

std::vector<TFileFormat>& FileFormats() {
  static std::vector<TFileFormat> formats;
  return formats;
}
std::vector<TClipboardFormat>& ClipboardFormats() {
  static std::vector<TClipboardFormat> formats;
  return formats;
}

std::string NormalExtension(const std::string& extension) {
  std::string e = extension;
  if (!e.empty() && e[0] == '.') e.erase(0, 1);
  return LowerCase(e);
}

const TFileFormat* FindFileFormat(const std::string& extension) {
  const std::string e = NormalExtension(extension);
  auto& formats = FileFormats();
  // The last registration wins, so a later unit can take over an extension.
  for (auto it = formats.rbegin(); it != formats.rend(); ++it)
    if (it->extension == e) return &*it;
  return nullptr;
}

}  // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  TGraphicClass graphicClass) {
  FileFormats().push_back({NormalExtension(extension), description, graphicClass});
}

void TPicture::RegisterClipboardFormat(uint32_t format, TGraphicClass graphicClass) {
  ClipboardFormats().push_back({format, graphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass graphicClass) {
  if (graphicClass == nullptr) return;
  std::erase_if(FileFormats(),
                [&](const TFileFormat& f) { return f.graphicClass->InheritsFrom(graphicClass); });
  std::erase_if(ClipboardFormats(), [&](const TClipboardFormat& f) {
    return f.graphicClass->InheritsFrom(graphicClass);
  });
}

TGraphicClass TPicture::FileFormatFor(const std::string& extension) {
  const TFileFormat* f = FindFileFormat(extension);
  return f ? f->graphicClass : nullptr;
}

std::string TPicture::FileFormatDescription(const std::string& extension) {
  const TFileFormat* f = FindFileFormat(extension);
  return f ? f->description : std::string();
}

TGraphicClass TPicture::ClipboardFormatFor(uint32_t format) {
  auto& formats = ClipboardFormats();
  for (auto it = formats.rbegin(); it != formats.rend(); ++it)
    if (it->format == format) return it->graphicClass;
  return nullptr;
}

void TPicture::GraphicChanged(TObject* /*sender*/) {
  if (OnChange) OnChange(this);
}

void TPicture::TakeGraphic(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_) graphic_->OnChange = MakeEvent<&TPicture::GraphicChanged>(this);
  GraphicChanged(this);
}

static std::unique_ptr<TGraphic> NewGraphic(TGraphicClass graphicClass) {
  std::unique_ptr<TObject> object(graphicClass->CreateInstance());
  auto* graphic = dynamic_cast<TGraphic*>(object.get());
  if (graphic == nullptr) throw EInvalidGraphic("Invalid graphic format");
  object.release();
  return std::unique_ptr<TGraphic>(graphic);
}

void TPicture::SetGraphic(TGraphic* value) {
  if (value == nullptr) {
    TakeGraphic(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> copy = NewGraphic(value->ClassInfo());
  copy->Assign(value);
  TakeGraphic(std::move(copy));
}

TBitmap* TPicture::Bitmap() {
  if (!graphic_ || !graphic_->Is<TBitmap>()) TakeGraphic(std::make_unique<TBitmap>());
  return static_cast<TBitmap*>(graphic_.get());
}

void TPicture::LoadFromFile(const std::string& fileName) {
  const std::string ext = ExtractFileExt(fileName);
  const TFileFormat* format = FindFileFormat(ext);
  if (format == nullptr) throw EInvalidGraphic("Unknown picture file extension (" + ext + ")");
  std::unique_ptr<TGraphic> graphic = NewGraphic(format->graphicClass);
  graphic->LoadFromFile(fileName);
  TakeGraphic(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& fileName) {
  if (graphic_) graphic_->SaveToFile(fileName);
}

void TPicture::ReadData(TStream& stream) {
  uint8_t length = 0;
  if (stream.Read(&length, 1) != 1) throw EInvalidGraphic("Invalid graphic format");
  if (length == 0) {
    SetGraphic(nullptr);
    return;
  }
  std::string name(length, '\0');
  if (stream.Read(name.data(), length) != length) throw EInvalidGraphic("Invalid graphic format");
  const TClassInfo* info = GetClass(name);
  if (info == nullptr || !info->InheritsFrom(TGraphic::StaticClassInfo()) ||
      info->CreateFunc() == nullptr)
    throw EInvalidGraphic("Invalid graphic format");
  std::unique_ptr<TGraphic> graphic = NewGraphic(info);
  graphic->ReadData(stream);
  TakeGraphic(std::move(graphic));
}

void TPicture::WriteData(TStream& stream) {
  const std::string name = graphic_ ? graphic_->ClassName() : std::string();
  const auto length = static_cast<uint8_t>(std::min<size_t>(name.size(), 255));
  stream.WriteBuffer(&length, 1);
  if (length == 0) return;
  stream.WriteBuffer(name.data(), length);
  graphic_->WriteData(stream);
}

#ifdef _WIN32
// Platform-free parts of the clipboard interface; TBitmap's own is in GraphicsWin32.cpp.
void TGraphic::LoadFromClipboardFormat(uint16_t, void*, void*) {
  throw EInvalidGraphic("Unsupported clipboard format");
}

void TGraphic::SaveToClipboardFormat(uint16_t&, void*&, void*&) {
  throw EInvalidGraphic("Unsupported clipboard format");
}

bool TPicture::SupportsClipboardFormat(uint16_t format) {
  return ClipboardFormatFor(format) != nullptr;
}

void TPicture::LoadFromClipboardFormat(uint16_t format, void* data, void* palette) {
  TGraphicClass graphicClass = ClipboardFormatFor(format);
  if (graphicClass == nullptr) throw EInvalidGraphic("Unsupported clipboard format");
  std::unique_ptr<TGraphic> graphic = NewGraphic(graphicClass);
  graphic->LoadFromClipboardFormat(format, data, palette);
  TakeGraphic(std::move(graphic));
}

void TPicture::SaveToClipboardFormat(uint16_t& format, void*& data, void*& palette) {
  format = 0;
  data = nullptr;
  palette = nullptr;
  if (graphic_) graphic_->SaveToClipboardFormat(format, data, palette);
}
#endif

void TPicture::Assign(TPersistent* source) {
  if (source == nullptr) {
    SetGraphic(nullptr);
  } else if (auto* picture = dynamic_cast<TPicture*>(source)) {
    SetGraphic(picture->Graphic());
  } else if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
    SetGraphic(graphic);
  } else {
    TPersistent::Assign(source);
  }
}
