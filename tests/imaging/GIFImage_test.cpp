// The GIF picture as the program sees it: registration, loading, drawing, sizes, copies.
#include "imaging/GIFImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "tests/imaging/GifInstantServices.h"
#include "tests/imaging/GifTestFiles.h"

namespace {

const std::vector<TColor> kColors{clBlack, clWhite,  clRed,  clBlue,
                                  clLime,  clYellow, clAqua, clFuchsia};

TBytes FiveFrames() {
  TGifBuilder b;
  b.Header(2, 1, kColors);
  for (int i = 0; i < 5; ++i)
    b.GraphicControl(1, 2).Frame(0, 0, 2, 1,
                                 {static_cast<uint8_t>(i + 1), static_cast<uint8_t>(i + 1)}, 3);
  return b.Trailer().Data();
}

std::unique_ptr<TBitmap> Canvas(int w, int h) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(w, h);
  b->Fill(clGray);
  return b;
}

TEST(GIFImage, PicturesLoadGifFilesThroughTheRegistry) {
  EXPECT_EQ(TPicture::FileFormatFor("gif"), TGIFImage::StaticClassInfo());
  EXPECT_EQ(TPicture::FileFormatDescription("GIF"), "GIF Image");
  const std::string name = testing::TempDir() + "kestrava_two_colours.gif";
  {
    TFileStream file(name, fmCreate);
    const TBytes bytes =
        TGifBuilder().Header(2, 1, kColors).Frame(0, 0, 2, 1, {2, 3}, 3).Trailer().Data();
    file.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  }
  TPicture picture;
  picture.LoadFromFile(name);
  std::remove(name.c_str());
  auto* gif = dynamic_cast<TGIFImage*>(picture.Graphic());
  ASSERT_NE(gif, nullptr);
  EXPECT_EQ(picture.Width(), 2);
  EXPECT_EQ(gif->Frame(0)->PixelAt(1, 0), 3);
}

TEST(GIFImage, EmptyImageDrawsNothing) {
  TGIFImage image;
  EXPECT_TRUE(image.Empty());
  auto canvas = Canvas(2, 2);
  image.DrawOn(*canvas, Rect(0, 0, 2, 2));
  EXPECT_EQ(canvas->PixelColor(0, 0), clGray);
  EXPECT_EQ(image.CurrentBitmap(), nullptr);
}

TEST(GIFImage, PinnedFrameIsShownWhenNotAnimated) {
  struct Case {
    int pinned;
    TColor shown;
  } cases[] = {{3, kColors[4]}, {9, kColors[1]}, {-1, kColors[1]}};
  for (const Case& c : cases) {
    TGIFImage image;
    LoadGif(image, FiveFrames());
    image.SetPaintFlags(0);
    image.SetPinnedFrame(c.pinned);
    auto canvas = Canvas(2, 1);
    image.DrawOn(*canvas, Rect(0, 0, 2, 1));
    EXPECT_EQ(canvas->PixelColor(0, 0), c.shown) << c.pinned;
  }
}

