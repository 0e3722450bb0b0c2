#include "framework/CanvasWin32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "tests/support/ScreenshotWin32.h"

namespace {
// ---------------------------------------------------------------- canvas on a bitmap

class CanvasOnBitmap : public ::testing::Test {
 protected:
  void SetUp() override {
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(40, 30);
    canvas = bitmap.Canvas();
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(Rect(0, 0, 40, 30));
  }
  // Pixels of the rectangle whose colour is not white.
  int ChangedPixels(const TRect& r) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (bitmap.PixelColor(x, y) != clWhite) ++n;
    return n;
  }

  TBitmap bitmap;
  TCanvas* canvas = nullptr;
};

TEST_F(CanvasOnBitmap, FillRectPaintsTheBrushColourIntoThePixels) {
  struct {
    TColor Brush, Expected;
  } const cases[] = {{clRed, clRed}, {clTeal, clTeal}, {clBtnFace, ColorToRGB(clBtnFace)}};
  for (const auto& c : cases) {
    canvas->Brush()->SetColor(c.Brush);
    canvas->FillRect(Rect(5, 5, 15, 12));
    EXPECT_EQ(bitmap.PixelColor(5, 5), c.Expected);
    EXPECT_EQ(bitmap.PixelColor(14, 11), c.Expected);
    EXPECT_EQ(bitmap.PixelColor(15, 11), clWhite) << "right edge is exclusive";
    EXPECT_EQ(bitmap.PixelColor(14, 12), clWhite) << "bottom edge is exclusive";
  }
}

TEST_F(CanvasOnBitmap, FrameRectPaintsOnlyTheBorder) {
  canvas->Brush()->SetColor(clBlue);
  canvas->FrameRect(Rect(2, 2, 12, 12));
  EXPECT_EQ(bitmap.PixelColor(2, 2), clBlue);
  EXPECT_EQ(bitmap.PixelColor(11, 11), clBlue);
  EXPECT_EQ(bitmap.PixelColor(6, 6), clWhite);
}

TEST_F(CanvasOnBitmap, PenLinePaintsItsRowUpToTheEndPoint) {
  canvas->Pen()->SetColor(clBlue);
  canvas->MoveTo(0, 10);
  canvas->LineTo(20, 10);
  EXPECT_EQ(bitmap.PixelColor(0, 10), clBlue);
  EXPECT_EQ(bitmap.PixelColor(19, 10), clBlue);
  EXPECT_EQ(bitmap.PixelColor(20, 10), clWhite) << "the end point is not drawn";
  EXPECT_EQ(ChangedPixels(Rect(0, 0, 40, 10)) + ChangedPixels(Rect(0, 11, 40, 30)), 0);
  EXPECT_EQ(canvas->PenPos(), Point(20, 10));
}

TEST_F(CanvasOnBitmap, ShapesFillWithTheBrushAndOutlineWithThePen) {
  struct {
    const char* Name;
    std::function<void(TCanvas*)> Draw;
    bool CornerPainted;
  } const cases[] = {
      {"Rectangle", [](TCanvas* c) { c->Rectangle(10, 5, 30, 25); }, true},
      {"Ellipse", [](TCanvas* c) { c->Ellipse(10, 5, 30, 25); }, false},
      {"RoundRect", [](TCanvas* c) { c->RoundRect(10, 5, 30, 25, 12, 12); }, false},
      {"Polygon",
       [](TCanvas* c) {
         c->Polygon({Point(20, 5), Point(29, 24), Point(10, 24)});
       },
       false},
  };
  for (const auto& c : cases) {
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(Rect(0, 0, 40, 30));
    canvas->Pen()->SetColor(clRed);
    canvas->Brush()->SetColor(clLime);
    c.Draw(canvas);
    EXPECT_EQ(bitmap.PixelColor(20, 16), clLime) << c.Name << ": inside";
    EXPECT_EQ(bitmap.PixelColor(10, 5) == clRed, c.CornerPainted) << c.Name << ": corner";
    EXPECT_EQ(ChangedPixels(Rect(31, 0, 40, 30)), 0) << c.Name << ": right of the shape";
  }
}

TEST_F(CanvasOnBitmap, TextOutChangesPixelsOnlyInsideItsExtent) {
  canvas->Font()->SetColor(clBlack);
  canvas->Brush()->SetStyle(bsClear);
  const TSize size = canvas->TextExtent("Hello");
  ASSERT_GT(size.cx, 0);
  ASSERT_GT(size.cy, 0);
  EXPECT_EQ(canvas->TextWidth("Hello"), size.cx);
  EXPECT_EQ(canvas->TextHeight("Hello"), size.cy);
  canvas->TextOut(3, 2, "Hello");
  const TRect extent = Rect(3, 2, 3 + size.cx, 2 + size.cy);
  EXPECT_GT(ChangedPixels(extent), 0);
  EXPECT_EQ(ChangedPixels(Rect(0, 2 + size.cy, 40, 30)), 0);
  EXPECT_EQ(canvas->PenPos().X, 3 + size.cx) << "the next text goes after this one";
}

