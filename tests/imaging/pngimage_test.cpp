#include "imaging/pngimage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "imaging/pnglang.h"
#include "imaging/skPNG.h"
#include "tests/imaging/PngTestFiles.h"
#ifndef _WIN32
#include "tests/imaging/LibpngReference.h"
#endif

using namespace pngtest;

namespace {

void Load(TPNGObject& png, const std::string& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  png.LoadFromStream(stream);
}

std::string Save(TPNGObject& png) {
  TMemoryStream stream;
  png.SaveToStream(stream);
  return std::string(reinterpret_cast<const char*>(stream.Memory()),
                     static_cast<size_t>(stream.Size()));
}

std::string LoadError(const std::string& bytes) {
  TPNGObject png;
  try {
    Load(png, bytes);
  } catch (const Exception& e) {
    return e.Message();
  }
  return "";
}

// The object's colour for a pixel of a generated file: 16-bit samples by their high byte.
TColor ExpectedColor(const PngShape& s, uint32_t x, uint32_t y) {
  auto level = [&](int c) -> uint8_t {
    const uint16_t v = Sample(s, x, y, c);
    if (s.depth == 16) return static_cast<uint8_t>(v >> 8);
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

int CountWrongPixels(TPNGObject& png, const PngShape& s) {
  int wrong = 0;
  for (uint32_t y = 0; y < s.height; ++y)
    for (uint32_t x = 0; x < s.width; ++x)
      if (png.PixelAt(int(x), int(y)) != ExpectedColor(s, x, y)) ++wrong;
  return wrong;
}

std::vector<std::string> ChunkNames(const std::string& png) {
  std::vector<std::string> names;
  for (const auto& [type, data] : SplitChunks(png)) names.push_back(type);
  return names;
}

}  // namespace

TEST(PNGObjectTest, EveryColourTypeDepthAndInterlacingDecodes) {
  for (const PngShape& s : EveryFormat(11, 9)) {
    SCOPED_TRACE(testing::Message() << "type " << int(s.colorType) << " depth " << int(s.depth)
                                    << " interlace " << int(s.interlace));
    TPNGObject png;
    Load(png, MakePng(s));
    EXPECT_EQ(png.Width(), 11);
    EXPECT_EQ(png.Height(), 9);
    EXPECT_EQ(CountWrongPixels(png, s), 0);
  }
}

TEST(PNGObjectTest, SavedFilesLoadBackToTheSamePixels) {
  for (const PngShape& s : EveryFormat(11, 9)) {
    SCOPED_TRACE(testing::Message() << "type " << int(s.colorType) << " depth " << int(s.depth)
                                    << " interlace " << int(s.interlace));
    TPNGObject png;
    Load(png, MakePng(s));
    png.SetFilterSet({fsNone, fsSub, fsUp, fsAverage, fsPaeth});
    const std::string saved = Save(png);
    TPNGObject back;
    Load(back, saved);
    EXPECT_EQ(CountWrongPixels(back, s), 0);
    EXPECT_EQ(back.TransparencyKind(), png.TransparencyKind());
    // Alpha survives too.
    const TChunkIHDR* a = png.RequireHeader();
    const TChunkIHDR* b = back.RequireHeader();
    EXPECT_EQ(a->ImageAlpha, b->ImageAlpha);
  }
}

#ifndef _WIN32
TEST(PNGObjectTest, LibpngReadsTheGeneratedMatrixAndOurOwnFilesAlike) {
  for (const PngShape& s : EveryFormat(11, 9)) {
    SCOPED_TRACE(testing::Message() << "type " << int(s.colorType) << " depth " << int(s.depth)
                                    << " interlace " << int(s.interlace));
    const std::string file = MakePng(s);
    TPNGObject png;
    Load(png, file);
    uint32_t w = 0, h = 0;
    std::vector<uint32_t> reference;
    ASSERT_TRUE(ReadWithLibpng(file, false, w, h, reference));
    int wrong = 0;
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x)
        if (TColor(reference[y * w + x] & 0xFFFFFF) != png.PixelAt(int(x), int(y))) ++wrong;
    EXPECT_EQ(wrong, 0) << "against libpng on the generated file";

    png.SetFilterSet({fsNone, fsSub, fsUp, fsAverage, fsPaeth});
    const std::string ours = Save(png);
    std::vector<uint32_t> again;
    ASSERT_TRUE(ReadWithLibpng(ours, false, w, h, again));
    wrong = 0;
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x)
        if (TColor(again[y * w + x] & 0xFFFFFF) != png.PixelAt(int(x), int(y))) ++wrong;
    EXPECT_EQ(wrong, 0) << "libpng on our own file";
    if (s.colorType == 6 || s.colorType == 4) {
      for (uint32_t i = 0; i < w * h; ++i) ASSERT_EQ(again[i] >> 24, reference[i] >> 24);
    }
  }
}
#endif

