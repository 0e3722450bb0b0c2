// Masks and sections painted into 32-bit bitmaps, read back pixel by pixel: the border widths
// fitted into narrow rectangles, the draw flags, the state limit, transparency over known and
// unknown backgrounds, textures and the textured gradient, and the fade weights.
#include "skin/core/painting/sSectionPaint.h"

#include <gtest/gtest.h>

#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sBorders.h"
#include "skin/core/painting/sCommonData.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/runtime/sFade.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "tests/skin/core/FakeSkinDataHost.h"
#include "tests/skin/core/SkinTestBitmaps.h"
#include "tests/skin/core/SkinTestFiles.h"

namespace {

constexpr uint32_t Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, Yellow = 0xFFFFFF00,
                   White = 0xFFFFFFFF, Grey = 0xFF808080, Cyan = 0xFF00FFFF;

// A bordered mask of its own image: `states` images of 10 x 10, borders 4 on every side. In
// state s the left corners and left edge are red, the right ones yellow, the top edge
// alternates two colours by column (green, cyan), bottom edge green, centre blue; state s adds
// s to the blue byte of every pixel so states can be told apart.
struct TMaskFixture {
  skintest::TManagerFixture Managers;
  TsMaskData Mask;
  explicit TMaskFixture(int states = 3, int16_t drawFlags = 4) {
    auto image = MakeBitmap32(10 * states, 10, 0xFF000000);
    for (int s = 0; s < states; ++s)
      for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
          uint32_t c = Blue;
          if (x < 4)
            c = Red;
          else if (x >= 6)
            c = Yellow;
          else if (y < 4)
            c = (x % 2) ? Cyan : Green;
          else if (y >= 6)
            c = Green;
          Px(*image, s * 10 + x, y) = c + static_cast<uint32_t>(s);
        }
    Mask.Image = std::move(image);
    Mask.SourceRect = TRect{0, 0, 10 * states, 10};
    Mask.ImageCount = static_cast<int16_t>(states);
    Mask.DrawFlags = drawFlags;
    Mask.Manager = Managers.Manager.get();
    Mask.WidthLeft = Mask.WidthTop = Mask.WidthRight = Mask.WidthBottom = 4;
  }
};

TEST(MaskPainting, BorderWidthsFitANarrowTarget) {
  struct Case {
    int first, second, length, wantFirst, wantSecond;
  } cases[] = {{4, 4, 5, 3, 2}, {4, 4, 6, 3, 3}, {4, 4, 8, 4, 4}, {4, 4, 20, 4, 4},
               {4, 4, 0, 0, 0}, {5, 3, 4, 3, 1}, {1, 1, 1, 1, 0}};
  for (const Case& c : cases) {
    const TsFittedWidths f = FitBorderWidths(c.first, c.second, c.length);
    EXPECT_EQ(f.First, c.wantFirst) << c.length;
    EXPECT_EQ(f.Second, c.wantSecond) << c.length;
  }
}

TEST(MaskPainting, NinePiecesLandWhereTheyBelong) {
  TMaskFixture f;
  auto bmp = MakeBitmap32(20, 12, White);
  PaintMaskRect(bmp.get(), TRect{0, 0, 20, 12}, f.Mask, 0, false, EmptyBackgroundSource);
  EXPECT_EQ(Px(*bmp, 0, 0), Red);
  EXPECT_EQ(Px(*bmp, 3, 11), Red);
  EXPECT_EQ(Px(*bmp, 19, 0), Yellow);
  EXPECT_EQ(Px(*bmp, 16, 11), Yellow);
  EXPECT_EQ(Px(*bmp, 10, 6), Blue);  // centre, DrawFlags 4
  // Top edge tiled from its two source columns: green, cyan, green, ...
  EXPECT_EQ(Px(*bmp, 4, 0), Green);
  EXPECT_EQ(Px(*bmp, 5, 0), Cyan);
  EXPECT_EQ(Px(*bmp, 6, 0), Green);
  EXPECT_EQ(Px(*bmp, 10, 11), Green);  // bottom edge
}

TEST(MaskPainting, WidthsFourAndFourInFivePixelsGiveThreeAndTwo) {
  TMaskFixture f;
  auto bmp = MakeBitmap32(5, 10, White);
  PaintMaskRect(bmp.get(), TRect{0, 0, 5, 10}, f.Mask, 0, false, EmptyBackgroundSource);
  for (int x = 0; x < 3; ++x) EXPECT_EQ(Px(*bmp, x, 0), Red) << x;
  for (int x = 3; x < 5; ++x) EXPECT_EQ(Px(*bmp, x, 0), Yellow) << x;
}