TEST(GIFImage, TilingRepeatsThePictureAtItsOwnSize) {
  TGIFImage image;
  LoadGif(image, TGifBuilder().Header(2, 1, kColors).Frame(0, 0, 2, 1, {2, 3}, 3).Trailer().Data());
  image.SetPaintFlags(dfTile);
  auto canvas = Canvas(5, 2);
  image.DrawOn(*canvas, Rect(0, 0, 5, 2));
  const TColor expected[2][5] = {{clRed, clBlue, clRed, clBlue, clRed},
                                 {clRed, clBlue, clRed, clBlue, clRed}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(canvas->PixelColor(x, y), expected[y][x]) << x << "," << y;
}

TEST(GIFImage, WidthAndHeightCannotCutFrames) {
  TGIFImage image;
  LoadGif(image, TGifBuilder()
                     .Header(4, 4, kColors)
                     .Frame(1, 1, 3, 3, std::vector<uint8_t>(9, 1), 3)
                     .Trailer()
                     .Data());
  try {
    image.SetWidth(3);
    FAIL();
  } catch (const GIFException& e) {
    EXPECT_EQ(e.Message(), "Image width too small for contained frames");
  }
  try {
    image.SetHeight(2);
    FAIL();
  } catch (const GIFException& e) {
    EXPECT_EQ(e.Message(), "Image height too small for contained frames");
  }
  EXPECT_EQ(image.Width(), 4);
  image.SetWidth(10);
  EXPECT_EQ(image.Width(), 10);
}

TEST(GIFImage, AssignCopiesFramesButNotHandlersOrSpeed) {
  TGIFImage source;
  LoadGif(source, FiveFrames());
  source.SetAnimationPercent(50);
  source.SetPinnedFrame(2);
  source.OnGIFWarning = [](TObject*, int, const std::string&) {};
  source.OnProgress = [](TObject*, TProgressStage, uint8_t, bool, const TRect&,
                         const std::string&) {};
  TGIFImage target;
  target.SetAnimationPercent(70);
  target.Assign(&source);
  EXPECT_EQ(target.FrameCount(), 5);
  EXPECT_EQ(target.PinnedFrame(), 2);
  EXPECT_EQ(target.AnimationPercent(), 70);
  EXPECT_FALSE(target.OnGIFWarning);
  EXPECT_FALSE(target.OnProgress);
  EXPECT_EQ(SaveGif(target), SaveGif(source));
}

TEST(GIFImage, AssignFromABitmapAndBack) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(3, 2);
  bitmap.Fill(clRed);
  bitmap.SetPixelColor(2, 1, clBlue);
  TGIFImage image;
  image.SetReductionMethod(crNone);
  image.Assign(&bitmap);
  ASSERT_EQ(image.FrameCount(), 1);
  TBitmap back;
  back.Assign(&image);
  EXPECT_EQ(back.Width(), 3);
  EXPECT_EQ(back.PixelColor(0, 0), clRed);
  EXPECT_EQ(back.PixelColor(2, 1), clBlue);
}

TEST(GIFImage, ChangedGlobalColoursShowInTheNextPicture) {
  TGIFImage image;
  LoadGif(image, TGifBuilder().Header(2, 1, kColors).Frame(0, 0, 2, 1, {2, 3}, 3).Trailer().Data());
  TBitmap before;
  before.Assign(&image);
  image.GlobalColorMap().SetEntry(2, clYellow);
  TBitmap after;
  after.Assign(&image);
  EXPECT_EQ(before.PixelColor(0, 0), clRed);
  EXPECT_EQ(after.PixelColor(0, 0), clYellow);
}

TEST(GIFImage, AddFrameRefusesObjectsThatAreNoPictures) {
  TGIFImage image;
  TStringList notAPicture;
  try {
    image.AddFrame(&notAPicture);
    FAIL();
  } catch (const GIFException& e) {
    EXPECT_EQ(e.Message(), "Object type not supported for operation");
  }
}

TEST(GIFImage, AddingAnotherImagesFrameCopiesIt) {
  TGIFImage source;
  LoadGif(source, FiveFrames());
  TGIFImage target;
  LoadGif(target, FiveFrames());
  EXPECT_EQ(target.AddFrame(source.Frame(2)), 5);
  EXPECT_NE(target.Frame(5), source.Frame(2));
  EXPECT_EQ(target.Frame(5)->PixelAt(0, 0), 3);
  EXPECT_EQ(source.FrameCount(), 5);
}

TEST(GIFImage, RecursivePaletteRequestRaisesInsteadOfLooping) {
  TGIFImage image;
  image.SetPaintFlags(0);
  LoadGif(image, TGifBuilder().Header(1, 1, {}).Frame(0, 0, 1, 1, {0}, 2).Trailer().Data());
  try {
    image.GetPalette();
    FAIL();
  } catch (const GIFException& e) {
    EXPECT_EQ(e.Message(), "No global or local color table defined");
  }
}

TEST(GIFImage, FailedLoadRewindsAndReportsProgressOfZero) {
  TBytes bytes = FiveFrames();
  bytes.resize(20);
  TMemoryStream stream = StreamOf(bytes);
  TGIFImage image;
  std::vector<int> ends;
  image.OnProgress = [&](TObject*, TProgressStage s, uint8_t p, bool, const TRect&,
                         const std::string&) {
    if (s == psEnding) ends.push_back(p);
  };
  EXPECT_THROW(image.LoadFromStream(stream), GIFException);
  EXPECT_EQ(stream.Position(), 0);
  EXPECT_EQ(ends, std::vector<int>{0});
}

