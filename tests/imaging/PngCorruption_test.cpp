// Damaged PNG data through both loaders: truncations, bit flips with repaired CRCs, huge
// lengths and sizes. Every outcome must be an image or one of our exceptions; the
// sanitizers catch anything worse. Fixed seeds, so a failure repeats.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "imaging/pngimage.h"
#include "imaging/pnglang.h"
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

namespace {

// The message a loader raises for the bytes; "" when they load.
template <class TLoader>
std::string LoadMessage(const std::string& data) {
  TLoader loader;
  TMemoryStream stream;
  stream.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
  stream.SetPosition(0);
  try {
    loader.LoadFromStream(stream);
  } catch (const Exception& e) {
    return e.Message();
  }
  return "";
}

}  // namespace

TEST(PngCorruptionTest, BothLoadersRefuseImageDataThatEndsBeforeTheLastRow) {
  const PngShape small{4, 6, 8, 2, 0};
  const PngShape large{4096, 4096, 8, 2, 0};
  const std::string compressed = Zlib(FilteredData(small));
  const std::string end = Chunk("IEND", "");
  auto file = [&](const PngShape& shape, const std::string& idats, const std::string& tail) {
    return Signature() + Chunk("IHDR", IhdrData(shape)) + idats + tail;
  };
  const std::string missing = "Cannot load image. Image data missing in PNG file.";
  struct Case {
    const char* what;
    std::string png;
    std::string graphicMessage;  // TPNGGraphic's; TPNGObject always says parts are missing
  };
  const Case cases[] = {
      {"the only IDAT is empty", file(small, Chunk("IDAT", ""), end), missing},
      {"a 2-byte stream for 4096 x 4096", file(large, Chunk("IDAT", "\x78\x9c"), end), missing},
      // The reader of the skin engine reads the next chunk header first.
      {"the file ends after a 2-byte stream", file(large, Chunk("IDAT", "\x78\x9c"), ""),
       "Stream read error"},
      {"the first part of the data", file(small, Chunk("IDAT", compressed.substr(0, 12)), end),
       missing},
      {"a complete stream of two rows",
       file(small, Chunk("IDAT", Zlib(FilteredData(small).substr(0, 2 * 13))), end), missing},
      {"empty IDATs only", file(small, Chunk("IDAT", "") + Chunk("IDAT", ""), end), missing},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(LoadMessage<TPNGGraphic>(c.png), c.graphicMessage);
    EXPECT_EQ(LoadMessage<TPNGObject>(c.png), EPNGMissingMultipleIDATText);
  }
  // The whole data still loads in both.
  const std::string whole = file(small, Chunk("IDAT", compressed), end);
  EXPECT_EQ(LoadMessage<TPNGGraphic>(whole), "");
  EXPECT_EQ(LoadMessage<TPNGObject>(whole), "");
}