#ifndef _WIN32
TEST(PNGObjectTest, OurFilesPassPngcheck) {
  ASSERT_EQ(std::system("command -v pngcheck > /dev/null 2>&1"), 0)
      << "pngcheck is missing: run scripts/install-deps";
  const std::string path = testing::TempDir() + "pngimage_pngcheck.png";
  for (const PngShape& s : EveryFormat(11, 9)) {
    SCOPED_TRACE(testing::Message() << "type " << int(s.colorType) << " depth " << int(s.depth)
                                    << " interlace " << int(s.interlace));
    Options o;
    o.before = {{"tEXt", std::string("Title\0Kestrava", 14)},
                {"zTXt", std::string("Comment\0\0", 9) + Zlib("a compressed comment")}};
    TPNGObject png;
    Load(png, MakePng(s, o));
    png.SetFilterSet({fsNone, fsSub, fsUp, fsAverage, fsPaeth});
    png.SaveToFile(path);
    EXPECT_EQ(std::system(("pngcheck -q " + path + " > /dev/null").c_str()), 0);
  }
  std::remove(path.c_str());
}
#endif

TEST(PNGObjectTest, ChunkListKeepsWhatItShouldAndWritesItBack) {
  PngShape s{6, 5, 8, 2, 0};
  Options o;
  o.before = {{"cHRM", std::string(32, '\x01')}, {"prIv", "private bytes\x00\x01"}};
  o.idatSplit = 10;
  TPNGObject png;
  Load(png, MakePng(s, o));
  // One IDAT object for all the image data; cHRM is gone; the unknown chunk stays generic.
  EXPECT_EQ(png.Chunks().Count(), 4);
  EXPECT_EQ(png.Chunks().ChunkAt(1)->Name(), "prIv");
  EXPECT_EQ(png.Chunks().ChunkAt(1)->ClassInfo(), TChunk::StaticClassInfo());
  const std::string saved = Save(png);
  EXPECT_EQ(ChunkNames(saved), (std::vector<std::string>{"IHDR", "prIv", "IDAT", "IEND"}));
  EXPECT_EQ(SplitChunks(saved)[1].second, "private bytes\x00\x01");
  EXPECT_EQ(CountWrongPixels(png, s), 0);
}

TEST(PNGObjectTest, HeaderAndEndAreMatchedWithTheirExactCase) {
  PngShape s{3, 3, 8, 2, 0};
  const std::string idat = Chunk("IDAT", Zlib(FilteredData(s)));
  EXPECT_EQ(LoadError(Signature() + Chunk("iHDR", IhdrData(s)) + idat + Chunk("IEND", "")),
            EPNGIHDRNotFirstText);
  // "iend" is an ancillary generic chunk: the loop goes on and finds the end of the file.
  EXPECT_EQ(LoadError(Signature() + Chunk("IHDR", IhdrData(s)) + idat + Chunk("iend", "")),
            EPNGUnexpectedEndText);
}

