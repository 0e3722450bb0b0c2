// Damaged PNG data through both loaders: truncations, bit flips with repaired CRCs, huge
// lengths and sizes. Every outcome must be an image or one of our exceptions; the
// sanitizers catch anything worse. Fixed seeds, so a failure repeats.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "imaging/pngimage.h"
#include "imaging/skPNG.h"
#include "tests/imaging/PngCorruptionCases.h"
#include "tests/imaging/PngTestFiles.h"

using namespace pngtest;

TEST(PngCorruptionTest, BothLoadersSurviveDamagedFiles) {
  const PngShape shapes[] = {
      {9, 7, 8, 6, 1}, {5, 4, 2, 3, 0}, {6, 5, 16, 0, 1}, {3, 3, 16, 4, 0}, {8, 2, 1, 0, 0}};
  std::mt19937 random(20261210);
  size_t cases = 0;
  for (const PngShape& s : shapes) {
    Options o;
    o.before = {{"gAMA", std::string("\0\0\xb1\x8f", 4)},
                {"tRNS", s.colorType == 3 ? std::string("\x10\x20", 2) : std::string()},
                {"tEXt", std::string("k\0v", 3)}};
    o.idatSplit = 16;
    const std::string original = MakePng(s, o);
    for (const std::string& damaged : DamagedVariants(original, random, 300)) {
      ++cases;
      EXPECT_TRUE(LoadsOrRefuses(damaged)) << "case " << cases;
    }
  }
  EXPECT_GT(cases, 1000u);
}
