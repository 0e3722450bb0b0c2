#include "framework/Graphics.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A small picture with a distinct colour in each corner, so flips and shifts show.
void PaintCorners(TBitmap& bmp) {
  bmp.Fill(clWhite);
  bmp.SetPixelColor(0, 0, clRed);
  bmp.SetPixelColor(bmp.Width() - 1, 0, clLime);
  bmp.SetPixelColor(0, bmp.Height() - 1, clBlue);
  bmp.SetPixelColor(bmp.Width() - 1, bmp.Height() - 1, clBlack);
}

bool Near(TColor a, TColor b, int tolerance) {
  return std::abs(ColorR(a) - ColorR(b)) <= tolerance &&
         std::abs(ColorG(a) - ColorG(b)) <= tolerance &&
         std::abs(ColorB(a) - ColorB(b)) <= tolerance;
}

std::string BmpBytes(TBitmap& bmp) {
  TMemoryStream stream;
  bmp.SaveToStream(stream);
  std::string bytes(static_cast<size_t>(stream.Size()), '\0');
  std::memcpy(bytes.data(), stream.Memory(), bytes.size());
  return bytes;
}

void LoadBmpBytes(TBitmap& bmp, const std::string& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
  stream.SetPosition(0);
  bmp.LoadFromStream(stream);
}

void Put32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

}  // namespace

TEST(ColorTest, ChannelsAndSystemColours) {
  EXPECT_EQ(ColorR(clRed), 255);
  EXPECT_EQ(ColorB(clNavy), 0x80);
  EXPECT_EQ(MakeColor(1, 2, 3), 0x030201);
  EXPECT_TRUE(IsSystemColor(clBtnFace));
  EXPECT_FALSE(IsSystemColor(clNone));
  EXPECT_EQ(ColorToRGB(clRed), clRed);
  EXPECT_FALSE(IsSystemColor(ColorToRGB(clBtnFace)));
}

TEST(ColorTest, NamesAndNumbersBecomeColours) {
  const struct {
    const char* text;
    TColor color;
  } cases[] = {
      {"clNavy", clNavy},           {"CLWINDOWTEXT", clWindowText}, {"clNone", clNone},
      {"$00FF0000", clBlue},        {"0x0000FF", clRed},            {"255", clRed},
      {"-16777201", clBtnFace},     {"$FF00000F", clBtnFace},
  };
  for (const auto& c : cases) EXPECT_EQ(StringToColor(c.text), c.color) << c.text;
  for (const char* bad : {"", "clNoSuchColour", "navy", "12px", "$"})
    EXPECT_THROW(StringToColor(bad), EConvertError) << bad;
}

TEST(BitmapTest, ScanLineCountsRowsFromTheTopOfABottomUpPaddedBuffer) {
  struct Case {
    TPixelFormat format;
    int width;
    int rowBytes;
  };
  const Case cases[] = {{pf1bit, 9, 4},   {pf1bit, 33, 8}, {pf4bit, 9, 8},   {pf8bit, 5, 8},
                        {pf15bit, 3, 8},  {pf16bit, 2, 4}, {pf24bit, 5, 16}, {pf24bit, 4, 12},
                        {pf32bit, 3, 12}, {pfDevice, 1, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "format " << c.format << " width " << c.width);
    TBitmap bmp;
    bmp.SetPixelFormat(c.format);
    bmp.SetSize(c.width, 3);
    EXPECT_EQ(bmp.RowBytes(), c.rowBytes);
    EXPECT_EQ(bmp.BitsSize(), static_cast<size_t>(c.rowBytes * 3));
    // Row 0 (top) is the last row of the block, row 2 (bottom) the first.
    EXPECT_EQ(bmp.ScanLine(0), bmp.Bits() + 2 * c.rowBytes);
    EXPECT_EQ(bmp.ScanLine(2), bmp.Bits());
  }
}

