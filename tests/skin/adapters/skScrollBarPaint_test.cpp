// A skinned scroll bar painted from a skin's scroll sections: parts where the hit test finds
// them, in their states, and no thumb where there is no room or use for one.
#include "skin/adapters/skScrollBarPaint.h"

#include <gtest/gtest.h>

#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sConst.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "tests/skin/adapters/ScrollBarTestBars.h"
#include "tests/skin/core/SkinTestFiles.h"

namespace {

using scrolltest::Bar;

TScrollBarPaint Paint(const TskScrollBar& bar, TThumbGeometry thumb, bool active,
                      TScrollBarStates states = {},
                      TsBackgroundSource background = EmptyBackgroundSource) {
  TScrollBarPaint paint;
  paint.Bar = &bar;
  paint.ArrowLength = 17;
  paint.Thumb = thumb;
  paint.Active = active;
  paint.States = states;
  paint.Background = background;
  return paint;
}

// Scroll sections in solid colours (the same read as RGB and as TColor).
const char* const kScrollSkin =
    "[GLOBALINFO]\nCOLOR=8421504\n"
    "[SCROLLBAR1H]\nCOLOR=4210752\nTRANSPARENCY=0\nSTATES=3\nHOTCOLOR=16777215\nHOTTRANSPARENCY=0\n"
    "[SCROLLBAR2H]\nCOLOR=12632256\nTRANSPARENCY=0\nSTATES=3\nHOTCOLOR=16777215\nHOTTRANSPARENCY="
    "0\n"
    "[SCROLLBTNLEFT]\nCOLOR=65280\nTRANSPARENCY=0\nSTATES=3\nHOTCOLOR=2142240\nHOTTRANSPARENCY=0\n"
    "[SCROLLBTNRIGHT]\nCOLOR=2105376\nTRANSPARENCY=0\nSTATES=3\nHOTCOLOR=2142240\nHOTTRANSPARENCY="
    "0\n"
    "[SCROLLSLIDERH]\nCOLOR=6348896\nTRANSPARENCY=0\nSTATES=3\nHOTCOLOR=2142240\nHOTTRANSPARENCY="
    "0\n"
    "[SCROLLBAR1V]\nCOLOR=4210752\nTRANSPARENCY=0\n[SCROLLBAR2V]\nCOLOR=12632256\nTRANSPARENCY=0\n"
    "[SCROLLBTNTOP]\nCOLOR=65280\nTRANSPARENCY=0\n[SCROLLBTNBOTTOM]\nCOLOR=2105376\nTRANSPARENCY="
    "0\n"
    "[SCROLLSLIDERV]\nCOLOR=6348896\nTRANSPARENCY=0\n";
constexpr uint32_t kPage1 = 0x404040, kPage2 = 0xC0C0C0, kArrow1 = 0x00FF00, kArrow2 = 0x202020,
                   kThumb = 0x60E060, kHot = 0xFFFFFF, kHotArrow = 0x20B020;

struct ScrollBarPainting : ::testing::Test {
  void SetUp() override {
    f.AddFolderSkin("Scroll", kScrollSkin);
    f.Manager->SetSkinName("Scroll");
    ASSERT_GE(f.Manager->FixedIndexes().ScrollBar[0].Section, 0);
  }
  // Colour along the middle of a painted bar.
  uint32_t At(TBitmap& bmp, int along, bool vertical) {
    return skintest::Pixel32(bmp, vertical ? 8 : along, vertical ? along : 8) & 0xFFFFFF;
  }
  skintest::TManagerFixture f;
};

TEST_F(ScrollBarPainting, PartsLieWhereTheHitTestFindsThem) {
  for (int kind : {0, 1}) {
    const bool vertical = kind == 1;
    for (int nPos : {0, 50}) {
      TskScrollBar bar = Bar(kind, 0, 99, 50, nPos);
      const TRect rect = vertical ? TRect{0, 0, 17, 200} : TRect{0, 0, 200, 17};
      auto bmp = CreateBmp32(rect.Width(), rect.Height());
      ASSERT_TRUE(
          PaintScrollBarImage(*bmp, *f.Manager, Paint(bar, GetThumbGeometry(bar, rect, 17), true)));
      const uint32_t want[] = {kArrow1, kPage1, kThumb, kPage2, kArrow2};
      for (int along = 0; along < 200; ++along) {
        const TScrollBarPart part =
            GetBarPartAt(bar, rect, vertical ? along : 8, vertical ? 8 : along, 17);
        const uint32_t expected = part == TScrollBarPart::FirstArrow   ? want[0]
                                  : part == TScrollBarPart::PageBefore ? want[1]
                                  : part == TScrollBarPart::Thumb      ? want[2]
                                  : part == TScrollBarPart::PageAfter  ? want[3]
                                                                       : want[4];
        ASSERT_EQ(At(*bmp, along, vertical), expected)
            << "kind " << kind << " pos " << nPos << " at " << along;
      }
    }
  }
}

TEST_F(ScrollBarPainting, PressedAndHotPartsShowTheirState) {
  TskScrollBar bar = Bar(0, 0, 99, 50, 0);
  const TRect rect{0, 0, 200, 17};
  auto bmp = CreateBmp32(200, 17);
  TScrollBarStates states;
  states.FirstArrow = TsPaintState::Pressed;
  states.PageAfter = TsPaintState::Pressed;
  states.Thumb = TsPaintState::Hot;
  PaintScrollBarImage(*bmp, *f.Manager, Paint(bar, GetThumbGeometry(bar, rect, 17), true, states));
  EXPECT_EQ(At(*bmp, 5, false), kHotArrow);
  EXPECT_EQ(At(*bmp, 50, false), kHotArrow);  // the thumb
  EXPECT_EQ(At(*bmp, 150, false), kHot);      // the page after it
  EXPECT_EQ(At(*bmp, 190, false), kArrow2);
}

TEST_F(ScrollBarPainting, InactiveOrShortBarsHaveNoThumb) {
  TskScrollBar bar = Bar(0, 0, 99, 50, 0);
  const TRect rect{0, 0, 200, 17};
  auto bmp = CreateBmp32(200, 17);
  TsBackgroundSource behind;
  behind.FillColor = 0x808080;
  PaintScrollBarImage(*bmp, *f.Manager,
                      Paint(bar, GetThumbGeometry(bar, rect, 17), false, {}, behind));
  EXPECT_NE(At(*bmp, 50, false), kThumb);
  EXPECT_NE(At(*bmp, 5, false), kArrow1);  // faded into the grey behind
  // Too short for two arrows: two half arrows and nothing between.
  auto small = CreateBmp32(20, 17);
  PaintScrollBarImage(*small, *f.Manager, Paint(bar, TThumbGeometry{17, 10}, true));
  EXPECT_EQ(At(*small, 9, false), kArrow1);
  EXPECT_EQ(At(*small, 10, false), kArrow2);
}

TEST_F(ScrollBarPainting, ArrowLengthFollowsTheBarOrTheStandardWidth) {
  TskScrollBar bar;
  EXPECT_EQ(ScrollBarArrowLength(bar, f.Manager.get()), SkinScrollBarWidth);
  bar.ArrowLength = -2;
  EXPECT_EQ(ScrollBarArrowLength(bar, nullptr), 2 * SkinScrollBarWidth);
  bar.ArrowLength = 9;
  EXPECT_EQ(ScrollBarArrowLength(bar, f.Manager.get()), 9);
  // This skin gives no arrow sizes of its own.
  EXPECT_EQ(SkinScrollArrowSize(*f.Manager, false), 0);
}

TEST(ScrollBarPaintingNoSkin, BarWithoutItsSectionIsLeftAlone) {
  skintest::TManagerFixture f;
  f.AddFolderSkin("Plain", "[GLOBALINFO]\nCOLOR=8421504\n");
  f.Manager->SetSkinName("Plain");
  TskScrollBar bar = Bar(0, 0, 99, 50, 0);
  auto bmp = CreateBmp32(200, 17);
  EXPECT_FALSE(PaintScrollBarImage(*bmp, *f.Manager, Paint(bar, TThumbGeometry{17, 17}, true)));
}

}  // namespace
