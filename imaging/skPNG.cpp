#include "imaging/skPNG.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/ScopeExit.h"
#include "imaging/PngRowFilters.h"

namespace {

constexpr const char* kPng = "PNG";
// The image data ends before the last row: the file is cut off or damaged.
constexpr const char* kMissingImageData = "Cannot load image. Image data missing in %s file.";
constexpr uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

// Limits that keep a damaged or hostile header from making us allocate without bound.
constexpr uint32_t kMaxChunkLength = 0x7FFFFFFF;
constexpr uint32_t kMaxSide = 65535;
constexpr uint64_t kMaxPixels = uint64_t{1} << 26;

uint8_t ClampChannel(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }
uint8_t RotateMask(uint8_t mask) { return static_cast<uint8_t>((mask >> 1) | (mask << 7)); }
uint16_t Swap16(uint16_t v) { return static_cast<uint16_t>((v >> 8) | (v << 8)); }
uint16_t Raw16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
uint32_t Be32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}
uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

[[noreturn]] void RaiseInvalid(const std::string& format) {
  throw EInvalidGraphic(Format(format, kPng));
}

// A changed setting makes the next row conversion choose its converter again.
template <typename T>
void UpdateSetting(T& setting, T value, bool& changed) {
  if (value == setting) return;
  setting = value;
  changed = true;
}

constexpr const char* kInvalidSampleBits =
    "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
constexpr const char* kInvalidSampleCount =
    "Sample count per pixel does not correspond to the given color scheme.";

}  // namespace

// ================================================================================================
// TColorManager

TColorManager::TColorManager() { BuildGammaTable(1.0f, 2.2f); }

void TColorManager::RaiseConversionError(const std::string& message) {
  throw EColorConversionError(message);
}

void TColorManager::SetSourceSampleBits(uint8_t value) {
  if (value < 1 || value > 16) RaiseConversionError(kInvalidSampleBits);
  UpdateSetting(sourceBits_, value, changed_);
}

void TColorManager::SetTargetSampleBits(uint8_t value) {
  if (value < 1 || value > 16) RaiseConversionError(kInvalidSampleBits);
  UpdateSetting(targetBits_, value, changed_);
}

void TColorManager::SetSourceSampleCount(uint8_t value) {
  if (value < 1 || value > 4) RaiseConversionError(kInvalidSampleCount);
  UpdateSetting(sourceSamples_, value, changed_);
}

void TColorManager::SetTargetSampleCount(uint8_t value) {
  if (value < 1 || value > 4) RaiseConversionError(kInvalidSampleCount);
  UpdateSetting(targetSamples_, value, changed_);
}

void TColorManager::SetSourceScheme(TColorSchemeKind value) {
  UpdateSetting(sourceScheme_, value, changed_);
}

void TColorManager::SetTargetScheme(TColorSchemeKind value) {
  UpdateSetting(targetScheme_, value, changed_);
}

TPixelFormat TColorManager::PixelFormatOf(bool target) const {
  const unsigned samples = target ? targetSamples_ : sourceSamples_;
  const unsigned bits = target ? targetBits_ : sourceBits_;
  switch (samples) {
    case 1:
      if (bits == 1) return pf1bit;
      if (bits <= 4) return pf4bit;
      return pf8bit;
    case 3:
      return bits <= 5 ? pf15bit : pf24bit;
    case 4:
      return bits >= 8 ? pf32bit : pfCustom;
    default:
      return pfCustom;
  }
}

void TColorManager::ConvertRowPixels(std::span<const void* const> sources, void* target,
                                     unsigned count, uint8_t mask) {
  if (changed_) SelectRowConverter();
  if (converter_ == nullptr)
    RaiseConversionError("Color conversion failed. Could not find a proper method.");
  if (sources.empty() || sources[0] == nullptr) return;
  (this->*converter_)(sources, static_cast<uint8_t*>(target), count, mask);
}

void TColorManager::SelectRowConverter() {
  converter_ = nullptr;
  const bool sourceIndexed = sourceScheme_ >= scIndexed && sourceScheme_ <= scGrayAlpha;
  const bool targetIndexed = targetScheme_ >= scIndexed && targetScheme_ <= scGray;
  if (sourceIndexed != targetIndexed)
    RaiseConversionError(
        "Conversion between indexed and non-indexed pixel formats is not supported.");
  auto hasAlpha = [](TColorSchemeKind s) { return s == scGrayAlpha || s == scRGBA || s == scBGRA; };
  if (hasAlpha(sourceScheme_))
    SourceOptions += cfAlpha;
  else
    SourceOptions -= cfAlpha;
  if (hasAlpha(targetScheme_))
    TargetOptions += cfAlpha;
  else
    TargetOptions -= cfAlpha;

  const bool toRGB = targetScheme_ == scRGB || targetScheme_ == scRGBA;
  const bool toBGR = targetScheme_ == scBGR || targetScheme_ == scBGRA;
  const bool s16 = sourceBits_ == 16;
  const bool t16 = targetBits_ == 16;
  auto is8or16 = [](unsigned b) { return b == 8 || b == 16; };
  switch (sourceScheme_) {
    case scIndexed:
      if (s16 && t16)
        converter_ = &TColorManager::ConvertIndexed16Row;
      else if (s16)
        converter_ = &TColorManager::ConvertIndexed16ToPackedRow;
      else if (t16)
        converter_ = &TColorManager::ConvertPackedToIndexed16Row;
      else
        converter_ = &TColorManager::ConvertPackedRow;
      break;
    case scGray:
      if (!s16 && !t16)
        converter_ = &TColorManager::ConvertPackedRow;
      else if (sourceBits_ >= 8 && targetBits_ >= 8)
        converter_ = &TColorManager::ConvertGrayRow;
      break;
    case scGrayAlpha:
      if (is8or16(sourceBits_) && is8or16(targetBits_)) converter_ = &TColorManager::ConvertGrayRow;
      break;
    case scRGB:
    case scRGBA:
      if (toRGB) converter_ = &TColorManager::ConvertRGBToRGBRow;
      if (toBGR) converter_ = &TColorManager::ConvertRGBToBGRRow;
      break;
    case scBGR:
    case scBGRA:
      // The same two members: only the exchange of the first and third sample matters.
      if (toRGB) converter_ = &TColorManager::ConvertRGBToBGRRow;
      if (toBGR) converter_ = &TColorManager::ConvertRGBToRGBRow;
      break;
    case scCMYK:
      if (toRGB) converter_ = &TColorManager::ConvertCMYKToRGBRow;
      if (toBGR) converter_ = &TColorManager::ConvertCMYKToBGRRow;
      break;
    case scCIELab:
      if (toRGB) converter_ = &TColorManager::ConvertLabToRGBRow;
      if (toBGR) converter_ = &TColorManager::ConvertLabToBGRRow;
      break;
    case scYCbCr:
    case scPhotoYCC:
      if (toRGB || toBGR) {
        BuildChromaTables(sourceScheme_ == scYCbCr ? TChromaKind::YCbCr : TChromaKind::PhotoYCC);
        converter_ =
            toRGB ? &TColorManager::ConvertYCbCrToRGBRow : &TColorManager::ConvertYCbCrToBGRRow;
      }
      break;
    default:
      break;
  }
  changed_ = false;
}

