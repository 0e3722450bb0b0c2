// Damaged GIF data, made by a fixed-seed mutator so every run checks the same files.
#include <gtest/gtest.h>

#include <cstddef>
#include <random>

#include "imaging/GIFImage.h"
#include "tests/imaging/GifExercise.h"
#include "tests/imaging/GifTestFiles.h"

namespace {

TEST(GIFCorruption, DamagedFilesLoadRenderOptimiseAndSaveWithoutFaults) {
  std::mt19937 rng(1210);
  const auto seeds = GifSeedFiles();
  for (int round = 0; round < 600; ++round) {
    std::vector<uint8_t> bytes = seeds[rng() % seeds.size()];
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits && !bytes.empty(); ++e) {
      const size_t at = rng() % bytes.size();
      switch (rng() % 4) {
        case 0:
          bytes[at] = static_cast<uint8_t>(rng());
          break;
        case 1:
          bytes.resize(at);
          break;
        case 2:
          bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                       static_cast<uint8_t>(rng()));
          break;
        default:
          bytes[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
          break;
      }
    }
    ExerciseGifBytes(bytes.data(), bytes.size());
  }
  SUCCEED();
}

TEST(GIFCorruption, HugeDescriptorsAreRefusedBeforeAllocating) {
  // A 65535 x 65535 frame in a file of a few dozen bytes.
  std::vector<uint8_t> bytes{'G', 'I', 'F', '8', '9', 'a',  1,    0,    1,    0, 0, 0, 0,
                             ',', 0,   0,   0,   0,   0xFF, 0xFF, 0xFF, 0xFF, 0, 2, 0, ';'};
  ExerciseGifBytes(bytes.data(), bytes.size());
  TGIFImage image;
  EXPECT_THROW(LoadGif(image, bytes), GIFException);
}

TEST(GIFCorruption, FramesOfOneFileShareOnePixelBudget) {
  // Frames with data that could fill them (an end code, then 30 KB of sub-blocks the decoder
  // skips) still share one budget: one frame of 2^28 pixels is allowed, twenty of them are
  // not; up to the budget exactly, the pixels of all frames together load.
  TBytes padded = PackCodes(2, {4, 5}, 3);
  padded.pop_back();
  for (int i = 0; i < 120; ++i) {
    padded.push_back(255);
    padded.insert(padded.end(), 255, 0);
  }
  padded.push_back(0);
  struct TCase {
    std::vector<std::pair<int, int>> frames;
    bool loads;
  };
  const TCase cases[] = {
      {std::vector<std::pair<int, int>>(20, {16384, 16384}), false},
      {{{16384, 16383}, {128, 128}}, true},
      {{{16384, 16383}, {128, 128}, {1, 1}}, false},
  };
  for (const TCase& c : cases) {
    TGifBuilder b;
    b.Header(16384, 16384, {clBlack, clWhite});
    for (const auto& [w, h] : c.frames) b.RawFrame(0, 0, w, h, padded);
    const TBytes bytes = b.Trailer().Data();
    TGIFImage image;
    if (c.loads) {
      LoadGif(image, bytes);
      EXPECT_EQ(image.FrameCount(), static_cast<int>(c.frames.size()));
    } else {
      EXPECT_THROW(LoadGif(image, bytes), EOutOfMemory) << c.frames.size() << " frames";
    }
  }
}

TEST(GIFCorruption, FramesLargerThanTheirDataCanFillAreRefusedBeyondASmallAllowance) {
  // Two codes (clear, end) in one byte can stand for three codes of 4096 pixels at most;
  // beyond that the file may leave 2^20 pixels of all its frames unfilled, no more. A frame
  // is refused before its buffer is allocated.
  const TBytes noPixels = PackCodes(2, {4, 5}, 3);
  const int64_t deliverable = 3 * kMaxGIFPixelsPerCode;
  const int edgeWidth = static_cast<int>((kMaxGIFUnbackedPixels + deliverable) / 1024);
  ASSERT_EQ(int64_t{edgeWidth} * 1024, kMaxGIFUnbackedPixels + deliverable);
  struct TCase {
    const char* what;
    std::vector<std::pair<int, int>> frames;
    bool loads;
  };
  const TCase cases[] = {
      {"a frame at the allowance", {{edgeWidth, 1024}}, true},
      {"a frame one row beyond", {{edgeWidth, 1025}}, false},
      {"a frame one column beyond", {{edgeWidth + 1, 1024}}, false},
      {"two frames sharing the allowance", {{1024, 512}, {1024, 512}}, true},
      {"two frames beyond it together", {{edgeWidth, 1024}, {128, 128}}, false},
  };
  for (const TCase& c : cases) {
    TGifBuilder b;
    b.Header(16384, 16384, {clBlack, clWhite});
    for (const auto& [w, h] : c.frames) b.RawFrame(0, 0, w, h, noPixels);
    const TBytes bytes = b.Trailer().Data();
    TGIFImage image;
    if (c.loads)
      EXPECT_NO_THROW(LoadGif(image, bytes)) << c.what;
    else
      EXPECT_THROW(LoadGif(image, bytes), GIFException) << c.what;
  }

  // A file cut off early in a frame of 2^28 pixels, 230 bytes in all.
  TBytes cut = TGifBuilder()
                   .Header(16384, 16384, {clBlack, clWhite})
                   .RawFrame(0, 0, 16384, 16383, PackCodes(2, std::vector<int>(600, 1), 3))
                   .Data();
  cut.erase(cut.begin() + 230, cut.end());
  TGIFImage image;
  EXPECT_THROW(LoadGif(image, cut), GIFException);
}

TEST(GIFCorruption, APictureOfTheWholeScreenIsRefusedWhenTheScreenIsFarLargerThanItsFrames) {
  // A one-pixel frame on screens at and beyond the allowance: drawing costs what is drawn,
  // a picture of the whole screen is refused before its bitmap is allocated.
  const TBytes onePixel = PackCodes(2, {4, 1, 5}, 3);
  struct TCase {
    int width, height;
    bool copies;
  };
  const TCase cases[] = {{1024, 1024, true}, {1024, 1025, false}, {16384, 16384, false}};
  for (const TCase& c : cases) {
    const TBytes bytes = TGifBuilder()
                             .Header(c.width, c.height, {clBlack, clWhite})
                             .RawFrame(0, 0, 1, 1, onePixel)
                             .Trailer()
                             .Data();
    TGIFImage image;
    LoadGif(image, bytes);
    TBitmap canvas;
    canvas.SetPixelFormat(pf24bit);
    canvas.SetSize(64, 48);
    EXPECT_NO_THROW(image.DrawOn(canvas, Rect(0, 0, 64, 48))) << c.height;
    TBitmap copy;
    if (c.copies) {
      copy.Assign(&image);
      EXPECT_EQ(copy.Width(), c.width);
    } else {
      EXPECT_THROW(copy.Assign(&image), EOutOfMemory) << c.width << " x " << c.height;
    }
  }
}

}  // namespace
