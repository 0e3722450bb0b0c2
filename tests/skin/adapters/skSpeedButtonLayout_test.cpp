// Where a foreign speed button's glyph and caption go: by the glyph's side, the margin (-1
// centres glyph, spacing and caption together), the spacing (counted only with both a glyph
// and a caption) and the press, which moves both a pixel right and down.
#include "skin/adapters/skSpeedButtonLayout.h"

#include <gtest/gtest.h>

namespace {

TEST(SpeedButtonLayout, GlyphAndCaptionArePlacedByLayoutMarginSpacingAndPress) {
  // A 100 x 40 button, a 16 x 16 glyph, a caption measured 30 x 12.
  const struct {
    const char* Name;
    TskGlyphSide Side;
    int Margin;
    bool Glyph, Caption, Pressed;
    TRect GlyphRect, CaptionRect;
  } cases[] = {
      // Margin -1: glyph, spacing and caption centred together.
      {"left centred",
       TskGlyphSide::Left,
       -1,
       true,
       true,
       false,
       {25, 12, 41, 28},
       {45, 14, 75, 26}},
      {"right centred",
       TskGlyphSide::Right,
       -1,
       true,
       true,
       false,
       {59, 12, 75, 28},
       {25, 14, 55, 26}},
      {"top centred", TskGlyphSide::Top, -1, true, true, false, {42, 4, 58, 20}, {35, 24, 65, 36}},
      {"bottom centred",
       TskGlyphSide::Bottom,
       -1,
       true,
       true,
       false,
       {42, 20, 58, 36},
       {35, 4, 65, 16}},
      {"left margin", TskGlyphSide::Left, 5, true, true, false, {5, 12, 21, 28}, {25, 14, 55, 26}},
      {"right margin",
       TskGlyphSide::Right,
       5,
       true,
       true,
       false,
       {79, 12, 95, 28},
       {45, 14, 75, 26}},
      {"pressed moves both",
       TskGlyphSide::Left,
       -1,
       true,
       true,
       true,
       {26, 13, 42, 29},
       {46, 15, 76, 27}},
      // Without a caption the spacing does not count.
      {"glyph alone",
       TskGlyphSide::Left,
       -1,
       true,
       false,
       false,
       {42, 12, 58, 28},
       {62, 20, 62, 20}},
      // Without a glyph the caption is centred, or placed by the margin.
      {"caption alone",
       TskGlyphSide::Left,
       -1,
       false,
       true,
       false,
       {35, 20, 35, 20},
       {35, 14, 65, 26}},
      {"caption alone pressed",
       TskGlyphSide::Top,
       -1,
       false,
       true,
       true,
       {51, 15, 51, 15},
       {36, 15, 66, 27}},
      {"caption by margin",
       TskGlyphSide::Bottom,
       3,
       false,
       true,
       false,
       {50, 37, 50, 37},
       {35, 25, 65, 37}},
  };
  for (const auto& c : cases) {
    TskSpeedButtonFacts f;
    f.Width = 100;
    f.Height = 40;
    f.Glyph = c.Glyph ? TSize{16, 16} : TSize{0, 0};
    f.Caption = c.Caption ? TSize{30, 12} : TSize{0, 0};
    f.HasCaption = c.Caption;
    f.Side = c.Side;
    f.Margin = c.Margin;
    f.Spacing = 4;
    f.Pressed = c.Pressed;
    EXPECT_EQ(SpeedButtonHandlerGlyphRect(f), c.GlyphRect) << c.Name;
    EXPECT_EQ(SpeedButtonHandlerCaptionRect(f), c.CaptionRect) << c.Name;
  }
}

}  // namespace
