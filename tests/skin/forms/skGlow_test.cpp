// Glow effects without windows: where a glow window goes and what part of its picture it
// shows, the picture painted from the test skin's glow mask, the glow list's ids, and when
// a control's skin data shows or frees its glow.
#include "skin/forms/skGlow.h"

#include <gtest/gtest.h>

#include "skin/core/painting/sCommonData.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "tests/skin/core/FakeSkinDataHost.h"
#include "tests/skin/core/SkinTestFiles.h"

using skintest::Pixel32;

namespace {

// ---- geometry -------------------------------------------------------------------------------

// Mask borders 10 (left), 6 (top), 12 (right), 8 (bottom); margin 2; rectangle 100 x 40 at
// (200, 300). The whole glow is 100 + 10 + 12 - 4 = 118 wide and 40 + 6 + 8 - 4 = 50 high.
TEST(GlowGeometryTest, PlacementFollowsTheVisiblePartOfTheRectangle) {
  const TRect rect{200, 300, 300, 340};
  const TskGlowMaskWidths mask{10, 6, 12, 8};
  struct TCase {
    const char* what;
    TRect clip;
    int cropLeft, cropTop, width, height, x, y;
  } cases[] = {
      {"all visible", {0, 0, 100, 40}, 0, 0, 118, 50, 192, 296},
      {"right cut", {0, 0, 60, 40}, 0, 0, 68, 50, 192, 296},
      {"left cut", {40, 0, 100, 40}, 48, 0, 70, 50, 240, 296},
      {"top cut", {0, 15, 100, 40}, 0, 19, 118, 31, 192, 315},
      {"bottom cut", {0, 0, 100, 25}, 0, 0, 118, 29, 192, 296},
      {"both sides cut", {40, 0, 60, 40}, 48, 0, 20, 50, 240, 296},
      {"nothing visible", {0, 0, 0, 0}, 0, 0, 0, 0, 192, 296},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    const TskGlowPlacement p = CalcGlowPlacement(rect, c.clip, mask, 2);
    EXPECT_EQ(p.ImageWidth, 118);
    EXPECT_EQ(p.ImageHeight, 50);
    EXPECT_EQ(p.CropLeft, c.cropLeft);
    EXPECT_EQ(p.CropTop, c.cropTop);
    EXPECT_EQ(p.Width, c.width);
    EXPECT_EQ(p.Height, c.height);
    EXPECT_EQ(p.Position.X, c.x);
    EXPECT_EQ(p.Position.Y, c.y);
    // The window's right edge: the visible part's right edge plus what the mask adds there
    // when that side shows, or the visible edge itself when it is cut.
    if (c.width > 0) {
      const int right = c.clip.Right == 100 ? 300 + 12 - 2 : 200 + c.clip.Right;
      EXPECT_EQ(p.Position.X + p.Width, right);
    }
    EXPECT_EQ(p.Empty(), c.width <= 0);
  }
}

TEST(GlowGeometryTest, AMarginLargerThanTheMaskLeavesNothingToShow) {
  const TskGlowPlacement p =
      CalcGlowPlacement(TRect{0, 0, 4, 4}, TRect{0, 0, 4, 4}, TskGlowMaskWidths{2, 2, 2, 2}, 5);
  EXPECT_TRUE(p.Empty());
}

// ---- the picture ----------------------------------------------------------------------------

struct TGlowSkin : ::testing::Test {
  void SetUp() override {
    // The skin data reaches the glow list through the services a program registers.
    SetFormServices(&services);
    skintest::AddSkinFolder(f.Fs, "Test", "C:\\App\\Skins\\Test");
    f.Manager->SetSkinName("Test");
    ASSERT_EQ(f.Manager->LastLoadError(), "");
    mask = FindMaskIndex(f.Manager.get(), "GLOWING", "GLOW0");
    ASSERT_GE(mask, 0);
  }
  void TearDown() override {
    FreeAllGlows();
    SetFormServices(nullptr);
  }
  TskGlowServices services;
  skintest::TManagerFixture f;
  int mask = -1;
};

// The test skin's glow mask: 12 x 12, borders of 4, each corner and edge its own colour.
constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF,
                   kYellow = 0xFFFFFF00, kCyan = 0xFF00FFFF, kOrange = 0xFFFF8000,
                   kPurple = 0xFF800080;

TEST_F(TGlowSkin, PictureIsTheMaskNineSlicedWithAClearCentre) {
  TskGlowEffect glow(nullptr);  // the default manager
  EXPECT_EQ(glow.GlowManager, f.Manager.get());
  glow.GlowMask = mask;
  const TskGlowMaskWidths widths = glow.MaskWidths();
  EXPECT_EQ(widths.Left, 4);
  EXPECT_EQ(widths.Bottom, 4);
  glow.BuildImage(30, 20);
  ASSERT_TRUE(glow.Image);
  TBitmap& image = *glow.Image;
  EXPECT_EQ(image.Width(), 30);
  EXPECT_EQ(image.Height(), 20);
  struct TProbe {
    int x, y;
    uint32_t pixel;
  } probes[] = {{0, 0, kRed},    {3, 3, kRed},     {29, 0, kGreen},   {26, 3, kGreen},
                {0, 19, kBlue},  {29, 19, kWhite}, {4, 0, kYellow},   {25, 3, kYellow},
                {15, 19, kCyan}, {0, 10, kOrange}, {29, 10, kPurple}, {4, 4, 0},
                {15, 10, 0},     {25, 15, 0}};
  for (const TProbe& p : probes) EXPECT_EQ(Pixel32(image, p.x, p.y), p.pixel) << p.x << "," << p.y;
}

TEST_F(TGlowSkin, WithoutAMaskThePictureIsClear) {
  TskGlowEffect glow(f.Manager.get());
  glow.BuildImage(10, 8);
  ASSERT_TRUE(glow.Image);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(Pixel32(*glow.Image, x, y), 0u);
  EXPECT_EQ(glow.MaskWidths().Left, 0);
}

// A rectangle whose right part is hidden: the cut picture ends in the top edge's colour, not
// in the right corner's.
TEST_F(TGlowSkin, ACutSideEndsWithoutItsCorner) {
  TskGlowEffect glow(f.Manager.get());
  glow.GlowMask = mask;
  glow.GlowMargin = 1;
  const TskGlowPlacement p =
      CalcGlowPlacement(TRect{0, 0, 40, 20}, TRect{10, 0, 30, 20}, glow.MaskWidths(), 1);
  glow.BuildImage(p.ImageWidth, p.ImageHeight);
  auto part = CropGlowImage(*glow.Image, p);
  ASSERT_EQ(part->Width(), 20);
  ASSERT_EQ(part->Height(), 26);
  EXPECT_EQ(Pixel32(*part, 0, 0), kYellow);
  EXPECT_EQ(Pixel32(*part, 19, 0), kYellow);
  EXPECT_EQ(Pixel32(*part, 0, 25), kCyan);
  EXPECT_EQ(Pixel32(*part, 10, 10), 0u);
}

TEST(GlowPictureTest, PremultiplyScalesColoursByTheirAlpha) {
  TBitmap bmp;
  bmp.SetPixelFormat(pf32bit);
  bmp.SetSize(4, 1);
  const uint32_t in[4] = {0xFFC86432, 0x80C86432, 0x00FFFFFF, 0x01FF0000};
  const uint32_t out[4] = {0xFFC86432, 0x80643219, 0x00000000, 0x01010000};
  auto* row = reinterpret_cast<uint32_t*>(bmp.ScanLine(0));
  for (int i = 0; i < 4; ++i) row[i] = in[i];
  PremultiplyAlpha(&bmp);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Pixel32(bmp, i, 0), out[i]) << i;
}