TEST(GIFImage, SecondDrawOnTheSameRectangleKeepsTheRunningAnimation) {
  TGIFImage image;
  LoadGif(image, FiveFrames());
  image.SetPaintFlags(dfAnimate | dfLoop | dfLoopForever | dfThreaded | dfPaintDirect);
  auto canvas = Canvas(2, 1);
  image.DrawOn(*canvas, Rect(0, 0, 2, 1));
  TGIFPainter* first = image.DrawPainter();
  ASSERT_NE(first, nullptr);
  image.DrawOn(*canvas, Rect(0, 0, 2, 1));
  EXPECT_EQ(image.DrawPainter(), first);
  {
    std::lock_guard<std::recursive_mutex> lock(image.PainterLock());
    EXPECT_EQ(image.Painters().size(), 1u);
  }
  auto other = Canvas(4, 2);
  image.DrawOn(*other, Rect(0, 0, 4, 2));
  EXPECT_NE(image.DrawPainter(), nullptr);
  {
    std::lock_guard<std::recursive_mutex> lock(image.PainterLock());
    EXPECT_EQ(image.Painters().size(), 1u);
  }
  image.StopAllPainters();
  EXPECT_EQ(image.DrawPainter(), nullptr);
}

TEST(GIFImage, AnimatedDrawThroughTheBufferShowsTheFirstFrame) {
  TGIFImage image;
  LoadGif(image, FiveFrames());
  image.SetPaintFlags(dfAnimate | dfThreaded);
  auto canvas = Canvas(4, 2);
  image.DrawOn(*canvas, Rect(0, 0, 4, 2));
  EXPECT_EQ(canvas->PixelColor(3, 1), kColors[1]);
  image.StopAllPainters();
}

TEST(GIFImage, AnimationPlaysInABufferNoLargerThanTheDrawnArea) {
  struct TCase {
    int screen;     // square logical screen
    int frameSide;  // frame 0 at the top left, frame 1 at the bottom right
    TRect drawn;
    TSize buffer;  // the painter's canvas
  };
  const TCase cases[] = {
      // A 16384 x 16384 screen declared by 50 bytes, drawn at 16 x 12.
      {16384, 1, Rect(0, 0, 16, 12), {16, 12}},
      // Drawn at half size: played at half size, every frame in its place.
      {8, 4, Rect(0, 0, 4, 4), {4, 4}},
      // Drawn larger than the screen: played at the screen's size and stretched.
      {8, 4, Rect(0, 0, 16, 16), {8, 8}},
  };
  for (const TCase& c : cases) {
    const int far = c.screen - c.frameSide;
    const TBytes bytes = TGifBuilder()
                             .Header(c.screen, c.screen, kColors)
                             .GraphicControl(1, 0)
                             .Frame(0, 0, c.frameSide, c.frameSide,
                                    std::vector<uint8_t>(c.frameSide * c.frameSide, 2), 3)
                             .GraphicControl(1, 0)
                             .Frame(far, far, c.frameSide, c.frameSide,
                                    std::vector<uint8_t>(c.frameSide * c.frameSide, 3), 3)
                             .Trailer()
                             .Data();
    TGIFImage image;
    LoadGif(image, bytes);
    TInstantServices services;
    image.SetPainterServices(&services);
    image.SetPaintFlags(dfAnimate);
    TSize largest;
    image.OnFramePaint = [&largest](TObject* sender) {
      const TBitmap* canvas = static_cast<TGIFPainter*>(sender)->Canvas();
      largest.cx = std::max(largest.cx, canvas->Width());
      largest.cy = std::max(largest.cy, canvas->Height());
    };
    auto canvas = Canvas(c.drawn.Right, c.drawn.Bottom);
    image.DrawOn(*canvas, c.drawn);
    EXPECT_EQ(largest, c.buffer) << c.screen << " drawn " << c.drawn.Width();
    if (c.frameSide > 1) {
      EXPECT_EQ(canvas->PixelColor(0, 0), clRed) << c.drawn.Width();
      EXPECT_EQ(canvas->PixelColor(c.drawn.Right - 1, c.drawn.Bottom - 1), clBlue)
          << c.drawn.Width();
    }
  }
}

TEST(GIFImage, PictureOfTheWholeScreenAfterAnAnimationDrawnSmaller) {
  TGIFImage image;
  LoadGif(image, FiveFrames());
  TInstantServices services;
  image.SetPainterServices(&services);
  image.SetPaintFlags(dfAnimate);
  auto canvas = Canvas(1, 1);
  image.DrawOn(*canvas, Rect(0, 0, 1, 1));
  TBitmap picture;
  picture.Assign(&image);
  EXPECT_EQ(picture.Width(), 2);
  EXPECT_EQ(picture.Height(), 1);
  EXPECT_EQ(picture.PixelColor(1, 0), kColors[1]);
}

}  // namespace
