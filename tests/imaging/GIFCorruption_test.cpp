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
  EXPECT_THROW(LoadGif(image, bytes), EOutOfMemory);
}

TEST(GIFCorruption, FramesOfOneFileShareOnePixelBudget) {
  // Frames that code no pixels still ask for width x height bytes each: a few hundred bytes
  // can ask for gigabytes. One frame of 2^28 pixels is allowed, twenty of them are not; up
  // to the budget exactly, the pixels of all frames together load.
  const TBytes noPixels = PackCodes(2, {4, 5}, 3);
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
    for (const auto& [w, h] : c.frames) b.RawFrame(0, 0, w, h, noPixels);
    const TBytes bytes = b.Trailer().Data();
    EXPECT_LT(bytes.size(), 400u);
    TGIFImage image;
    if (c.loads) {
      LoadGif(image, bytes);
      EXPECT_EQ(image.FrameCount(), static_cast<int>(c.frames.size()));
    } else {
      EXPECT_THROW(LoadGif(image, bytes), EOutOfMemory) << c.frames.size() << " frames";
    }
  }
}

}  // namespace
