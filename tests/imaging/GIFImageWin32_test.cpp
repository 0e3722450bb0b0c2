// The GIF picture on Windows: drawing on a device context and the clipboard.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/CanvasWin32.h"
#include "imaging/GIFImage.h"
#include "tests/imaging/GifTestFiles.h"

namespace {

const std::vector<TColor> kColors{clBlack, clWhite, clRed, clBlue};

std::unique_ptr<TBitmap> Surface(int w, int h) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(w, h);
  b->Fill(clLime);
  return b;
}

TEST(GIFImageWin32, DrawingOnACanvasStretchesAndKeepsTransparentPixels) {
  TGIFImage image;
  image.SetPaintFlags(dfTransparent);
  LoadGif(image, TGifBuilder()
                     .Header(2, 1, kColors)
                     .GraphicControl(0, 0, 0)
                     .Frame(0, 0, 2, 1, {0, 2}, 2)
                     .Trailer()
                     .Data());
  auto surface = Surface(8, 4);
  surface->Canvas()->StretchDraw(Rect(0, 0, 8, 4), &image);
  EXPECT_EQ(surface->Canvas()->Pixels(1, 1), clLime);
  EXPECT_EQ(surface->Canvas()->Pixels(6, 2), clRed);
}

TEST(GIFImageWin32, ClipboardCarriesTheBitmapAndTheWholeFile) {
  ASSERT_NE(ClipboardFormatGIF, 0u);
  TGIFImage image;
  TGifBuilder b;
  b.Header(2, 1, kColors);
  for (uint8_t i = 0; i < 3; ++i) b.GraphicControl(1, 5).Frame(0, 0, 2, 1, {i, 3}, 2);
  LoadGif(image, b.Trailer().Data());
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  uint16_t format = 0;
  void* data = nullptr;
  void* palette = nullptr;
  image.SaveToClipboardFormat(format, data, palette);
  EXPECT_EQ(format, CF_BITMAP);
  ASSERT_NE(data, nullptr);
  ::SetClipboardData(format, static_cast<HANDLE>(data));
  ::CloseClipboard();

  ASSERT_TRUE(::OpenClipboard(nullptr));
  EXPECT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_TRUE(::IsClipboardFormatAvailable(ClipboardFormatGIF));
  TGIFImage pasted;
  pasted.LoadFromClipboardFormat(static_cast<uint16_t>(ClipboardFormatGIF), nullptr, nullptr);
  ::CloseClipboard();
  ASSERT_EQ(pasted.FrameCount(), 3);
  EXPECT_EQ(pasted.Frame(2)->PixelAt(0, 0), 2);
}

TEST(GIFImageWin32, UnknownClipboardFormatIsRefused) {
  TGIFImage image;
  try {
    image.LoadFromClipboardFormat(CF_TEXT, nullptr, nullptr);
    FAIL();
  } catch (const GIFException& e) {
    EXPECT_EQ(e.Message(), "Format der Zwischenablage wird nicht unterstützt");
  }
}

}  // namespace
