// Colour maps: file layout, lookups, growth and re-ordering by use.
#include <gtest/gtest.h>

#include "imaging/GIFImage.h"
#include "tests/imaging/GifTestFiles.h"

namespace {

TEST(GIFColorMap, WrittenTableIsPaddedToAPowerOfTwoWithBlack) {
  struct Case {
    int colors;
    size_t entries;
  } cases[] = {{1, 2}, {2, 2}, {3, 4}, {5, 8}, {129, 256}};
  for (const Case& c : cases) {
    TGIFImage image;
    TGIFGlobalColorMap& map = image.GlobalColorMap();
    for (int i = 0; i < c.colors; ++i)
      map.AppendColor(MakeColor(200, 100, static_cast<uint8_t>(i)));
    TMemoryStream stream;
    map.WriteEntries(stream);
    const TBytes bytes = BytesOf(stream);
    ASSERT_EQ(bytes.size(), 3 * c.entries) << c.colors;
    for (size_t i = static_cast<size_t>(c.colors); i < c.entries; ++i)
      EXPECT_EQ(bytes[3 * i] | bytes[3 * i + 1] | bytes[3 * i + 2], 0) << c.colors;
    EXPECT_EQ(bytes[0], 200);
  }
}

TEST(GIFColorMap, LookupOrderDependsOnSorting) {
  TGIFImage image;
  const std::vector<TColor> colors{clBlack, clWhite,  clRed,  clBlue,
                                   clLime,  clYellow, clAqua, clWhite};
  TBytes bytes =
      TGifBuilder().Header(2, 2, {}).Frame(0, 0, 2, 2, {7, 7, 7, 1}, 3, colors).Trailer().Data();
  LoadGif(image, bytes);
  TGIFColorMap& map = image.Frame(0)->ColorMap();
  EXPECT_EQ(map.IndexOfColor(clWhite), 7);
  EXPECT_EQ(map.IndexOfColor(clFuchsia), -1);
  ASSERT_TRUE(map.SortByUsage());
  EXPECT_TRUE(map.Sorted());
  EXPECT_EQ(map.IndexOfColor(clWhite), 0);
}

TEST(GIFColorMap, SortingByUseDropsUnusedColoursAndRenumbersPixels) {
  TGIFImage image;
  const std::vector<TColor> colors{clBlack, clWhite, clRed, clBlue};
  LoadGif(image, TGifBuilder()
                     .Header(4, 1, colors)
                     .GraphicControl(0, 0, 1)
                     .Frame(0, 0, 4, 1, {2, 2, 2, 1})
                     .Trailer()
                     .Data());
  TGIFSubImage* frame = image.Frame(0);
  ASSERT_TRUE(image.GlobalColorMap().OptimizeOrder());
  EXPECT_EQ(image.GlobalColorMap().Count(), 2);
  EXPECT_EQ(image.GlobalColorMap().ColorAt(0), clRed);
  EXPECT_EQ(image.GlobalColorMap().ColorAt(1), clWhite);
  EXPECT_EQ(std::vector<uint8_t>(frame->Pixels(), frame->Pixels() + 4),
            (std::vector<uint8_t>{0, 0, 0, 1}));
  // The transparent index followed its colour.
  EXPECT_EQ(frame->TransparentIndex(), 1);
}

TEST(GIFColorMap, MapAlreadyInUseOrderKeepsItsUnusedColours) {
  TGIFImage image;
  const std::vector<TColor> colors{clBlack, clWhite, clRed, clBlue};
  LoadGif(
      image,
      TGifBuilder().Header(6, 1, colors).Frame(0, 0, 6, 1, {0, 0, 0, 1, 1, 2}).Trailer().Data());
  ASSERT_TRUE(image.GlobalColorMap().OptimizeOrder());
  EXPECT_EQ(image.GlobalColorMap().Count(), 4);
}

TEST(GIFColorMap, CapacityGrowth) {
  const std::pair<int, int> cases[] = {{1, 16},  {16, 16},   {17, 32},
                                       {33, 64}, {250, 256}, {256, 256}};
  for (auto [n, capacity] : cases) {
    TGIFImage image;
    image.GlobalColorMap().GrowCapacity(n);
    EXPECT_EQ(image.GlobalColorMap().Capacity(), capacity) << n;
  }
}

TEST(GIFColorMap, ErrorsAndWarnings) {
  TGIFImage image;
  std::vector<std::string> warnings;
  image.OnGIFWarning = [&](TObject*, int, const std::string& m) { warnings.push_back(m); };
  TGIFGlobalColorMap& map = image.GlobalColorMap();
  try {
    map.ColorAt(0);
    ADD_FAILURE();
  } catch (const GIFException& e) {
    EXPECT_EQ(e.Message(), "Color table is empty");
  }
  map.AppendColor(clRed);
  EXPECT_EQ(map.ColorAt(5), clRed);
  EXPECT_EQ(warnings, std::vector<std::string>{"Invalid color index"});
  try {
    map.RemoveColor(3);
    ADD_FAILURE();
  } catch (const GIFException& e) {
    EXPECT_EQ(e.Message(), "Invalid color index");
  }
  for (int i = 1; i < 256; ++i) map.AppendColor(MakeColor(0, 0, static_cast<uint8_t>(i)));
  try {
    map.AppendColor(clWhite);
    ADD_FAILURE();
  } catch (const GIFException& e) {
    EXPECT_EQ(e.Message(), "Color table overflow");
  }
  TMemoryStream shortTable = StreamOf({1, 2, 3, 4});
  try {
    map.ReadEntries(shortTable, 2);
    ADD_FAILURE();
  } catch (const GIFException& e) {
    EXPECT_EQ(e.Message(), "Premature end of data");
  }
}

}  // namespace