TEST_F(CanvasOnBitmap, SolidBrushPaintsTheTextBackgroundAndClearBrushDoesNot) {
  canvas->Font()->SetColor(clBlack);
  canvas->Brush()->SetColor(clYellow);
  canvas->TextOut(0, 0, "i");
  EXPECT_EQ(bitmap.PixelColor(0, 0), clYellow);

  canvas->Brush()->SetColor(clWhite);
  canvas->FillRect(Rect(0, 0, 40, 30));
  canvas->Brush()->SetColor(clYellow);
  canvas->Brush()->SetStyle(bsClear);
  canvas->TextOut(0, 0, "i");
  EXPECT_EQ(bitmap.PixelColor(0, 0), clWhite);
}

TEST_F(CanvasOnBitmap, TextRectClipsToItsRectangle) {
  canvas->Font()->SetColor(clBlack);
  canvas->Brush()->SetColor(clAqua);
  canvas->TextRect(Rect(0, 0, 6, 30), 0, 0, "WWWWWWWW");
  EXPECT_EQ(bitmap.PixelColor(5, 29), clAqua) << "an opaque brush fills the whole rectangle";
  EXPECT_EQ(ChangedPixels(Rect(6, 0, 40, 30)), 0);
}

TEST_F(CanvasOnBitmap, PixelsReadAndWriteSinglePixels) {
  canvas->SetPixels(3, 4, clFuchsia);
  EXPECT_EQ(canvas->Pixels(3, 4), clFuchsia);
  EXPECT_EQ(bitmap.PixelColor(3, 4), clFuchsia);
  EXPECT_EQ(canvas->Pixels(100, 100), -1) << "outside the bitmap";
}

TEST_F(CanvasOnBitmap, ClipRectIsTheBitmapArea) {
  EXPECT_EQ(canvas->ClipRect(), Rect(0, 0, 40, 30));
}

TEST_F(CanvasOnBitmap, StretchDrawScalesAnotherBitmap) {
  TBitmap source;
  source.SetPixelFormat(pf24bit);
  source.SetSize(2, 2);
  source.SetPixelColor(0, 0, clRed);
  source.SetPixelColor(1, 0, clLime);
  source.SetPixelColor(0, 1, clBlue);
  source.SetPixelColor(1, 1, clYellow);
  canvas->StretchDraw(Rect(10, 10, 18, 18), &source);
  EXPECT_EQ(bitmap.PixelColor(10, 10), clRed);
  EXPECT_EQ(bitmap.PixelColor(17, 10), clLime);
  EXPECT_EQ(bitmap.PixelColor(10, 17), clBlue);
  EXPECT_EQ(bitmap.PixelColor(17, 17), clYellow);
  EXPECT_EQ(bitmap.PixelColor(18, 18), clWhite);

  canvas->Draw(30, 0, &source);
  EXPECT_EQ(bitmap.PixelColor(31, 1), clYellow);
  EXPECT_EQ(bitmap.PixelColor(32, 2), clWhite) << "Draw keeps the graphic's size";
}

TEST_F(CanvasOnBitmap, TransparentBitmapLeavesItsKeyColourOut) {
  TBitmap source;
  source.SetPixelFormat(pf24bit);
  source.SetSize(4, 1);
  source.Fill(clFuchsia);
  source.SetPixelColor(2, 0, clNavy);
  source.SetTransparentColor(clFuchsia);
  source.SetTransparent(true);
  canvas->Draw(0, 0, &source);
  EXPECT_EQ(bitmap.PixelColor(0, 0), clWhite);
  EXPECT_EQ(bitmap.PixelColor(2, 0), clNavy);
}

TEST_F(CanvasOnBitmap, CopyRectTakesPixelsFromAnotherCanvas) {
  TBitmap other;
  other.SetPixelFormat(pf24bit);
  other.SetSize(10, 10);
  other.Canvas()->Brush()->SetColor(clOlive);
  other.Canvas()->FillRect(Rect(0, 0, 10, 10));
  canvas->CopyRect(Rect(0, 0, 5, 5), other.Canvas(), Rect(0, 0, 5, 5));
  EXPECT_EQ(bitmap.PixelColor(4, 4), clOlive);
  EXPECT_EQ(bitmap.PixelColor(5, 5), clWhite);
}

TEST_F(CanvasOnBitmap, ChangingTheFontWhileSelectedTakesEffectAtOnce) {
  canvas->Font()->SetHeight(-8);
  const int small = canvas->TextHeight("X");
  canvas->Font()->SetHeight(-24);
  EXPECT_GT(canvas->TextHeight("X"), small);
}

