// Skinned menus, portable half: caption kinds and texts, item and popup sizes, the extra
// line, the region cuts and the popup background cache.
#include "skin/core/runtime/sSkinMenus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/core/skinfiles/sSkinManager.h"
#include "tests/skin/core/SkinTestFiles.h"

namespace {

TEST(SkinMenuCaptions, KindShownTextAndMeasuredText) {
  struct Case {
    const char* caption;
    TsMenuItemType type;
    const char* captionText;  // what a caption item shows
    const char* measured;     // with the shortcut "Ctrl+O"
  } cases[] = {
      {"-", smDivider, "-", ""},
      {"-Options-", smCaption, "Options", "--Options--"},
      {"-Tools-More-", smCaption, "Tools", "--Tools-More--"},
      {"--", smCaption, "", "----"},
      {"Open", smNormal, "Open", "OpenCtrl+O"},
      {"-Open", smNormal, "-Open", "-OpenCtrl+O"},
      {"", smNormal, "", "Ctrl+O"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MenuItemTypeOf(c.caption), c.type) << c.caption;
    EXPECT_EQ(CaptionItemText(c.caption), c.captionText) << c.caption;
    EXPECT_EQ(MeasuredItemText(c.caption, "Ctrl+O"), c.measured) << c.caption;
  }
}

TEST(SkinMenuCaptions, BackspaceMakesTheCaptionRightAlignedWithSixSpaces) {
  const TsShownCaption right = ShownCaption("\bHelp");
  EXPECT_TRUE(right.RightAligned);
  EXPECT_EQ(right.Text, "Help      ");
  const TsShownCaption plain = ShownCaption("Help");
  EXPECT_FALSE(plain.RightAligned);
  EXPECT_EQ(plain.Text, "Help");
}

TEST(SkinMenuSizes, ItemHeightRoundsTiesToEvenAndTakesTheGlyphForNormalItems) {
  struct Case {
    int textHeight, glyphHeight, margin;
    TsMenuItemType type;
    int height;
  } cases[] = {
      {13, 16, 2, smDivider, 2},   // separators ignore everything
      {14, 0, 2, smNormal, 22},    // 17.5 -> 18 (even)
      {10, 0, 2, smNormal, 16},    // 12.5 -> 12 (even)
      {13, 0, 2, smNormal, 20},    // 16.25 -> 16
      {13, 24, 2, smNormal, 28},   // the glyph is taller
      {13, 24, 2, smCaption, 20},  // caption items have no glyph
      {0, 16, 0, smNormal, 16},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MenuItemHeight(c.textHeight, c.glyphHeight, c.margin, c.type), c.height)
        << c.textHeight << " " << c.glyphHeight << " " << c.type;
}

TEST(SkinMenuSizes, ItemWidthReservesTwoGlyphsMarginsSpacingAndTheExtraLine) {
  EXPECT_EQ(PopupItemWidth(60, 16, 2, 8, 0), 2 * 16 + 60 + 3 * 2 + 8);
  EXPECT_EQ(PopupItemWidth(60, 16, 2, 8, 32), 2 * 16 + 60 + 3 * 2 + 8 + 32);
}

TEST(SkinMenuSizes, PopupSizeAddsColumnsAndTakesTheTallest) {
  EXPECT_EQ(PopupSize({}).cx, 0);
  const TSize one = PopupSize({{50, 20, false}, {80, 20, false}, {30, 2, false}});
  EXPECT_EQ(one.cx, 92);
  EXPECT_EQ(one.cy, 42);
  // Second column starts at the item with Break; a Break on the first item starts nothing.
  const TSize two = PopupSize({{50, 20, true}, {80, 20, false}, {30, 20, true}});
  EXPECT_EQ(two.cx, (80 + 12) + 4 + (30 + 12));
  EXPECT_EQ(two.cy, 40);
}

TEST(SkinMenuExtraLine, SkinSelectItemNeverAsksTheHandlerNorShowsALine) {
  int calls = 0;
  const TsExtraLineData data =
      QueryExtraLine(&calls, "SkinSelectItem", [&](const void*, TsExtraLineData&) { ++calls; });
  EXPECT_EQ(calls, 0);
  EXPECT_FALSE(data.LineVisible);
}

TEST(SkinMenuExtraLine, HandlerGetsTheFirstItemAndAmpersandsLeaveTheCaption) {
  int item = 0;
  const void* seen = nullptr;
  TsExtraLineData data = QueryExtraLine(&item, "Open1", [&](const void* first, TsExtraLineData& d) {
    seen = first;
    EXPECT_EQ(d.SkinSection, "EXTRALINE");
    EXPECT_EQ(d.Caption, "Use OnGetExtraLineData event");
    EXPECT_TRUE(d.LineVisible);
    d.Caption = "&Tools && more";
    d.Glyph = std::make_unique<TBitmap>();
  });
  EXPECT_EQ(seen, &item);
  EXPECT_EQ(data.Caption, "Tools  more");
  EXPECT_TRUE(data.LineVisible);
  EXPECT_NE(data.Glyph, nullptr);
  // Without a handler the defaults stand.
  EXPECT_TRUE(QueryExtraLine(&item, "Open1", nullptr).LineVisible);
}

TEST(SkinMenuExtraLine, InvisibleLineDropsItsGlyphAndAQueryInsideAQueryShowsNone) {
  int item = 0;
  bool innerVisible = true;
  const TsExtraLineData data = QueryExtraLine(&item, "Open1", [&](const void*, TsExtraLineData& d) {
    innerVisible = QueryExtraLine(&item, "Open1", [](const void*, TsExtraLineData&) {}).LineVisible;
    d.Glyph = std::make_unique<TBitmap>();
    d.LineVisible = false;
  });
  EXPECT_FALSE(innerVisible);
  EXPECT_FALSE(data.LineVisible);
  EXPECT_EQ(data.Glyph, nullptr);
}

TEST(SkinMenuExtraLine, SpaceOnlyWhenUsedAndShown) {
  TskMenuSupport support;
  EXPECT_EQ(ExtraLineSpace(support, true), 0);  // UseExtraLine is off by default
  support.UseExtraLine = true;
  EXPECT_EQ(ExtraLineSpace(support, false), 0);
  EXPECT_EQ(ExtraLineSpace(support, true), 32);
}

TEST(SkinMenuRegion, WithoutHolesTheTopLeftPixelIsStillCut) {
  const std::vector<TRect> none = MenuRegionCuts({});
  ASSERT_EQ(none.size(), 1u);
  EXPECT_EQ(none[0], (TRect{0, 0, 1, 1}));
  const std::vector<TRect> holes{{0, 0, 3, 1}, {0, 1, 1, 2}, {97, 0, 100, 1}};
  EXPECT_EQ(MenuRegionCuts(holes), holes);
}

TEST(SkinMenuCache, EntriesAreFoundByItemAndWindowAndGoWithTheirItem) {
  TsMenuCache cache;
  int first = 0, second = 0;
  cache.Add(&first, std::make_unique<TBitmap>(), 0x100, true);
  cache.Add(&second, std::make_unique<TBitmap>(), 0, false);
  ASSERT_NE(cache.FindByItem(&first), nullptr);
  EXPECT_TRUE(cache.FindByItem(&first)->ExtraLineShown);
  EXPECT_EQ(cache.FindByWindow(0x100), cache.FindByItem(&first));
  EXPECT_EQ(cache.FindByWindow(0), nullptr);  // window 0 never matches
  EXPECT_EQ(cache.FindByItem(nullptr), nullptr);

  // A destroyed item takes its entry with it: nothing keeps pointing at it.
  cache.ForgetItem(&first);
  EXPECT_EQ(cache.FindByItem(&first), nullptr);
  EXPECT_EQ(cache.FindByWindow(0x100), nullptr);
  EXPECT_NE(cache.FindByItem(&second), nullptr);
  // Closing a popup empties the cache.
  cache.Clear();
  EXPECT_EQ(cache.Count(), 0);
}

TEST(SkinMenuBackground, MainMenuSectionFillsThePopupAndTheIconLineSitsAfterTheExtraLine) {
  skintest::TManagerFixture f;
  f.AddFolderSkin("Menus",
                  "[GLOBALINFO]\n[MAINMENU]\nCOLOR=255\nHOTCOLOR=255\n"
                  "[ICOLINE]\nCOLOR=16711680\nHOTCOLOR=16711680\n");
  f.Manager->SetSkinName("Menus");
  ASSERT_GE(f.Manager->GetSectionIndex("MAINMENU"), 0);
  EXPECT_EQ(MenuSkinBorderWidth(f.Manager.get()), 0);  // no border mask
  TskMenuSupport support;
  support.IcoLineSkin = "ICOLINE";
  TsMenuBackground bg = PaintMenuBackground(f.Manager.get(), 120, 60, support, 20, 32);
  ASSERT_TRUE(bg.Painted);
  ASSERT_EQ(bg.Image->Width(), 120);
  ASSERT_EQ(bg.Image->Height(), 60);
  EXPECT_EQ(skintest::Pixel32(*bg.Image, 10, 30) & 0xFFFFFF, 0xFF0000u);   // extra line's room
  EXPECT_EQ(skintest::Pixel32(*bg.Image, 40, 30) & 0xFFFFFF, 0x0000FFu);   // icon line
  EXPECT_EQ(skintest::Pixel32(*bg.Image, 100, 30) & 0xFFFFFF, 0xFF0000u);  // the popup
  // Without border mask no holes: the region still loses its top-left pixel.
  EXPECT_TRUE(bg.Holes.empty());
  EXPECT_EQ(MenuRegionCuts(bg.Holes).size(), 1u);
}

TEST(SkinMenuBackground, SkinWithoutMainMenuLeavesTheImageBlank) {
  skintest::TManagerFixture f;
  f.AddFolderSkin("Bare", "[GLOBALINFO]\n[FORM]\nCOLOR=255\n");
  f.Manager->SetSkinName("Bare");
  TsMenuBackground bg = PaintMenuBackground(f.Manager.get(), 50, 40, TskMenuSupport{}, 20, 0);
  EXPECT_FALSE(bg.Painted);
  EXPECT_EQ(bg.Image->Width(), 50);
  EXPECT_FALSE(PaintMenuBackground(nullptr, 50, 40, TskMenuSupport{}, 20, 0).Painted);
}

}  // namespace
