// The skin tables as the manager reads them: every mask value syntax with the examples skins
// use, the master image, patterns and textures, sections with their PARENTCLASS fall-back.
#include "skin/core/skinfiles/SkinTables.h"

#include <gtest/gtest.h>

#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/core/skinfiles/skSkinPack.h"
#include "tests/skin/core/SkinTestFiles.h"

namespace {

using skintest::BmpFile;
using skintest::Pixel32;
using skintest::TManagerFixture;

struct TMaskCase {
  const char* value;
  const char* section;  // as stored: written for "!@^~", upper-cased for the other two
  TRect rect;
  int imageCount, maskType, drawFlags, borderWidth, kind;
  int widths[4];
  bool ownImage;
};

TEST(SkinTablesTest, EveryMaskValueSyntax) {
  const TMaskCase cases[] = {
      {"^0010,0020,0110,0050,0004,0004,0004,0004,3,1,4,0",
       "Sec",
       {10, 20, 110, 50},
       3,
       1,
       4,
       0,
       mkBorders,
       {4, 4, 4, 4},
       false},
      {"^0000,0000,0030,0030,0000,0000,0000,0000,3,1,4,2",
       "Sec",
       {0, 0, 30, 30},
       3,
       1,
       4,
       2,
       mkBorders,
       {2, 2, 2, 2},
       false},
      {"^0000,0000,0030,0030,0000,0000,0000,0000,3,0,4,0",
       "Sec",
       {0, 0, 30, 30},
       3,
       0,
       4,
       0,
       mkBorders,
       {3, 10, 3, 10},
       false},
      {"@0000,0000,0060,0020,3,0", "Sec", {0, 0, 60, 20}, 3, 0, 0, 0, mkGlyph, {0, 0, 0, 0}, false},
      {"~0000,0100,0064,0164,00",
       "Sec",
       {0, 100, 64, 164},
       1,
       0,
       0,
       0,
       mkTexture,
       {0, 0, 0, 0},
       false},
      {"~0000,0000,0032,0032,01,1",
       "Sec",
       {0, 0, 32, 32},
       1,
       1,
       1,
       0,
       mkTexture,
       {0, 0, 0, 0},
       false},
      {"!BTN.BMP!4!1!0", "Sec", {0, 0, 40, 30}, 4, 1, 4, 0, mkBorders, {3, 5, 3, 5}, true},
      {"!BTN.BMP!2!1!9!1!2!3!4!6", "Sec", {0, 0, 40, 30}, 2, 1, 6, 0, 4, {1, 2, 3, 4}, true},
      {"#(120,60,180,90)(3,1,2,1)",
       "SEC",
       {120, 60, 180, 90},
       3,
       1,
       1,
       2,
       mkBorders,
       {2, 2, 2, 2},
       false},
      {"#(0,0,30,30)", "SEC", {0, 0, 30, 30}, 1, 0, 1, 0, mkBorders, {10, 10, 10, 10}, false},
      {"btn.bmp", "SEC", {0, 0, 40, 30}, 3, 1, 0, 0, mkBorders, {4, 5, 4, 5}, true},
  };
  for (const TMaskCase& c : cases) {
    TManagerFixture f;
    f.AddFolderSkin(
        "S", std::string("[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n[Sec]\nKey=") + c.value,
        {{"MASTER.BMP", BmpFile(256, 256, clWhite)}, {"BTN.BMP", BmpFile(40, 30, clPurple)}});
    f.Manager->SetSkinName("S");
    ASSERT_EQ(f.Manager->LastLoadError(), "") << c.value;
    ASSERT_EQ(f.Manager->Masks().size(), 1u) << c.value;
    const TsMaskData& m = f.Manager->Masks()[0];
    EXPECT_EQ(m.SectionName, c.section) << c.value;
    EXPECT_EQ(m.PropertyName, std::string(c.section) == "SEC" ? "KEY" : "Key") << c.value;
    EXPECT_EQ(m.SourceRect, c.rect) << c.value;
    EXPECT_EQ(m.ImageCount, c.imageCount) << c.value;
    EXPECT_EQ(m.MaskType, c.maskType) << c.value;
    EXPECT_EQ(m.DrawFlags, c.drawFlags) << c.value;
    EXPECT_EQ(m.BorderWidth, c.borderWidth) << c.value;
    EXPECT_EQ(m.MaskKind, c.kind) << c.value;
    EXPECT_EQ(m.WidthLeft, c.widths[0]) << c.value;
    EXPECT_EQ(m.WidthTop, c.widths[1]) << c.value;
    EXPECT_EQ(m.WidthRight, c.widths[2]) << c.value;
    EXPECT_EQ(m.WidthBottom, c.widths[3]) << c.value;
    EXPECT_EQ(m.Image != nullptr, c.ownImage) << c.value;
    EXPECT_EQ(m.Manager, f.Manager.get());
    if (m.Image) {
      EXPECT_EQ(m.Image->PixelFormat(), pf32bit);
    }
  }
}

TEST(SkinTablesTest, ARectangleReachingPastTheMasterImageIsClipped) {
  TManagerFixture f;
  f.AddFolderSkin("S", "[GLOBALINFO]\nMASTERBITMAP=M.BMP\n[A]\nG=@0050,0000,0070,0080,1,0",
                  {{"M.BMP", BmpFile(64, 48, clWhite)}});
  f.Manager->SetSkinName("S");
  ASSERT_EQ(f.Manager->LastLoadError(), "");
  ASSERT_EQ(f.Manager->Masks().size(), 1u);
  EXPECT_EQ(f.Manager->Masks()[0].SourceRect, (TRect{50, 0, 64, 48}));
}

TEST(SkinTablesTest, ValuesThatAreNoMasksAndMissingImagesGiveNoEntry) {
  TManagerFixture f;
  f.AddFolderSkin("S",
                  "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n[A]\nCOLOR=$FF\nEMPTY=\nHASH=#\n"
                  "TEXT=hello\nMISSING=!NONE.BMP!1!1\nMISSINGNAME=NONE.BMP\nNOTIMAGE=!A.GIF!1!1\n"
                  "JPEG=NONE.JPG",
                  {{"MASTER.BMP", BmpFile(8, 8, clWhite)}});
  f.Manager->SetSkinName("S");
  EXPECT_EQ(f.Manager->LastLoadError(), "");
  EXPECT_TRUE(f.Manager->Masks().empty());
  EXPECT_TRUE(f.Manager->Patterns().empty());
}

TEST(SkinTablesTest, MasterImageIs32BitWithKeyPixelsTransparent) {
  TManagerFixture f;
  f.AddFolderSkin("S", "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP",
                  {{"MASTER.BMP",
                    BmpFile(16, 8, clWhite, {{{0, 0, 4, 4}, clFuchsia}, {{4, 0, 8, 4}, clRed}})}});
  f.Manager->SetSkinName("S");
  TBitmap* master = f.Manager->MasterImage();
  ASSERT_TRUE(master && !master->Empty());
  EXPECT_EQ(master->PixelFormat(), pf32bit);
  EXPECT_EQ(Pixel32(*master, 1, 1), 0x00FF00FFu);  // key: alpha 0
  EXPECT_EQ(Pixel32(*master, 5, 1), 0xFFFF0000u);  // red, opaque
  EXPECT_EQ(Pixel32(*master, 10, 6), 0xFFFFFFFFu);
}

// The generated test skin: exact pixels of every region, patterns against textures.
TEST(SkinTablesTest, GeneratedTestSkinHasItsKnownColours) {
  TManagerFixture f;
  skintest::AddSkinFolder(f.Fs, "Test", "C:\\App\\Skins\\Test");
  f.Manager->SetSkinName("Test");
  ASSERT_EQ(f.Manager->LastLoadError(), "");
  TsSkinManager& m = *f.Manager;
  TBitmap& master = *m.MasterImage();
  EXPECT_EQ(Pixel32(master, 5, 5), 0xFFFF0000u);     // glyph state 0: red
  EXPECT_EQ(Pixel32(master, 25, 5), 0xFF00FF00u);    // state 1: green
  EXPECT_EQ(Pixel32(master, 45, 5), 0xFF0000FFu);    // state 2: blue
  EXPECT_EQ(Pixel32(master, 50, 25), 0xFFFFFF00u);   // bordered colour row: yellow
  EXPECT_EQ(Pixel32(master, 50, 40), 0xFF000000u);   // its mask row
  EXPECT_EQ(Pixel32(master, 10, 120), 0xFF008080u);  // texture: teal
  EXPECT_EQ(Pixel32(master, 205, 5), 0x00FF00FFu);   // key, transparent

  const int button = m.GetSectionIndex("BUTTON");
  ASSERT_GE(button, 0);
  auto mask = [&](const char* property) -> const TsMaskData& {
    const int i = m.GetMaskIndex(button, "BUTTON", property);
    EXPECT_TRUE(m.IsValidMaskIndex(i)) << property;
    return m.Masks()[static_cast<size_t>(std::max(i, 0))];
  };
  EXPECT_EQ(mask("GLYPHMASK").MaskKind, mkGlyph);
  EXPECT_EQ(MaskStateWidth(mask("GLYPHMASK")), 20);
  EXPECT_EQ(mask("PATTERN").MaskKind, mkTexture);
  EXPECT_EQ(Pixel32(*mask("OWNMASK").Image, 3, 3), 0xFF800080u);
  // PNG: white pixels with alpha 0 are cleared, the rest keeps its alpha.
  const TsMaskData& png = mask("PNGMASK");
  EXPECT_EQ(Pixel32(*png.Image, 3, 1), 0u);
  EXPECT_EQ(Pixel32(*png.Image, 3, 10), 0xFF0000FFu);
  EXPECT_EQ(Pixel32(*mask("CORNERMASK").Image, 2, 2), 0xFF00FFFFu);
  EXPECT_EQ(mask("FRAMEMASK").BorderWidth, 2);
  // JPEG: 1000 x 900 stays a pattern; 1000 x 899 and the small one become textures.
  ASSERT_EQ(m.Patterns().size(), 1u);
  EXPECT_EQ(m.Patterns()[0].PropertyName, "BIGPATTERN");
  EXPECT_EQ(m.GetPatternIndex(button, "BUTTON", "BIGPATTERN"), 0);
  for (const char* texture : {"TEXTURE", "EDGEPATTERN"}) {
    const int t = m.GetTextureIndex(button, "BUTTON", texture);
    ASSERT_TRUE(m.IsValidMaskIndex(t)) << texture;
    const TsMaskData& tm = m.Masks()[static_cast<size_t>(t)];
    EXPECT_EQ(tm.SourceRect, TRect{}) << texture;
    EXPECT_EQ(tm.Image->PixelFormat(), pf32bit);
    EXPECT_EQ(Pixel32(*tm.Image, 1, 1) >> 24, 0xFFu);
  }
  const uint32_t jpeg =
      Pixel32(*m.Masks()[static_cast<size_t>(m.GetTextureIndex(button, "BUTTON", "TEXTURE"))].Image,
              10, 10);
  EXPECT_NEAR((jpeg >> 16) & 0xFF, 200, 3);
  EXPECT_NEAR((jpeg >> 8) & 0xFF, 100, 3);
  EXPECT_NEAR(jpeg & 0xFF, 50, 3);
}

TEST(SkinTablesTest, SectionsReadEveryColourSyntaxAndTheParentChain) {
  TManagerFixture f;
  skintest::AddSkinFolder(f.Fs, "Test", "C:\\App\\Skins\\Test");
  f.Manager->SetSkinName("Test");
  TsSkinManager& m = *f.Manager;
  const TsGeneralData& button = m.Sections()[static_cast<size_t>(m.GetSectionIndex("BUTTON"))];
  EXPECT_EQ(button.Color, 0x00FF00);
  EXPECT_EQ(button.FontColor, 0x000080);
  EXPECT_EQ(button.HotColor, 0x0000FF);
  EXPECT_EQ(button.HotFontColor, -16);  // a system colour reference, kept in its own section
  EXPECT_EQ(button.States, 4);
  EXPECT_EQ(button.GradientPercent, 100);
  EXPECT_EQ(button.Props[0].GradientData, button.GradientData);
  ASSERT_EQ(button.Gradient.size(), 2u);
  EXPECT_EQ(button.Gradient[0].Color1, 16777215);
  EXPECT_EQ(button.Gradient[0].Percent, 50);
  EXPECT_EQ(button.Gradient[1].Color2, 8421504);
  EXPECT_EQ(button.Props[0].Gradient.size(), 2u);
  EXPECT_TRUE(button.HotGradient.empty());

  const int childIndex = m.GetSectionIndex("CHILDBUTTON");
  const TsGeneralData& child = m.Sections()[static_cast<size_t>(childIndex)];
  EXPECT_EQ(child.ParentClass, "BUTTON");
  EXPECT_EQ(child.FontColor, 255);   // its own
  EXPECT_EQ(child.Color, 0x00FF00);  // the parent's
  EXPECT_EQ(child.HotColor, 0x0000FF);
  EXPECT_EQ(child.HotFontColor, ColorToRGB(-16));  // inherited values become RGB
  EXPECT_EQ(child.BorderMaskIndex,
            m.GetMaskIndex(m.GetSectionIndex("BUTTON"), "BUTTON", "BORDERSMASK"));
  EXPECT_GE(child.BorderMaskIndex, 0);
  EXPECT_EQ(FindMaskIndex(&m, "CHILDBUTTON", "BORDERSMASK"), -1);

  const TsGeneralData& one = m.Sections()[static_cast<size_t>(m.GetSectionIndex("ONESTATE"))];
  EXPECT_EQ(one.States, 1);
  EXPECT_EQ(one.Props[1].Color, one.Props[0].Color);  // HOTCOLOR is not read
  EXPECT_EQ(one.Props[1].Color, 8421504);
  const TsGeneralData& clear = m.Sections()[static_cast<size_t>(m.GetSectionIndex("CLEAR"))];
  EXPECT_EQ(clear.Transparency, 100);
  EXPECT_EQ(clear.HotTransparency, 100);
  EXPECT_EQ(clear.Color, 0xFFFFFF);  // the default
  EXPECT_EQ(clear.FadingIterations, 5);
  EXPECT_EQ(m.CurrentSkin().Version, 7.1);
  EXPECT_EQ(m.CurrentSkin().BorderColor, 0x808080);
}

TEST(SkinTablesTest, SectionNamingItselfAsParentEndsItsChain) {
  TManagerFixture f;
  f.Fs.AddFile("C:\\App\\Skins\\Self.asz", skintest::SkinFile("odd/parent-self.asz"));
  f.Manager->SetSkinName("Self");
  ASSERT_EQ(f.Manager->LastLoadError(), "");
  TsSkinManager& m = *f.Manager;
  const int c = m.GetSectionIndex("C");
  EXPECT_EQ(m.GetMaskIndex(c, "C", "BORDERSMASK"), -1);
  EXPECT_EQ(m.Sections()[static_cast<size_t>(c)].Color, 0xFFFFFF);
}

// ---- chains and limits ---------------------------------------------------------------------

struct TNoImages : ISkinImageSource {
  TMemoryStream* Open(const std::string&, std::unique_ptr<TMemoryStream>&) const override {
    return nullptr;
  }
};

// `count` sections, each naming the one before it as its parent; the first has a colour.
std::string ChainedSections(int count) {
  std::string ini = "[S0]\r\nCOLOR=$123456\r\n";
  for (int i = 1; i < count; ++i)
    ini += "[S" + std::to_string(i) + "]\r\nPARENTCLASS=S" + std::to_string(i - 1) + "\r\n";
  return ini;
}

TEST(SkinTablesTest, ReadingSectionsAsksEachSectionABoundedNumberOfTimesWhateverTheChainDepth) {
  // Chains of the deepest allowed length, side by side: each value a section inherits is
  // resolved once per section, not once per step up the chain.
  for (const int chains : {1, 60}) {
    std::string text;
    for (int c = 0; c < chains; ++c) {
      std::string prefix = "C";
      prefix.append(std::to_string(c)).append("_");
      text += "[" + prefix + "0]\r\nCOLOR=$123456\r\nBORDERSMASK=@0000,0000,0030,0010,3,0\r\n";
      for (int i = 1; i < TSkinLimits::MaxParentChain; ++i)
        text += "[" + prefix + std::to_string(i) + "]\r\nPARENTCLASS=" + prefix +
                std::to_string(i - 1) + "\r\n";
    }
    const TSkinIni ini(text);
    const TNoImages images;
    TsSkinTables tables;
    ReadSkinTables(ini, images, TSkinReadSettings{}, tables);
    const size_t sections = ini.Sections().size();
    ASSERT_EQ(tables.Sections.size(), sections);
    const TsGeneralData& deepest = tables.Sections.back();
    EXPECT_EQ(deepest.Color, ColorToRGB(0x123456));
    EXPECT_EQ(deepest.BorderMaskIndex, static_cast<int>(tables.Masks.size()) - 1);
    // About forty keys are read per section; walking the chain for each would ask 64 times
    // as often.
    EXPECT_LE(ini.ValueLookups(), 64 * sections + 200) << chains << " chains";
  }
}

TEST(SkinTablesTest, ParentChainsThatComeBackOrRunTooDeepFailTheLoadNamingTheSection) {
  struct TCase {
    std::string ini;
    const char* error;  // empty: loads
  };
  const TCase cases[] = {
      {ChainedSections(TSkinLimits::MaxParentChain), ""},
      {ChainedSections(TSkinLimits::MaxParentChain + 1),
       "Skin section [S64]: its PARENTCLASS chain is longer than 64 sections"},
      {ChainedSections(500),
       "Skin section [S64]: its PARENTCLASS chain is longer than 64 sections"},
      {ChainedSections(4000),
       "Skin section [S64]: its PARENTCLASS chain is longer than 64 sections"},
      {ChainedSections(5000), "The skin has 5000 sections; at most 4096 are allowed"},
      {"[A]\r\nPARENTCLASS=B\r\n[B]\r\nPARENTCLASS=C\r\n[C]\r\nPARENTCLASS=A\r\n",
       "Skin section [A]: its PARENTCLASS chain comes back to section [A]"},
      {"[X]\r\nPARENTCLASS=A\r\n[A]\r\nPARENTCLASS=B\r\n[B]\r\nPARENTCLASS=A\r\n",
       "Skin section [X]: its PARENTCLASS chain comes back to section [A]"},
      // A section naming itself, or a section the skin does not have, ends its chain.
      {"[A]\r\nPARENTCLASS=A\r\nCOLOR=5\r\n[B]\r\nPARENTCLASS=NONE\r\n", ""},
  };
  for (const TCase& c : cases) {
    TManagerFixture f;
    skintest::AddSkinFolder(f.Fs, "Test", "C:\\App\\Skins\\Test");
    f.Manager->SetSkinName("Test");
    ASSERT_EQ(f.Manager->LastLoadError(), "");
    f.AddFolderSkin("Chained", c.ini);
    f.Manager->SetSkinName("Chained");
    TsSkinManager& m = *f.Manager;
    if (*c.error == '\0') {
      EXPECT_EQ(m.LastLoadError(), "") << c.ini.substr(0, 60);
      EXPECT_EQ(m.SkinName(), "Chained");
      continue;
    }
    EXPECT_EQ(m.LastLoadError(), c.error);
    // The skin in use stays.
    EXPECT_EQ(m.SkinName(), "Test");
    EXPECT_GE(m.GetSectionIndex("BUTTON"), 0);
  }
}

TEST(SkinTablesTest, EachLimitOfASkinPassesAtItsEdgeAndFailsOneBeyondWithAMessageNamingIt) {
  auto withSections = [](int count) {
    std::string ini;
    for (int i = 0; i < count; ++i) ini += "[S" + std::to_string(i) + "]\r\n";
    return ini;
  };
  auto withMasks = [](int count) {
    std::string ini = "[M]\r\n";
    for (int i = 0; i < count; ++i)
      ini.append("G").append(std::to_string(i)).append("=@0000,0000,0030,0010,3,0\r\n");
    return ini;
  };
  auto withLine = [](int length) {
    const std::string start = "[L]\r\nDESCRIPTION=";
    return start + std::string(static_cast<size_t>(length) - (start.size() - 5), 'x') + "\r\n";
  };
  auto ofSize = [](int64_t size) {
    std::string ini = "[GLOBALINFO]\r\n";
    const std::string comment = ";" + std::string(1000, 'c') + "\r\n";
    while (static_cast<int64_t>(ini.size() + comment.size()) <= size) ini += comment;
    ini += std::string(static_cast<size_t>(size - static_cast<int64_t>(ini.size())), '\n');
    return ini;
  };
  struct TCase {
    const char* what;
    std::string ini;
    const char* error;  // a part of the message; empty: loads
  };
  const TCase cases[] = {
      {"sections", withSections(TSkinLimits::MaxSections), ""},
      {"sections", withSections(TSkinLimits::MaxSections + 1),
       "The skin has 4097 sections; at most 4096 are allowed"},
      {"masks", withMasks(TSkinLimits::MaxMasks), ""},
      {"masks", withMasks(TSkinLimits::MaxMasks + 1), "The skin has more than 16384 masks"},
      {"line", withLine(TSkinLimits::MaxLineLength), ""},
      {"line", withLine(TSkinLimits::MaxLineLength + 1),
       "Options.dat: line 2 is longer than 4096 characters"},
      {"size", ofSize(kMaxSkinIniSize), ""},
      {"size", ofSize(kMaxSkinIniSize + 1), "is larger than 4194304 bytes"},
  };
  for (const TCase& c : cases) {
    for (const bool packed : {false, true}) {
      TManagerFixture f;
      if (packed)
        f.Fs.AddFile("C:\\App\\Skins\\Edge.asz",
                     PackSkin({{"Options.dat", std::vector<uint8_t>(c.ini.begin(), c.ini.end())}}));
      else
        f.AddFolderSkin("Edge", c.ini);
      f.Manager->SetSkinName("Edge");
      const std::string error = f.Manager->LastLoadError();
      if (*c.error == '\0')
        EXPECT_EQ(error, "") << c.what << (packed ? " packed" : "");
      else
        EXPECT_NE(error.find(c.error), std::string::npos)
            << c.what << (packed ? " packed: " : ": ") << error;
    }
  }
}

}  // namespace