uint16_t TColorManager::ReadSample16(const uint8_t* p) const {
  const uint16_t raw = Raw16(p);
  return SourceOptions.Contains(cfByteSwap) ? Swap16(raw) : raw;
}

uint8_t TColorManager::ScaleSample16(uint16_t raw) const {
  const uint16_t v = SourceOptions.Contains(cfByteSwap) ? Swap16(raw) : raw;
  const uint8_t scaled = static_cast<uint8_t>(MulDivWord(v, 255, 65535));
  return TargetOptions.Contains(cfApplyGamma) ? gamma_[scaled] : scaled;
}

// One sample per pixel below 16 bits, packed most significant bits first.
void TColorManager::ConvertPackedRow(std::span<const void* const> sources, uint8_t* target,
                                     unsigned count, uint8_t mask) {
  const auto* source = static_cast<const uint8_t*>(sources[0]);
  const unsigned sb = sourceBits_;
  const unsigned tb = targetBits_;
  if (sb == tb && mask == 0xFF) {
    std::memcpy(target, source, (size_t{count} * sb + 7) / 8);
    return;
  }
  if (sb > 8 || tb > 8) return;
  const unsigned sourcePerByte = 8 / sb;
  const unsigned targetPerByte = 8 / tb;
  const unsigned sourceMax = (1u << sb) - 1;
  const unsigned targetMax = (1u << tb) - 1;
  size_t taken = 0;
  for (unsigned i = 0; i < count; ++i, mask = RotateMask(mask)) {
    if (!(mask & 0x80)) continue;
    const uint8_t byte = source[taken / sourcePerByte];
    const unsigned shift = 8 - sb * (taken % sourcePerByte + 1);
    ++taken;
    unsigned v = (byte >> shift) & sourceMax;
    if (sb != tb) v = MulDivWord(v, targetMax, sourceMax);
    uint8_t& out = target[i / targetPerByte];
    const unsigned targetShift = 8 - tb * (i % targetPerByte + 1);
    out = static_cast<uint8_t>((out & ~(targetMax << targetShift)) | (v << targetShift));
  }
}

void TColorManager::ConvertIndexed16Row(std::span<const void* const> sources, uint8_t* target,
                                        unsigned count, uint8_t mask) {
  const auto* source = static_cast<const uint8_t*>(sources[0]);
  if (mask == 0xFF && !SourceOptions.Contains(cfByteSwap)) {
    std::memcpy(target, source, size_t{count} * 2);
    return;
  }
  for (unsigned i = 0; i < count; ++i, mask = RotateMask(mask)) {
    if (!(mask & 0x80)) continue;
    Put16(target + 2 * i, ReadSample16(source));
    source += 2;
  }
}

void TColorManager::ConvertIndexed16ToPackedRow(std::span<const void* const> sources,
                                                uint8_t* target, unsigned count, uint8_t mask) {
  const auto* source = static_cast<const uint8_t*>(sources[0]);
  const unsigned tb = std::min<unsigned>(targetBits_, 8);
  const unsigned perByte = 8 / tb;
  const unsigned targetMax = (1u << tb) - 1;
  for (unsigned i = 0; i < count; ++i, mask = RotateMask(mask)) {
    if (!(mask & 0x80)) continue;
    const unsigned v = MulDivWord(ReadSample16(source), targetMax, 65535);
    source += 2;
    uint8_t& out = target[i / perByte];
    const unsigned shift = 8 - tb * (i % perByte + 1);
    out = static_cast<uint8_t>((out & ~(targetMax << shift)) | (v << shift));
  }
}

void TColorManager::ConvertPackedToIndexed16Row(std::span<const void* const> sources,
                                                uint8_t* target, unsigned count, uint8_t mask) {
  const auto* source = static_cast<const uint8_t*>(sources[0]);
  const unsigned sb = std::min<unsigned>(sourceBits_, 8);
  const unsigned perByte = 8 / sb;
  const unsigned sourceMax = (1u << sb) - 1;
  size_t taken = 0;
  for (unsigned i = 0; i < count; ++i, mask = RotateMask(mask)) {
    if (!(mask & 0x80)) continue;
    const unsigned shift = 8 - sb * (taken % perByte + 1);
    const unsigned sample = (source[taken / perByte] >> shift) & sourceMax;
    ++taken;
    const uint16_t wide = MulDivWord(sample, 65535, sourceMax);
    Put16(target + 2 * i, SourceOptions.Contains(cfByteSwap) ? Swap16(wide) : wide);
  }
}

// Grey or grey with alpha at 8 or 16 bits; the alpha sample is skipped.
void TColorManager::ConvertGrayRow(std::span<const void* const> sources, uint8_t* target,
                                   unsigned count, uint8_t mask) {
  const auto* source = static_cast<const uint8_t*>(sources[0]);
  const unsigned sb = sourceBits_;
  const unsigned tb = targetBits_;
  const unsigned sourceStep = (sb == 16 ? 2 : 1) * (SourceOptions.Contains(cfAlpha) ? 2 : 1);
  const unsigned targetStep = tb == 16 ? 2 : 1;
  const bool swap = SourceOptions.Contains(cfByteSwap);
  for (unsigned i = 0; i < count; ++i, mask = RotateMask(mask), target += targetStep) {
    if (!(mask & 0x80)) continue;
    if (sb == 8 && tb == 8) {
      *target = *source;
    } else if (sb == 8 && tb == 16) {
      Put16(target, MulDivWord(*source, 65535, 255));
    } else if (sb == 16 && tb == 8) {
      const uint16_t raw = Raw16(source);
      *target = static_cast<uint8_t>(MulDivWord(swap ? Swap16(raw) : raw, 255, 65535));
    } else if (sb == 16 && tb == 16) {
      const uint16_t raw = Raw16(source);
      Put16(target, swap ? Swap16(raw) : raw);
    }
    source += sourceStep;
  }
}

namespace {

// The common case of the RGB family, every pixel of an interleaved 8-bit row into an 8-bit
// target of the same channel count: the loop the general one would run, without its
// per-sample choices. The samples per pixel and the exchange are constants of each copy.
template <unsigned kChannels, bool kExchange, bool kGamma>
void CopyEightBitRow(const uint8_t* source, uint8_t* target, unsigned count, const uint8_t* gamma) {
  constexpr unsigned kFirst = kExchange ? 2 : 0, kThird = kExchange ? 0 : 2;
  auto colour = [gamma](uint8_t v) { return kGamma ? gamma[v] : v; };
  for (unsigned i = 0; i < count; ++i, source += kChannels, target += kChannels) {
    const uint8_t first = source[kFirst], second = source[1], third = source[kThird];
    target[0] = colour(first);
    target[1] = colour(second);
    target[2] = colour(third);
    if constexpr (kChannels == 4) target[3] = source[3];
  }
}

template <unsigned kChannels>
void CopyEightBitRow(const uint8_t* source, uint8_t* target, unsigned count, bool exchange,
                     const uint8_t* gamma) {
  if (exchange) {
    if (gamma)
      CopyEightBitRow<kChannels, true, true>(source, target, count, gamma);
    else
      CopyEightBitRow<kChannels, true, false>(source, target, count, gamma);
  } else {
    if (gamma)
      CopyEightBitRow<kChannels, false, true>(source, target, count, gamma);
    else
      CopyEightBitRow<kChannels, false, false>(source, target, count, gamma);
  }
}

}  // namespace

