// The Windows half of bitmaps: the DIB section and the pixel block are one memory.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "framework/CanvasWin32.h"
#include "framework/Graphics.h"
#include "framework/HandlesWin32.h"

namespace {

TEST(BitmapHandleTest, IsADibSectionOfTheBitmapsDepthOverThePixelBlock) {
  struct {
    TPixelFormat Format;
    int Bits;
  } const cases[] = {{pf1bit, 1},   {pf4bit, 4},   {pf8bit, 8},
                     {pf16bit, 16}, {pf24bit, 24}, {pf32bit, 32}};
  for (const auto& c : cases) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(c.Format);
    bitmap.SetSize(13, 7);
    HBITMAP handle = BitmapHandle(&bitmap);
    ASSERT_NE(handle, nullptr) << c.Bits;
    DIBSECTION ds{};
    ASSERT_EQ(::GetObjectA(handle, sizeof(ds), &ds), static_cast<int>(sizeof(ds))) << c.Bits;
    EXPECT_EQ(ds.dsBm.bmBitsPixel, c.Bits);
    EXPECT_EQ(ds.dsBm.bmWidth, 13);
    EXPECT_EQ(ds.dsBm.bmHeight, 7);
    EXPECT_EQ(ds.dsBm.bmBits, bitmap.Bits()) << c.Bits << ": one memory for GDI and ScanLine";
    EXPECT_EQ(bitmap.ScanLine(0), static_cast<uint8_t*>(ds.dsBm.bmBits) + 6 * bitmap.RowBytes())
        << "row 0 is the last row in memory";
  }
}

TEST(BitmapHandleTest, ExistingPixelsMoveIntoTheSection) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(4, 4);
  bitmap.SetPixelColor(1, 2, clMaroon);
  TCanvas* canvas = bitmap.Canvas();
  EXPECT_EQ(canvas->Pixels(1, 2), clMaroon);
}

TEST(BitmapHandleTest, GdiDrawingIsReadThroughScanLine) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(8, 8);
  HDC dc = bitmap.Canvas()->Handle();
  ::SetPixelV(dc, 2, 3, RGB(10, 20, 30));
  const uint8_t* row = bitmap.ScanLine(3);
  EXPECT_EQ(row[2 * 4 + 0], 30);  // blue
  EXPECT_EQ(row[2 * 4 + 1], 20);  // green
  EXPECT_EQ(row[2 * 4 + 2], 10);  // red
}

TEST(BitmapHandleTest, ScanLineWritesAreSeenByGdi) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(8, 8);
  uint8_t* row = bitmap.ScanLine(5);
  row[3 * 3 + 0] = 0x11;
  row[3 * 3 + 1] = 0x22;
  row[3 * 3 + 2] = 0x33;
  EXPECT_EQ(::GetPixel(bitmap.Canvas()->Handle(), 3, 5), RGB(0x33, 0x22, 0x11));
}

TEST(BitmapHandleTest, ScanLinePointersStayValidWhileTheCanvasDraws) {
  // The skin painters keep row addresses while they also draw through the canvas.
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(6, 6);
  uint8_t* row0 = bitmap.ScanLine(0);
  bitmap.Canvas()->Brush()->SetColor(clBlue);
  bitmap.Canvas()->FillRect(Rect(0, 0, 6, 6));
  EXPECT_EQ(bitmap.ScanLine(0), row0);
  EXPECT_EQ(row0[0], 0xFF);
  EXPECT_EQ(row0[2], 0x00);
}

TEST(BitmapHandleTest, ResizingDropsTheOldSectionAndKeepsThePicture) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(4, 4);
  TCanvas* canvas = bitmap.Canvas();
  canvas->Brush()->SetColor(clGreen);
  canvas->FillRect(Rect(0, 0, 4, 4));
  HBITMAP before = BitmapHandle(&bitmap);
  bitmap.SetSize(10, 10);
  EXPECT_EQ(bitmap.PixelColor(3, 3), clGreen);
  EXPECT_EQ(bitmap.Canvas(), canvas) << "the canvas object stays";
  canvas->Brush()->SetColor(clRed);
  canvas->FillRect(Rect(8, 8, 10, 10));
  EXPECT_EQ(bitmap.PixelColor(9, 9), clRed);
  EXPECT_NE(BitmapHandle(&bitmap), nullptr);
  BITMAP bm{};
  EXPECT_EQ(::GetObjectA(before, sizeof(bm), &bm), 0) << "the old section is deleted";
}

