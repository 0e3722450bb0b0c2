// Where a skinned extended combo box paints: its edit part beside the button, and the parts of
// one item (the indent strip of a list item, its image, its text and the highlighted stretch).
// Kept apart from the window so they are tested natively.
#pragma once

#include "framework/Types.h"

// The current item's place in the cached picture of a box `width` wide and `height` high: three
// pixels in from the frame, up to one pixel before the button (after it, reading right to
// left).
TRect ComboExEditRect(const TRect& button, int width, int height, bool rightToLeft);

// What one item's picture needs to know; coordinates are the item picture's own (0, 0 at its
// top-left).
struct TsComboExItemFacts {
  int Width = 0;
  int Height = 0;
  bool InList = false;  // an item of the drop-down list (else the box's edit part)
  int Indent = 0;       // in steps of ten pixels; only list items are indented
  bool HasImages = false;
  int ImageWidth = 0;
  int ImageHeight = 0;
  int TextWidth = 0;  // the width of the item's text in the box's font
};

struct TsComboExItemLayout {
  // The strip left of an indented list item, in the box's colour (empty without indent).
  TRect IndentStrip{};
  // Nothing is left of the item beside its indent: nothing more is drawn.
  bool Empty = false;
  // The area after the indent: the item's background and its selection.
  TRect Content{};
  // The image's top-left corner (when the box has images).
  TPoint ImageAt{};
  // Where the text is drawn.
  TRect Text{};
  // The stretch a drop-down box highlights: from two pixels after the image over the text.
  TRect TextHighlight{};
  friend bool operator==(const TsComboExItemLayout&, const TsComboExItemLayout&) = default;
};

TsComboExItemLayout ComboExItemLayout(const TsComboExItemFacts& facts);

// The pixels one indent step moves a list item to the right.
inline constexpr int ComboExIndentStep = 10;