// RGB and BGR sources into RGB and BGR targets; `exchange` swaps the first and third sample.
void TColorManager::ConvertRGBFamily(std::span<const void* const> sources, uint8_t* target,
                                     unsigned count, uint8_t mask, bool exchange) {
  const unsigned sb = sourceBits_;
  const unsigned tb = targetBits_;
  if ((sb != 8 && sb != 16) || (tb != 8 && tb != 16)) return;
  const bool sourceAlpha = SourceOptions.Contains(cfAlpha);
  const bool targetAlpha = TargetOptions.Contains(cfAlpha);
  const bool bothAlpha = sourceAlpha && targetAlpha;
  const bool swap = SourceOptions.Contains(cfByteSwap);
  const bool gamma = TargetOptions.Contains(cfApplyGamma);
  const unsigned sourceBytes = sb / 8;
  const unsigned targetBytes = tb / 8;
  const bool planar = sources.size() > 1;
  const unsigned channels = sourceAlpha ? 4 : 3;
  const uint8_t* planes[4] = {};
  for (unsigned c = 0; c < channels; ++c)
    planes[c] = static_cast<const uint8_t*>(planar ? (c < sources.size() ? sources[c] : nullptr)
                                                   : sources[0]) +
                (planar ? 0 : c * sourceBytes);
  if (planar && (planes[0] == nullptr || planes[1] == nullptr || planes[2] == nullptr)) return;
  if (planar && sourceAlpha && sources.size() < 4) return;
  const unsigned sourceStep = planar ? sourceBytes : channels * sourceBytes;
  const unsigned targetStep = (bothAlpha || targetAlpha ? 4 : 3) * targetBytes;
  if (sb == 8 && tb == 8 && !planar && mask == 0xFF && sourceAlpha == targetAlpha) {
    const uint8_t* gammaTable = gamma ? gamma_.data() : nullptr;
    if (sourceAlpha)
      CopyEightBitRow<4>(planes[0], target, count, exchange, gammaTable);
    else
      CopyEightBitRow<3>(planes[0], target, count, exchange, gammaTable);
    return;
  }

  auto colour = [&](const uint8_t* p, uint8_t* out) {
    if (sb == 8 && tb == 8) {
      *out = gamma ? gamma_[*p] : *p;
    } else if (sb == 8) {
      const uint16_t wide = MulDivWord(gamma ? gamma_[*p] : *p, 65535, 255);
      Put16(out, swap ? Swap16(wide) : wide);
    } else if (tb == 8) {
      *out = ScaleSample16(Raw16(p));
    } else {
      Put16(out, swap ? Swap16(Raw16(p)) : Raw16(p));
    }
  };
  auto alpha = [&](const uint8_t* p, uint8_t* out) {
    if (sb == 8 && tb == 8) {
      *out = *p;
    } else if (sb == 8) {
      const uint16_t wide = MulDivWord(*p, 65535, 255);
      Put16(out, swap ? Swap16(wide) : wide);
    } else if (tb == 8) {
      *out = static_cast<uint8_t>(MulDivWord(swap ? Swap16(Raw16(p)) : Raw16(p), 255, 65535));
    } else {
      Put16(out, swap ? Swap16(Raw16(p)) : Raw16(p));
    }
  };

  size_t offset = 0;
  for (unsigned i = 0; i < count; ++i, mask = RotateMask(mask), target += targetStep) {
    if (!(mask & 0x80)) continue;
    const unsigned first = exchange ? 2 : 0;
    const unsigned third = exchange ? 0 : 2;
    colour(planes[first] + offset, target);
    colour(planes[1] + offset, target + targetBytes);
    colour(planes[third] + offset, target + 2 * targetBytes);
    if (bothAlpha) alpha(planes[3] + offset, target + 3 * targetBytes);
    offset += sourceStep;
  }
}

void TColorManager::ConvertRGBToRGBRow(std::span<const void* const> s, uint8_t* t, unsigned n,
                                       uint8_t m) {
  ConvertRGBFamily(s, t, n, m, false);
}
void TColorManager::ConvertRGBToBGRRow(std::span<const void* const> s, uint8_t* t, unsigned n,
                                       uint8_t m) {
  ConvertRGBFamily(s, t, n, m, true);
}

namespace {
// The n-th sample of the current pixel, interleaved (one pointer) or planar.
struct TSampleReader {
  std::span<const void* const> sources;
  unsigned channels;
  unsigned bytes;  // 1 or 2
  size_t pixel = 0;
  bool valid() const {
    if (sources.size() > 1) {
      if (sources.size() < channels) return false;
      for (unsigned c = 0; c < channels; ++c)
        if (sources[c] == nullptr) return false;
    }
    return true;
  }
  const uint8_t* at(unsigned channel) const {
    if (sources.size() > 1) return static_cast<const uint8_t*>(sources[channel]) + pixel * bytes;
    return static_cast<const uint8_t*>(sources[0]) + (pixel * channels + channel) * bytes;
  }
};

// Stores one pixel's red, green and blue (or blue first) as 8- or 16-bit target samples.
void PutTriple(uint8_t* target, const unsigned (&rgb)[3], bool bgr, unsigned targetBits) {
  for (unsigned c = 0; c < 3; ++c) {
    const unsigned v = rgb[bgr ? 2 - c : c];
    if (targetBits == 8)
      target[c] = static_cast<uint8_t>(v);
    else
      Put16(target + 2 * c, static_cast<uint16_t>(v));
  }
}
}  // namespace

void TColorManager::ConvertCMYKRow(std::span<const void* const> sources, uint8_t* target,
                                   unsigned count, uint8_t mask, bool bgr) {
  const unsigned sb = sourceBits_;
  const unsigned tb = targetBits_;
  if ((sb != 8 && sb != 16) || (tb != 8 && tb != 16)) return;
  TSampleReader reader{sources, 4, sb / 8};
  if (!reader.valid()) return;
  const unsigned targetBytes = tb / 8;
  const unsigned targetStep = (TargetOptions.Contains(cfAlpha) ? 4 : 3) * targetBytes;
  for (unsigned i = 0; i < count; ++i, mask = RotateMask(mask), target += targetStep) {
    if (!(mask & 0x80)) continue;
    unsigned out[3];
    if (sb == 8) {
      const unsigned k = *reader.at(3);
      for (unsigned c = 0; c < 3; ++c) {
        const unsigned x = *reader.at(c);
        out[c] = ClampChannel(static_cast<int>(MulDivWord(x, k, 255)) - static_cast<int>(x) -
                              static_cast<int>(k) + 255);
        if (tb == 16) out[c] = MulDivWord(out[c], 65535, 255);
      }
    } else {
      const unsigned k = ReadSample16(reader.at(3));
      for (unsigned c = 0; c < 3; ++c) {
        const unsigned x = ReadSample16(reader.at(c));
        const unsigned l = MulDivWord(x, k, 65535);
        if (tb == 8)
          out[c] = ClampChannel(255 - MulDivWord(x + k - l, 255, 65535));
        else
          out[c] = static_cast<uint16_t>(l - x - k - 1);
      }
    }
    PutTriple(target, out, bgr, tb);
    ++reader.pixel;
  }
}