TEST_F(CanvasOnBitmap, AToolChangedWhileSelectedIsDeletedNotLeaked) {
  canvas->TextOut(0, 0, "x");
  canvas->Rectangle(0, 0, 2, 2);
  const HFONT font = FontHandle(canvas->Font());
  const HPEN pen = PenHandle(canvas->Pen());
  const HBRUSH brush = BrushHandle(canvas->Brush());
  ASSERT_EQ(::GetCurrentObject(canvas->Handle(), OBJ_FONT), font);
  canvas->Font()->SetSize(20);
  canvas->Pen()->SetWidth(3);
  canvas->Brush()->SetColor(clRed);
  EXPECT_EQ(::GetObjectType(font), 0u);
  EXPECT_EQ(::GetObjectType(pen), 0u);
  EXPECT_EQ(::GetObjectType(brush), 0u);
  canvas->Rectangle(0, 0, 12, 12);
  EXPECT_EQ(bitmap.PixelColor(6, 6), clRed) << "the new brush is selected on the next call";
}

TEST_F(CanvasOnBitmap, TheHandleComesWithTheCanvasToolsSelected) {
  canvas->Font()->SetColor(clRed);
  canvas->Brush()->SetColor(clYellow);
  canvas->Pen()->SetColor(clBlue);
  HDC dc = canvas->Handle();
  EXPECT_EQ(::GetTextColor(dc), static_cast<COLORREF>(clRed));
  EXPECT_EQ(::GetBkColor(dc), static_cast<COLORREF>(clYellow));
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_FONT), FontHandle(canvas->Font()));
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_PEN), PenHandle(canvas->Pen()));
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_BRUSH), BrushHandle(canvas->Brush()));
  RECT r{0, 0, 40, 30};
  ::DrawTextA(dc, "Hi", 2, &r, DT_LEFT | DT_TOP | DT_SINGLELINE);
  EXPECT_EQ(bitmap.PixelColor(0, 0), clYellow) << "the text cell takes the brush colour";
}

TEST(FontHandleTest, AForeignFontIsCopiedAndNeverDeleted) {
  LOGFONTA lf{};
  lf.lfHeight = -19;
  lf.lfWeight = FW_BOLD;
  lf.lfItalic = TRUE;
  lf.lfCharSet = ANSI_CHARSET;
  lf.lfPitchAndFamily = FIXED_PITCH;
  std::strcpy(lf.lfFaceName, "Courier New");
  const HFONT foreign = ::CreateFontIndirectA(&lf);
  {
    TFont font;
    SetFontHandle(&font, foreign);
    EXPECT_EQ(font.Name(), "Courier New");
    EXPECT_EQ(font.Height(), -19);
    EXPECT_EQ(font.Style(), (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(font.Charset(), ANSI_CHARSET);
    EXPECT_EQ(font.Pitch(), fpFixed);
    LOGFONTA copy{};
    ASSERT_EQ(::GetObjectA(FontHandle(&font), sizeof(copy), &copy), static_cast<int>(sizeof(copy)));
    EXPECT_EQ(copy.lfHeight, -19);
    font.SetSize(30);  // a new font replaces the copy
  }
  EXPECT_EQ(::GetObjectType(foreign), static_cast<DWORD>(OBJ_FONT)) << "still its owner's";
  ::DeleteObject(foreign);
}

TEST(DrawingToolHandleTest, PensAndBrushesTakeTheLookOfForeignObjects) {
  const HPEN foreignPen = ::CreatePen(PS_DOT, 1, RGB(0, 0, 128));
  const HBRUSH foreignBrush = ::CreateHatchBrush(HS_CROSS, RGB(0, 128, 0));
  {
    TPen pen;
    SetPenHandle(&pen, foreignPen);
    EXPECT_EQ(pen.Style(), psDot);
    EXPECT_EQ(pen.Color(), clNavy);
    TBrush brush;
    SetBrushHandle(&brush, foreignBrush);
    EXPECT_EQ(brush.Style(), bsCross);
    EXPECT_EQ(brush.Color(), clGreen);
    EXPECT_NE(BrushHandle(&brush), foreignBrush);
  }
  EXPECT_EQ(::GetObjectType(foreignPen), static_cast<DWORD>(OBJ_PEN));
  EXPECT_EQ(::GetObjectType(foreignBrush), static_cast<DWORD>(OBJ_BRUSH));
  ::DeleteObject(foreignPen);
  ::DeleteObject(foreignBrush);
}

TEST(CanvasTest, DrawingWithoutADeviceContextRaises) {
  TCanvas canvas;
  try {
    canvas.FillRect(Rect(0, 0, 1, 1));
    FAIL() << "no exception";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Canvas does not allow drawing");
  }
}

TEST(CanvasTest, ABorrowedDeviceContextGetsItsOwnObjectsBack) {
  TDCHandle dc(::CreateCompatibleDC(nullptr));
  TGdiObject<HBITMAP> surface(::CreateCompatibleBitmap(dc.Get(), 8, 8));
  TSelectObject select(dc.Get(), surface.Get());
  const HGDIOBJ font = ::GetCurrentObject(dc.Get(), OBJ_FONT);
  const HGDIOBJ pen = ::GetCurrentObject(dc.Get(), OBJ_PEN);
  const HGDIOBJ brush = ::GetCurrentObject(dc.Get(), OBJ_BRUSH);
  {
    TCanvas canvas;
    canvas.SetHandle(dc.Get());
    canvas.Brush()->SetColor(clRed);
    canvas.Rectangle(0, 0, 8, 8);
    canvas.TextOut(0, 0, "x");
    canvas.Font()->SetStyle({fsBold});  // replaces a selected font
    canvas.TextOut(0, 0, "x");
    canvas.SetHandle(nullptr);
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_FONT), font);
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_PEN), pen);
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BRUSH), brush);
    canvas.SetHandle(dc.Get());
    canvas.FillRect(Rect(0, 0, 1, 1));
  }  // the destructor gives the objects back too
  EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BRUSH), brush);
}

