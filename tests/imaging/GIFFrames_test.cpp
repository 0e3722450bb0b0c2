// Frames: geometry, pixel access, rendering with masks, painting and conversion of bitmaps.
#include <gtest/gtest.h>

#include "imaging/GIFImage.h"
#include "tests/imaging/GifTestFiles.h"

namespace {

const std::vector<TColor> kColors{clBlack, clWhite, clRed, clBlue};

std::unique_ptr<TBitmap> Canvas(int w, int h, TColor fill) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(w, h);
  b->Fill(fill);
  return b;
}

TEST(GIFFrames, FrameIsMappedIntoTheDestinationRectangle) {
  TGIFImage image;
  LoadGif(image, TGifBuilder()
                     .Header(100, 100, kColors)
                     .Frame(10, 10, 20, 20, std::vector<uint8_t>(400, 2))
                     .Trailer()
                     .Data());
  EXPECT_EQ(image.Frame(0)->MapToDestRect(Rect(0, 0, 200, 200)), Rect(20, 20, 60, 60));
  auto canvas = Canvas(200, 200, clLime);
  image.SetPaintFlags(0);
  image.DrawOn(*canvas, Rect(0, 0, 200, 200));
  EXPECT_EQ(canvas->PixelColor(19, 19), clLime);
  EXPECT_EQ(canvas->PixelColor(20, 20), clRed);
  EXPECT_EQ(canvas->PixelColor(59, 59), clRed);
  EXPECT_EQ(canvas->PixelColor(60, 60), clLime);
}

TEST(GIFFrames, ChangingOnlyTheWidthReallocatesThePixels) {
  TGIFImage image;
  LoadGif(image, TGifBuilder()
                     .Header(4, 4, kColors)
                     .Frame(0, 0, 4, 4, std::vector<uint8_t>(16, 3))
                     .Trailer()
                     .Data());
  TGIFSubImage* frame = image.Frame(0);
  frame->SetBoundsValue(3, 2);
  EXPECT_EQ(frame->PixelCount(), 8);
  EXPECT_EQ(frame->PixelAt(1, 3), 0);
}

TEST(GIFFrames, BoundsBeyondTheScreenGrowItWithWarnings) {
  TGIFImage image;
  std::vector<std::string> warnings;
  LoadGif(image,
          TGifBuilder()
              .Header(4, 4, kColors)
              .Frame(0, 0, 4, 4, std::vector<uint8_t>(16, 3))
              .Trailer()
              .Data(),
          &warnings);
  image.Frame(0)->SetFrameBounds(2, 0, 4, 4);
  EXPECT_EQ(image.Width(), 6);
  EXPECT_EQ(warnings, (std::vector<std::string>{"Image width too small for contained frames",
                                                "Image exceeds Logical Screen size"}));
}

TEST(GIFFrames, PixelAccessOutsideTheFrameIsRefused) {
  TGIFImage image;
  LoadGif(image,
          TGifBuilder().Header(2, 2, kColors).Frame(0, 0, 2, 2, {0, 1, 2, 3}).Trailer().Data());
  const std::pair<int, int> bad[] = {{-1, 0}, {2, 0}, {0, -1}, {0, 2}};
  for (auto [x, y] : bad) {
    try {
      image.Frame(0)->PixelAt(x, y);
      ADD_FAILURE() << x << "," << y;
    } catch (const GIFException& e) {
      EXPECT_EQ(e.Message(), "Invalid pixel coordinates");
    }
  }
}

TEST(GIFFrames, DescriptorWithZeroSizeTakesTheScreenSize) {
  TGIFImage image;
  std::vector<std::string> warnings;
  LoadGif(image,
          TGifBuilder()
              .Header(3, 2, kColors)
              .RawFrame(0, 0, 0, 0, PackCodes(2, {4, 1, 1, 4, 1, 1, 4, 1, 1, 5}, 3))
              .Trailer()
              .Data(),
          &warnings);
  ASSERT_EQ(image.FrameCount(), 1);
  EXPECT_EQ(image.Frame(0)->Width(), 3);
  EXPECT_EQ(image.Frame(0)->Height(), 2);
  EXPECT_EQ(image.Frame(0)->PixelAt(2, 1), 1);
  EXPECT_EQ(warnings, std::vector<std::string>{"Image exceeds Logical Screen size"});
}

TEST(GIFFrames, InterlacedFrameWithLocalMapIsWrittenInterlaced) {
  TGIFImage image;
  std::vector<uint8_t> pixels(5 * 7);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i % 4);
  LoadGif(
      image,
      TGifBuilder().Header(5, 7, {}).Frame(0, 0, 5, 7, pixels, 2, kColors, true).Trailer().Data());
  const TBytes saved = SaveGif(image);
  TGIFImage again;
  LoadGif(again, saved);
  EXPECT_TRUE(again.Frame(0)->IsInterlaced());
  EXPECT_EQ(again.Frame(0)->ColorMap().Count(), 4);
  EXPECT_EQ(
      std::vector<uint8_t>(again.Frame(0)->Pixels(), again.Frame(0)->Pixels() + pixels.size()),
      pixels);
}

TEST(GIFFrames, PixelsBeyondTheColourMapDrawBlackWithoutReadingPastIt) {
  TGIFImage image;
  image.SetPaintFlags(0);
  LoadGif(
      image,
      TGifBuilder().Header(2, 1, {clWhite, clRed}).Frame(0, 0, 2, 1, {1, 3}, 2).Trailer().Data());
  auto canvas = Canvas(2, 1, clLime);
  image.DrawOn(*canvas, Rect(0, 0, 2, 1));
  EXPECT_EQ(canvas->PixelColor(0, 0), clRed);
  EXPECT_EQ(canvas->PixelColor(1, 0), clBlack);
}

