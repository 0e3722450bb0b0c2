#include "skin/controls/sComboBoxExGeometry.h"

#include <algorithm>

TRect ComboExEditRect(const TRect& button, int width, int height, bool rightToLeft) {
  if (rightToLeft) return TRect{button.Width() + 3, 3, width - 1, height - 3};
  return TRect{3, 3, button.Left - 1, height - 3};
}

TsComboExItemLayout ComboExItemLayout(const TsComboExItemFacts& f) {
  TsComboExItemLayout l;
  int left = 0;
  if (f.InList && f.Indent > 0) {
    left = std::min(f.Indent * ComboExIndentStep, f.Width);
    l.IndentStrip = TRect{0, 0, left, f.Height};
  }
  l.Content = TRect{left, 0, f.Width, f.Height};
  l.Empty = left >= f.Width;
  TRect text{left + 2, 0, f.Width - 2, f.Height};
  int imageRight = left;
  if (f.HasImages) {
    l.ImageAt = TPoint{text.Left, (f.Height - f.ImageHeight) / 2};
    imageRight = text.Left + f.ImageWidth;
    text.Left = imageRight + 4;
  }
  l.Text = text;
  l.TextHighlight = TRect{imageRight + 2, 0, imageRight + 2 + f.TextWidth + 8, f.Height};
  return l;
}
