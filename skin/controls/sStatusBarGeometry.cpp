#include "skin/controls/sStatusBarGeometry.h"

#include <cstddef>

TRect StatusPanelRect(const std::vector<int>& widths, int index, int barWidth, int height) {
  int left = 0;
  for (int i = 0; i < index; ++i) left += widths[static_cast<size_t>(i)];
  const bool last = index + 1 == static_cast<int>(widths.size());
  return TRect{left, 0, last ? barWidth : left + widths[static_cast<size_t>(index)], height};
}

TRect StatusPanelPaintRect(const std::vector<int>& widths, int index, int barWidth, int height) {
  const TRect r = StatusPanelRect(widths, index, barWidth, height);
  return TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
}

int StatusDividerLeft(const TRect& r, int dividerWidth) { return r.Right - dividerWidth / 2 - 1; }

TRect StatusPanelTextRect(const TRect& r) {
  return TRect{r.Left + 1 + 2, r.Top + 1, r.Right - 1 - 4, r.Bottom - 1 - 1};
}