void TColorManager::ConvertCMYKToRGBRow(std::span<const void* const> s, uint8_t* t, unsigned n,
                                        uint8_t m) {
  ConvertCMYKRow(s, t, n, m, false);
}
void TColorManager::ConvertCMYKToBGRRow(std::span<const void* const> s, uint8_t* t, unsigned n,
                                        uint8_t m) {
  ConvertCMYKRow(s, t, n, m, true);
}

void TColorManager::ConvertLabRow(std::span<const void* const> sources, uint8_t* target,
                                  unsigned count, uint8_t mask, bool bgr) {
  const unsigned sb = sourceBits_;
  const unsigned tb = targetBits_;
  if ((sb != 8 && sb != 16) || (tb != 8 && tb != 16)) return;
  TSampleReader reader{sources, 3, sb / 8};
  if (!reader.valid()) return;
  const unsigned targetBytes = tb / 8;
  const unsigned targetStep = (TargetOptions.Contains(cfAlpha) ? 4 : 3) * targetBytes;
  for (unsigned i = 0; i < count; ++i, mask = RotateMask(mask), target += targetStep) {
    if (!(mask & 0x80)) continue;
    double lValue, aValue, bValue;
    if (sb == 8) {
      lValue = *reader.at(0);
      if (SourceOptions.Contains(cfLabChromaOffset)) {
        aValue = static_cast<int>(*reader.at(1)) - 128;
        bValue = static_cast<int>(*reader.at(2)) - 128;
      } else {
        aValue = static_cast<int8_t>(*reader.at(1));
        bValue = static_cast<int8_t>(*reader.at(2));
      }
    } else {
      lValue = ReadSample16(reader.at(0));
      const double a16 = ReadSample16(reader.at(1));
      const double b16 = ReadSample16(reader.at(2));
      if (SourceOptions.Contains(cfLabChromaOffset)) {
        aValue = a16 - 128;
        bValue = b16 - 128;
      } else {
        aValue = static_cast<int16_t>(a16);
        bValue = static_cast<int16_t>(b16);
      }
    }
    if (SourceOptions.Contains(cfLabByteRange)) lValue /= 2.55;
    double x, y, z;
    if (lValue < 7.9996) {
      y = lValue / 903.3;
      x = y + aValue / 3893.5;
      z = y - bValue / 1557.4;
    } else {
      const double f = (lValue + 16) / 116;
      x = std::pow(f + aValue / 500, 3);
      y = f * f * f;
      z = std::pow(f - bValue / 200, 3);
    }
    unsigned rgb[3] = {
        ClampChannel(static_cast<int>(std::lround((2.998 * x - 1.458 * y - 0.541 * z) * 255))),
        ClampChannel(static_cast<int>(std::lround((-0.952 * x + 1.893 * y + 0.059 * z) * 255))),
        ClampChannel(static_cast<int>(std::lround((0.099 * x - 0.198 * y + 1.099 * z) * 255)))};
    if (tb == 16)
      for (unsigned& v : rgb) v = MulDivWord(v, 65535, 255);
    PutTriple(target, rgb, bgr, tb);
    ++reader.pixel;
  }
}

void TColorManager::ConvertLabToRGBRow(std::span<const void* const> s, uint8_t* t, unsigned n,
                                       uint8_t m) {
  ConvertLabRow(s, t, n, m, false);
}
void TColorManager::ConvertLabToBGRRow(std::span<const void* const> s, uint8_t* t, unsigned n,
                                       uint8_t m) {
  ConvertLabRow(s, t, n, m, true);
}

void TColorManager::BuildChromaTables(TChromaKind kind) {
  chromaKind_ = kind;
  const double kr = yCbCrCoefficients_[0];
  const double kg = yCbCrCoefficients_[1];
  const double kb = yCbCrCoefficients_[2];
  const double crR = 2 - 2 * kr;
  const double cbB = 2 - 2 * kb;
  const double crG = kr * crR / kg;
  const double cbG = kb * cbB / kg;
  crToRed_.assign(256, 0);
  cbToBlue_.assign(256, 0);
  crToGreen_.assign(256, 0);
  cbToGreen_.assign(256, 0);
  for (int i = 0; i < 256; ++i) {
    const int cr = kind == TChromaKind::YCbCr ? i - 128 : i - 137;
    const int cb = kind == TChromaKind::YCbCr ? i - 128 : i - 156;
    crToRed_[i] = static_cast<int>(std::lround(crR * cr));
    cbToBlue_[i] = static_cast<int>(std::lround(cbB * cb));
    crToGreen_[i] = -static_cast<int>(std::lround(crG * cr));
    cbToGreen_[i] = -static_cast<int>(std::lround(cbG * cb));
  }
}

// YCbCr and PhotoYCC: 8-bit sources through the chroma tables; 16-bit PhotoYCC to 16 bits
// by its own formula. The other 16-bit paths write nothing (never selected by our readers).
void TColorManager::ConvertChromaRow(std::span<const void* const> sources, uint8_t* target,
                                     unsigned count, uint8_t mask, bool bgr) {
  const unsigned sb = sourceBits_;
  const unsigned tb = targetBits_;
  if ((sb != 8 && sb != 16) || (tb != 8 && tb != 16)) return;
  if (sb == 16 && !(chromaKind_ == TChromaKind::PhotoYCC && tb == 16)) return;
  TSampleReader reader{sources, 3, sb / 8};
  if (!reader.valid()) return;
  const unsigned targetBytes = tb / 8;
  const unsigned targetStep = (TargetOptions.Contains(cfAlpha) ? 4 : 3) * targetBytes;
  for (unsigned i = 0; i < count; ++i, mask = RotateMask(mask), target += targetStep) {
    if (!(mask & 0x80)) continue;
    unsigned rgb[3];
    if (sb == 8) {
      const int y = *reader.at(0);
      const int cb = *reader.at(1);
      const int cr = *reader.at(2);
      rgb[0] = ClampChannel(y + crToRed_[cr]);
      rgb[1] = ClampChannel(y + cbToGreen_[cb] + crToGreen_[cr]);
      rgb[2] = ClampChannel(y + cbToBlue_[cb]);
      if (tb == 16)
        for (unsigned& v : rgb) v = MulDivWord(v, 65535, 255);
    } else {
      const double y = 1.3584 * ReadSample16(reader.at(0));
      const double c1 = static_cast<double>(ReadSample16(reader.at(1))) - 0x9C9C;
      const double c2 = static_cast<double>(ReadSample16(reader.at(2))) - 0x8989;
      auto clamp16 = [](double v) {
        return static_cast<unsigned>(std::clamp<long>(std::lround(v), 0, 65535));
      };
      rgb[2] = clamp16(y + 2.2179 * c1);
      rgb[1] = clamp16(y - 0.9271435 * c2 - 0.4302726 * c1);
      rgb[0] = clamp16(y + 1.8215 * c2);
    }
    PutTriple(target, rgb, bgr, tb);
    ++reader.pixel;
  }
}