TEST(GIFFrames, TransparentPixelsLeaveTheCanvasAloneInPlainAndDitheredRendering) {
  for (uint16_t flags : {uint16_t(dfTransparent), uint16_t(dfTransparent | dfDither)}) {
    TGIFImage image;
    image.SetPaintFlags(flags);
    LoadGif(image, TGifBuilder()
                       .Header(3, 1, kColors)
                       .GraphicControl(0, 0, 0)
                       .Frame(0, 0, 3, 1, {0, 2, 0})
                       .Trailer()
                       .Data());
    auto canvas = Canvas(3, 1, clLime);
    image.DrawOn(*canvas, Rect(0, 0, 3, 1));
    EXPECT_EQ(canvas->PixelColor(0, 0), clLime) << flags;
    EXPECT_EQ(canvas->PixelColor(1, 0), clRed) << flags;
    EXPECT_EQ(canvas->PixelColor(2, 0), clLime) << flags;
  }
}

TEST(GIFFrames, DitheredFillIndexStaysInsideTheCube) {
  TGIFImage image;
  image.SetPaintFlags(dfDither | dfTransparent);
  // A white transparent colour would give 216 with the rounding-up formula.
  LoadGif(image, TGifBuilder()
                     .Header(2, 1, {clWhite, clRed})
                     .GraphicControl(0, 0, 0)
                     .Frame(0, 0, 2, 1, {0, 1})
                     .Trailer()
                     .Data());
  TBitmap* bitmap = image.Frame(0)->EnsureBitmap();
  ASSERT_NE(bitmap, nullptr);
  EXPECT_LT(bitmap->ScanLine(0)[0], 216);
  EXPECT_EQ(bitmap->Palette().size(), 216u);
}

TEST(GIFFrames, AssigningTrueColourBitmaps) {
  auto make = [](int distinct) {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(distinct, 1);
    for (int x = 0; x < distinct; ++x)
      b->SetPixelColor(x, 0, MakeColor(static_cast<uint8_t>(x), static_cast<uint8_t>(x / 256), 7));
    return b;
  };
  {
    TGIFImage image;
    image.SetReductionMethod(crNone);
    auto b = make(300);
    try {
      image.AddFrame(b.get());
      ADD_FAILURE() << "no exception";
    } catch (const GIFException& e) {
      EXPECT_EQ(e.Message(), "Color table overflow");
    }
  }
  {
    TGIFImage image;
    image.SetReductionMethod(crColorCube216);
    auto b = make(300);
    ASSERT_NO_THROW(image.AddFrame(b.get()));
    EXPECT_EQ(image.Frame(0)->Width(), 300);
    EXPECT_LE(image.Frame(0)->ColorMap().Count(), 216);
    EXPECT_EQ(b->PixelFormat(), pf24bit);
  }
  {
    TGIFImage image;
    image.SetReductionMethod(crNone);
    auto b = make(5);
    image.AddFrame(b.get());
    TGIFSubImage* frame = image.Frame(0);
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(frame->ColorMap().ColorAt(frame->PixelAt(x, 0)),
                MakeColor(static_cast<uint8_t>(x), 0, 7));
  }
}

TEST(GIFFrames, TransparentBitmapBecomesATransparentFrameUnlessTheMapIsFull) {
  for (int colors : {4, 256}) {
    TBitmap b;
    b.SetPixelFormat(pf8bit);
    TColorTable table(static_cast<size_t>(colors));
    for (int i = 0; i < colors; ++i)
      table[i] = QuadFromColor(MakeColor(static_cast<uint8_t>(i), 1, 2));
    b.SetPalette(table);
    b.SetSize(colors, 2);
    for (int x = 0; x < colors; ++x) {
      b.ScanLine(0)[x] = static_cast<uint8_t>(x);
      b.ScanLine(1)[x] = static_cast<uint8_t>(x);
    }
    b.SetTransparentMode(tmFixed);
    b.SetTransparentColor(MakeColor(0, 1, 2));
    b.SetTransparent(true);
    TGIFImage image;
    image.AddFrame(&b);
    EXPECT_EQ(image.Frame(0)->Transparent(), colors < 256) << colors;
  }
}

TEST(GIFFrames, AssigningAFrameCopiesPixelsMapAndExtensions) {
  TGIFImage image;
  LoadGif(image, TGifBuilder()
                     .Header(2, 1, {})
                     .GraphicControl(2, 9, 1)
                     .Comment("hi")
                     .Frame(0, 0, 2, 1, {0, 1}, 2, kColors)
                     .Trailer()
                     .Data());
  TGIFImage other;
  other.Assign(&image);
  ASSERT_EQ(other.FrameCount(), 1);
  TGIFSubImage* copy = other.Frame(0);
  EXPECT_EQ(copy->Extensions().ItemCount(), 2);
  ASSERT_NE(copy->GraphicControlExtension(), nullptr);
  EXPECT_NE(copy->GraphicControlExtension(), image.Frame(0)->GraphicControlExtension());
  EXPECT_EQ(copy->GraphicControlExtension()->DelayTime(), 9);
  EXPECT_TRUE(copy->Transparent());
  EXPECT_EQ(copy->ColorMap().Count(), 4);
  EXPECT_EQ(copy->PixelAt(1, 0), 1);
}

}  // namespace
