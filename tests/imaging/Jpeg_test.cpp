#include "imaging/Jpeg.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "tests/imaging/JpegTestFiles.h"

namespace {

TEST(JpegImageTest, DecodesSizeAndColours) {
  TJPEGImage image;
  Load(image, RedBlueJpeg());
  EXPECT_FALSE(image.Empty());
  EXPECT_EQ(image.Width(), 32);
  EXPECT_EQ(image.Height(), 16);
  EXPECT_EQ(image.Bitmap()->PixelFormat(), pf24bit);
  ExpectNear(image.Bitmap()->PixelColor(3, 8), clRed, "left half");
  ExpectNear(image.Bitmap()->PixelColor(28, 8), clBlue, "right half");
}

TEST(JpegImageTest, GreyscaleFilesDecodeAsGrey) {
  TJPEGImage image;
  Load(image, CompressJpeg(8, 8, true, [](int, int) { return 0x80; }));
  ExpectNear(image.Bitmap()->PixelColor(4, 4), MakeColor(0x80, 0x80, 0x80), "grey");
}

TEST(JpegImageTest, RowsComeOutTopDown) {
  TJPEGImage image;
  Load(image, CompressJpeg(16, 32, false, [](int, int y) { return y < 16 ? clLime : clBlack; }));
  ExpectNear(image.Bitmap()->PixelColor(8, 2), clLime, "top");
  ExpectNear(image.Bitmap()->PixelColor(8, 29), clBlack, "bottom");
}

TEST(JpegImageTest, SavingWritesTheLoadedFileBack) {
  const std::vector<uint8_t> file = RedBlueJpeg();
  TJPEGImage image;
  Load(image, file);
  TMemoryStream saved;
  image.SaveToStream(saved);
  EXPECT_EQ(std::vector<uint8_t>(saved.Memory(), saved.Memory() + saved.Size()), file);
}

TEST(JpegImageTest, ForeignOrBrokenDataRaisesAndLeavesTheImageEmpty) {
  const std::vector<uint8_t> good = RedBlueJpeg();
  struct {
    const char* Name;
    std::vector<uint8_t> File;
  } const cases[] = {
      {"empty", {}},
      {"text", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}},
      {"only the start marker", {0xFF, 0xD8}},
      {"cut inside the header", std::vector<uint8_t>(good.begin(), good.begin() + 40)},
  };
  for (const auto& c : cases) {
    TJPEGImage image;
    Load(image, good);
    EXPECT_THROW(Load(image, c.File), EInvalidGraphic) << c.Name;
    EXPECT_TRUE(image.Empty()) << c.Name;
    EXPECT_EQ(image.Width(), 0) << c.Name;
  }
}

TEST(JpegImageTest, AHeaderClaimingAHugeImageIsRefusedWithoutTakingTheMemory) {
  std::vector<uint8_t> file = RedBlueJpeg();
  // The frame header (FFC0): length, precision, then height and width, big-endian.
  size_t sof = 2;
  while (sof + 9 < file.size() && !(file[sof] == 0xFF && file[sof + 1] == 0xC0)) ++sof;
  ASSERT_LT(sof + 9, file.size());
  file[sof + 5] = 0xFD;  // height 65000
  file[sof + 6] = 0xE8;
  file[sof + 7] = 0xFD;  // width 65000
  file[sof + 8] = 0xE8;
  TJPEGImage image;
  Load(image, RedBlueJpeg());
  EXPECT_THROW(Load(image, file), Exception);
  EXPECT_TRUE(image.Empty());
}

TEST(JpegImageTest, AFileCutInItsImageDataShowsWhatIsThere) {
  // Busy rows below the first ones, so most of the file is image data.
  const std::vector<uint8_t> good = CompressJpeg(64, 128, false, [](int x, int y) {
    return y < 16 ? clYellow : MakeColor((x * 37 + y * 11) & 0xFF, (x * y) & 0xFF, (x ^ y) & 0xFF);
  });
  TJPEGImage image;
  Load(image, std::vector<uint8_t>(good.begin(), good.end() - good.size() / 3));
  EXPECT_EQ(image.Height(), 128);
  ExpectNear(image.Bitmap()->PixelColor(8, 1), clYellow, "first rows");
}

TEST(JpegImageTest, SizeCannotBeSet) {
  TJPEGImage image;
  EXPECT_THROW(image.SetWidth(10), EInvalidGraphicOperation);
  EXPECT_THROW(image.SetHeight(10), EInvalidGraphicOperation);
}

TEST(JpegImageTest, BitmapAndJpegCopiesTakeThePixels) {
  TJPEGImage image;
  Load(image, RedBlueJpeg());
  TBitmap bitmap;
  bitmap.Assign(&image);
  EXPECT_EQ(bitmap.Width(), 32);
  ExpectNear(bitmap.PixelColor(28, 8), clBlue, "bitmap copy");

  TJPEGImage copy;
  copy.Assign(&image);
  EXPECT_EQ(copy.Height(), 16);
  ExpectNear(copy.Bitmap()->PixelColor(3, 3), clRed, "jpeg copy");
}

TEST(JpegImageTest, PicturesOpenJpgAndJpegFilesAsJpegImages) {
  EXPECT_EQ(TPicture::FileFormatFor(".JPG"), TJPEGImage::StaticClassInfo());
  EXPECT_EQ(TPicture::FileFormatFor("jpeg"), TJPEGImage::StaticClassInfo());

  const char* binary = std::getenv("KESTRAVA_BINARY_DIR");
  const std::filesystem::path path =
      std::filesystem::path(binary ? binary : ".") / "jpeg-test-picture.JPEG";
  {
    const std::vector<uint8_t> file = RedBlueJpeg();
    TFileStream out(path.string(), fmCreate);
    out.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
  }
  TPicture picture;
  picture.LoadFromFile(path.string());
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_TRUE(picture.Graphic()->Is<TJPEGImage>());
  EXPECT_EQ(picture.Width(), 32);
  std::filesystem::remove(path);
}


}  // namespace