TEST(MaskPainting, DrawFlagsDecideCentreStateZeroAndStretch) {
  {  // without bit 4 the centre keeps what was there
    TMaskFixture f(3, 0);
    auto bmp = MakeBitmap32(20, 20, White);
    PaintMaskRect(bmp.get(), TRect{0, 0, 20, 20}, f.Mask, 0, false, EmptyBackgroundSource);
    EXPECT_EQ(Px(*bmp, 10, 10), White);
    EXPECT_EQ(Px(*bmp, 0, 0), Red);
  }
  {  // bit 2: nothing at all in state 0, everything in state 1
    TMaskFixture f(3, 2 | 4);
    auto bmp = MakeBitmap32(20, 20, White);
    PaintMaskRect(bmp.get(), TRect{0, 0, 20, 20}, f.Mask, 0, false, EmptyBackgroundSource);
    EXPECT_EQ(Px(*bmp, 0, 0), White);
    EXPECT_EQ(Px(*bmp, 10, 10), White);
    PaintMaskRect(bmp.get(), TRect{0, 0, 20, 20}, f.Mask, 1, false, EmptyBackgroundSource);
    EXPECT_EQ(Px(*bmp, 0, 0), Red + 1);
    EXPECT_EQ(Px(*bmp, 10, 10), Blue + 1);
  }
  {  // bit 1: the top edge's two columns stretched, not tiled: 12 pixels, 6 of each
    TMaskFixture f(3, 1 | 4);
    auto bmp = MakeBitmap32(20, 20, White);
    PaintMaskRect(bmp.get(), TRect{0, 0, 20, 20}, f.Mask, 0, false, EmptyBackgroundSource);
    for (int x = 4; x < 10; ++x) EXPECT_EQ(Px(*bmp, x, 0), Green) << x;
    for (int x = 10; x < 16; ++x) EXPECT_EQ(Px(*bmp, x, 0), Cyan) << x;
  }
}

TEST(MaskPainting, StateBeyondTheImagesPaintsTheLastOne) {
  TMaskFixture f;
  auto bmp = MakeBitmap32(20, 20, White);
  PaintMaskRect(bmp.get(), TRect{0, 0, 20, 20}, f.Mask, 7, false, EmptyBackgroundSource);
  EXPECT_EQ(Px(*bmp, 0, 0), Red + 2);
  PaintMaskGlyph(bmp.get(), TPoint{0, 0}, 9, f.Mask, EmptyBackgroundSource);
  EXPECT_EQ(Px(*bmp, 9, 9), Yellow + 2);
}

TEST(MaskPainting, PiecesOutsideTheBitmapAreCut) {
  TMaskFixture f;
  auto bmp = MakeBitmap32(8, 8, White);
  PaintMaskRect(bmp.get(), TRect{-6, -6, 30000, 30000}, f.Mask, 0, false, EmptyBackgroundSource);
  EXPECT_EQ(Px(*bmp, 0, 0), Blue);  // (6, 6) of the rectangle: the centre
  EXPECT_EQ(Px(*bmp, 7, 7), Blue);
  PaintMaskRect(bmp.get(), TRect{-2, -2, 30000, 30000}, f.Mask, 1, false, EmptyBackgroundSource);
  EXPECT_EQ(Px(*bmp, 0, 0), Red + 1);    // (2, 2) of the rectangle: the top-left corner
  EXPECT_EQ(Px(*bmp, 2, 0), Green + 1);  // top edge, first tile column
  PaintMaskGlyph(bmp.get(), TPoint{-8, -8}, 0, f.Mask, EmptyBackgroundSource);
  EXPECT_EQ(Px(*bmp, 0, 0), Yellow);    // source (8, 8)
  EXPECT_EQ(Px(*bmp, 2, 2), Blue + 1);  // outside the glyph: untouched
}

TEST(MaskPainting, MaskedMixTakesTheColourWhereTheMaskIsBlack) {
  skintest::TManagerFixture managers;
  TsMaskData m;
  auto image = MakeBitmap32(4, 4, 0xFF00FF00);  // colour row green
  for (int x = 0; x < 4; ++x) {
    Px(*image, x, 2) = 0xFF000000;  // mask 0: the colour
    Px(*image, x, 3) = 0xFFFFFFFF;  // mask 255: what lies below (almost)
  }
  Px(*image, 3, 0) = KeyColor;
  m.Image = std::move(image);
  m.SourceRect = TRect{0, 0, 4, 4};
  m.ImageCount = 1;
  m.MaskType = 1;
  m.Manager = managers.Manager.get();
  auto bmp = MakeBitmap32(4, 2, 0xFF0000FF);
  BlendMaskedRect(TRect{0, 0, 4, 2}, TRect{0, 0, 4, 2}, bmp.get(), 2, false, EmptyBackgroundSource,
                  m.Image.get());
  EXPECT_EQ(Px(*bmp, 0, 0), 0xFF00FF00u);
  EXPECT_EQ(Px(*bmp, 3, 0), 0xFF0000FFu);  // key: left alone
  EXPECT_EQ(Px(*bmp, 0, 1), 0xFF0000FEu);  // 255 * 255 / 256
}

