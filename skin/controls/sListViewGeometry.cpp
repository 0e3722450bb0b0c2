#include "skin/controls/sListViewGeometry.h"

#include <algorithm>

TRect HeaderTextRect(const THeaderItemPlace& p) {
  TRect t{4, 1, p.Width - 4, p.Height - 1};
  const int d = p.ImageSpace;
  const int aw = p.ArrowWidth;
  const int tw = p.TextExtent + 6;
  const int g = p.Width - 6;
  // A caption that fits keeps its alignment; one that does not starts after the image, so
  // its start stays readable and the ellipsis takes the rest.
  const bool fits = d + tw + aw + 6 < g;
  switch (p.Align) {
    case THeaderAlign::Right:
      t.Right -= aw;
      t.Left = fits ? t.Right - tw : d + 6;
      break;
    case THeaderAlign::Center:
      if (fits) {
        t.Left = d + (t.Width() - (tw + aw + d)) / 2 + t.Left;
        t.Right = t.Left + tw;
      } else {
        t.Left = d + 6;
        t.Right -= aw;
      }
      break;
    case THeaderAlign::Left:
      t.Left += d;
      t.Right = std::min(g, t.Left + tw);
      break;
  }
  return t;
}

TRect SubItemRect(const TRect& row, const std::vector<int>& widths, int column) {
  if (column < 0 || column >= static_cast<int>(widths.size())) return TRect{};
  int left = row.Left;
  for (int i = 0; i < column; ++i) left += widths[static_cast<size_t>(i)];
  return TRect{left, row.Top, left + widths[static_cast<size_t>(column)], row.Bottom};
}

TRect SubItemTextRect(int cellWidth, int cellHeight, int imageWidth) {
  return TRect{imageWidth > 0 ? imageWidth + 8 : 3, 0, cellWidth - 4, cellHeight};
}

TRect LabelHighlightRect(int labelWidth, int labelHeight, int textExtent) {
  return TRect{0, 0, std::min(labelWidth, textExtent + 5), labelHeight};
}