void TColorManager::ConvertYCbCrToRGBRow(std::span<const void* const> s, uint8_t* t, unsigned n,
                                         uint8_t m) {
  ConvertChromaRow(s, t, n, m, false);
}
void TColorManager::ConvertYCbCrToBGRRow(std::span<const void* const> s, uint8_t* t, unsigned n,
                                         uint8_t m) {
  ConvertChromaRow(s, t, n, m, true);
}

void TColorManager::BuildGammaTable(float mainGamma, float displayGamma) {
  mainGamma_ = mainGamma > 0 ? mainGamma : 1.0f;
  displayGamma_ = displayGamma > 0 ? displayGamma : 2.2f;
  const unsigned m = targetBits_ >= 8 ? 255 : (1u << targetBits_) - 1;
  // A source below 8 bits with a target above 8 would index past the table; keep N in range.
  const unsigned n = sourceBits_ >= 8 ? 255 : std::min(255u, (1u << targetBits_) - 1);
  const double exponent = 1.0 / (static_cast<double>(mainGamma_) * displayGamma_);
  for (unsigned i = 0; i <= n; ++i)
    gamma_[i] = static_cast<uint8_t>(
        std::min<long>(m, std::lround(std::pow(static_cast<double>(i) / n, exponent) * m)));
}

TColorTable TColorManager::MakeGrayPalette(bool reversed) const {
  const unsigned bits = std::min(8u, unsigned{targetBits_} * targetSamples_);
  const unsigned count = 1u << bits;
  const unsigned step = count > 1 ? 255 / (count - 1) : 255;
  TColorTable table(count);
  for (unsigned i = 0; i < count; ++i) {
    unsigned g = std::min(255u, i * step);
    if (TargetOptions.Contains(cfApplyGamma)) g = gamma_[g];
    const auto v = static_cast<uint8_t>(g);
    table[reversed ? count - 1 - i : i] = {v, v, v, 0};
  }
  return table;
}

TColorTable TColorManager::BuildPaletteFromData(std::span<const void* const> sources, int layout,
                                                unsigned entryCount, bool bgrOrder) {
  const unsigned entries = std::min(entryCount, 256u);
  TColorTable table(entries);
  if (sources.empty() || sources[0] == nullptr) return table;
  const bool gamma = TargetOptions.Contains(cfApplyGamma);
  const bool planar = layout == 2 || layout == 3 || layout == 6 || layout == 7;
  if (planar && (sources.size() < 3 || !sources[1] || !sources[2])) return table;
  const bool wide = layout >= 4;
  const unsigned stride = (layout == 1 || layout == 5) ? 4 : 3;
  auto sample = [&](unsigned entry, unsigned channel) -> uint8_t {
    const auto* base = static_cast<const uint8_t*>(sources[planar ? channel : 0]);
    const size_t index = planar ? entry : size_t{entry} * stride + channel;
    if (!wide) return gamma ? gamma_[base[index]] : base[index];
    return ScaleSample16(Raw16(base + 2 * index));
  };
  for (unsigned i = 0; i < entries; ++i) {
    const uint8_t s0 = sample(i, 0), s1 = sample(i, 1), s2 = sample(i, 2);
    // Interleaved 8-bit: the flag says the first sample is blue; 16-bit: that it is red.
    bool firstIsRed = true;
    if (!planar) firstIsRed = wide ? bgrOrder : !bgrOrder;
    table[i] = firstIsRed ? TRGBQuad{s2, s1, s0, 0} : TRGBQuad{s0, s1, s2, 0};
  }
  const unsigned maxIn = (1u << std::min<unsigned>(sourceBits_, 16)) - 1;
  const unsigned maxOut = (1u << std::min<unsigned>(targetBits_, 16)) - 1;
  if (targetBits_ <= 8 && maxIn != maxOut) {
    // Spread to the target depth; entries the data did not give stay black.
    TColorTable source = table;
    source.resize(std::max<size_t>(source.size(), maxIn + 1));
    table.assign(maxOut + 1, TRGBQuad{});
    for (unsigned j = 0; j <= maxOut; ++j) table[j] = source[MulDivWord(j, maxIn, maxOut)];
  }
  return table;
}

// ================================================================================================
// TLZ77Decoder

TLZ77Decoder::TLZ77Decoder(int flushMode, bool autoReset)
    : stream_(std::make_unique<z_stream>()), flushMode_(flushMode), autoReset_(autoReset) {
  std::memset(stream_.get(), 0, sizeof(z_stream));
}

TLZ77Decoder::~TLZ77Decoder() {
  if (started_) inflateEnd(stream_.get());
}

void TLZ77Decoder::StartInflating() {
  if (inflateInit_(stream_.get(), ZLIB_VERSION, static_cast<int>(sizeof(z_stream))) < 0)
    throw EGraphicCompression("LZ77 decompression error.");
  started_ = true;
}

void TLZ77Decoder::InflateBlock(const uint8_t*& source, uint8_t*& target, unsigned outputSize,
                                unsigned inputSize) {
  stream_->next_in = const_cast<Bytef*>(source);
  stream_->avail_in = inputSize;
  if (autoReset_) lastResult_ = inflateReset(stream_.get());
  if (lastResult_ != Z_OK) return;
  stream_->next_out = target;
  stream_->avail_out = outputSize;
  lastResult_ = inflate(stream_.get(), flushMode_);
  source = stream_->next_in;
  target = stream_->next_out;
}

void TLZ77Decoder::FinishInflating() {
  if (!started_) return;
  started_ = false;
  if (inflateEnd(stream_.get()) < 0) throw EGraphicCompression("LZ77 decompression error.");
}

unsigned TLZ77Decoder::InputLeft() const { return stream_->avail_in; }
unsigned TLZ77Decoder::OutputLeft() const { return stream_->avail_out; }

// ================================================================================================
// CRC

uint32_t CalcCrc32(uint32_t crc, const void* data, size_t length) {
  if (data == nullptr) return 0;
  return png_rows::Crc32(crc, data, length);
}

// ================================================================================================
// TPNGGraphic

namespace {

// Which of the eight pixels of a byte each Adam7 pass holds.
constexpr uint8_t kPassMask[7] = {0x80, 0x08, 0x88, 0x22, 0xAA, 0x55, 0xFF};

int MulDivInt(int64_t a, int64_t b, int64_t c) { return c == 0 ? 0 : static_cast<int>(a * b / c); }

}  // namespace

TPNGGraphic::TPNGGraphic() : colorManager_(std::make_unique<TColorManager>()) {}

TPNGGraphic::~TPNGGraphic() { colorManager_.reset(); }

void TPNGGraphic::Assign(TPersistent* source) {
  if (auto* png = dynamic_cast<TPNGGraphic*>(source)) props_ = png->props_;
  TBitmap::Assign(source);
}

void TPNGGraphic::ReadChunkHeader() {
  uint8_t header[8];
  stream_->ReadBuffer(header, 8);
  chunkLength_ = Be32(header);
  std::memcpy(chunkType_, header + 4, 4);
  if (chunkLength_ > kMaxChunkLength)
    RaiseInvalid("Cannot load image. Invalid or unexpected %s image format.");
  runningCrc_ = CalcCrc32(0, chunkType_, 4);
}