TEST(MaskPainting, WholeBitmapBorderCutsItsTransparentCornersOut) {
  TMaskFixture f;
  // Rounded top-left corner in state 1: two key pixels in row 0, one in row 1.
  Px(*f.Mask.Image, 10, 0) = KeyColor;
  Px(*f.Mask.Image, 11, 0) = KeyColor;
  Px(*f.Mask.Image, 10, 1) = KeyColor;
  auto bmp = MakeBitmap32(30, 20, White);
  std::vector<TRect> holes;
  PaintMaskBitmap(bmp.get(), &holes, true, 1, f.Mask);
  ASSERT_EQ(holes.size(), 2u);
  EXPECT_EQ(holes[0], (TRect{0, 0, 2, 1}));
  EXPECT_EQ(holes[1], (TRect{0, 1, 1, 2}));
  EXPECT_EQ(Px(*bmp, 0, 0), White);  // key pixels are not copied
  EXPECT_EQ(Px(*bmp, 2, 0), Red + 1);
  EXPECT_EQ(Px(*bmp, 29, 19), Yellow + 1);
  EXPECT_EQ(Px(*bmp, 15, 10), Blue + 1);
  EXPECT_EQ(Px(*bmp, 4, 0), Green + 1);
  EXPECT_EQ(Px(*bmp, 5, 0), Cyan + 1);
  // Without the draw-centre flag the centre keeps what was there.
  auto plain = MakeBitmap32(30, 20, White);
  PaintMaskBitmap(plain.get(), nullptr, false, 0, f.Mask);
  EXPECT_EQ(Px(*plain, 15, 10), White);
  EXPECT_EQ(Px(*plain, 0, 0), Red);
  // A bitmap of one pixel's width paints nothing.
  auto thin = MakeBitmap32(1, 20, White);
  PaintMaskBitmap(thin.get(), nullptr, true, 0, f.Mask);
  EXPECT_EQ(Px(*thin, 0, 0), White);
}

// Stretched edges of a whole-bitmap border take the nearest source pixel: the top edge's
// two columns become two runs, no colour in between.
TEST(MaskPainting, WholeBitmapBorderStretchesWithoutMixingColours) {
  TMaskFixture f(3, 1 | 4);
  auto bmp = MakeBitmap32(30, 20, White);
  PaintMaskBitmap(bmp.get(), nullptr, true, 0, f.Mask);
  for (int x = 4; x < 15; ++x) EXPECT_EQ(Px(*bmp, x, 0), Green) << x;
  for (int x = 15; x < 26; ++x) EXPECT_EQ(Px(*bmp, x, 0), Cyan) << x;
  EXPECT_EQ(Px(*bmp, 15, 10), Blue);
}

TEST(MaskPainting, OpenCornerPixelsShowTheParentsBackground) {
  TMaskFixture f;
  Px(*f.Mask.Image, 10, 0) = KeyColor;  // state 1, top-left
  Px(*f.Mask.Image, 19, 9) = KeyColor;  // state 1, bottom-right
  auto cache = MakeBitmap32(30, 20, Grey);
  auto parent = MakeNoiseBitmap32(100, 100, 3);
  FillMaskCorners(cache.get(), f.Mask, 1, MakeBackgroundSource(parent.get(), 40, 50));
  EXPECT_EQ(Px(*cache, 0, 0), Px(*parent, 40, 50) | 0xFF000000u);
  EXPECT_EQ(Px(*cache, 29, 19), Px(*parent, 69, 69) | 0xFF000000u);
  EXPECT_EQ(Px(*cache, 1, 0), Grey);
  TsBackgroundSource white;
  white.FillColor = 0xFFFFFF;
  FillMaskCorners(cache.get(), f.Mask, 1, white);
  EXPECT_EQ(Px(*cache, 0, 0), White);
  EXPECT_EQ(Px(*cache, 29, 19), White);
  EXPECT_EQ(Px(*cache, 28, 19), Grey);
}

// ---- sections
// ------------------------------------------------------------------------------------

struct TSkinFixture {
  skintest::TManagerFixture F;
  explicit TSkinFixture(const std::string& sections) {
    const auto master =
        skintest::BmpFile(256, 256, 0xFFFFFF, {{TRect{0, 100, 64, 164}, 0x808000}});  // teal
    F.AddFolderSkin("Paint", "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\nCOLOR=13421772\n" + sections,
                    {{"MASTER.BMP", master}});
    F.Manager->SetSkinName("Paint");
  }
  int Index(const std::string& name) const { return F.Manager->GetSectionIndex(name); }
};

TEST(SectionPainting, TransparencyOverKnownAndUnknownBackgrounds) {
  TSkinFixture s("[SEE]\nCOLOR=0\nTRANSPARENCY=30\n[CLEAR]\nCOLOR=255\nTRANSPARENCY=100\n");
  const int see = s.Index("SEE"), clear = s.Index("CLEAR");
  ASSERT_GE(see, 0);
  TsBackgroundSource white;
  white.FillColor = 0xFFFFFF;
  auto bmp = MakeBitmap32(10, 10, 0);
  PaintItem({.Bitmap = bmp.get(),
             .R = TRect{0, 0, 10, 10},
             .SectionIndex = see,
             .SectionName = "SEE",
             .Background = white,
             .Manager = s.F.Manager.get()});
  EXPECT_EQ(Px(*bmp, 5, 5), 0xFF4C4C4Cu);  // 30 % white, 70 % black

  // Nothing known behind: the section colour, opaque, never mixed with the key colour.
  PaintItem({.Bitmap = bmp.get(),
             .R = TRect{0, 0, 10, 10},
             .SectionIndex = see,
             .SectionName = "SEE",
             .Background = EmptyBackgroundSource,
             .Manager = s.F.Manager.get()});
  EXPECT_EQ(Px(*bmp, 5, 5), 0xFF000000u);

  // Fully transparent over a bitmap: exactly the background's pixels at the offset.
  auto behind = MakeNoiseBitmap32(30, 30, 7);
  PaintItem({.Bitmap = bmp.get(),
             .R = TRect{0, 0, 10, 10},
             .SectionIndex = clear,
             .SectionName = "CLEAR",
             .Background = MakeBackgroundSource(behind.get(), 5, 6),
             .Offset = TPoint{2, 3},
             .Manager = s.F.Manager.get()});
  EXPECT_EQ(Px(*bmp, 0, 0), Px(*behind, 7, 9));
  EXPECT_EQ(Px(*bmp, 9, 9), Px(*behind, 16, 18));
  PaintItem({.Bitmap = bmp.get(),
             .R = TRect{0, 0, 10, 10},
             .SectionIndex = clear,
             .SectionName = "CLEAR",
             .Background = white,
             .Manager = s.F.Manager.get()});
  EXPECT_EQ(Px(*bmp, 4, 4), White);
  PaintItem({.Bitmap = bmp.get(),
             .R = TRect{0, 0, 10, 10},
             .SectionIndex = clear,
             .SectionName = "CLEAR",
             .Background = EmptyBackgroundSource,
             .Manager = s.F.Manager.get()});
  EXPECT_EQ(Px(*bmp, 4, 4), 0xFFFF0000u);  // painted as if opaque
}