TEST(PNGObjectTest, DamagedFilesGiveTheirExceptions) {
  PngShape s{4, 3, 8, 2, 0};
  const std::string good = MakePng(s);
  const std::string ihdr = Chunk("IHDR", IhdrData(s));
  const std::string idat = Chunk("IDAT", Zlib(FilteredData(s)));
  const std::string end = Chunk("IEND", "");
  auto header = [&](PngShape h, int at = -1, char value = 0) {
    std::string d = IhdrData(h);
    if (at >= 0) d[at] = value;
    return Signature() + Chunk("IHDR", d) + idat + end;
  };
  std::string badCrc = good;
  badCrc[8 + 8 + 13] ^= 1;
  std::string badIdat = good;  // the IDAT's stored CRC, just before IEND
  badIdat[good.size() - 12 - 1] ^= 0x40;
  const std::string z = Zlib(FilteredData(s));
  struct Case {
    const char* what;
    std::string png;
    const char* message;
  };
  const Case cases[] = {
      {"signature", "\x89PNG\r\n\x1a\x0b" + good.substr(8), EPNGInvalidFileHeaderText},
      {"empty after signature", Signature(), EPNGUnexpectedEndText},
      {"not IHDR first", Signature() + Chunk("gAMA", Be32(45455)) + ihdr + idat + end,
       EPNGIHDRNotFirstText},
      {"unknown critical", Signature() + ihdr + Chunk("CRIT", "x") + idat + end,
       EPNGUnknownCriticalChunkText},
      {"no image data", Signature() + ihdr + end, EPNGNoImageDataText},
      {"header crc", badCrc, EPngInvalidCRCText},
      {"image data crc", badIdat, EPngInvalidCRCText},
      {"short IHDR", Signature() + Chunk("IHDR", IhdrData(s).substr(0, 12)) + idat + end,
       EPNGInvalidIHDRText},
      {"width 70000", header({70000, 3, 8, 2, 0}), EPNGSizeExceedsText},
      {"pixels beyond the cap", header({65535, 65535, 8, 2, 0}), EPNGSizeExceedsText},
      {"compression", header(s, 10, 1), EPNGUnknownCompressionText},
      {"interlace", header(s, 12, 2), EPNGUnknownInterlaceText},
      {"colour type 5", header(s, 9, 5), EPNGInvalidIHDRText},
      {"palette depth 16", header({4, 3, 16, 3, 0}), EPNGInvalidIHDRText},
      {"height 0", header({4, 0, 8, 2, 0}), EPNGInvalidIHDRText},
      {"second IHDR", Signature() + ihdr + ihdr + idat + end, EPNGInvalidIHDRText},
      {"PLTE of 771 bytes", Signature() + ihdr + Chunk("PLTE", std::string(771, 'a')) + idat + end,
       EPNGInvalidPaletteText},
      {"PLTE of 100 bytes", Signature() + ihdr + Chunk("PLTE", std::string(100, 'a')) + idat + end,
       EPNGInvalidPaletteText},
      {"second PLTE", Signature() + ihdr + Chunk("PLTE", "abc") + Chunk("PLTE", "abc") + idat + end,
       EPNGInvalidPaletteText},
      {"tRNS of 257 bytes", Signature() + ihdr + Chunk("tRNS", std::string(257, 'a')) + idat + end,
       EPNGInvalidPaletteText},
      {"missing parts",
       Signature() + ihdr + Chunk("IDAT", z.substr(0, 10)) + Chunk("tEXt", "a\0b") + end,
       EPNGMissingMultipleIDATText},
      {"zlib data error", Signature() + ihdr + Chunk("IDAT", "\x78\x9c\xff\xff\xff\xff") + end,
       "Could not decompress the image because it contains invalid compressed data.\r\n "
       "Description: data error (-3)"},
      {"chunk longer than the file", Signature() + ihdr + Be32(0xFFFFFFFF) + "tEXt" + "abc",
       EPNGUnexpectedEndText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(LoadError(c.png), c.message);
  }
}

TEST(PNGObjectTest, ChunksReadSoFarStayAfterAFailure) {
  PngShape s{4, 3, 8, 2, 0};
  std::string bad = Signature() + Chunk("IHDR", IhdrData(s)) + Chunk("gAMA", Be32(45455));
  bad += Be32(3) + "tEXt" + "abc" + "XXXX";  // wrong CRC
  TPNGObject png;
  EXPECT_THROW(Load(png, bad), EPngInvalidCRC);
  EXPECT_EQ(png.Chunks().Count(), 3);
}

TEST(PNGObjectTest, PaletteAndTransparencyTables) {
  PngShape s{4, 2, 8, 3, 0};
  {
    Options o;
    o.palette = false;
    o.before = {{"PLTE", PlteData(256)}};
    TPNGObject png;
    Load(png, MakePng(s, o));
    EXPECT_EQ(png.Chunks().Find<TChunkPLTE>()->Count(), 256u);
    EXPECT_THROW(png.Chunks().Find<TChunkPLTE>()->EntryColor(256), EPngError);
  }
  {
    Options o;
    o.before = {{"tRNS", std::string("\xff\x00\xff", 3)}};
    TPNGObject png;
    Load(png, MakePng(s, o));
    EXPECT_EQ(png.TransparencyKind(), tmKeyColor);
    EXPECT_EQ(png.KeyColor(), TColor(PaletteColor(1)));
  }
  {
    Options o;
    o.before = {{"tRNS", std::string("\x80\x00\xff", 3)}};
    TPNGObject png;
    Load(png, MakePng(s, o));
    EXPECT_EQ(png.TransparencyKind(), tmAlpha);
  }
}

TEST(PNGObjectTest, KeyColoursMatchTheirPixels) {
  {  // 16-bit grey: the key and the pixels both come from the high byte
    PngShape s{4, 3, 16, 0, 0};
    const uint16_t v = Sample(s, 2, 1, 0);
    Options o;
    o.before = {{"tRNS", std::string{char(v >> 8), char(v & 0xFF)}}};
    TPNGObject png;
    Load(png, MakePng(s, o));
    EXPECT_EQ(png.TransparencyKind(), tmKeyColor);
    EXPECT_EQ(png.KeyColor(), png.PixelAt(2, 1));
  }
  {  // 16-bit RGB
    PngShape s{4, 3, 16, 2, 0};
    std::string key;
    for (int c = 0; c < 3; ++c) {
      const uint16_t v = Sample(s, 3, 2, c);
      key += char(v >> 8);
      key += char(v & 0xFF);
    }
    Options o;
    o.before = {{"tRNS", key}};
    TPNGObject png;
    Load(png, MakePng(s, o));
    EXPECT_EQ(png.KeyColor(), png.PixelAt(3, 2));
  }
  {  // a grey tRNS that is too short gives no key and reads nothing past its end
    PngShape s{4, 3, 8, 0, 0};
    Options o;
    o.before = {{"tRNS", std::string("\x01", 1)}};
    TPNGObject png;
    Load(png, MakePng(s, o));
    EXPECT_EQ(png.TransparencyKind(), tmOpaque);
  }
}

TEST(PNGObjectTest, KeyColourWithoutAMatchingEntryMakesNothingTransparent) {
  TBitmap bmp;
  bmp.SetPixelFormat(pf4bit);
  bmp.SetSize(3, 2);
  bmp.Fill(clRed);
  TPNGObject png;
  png.FromBitmap(&bmp, true, MakeColor(1, 2, 3));  // not in the 16 standard colours
  auto* trns = png.Chunks().Find<TChunktRNS>();
  ASSERT_NE(trns, nullptr);
  EXPECT_FALSE(trns->IsKeyColor());
  EXPECT_EQ(trns->Table()[0], 255);

  png.FromBitmap(&bmp, true, clRed);
  EXPECT_EQ(png.TransparencyKind(), tmKeyColor);
  EXPECT_EQ(png.KeyColor(), clRed);
}

TEST(PNGObjectTest, TwoBitImagesAreWrittenWithFourBitsAndWhiteStaysWhite) {
  for (uint8_t type : {0, 3}) {
    PngShape s{9, 2, 2, type, 0};
    TPNGObject png;
    Load(png, MakePng(s));
    for (uint32_t x = 0; x < 9; ++x)
      if (type == 0 && Sample(s, x, 0, 0) == 3) {
        EXPECT_EQ(png.PixelAt(int(x), 0), clWhite);
      }
    const std::string saved = Save(png);
    EXPECT_EQ(SplitChunks(saved)[0].second[8], 4);
    TPNGObject back;
    Load(back, saved);
    EXPECT_EQ(CountWrongPixels(back, s), 0);
  }
}

TEST(PNGObjectTest, GammaTables) {
  PngShape s{4, 3, 8, 2, 0};
  struct Case {
    uint32_t value;
    bool identity;
  };
  const Case cases[] = {{45455, true}, {0, true}, {1, true}, {100000, false}};
  for (const Case& c : cases) {
    Options o;
    o.before = {{"gAMA", Be32(c.value)}};
    TPNGObject png;
    Load(png, MakePng(s, o));
    int off = 0;
    for (int i = 0; i < 256; ++i) off = std::max(off, std::abs(png.GammaTable[i] - i));
    if (c.identity)
      EXPECT_LE(off, 1) << c.value;
    else
      EXPECT_GT(off, 10) << c.value;
    // The chunk itself is written back unchanged.
    EXPECT_EQ(SplitChunks(Save(png))[1].second, Be32(c.value));
  }
}

TEST(PNGObjectTest, GammaReachesEveryStoredColourSampleOfWholeRows) {
  // Rows of 8-bit colour are stored whole; each sample still goes through the table.
  for (uint8_t colorType : {uint8_t{2}, uint8_t{6}}) {
    SCOPED_TRACE(testing::Message() << "type " << int(colorType));
    const PngShape s{13, 6, 8, colorType, 0};
    Options o;
    o.before = {{"gAMA", Be32(100000)}};
    TPNGObject png;
    Load(png, MakePng(s, o));
    int wrong = 0;
    for (uint32_t y = 0; y < s.height; ++y) {
      for (uint32_t x = 0; x < s.width; ++x) {
        const TColor plain = ExpectedColor(s, x, y);
        const TColor expected =
            MakeColor(png.GammaTable[ColorR(plain)], png.GammaTable[ColorG(plain)],
                      png.GammaTable[ColorB(plain)]);
        if (png.PixelAt(int(x), int(y)) != expected) ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(PNGObjectTest, TimeAndTextChunks) {
  PngShape s{2, 2, 8, 2, 0};
  std::string longText(1000, 'x');
  for (size_t i = 0; i < longText.size(); ++i) longText[i] = char('a' + i % 26);
  Options o;
  o.before = {{"tIME", std::string("\x07\xE9\x0C\x0A\x0C\x22", 6)},
              {"tEXt", std::string("Title\0Hello", 11)},
              {"tEXt", std::string("NoTerminatorHere", 16)},
              {"zTXt", std::string("Comment\0\0", 9) + Zlib(longText)}};
  TPNGObject png;
  Load(png, MakePng(s, o));
  auto* time = png.Chunks().Find<TChunktIME>();
  ASSERT_NE(time, nullptr);
  EXPECT_EQ(time->Year, 0);  // 6 bytes: fields stay 0
  auto* text = static_cast<TChunktEXt*>(png.Chunks().ChunkAt(2));
  EXPECT_EQ(text->Keyword, "Title");
  EXPECT_EQ(text->Text, "Hello");
  auto* bare = static_cast<TChunktEXt*>(png.Chunks().ChunkAt(3));
  EXPECT_EQ(bare->Keyword, "NoTerminatorHere");
  EXPECT_EQ(bare->Text, "");
  auto* z = png.Chunks().Find<TChunkzTXt>();
  ASSERT_NE(z, nullptr);
  EXPECT_EQ(z->Text, longText);

  const auto saved = SplitChunks(Save(png));
  EXPECT_EQ(saved[1].second.size(), 7u);  // tIME written from its fields
  TPNGObject back;
  Load(back, Save(png));
  EXPECT_EQ(back.Chunks().Find<TChunkzTXt>()->Text, longText);
}

TEST(PNGObjectTest, CompressedTextIsInflatedUnderACap) {
  std::string out, message;
  const std::string bomb = Zlib(std::string(4u << 20, '\0'), 9);
  EXPECT_FALSE(
      InflateText(reinterpret_cast<const uint8_t*>(bomb.data()), bomb.size(), out, message));
  EXPECT_TRUE(out.empty());
  const std::string truncated = Zlib("some text").substr(0, 5);
  EXPECT_FALSE(InflateText(reinterpret_cast<const uint8_t*>(truncated.data()), truncated.size(),
                           out, message));
}

TEST(PNGObjectTest, FilterChoice) {
  PngShape s{20, 6, 8, 2, 0};
  TPNGObject png;
  Load(png, MakePng(s));
  {  // the default set {fsSub}: every row with filter 1
    const std::string saved = Save(png);
    std::string raw;
    for (const auto& [type, data] : SplitChunks(saved))
      if (type == "IDAT") raw += data;
    std::string inflated, message;
    ASSERT_TRUE(
        InflateText(reinterpret_cast<const uint8_t*>(raw.data()), raw.size(), inflated, message));
    ASSERT_EQ(inflated.size(), 6u * 61);
    for (int y = 0; y < 6; ++y) EXPECT_EQ(inflated[size_t(y) * 61], 1);
  }
  {  // every filter allowed, a uniform image: all candidates score alike and None wins
    TBitmap flat;
    flat.SetPixelFormat(pf24bit);
    flat.SetSize(20, 4);
    flat.Fill(MakeColor(9, 9, 9));
    TPNGObject uniform;
    uniform.Assign(&flat);
    uniform.SetFilterSet({fsNone, fsSub, fsUp, fsAverage, fsPaeth});
    std::string raw;
    for (const auto& [type, data] : SplitChunks(Save(uniform)))
      if (type == "IDAT") raw += data;
    std::string inflated, message;
    ASSERT_TRUE(
        InflateText(reinterpret_cast<const uint8_t*>(raw.data()), raw.size(), inflated, message));
    ASSERT_EQ(inflated.size(), 4u * 61);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(inflated[size_t(y) * 61], 0) << "row " << y;
  }
}

TEST(PNGObjectTest, IdatChunksHaveTheChosenSize) {
  PngShape s{300, 300, 8, 6, 0};
  TPNGObject png;
  Load(png, MakePng(s));
  png.SetDeflateLevel(0);  // stored blocks: large enough for several chunks
  png.SetIdatChunkLimit(100000);
  EXPECT_EQ(png.IdatChunkLimit(), 100000);
  std::vector<size_t> sizes;
  for (const auto& [type, data] : SplitChunks(Save(png)))
    if (type == "IDAT") sizes.push_back(data.size());
  ASSERT_GE(sizes.size(), 3u);
  for (size_t i = 0; i + 1 < sizes.size(); ++i) EXPECT_EQ(sizes[i], 100000u);
  EXPECT_LE(sizes.back(), 100000u);
  png.SetIdatChunkLimit(10);
  EXPECT_EQ(png.IdatChunkLimit(), 65535);
}

TEST(PNGObjectTest, SixteenBitSamplesAreWrittenWithALowByteOfZero) {
  PngShape s{3, 2, 16, 2, 0};
  TPNGObject png;
  Load(png, MakePng(s));
  png.SetFilterSet({fsNone});
  std::string raw;
  for (const auto& [type, data] : SplitChunks(Save(png)))
    if (type == "IDAT") raw += data;
  std::string inflated, message;
  ASSERT_TRUE(
      InflateText(reinterpret_cast<const uint8_t*>(raw.data()), raw.size(), inflated, message));
  ASSERT_EQ(inflated.size(), 2u * 19);
  EXPECT_EQ(uint8_t(inflated[1]), Sample(s, 0, 0, 0) >> 8);
  EXPECT_EQ(inflated[2], 0);
}

TEST(PNGObjectTest, SizeCannotBeSetAndPixelsOutsideReadZero) {
  PngShape s{400, 12, 8, 2, 0};
  TPNGObject png;
  Load(png, MakePng(s));
  try {
    png.SetWidth(10);
    FAIL();
  } catch (const EPngError& e) {
    EXPECT_EQ(e.Message(), EPNGCannotChangeSizeText);
  }
  EXPECT_EQ(png.PixelAt(300, 10), ExpectedColor(s, 300, 10));
  EXPECT_EQ(png.PixelAt(400, 10), 0);
  png.SetPixelAt(400, 10, clRed);  // ignored
  png.SetPixelAt(2, 3, clRed);
  EXPECT_EQ(png.PixelAt(2, 3), clRed);
}

TEST(PNGObjectTest, BitmapsConvertBothWays) {
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(5, 3);
  bmp.Fill(clBlue);
  bmp.SetPixelColor(4, 2, clLime);
  TPNGObject png;
  png.Assign(&bmp);
  EXPECT_EQ(ChunkNames(Save(png)), (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
  EXPECT_EQ(png.PixelAt(4, 2), clLime);
  EXPECT_EQ(png.RequireHeader()->ColorType, 2);

  TBitmap back;
  back.Assign(&png);
  EXPECT_EQ(back.PixelFormat(), pf24bit);
  EXPECT_EQ(back.PixelColor(4, 2), clLime);
  EXPECT_EQ(back.PixelColor(0, 0), clBlue);

  TBitmap indexed;
  indexed.SetPixelFormat(pf8bit);
  indexed.SetSize(3, 3);
  indexed.Fill(clRed);
  png.Assign(&indexed);
  EXPECT_EQ(png.RequireHeader()->ColorType, 3);
  EXPECT_EQ(png.Chunks().Find<TChunkPLTE>()->Count(), 256u);
  EXPECT_EQ(png.PixelAt(1, 1), clRed);
}

TEST(PNGObjectTest, KeyedImagesGiveTransparentBitmaps) {
  PngShape s{4, 3, 8, 2, 0};
  std::string key;
  for (int c = 0; c < 3; ++c) key += std::string{'\0', char(Sample(s, 1, 1, c))};
  Options o;
  o.before = {{"tRNS", key}};
  TPNGObject png;
  Load(png, MakePng(s, o));
  TBitmap bmp;
  bmp.Assign(&png);
  EXPECT_TRUE(bmp.Transparent());
  EXPECT_EQ(bmp.TransparentColor(), bmp.PixelColor(1, 1));
}

TEST(PNGObjectTest, CopiesAreIndependentAndSaveTheSameFile) {
  PngShape s{7, 5, 8, 3, 1};
  Options o;
  o.before = {{"gAMA", Be32(100000)}, {"tRNS", std::string("\x10\x20", 2)}};
  TPNGObject png;
  Load(png, MakePng(s, o));
  TPNGObject copy;
  copy.Assign(&png);
  EXPECT_EQ(Save(copy), Save(png));
  const TColor before = png.PixelAt(0, 0);
  const TColor other =
      before == TColor(PaletteColor(3)) ? TColor(PaletteColor(4)) : TColor(PaletteColor(3));
  copy.SetPixelAt(0, 0, other);
  EXPECT_EQ(copy.PixelAt(0, 0), other);
  EXPECT_EQ(png.PixelAt(0, 0), before);
}

TEST(PNGObjectTest, AlphaBlendingFollowsTheStoredAlpha) {
  PngShape s{4, 2, 8, 6, 0};
  TPNGObject png;
  Load(png, MakePng(s));
  std::vector<uint8_t> canvas(4 * 4 * 2, 0x40);
  png.BlendOnto(canvas.data(), 16);
  const uint8_t a = static_cast<uint8_t>(Sample(s, 2, 1, 3));
  const uint8_t r = static_cast<uint8_t>(Sample(s, 2, 1, 0));
  const uint8_t expected = static_cast<uint8_t>((a * r + (255 - a) * 0x40 + 255) >> 8);
  EXPECT_EQ(canvas[16 + 4 * 2 + 2], expected);
}

TEST(PNGObjectTest, RegistrationOpensPngFilesWithTheObject) {
  EXPECT_EQ(TPicture::FileFormatFor(".png"), TPNGObject::StaticClassInfo());
  EXPECT_EQ(TPicture::FileFormatDescription("PNG"), "Portable Network Graphics");
}