bool TPNGGraphic::ChunkTypeIs(const char* name) const {
  uint32_t a, b;
  std::memcpy(&a, chunkType_, 4);
  std::memcpy(&b, name, 4);
  return (a & 0xDFDFDFDF) == (b & 0xDFDFDFDF);
}

void TPNGGraphic::ReadChunkData() {
  // Refused before allocating: a length beyond the rest of the stream cannot be read anyway.
  const int64_t left = stream_->Size() - stream_->Position();
  if (int64_t{chunkLength_} + 4 > left) throw EReadError("Stream read error");
  chunkBuffer_.resize(chunkLength_);
  if (chunkLength_ > 0) stream_->ReadBuffer(chunkBuffer_.data(), chunkLength_);
  uint8_t stored[4];
  stream_->ReadBuffer(stored, 4);
  if (chunkLength_ > 0) runningCrc_ = CalcCrc32(runningCrc_, chunkBuffer_.data(), chunkLength_);
  if (runningCrc_ != Be32(stored)) RaiseInvalid("Cannot load image. CRC error found in %s file.");
}

void TPNGGraphic::SkipChunkData() { stream_->Seek(int64_t{chunkLength_} + 4, soCurrent); }

bool TPNGGraphic::ReadHeaderInfo(TStream& stream) {
  stream_ = &stream;
  props_ = TPNGImageProperties{};
  props_.GammaOfFile = 1.0f;
  uint8_t signature[8];
  if (stream.Read(signature, 8) != 8 || std::memcmp(signature, kSignature, 8) != 0) return false;
  ReadChunkHeader();
  if (!ChunkTypeIs("IHDR")) return false;
  props_.InfoFlags += ifHeaderRead;
  if (chunkLength_ != 13) return false;
  ReadChunkData();
  const uint8_t* d = chunkBuffer_.data();
  props_.PixelWidth = Be32(d);
  props_.PixelHeight = Be32(d + 4);
  if (props_.PixelWidth == 0 || props_.PixelHeight == 0) return false;
  if (props_.PixelWidth > kMaxSide || props_.PixelHeight > kMaxSide ||
      uint64_t{props_.PixelWidth} * props_.PixelHeight > kMaxPixels)
    return false;
  const uint8_t depth = d[8];
  const uint8_t colorType = d[9];
  props_.ColorType = colorType;
  switch (colorType) {
    case 0:
      props_.SchemeCode = scGray;
      break;
    case 2:
      props_.SchemeCode = scRGB;
      break;
    case 3:
      props_.SchemeCode = scIndexed;
      break;
    case 4:
      props_.SchemeCode = scGrayAlpha;
      break;
    case 6:
      props_.SchemeCode = scRGBA;
      break;
    default:
      props_.SchemeCode = TColorSchemeKind::scNone;
  }
  props_.SampleBits = depth;
  props_.SampleCount = colorType == 2 ? 3 : colorType == 6 ? 4 : 1;
  props_.PixelBits = static_cast<uint8_t>(props_.SampleCount * depth);
  props_.CompressionCode = d[10] == 0 ? 2 : 0;
  props_.FilterMethod = d[11];
  props_.IsInterlaced = d[12] != 0;
  props_.HasAlphaChannel = props_.SchemeCode == scGrayAlpha || props_.SchemeCode == scRGBA ||
                           props_.SchemeCode == scBGRA;
  for (;;) {
    ReadChunkHeader();
    if (ChunkTypeIs("gAMA")) {
      if (chunkLength_ == 4) {
        ReadChunkData();
        props_.GammaOfFile = static_cast<float>(Be32(chunkBuffer_.data()) / 100000.0);
      }
      return true;
    }
    if (ChunkTypeIs("IEND")) return true;
    SkipChunkData();
  }
}

int TPNGGraphic::ConfigureConverter(uint8_t colorType, uint8_t bitDepth) {
  TColorManager& cm = *colorManager_;
  auto invalid = [] { RaiseInvalid("Invalid color format in %s file."); };
  int result = 0;
  switch (colorType) {
    case 0:
      if (bitDepth != 1 && bitDepth != 2 && bitDepth != 4 && bitDepth != 8 && bitDepth != 16)
        invalid();
      cm.SetSourceScheme(scGray);
      cm.SetSourceSampleCount(1);
      cm.SetSourceSampleBits(bitDepth);
      cm.SetTargetScheme(scGray);
      cm.SetTargetSampleCount(1);
      cm.SetTargetSampleBits(bitDepth == 2 ? 4 : bitDepth == 16 ? 8 : bitDepth);
      result = (bitDepth + 7) / 8;
      break;
    case 2:
      if (bitDepth != 8 && bitDepth != 16) invalid();
      cm.SetSourceScheme(scRGB);
      cm.SetSourceSampleCount(3);
      cm.SetSourceSampleBits(bitDepth);
      cm.SetTargetScheme(scBGR);
      cm.SetTargetSampleCount(3);
      cm.SetTargetSampleBits(8);
      result = bitDepth * 3 / 8;
      break;
    case 3:
      if (bitDepth != 1 && bitDepth != 2 && bitDepth != 4 && bitDepth != 8) invalid();
      cm.SetSourceScheme(scIndexed);
      cm.SetSourceSampleCount(1);
      cm.SetSourceSampleBits(bitDepth);
      cm.SetTargetScheme(scIndexed);
      cm.SetTargetSampleCount(1);
      cm.SetTargetSampleBits(bitDepth == 2 ? 4 : bitDepth);
      result = 1;
      break;
    case 4:
      if (bitDepth != 8 && bitDepth != 16) invalid();
      cm.SetSourceScheme(scGrayAlpha);
      cm.SetSourceSampleCount(1);
      cm.SetSourceSampleBits(bitDepth);
      cm.SetTargetScheme(scIndexed);
      cm.SetTargetSampleCount(1);
      cm.SetTargetSampleBits(8);
      result = bitDepth * 2 / 8;
      break;
    case 6:
      if (bitDepth != 8 && bitDepth != 16) invalid();
      cm.SetSourceScheme(scRGBA);
      cm.SetSourceSampleCount(4);
      cm.SetSourceSampleBits(bitDepth);
      cm.SetTargetScheme(scBGRA);
      cm.SetTargetSampleCount(4);
      cm.SetTargetSampleBits(8);
      result = bitDepth * 4 / 8;
      break;
    default:
      invalid();
  }
  SetPixelFormat(cm.PixelFormatOf(true));
  if (colorType == 0 || colorType == 4) {
    pngPalette_ = cm.MakeGrayPalette(false);
    hasPalette_ = true;
  }
  converterConfigured_ = true;
  sourceBpp_ = result;
  return result;
}

// The bitmap's colour for a grey sample of the file's depth: the palette entry its pixels
// would point at, so key colour and pixels always agree (gamma and depth scaling included).
TColor TPNGGraphic::GrayEntryColor(unsigned sample) const {
  const unsigned depth = props_.SampleBits;
  unsigned index = sample;
  if (depth == 16)
    index = MulDivWord(sample, 255, 65535);
  else if (depth == 2)
    index = sample * 5;
  else if (depth < 8)
    index = sample & ((1u << depth) - 1);
  else
    index = sample & 0xFF;
  if (index < pngPalette_.size()) return ColorFromQuad(pngPalette_[index]);
  return clBlack;
}