TEST(BitmapTest, ScanLineOutsideTheImageIsRefused) {
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(2, 2);
  EXPECT_THROW(bmp.ScanLine(2), EInvalidGraphic);
  EXPECT_THROW(bmp.ScanLine(-1), EInvalidGraphic);
  TBitmap empty;
  EXPECT_THROW(empty.ScanLine(0), EInvalidGraphic);
}

TEST(BitmapTest, PixelsAreStoredInDibByteOrder) {
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(2, 1);
  bmp.SetPixelColor(1, 0, MakeColor(0x11, 0x22, 0x33));
  const uint8_t* row = bmp.ScanLine(0);
  EXPECT_EQ(row[3], 0x33);  // blue first
  EXPECT_EQ(row[4], 0x22);
  EXPECT_EQ(row[5], 0x11);

  bmp.SetPixelFormat(pf1bit);
  bmp.SetSize(9, 1);
  bmp.Fill(clBlack);
  bmp.SetPixelColor(0, 0, clWhite);
  bmp.SetPixelColor(8, 0, clWhite);
  EXPECT_EQ(bmp.ScanLine(0)[0], 0x80);  // most significant bit is the leftmost pixel
  EXPECT_EQ(bmp.ScanLine(0)[1], 0x80);

  TBitmap nibbles;
  nibbles.SetPixelFormat(pf4bit);
  nibbles.SetSize(2, 1);
  nibbles.SetPixelColor(1, 0, clWhite);     // entry 15 of the standard 16 colours
  EXPECT_EQ(nibbles.ScanLine(0)[0], 0x0F);  // the high nibble is the left pixel
}

TEST(BitmapTest, FormatConversionsKeepColoursWithinTheTargetPrecision) {
  struct Case {
    TPixelFormat format;
    int tolerance;
  };
  // The corner colours are all in the 16 standard colours, so even 4 bits keep them exactly;
  // 1 bit keeps black and white and maps the others to the nearer of the two.
  const Case cases[] = {{pf4bit, 0},  {pf8bit, 0},  {pf15bit, 0}, {pf16bit, 0},
                        {pf24bit, 0}, {pf32bit, 0}, {pfDevice, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "format " << c.format);
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(5, 4);
    PaintCorners(bmp);
    bmp.SetPixelColor(2, 2, MakeColor(0x80, 0x80, 0x80));
    bmp.SetPixelFormat(c.format);
    EXPECT_EQ(bmp.PixelFormat(), c.format);
    EXPECT_TRUE(Near(bmp.PixelColor(0, 0), clRed, c.tolerance));
    EXPECT_TRUE(Near(bmp.PixelColor(4, 0), clLime, c.tolerance));
    EXPECT_TRUE(Near(bmp.PixelColor(0, 3), clBlue, c.tolerance));
    EXPECT_TRUE(Near(bmp.PixelColor(4, 3), clBlack, c.tolerance));
    EXPECT_TRUE(Near(bmp.PixelColor(1, 1), clWhite, c.tolerance));
    EXPECT_TRUE(Near(bmp.PixelColor(2, 2), MakeColor(0x80, 0x80, 0x80), 8));
    bmp.SetPixelFormat(pf24bit);
    EXPECT_TRUE(Near(bmp.PixelColor(0, 0), clRed, c.tolerance));
    EXPECT_TRUE(Near(bmp.PixelColor(4, 3), clBlack, c.tolerance));
  }
  TBitmap mono;
  mono.SetPixelFormat(pf24bit);
  mono.SetSize(2, 1);
  mono.SetPixelColor(0, 0, MakeColor(250, 250, 250));
  mono.SetPixelColor(1, 0, MakeColor(10, 10, 10));
  mono.SetPixelFormat(pf1bit);
  EXPECT_EQ(mono.PixelColor(0, 0), clWhite);
  EXPECT_EQ(mono.PixelColor(1, 0), clBlack);
}

