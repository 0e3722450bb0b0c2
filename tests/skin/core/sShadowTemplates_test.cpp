// The window shadow of extended borders without windows: the shadow images and margins a
// skin gets from its EXBORDER mask or from the program's templates, and the manager's switch,
// which reads true only where layered windows exist.
#include "skin/core/skinfiles/sShadowTemplates.h"

#include <gtest/gtest.h>

#include "imaging/skPNG.h"
#include "skin/core/pixels/sGraphics.h"
#include "tests/skin/core/SkinTestFiles.h"

using skintest::Pixel32;

namespace {

constexpr TColor kRed = 0x0000FF, kGreen = 0x00FF00;

void ExpectMargins(const TRect& m, int left, int top, int right, int bottom) {
  EXPECT_EQ(m.Left, left);
  EXPECT_EQ(m.Top, top);
  EXPECT_EQ(m.Right, right);
  EXPECT_EQ(m.Bottom, bottom);
}

// A 46 x 42 template whose pixels tell where they came from; one pure white clear pixel.
std::unique_ptr<TBitmap> Template(uint32_t alphaBits) {
  auto t = CreateBmp32(46, 42);
  for (int y = 0; y < 42; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(t->ScanLine(y));
    for (int x = 0; x < 46; ++x) row[x] = alphaBits | static_cast<uint32_t>(x + 256 * y);
  }
  reinterpret_cast<uint32_t*>(t->ScanLine(0))[0] = 0x00FFFFFF;
  return t;
}

TEST(ShadowTemplatesTest, ASkinWithoutExBorderGetsCopiesOfTheTemplates) {
  skintest::TManagerFixture f;
  f.AddFolderSkin("Plain", "[GLOBALINFO]\nCOLOR=255\n");
  f.Manager->SetSkinName("Plain");
  const auto active = Template(0x80000000), inactive = Template(0x40000000);
  for (bool composition : {false, true}) {
    SCOPED_TRACE(composition);
    TsShadowImages s = MakeShadowImages(*f.Manager, active.get(), inactive.get(), composition);
    const int wider = composition ? 1 : 0;
    ExpectMargins(s.Margins, 11 + wider, 7 + wider, 11 + wider, 11 + wider);
    ASSERT_TRUE(s.Active && s.Inactive);
    EXPECT_NE(s.Active.get(), active.get());
    EXPECT_EQ(s.Active->Width(), 46);
    EXPECT_EQ(s.Inactive->Height(), 42);
    EXPECT_EQ(Pixel32(*s.Active, 45, 41), 0x80000000u | (45 + 256 * 41));
    EXPECT_EQ(Pixel32(*s.Inactive, 3, 2), 0x40000000u | (3 + 256 * 2));
    // Pure white with alpha 0 is cleared.
    EXPECT_EQ(Pixel32(*s.Active, 0, 0), 0u);
  }
  // Without templates there is no shadow at all.
  TsShadowImages none = MakeShadowImages(*f.Manager, nullptr, inactive.get(), false);
  EXPECT_FALSE(none.Active || none.Inactive);
  ExpectMargins(none.Margins, 0, 0, 0, 0);
}

// EXBORDER of two 20 x 20 states (red, then green) with borders 10, 9, 8, 7.
const char* ExBorderSkin(const char* extra, int states) {
  static std::string text;
  text = std::string("[GLOBALINFO]\nFORMOFFSET=3\n") + extra + "EXBORDER=!EX.BMP!" +
         std::to_string(states) + "!0!0!10!9!8!7\n";
  return text.c_str();
}

TEST(ShadowTemplatesTest, AnExBorderMaskGivesTheShadowItsStatesAndWidths) {
  const auto templateImage = Template(0xFF000000);
  struct TCase {
    const char* what;
    const char* extra;
    int states;
    int left, top, right, bottom;
    TColor active;
  } cases[] = {
      {"border widths less the form offset", "", 2, 7, 6, 5, 4, kGreen},
      {"border mode: the form offset on every side", "BORDERMODE=1\n", 2, 3, 3, 3, 3, kGreen},
      {"one state: the active image is the same", "", 1, 7, 6, 5, 4, kRed},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    skintest::TManagerFixture f;
    const int width = 20 * c.states;
    f.AddFolderSkin(
        "Ex", ExBorderSkin(c.extra, c.states),
        {{"EX.BMP", skintest::BmpFile(width, 20, kRed, {{TRect{20, 0, 40, 20}, kGreen}})}});
    f.Manager->SetSkinName("Ex");
    ASSERT_EQ(f.Manager->LastLoadError(), "");
    ASSERT_GE(f.Manager->FixedIndexes().ExBorder, 0);
    TsShadowImages s = MakeShadowImages(*f.Manager, templateImage.get(), templateImage.get(), true);
    ExpectMargins(s.Margins, c.left, c.top, c.right, c.bottom);
    ASSERT_TRUE(s.Active && s.Inactive);
    EXPECT_EQ(s.Inactive->Width(), 20);
    EXPECT_EQ(s.Active->Height(), 20);
    EXPECT_EQ(Pixel32(*s.Inactive, 10, 10), 0xFFFF0000u);
    EXPECT_EQ(Pixel32(*s.Active, 19, 19), c.active == kGreen ? 0xFF00FF00u : 0xFFFF0000u);
  }
}

// Our full skin keeps its EXBORDER in the master image: the shadow is copied from there.
TEST(ShadowTemplatesTest, AnExBorderInTheMasterImageIsCopiedFromIt) {
  skintest::TManagerFixture f;
  skintest::AddSkinFolder(f.Fs, "Full", "C:\\App\\Skins\\Full");
  f.Manager->SetSkinName("Full");
  ASSERT_EQ(f.Manager->LastLoadError(), "");
  const int ex = f.Manager->FixedIndexes().ExBorder;
  ASSERT_GE(ex, 0);
  const TsMaskData& mask = f.Manager->Masks()[static_cast<size_t>(ex)];
  ASSERT_FALSE(mask.Image);
  TsShadowImages s = MakeShadowImages(*f.Manager, nullptr, nullptr, false);
  ASSERT_TRUE(s.Active && s.Inactive);
  EXPECT_EQ(s.Inactive->Width(), MaskStateWidth(mask));
  EXPECT_EQ(s.Inactive->Height(), MaskStateHeight(mask));
  TBitmap& master = *f.Manager->MasterImage();
  EXPECT_EQ(Pixel32(*s.Inactive, 20, 1),
            Pixel32(master, mask.SourceRect.Left + 20, mask.SourceRect.Top + 1));
  EXPECT_EQ(
      Pixel32(*s.Active, 20, 1),
      Pixel32(master, mask.SourceRect.Left + MaskStateWidth(mask) + 20, mask.SourceRect.Top + 1));
}

TEST(ShadowTemplatesTest, BytesThatAreNoPngLeaveNoTemplates) {
  EXPECT_FALSE(LoadShadowTemplates({1, 2, 3}, {}));
  EXPECT_FALSE(ActiveShadowTemplate);
  EXPECT_FALSE(InactiveShadowTemplate);
  FreeShadowTemplates();
}

// Extended borders read true only where layered windows exist; without, the margins stay 0.
TEST(ShadowTemplatesTest, ExtendedBordersNeedLayeredWindows) {
  skintest::TManagerFixture f;
  f.AddFolderSkin("Plain", "[GLOBALINFO]\nCOLOR=255\n");
  f.Manager->SetSkinName("Plain");
  f.Manager->SetExtendedBorders(true);
  EXPECT_EQ(f.Manager->ExtendedBorders(), HasLayeredWindows());
  if (!HasLayeredWindows()) ExpectMargins(f.Manager->ShadowMargins(), 0, 0, 0, 0);
  f.Manager->SetExtendedBorders(false);
  ExpectMargins(f.Manager->ShadowMargins(), 0, 0, 0, 0);
}

}  // namespace
