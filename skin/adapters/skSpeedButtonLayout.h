// Where a foreign speed button's glyph and caption go when the skin paints it: portable, so
// the layout is tested as a table without windows.
#pragma once

#include "framework/Types.h"

// The side the glyph takes beside the caption, as the framework's button layout numbers it.
enum class TskGlyphSide { Left, Right, Top, Bottom };

struct TskSpeedButtonFacts {
  int Width = 0;
  int Height = 0;
  TSize Glyph{0, 0};    // one image of the glyph; 0 x 0 without one
  TSize Caption{0, 0};  // the measured caption; 0 x 0 for an empty one
  bool HasCaption = false;
  TskGlyphSide Side = TskGlyphSide::Left;
  int Margin = -1;       // -1: glyph and caption centred together
  int Spacing = 4;       // between glyph and caption, counted only when both exist
  bool Pressed = false;  // glyph and caption move one pixel right and down
};

// The glyph's rectangle in button coordinates.
TRect SpeedButtonHandlerGlyphRect(const TskSpeedButtonFacts& f);
// The caption's rectangle in button coordinates.
TRect SpeedButtonHandlerCaptionRect(const TskSpeedButtonFacts& f);
// A caption is measured wrapped at this width.
constexpr int SpeedButtonCaptionWrapWidth = 255;