TEST(SectionPainting, TexturesAndTheTexturedGradient) {
  TSkinFixture s(
      "[HALF]\nCOLOR=0\nIMAGEPERCENT=50\nPATTERN=~0000,0100,0064,0164,00\n"
      "[MIXED]\nCOLOR=0\nIMAGEPERCENT=60\nGRADIENTPERCENT=40\n"
      "GRADIENTDATA=16777215;16777215;100;0;0\nPATTERN=~0000,0100,0064,0164,00\n");
  auto bmp = MakeBitmap32(100, 80, 0);
  PaintItem({.Bitmap = bmp.get(),
             .R = TRect{0, 0, 100, 80},
             .SectionIndex = s.Index("HALF"),
             .SectionName = "HALF",
             .Background = EmptyBackgroundSource,
             .Manager = s.F.Manager.get()});
  EXPECT_EQ(Px(*bmp, 0, 0), 0xFF004040u);    // teal kept 50 % over black
  EXPECT_EQ(Px(*bmp, 99, 79), 0xFF004040u);  // tiled past the 64-pixel tile
  PaintItem({.Bitmap = bmp.get(),
             .R = TRect{0, 0, 100, 80},
             .SectionIndex = s.Index("MIXED"),
             .SectionName = "MIXED",
             .Background = EmptyBackgroundSource,
             .Manager = s.F.Manager.get()});
  // ((t - g) * 153 + g * 256) shr 8 with g white: red 102, green and blue 179.
  EXPECT_EQ(Px(*bmp, 10, 10), 0xFF66B3B3u);
}

TEST(SectionPainting, RectangleOutsideTheBitmapPaintsNothing) {
  TSkinFixture s("[PLAIN]\nCOLOR=255\n");
  auto bmp = MakeBitmap32(10, 10, Grey);
  PaintItem({.Bitmap = bmp.get(),
             .R = TRect{0, 0, 11, 10},
             .SectionIndex = s.Index("PLAIN"),
             .SectionName = "PLAIN",
             .Background = EmptyBackgroundSource,
             .Manager = s.F.Manager.get()});
  EXPECT_EQ(Px(*bmp, 0, 0), Grey);
  PaintItem({.Bitmap = bmp.get(),
             .R = TRect{0, 0, 10, 10},
             .SectionIndex = s.Index("PLAIN"),
             .SectionName = "PLAIN",
             .Background = EmptyBackgroundSource,
             .Manager = s.F.Manager.get()});
  EXPECT_EQ(Px(*bmp, 9, 9), 0xFFFF0000u);
  PaintItem({.Bitmap = bmp.get(),
             .R = TRect{0, 0, 10, 10},
             .SectionIndex = -1,
             .SectionName = "PLAIN",
             .Background = EmptyBackgroundSource,
             .Manager = s.F.Manager.get()});  // invalid section: nothing, no crash
}

TEST(SectionPainting, TestSkinButtonShowsItsMaskedBorderAndHotColour) {
  skintest::TManagerFixture f;
  skintest::AddSkinFolder(f.Fs, "Test", "C:\\App\\Skins\\Test");
  f.Manager->SetSkinName("Test");
  const int button = f.Manager->GetSectionIndex("ONESTATE");
  ASSERT_GE(button, 0);
  auto bmp = MakeBitmap32(30, 20, 0);
  // One state: the hot state paints the normal colour.
  PaintItem({.Bitmap = bmp.get(),
             .R = TRect{0, 0, 30, 20},
             .SectionIndex = button,
             .SectionName = "ONESTATE",
             .State = TsPaintState::Pressed,
             .Background = EmptyBackgroundSource,
             .Manager = f.Manager.get()});
  EXPECT_EQ(Px(*bmp, 15, 10), Grey);
  EXPECT_EQ(PaintSectionByName(bmp.get(), {.Name = "NOSUCH",
                                           .SecondName = "ONESTATE",
                                           .FillColor = 0xFFFFFF,
                                           .Manager = f.Manager.get()}),
            button);
  EXPECT_EQ(PaintSectionByName(bmp.get(), {.Name = "NOSUCH",
                                           .SecondName = "NONE",
                                           .FillColor = 0xFFFFFF,
                                           .Manager = f.Manager.get()}),
            -1);
}

