#include "imaging/skPNG.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/imaging/PngTestFiles.h"
#ifndef _WIN32
#include "tests/imaging/LibpngReference.h"
#endif

using namespace pngtest;

namespace {

void Load(TPNGGraphic& g, const std::string& png) {
  TMemoryStream stream;
  stream.WriteBuffer(png.data(), static_cast<int64_t>(png.size()));
  stream.SetPosition(0);
  g.LoadFromStream(stream);
}

std::string LoadError(const std::string& png) {
  TPNGGraphic g;
  try {
    Load(g, png);
  } catch (const Exception& e) {
    return e.Message();
  }
  return "";
}

uint8_t Scale16(uint16_t v) { return static_cast<uint8_t>(v * 255u / 65535u); }

// What the reader gives for a pixel of a generated file: 0x00BBGGRR and the alpha byte.
TColor ExpectedColor(const PngShape& s, uint32_t x, uint32_t y) {
  auto level = [&](int c) -> uint8_t {
    const uint16_t v = Sample(s, x, y, c);
    if (s.depth == 16) return Scale16(v);
    return static_cast<uint8_t>(v * 255 / ((1u << s.depth) - 1));
  };
  switch (s.colorType) {
    case 0:
    case 4:
      return MakeColor(level(0), level(0), level(0));
    case 3:
      return static_cast<TColor>(PaletteColor(Sample(s, x, y, 0)));
    default:
      return MakeColor(level(0), level(1), level(2));
  }
}

}  // namespace

// ---- colour manager -----------------------------------------------------------------------

TEST(ColorManagerTest, SixteenBitGreyIsByteSwappedAndScaledToEightBits) {
  TColorManager cm;
  cm.SetSourceScheme(scGray);
  cm.SetTargetScheme(scGray);
  cm.SetSourceSampleCount(1);
  cm.SetTargetSampleCount(1);
  cm.SetSourceSampleBits(16);
  cm.SetTargetSampleBits(8);
  cm.SourceOptions = TConvertFlags{cfByteSwap};
  const uint8_t source[] = {0x12, 0x34, 0xFF, 0xFF};
  const void* sources[] = {source};
  uint8_t target[2] = {};
  cm.ConvertRowPixels(sources, target, 2, 0xFF);
  EXPECT_EQ(target[0], 18);
  EXPECT_EQ(target[1], 255);
}

TEST(ColorManagerTest, GreyPalettesAreEvenRamps) {
  TColorManager cm;
  cm.SetTargetSampleCount(1);
  cm.SetTargetSampleBits(4);
  TColorTable ramp = cm.MakeGrayPalette(false);
  ASSERT_EQ(ramp.size(), 16u);
  for (unsigned i = 0; i < 16; ++i) EXPECT_EQ(ramp[i].Red, i * 17);
  cm.SetTargetSampleBits(1);
  ramp = cm.MakeGrayPalette(false);
  ASSERT_EQ(ramp.size(), 2u);
  EXPECT_EQ(ramp[1], (TRGBQuad{255, 255, 255, 0}));
  ramp = cm.MakeGrayPalette(true);
  EXPECT_EQ(ramp[0].Red, 255);
}

TEST(ColorManagerTest, FourEntryPaletteIsSpreadToSixteenEntries) {
  TColorManager cm;
  cm.SetSourceSampleBits(2);
  cm.SetTargetSampleBits(4);
  const uint8_t rgb[] = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4};
  const void* sources[] = {rgb};
  const TColorTable table = cm.BuildPaletteFromData(sources, 0, 4, false);
  ASSERT_EQ(table.size(), 16u);
  // Entry j comes from entry j x 3 div 15, so 0, 5, 10 and 15 hold the four colours.
  for (int j = 0; j < 16; ++j) EXPECT_EQ(table[j].Red, j * 3 / 15 + 1) << "entry " << j;
  for (int i = 0; i < 4; ++i) EXPECT_EQ(table[i * 5].Red, i + 1);
}