TEST(BitmapTest, ConversionTo32BitsGivesAlphaZeroAndBetween32BitFormatsKeepsIt) {
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(1, 1);
  bmp.SetPixelColor(0, 0, clFuchsia);
  bmp.SetPixelFormat(pf32bit);
  uint32_t v;
  std::memcpy(&v, bmp.ScanLine(0), 4);
  EXPECT_EQ(v, 0x00FF00FFu);  // transparent-key pixels of skins rely on this exact value

  bmp.ScanLine(0)[3] = 0x7F;
  bmp.SetPixelFormat(pfDevice);
  bmp.SetPixelFormat(pf32bit);
  EXPECT_EQ(bmp.ScanLine(0)[3], 0x7F);
}

TEST(BitmapTest, IndexedToDeeperIndexedKeepsIndexesAndTable) {
  TBitmap bmp;
  bmp.SetPixelFormat(pf4bit);
  bmp.SetSize(3, 1);
  TColorTable table(16);
  table[0] = QuadFromColor(MakeColor(1, 2, 3));
  table[7] = QuadFromColor(MakeColor(9, 8, 7));
  bmp.SetPalette(table);
  bmp.ScanLine(0)[0] = 0x07;  // pixels 0 and 1: index 0 and 7
  bmp.SetPixelFormat(pf8bit);
  EXPECT_EQ(bmp.Palette().size(), 16u);
  EXPECT_EQ(bmp.ScanLine(0)[0], 0);
  EXPECT_EQ(bmp.ScanLine(0)[1], 7);
  EXPECT_EQ(bmp.PixelColor(1, 0), MakeColor(9, 8, 7));
}

TEST(BitmapTest, ResizeKeepsTheTopLeftPartAndZeroesTheRest) {
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(3, 3);
  PaintCorners(bmp);
  bmp.SetSize(5, 2);
  EXPECT_EQ(bmp.PixelColor(0, 0), clRed);
  EXPECT_EQ(bmp.PixelColor(2, 0), clLime);
  EXPECT_EQ(bmp.PixelColor(1, 1), clWhite);
  EXPECT_EQ(bmp.PixelColor(4, 1), clBlack);

  TBitmap mono;  // a partial last byte keeps only the old pixels' bits
  mono.SetPixelFormat(pf1bit);
  mono.SetSize(3, 1);
  mono.Fill(clWhite);
  mono.SetSize(8, 1);
  EXPECT_EQ(mono.ScanLine(0)[0], 0xE0);
}

TEST(BitmapTest, TransparentColourFollowsTheBottomLeftPixelUntilFixed) {
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(3, 3);
  PaintCorners(bmp);
  EXPECT_EQ(bmp.TransparentMode(), tmAuto);
  EXPECT_EQ(bmp.TransparentColor(), clBlue);
  bmp.SetTransparentColor(clLime);
  EXPECT_EQ(bmp.TransparentMode(), tmFixed);
  EXPECT_EQ(bmp.TransparentColor(), clLime);
  bmp.SetTransparentMode(tmAuto);
  EXPECT_EQ(bmp.TransparentColor(), clBlue);
}

TEST(BitmapTest, AssignCopiesPixelsFormatAndTable) {
  TBitmap a;
  a.SetPixelFormat(pf8bit);
  a.SetSize(4, 2);
  PaintCorners(a);
  a.SetTransparent(true);
  TBitmap b;
  b.Assign(&a);
  EXPECT_EQ(b.PixelFormat(), pf8bit);
  EXPECT_EQ(b.Palette(), a.Palette());
  EXPECT_EQ(b.Width(), 4);
  EXPECT_TRUE(b.Transparent());
  EXPECT_EQ(std::memcmp(a.Bits(), b.Bits(), a.BitsSize()), 0);
  EXPECT_NE(a.Bits(), b.Bits());
}

TEST(BitmapTest, ChangesAreReported) {
  TBitmap bmp;
  int changes = 0;
  bmp.OnChange = [&](TObject*) { ++changes; };
  bmp.SetSize(2, 2);
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(2, 2);  // unchanged: no report
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(bmp.Modified());
}