TEST(SectionPainting, PatternModesLeaveTheRestToTheColour) {
  auto tile = MakeBitmap32(4, 3, Red);
  struct Case {
    int mode;
    TRect left;
  } cases[] = {{0, {0, 0, -1, 0}}, {2, {0, 3, 10, 10}}, {3, {4, 0, 10, 10}}, {6, {0, 0, 10, 7}},
               {7, {0, 0, 6, 10}}, {10, {0, 0, -1, 0}}, {9, {0, 0, -1, 0}}};
  for (const Case& c : cases) {
    auto bmp = MakeBitmap32(10, 10, White);
    TRect q{0, 0, 10, 10};
    PaintPattern(bmp.get(), q, tile.get(), TRect{0, 0, 4, 3}, TileModeOf(c.mode));
    if (c.left.Right == -1)
      EXPECT_EQ(q.Right, -1) << c.mode;
    else
      EXPECT_EQ(q, c.left) << c.mode;
  }
  // A tile of no width never loops and leaves everything to fill.
  auto bmp = MakeBitmap32(10, 10, White);
  TRect q{0, 0, 10, 10};
  PaintPattern(bmp.get(), q, tile.get(), TRect{0, 0, 0, 3}, TsTileMode::Tile);
  EXPECT_EQ(q, (TRect{0, 0, 10, 10}));
  EXPECT_EQ(Px(*bmp, 0, 0), White);
}

TEST(SectionPainting, HoleRectsFollowTheKeyPixelsOfTheCorners) {
  TMaskFixture f(1);
  Px(*f.Mask.Image, 0, 0) = KeyColor;
  Px(*f.Mask.Image, 1, 0) = KeyColor;
  Px(*f.Mask.Image, 9, 0) = KeyColor;
  std::vector<TRect> holes;
  GetMaskHoleRects(holes, 50, f.Mask, false, 5);
  ASSERT_EQ(holes.size(), 2u);
  EXPECT_EQ(holes[0], (TRect{0, 5, 2, 6}));
  EXPECT_EQ(holes[1], (TRect{49, 5, 50, 6}));
}

// ---- the less travelled paths of the section painters
// -------------------------------------------------------------------------------

// A master image with a teal texture (0, 100, 64, 164), a masked texture cell of 8 x 4 at
// (200, 0) (red colour rows over black mask rows: the colour wins), and a white 10 x 10 glyph
// at (220, 0) whose first two pixels are the key colour.
struct TRichSkin {
  skintest::TManagerFixture F;
  explicit TRichSkin(const std::string& sections) {
    const auto master = skintest::BmpFile(256, 256, 0xFFFFFF,
                                          {{TRect{0, 100, 64, 164}, 0x808000},
                                           {TRect{200, 0, 208, 4}, 0x0000FF},
                                           {TRect{200, 4, 208, 8}, 0x000000},
                                           {TRect{220, 0, 222, 1}, 0xFF00FF}});
    F.AddFolderSkin("Rich", "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\nCOLOR=13421772\n" + sections,
                    {{"MASTER.BMP", master}});
    F.Manager->SetSkinName("Rich");
  }
  int Index(const std::string& name) const { return F.Manager->GetSectionIndex(name); }
  int Mask(const std::string& section, const std::string& property) const {
    return F.Manager->GetMaskIndex(Index(section), section, property);
  }
  const TsMaskData& MaskData(int index) const {
    return F.Manager->Masks()[static_cast<size_t>(index)];
  }
};

const char* const RichSections =
    "[CLEAR]\nCOLOR=255\nTRANSPARENCY=100\n"
    "[SEE]\nCOLOR=0\nTRANSPARENCY=30\n"
    "[RED]\nCOLOR=255\n"
    "[GREEN]\nCOLOR=65280\nHOTCOLOR=65280\n"
    "[HALF]\nCOLOR=0\nIMAGEPERCENT=50\nPATTERN=~0000,0100,0064,0164,00\n"
    "[TILED]\nCOLOR=65280\nIMAGEPERCENT=100\nPATTERN=~0200,0000,0208,0008,10,1\n"
    "[CORNERED]\nCOLOR=0\nIMGTOPLEFT=@0220,0000,0230,0010,1,0\n"
    "IMGBTMRIGHT=@0220,0000,0230,0010,1,0\n";

TEST(SectionPainting, BackgroundsAreCopiedExactlyAndMixedByTransparency) {
  TRichSkin s(RichSections);
  ASSERT_GE(s.Index("CLEAR"), 0) << s.F.Manager->LastLoadError();
  // Every pixel of what lies behind, whatever its value, shows through a clear section.
  auto behind = MakeNoiseBitmap32(20, 20, 11);
  Px(*behind, 3, 3) = 0x7FFFFFFF;
  Px(*behind, 4, 3) = KeyColor;
  auto bmp = MakeBitmap32(10, 10, Grey);
  PaintItem({.Bitmap = bmp.get(),
             .R = TRect{0, 0, 10, 10},
             .SectionIndex = s.Index("CLEAR"),
             .SectionName = "CLEAR",
             .Background = MakeBackgroundSource(behind.get(), 0, 0),
             .Manager = s.F.Manager.get()});
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(Px(*bmp, x, y), Px(*behind, x, y)) << x << "," << y;
  // T = 30 over a white bitmap: the bitmap keeps 30 %.
  auto white = MakeBitmap32(10, 10, White);
  PaintItem({.Bitmap = bmp.get(),
             .R = TRect{0, 0, 10, 10},
             .SectionIndex = s.Index("SEE"),
             .SectionName = "SEE",
             .Background = MakeBackgroundSource(white.get(), 0, 0),
             .Manager = s.F.Manager.get()});
  EXPECT_EQ(Px(*bmp, 5, 5), 0xFF4C4C4Cu);
}