TEST(CanvasTest, LockIsHeldPerThreadAndCounted) {
  TCanvas canvas;
  canvas.Lock();
  canvas.Lock();
  EXPECT_EQ(canvas.LockCount(), 2);
  EXPECT_TRUE(canvas.TryLock()) << "the owning thread may lock again";
  canvas.Unlock();
  canvas.Unlock();
  canvas.Unlock();
  EXPECT_EQ(canvas.LockCount(), 0);
}

TEST(CanvasTest, ALentDeviceContextIsGivenBackAndUnlockedWhenPaintingThrows) {
  TDCHandle dc(::CreateCompatibleDC(nullptr));
  TGdiObject<HBITMAP> surface(::CreateCompatibleBitmap(dc.Get(), 8, 8));
  TSelectObject select(dc.Get(), surface.Get());
  const HGDIOBJ brush = ::GetCurrentObject(dc.Get(), OBJ_BRUSH);
  TCanvas canvas;
  try {
    TCanvasOnDC onDC(&canvas, dc.Get());
    EXPECT_EQ(canvas.LockCount(), 1);
    canvas.Brush()->SetColor(clRed);
    canvas.FillRect(Rect(0, 0, 8, 8));
    throw EAbort("");
  } catch (const EAbort&) {
  }
  EXPECT_EQ(canvas.LockCount(), 0);
  EXPECT_FALSE(canvas.HandleAllocated());
  EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BRUSH), brush);
}

// ---------------------------------------------------------------- a painted window

LRESULT CALLBACK PaintWithCanvas(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    TPaintDC dc(wnd);
    TCanvas canvas;
    canvas.SetHandle(dc.Get());
    RECT client;
    ::GetClientRect(wnd, &client);
    canvas.Brush()->SetColor(clTeal);
    canvas.FillRect(Rect(0, 0, client.right, client.bottom));
    canvas.Brush()->SetColor(clWhite);
    canvas.Pen()->SetColor(clWhite);
    canvas.Rectangle(20, 20, 60, 50);
    canvas.SetHandle(nullptr);
    return 0;
  }
  return ::DefWindowProcA(wnd, msg, wp, lp);
}

TEST(CanvasWindowTest, PaintsAWindowThatTheScreenShows) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = PaintWithCanvas;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "CanvasWindowTest";
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  ::RegisterClassA(&wc);
  HWND wnd = ::CreateWindowExA(0, wc.lpszClassName, "Canvas", WS_POPUP | WS_VISIBLE, 100, 100, 120,
                               80, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(wnd, nullptr);
  ::UpdateWindow(wnd);
  MSG msg;
  for (int i = 0; i < 20; ++i) {
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    ::Sleep(10);
  }
  EXPECT_EQ(ktest::ClientPixel(wnd, 5, 5), static_cast<COLORREF>(clTeal));
  EXPECT_EQ(ktest::ClientPixel(wnd, 40, 35), static_cast<COLORREF>(clWhite));
  EXPECT_EQ(ktest::ClientPixel(wnd, 119, 79), static_cast<COLORREF>(clTeal));
  EXPECT_EQ(ktest::ClientPixel(wnd, 120, 0), CLR_INVALID);

  const std::string path = ktest::SaveScreenshot(wnd, "canvas-window");
  ASSERT_FALSE(path.empty());
  std::ifstream png(path, std::ios::binary);
  char signature[8] = {};
  png.read(signature, 8);
  EXPECT_EQ(std::string(signature, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  ::DestroyWindow(wnd);
}

}  // namespace
