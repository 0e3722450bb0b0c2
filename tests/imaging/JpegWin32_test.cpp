#include "imaging/Jpeg.h"

#include <gtest/gtest.h>

#include "framework/CanvasWin32.h"
#include "tests/imaging/JpegTestFiles.h"

namespace {

TEST(JpegImageTest, DrawsOntoACanvas) {
  TJPEGImage image;
  Load(image, RedBlueJpeg());
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(40, 20);
  target.Canvas()->Draw(4, 2, &image);
  ExpectNear(target.PixelColor(4 + 3, 2 + 8), clRed, "left half");
  ExpectNear(target.PixelColor(4 + 28, 2 + 8), clBlue, "right half");
  EXPECT_EQ(target.PixelColor(37, 19), clBlack) << "outside the image";
}

}  // namespace