TEST(SectionPainting, FastPainterTakesItsIndexesAsGivenAndTheFillForClearSections) {
  TRichSkin s(RichSections);
  const int half = s.Index("HALF"), clear = s.Index("CLEAR");
  ASSERT_GE(half, 0) << s.F.Manager->LastLoadError();
  auto bmp = MakeBitmap32(20, 10, Grey);
  TsBackgroundSource white;
  white.FillColor = 0xFFFFFF;
  // No texture given: the colour alone (no look-up by name).
  PaintItemFast({.Bitmap = bmp.get(),
                 .R = TRect{0, 0, 20, 10},
                 .SectionIndex = half,
                 .SectionName = "HALF",
                 .Background = white,
                 .Manager = s.F.Manager.get()});
  EXPECT_EQ(Px(*bmp, 5, 5), 0xFF000000u);
  // The texture given: tiled, the colour blended over it by half.
  PaintItemFast({.Bitmap = bmp.get(),
                 .R = TRect{0, 0, 20, 10},
                 .SectionIndex = half,
                 .SectionName = "HALF",
                 .Background = white,
                 .Manager = s.F.Manager.get(),
                 .TextureIndex = s.Mask("HALF", "PATTERN")});
  EXPECT_EQ(Px(*bmp, 5, 5), 0xFF004040u);
  // Clear: the fill colour without a bitmap, the bitmap's pixels with one.
  PaintItemFast({.Bitmap = bmp.get(),
                 .R = TRect{0, 0, 20, 10},
                 .SectionIndex = clear,
                 .SectionName = "CLEAR",
                 .Background = white,
                 .Manager = s.F.Manager.get()});
  EXPECT_EQ(Px(*bmp, 5, 5), White);
  auto behind = MakeNoiseBitmap32(30, 30, 5);
  PaintItemFast({.Bitmap = bmp.get(),
                 .R = TRect{0, 0, 20, 10},
                 .SectionIndex = clear,
                 .SectionName = "CLEAR",
                 .Background = MakeBackgroundSource(behind.get(), 0, 0),
                 .Offset = TPoint{2, 1},
                 .Manager = s.F.Manager.get()});
  EXPECT_EQ(Px(*bmp, 5, 5), Px(*behind, 7, 6));
}

TEST(SectionPainting, MaskedTexturesTileWholeCellsAndLeaveTheRestToTheBackground) {
  TRichSkin s(RichSections);
  const int tiled = s.Mask("TILED", "PATTERN");
  ASSERT_GE(tiled, 0) << s.F.Manager->LastLoadError();
  const TsMaskData& cell = s.MaskData(tiled);  // 8 x 4 cells, DrawFlags 10
  TsBackgroundSource white;
  white.FillColor = 0xFFFFFF;
  struct Case {
    int mode;
    uint32_t at17x0, at0x9, at9x7;
  } cases[] = {{0, Red, Grey, Red}, {10, White, White, Red}, {3, Grey, Grey, Grey}};
  for (const Case& c : cases) {
    auto bmp = MakeBitmap32(20, 10, Grey);
    TRect q{0, 0, 20, 10};
    PaintMaskTiled(bmp.get(), q, white, TileModeOf(c.mode), cell);
    EXPECT_EQ(Px(*bmp, 0, 0), c.mode == 3 ? Grey : Red) << c.mode;
    EXPECT_EQ(Px(*bmp, 17, 0), c.at17x0) << c.mode;  // the cut last column
    EXPECT_EQ(Px(*bmp, 0, 9), c.at0x9) << c.mode;    // under the last whole row
    EXPECT_EQ(Px(*bmp, 9, 7), c.at9x7) << c.mode;
    if (c.mode != 3) {
      EXPECT_EQ(q.Right, -1) << c.mode;
    }
  }
  // A section whose texture is a masked one of mode 10: cells, then the background.
  auto bmp = MakeBitmap32(20, 10, Grey);
  PaintItem({.Bitmap = bmp.get(),
             .R = TRect{0, 0, 20, 10},
             .SectionIndex = s.Index("TILED"),
             .SectionName = "TILED",
             .Background = white,
             .Manager = s.F.Manager.get()});
  EXPECT_EQ(Px(*bmp, 3, 3), Red);
  EXPECT_EQ(Px(*bmp, 17, 3), White);
  // The same texture given to a plain section lays its whole cells over the normal state only.
  const int green = s.Index("GREEN");
  PaintSectionBackground({.Bitmap = bmp.get(),
                          .R = TRect{0, 0, 20, 10},
                          .SectionIndex = green,
                          .SectionName = "GREEN",
                          .Background = white,
                          .Manager = s.F.Manager.get(),
                          .TextureIndex = tiled});
  EXPECT_EQ(Px(*bmp, 3, 3), Red);
  EXPECT_EQ(Px(*bmp, 3, 9), White);
  PaintSectionBackground({.Bitmap = bmp.get(),
                          .R = TRect{0, 0, 20, 10},
                          .SectionIndex = green,
                          .SectionName = "GREEN",
                          .State = TsPaintState::Hot,
                          .Background = white,
                          .Manager = s.F.Manager.get(),
                          .TextureIndex = tiled});
  EXPECT_EQ(Px(*bmp, 3, 3), Green);
}