// An RGB triple of the file's depth as its pixels come out (16-bit scaling, gamma).
TColor TPNGGraphic::RgbSampleColor(const uint8_t* data) const {
  const bool gamma = colorManager_->TargetOptions.Contains(cfApplyGamma);
  uint8_t c[3];
  for (int i = 0; i < 3; ++i) {
    const uint16_t v = Be16(data + 2 * i);
    const uint8_t scaled = props_.SampleBits == 16 ? static_cast<uint8_t>(MulDivWord(v, 255, 65535))
                                                   : static_cast<uint8_t>(v & 0xFF);
    c[i] = gamma ? colorManager_->GammaTable()[scaled] : scaled;
  }
  return MakeColor(c[0], c[1], c[2]);
}

// Fixed-size chunks of the wrong size are ignored.
void TPNGGraphic::TakeBackground(const std::vector<uint8_t>& data) {
  const uint8_t* d = data.data();
  switch (props_.ColorType) {
    case 2:
    case 6:
      if (data.size() == 6) backgroundColor_ = RgbSampleColor(d);
      break;
    case 0:
    case 4:
      if (data.size() == 2) backgroundColor_ = GrayEntryColor(Be16(d));
      break;
    case 3:
      if (data.size() == 1 && d[0] < pngPalette_.size())
        backgroundColor_ = ColorFromQuad(pngPalette_[d[0]]);
      break;
    default:
      break;
  }
}

void TPNGGraphic::TakeTransparency(const std::vector<uint8_t>& data) {
  const uint8_t* d = data.data();
  switch (props_.ColorType) {
    case 0:
      if (data.size() == 2) transparentColor_ = GrayEntryColor(Be16(d));
      break;
    case 2:
      if (data.size() == 6) transparentColor_ = RgbSampleColor(d);
      break;
    default:
      break;  // palette images load without transparency; alpha images ignore it
  }
}

bool TPNGGraphic::InflateRow(uint8_t* buffer, size_t count) {
  uint8_t* target = buffer;
  size_t left = count;
  while (left > 0) {
    if (decoder_->InputLeft() == 0 && currentSource_ == chunkEnd_) {
      // Next IDAT of the run; empty ones are passed over. A run that ends before the last
      // row is a damaged file, not a blank image.
      do {
        if (!ChunkTypeIs("IDAT")) RaiseInvalid(kMissingImageData);
        ReadChunkData();
        idatSize_ = chunkLength_;
        currentSource_ = chunkBuffer_.data();
        chunkEnd_ = currentSource_ + idatSize_;
        ReadChunkHeader();
      } while (idatSize_ == 0);
    }
    const auto input = static_cast<unsigned>(chunkEnd_ - currentSource_);
    const uint8_t* before = currentSource_;
    uint8_t* targetBefore = target;
    decoder_->InflateBlock(currentSource_, target, static_cast<unsigned>(left), input);
    left -= static_cast<size_t>(target - targetBefore);
    const int result = decoder_->LastResult();
    if (result == Z_STREAM_END) {
      if (left > 0) RaiseInvalid(kMissingImageData);
      if (currentSource_ != chunkEnd_)
        RaiseInvalid("Cannot load image. Extra compressed data found in %s file.");
      return true;
    }
    if (result != Z_OK || (currentSource_ == before && target == targetBefore))
      RaiseInvalid("Cannot load image. Compression error found in %s file.");
  }
  return true;
}

void TPNGGraphic::DecodeImageRows() {
  Progress(this, psStarting, 0, false, progressRect_, "Transfering...");
  if (!converterConfigured_) ConfigureConverter(props_.ColorType, props_.SampleBits);
  const unsigned depth = props_.SampleBits;
  // Bytes per pixel as the row formula counts them: 16-bit images count samples.
  const uint64_t rowPixelBytes = depth == 16 ? sourceBpp_ / 2 : sourceBpp_;
  const int width = static_cast<int>(props_.PixelWidth);
  const int height = static_cast<int>(props_.PixelHeight);

  // The key colour and background refer to the grey palette made just now.
  if (!trnsData_.empty()) TakeTransparency(trnsData_);
  if (!bkgdData_.empty()) TakeBackground(bkgdData_);

  if (hasPalette_ && PixelFormat() <= pf8bit && PixelFormat() != pfDevice) {
    // Indexes beyond the file's palette show black instead of reading past the table.
    TColorTable table = pngPalette_;
    table.resize(size_t{1} << BitsPerPixel());
    SetPalette(table);
  }
  SetSize(width, height);
  Fill(backgroundColor_);
  if (transparentColor_ != clNone) {
    SetTransparentColor(transparentColor_);
    SetTransparent(true);
  }

  const uint64_t fullRow = (uint64_t{props_.PixelWidth} * depth + 7) / 8 * rowPixelBytes + 1;
  std::vector<uint8_t> rows[2] = {std::vector<uint8_t>(fullRow, 0),
                                  std::vector<uint8_t>(fullRow, 0)};
  int current = 0;
  const size_t bpp = std::max<size_t>(1, static_cast<size_t>(sourceBpp_));

  auto decodeRow = [&](size_t rowBytes, int y, uint8_t mask) {
    uint8_t* row = rows[current].data();
    const uint8_t* previous = rows[1 - current].data();
    if (!InflateRow(row, rowBytes)) return;
    png_rows::UnfilterRow(row[0], row + 1, previous + 1, rowBytes - 1, bpp);
    const void* sources[1] = {row + 1};
    colorManager_->ConvertRowPixels(sources, ScanLine(y), static_cast<unsigned>(width), mask);
    current = 1 - current;
  };

  if (!props_.IsInterlaced) {
    for (int y = 0; y < height; ++y) {
      decodeRow(fullRow, y, 0xFF);
      Progress(this, psRunning, static_cast<uint8_t>(MulDivInt(y, 100, height)), true,
               progressRect_, "");
      progressRect_.Top += 1;
      progressRect_.Bottom += 1;
    }
  } else {
    for (int pass = 0; pass < 7; ++pass) {
      if (png_rows::kStartColumn[pass] >= width) continue;
      const uint64_t passWidth =
          (uint64_t(width) + png_rows::kColumnIncrement[pass] - png_rows::kStartColumn[pass] - 1) /
          png_rows::kColumnIncrement[pass];
      const size_t rowBytes = static_cast<size_t>((passWidth * depth + 7) / 8 * rowPixelBytes + 1);
      std::fill(rows[1 - current].begin(), rows[1 - current].end(), 0);
      for (int y = png_rows::kStartRow[pass]; y < height;) {
        decodeRow(rowBytes, y, kPassMask[pass]);
        y += png_rows::kRowIncrement[pass];
        if (pass == 6) {
          Progress(this, psRunning,
                   static_cast<uint8_t>(MulDivInt(std::min(y, height), 100, height)), true,
                   progressRect_, "");
          progressRect_.Top += 1;
          progressRect_.Bottom += 1;
        }
      }
    }
  }
  imageDecoded_ = true;
  while (ChunkTypeIs("IDAT")) {
    ReadChunkData();
    ReadChunkHeader();
  }
}