TEST(ColorManagerTest, GammaOfFileTimesDisplayNearOneGivesTheIdentity) {
  TColorManager cm;
  cm.BuildGammaTable(0.45455f, 2.2f);
  for (int i = 0; i < 256; ++i) EXPECT_NEAR(cm.GammaTable()[i], i, 1);
  TColorManager fresh;  // starts with the curve for 1 / 2.2
  EXPECT_GT(fresh.GammaTable()[64], 64);
}

TEST(ColorManagerTest, MaskSkipsPixelsInTheTargetAndConsumesNoSource) {
  TColorManager cm;
  cm.SetSourceScheme(scIndexed);
  cm.SetTargetScheme(scIndexed);
  cm.SetSourceSampleCount(1);
  cm.SetTargetSampleCount(1);
  const uint8_t source[] = {10, 20, 30};
  const void* sources[] = {source};
  uint8_t target[20];
  std::memset(target, 0xEE, sizeof target);
  cm.ConvertRowPixels(sources, target, 20, 0x80);
  for (int i = 0; i < 20; ++i) {
    const uint8_t expected = i == 0 ? 10 : i == 8 ? 20 : i == 16 ? 30 : 0xEE;
    EXPECT_EQ(target[i], expected) << "pixel " << i;
  }
}

TEST(ColorManagerTest, SettersCheckTheirRangeAndKeepTheOldValue) {
  TColorManager cm;
  struct Case {
    void (TColorManager::*set)(uint8_t);
    uint8_t bad;
    const char* message;
  };
  const Case cases[] = {
      {&TColorManager::SetSourceSampleBits, 0,
       "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16."},
      {&TColorManager::SetTargetSampleBits, 17,
       "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16."},
      {&TColorManager::SetSourceSampleCount, 5,
       "Sample count per pixel does not correspond to the given color scheme."},
      {&TColorManager::SetTargetSampleCount, 0,
       "Sample count per pixel does not correspond to the given color scheme."},
  };
  for (const Case& c : cases) {
    try {
      (cm.*c.set)(c.bad);
      ADD_FAILURE() << "accepted " << int(c.bad);
    } catch (const EColorConversionError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  EXPECT_EQ(cm.SourceSampleBits(), 8);
  EXPECT_EQ(cm.TargetSampleCount(), 3);
}

TEST(ColorManagerTest, ConverterIsChosenAgainOnlyAfterAChange) {
  TColorManager cm;
  cm.SetSourceScheme(scCMY);  // no converter for this scheme
  const uint8_t source[4] = {};
  const void* sources[] = {source};
  uint8_t target[4];
  EXPECT_THROW(cm.ConvertRowPixels(sources, target, 1, 0xFF), EColorConversionError);
  cm.SetSourceScheme(scCMY);  // unchanged: still no converter
  EXPECT_THROW(cm.ConvertRowPixels(sources, target, 1, 0xFF), EColorConversionError);
  cm.SetSourceScheme(scRGB);
  EXPECT_NO_THROW(cm.ConvertRowPixels(sources, target, 1, 0xFF));

  cm.SetSourceScheme(scIndexed);  // indexed into BGR
  try {
    cm.ConvertRowPixels(sources, target, 1, 0xFF);
    ADD_FAILURE();
  } catch (const EColorConversionError& e) {
    EXPECT_EQ(e.Message(),
              "Conversion between indexed and non-indexed pixel formats is not supported.");
  }
}

TEST(ColorManagerTest, RgbaToBgraExchangesRedAndBlueAndKeepsAlpha) {
  TColorManager cm;
  cm.SetSourceScheme(scRGBA);
  cm.SetTargetScheme(scBGRA);
  cm.SetSourceSampleCount(4);
  cm.SetTargetSampleCount(4);
  const uint8_t source[] = {1, 2, 3, 4};
  const void* sources[] = {source};
  uint8_t target[4] = {};
  cm.ConvertRowPixels(sources, target, 1, 0xFF);
  EXPECT_EQ(target[0], 3);
  EXPECT_EQ(target[2], 1);
  EXPECT_EQ(target[3], 4);
  EXPECT_EQ(cm.PixelFormatOf(true), pf32bit);
}

TEST(ColorManagerTest, OtherSourceSchemesConvertByTheirFormulas) {
  struct Case {
    const char* what;
    TColorSchemeKind scheme;
    uint8_t samples;
    std::vector<uint8_t> source;
    uint8_t blue, green, red;  // BGR target
  };
  const Case cases[] = {
      {"CMYK without black", scCMYK, 4, {0, 255, 128, 0}, 127, 0, 255},
      {"CMYK full black", scCMYK, 4, {0, 0, 0, 255}, 0, 0, 0},
      {"YCbCr grey", scYCbCr, 3, {128, 128, 128}, 128, 128, 128},
      {"YCbCr reddish", scYCbCr, 3, {100, 128, 200}, 100, 49, 201},
      {"L*a*b* white", scCIELab, 3, {100, 0, 0}, 255, 255, 255},
      {"L*a*b* black", scCIELab, 3, {0, 0, 0}, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TColorManager cm;
    cm.SetSourceScheme(c.scheme);
    cm.SetSourceSampleCount(c.samples);
    cm.SetTargetScheme(scBGR);
    const void* sources[] = {c.source.data()};
    uint8_t target[3] = {};
    cm.ConvertRowPixels(sources, target, 1, 0xFF);
    EXPECT_EQ(target[0], c.blue);
    EXPECT_EQ(target[1], c.green);
    EXPECT_EQ(target[2], c.red);
  }
}

TEST(ColorManagerTest, PaletteDataLayoutsAndSampleOrder) {
  TColorManager cm;
  const uint8_t triples[] = {10, 20, 30};
  const void* interleaved[] = {triples};
  EXPECT_EQ(cm.BuildPaletteFromData(interleaved, 0, 1, false)[0], (TRGBQuad{30, 20, 10, 0}));
  EXPECT_EQ(cm.BuildPaletteFromData(interleaved, 0, 1, true)[0], (TRGBQuad{10, 20, 30, 0}));
  const uint8_t r[] = {1}, g[] = {2}, b[] = {3};
  const void* planes[] = {r, g, b};
  EXPECT_EQ(cm.BuildPaletteFromData(planes, 2, 1, true)[0], (TRGBQuad{3, 2, 1, 0}));
  // 16-bit triples, stored big-endian: the flag now says the first sample is red.
  cm.SourceOptions = TConvertFlags{cfByteSwap};
  const uint8_t wide[] = {0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00};
  const void* wideSource[] = {wide};
  EXPECT_EQ(cm.BuildPaletteFromData(wideSource, 4, 1, true)[0], (TRGBQuad{0, 127, 255, 0}));
  const std::vector<uint8_t> many(300 * 3, 7);
  const void* manySource[] = {many.data()};
  EXPECT_EQ(cm.BuildPaletteFromData(manySource, 0, 300, false).size(), 256u);
}

TEST(ColorManagerTest, PixelFormatFollowsSamplesAndBits) {
  struct Case {
    uint8_t samples, bits;
    TPixelFormat format;
  };
  const Case cases[] = {{1, 1, pf1bit},   {1, 2, pf4bit},  {1, 4, pf4bit},  {1, 8, pf8bit},
                        {1, 16, pf8bit},  {3, 5, pf15bit}, {3, 8, pf24bit}, {4, 8, pf32bit},
                        {4, 4, pfCustom}, {2, 8, pfCustom}};
  for (const Case& c : cases) {
    TColorManager cm;
    cm.SetTargetSampleCount(c.samples);
    cm.SetTargetSampleBits(c.bits);
    EXPECT_EQ(cm.PixelFormatOf(true), c.format) << int(c.samples) << "x" << int(c.bits);
  }
}

TEST(Crc32Test, MatchesTheChunkChecksum) {
  EXPECT_EQ(CalcCrc32(0, "IEND", 4), 0xAE426082u);
  const uint32_t whole = CalcCrc32(0, "IHDRabcdefghijk", 15);
  EXPECT_EQ(CalcCrc32(CalcCrc32(0, "IHDR", 4), "abcdefghijk", 11), whole);
  EXPECT_EQ(CalcCrc32(5, nullptr, 3), 0u);
}

// ---- decoding ------------------------------------------------------------------------------

TEST(PNGGraphicTest, EveryColourTypeDepthAndInterlacingDecodes) {
  for (const PngShape& s : EveryFormat(13, 11)) {
    SCOPED_TRACE(testing::Message() << "type " << int(s.colorType) << " depth " << int(s.depth)
                                    << " interlace " << int(s.interlace));
    TPNGGraphic g;
    Load(g, MakePng(s));
    ASSERT_EQ(g.Width(), 13);
    ASSERT_EQ(g.Height(), 11);
    const TPixelFormat expectedFormat = s.colorType == 2   ? pf24bit
                                        : s.colorType == 6 ? pf32bit
                                        : s.colorType == 4 ? pf8bit
                                        : s.depth == 1     ? pf1bit
                                        : s.depth <= 4     ? pf4bit
                                                           : pf8bit;
    EXPECT_EQ(g.PixelFormat(), expectedFormat);
    int wrong = 0;
    for (uint32_t y = 0; y < s.height; ++y)
      for (uint32_t x = 0; x < s.width; ++x) {
        if (g.PixelColor(int(x), int(y)) != ExpectedColor(s, x, y)) ++wrong;
        if (s.colorType == 6) {
          const uint16_t a = Sample(s, x, y, 3);
          if (g.ScanLine(int(y))[4 * x + 3] != (s.depth == 16 ? Scale16(a) : a)) ++wrong;
        }
      }
    EXPECT_EQ(wrong, 0);
  }
}

#ifndef _WIN32
TEST(PNGGraphicTest, AgreesWithLibpngOnTheGeneratedMatrix) {
  for (const PngShape& s : EveryFormat(13, 11)) {
    SCOPED_TRACE(testing::Message() << "type " << int(s.colorType) << " depth " << int(s.depth)
                                    << " interlace " << int(s.interlace));
    const std::string png = MakePng(s);
    uint32_t w = 0, h = 0;
    std::vector<uint32_t> reference;
    ASSERT_TRUE(ReadWithLibpng(png, true, w, h, reference));
    TPNGGraphic g;
    Load(g, png);
    int worst = 0;
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x) {
        const uint32_t ref = reference[y * w + x];
        const TColor ours = g.PixelColor(int(x), int(y));
        // 16-bit samples: libpng rounds, we truncate (one step at most).
        worst = std::max({worst, std::abs(int(ref & 0xFF) - ColorR(ours)),
                          std::abs(int((ref >> 8) & 0xFF) - ColorG(ours)),
                          std::abs(int((ref >> 16) & 0xFF) - ColorB(ours))});
      }
    EXPECT_LE(worst, s.depth == 16 ? 1 : 0);
  }
}
#endif

TEST(PNGGraphicTest, ChunkTypesAreMatchedWithoutLetterCase) {
  PngShape s{5, 4, 8, 2, 0};
  std::string png = Signature() + Chunk("IHDR", IhdrData(s)) +
                    Chunk("iDAT", Zlib(FilteredData(s))) + Chunk("IEND", "");
  TPNGGraphic g;
  Load(g, png);
  EXPECT_EQ(g.PixelColor(3, 2), ExpectedColor(s, 3, 2));
}

TEST(PNGGraphicTest, DataSplitOverManyIdatChunksWithAnEmptyOneDecodesAsOneStream) {
  PngShape s{17, 9, 8, 6, 1};
  Options o;
  o.idatSplit = 7;
  o.emptyIdatBetween = true;
  TPNGGraphic g;
  Load(g, MakePng(s, o));
  EXPECT_EQ(g.PixelColor(16, 8), ExpectedColor(s, 16, 8));
  EXPECT_EQ(g.PixelColor(5, 3), ExpectedColor(s, 5, 3));
}

TEST(PNGGraphicTest, PaletteHandling) {
  {  // a PLTE in an RGB image is read and ignored
    PngShape s{4, 4, 8, 2, 0};
    Options o;
    o.before = {{"PLTE", PlteData(3)}};
    TPNGGraphic g;
    Load(g, MakePng(s, o));
    EXPECT_EQ(g.PixelFormat(), pf24bit);
    EXPECT_EQ(g.PixelColor(1, 1), ExpectedColor(s, 1, 1));
  }
  {  // a palette image without PLTE uses the bitmap's default table
    PngShape s{4, 4, 4, 3, 0};
    Options o;
    o.palette = false;
    TPNGGraphic g;
    Load(g, MakePng(s, o));
    EXPECT_EQ(g.PixelFormat(), pf4bit);
    EXPECT_EQ(g.Palette(), DefaultPalette(pf4bit));
  }
  {  // 2-bit indexes become 4-bit ones; entries 0, 5, 10, 15 hold the four colours
    PngShape s{6, 2, 2, 3, 0};
    TPNGGraphic g;
    Load(g, MakePng(s));
    EXPECT_EQ(g.PixelFormat(), pf4bit);
    ASSERT_EQ(g.Palette().size(), 16u);
    for (unsigned i = 0; i < 4; ++i)
      EXPECT_EQ(ColorFromQuad(g.Palette()[i * 5]), TColor(PaletteColor(i)));
  }
}

TEST(PNGGraphicTest, TwoBitGreyWhiteIsFullWhite) {
  PngShape s{8, 1, 2, 0, 0};
  TPNGGraphic g;
  Load(g, MakePng(s));
  for (int x = 0; x < 8; ++x)
    if (Sample(s, x, 0, 0) == 3) {
      EXPECT_EQ(g.PixelColor(x, 0), clWhite);
    }
}

TEST(PNGGraphicTest, NarrowInterlacedImagesSkipEmptyPasses) {
  for (uint32_t width : {1u, 2u, 3u, 4u}) {
    PngShape s{width, 9, 8, 2, 1};
    TPNGGraphic g;
    Load(g, MakePng(s));
    for (uint32_t y = 0; y < 9; ++y)
      for (uint32_t x = 0; x < width; ++x)
        ASSERT_EQ(g.PixelColor(int(x), int(y)), ExpectedColor(s, x, y));
  }
}

TEST(PNGGraphicTest, TransparencyChunk) {
  {  // RGBA: no effect
    PngShape s{3, 3, 8, 6, 0};
    Options o;
    o.before = {{"tRNS", std::string(6, '\0')}};
    TPNGGraphic g;
    Load(g, MakePng(s, o));
    EXPECT_FALSE(g.Transparent());
  }
  {  // 8-bit RGB: transparent in that colour
    PngShape s{3, 3, 8, 2, 0};
    Options o;
    o.before = {{"tRNS", std::string("\0\x10\0\x20\0\x30", 6)}};
    TPNGGraphic g;
    Load(g, MakePng(s, o));
    EXPECT_TRUE(g.Transparent());
    EXPECT_EQ(g.TransparentColor(), MakeColor(0x10, 0x20, 0x30));
  }
  {  // 16-bit grey: the key colour is derived like the pixels
    PngShape s{3, 3, 16, 0, 0};
    const uint16_t v = Sample(s, 1, 1, 0);
    Options o;
    o.before = {{"tRNS", std::string{char(v >> 8), char(v & 0xFF)}}};
    TPNGGraphic g;
    Load(g, MakePng(s, o));
    EXPECT_EQ(g.TransparentColor(), g.PixelColor(1, 1));
  }
  {  // 2-bit grey: the key selects the pixels of that sample
    PngShape s{8, 1, 2, 0, 0};
    Options o;
    o.before = {{"tRNS", std::string("\0\x02", 2)}};
    TPNGGraphic g;
    Load(g, MakePng(s, o));
    for (int x = 0; x < 8; ++x)
      if (Sample(s, x, 0, 0) == 2) {
        EXPECT_EQ(g.PixelColor(x, 0), g.TransparentColor());
      }
  }
  {  // a tRNS of the wrong size is ignored
    PngShape s{3, 3, 8, 2, 0};
    Options o;
    o.before = {{"tRNS", std::string("\0\x10", 2)}};
    TPNGGraphic g;
    Load(g, MakePng(s, o));
    EXPECT_FALSE(g.Transparent());
  }
}

TEST(PNGGraphicTest, SixteenBitRgbaKeepsScaledChannelsAndStraightAlpha) {
  PngShape s{5, 2, 16, 6, 0};
  TPNGGraphic g;
  Load(g, MakePng(s));
  const uint8_t* p = g.ScanLine(1) + 4 * 3;
  EXPECT_EQ(p[0], Scale16(Sample(s, 3, 1, 2)));  // blue
  EXPECT_EQ(p[2], Scale16(Sample(s, 3, 1, 0)));  // red
  EXPECT_EQ(p[3], Scale16(Sample(s, 3, 1, 3)));
}

TEST(PNGGraphicTest, GammaIsAppliedAndMalformedGammaIgnored) {
  PngShape s{4, 4, 8, 2, 0};
  TPNGGraphic plain;
  Load(plain, MakePng(s));
  struct Case {
    const char* what;
    std::string data;
    bool changes;
  };
  const Case cases[] = {
      {"gamma 1.0: brighter on a 2.2 display", Be32(100000), true},
      {"gamma 1/2.2: unchanged", Be32(45455), false},
      {"three bytes", std::string("\0\0\1", 3), false},
      {"zero", Be32(0), false},
      {"absurdly small", Be32(1), false},
      {"absurdly large", Be32(0xFFFFFFFF), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Options o;
    o.before = {{"gAMA", c.data}};
    TPNGGraphic g;
    Load(g, MakePng(s, o));
    bool differs = false;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x)
        if (std::abs(ColorR(g.PixelColor(x, y)) - ColorR(plain.PixelColor(x, y))) > 1)
          differs = true;
    EXPECT_EQ(differs, c.changes);
  }
}

// Whole rows and interlaced passes of 8-bit colour take different row loops; both map each
// colour sample through the gamma table and leave alpha as it is.
TEST(PNGGraphicTest, GammaMapsEveryColourSampleOfEightBitRowsAndLeavesAlpha) {
  TColorManager manager;
  manager.BuildGammaTable(1.0f, 2.2f);
  const auto& table = manager.GammaTable();
  for (uint8_t colorType : {uint8_t{2}, uint8_t{6}}) {
    for (uint8_t interlace : {uint8_t{0}, uint8_t{1}}) {
      SCOPED_TRACE(testing::Message()
                   << "type " << int(colorType) << " interlace " << int(interlace));
      const PngShape s{13, 5, 8, colorType, interlace};
      Options o;
      o.before = {{"gAMA", Be32(100000)}};
      TPNGGraphic g;
      Load(g, MakePng(s, o));
      int wrong = 0;
      for (uint32_t y = 0; y < s.height; ++y) {
        const uint8_t* row = g.ScanLine(int(y));
        for (uint32_t x = 0; x < s.width; ++x) {
          const uint8_t* p = row + x * (colorType == 6 ? 4 : 3);
          for (int c = 0; c < 3; ++c)
            if (p[2 - c] != table[Sample(s, x, y, c)]) ++wrong;
          if (colorType == 6 && p[3] != Sample(s, x, y, 3)) ++wrong;
        }
      }
      EXPECT_EQ(wrong, 0);
    }
  }
}

TEST(PNGGraphicTest, DataAfterTheEndOfTheCompressedStreamIsAnError) {
  PngShape s{4, 3, 8, 2, 0};
  const std::string png = Signature() + Chunk("IHDR", IhdrData(s)) +
                          Chunk("IDAT", Zlib(FilteredData(s)) + "xyz") + Chunk("IEND", "");
  EXPECT_EQ(LoadError(png), "Cannot load image. Extra compressed data found in PNG file.");
}

TEST(PNGGraphicTest, ReportsProgressFromStartToEnd) {
  PngShape s{4, 3, 8, 2, 0};
  TPNGGraphic g;
  std::vector<std::pair<TProgressStage, std::string>> events;
  g.OnProgress = [&](TObject*, TProgressStage stage, uint8_t, bool, const TRect&,
                     const std::string& msg) { events.emplace_back(stage, msg); };
  Load(g, MakePng(s));
  ASSERT_GE(events.size(), 6u);
  EXPECT_EQ(events[0], std::make_pair(psStarting, std::string("Preparing...")));
  EXPECT_EQ(events[1].first, psEnding);
  EXPECT_EQ(events[2], std::make_pair(psStarting, std::string("Transfering...")));
  EXPECT_EQ(events[3].first, psRunning);
  EXPECT_EQ(events.back().first, psEnding);
  const size_t running =
      std::count_if(events.begin(), events.end(), [](auto& e) { return e.first == psRunning; });
  EXPECT_EQ(running, 3u);

  events.clear();  // the last event also comes after a failure (here a damaged IDAT)
  std::string damaged = MakePng(s);
  damaged[8 + 25 + 8 + 2] ^= 0x55;
  EXPECT_THROW(Load(g, damaged), EInvalidGraphic);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().first, psEnding);
}

TEST(PNGGraphicTest, DamagedFilesGiveTheirMessages) {
  PngShape s{4, 3, 8, 2, 0};
  const std::string good = MakePng(s);
  const std::string ihdr = Chunk("IHDR", IhdrData(s));
  const std::string idat = Chunk("IDAT", Zlib(FilteredData(s)));
  const std::string end = Chunk("IEND", "");
  auto withHeader = [&](PngShape h) {
    return Signature() + Chunk("IHDR", IhdrData(h)) + idat + end;
  };
  std::string badCrc = good;
  badCrc[8 + 8 + 13] ^= 1;  // IHDR's stored CRC
  std::string badCompression = IhdrData(s);
  badCompression[10] = 1;
  struct Case {
    const char* what;
    std::string png;
    std::string message;
  };
  const Case cases[] = {
      {"signature", "\x88" + good.substr(1),
       "Cannot load image. Invalid or unexpected PNG image format."},
      {"first chunk", Signature() + Chunk("gAMA", Be32(45455)) + ihdr + idat + end,
       "Cannot load image. Invalid or unexpected PNG image format."},
      {"width 0", withHeader({0, 3, 8, 2, 0}),
       "Cannot load image. Invalid or unexpected PNG image format."},
      {"too large", withHeader({65535, 65535, 8, 2, 0}),
       "Cannot load image. Invalid or unexpected PNG image format."},
      {"compression", Signature() + Chunk("IHDR", badCompression) + idat + end,
       "Cannot load image. The compression scheme is not supported for PNG files."},
      {"crc", badCrc, "Cannot load image. CRC error found in PNG file."},
      {"palette length", Signature() + ihdr + Chunk("PLTE", "1234567") + idat + end,
       "Cannot load image. Palette in PNG file is invalid."},
      {"critical chunk", Signature() + ihdr + Chunk("ABCD", "") + idat + end,
       "Cannot load PNG image. Unexpected but critical chunk detected."},
      {"second IHDR", Signature() + ihdr + idat + ihdr + end,
       "Cannot load PNG image. Unexpected but critical chunk detected."},
      {"colour format", withHeader({4, 3, 16, 3, 0}), "Invalid color format in PNG file."},
      {"zlib garbage", Signature() + ihdr + Chunk("IDAT", "\x78\x9c\xff\xff\xff\xff\xff") + end,
       "Cannot load image. Compression error found in PNG file."},
      {"stream ends early", Signature() + ihdr + Chunk("IDAT", Zlib(std::string(5, '\0'))) + end,
       "Cannot load image. Image data missing in PNG file."},
      {"no IEND", good.substr(0, good.size() - 12), "Stream read error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(LoadError(c.png), c.message);
  }
}

TEST(PNGGraphicTest, HugeChunkLengthsAreRefusedWithoutAllocating) {
  PngShape s{4, 3, 8, 2, 0};
  const std::string prefix = Signature() + Chunk("IHDR", IhdrData(s));
  for (uint32_t length : {0x7FFFFFF0u, 0xFFFFFFFFu, 0x01000000u}) {
    std::string png = prefix + Be32(length) + "tEXt" + "abc";
    EXPECT_NE(LoadError(png), "") << length;
    png = prefix + Be32(length) + "IDAT" + "abc";
    EXPECT_NE(LoadError(png), "") << length;
  }
}

TEST(PNGGraphicTest, AssignCopiesImagePropertiesFromAnotherReader) {
  PngShape s{4, 3, 8, 6, 1};
  TPNGGraphic a;
  Load(a, MakePng(s));
  TPNGGraphic b;
  b.Assign(&a);
  EXPECT_TRUE(b.ImageProperties().IsInterlaced);
  EXPECT_TRUE(b.ImageProperties().HasAlphaChannel);
  EXPECT_EQ(b.PixelColor(2, 2), a.PixelColor(2, 2));
}

TEST(PNGGraphicTest, ReflectedDrawingBlendsAMirrorBelowTheImage) {
  TBitmap image;
  image.SetPixelFormat(pf32bit);
  image.SetSize(2, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 2; ++x) {
      uint8_t* p = image.ScanLine(y) + 4 * x;
      p[0] = p[1] = p[2] = 255;
      p[3] = y == 0 ? 0 : 255;  // the first row is fully transparent
    }
  TBitmap target;
  target.SetPixelFormat(pf32bit);
  target.SetSize(2, 6);
  target.Fill(clBlack);
  BlendAlphaImage(target, 0, 0, image, true);
  EXPECT_EQ(target.PixelColor(0, 0), clBlack);
  EXPECT_EQ(target.PixelColor(0, 1), clWhite);
  // Rows 4 and 5 mirror rows 3 and 2 at half strength and fading.
  EXPECT_NEAR(ColorR(target.PixelColor(0, 4)), 127, 2);
  EXPECT_LT(ColorR(target.PixelColor(0, 5)), ColorR(target.PixelColor(0, 4)));
  EXPECT_GT(ColorR(target.PixelColor(0, 5)), 0);
}

TEST(PNGGraphicTest, WhitePixelsWithZeroAlphaBecomeTransparentBlack) {
  TBitmap bmp;
  bmp.SetPixelFormat(pf32bit);
  bmp.SetSize(2, 1);
  const uint8_t pixels[8] = {255, 255, 255, 0, 255, 255, 255, 1};
  std::memcpy(bmp.ScanLine(0), pixels, 8);
  ClearWhiteTransparentPixels(&bmp);
  uint32_t first, second;
  std::memcpy(&first, bmp.ScanLine(0), 4);
  std::memcpy(&second, bmp.ScanLine(0) + 4, 4);
  EXPECT_EQ(first, 0u);
  EXPECT_EQ(second, 0x01FFFFFFu);
}

TEST(PNGGraphicTest, PngFilesOpenWithThePngObjectRegisteredAfterThisReader) {
  // This program never names the PNG object: its start-up list registers it after the reader.
  ASSERT_NE(TPicture::FileFormatFor("png"), nullptr);
  EXPECT_EQ(TPicture::FileFormatFor("png")->ClassName(), "TPNGObject");
  TPicture::UnregisterGraphicClass(TPicture::FileFormatFor("png"));
  EXPECT_EQ(TPicture::FileFormatFor(".PNG"), TPNGGraphic::StaticClassInfo());
  EXPECT_EQ(TPicture::FileFormatDescription("png"), "Portable network graphics (skin engine)");
}

TEST(PNGGraphicTest, FormDataKeepsTheReaderAndItsAlphaAsBitmapData) {
  PngShape s{4, 3, 8, 6, 0};
  TPicture picture;
  TPNGGraphic g;
  Load(g, MakePng(s));
  picture.SetGraphic(&g);
  TMemoryStream data;
  picture.WriteData(data);
  data.SetPosition(0);
  TPicture back;
  back.ReadData(data);
  ASSERT_NE(back.Graphic(), nullptr);
  ASSERT_TRUE(back.Graphic()->Is<TPNGGraphic>());
  auto* read = static_cast<TPNGGraphic*>(back.Graphic());
  EXPECT_EQ(read->PixelFormat(), pf32bit);
  EXPECT_EQ(std::memcmp(read->Bits(), g.Bits(), g.BitsSize()), 0);
}