// ---- the glow list --------------------------------------------------------------------------

struct TCountedGlow : TskGlowEffect {
  explicit TCountedGlow(int* freed) : TskGlowEffect(nullptr), freed_(freed) {}
  ~TCountedGlow() override { ++*freed_; }
  int* freed_;
};

TEST(GlowListTest, IdsStayValidWhenAnotherGlowIsFreed) {
  int freed = 0;
  const int a = AddGlow(std::make_unique<TCountedGlow>(&freed));
  const int b = AddGlow(std::make_unique<TCountedGlow>(&freed));
  const int c = AddGlow(std::make_unique<TCountedGlow>(&freed));
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(c, 2);
  TskGlowEffect* third = GlowAt(c);
  FreeGlow(b);
  EXPECT_EQ(freed, 1);
  EXPECT_EQ(GlowCount(), 3);
  EXPECT_EQ(GlowAt(b), nullptr);
  EXPECT_EQ(GlowAt(c), third);
  // The next glow goes to the end, not into the empty slot.
  EXPECT_EQ(AddGlow(std::make_unique<TCountedGlow>(&freed)), 3);
  // Ids outside the list and empty slots are passed over.
  for (int id : {-1, b, 4, 1000}) FreeGlow(id);
  EXPECT_EQ(freed, 1);
  FreeAllGlows();
  EXPECT_EQ(freed, 4);
  EXPECT_EQ(GlowCount(), 0);
  EXPECT_EQ(GlowAt(0), nullptr);
  EXPECT_EQ(AddGlow(std::make_unique<TCountedGlow>(&freed)), 0);
  FreeAllGlows();
}

