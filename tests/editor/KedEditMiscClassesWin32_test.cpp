// The Win32 half of the gutter pictures and gradient, drawn into bitmaps.
#include <gtest/gtest.h>

#include "editor/KedEditMiscClasses.h"
#include "editor/KedEditMiscProcs.h"

namespace {

std::unique_ptr<TBitmap> Filled(int width, int height, TColor color) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(width, height);
  bitmap->Fill(color);
  return bitmap;
}

}  // namespace

TEST(KedEditGutterPainting, StepGradientFillsBandsFromStartToEndColour) {
  auto target = Filled(40, 10, clWhite);
  PaintStepGradient(target->Canvas(), clBlack, clRed, 4, Rect(0, 0, 40, 10), true);
  EXPECT_EQ(target->PixelColor(0, 5), clBlack);
  EXPECT_EQ(target->PixelColor(12, 5), static_cast<TColor>(0x000055));
  EXPECT_EQ(target->PixelColor(25, 0), static_cast<TColor>(0x0000AA));
  EXPECT_EQ(target->PixelColor(39, 9), clRed);
}

TEST(KedEditGutterPainting, GlyphIsCopiedTransparentlyInItsMaskColour) {
  TKedGlyph glyph;
  auto picture = Filled(4, 4, clLime);
  picture->SetPixelColor(1, 1, clBlue);
  glyph.SetGlyph(picture.get());
  glyph.SetMaskColor(clLime);
  auto target = Filled(10, 10, clWhite);
  glyph.DrawGlyph(target->Canvas(), 2, 0, 10);  // centred: 3 rows down
  EXPECT_EQ(target->PixelColor(3, 4), clBlue);
  EXPECT_EQ(target->PixelColor(2, 3), clWhite) << "the mask colour stays transparent";
  EXPECT_EQ(target->PixelColor(3, 2), clWhite);
}

TEST(KedEditGutterPainting, InternalImageDrawsOneCellOfItsStrip) {
  SetKedBitmapResourceLoader([](const std::string&) {
    auto strip = Filled(6, 2, clRed);
    for (int y = 0; y < 2; ++y)
      for (int x = 3; x < 6; ++x) strip->SetPixelColor(x, y, clBlue);
    return strip;
  });
  {
    TKedInternalImage images(2, "strip");
    auto target = Filled(8, 8, clWhite);
    images.DrawCell(target->Canvas(), 1, 1, 1, 4);
    EXPECT_EQ(target->PixelColor(1, 2), clBlue);
    EXPECT_EQ(target->PixelColor(3, 3), clBlue);
    EXPECT_EQ(target->PixelColor(4, 2), clWhite);
    EXPECT_EQ(target->PixelColor(1, 1), clWhite);
  }
  SetKedBitmapResourceLoader(nullptr);
}

TEST(KedEditGutterPainting, MissingBitmapResourceIsReported) {
  try {
    LoadKedBitmapResource("KedEditNoSuchPicture");
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Resource KedEditNoSuchPicture not found");
  }
}
