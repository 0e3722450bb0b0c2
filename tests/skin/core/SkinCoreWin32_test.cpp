// The GDI halves of the skin core: device-context drawing into 32-bit bitmaps, read back
// pixel by pixel (solid colours and positions only).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/CanvasWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/pixels/sTextPaintWin32.h"
#include "skin/core/pixels/skUtilsWin32.h"
#include "tests/skin/core/SkinTestBitmaps.h"

namespace {

uint32_t Rgb(uint32_t v) { return v & 0x00FFFFFFu; }

TEST(DCDrawing, SolidRectAndFrameFillTheirAreas) {
  auto bmp = MakeBitmap32(10, 10, 0xFFFFFFFF);
  HDC dc = bmp->Canvas()->Handle();
  PaintSolidRect(dc, Rect(2, 2, 5, 5), clRed);
  PaintSolidFrame(dc, Rect(5, 5, 10, 10), clBlue, 1, 1, 2, 2);
  EXPECT_EQ(Rgb(Px(*bmp, 2, 2)), 0xFF0000u);
  EXPECT_EQ(Rgb(Px(*bmp, 4, 4)), 0xFF0000u);
  EXPECT_EQ(Rgb(Px(*bmp, 5, 5)), 0x0000FFu);
  EXPECT_EQ(Rgb(Px(*bmp, 8, 6)), 0x0000FFu);  // right strip, 2 wide
  EXPECT_EQ(Rgb(Px(*bmp, 6, 6)), 0xFFFFFFu);  // inside the frame
  EXPECT_EQ(Rgb(Px(*bmp, 1, 1)), 0xFFFFFFu);
}

TEST(DCDrawing, Frame3DDrawsNestedFramesAndShrinksTheRectangle) {
  auto bmp = MakeBitmap32(10, 10, 0xFFFFFFFF);
  TRect r = Rect(0, 0, 10, 10);
  int width = 2;
  PaintFrame3D(bmp->Canvas()->Handle(), r, clRed, width, clBlue);
  EXPECT_EQ(r, Rect(2, 2, 8, 8));
  EXPECT_EQ(width, 0);
  EXPECT_EQ(Rgb(Px(*bmp, 0, 5)), 0xFF0000u);  // left edge, outer
  EXPECT_EQ(Rgb(Px(*bmp, 1, 5)), 0xFF0000u);  // left edge, inner
  EXPECT_EQ(Rgb(Px(*bmp, 9, 5)), 0x0000FFu);  // right edge
  EXPECT_EQ(Rgb(Px(*bmp, 5, 8)), 0x0000FFu);  // bottom edge, inner
  EXPECT_EQ(Rgb(Px(*bmp, 5, 5)), 0xFFFFFFu);
}

TEST(DCDrawing, DottedFrameMarksEveryThirdPixel) {
  auto bmp = MakeBitmap32(10, 10, 0xFFFFFFFF);
  DrawDottedFrame(bmp->Canvas(), Rect(0, 0, 10, 10), clBlue, clRed);
  EXPECT_EQ(Rgb(Px(*bmp, 3, 0)), 0xFF0000u);
  EXPECT_EQ(Rgb(Px(*bmp, 2, 0)), 0x0000FFu);
  EXPECT_EQ(Rgb(Px(*bmp, 6, 9)), 0xFF0000u);
  EXPECT_EQ(Rgb(Px(*bmp, 9, 3)), 0xFF0000u);
  EXPECT_EQ(Rgb(Px(*bmp, 4, 0)), 0xFFFFFFu);
}

TEST(DCDrawing, BorderFrameCopiesOnlyTheEdgeStrips) {
  auto source = MakeBitmap32(10, 10, 0xFFFF0000);
  auto dest = MakeBitmap32(10, 10, 0xFFFFFFFF);
  CopyBorderFrame(dest->Canvas()->Handle(), source->Canvas()->Handle(), 10, 10, 2);
  EXPECT_EQ(Rgb(Px(*dest, 0, 5)), 0xFF0000u);
  EXPECT_EQ(Rgb(Px(*dest, 5, 1)), 0xFF0000u);
  EXPECT_EQ(Rgb(Px(*dest, 9, 5)), 0xFF0000u);
  EXPECT_EQ(Rgb(Px(*dest, 5, 9)), 0xFF0000u);
  EXPECT_EQ(Rgb(Px(*dest, 5, 5)), 0xFFFFFFu);
}

TEST(Text, WrittenTextIsOpaqueInItsColourAndStaysInItsRectangle) {
  auto bmp = MakeBitmap32(60, 30, 0x00FFFFFF);
  DrawTextOnBitmap32(bmp.get(), "MMMM", clRed, DT_LEFT | DT_TOP | DT_SINGLELINE,
                     Rect(5, 5, 55, 25));
  int red = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) {
      const uint32_t p = Px(*bmp, x, y);
      const bool inside = x >= 5 && x < 55 && y >= 5 && y < 25;
      if (!inside) {
        ASSERT_EQ(p, 0x00FFFFFFu) << x << "," << y;
      } else if (p == 0xFFFF0000u) {
        ++red;
      }
    }
  EXPECT_GT(red, 0);
}

