// Images on the Windows clipboard: the bitmap form every graphic falls back to, the PNG image
// that travels as a bitmap, and the picture that picks the graphic class by format.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/CanvasWin32.h"
#include "imaging/GIFImage.h"
#include "imaging/pngimage.h"
#include "tests/imaging/GifTestFiles.h"
#include "tests/imaging/PngTestFiles.h"

namespace {

void LoadPng(TPNGObject& png, const std::string& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  png.LoadFromStream(stream);
}

// Hands what a graphic saved to the clipboard, as a program's copy command does.
void Place(uint16_t format, void* data) {
  ASSERT_NE(data, nullptr);
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  const bool placed = ::SetClipboardData(format, static_cast<HANDLE>(data)) != nullptr;
  ::CloseClipboard();
  ASSERT_TRUE(placed);
}

// The clipboard open for reading while the scope lasts.
class TOpenClipboard {
 public:
  TOpenClipboard() : open_(::OpenClipboard(nullptr) != FALSE) {}
  ~TOpenClipboard() {
    if (open_) ::CloseClipboard();
  }
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

void CopyPng(TPNGObject& png) {
  uint16_t format = 0;
  void* data = nullptr;
  void* palette = nullptr;
  png.SaveToClipboardFormat(format, data, palette);
  ASSERT_EQ(format, CF_BITMAP);
  Place(format, data);
}

void PastePng(TPNGObject& png) {
  TOpenClipboard clipboard;
  ASSERT_TRUE(clipboard.IsOpen());
  png.LoadFromClipboardFormat(CF_BITMAP, nullptr, nullptr);
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no error)";
}

// ---- PNG ---------------------------------------------------------------------------------------

struct TOpaqueCase {
  const char* name;
  pngtest::PngShape shape;
};

const TOpaqueCase kOpaqueCases[] = {
    {"rgb8", {5, 3, 8, 2, 0}},     {"rgb16", {4, 3, 16, 2, 0}},
    {"grey1", {9, 2, 1, 0, 0}},    {"grey2", {7, 3, 2, 0, 0}},
    {"grey4", {5, 2, 4, 0, 0}},    {"grey8", {4, 4, 8, 0, 0}},
    {"grey16", {3, 3, 16, 0, 0}},  {"palette1", {9, 3, 1, 3, 0}},
    {"palette2", {7, 2, 2, 3, 0}}, {"palette4", {5, 3, 4, 3, 0}},
    {"palette8", {6, 2, 8, 3, 0}}, {"rgb8Interlaced", {9, 9, 8, 2, 1}},
};

TEST(PngClipboard, OpaqueImagesComeBackWithTheSamePixels) {
  for (const TOpaqueCase& c : kOpaqueCases) {
    SCOPED_TRACE(c.name);
    TPNGObject original;
    LoadPng(original, pngtest::MakePng(c.shape));
    ASSERT_EQ(original.TransparencyKind(), tmOpaque);
    CopyPng(original);

    TPNGObject pasted;
    PastePng(pasted);
    ASSERT_EQ(pasted.Width(), original.Width());
    ASSERT_EQ(pasted.Height(), original.Height());
    // The clipboard bitmap has no transparency; what comes back is plain RGB.
    EXPECT_EQ(pasted.TransparencyKind(), tmOpaque);
    EXPECT_EQ(pasted.RequireHeader()->ColorType, 2);
    for (int y = 0; y < original.Height(); ++y)
      for (int x = 0; x < original.Width(); ++x)
        ASSERT_EQ(pasted.PixelAt(x, y), original.PixelAt(x, y)) << x << "," << y;
  }
}

// The clipboard's bitmap carries no alpha: the image is drawn onto a fresh (black) bitmap.
TEST(PngClipboard, AlphaIsFlattenedOntoBlackAndNotCarried) {
  TPNGObject original;
  LoadPng(original, pngtest::MakePng({6, 4, 8, 6, 0}));
  ASSERT_EQ(original.TransparencyKind(), tmAlpha);
  CopyPng(original);

  TPNGObject pasted;
  PastePng(pasted);
  ASSERT_EQ(pasted.Width(), 6);
  EXPECT_EQ(pasted.TransparencyKind(), tmOpaque);
  const std::vector<uint8_t>& alpha = original.RequireHeader()->ImageAlpha;
  bool someAlphaBetween = false;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) {
      const unsigned a = alpha[static_cast<size_t>(y) * 6 + x];
      someAlphaBetween |= a > 0 && a < 255;
      const TColor source = original.PixelAt(x, y);
      const auto blend = [a](uint8_t s) { return static_cast<uint8_t>((a * s + 255) >> 8); };
      EXPECT_EQ(pasted.PixelAt(x, y),
                MakeColor(blend(ColorR(source)), blend(ColorG(source)), blend(ColorB(source))))
          << x << "," << y << " alpha " << a;
    }
  EXPECT_TRUE(someAlphaBetween) << "the fixture must exercise partial alpha";
}