void TPNGGraphic::LoadChunks() {
  ReadChunkHeader();  // IHDR
  ReadChunkData();
  if (props_.CompressionCode != 2)
    throw EInvalidGraphic(Format("Cannot load image. %s not supported for %s files.",
                                 "The compression scheme is", kPng));
  decoder_ = std::make_unique<TLZ77Decoder>(Z_PARTIAL_FLUSH, false);
  decoder_->StartInflating();
  ReadChunkHeader();
  for (;;) {
    if (ChunkTypeIs("IDAT")) {
      Progress(this, psEnding, 0, false, progressRect_, "");
      if (!imageDecoded_) {
        DecodeImageRows();
      } else {
        // A second run of image data is not decoded over the first one.
        while (ChunkTypeIs("IDAT")) {
          ReadChunkData();
          ReadChunkHeader();
        }
      }
    } else if (ChunkTypeIs("PLTE")) {
      if (chunkLength_ % 3 != 0) RaiseInvalid("Cannot load image. Palette in %s file is invalid.");
      ReadChunkData();
      // Only before the image: a late palette must not reinterpret decoded pixels.
      if (props_.ColorType == 3 && !imageDecoded_) {
        ConfigureConverter(props_.ColorType, props_.SampleBits);
        const void* sources[1] = {chunkBuffer_.data()};
        pngPalette_ = colorManager_->BuildPaletteFromData(sources, 0, chunkLength_ / 3, false);
        hasPalette_ = true;
      }
      ReadChunkHeader();
      continue;
    } else if (ChunkTypeIs("gAMA")) {
      ReadChunkData();
      // Only a well-formed value with a usable exponent; anything else would darken or
      // bleach the whole image.
      const double fileGamma = chunkLength_ == 4 ? Be32(chunkBuffer_.data()) / 100000.0 : 0.0;
      const double product = fileGamma * 2.2;
      if (!imageDecoded_ && product >= 0.1 && product <= 10.0) {
        colorManager_->BuildGammaTable(static_cast<float>(fileGamma), 2.2f);
        colorManager_->TargetOptions += cfApplyGamma;
        props_.InfoFlags += ifHasGamma;
      }
      ReadChunkHeader();
      continue;
    } else if (ChunkTypeIs("bKGD")) {
      ReadChunkData();
      bkgdData_ = chunkBuffer_;
      ReadChunkHeader();
      continue;
    } else if (ChunkTypeIs("tRNS")) {
      ReadChunkData();
      trnsData_ = chunkBuffer_;
      ReadChunkHeader();
      continue;
    }
    // Any other chunk, including the one that follows the image data.
    if (ChunkTypeIs("IEND")) break;
    if (!(chunkType_[0] & 0x20))
      throw EInvalidGraphic("Cannot load PNG image. Unexpected but critical chunk detected.");
    SkipChunkData();
    ReadChunkHeader();
  }
}

void TPNGGraphic::LoadFromStream(TStream& stream) {
  // Every load starts from a clean decoder state.
  SetSize(0, 0);
  SetPixelFormat(pfDevice);
  SetTransparent(false);
  SetTransparentColor(clDefault);
  basePosition_ = stream.Position();
  decoder_.reset();
  stream_ = &stream;
  colorManager_ = std::make_unique<TColorManager>();
  converterConfigured_ = false;
  imageDecoded_ = false;
  hasPalette_ = false;
  pngPalette_.clear();
  trnsData_.clear();
  bkgdData_.clear();
  currentSource_ = chunkEnd_ = nullptr;

  if (!ReadHeaderInfo(stream))
    RaiseInvalid("Cannot load image. Invalid or unexpected %s image format.");
  stream.SetPosition(basePosition_ + 8);
  progressRect_ = Rect(0, 0, static_cast<int>(props_.PixelWidth), 1);
  Progress(this, psStarting, 0, false, progressRect_, "Preparing...");
  backgroundColor_ = clWhite;
  transparentColor_ = clNone;
  colorManager_->SourceOptions = TConvertFlags{cfByteSwap};
  chunkBuffer_.clear();

  auto finish = [this](bool failing) {
    std::unique_ptr<TLZ77Decoder> decoder = std::move(decoder_);
    chunkBuffer_.clear();
    chunkBuffer_.shrink_to_fit();
    currentSource_ = chunkEnd_ = nullptr;
    try {
      if (decoder) decoder->FinishInflating();
    } catch (...) {
      if (!failing) {
        Progress(this, psEnding, 0, false, progressRect_, "");
        throw;
      }
    }
    Progress(this, psEnding, 0, false, progressRect_, "");
  };
  bool loaded = false;
  TScopeExit ending([&] {
    finish(!loaded);
    Changed(this);
  });
  LoadChunks();
  loaded = true;
}

#ifndef _WIN32
// Natively there is no device to draw on; the Win32 build draws with alpha (skPNGWin32.cpp).
void TPNGGraphic::Draw(TCanvas* canvas, const TRect& r) { TBitmap::Draw(canvas, r); }
#endif

// ================================================================================================

void ClearWhiteTransparentPixels(TBitmap* bitmap) {
  if (bitmap == nullptr || bitmap->PixelFormat() != pf32bit || bitmap->Empty()) return;
  for (int y = 0; y < bitmap->Height(); ++y) {
    uint8_t* row = bitmap->ScanLine(y);
    for (int x = 0; x < bitmap->Width(); ++x) {
      uint8_t* p = row + 4 * x;
      if (p[0] == 0xFF && p[1] == 0xFF && p[2] == 0xFF && p[3] == 0) p[0] = p[1] = p[2] = 0;
    }
  }
}

void BlendAlphaImage(TBitmap& target, int x, int y, TBitmap& image, bool reflected) {
  if (target.Empty() || image.Empty() || image.PixelFormat() != pf32bit) return;
  if (target.PixelFormat() != pf32bit && target.PixelFormat() != pfDevice) return;
  const int w = image.Width();
  const int h = image.Height();
  auto blendRow = [&](int sourceRow, int targetRow, int fade /*0..256*/) {
    if (targetRow < 0 || targetRow >= target.Height()) return;
    const uint8_t* s = image.ScanLine(sourceRow);
    uint8_t* d = target.ScanLine(targetRow);
    for (int i = 0; i < w; ++i) {
      const int tx = x + i;
      if (tx < 0 || tx >= target.Width()) continue;
      const uint8_t* sp = s + 4 * i;
      uint8_t* dp = d + 4 * tx;
      const int a = sp[3] * fade / 256;
      for (int c = 0; c < 3; ++c)
        dp[c] = static_cast<uint8_t>((sp[c] * a + dp[c] * (255 - a)) / 255);
    }
  };
  for (int row = 0; row < h; ++row) blendRow(row, y + row, 256);
  if (reflected) {
    // The mirror image starts at half strength under the last row and fades out.
    const int rows = h / 2;
    for (int k = 0; k < rows; ++k) blendRow(h - 1 - k, y + h + k, 128 * (rows - k) / rows);
  }
}

// ================================================================================================
// Registration: "png" belongs to this reader; the PNG object unit registers "PNG" after it.

void RegisterPNGGraphic() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  TPicture::RegisterFileFormat("png", "Portable network graphics (skin engine)",
                               TPNGGraphic::StaticClassInfo());
}

void UnregisterPNGGraphic() { TPicture::UnregisterGraphicClass(TPNGGraphic::StaticClassInfo()); }