TEST(BitmapHandleTest, PaletteChangesReachTheSection) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetSize(2, 2);
  bitmap.ScanLine(0)[0] = 1;
  ASSERT_NE(BitmapHandle(&bitmap), nullptr);
  TColorTable table = bitmap.Palette();
  table[1] = QuadFromColor(MakeColor(1, 200, 3));
  bitmap.SetPalette(table);
  EXPECT_EQ(bitmap.Canvas()->Pixels(0, 0), MakeColor(1, 200, 3));
}

TEST(BitmapHandleTest, TheHandleCanBeSelectedElsewhereWhileTheCanvasIsInUse) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(4, 4);
  bitmap.Canvas()->FillRect(Rect(0, 0, 4, 4));
  TDCHandle other(::CreateCompatibleDC(nullptr));
  HBITMAP handle = BitmapHandle(&bitmap);
  HGDIOBJ old = ::SelectObject(other.Get(), handle);
  EXPECT_NE(old, nullptr) << "a bitmap is selected into one DC at a time";
  ::SelectObject(other.Get(), old);
  bitmap.Canvas()->Brush()->SetColor(clLime);
  bitmap.Canvas()->FillRect(Rect(0, 0, 4, 4));
  EXPECT_EQ(bitmap.PixelColor(0, 0), clLime) << "the canvas takes its DC again";
}

TEST(BitmapHandleTest, SetHandleTakesOverADeviceDependentBitmap) {
  TWindowDC screen(nullptr);
  HBITMAP ddb = ::CreateCompatibleBitmap(screen.Get(), 5, 3);
  {
    TDCHandle dc(::CreateCompatibleDC(screen.Get()));
    TSelectObject select(dc.Get(), ddb);
    TGdiObject<HBRUSH> brush(::CreateSolidBrush(RGB(0, 0, 255)));
    RECT r{0, 0, 5, 3};
    ::FillRect(dc.Get(), &r, brush.Get());
  }
  TBitmap bitmap;
  SetBitmapHandle(&bitmap, ddb);
  EXPECT_EQ(bitmap.Width(), 5);
  EXPECT_EQ(bitmap.Height(), 3);
  EXPECT_EQ(bitmap.PixelColor(4, 2), clBlue);
  BITMAP bm{};
  EXPECT_EQ(::GetObjectA(ddb, sizeof(bm), &bm), 0) << "the bitmap deleted what it took over";
}

TEST(BitmapHandleTest, ReleaseHandleHandsTheSectionOverAndKeepsACopy) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(3, 3);
  bitmap.Fill(clPurple);
  HBITMAP released = ReleaseBitmapHandle(&bitmap);
  ASSERT_NE(released, nullptr);
  EXPECT_EQ(bitmap.PixelColor(1, 1), clPurple);
  bitmap.SetPixelColor(1, 1, clWhite);
  {
    TDCHandle dc(::CreateCompatibleDC(nullptr));
    TSelectObject select(dc.Get(), released);
    EXPECT_EQ(::GetPixel(dc.Get(), 1, 1), static_cast<COLORREF>(clPurple))
        << "the released section no longer follows the bitmap";
  }
  EXPECT_TRUE(::DeleteObject(released));
  EXPECT_NE(BitmapHandle(&bitmap), released);
}

TEST(BitmapHandleTest, DrawingOnTheCanvasReportsTheBitmapChanged) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(4, 4);
  bitmap.SetModified(false);
  int changes = 0;
  bitmap.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &bitmap);
    ++changes;
  };
  bitmap.Canvas()->FillRect(Rect(0, 0, 2, 2));
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(bitmap.Modified());
}

TEST(BitmapHandleTest, AnEmptyBitmapHasNoHandleButACanvas) {
  TBitmap bitmap;
  EXPECT_EQ(BitmapHandle(&bitmap), nullptr);
  TCanvas* canvas = bitmap.Canvas();
  EXPECT_NO_THROW(canvas->FillRect(Rect(0, 0, 10, 10)));
}

TEST(SystemColorTest, ColorToRgbReadsTheLiveSystemColours) {
  EXPECT_EQ(ColorToRGB(clBtnFace), static_cast<TColor>(::GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(ColorToRGB(clWindowText), static_cast<TColor>(::GetSysColor(COLOR_WINDOWTEXT)));
}

}  // namespace