TEST(SectionPainting, CornerImagesSitInTheCornersOverTheSectionItself) {
  TRichSkin s(RichSections);
  const int cornered = s.Index("CORNERED");
  ASSERT_GE(cornered, 0) << s.F.Manager->LastLoadError();
  auto bmp = MakeBitmap32(30, 30, Grey);
  PaintItem({.Bitmap = bmp.get(),
             .R = TRect{0, 0, 30, 30},
             .SectionIndex = cornered,
             .SectionName = "CORNERED",
             .Background = EmptyBackgroundSource,
             .Manager = s.F.Manager.get()});
  EXPECT_EQ(Px(*bmp, 0, 0), 0xFF000000u);  // key pixel: the section's own black
  EXPECT_EQ(Px(*bmp, 2, 0), White);
  EXPECT_EQ(Px(*bmp, 9, 9), White);
  EXPECT_EQ(Px(*bmp, 15, 15), 0xFF000000u);
  EXPECT_EQ(Px(*bmp, 29, 29), White);
  EXPECT_EQ(Px(*bmp, 20, 20), 0xFF000000u);  // the second image's key pixel
  EXPECT_EQ(Px(*bmp, 22, 20), White);
  EXPECT_EQ(Px(*bmp, 29, 0), 0xFF000000u);  // no top-right image
}

TEST(MaskPainting, KeyPixelsTakeTheBackgroundAndMaskedCopiesRaiseAlpha) {
  TRichSkin s(RichSections);
  const int glyphIndex = s.Mask("CORNERED", "IMGTOPLEFT");
  ASSERT_GE(glyphIndex, 0) << s.F.Manager->LastLoadError();
  auto behind = MakeNoiseBitmap32(40, 40, 9);
  // A plain glyph of the master image: key pixels show the background at the offset.
  auto bmp = MakeBitmap32(20, 20, Grey);
  PaintMaskGlyph(bmp.get(), {3, 4}, 0, s.MaskData(glyphIndex),
                 MakeBackgroundSource(behind.get(), 5, 6));
  EXPECT_EQ(Px(*bmp, 3, 4), Px(*behind, 8, 10) | 0xFF000000u);
  EXPECT_EQ(Px(*bmp, 4, 4), Px(*behind, 9, 10) | 0xFF000000u);
  EXPECT_EQ(Px(*bmp, 5, 4), White);

  // Keyed pixels restored: by their own colour, or where the mask's corner is open.
  auto keyed = MakeBitmap32(30, 30, Grey);
  Px(*keyed, 1, 1) = KeyColor;
  Px(*keyed, 2, 1) = 0x80FF00FF;  // the colour part decides
  Px(*keyed, 3, 1) = 0x00FF00FE;
  RestoreKeyedPixels(keyed.get(), {0, 0, 4, 4}, behind.get(), {4, 5}, CornerTopLeft, nullptr, -1);
  EXPECT_EQ(Px(*keyed, 1, 1), Px(*behind, 5, 6));
  EXPECT_EQ(Px(*keyed, 2, 1), Px(*behind, 6, 6));
  EXPECT_EQ(Px(*keyed, 3, 1), 0x00FF00FEu);
  RestoreKeyedPixels(keyed.get(), {10, 10, 20, 20}, behind.get(), {4, 5}, CornerTopLeft,
                     s.F.Manager.get(), glyphIndex);
  EXPECT_EQ(Px(*keyed, 10, 10), Px(*behind, 4, 5));
  EXPECT_EQ(Px(*keyed, 11, 10), Px(*behind, 5, 5));
  EXPECT_EQ(Px(*keyed, 12, 10), Grey);
  EXPECT_EQ(Px(*keyed, 10, 11), Grey);

  // A masked copy: the mask's grey mixes half and half and adds to the alpha; a mask whose
  // red is 255 leaves the pixel alone.
  TsMaskData masked;
  masked.Image = MakeBitmap32(2, 2, 0xFFFF0000);
  Px(*masked.Image, 0, 1) = 0xFF808080;
  Px(*masked.Image, 1, 1) = 0xFFFFFFFF;
  masked.SourceRect = TRect{0, 0, 2, 2};
  masked.ImageCount = 1;
  masked.MaskType = 1;
  masked.Manager = s.F.Manager.get();
  auto dest = MakeBitmap32(2, 1, 0x000000FF);
  CopyMaskImagePart({0, 0, 2, 1}, {0, 0, 2, 1}, dest.get(), masked, masked.Image.get());
  EXPECT_EQ(Px(*dest, 0, 0), 0x7F7F007Fu);
  EXPECT_EQ(Px(*dest, 1, 0), 0x000000FFu);
}

