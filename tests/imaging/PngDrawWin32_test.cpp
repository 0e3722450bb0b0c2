// Drawing the PNG graphics on a canvas (a bitmap's memory DC) and making icons: Win32 only.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "framework/CanvasWin32.h"
#include "imaging/pngimage.h"
#include "imaging/skPNG.h"
#include "tests/imaging/PngTestFiles.h"

using namespace pngtest;

namespace {

template <class G>
void Load(G& g, const std::string& png) {
  TMemoryStream stream;
  stream.WriteBuffer(png.data(), static_cast<int64_t>(png.size()));
  stream.SetPosition(0);
  g.LoadFromStream(stream);
}

// A 32-bit RGBA file: the left column opaque red, the rest half-transparent blue.
std::string RedAndBlue(uint32_t w, uint32_t h) {
  std::string raw;
  for (uint32_t y = 0; y < h; ++y) {
    raw += '\0';
    for (uint32_t x = 0; x < w; ++x)
      raw += x == 0 ? std::string("\xff\0\0\xff", 4) : std::string("\0\0\xff\x80", 4);
  }
  PngShape s{w, h, 8, 6, 0};
  return Signature() + Chunk("IHDR", IhdrData(s)) + Chunk("IDAT", Zlib(raw)) + Chunk("IEND", "");
}

TBitmap* Surface(int w, int h, TColor color) {
  auto* b = new TBitmap;
  b->SetPixelFormat(pf32bit);
  b->SetSize(w, h);
  b->Fill(color);
  return b;
}

}  // namespace

TEST(PngDrawTest, ReaderBlendsByAlphaAndPaintsTheReflectionBelow) {
  TPNGGraphic g;
  Load(g, RedAndBlue(4, 4));
  std::unique_ptr<TBitmap> target(Surface(10, 10, clWhite));
  g.Draw(target->Canvas(), Rect(2, 2, 6, 6));
  EXPECT_EQ(target->PixelColor(2, 3), clRed);
  const TColor mixed = target->PixelColor(4, 3);  // half blue over white
  EXPECT_NEAR(ColorR(mixed), 127, 2);
  EXPECT_EQ(ColorB(mixed), 255);
  EXPECT_EQ(target->PixelColor(2, 6), clWhite);  // nothing below without a reflection

  g.SetReflected(true);
  std::unique_ptr<TBitmap> mirrored(Surface(10, 10, clWhite));
  g.Draw(mirrored->Canvas(), Rect(2, 2, 6, 6));
  EXPECT_NE(mirrored->PixelColor(2, 6), clWhite);  // H div 2 = 2 rows of mirror image
  EXPECT_NE(mirrored->PixelColor(2, 7), clWhite);
  EXPECT_EQ(mirrored->PixelColor(2, 8), clWhite);
}

TEST(PngDrawTest, ReaderStretchesToALargerRectangle) {
  TPNGGraphic g;
  Load(g, RedAndBlue(2, 2));
  std::unique_ptr<TBitmap> target(Surface(8, 8, clWhite));
  g.Draw(target->Canvas(), Rect(0, 0, 8, 8));
  EXPECT_EQ(target->PixelColor(1, 7), clRed);
  EXPECT_NE(target->PixelColor(6, 6), clWhite);
}

TEST(PngDrawTest, ObjectDrawsOpaqueStretchedAndAlphaUnscaled) {
  PngShape opaque{2, 2, 8, 2, 0};
  TPNGObject a;
  Load(a, MakePng(opaque));
  std::unique_ptr<TBitmap> target(Surface(8, 8, clWhite));
  a.Draw(target->Canvas(), Rect(0, 0, 8, 8));
  EXPECT_EQ(target->PixelColor(7, 7), a.PixelAt(1, 1));  // stretched over the whole rectangle

  TPNGObject b;
  Load(b, RedAndBlue(3, 3));
  std::unique_ptr<TBitmap> second(Surface(8, 8, clWhite));
  b.Draw(second->Canvas(), Rect(1, 1, 8, 8));
  EXPECT_EQ(second->PixelColor(1, 1), clRed);
  EXPECT_EQ(second->PixelColor(5, 5), clWhite);  // not scaled: the image ends at (3, 3)
}

TEST(PngDrawTest, ObjectLeavesOutItsKeyColour) {
  PngShape s{3, 3, 8, 2, 0};
  std::string key;
  for (int c = 0; c < 3; ++c) key += std::string{'\0', char(Sample(s, 1, 1, c))};
  Options o;
  o.before = {{"tRNS", key}};
  TPNGObject png;
  Load(png, MakePng(s, o));
  std::unique_ptr<TBitmap> target(Surface(3, 3, MakeColor(1, 2, 3)));
  png.Draw(target->Canvas(), Rect(0, 0, 3, 3));
  EXPECT_EQ(target->PixelColor(1, 1), MakeColor(1, 2, 3));
  EXPECT_EQ(target->PixelColor(0, 0) == MakeColor(1, 2, 3), png.PixelAt(0, 0) == png.KeyColor());
}

TEST(PngDrawTest, IconsHaveTheImagesSize) {
  TPNGGraphic g;
  Load(g, RedAndBlue(16, 16));
  for (HICON icon : {g.MakeIcon(false), g.MakeIcon(true), g.MakeIconOnColor(clWhite)}) {
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(icon, &info));
    BITMAP bm{};
    ::GetObjectA(info.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 16);
    EXPECT_EQ(bm.bmHeight, 16);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    ::DestroyIcon(icon);
  }
}