TEST(BitmapBmpTest, EveryFormatSurvivesASaveAndLoad) {
  const TPixelFormat formats[] = {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit};
  for (TPixelFormat f : formats) {
    SCOPED_TRACE(testing::Message() << "format " << f);
    TBitmap bmp;
    bmp.SetPixelFormat(f);
    bmp.SetSize(7, 3);  // odd width: row padding and partial bytes
    PaintCorners(bmp);
    if (f == pf32bit) bmp.ScanLine(1)[3] = 0x42;
    const std::string bytes = BmpBytes(bmp);
    EXPECT_EQ(bytes.substr(0, 2), "BM");

    TBitmap back;
    LoadBmpBytes(back, bytes);
    EXPECT_EQ(back.PixelFormat(), f);
    EXPECT_EQ(back.Width(), 7);
    EXPECT_EQ(back.Height(), 3);
    EXPECT_EQ(back.Palette(), bmp.Palette());
    ASSERT_EQ(back.BitsSize(), bmp.BitsSize());
    EXPECT_EQ(std::memcmp(back.Bits(), bmp.Bits(), bmp.BitsSize()), 0);
    EXPECT_EQ(back.PixelColor(0, 0), bmp.PixelColor(0, 0));
  }
}

TEST(BitmapBmpTest, TopDownFilesAreTurnedIntoTheBottomUpLayout) {
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(2, 2);
  PaintCorners(bmp);
  std::string bytes = BmpBytes(bmp);
  // Rewrite as top-down: negative height and the rows in the other order.
  const size_t pixels = 54;
  const size_t row = 8;
  std::string top = bytes.substr(pixels + row, row);
  std::string bottom = bytes.substr(pixels, row);
  bytes.replace(pixels, row, top);
  bytes.replace(pixels + row, row, bottom);
  Put32(bytes, 22, static_cast<uint32_t>(-2));
  TBitmap back;
  LoadBmpBytes(back, bytes);
  EXPECT_EQ(back.PixelColor(0, 0), clRed);
  EXPECT_EQ(back.PixelColor(0, 1), clBlue);
}