TEST(SectionPainting, ControlItemRecoloursOnlyWhatItOwns) {
  TRichSkin s(RichSections);
  ASSERT_GE(s.Index("RED"), 0) << s.F.Manager->LastLoadError();
  TFakeSkinDataHost host;
  TsCommonData data(&host);
  data.SetSkinManager(s.F.Manager.get());
  auto bmp = MakeBitmap32(10, 10, Grey);
  TsBackgroundSource red;
  red.FillColor = 0x0000FF;
  struct Case {
    const char* section;
    int hue;
    bool customColor;
    uint32_t want;
  } cases[] = {
      {"RED", 0, false, Red},
      {"RED", 120, false, Green},       // the hue turned by a third
      {"RED", 0, true, 0xFF0000FF},     // the host's own colour (blue)
      {"SEE", 120, false, 0xFF4C0000},  // 30 % red behind, not recoloured: it is the parent's
  };
  host.color = 0xFF0000;
  for (const Case& c : cases) {
    data.SectionIndex = s.Index(c.section);
    data.HUEOffset = c.hue;
    data.CustomColor = c.customColor;
    PaintControlItem(data, red, bmp.get(), {0, 0}, {0, 0, 10, 10}, TsPaintState::Normal);
    EXPECT_EQ(Px(*bmp, 5, 5), c.want) << c.section << " " << c.hue;
  }
}

// ---- fades
// ----------------------------------------------------------------------------------------

struct TFakeFadeHost : IFadeHost {
  bool alive = true, enabled = true, ended = false, invalidated = false;
  std::unique_ptr<TBitmap> cache = MakeBitmap32(4, 4, 0xFF000000);
  std::vector<uint32_t> frames;  // red byte of each frame's first pixel
  bool Alive() const override { return alive; }
  bool Enabled() const override { return enabled; }
  const TBitmap* CacheBitmap() const override { return cache.get(); }
  void ShowFrame(const TBitmap& frame) override {
    frames.push_back((Px(const_cast<TBitmap&>(frame), 0, 0) >> 16) & 0xFF);
  }
  void FadeEnded() override { ended = true; }
  void Invalidate() override { invalidated = true; }
};

TEST(Fades, FourIterationsWeighTheOldImage191_127_63_0) {
  EXPECT_EQ(FadeWeight(1, 4), 191);
  EXPECT_EQ(FadeWeight(2, 4), 127);
  EXPECT_EQ(FadeWeight(3, 4), 63);
  EXPECT_EQ(FadeWeight(4, 4), 0);
  TFakeFadeHost host;
  auto start = MakeBitmap32(4, 4, 0xFFFF0000);  // red, fading to black
  TsFadeSteps fade;
  fade.Prepare(&host, *start, 4, false);
  while (fade.Tick()) {
  }
  EXPECT_EQ(host.frames, (std::vector<uint32_t>{191, 127, 63, 0}));
  EXPECT_TRUE(host.ended);
}

TEST(Fades, PressHalvesTheStepsAndOneStepPressedEndsAtOnce) {
  EXPECT_EQ(FadeStepCount(5, true), 2);
  EXPECT_EQ(FadeStepCount(5, false), 5);
  TFakeFadeHost host;
  auto start = MakeBitmap32(4, 4, 0xFFFF0000);
  TsFadeSteps fade;
  fade.Prepare(&host, *start, 1, true);
  EXPECT_EQ(fade.StepCount, 0);
  EXPECT_FALSE(fade.Tick());
  EXPECT_TRUE(host.frames.empty());
  EXPECT_TRUE(host.ended);
}

TEST(Fades, GoneDisabledOrEndingSessionStopsTheFade) {
  auto start = MakeBitmap32(4, 4, 0xFFFF0000);
  const int before = FadeTimerCount;
  {
    TFakeFadeHost host;
    TsFadeSteps fade;
    EXPECT_EQ(FadeTimerCount, before + 1);
    fade.Prepare(&host, *start, 10, false);
    host.alive = false;
    EXPECT_FALSE(fade.Tick());
    EXPECT_FALSE(fade.Running());
  }
  EXPECT_EQ(FadeTimerCount, before);
  {
    TFakeFadeHost host;
    TsFadeSteps fade;
    fade.Prepare(&host, *start, 10, false);
    host.enabled = false;
    EXPECT_FALSE(fade.Tick());
    EXPECT_TRUE(host.invalidated);
    EXPECT_EQ(fade.StepCount, 0);
  }
  {
    TFakeFadeHost host;
    TsFadeSteps fade;
    fade.Prepare(&host, *start, 10, false);
    EXPECT_TRUE(fade.Tick());
    FadesStopped = true;
    EXPECT_FALSE(fade.Tick());
    FadesStopped = false;
    EXPECT_EQ(host.frames.size(), 1u);
  }
}

TEST(Fades, GlobalDefaultFollowsTheManagersButtonEvents) {
  TsSkinManager manager(nullptr);
  manager.AnimEffects()->Buttons.Events = TskBtnEvents{beMouseEnter};
  const TskAnimatEvents events{aeGlobalDef};
  EXPECT_TRUE(IsAnimEventActive(aeMouseEnter, events, &manager));
  EXPECT_FALSE(IsAnimEventActive(aeMouseDown, events, &manager));
  EXPECT_TRUE(IsAnimEventActive(aeMouseDown, TskAnimatEvents{aeMouseDown}, &manager));
  manager.AnimEffects()->Buttons.Events = TskBtnEvents{beMouseEnter, beMouseDown};
  EXPECT_TRUE(IsAnimEventActive(aeMouseDown, events, &manager));
}

}  // namespace
