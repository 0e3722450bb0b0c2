// Where a skinned group box puts its caption band and where its frame begins.
#pragma once

#include "framework/Types.h"

namespace sGroupBox {
// Where the caption sits on the top edge (the bound label has a layout type of the same name).
enum TsCaptionLayout { clTopLeft, clTopCenter, clTopRight };
}  // namespace sGroupBox

struct TsGroupCaptionFacts {
  int Width = 0;         // the box's width
  int TextWidth = 0;     // the caption's width in the box's font
  int LetterHeight = 0;  // the height of "W" in the box's font
  sGroupBox::TsCaptionLayout Layout = sGroupBox::clTopLeft;
  bool RightToLeft = false;
  bool Skinned = false;    // only a skinned box moves its band by the offset
  int CaptionYOffset = 0;  // pixels the band moves down (negative: up)
  int BevelWidth = 1;
};

// The band's height: the letter height (at least 4) and a pixel above and below.
int GroupCaptionHeight(int letterHeight);
// The caption band: 4 pixels of margin beside the text, 6 pixels in from the near edge.
TRect GroupCaptionRect(const TsGroupCaptionFacts& facts);
// Where the frame begins: at the band's middle, or at the top when the band moved up.
int GroupFrameTop(const TRect& captionRect, int captionYOffset);
