// Frame optimisation: the files get smaller, the animation stays the same.
#include <gtest/gtest.h>

#include <random>

#include "imaging/GIFImage.h"
#include "tests/imaging/GifTestFiles.h"

namespace {

const std::vector<TColor> kColors{clBlack, clWhite,  clRed,  clBlue,
                                  clLime,  clYellow, clAqua, clFuchsia};
constexpr TColor kBackground = 0x7F7F7F;  // not in any map: shows what no frame covered

// What the screen shows after each frame, played by the disposal rules.
std::vector<std::vector<TColor>> Coalesce(TGIFImage& image) {
  const int w = image.Width();
  const int h = image.Height();
  std::vector<TColor> screen(static_cast<size_t>(w) * h, kBackground);
  std::vector<std::vector<TColor>> shown;
  for (int i = 0; i < image.FrameCount(); ++i) {
    TGIFSubImage* f = image.Frame(i);
    if (f->IsEmpty()) continue;
    const std::vector<TColor> before = screen;
    TGIFColorMap* map = f->EffectiveColorMap();
    const int t = f->Transparent() ? f->TransparentIndex() : -1;
    for (int y = 0; y < f->Height(); ++y)
      for (int x = 0; x < f->Width(); ++x) {
        const int sx = f->Left() + x, sy = f->Top() + y;
        if (sx >= w || sy >= h) continue;
        const uint8_t p = f->PixelAt(x, y);
        if (p == t) continue;
        screen[static_cast<size_t>(sy) * w + sx] =
            p < map->Count() ? TripleToColor(map->Entry(p)) : clBlack;
      }
    shown.push_back(screen);
    const int disposal =
        f->GraphicControlExtension() ? f->GraphicControlExtension()->DisposalMethod() : 0;
    if (disposal == 2) {
      for (int y = f->Top(); y < f->Top() + f->Height() && y < h; ++y)
        for (int x = f->Left(); x < f->Left() + f->Width() && x < w; ++x)
          screen[static_cast<size_t>(y) * w + x] = kBackground;
    } else if (disposal == 3) {
      screen = before;
    }
  }
  // A removed frame that showed nothing new leaves the same picture twice in a row.
  std::vector<std::vector<TColor>> distinct;
  for (auto& s : shown)
    if (distinct.empty() || distinct.back() != s) distinct.push_back(s);
  return distinct;
}

TBytes RandomAnimation(std::mt19937& rng) {
  const int w = 3 + static_cast<int>(rng() % 6);
  const int h = 3 + static_cast<int>(rng() % 6);
  TGifBuilder b;
  const bool global = rng() % 4 != 0;
  b.Header(w, h, global ? kColors : std::vector<TColor>{});
  const int frames = 2 + static_cast<int>(rng() % 5);
  std::vector<uint8_t> last;
  for (int i = 0; i < frames; ++i) {
    const int fw = 1 + static_cast<int>(rng() % w);
    const int fh = 1 + static_cast<int>(rng() % h);
    const int fl = static_cast<int>(rng() % (w - fw + 1));
    const int ft = static_cast<int>(rng() % (h - fh + 1));
    std::vector<uint8_t> pixels(static_cast<size_t>(fw) * fh);
    const bool repeat = rng() % 2 == 0;
    for (auto& p : pixels)
      p = repeat ? static_cast<uint8_t>(rng() % 2) : static_cast<uint8_t>(rng() % 8);
    if (rng() % 3 == 0) pixels.assign(pixels.size(), static_cast<uint8_t>(rng() % 8));
    const int transparent = rng() % 2 == 0 ? static_cast<int>(rng() % 8) : -1;
    if (rng() % 5 != 0)
      b.GraphicControl(static_cast<int>(rng() % 4), static_cast<int>(rng() % 4), transparent);
    if (!global || rng() % 3 == 0)
      b.Frame(fl, ft, fw, fh, pixels, 3, kColors);
    else
      b.Frame(fl, ft, fw, fh, pixels, 3);
  }
  b.Trailer();
  return b.Data();
}

TEST(GIFOptimize, RandomAnimationsShowTheSamePicturesAfterOptimising) {
  std::mt19937 rng(20261210);
  for (int round = 0; round < 400; ++round) {
    const TBytes bytes = RandomAnimation(rng);
    TGIFImage original;
    LoadGif(original, bytes);
    for (uint8_t options : {uint8_t(0x0F), uint8_t(opMerge | opCrop), uint8_t(opCleanup),
                            uint8_t(opColorMaps | opMerge)}) {
      TGIFImage optimised;
      LoadGif(optimised, bytes);
      optimised.OptimizeFrames(options, crNone, 8, dtNearest);
      ASSERT_EQ(Coalesce(optimised), Coalesce(original))
          << "round " << round << " options " << int(options);
      // And the result still makes a valid file that shows the same.
      TGIFImage reread;
      LoadGif(reread, SaveGif(optimised));
      ASSERT_EQ(Coalesce(reread), Coalesce(original)) << "round " << round << " saved";
    }
  }
}

TEST(GIFOptimize, IdenticalFramesMergeAndTheSecondIsCroppedAway) {
  const std::vector<uint8_t> pixels{1, 2, 3, 4};
  const TBytes bytes = TGifBuilder()
                           .Header(2, 2, kColors)
                           .GraphicControl(1, 20)
                           .Frame(0, 0, 2, 2, pixels, 3)
                           .GraphicControl(1, 30)
                           .Frame(0, 0, 2, 2, pixels, 3)
                           .Trailer()
                           .Data();
  TGIFImage image;
  LoadGif(image, bytes);
  image.OptimizeFrames(opMerge, crNone, 8, dtNearest);
  ASSERT_EQ(image.FrameCount(), 2);
  TGIFSubImage* second = image.Frame(1);
  ASSERT_TRUE(second->Transparent());
  for (int i = 0; i < 4; ++i) EXPECT_EQ(second->Pixels()[i], second->TransparentIndex());
  // The colour was added to the map, which had room.
  EXPECT_EQ(image.GlobalColorMap().Count(), 9);

  image.OptimizeFrames(opCrop, crNone, 8, dtNearest);
  ASSERT_EQ(image.FrameCount(), 1);
  EXPECT_EQ(image.Frame(0)->GraphicControlExtension()->DelayTime(), 50);
}

TEST(GIFOptimize, TrimmingKeepsVisiblePixelsInPlace) {
  std::vector<uint8_t> pixels(5 * 4, 0);
  pixels[1 * 5 + 2] = 3;
  pixels[2 * 5 + 3] = 4;
  TGIFImage image;
  LoadGif(image, TGifBuilder()
                     .Header(5, 4, kColors)
                     .GraphicControl(1, 0, 0)
                     .Frame(0, 0, 5, 4, pixels, 3)
                     .Trailer()
                     .Data());
  image.Frame(0)->TrimTransparentEdges();
  TGIFSubImage* f = image.Frame(0);
  EXPECT_EQ(f->FrameRect(), Rect(2, 1, 4, 3));
  EXPECT_EQ(f->PixelAt(0, 0), 3);
  EXPECT_EQ(f->PixelAt(1, 1), 4);
}

TEST(GIFOptimize, DisposalIsDroppedOnlyWhenTheNextFrameCoversThisOne) {
  struct Case {
    const char* name;
    TRect frame, next;
    bool nextTransparent;
    int expected;
  } cases[] = {
      {"next covers it exactly", Rect(0, 0, 4, 4), Rect(0, 0, 4, 4), false, 0},
      {"next covers it and more", Rect(1, 1, 3, 3), Rect(0, 0, 4, 4), false, 0},
      {"next lies inside it", Rect(0, 0, 4, 4), Rect(1, 1, 3, 3), false, 2},
      {"next covers it but is transparent", Rect(0, 0, 4, 4), Rect(0, 0, 4, 4), true, 2},
  };
  for (const Case& c : cases) {
    auto pixels = [](const TRect& r, uint8_t v) {
      return std::vector<uint8_t>(static_cast<size_t>(r.Width()) * r.Height(), v);
    };
    TGifBuilder b;
    b.Header(4, 4, kColors)
        .GraphicControl(2, 5)
        .Frame(c.frame.Left, c.frame.Top, c.frame.Width(), c.frame.Height(), pixels(c.frame, 1), 3);
    std::vector<uint8_t> next = pixels(c.next, 2);
    if (c.nextTransparent) {
      b.GraphicControl(0, 5, 7);
      next[0] = 7;
    }
    b.Frame(c.next.Left, c.next.Top, c.next.Width(), c.next.Height(), next, 3).Trailer();
    TGIFImage image;
    LoadGif(image, b.Data());
    image.OptimizeFrames(opCleanup, crNone, 8, dtNearest);
    EXPECT_EQ(image.Frame(0)->GraphicControlExtension()->DisposalMethod(), c.expected) << c.name;
  }
}

TEST(GIFOptimize, LoopingExtensionSurvivesOnlyInAnimations) {
  for (int frames : {1, 2}) {
    TGifBuilder b;
    b.Header(2, 2, kColors).Loop(0).Frame(0, 0, 2, 2, {1, 2, 3, 4}, 3);
    if (frames == 2) b.Frame(0, 0, 2, 2, {4, 3, 2, 1}, 3);
    TGIFImage image;
    LoadGif(image, b.Trailer().Data());
    image.OptimizeFrames(opCleanup, crNone, 8, dtNearest);
    EXPECT_EQ(image.Frame(0)->Extensions().ItemCount(), frames == 2 ? 1 : 0) << frames;
  }
}

TEST(GIFOptimize, TransparentIndexOfAnotherFrameIsReusedOnlyWhereItsColourIsAbsent) {
  // Frame 2 is transparent with index 5; frame 1 repeats a pixel of frame 0 but also shows
  // colour 5 itself, so it needs a transparent index of its own.
  const TBytes bytes = TGifBuilder()
                           .Header(2, 1, kColors)
                           .Frame(0, 0, 2, 1, {1, 2}, 3)
                           .Frame(0, 0, 2, 1, {1, 5}, 3)
                           .GraphicControl(0, 0, 5)
                           .Frame(0, 0, 2, 1, {5, 5}, 3)
                           .Trailer()
                           .Data();
  TGIFImage image;
  LoadGif(image, bytes);
  const auto before = Coalesce(image);
  image.OptimizeFrames(opMerge, crNone, 8, dtNearest);
  EXPECT_EQ(Coalesce(image), before);
  ASSERT_TRUE(image.Frame(1)->Transparent());
  EXPECT_NE(image.Frame(1)->TransparentIndex(), 5);
}

TEST(GIFOptimize, FullOrMissingColourMapsLeaveRepeatingFramesOpaque) {
  std::vector<TColor> full(256);
  for (int i = 0; i < 256; ++i) full[i] = MakeColor(static_cast<uint8_t>(i), 0, 0);
  struct Case {
    const char* name;
    std::vector<TColor> global, local;
  } cases[] = {{"full global map", full, {}}, {"full local map", {}, full}};
  for (const Case& c : cases) {
    TGifBuilder b;
    b.Header(2, 1, c.global);
    b.Frame(0, 0, 2, 1, {1, 2}, 8, c.local).Frame(0, 0, 2, 1, {1, 2}, 8, c.local).Trailer();
    TGIFImage image;
    LoadGif(image, b.Data());
    image.OptimizeFrames(opMerge, crNone, 8, dtNearest);
    EXPECT_FALSE(image.Frame(1)->Transparent()) << c.name;
    EXPECT_EQ(image.Frame(1)->PixelAt(0, 0), 1) << c.name;
  }
}

TEST(GIFOptimize, NoOptionsChangeNothingButStillReportProgress) {
  const TBytes bytes = TGifBuilder()
                           .Header(2, 2, kColors)
                           .Comment("x")
                           .Frame(0, 0, 2, 2, {1, 2, 3, 4}, 3)
                           .Trailer()
                           .Data();
  TGIFImage image;
  LoadGif(image, bytes);
  std::vector<TProgressStage> stages;
  image.OnProgress = [&](TObject*, TProgressStage s, uint8_t, bool, const TRect&,
                         const std::string& m) {
    if (m == "Optimizing...") stages.push_back(s);
  };
  image.OptimizeFrames(0, crNone, 8, dtNearest);
  EXPECT_EQ(stages, (std::vector<TProgressStage>{psStarting, psEnding}));
  EXPECT_EQ(image.Frame(0)->Extensions().ItemCount(), 1);
}

TEST(GIFOptimize, ReducingToACustomPaletteWithoutCleanupIsRefused) {
  TGIFImage image;
  LoadGif(image, TGifBuilder().Header(1, 1, kColors).Frame(0, 0, 1, 1, {1}, 3).Trailer().Data());
  try {
    image.OptimizeFrames(opReduceColors, crCustomPalette, 8, dtNearest);
    FAIL() << "no exception";
  } catch (const GIFException& e) {
    EXPECT_EQ(e.Message(), "Invalid reduction method");
  }
  EXPECT_NO_THROW(image.OptimizeFrames(opReduceColors | opCleanup, crCustomPalette, 8, dtNearest));
}

}  // namespace