TEST(PngClipboard, KeyColourPixelsArriveBlackTheOthersUnchanged) {
  // Palette entry 0 is the only one below full opacity: a key-colour image.
  const pngtest::PngShape shape{8, 2, 8, 3, 0};
  pngtest::Options options;
  options.before = {{"tRNS", std::string(1, '\0')}};
  TPNGObject original;
  LoadPng(original, pngtest::MakePng(shape, options));
  ASSERT_EQ(original.TransparencyKind(), tmKeyColor);
  CopyPng(original);

  TPNGObject pasted;
  PastePng(pasted);
  int keyed = 0;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 8; ++x) {
      const TColor colour = original.PixelAt(x, y);
      const bool isKey = colour == original.KeyColor();
      keyed += isKey;
      EXPECT_EQ(pasted.PixelAt(x, y), isKey ? clBlack : colour) << x << "," << y;
    }
  EXPECT_GT(keyed, 0) << "the fixture must use the key colour";
}

TEST(PngClipboard, EmptyImageOffersNothing) {
  TPNGObject png;
  uint16_t format = 7;
  void* data = reinterpret_cast<void*>(1);
  void* palette = reinterpret_cast<void*>(1);
  png.SaveToClipboardFormat(format, data, palette);
  EXPECT_EQ(format, 0);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(palette, nullptr);
}

TEST(PngClipboard, RefusedPasteLeavesTheImageAsItWas) {
  TPNGObject png;
  LoadPng(png, pngtest::MakePng({5, 3, 8, 2, 0}));
  const TColor before = png.PixelAt(4, 2);
  // A format no bitmap reads, and a clipboard without a bitmap.
  EXPECT_EQ(ErrorOf([&] { png.LoadFromClipboardFormat(CF_TEXT, nullptr, nullptr); }),
            "Unsupported clipboard format");
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  ::CloseClipboard();
  EXPECT_EQ(ErrorOf([&] { PastePng(png); }), "Unsupported clipboard format");
  EXPECT_EQ(png.Width(), 5);
  EXPECT_EQ(png.PixelAt(4, 2), before);
}

// ---- the bitmap form ---------------------------------------------------------------------------