// A glow that frees other glows while it goes (its window's last messages may do that).
struct TFreeingGlow : TskGlowEffect {
  TFreeingGlow() : TskGlowEffect(nullptr) {}
  ~TFreeingGlow() override {
    FreeGlow(0);
    FreeAllGlows();
  }
};

TEST(GlowListTest, AGlowFreeingOthersWhileItGoesIsSafe) {
  int freed = 0;
  AddGlow(std::make_unique<TCountedGlow>(&freed));
  const int id = AddGlow(std::make_unique<TFreeingGlow>());
  AddGlow(std::make_unique<TCountedGlow>(&freed));
  FreeGlow(id);
  EXPECT_EQ(freed, 2);
  EXPECT_EQ(GlowCount(), 0);
  AddGlow(std::make_unique<TFreeingGlow>());
  FreeAllGlows();
  EXPECT_EQ(GlowCount(), 0);
}

// ---- the skin data's glow -------------------------------------------------------------------

TEST_F(TGlowSkin, SkinDataGlowsOnlyWhileHotAndAllowed) {
  using A = TsCommonData::TGlowAction;
  struct TCase {
    const char* what;
    const char* section;
    bool control, mouseOver, allow, hide, button;
    A action;
  } cases[] = {
      {"hot control", "GLOWING", true, true, true, false, false, A::Show},
      {"mouse gone", "GLOWING", true, false, true, false, false, A::Free},
      {"button down on it", "GLOWING", true, true, true, false, true, A::Free},
      {"hide", "GLOWING", true, true, true, true, false, A::Free},
      {"window owner", "GLOWING", false, false, true, false, false, A::Show},
      {"window owner, hide", "GLOWING", false, false, true, true, false, A::Free},
      {"glowing not allowed", "GLOWING", true, true, false, false, false, A::None},
      {"section without GLOW", "BUTTON", true, true, true, false, false, A::None},
      {"section not in the skin", "NOSUCH", true, true, true, false, false, A::None},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TFakeSkinDataHost host;
    host.control = c.control;
    TsCommonData data(&host);
    data.SetSkinSection(c.section);
    data.UpdateIndexes();
    data.MouseOver = c.mouseOver;
    f.Manager->Effects()->SetAllowGlowing(c.allow);
    EXPECT_EQ(data.GlowAction(c.hide, c.button), c.action);
  }
  f.Manager->Effects()->SetAllowGlowing(true);
}

TEST_F(TGlowSkin, SkinDataFreesOnlyItsOwnGlow) {
  int freed = 0;
  TFakeSkinDataHost host;
  {
    auto data = std::make_unique<TsCommonData>(&host);
    data->SetShownGlow(AddGlow(std::make_unique<TCountedGlow>(&freed)));
    EXPECT_EQ(data->GlowIndex, 0);
    data.reset();  // a shown glow goes with its skin data
    EXPECT_EQ(freed, 1);
  }
  FreeAllGlows();
  // The list was emptied (a skin change) and the same id went to another control's glow.
  TsCommonData first(&host);
  first.SetShownGlow(AddGlow(std::make_unique<TCountedGlow>(&freed)));
  FreeAllGlows();
  EXPECT_EQ(freed, 2);
  const int other = AddGlow(std::make_unique<TCountedGlow>(&freed));
  ASSERT_EQ(other, first.GlowIndex);
  first.FreeShownGlow();
  EXPECT_EQ(first.GlowIndex, -1);
  EXPECT_NE(GlowAt(other), nullptr);
  EXPECT_EQ(freed, 2);
}

}  // namespace
