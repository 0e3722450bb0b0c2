// Where the skinned list view puts what it paints: a header item's caption and sort arrow, a
// sub-item's cell and its text, a selected label's highlight. Portable, so the rules are
// tested as tables without a window.
#pragma once

#include <vector>

#include "framework/Types.h"

enum class THeaderAlign { Left, Center, Right };

// One header item as its painter sees it.
struct THeaderItemPlace {
  int Width = 0;  // the item's rectangle
  int Height = 0;
  int ImageSpace = 0;  // the column image's width + 4, 0 without an image
  int TextExtent = 0;  // the caption's width in the header's font
  int ArrowWidth = 0;  // the sort arrow's width + 6, 0 without an arrow
  THeaderAlign Align = THeaderAlign::Left;
};

// The caption's rectangle inside the item (item coordinates). The arrow goes 6 pixels right
// of its right edge, the image ends ImageSpace left of its left edge.
TRect HeaderTextRect(const THeaderItemPlace& place);

// The cell of sub-item `column` of a report row: from the row's left plus the widths of the
// columns before it, as wide as its column; empty for a column that does not exist.
TRect SubItemRect(const TRect& rowBounds, const std::vector<int>& columnWidths, int column);
// The text inside a cell of that size: after the sub-item's image (its width + 8) or 3 pixels
// in, ending 4 pixels before the cell's right edge.
TRect SubItemTextRect(int cellWidth, int cellHeight, int imageWidth);
// A selected label's highlight behind its text (label coordinates): the text's width + 5,
// never wider than the label.
TRect LabelHighlightRect(int labelWidth, int labelHeight, int textExtent);