TEST(BitmapClipboard, RoundTripKeepsDepthPaletteAndPixels) {
  struct Case {
    TPixelFormat format;
    std::vector<TColor> colours;
  };
  const Case cases[] = {
      {pf8bit, {clRed, clLime, clBlue, clWhite}},
      {pf24bit, {MakeColor(1, 2, 3), MakeColor(250, 128, 7), clWhite, clBlack}},
      {pf32bit, {MakeColor(9, 80, 200), clFuchsia, clAqua, clGray}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    TBitmap original;
    original.SetPixelFormat(c.format);
    original.SetSize(3, 2);
    for (int i = 0; i < 6; ++i)
      original.SetPixelColor(i % 3, i / 3, c.colours[static_cast<size_t>(i) % c.colours.size()]);
    uint16_t format = 0;
    void* data = nullptr;
    void* palette = nullptr;
    original.SaveToClipboardFormat(format, data, palette);
    ASSERT_EQ(format, CF_BITMAP);
    // The receiver owns a handle of its own: the bitmap's section stays with the bitmap.
    EXPECT_NE(data, static_cast<void*>(BitmapHandle(&original)));
    Place(format, data);

    TBitmap pasted;
    {
      TOpenClipboard clipboard;
      ASSERT_TRUE(clipboard.IsOpen());
      pasted.LoadFromClipboardFormat(CF_BITMAP, nullptr, nullptr);
    }
    EXPECT_EQ(pasted.PixelFormat(), c.format);
    if (c.format == pf8bit) {
      EXPECT_EQ(pasted.Palette(), original.Palette());
    }
    ASSERT_EQ(pasted.Width(), 3);
    ASSERT_EQ(pasted.Height(), 2);
    for (int i = 0; i < 6; ++i)
      EXPECT_EQ(pasted.PixelColor(i % 3, i / 3), original.PixelColor(i % 3, i / 3)) << i;
    // The source is still drawable after the copy.
    original.Canvas()->SetPixels(0, 0, clYellow);
    EXPECT_EQ(original.PixelColor(0, 0), clYellow);
  }
}

// ---- the picture -------------------------------------------------------------------------------

const std::vector<TColor> kGifColors{clBlack, clWhite, clRed, clBlue};

TBytes ThreeFrameGif() {
  TGifBuilder b;
  b.Header(2, 1, kGifColors);
  for (uint8_t i = 0; i < 3; ++i) b.GraphicControl(1, 5).Frame(0, 0, 2, 1, {i, 3}, 2);
  return b.Trailer().Data();
}

TEST(PictureClipboard, KnowsTheRegisteredFormats) {
  ASSERT_NE(ClipboardFormatGIF, 0u);
  EXPECT_TRUE(TPicture::SupportsClipboardFormat(CF_BITMAP));
  EXPECT_TRUE(TPicture::SupportsClipboardFormat(static_cast<uint16_t>(ClipboardFormatGIF)));
  EXPECT_FALSE(TPicture::SupportsClipboardFormat(CF_TEXT));
}

TEST(PictureClipboard, PastesEachFormatIntoItsOwnGraphicClass) {
  TGIFImage gif;
  LoadGif(gif, ThreeFrameGif());
  TPicture source;
  source.SetGraphic(&gif);
  uint16_t format = 0;
  void* data = nullptr;
  void* palette = nullptr;
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  // The GIF image places its file itself and returns the bitmap form.
  source.SaveToClipboardFormat(format, data, palette);
  ASSERT_EQ(format, CF_BITMAP);
  ASSERT_NE(data, nullptr);
  ::SetClipboardData(format, static_cast<HANDLE>(data));
  ::CloseClipboard();

  TOpenClipboard clipboard;
  ASSERT_TRUE(clipboard.IsOpen());
  TPicture pasted;
  pasted.LoadFromClipboardFormat(static_cast<uint16_t>(ClipboardFormatGIF), nullptr, nullptr);
  auto* image = dynamic_cast<TGIFImage*>(pasted.Graphic());
  ASSERT_NE(image, nullptr);
  ASSERT_EQ(image->FrameCount(), 3);
  EXPECT_EQ(image->Frame(2)->PixelAt(0, 0), 2);

  pasted.LoadFromClipboardFormat(CF_BITMAP, nullptr, nullptr);
  auto* bitmap = dynamic_cast<TBitmap*>(pasted.Graphic());
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->Width(), 2);
  EXPECT_EQ(bitmap->PixelColor(1, 0), clBlue);
}

TEST(PictureClipboard, UnsupportedFormatKeepsTheGraphic) {
  TPicture picture;
  picture.Bitmap()->SetSize(4, 4);
  EXPECT_EQ(ErrorOf([&] { picture.LoadFromClipboardFormat(CF_TEXT, nullptr, nullptr); }),
            "Unsupported clipboard format");
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Width(), 4);
}

TEST(PictureClipboard, PngGraphicCopiesAsABitmapAndEmptyPictureAsNothing) {
  TPNGObject png;
  LoadPng(png, pngtest::MakePng({3, 2, 8, 2, 0}));
  TPicture picture;
  picture.SetGraphic(&png);
  uint16_t format = 0;
  void* data = nullptr;
  void* palette = nullptr;
  picture.SaveToClipboardFormat(format, data, palette);
  EXPECT_EQ(format, CF_BITMAP);
  ASSERT_NE(data, nullptr);
  ::DeleteObject(static_cast<HGDIOBJ>(data));

  TPicture empty;
  format = 5;
  data = reinterpret_cast<void*>(1);
  empty.SaveToClipboardFormat(format, data, palette);
  EXPECT_EQ(format, 0);
  EXPECT_EQ(data, nullptr);
}

}  // namespace