TEST(BitmapBmpTest, DamagedFilesAreRefusedWithoutHugeAllocations) {
  TBitmap good;
  good.SetPixelFormat(pf8bit);
  good.SetSize(4, 4);
  const std::string bytes = BmpBytes(good);
  struct Case {
    const char* what;
    std::string data;
  };
  auto patched = [&](size_t at, uint32_t v) {
    std::string s = bytes;
    Put32(s, at, v);
    return s;
  };
  auto patched16 = [&](size_t at, uint16_t v) {
    std::string s = bytes;
    s[at] = static_cast<char>(v);
    s[at + 1] = static_cast<char>(v >> 8);
    return s;
  };
  const Case cases[] = {
      {"empty", ""},
      {"not BM", "XY" + bytes.substr(2)},
      {"truncated header", bytes.substr(0, 30)},
      {"truncated pixels", bytes.substr(0, bytes.size() - 1)},
      {"huge width", patched(18, 0x7FFFFFFF)},
      {"huge height", patched(22, 0x40000000)},
      {"most negative height", patched(22, 0x80000000)},
      {"zero width", patched(18, 0)},
      {"unknown info size", patched(14, 77)},
      {"bit count 7", patched16(28, 7)},
      {"run-length compressed", patched(30, 1)},
      {"huge colour count", patched(46, 0x10000000)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TBitmap bmp;
    EXPECT_THROW(LoadBmpBytes(bmp, c.data), EInvalidGraphic);
  }
}

// ---- picture registry -----------------------------------------------------------------------

namespace {
class TGraphicA : public TBitmap {
  K_CLASS(TGraphicA, TBitmap)
};
class TGraphicB : public TBitmap {
  K_CLASS(TGraphicB, TBitmap)
};
}  // namespace

TEST(PictureTest, TheLastRegistrationOfAnExtensionWinsWhateverItsCase) {
  TPicture::RegisterFileFormat("tst", "first", TGraphicA::StaticClassInfo());
  TPicture::RegisterFileFormat("TST", "second", TGraphicB::StaticClassInfo());
  EXPECT_EQ(TPicture::FileFormatFor(".tst"), TGraphicB::StaticClassInfo());
  EXPECT_EQ(TPicture::FileFormatFor("Tst"), TGraphicB::StaticClassInfo());
  EXPECT_EQ(TPicture::FileFormatDescription("tst"), "second");
  TPicture::UnregisterGraphicClass(TGraphicB::StaticClassInfo());
  EXPECT_EQ(TPicture::FileFormatFor("tst"), TGraphicA::StaticClassInfo());
  TPicture::UnregisterGraphicClass(TGraphicA::StaticClassInfo());
  EXPECT_EQ(TPicture::FileFormatFor("tst"), nullptr);
}

TEST(PictureTest, LoadsAFileWithTheClassOfItsExtension) {
  TPicture::RegisterFileFormat("bmp", "Bitmaps", TBitmap::StaticClassInfo());
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(3, 2);
  PaintCorners(bmp);
  const std::string path = testing::TempDir() + "graphics_test_picture.BMP";
  bmp.SaveToFile(path);

  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  picture.LoadFromFile(path);
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_TRUE(picture.Graphic()->Is<TBitmap>());
  EXPECT_EQ(picture.Width(), 3);
  EXPECT_EQ(picture.Bitmap()->PixelColor(0, 0), clRed);
  EXPECT_GE(changes, 1);
  std::remove(path.c_str());
  TPicture::UnregisterGraphicClass(TBitmap::StaticClassInfo());

  try {
    picture.LoadFromFile("picture.xyz");
    FAIL() << "an unknown extension must be refused";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Unknown picture file extension (.xyz)");
  }
}

TEST(PictureTest, SetGraphicCopiesIntoANewObjectOfTheSameClass) {
  TGraphicA a;
  a.SetSize(2, 2);
  TPicture picture;
  picture.SetGraphic(&a);
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_NE(picture.Graphic(), &a);
  EXPECT_TRUE(picture.Graphic()->Is<TGraphicA>());
  EXPECT_EQ(picture.Width(), 2);
  TPicture copy;
  copy.Assign(&picture);
  EXPECT_TRUE(copy.Graphic()->Is<TGraphicA>());
}

TEST(PictureTest, FormDataNamesTheClassAndCarriesABitmap) {
  TPicture picture;
  TBitmap* bmp = picture.Bitmap();
  bmp->SetPixelFormat(pf8bit);
  bmp->SetSize(3, 2);
  PaintCorners(*bmp);
  TMemoryStream data;
  picture.WriteData(data);
  const uint8_t* bytes = data.Memory();
  ASSERT_EQ(bytes[0], 7);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + 1), 7), "TBitmap");
  EXPECT_EQ(bytes[8 + 4], 'B');  // after the 32-bit size: the BMP file
  data.WriteBuffer("tail", 4);   // what follows in the form stays unread

  data.SetPosition(0);
  TPicture back;
  back.ReadData(data);
  ASSERT_NE(back.Graphic(), nullptr);
  EXPECT_EQ(back.Bitmap()->PixelFormat(), pf8bit);
  EXPECT_EQ(back.Bitmap()->PixelColor(0, 0), clRed);
  EXPECT_EQ(data.Position(), data.Size() - 4);

  TMemoryStream empty;
  TPicture none;
  none.WriteData(empty);
  empty.SetPosition(0);
  back.ReadData(empty);
  EXPECT_EQ(back.Graphic(), nullptr);

  TMemoryStream unknown;
  unknown.WriteBuffer("\x05TNope", 6);
  unknown.SetPosition(0);
  EXPECT_THROW(back.ReadData(unknown), EInvalidGraphic);
}