TEST(Text, GlowDarkensAroundTheTextAndKeepsItsMask) {
  auto bmp = MakeBitmap32(80, 40, 0xFFFFFFFF);
  std::unique_ptr<TBitmap> mask;
  PaintTextShadow(
      bmp.get(), "MMMM", Rect(10, 10, 70, 30),
      {.Color = clBlack, .Radius = 2, .Offsets = 15, .Format = DT_LEFT | DT_TOP | DT_SINGLELINE},
      mask);
  ASSERT_TRUE(mask);
  EXPECT_EQ(mask->Width(), 60 + 12);
  int darker = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 80; ++x) darker += Rgb(Px(*bmp, x, y)) != 0xFFFFFFu;
  EXPECT_GT(darker, 0);
  TBitmap* kept = mask.get();
  PaintTextShadow(bmp.get(), "MMMM", Rect(10, 10, 70, 30),
                  {.Color = clBlack, .Radius = 2, .Offsets = 15, .Format = 0}, mask);
  EXPECT_EQ(mask.get(), kept);
}

TEST(Text, MeasuresComeFromGdi) {
  TSize size;
  GetFontTextSize(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), "Kestrava", size);
  EXPECT_GT(size.cx, 0);
  EXPECT_GT(size.cy, 0);
  auto bmp = MakeBitmap32(4, 4);
  EXPECT_EQ(GetTextSize(bmp->Canvas(), "abc").cx, TextWidthOf(bmp->Canvas(), "abc"));
  const int full = TextWidthOf(bmp->Canvas(), "Kestrava");
  EXPECT_EQ(CutTextEllipsis(bmp->Canvas(), "Kestrava", full), "Kestrava");
  EXPECT_EQ(CutTextEllipsis(bmp->Canvas(), "Kestrava", 0), "");
  TRect r = Rect(0, 0, 0, 0);
  EXPECT_GT(DrawTextRect(bmp->Canvas()->Handle(), "abc", r, DT_CALCRECT | DT_SINGLELINE), 0);
  EXPECT_EQ(r.Width(), TextWidthOf(bmp->Canvas(), "abc"));
}

TEST(SystemSettings, CaptionFontIsReadFromTheSystem) {
  EXPECT_NE(CaptionFontHeight(), 0);
  TGdiObject<HFONT> font(CreateCaptionFont());
  EXPECT_TRUE(font.Valid());
}

TEST(LayeredWindows, FunctionsAreBoundAtRunTime) {
  EXPECT_TRUE(HasLayeredWindows());
  EXPECT_FALSE(CallSetLayeredWindowAttributes(nullptr, 0, 255, LWA_ALPHA));
}

// Paths name the same folder in long and in short form; what the system cannot resolve is
// handed back as given.
TEST(Paths, LongAndShortNamesOfAFolderRoundTrip) {
  char temp[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
  const std::string folder = std::string(temp) + "Kestrava long folder name";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string longForm = LongPathName(folder);
  const std::string shortForm = ShortPathName(folder);
  EXPECT_EQ(longForm.substr(longForm.size() - 25), "Kestrava long folder name");
  EXPECT_EQ(shortForm.find(' '), std::string::npos) << shortForm;
  EXPECT_EQ(LongPathName(shortForm), longForm);
  RemoveDirectoryA(folder.c_str());
  const std::string missing = "C:\\no such folder here\\x";
  EXPECT_EQ(LongPathName(missing), missing);
  EXPECT_EQ(ShortPathName(missing), missing);
  EXPECT_EQ(LongPathName(""), "");
}

TEST(IconicPreview, TheProgramsFlagFollowsEvenWithoutComposition) {
  HWND wnd =
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  EnableIconicPreview(wnd, true);
  EXPECT_TRUE(IconicPreviewEnabled);
  EnableIconicPreview(wnd, false);
  EXPECT_FALSE(IconicPreviewEnabled);
  DestroyWindow(wnd);
}

}  // namespace
