// Where a skinned status bar's panels, dividers and texts lie: portable, so the layout is
// tested natively.
#pragma once

#include <vector>

#include "framework/Types.h"

// Panel `index` of panels of the given widths on a bar of barWidth x height: panels follow one
// another from the left; the last one reaches the bar's right edge, whatever its width says.
TRect StatusPanelRect(const std::vector<int>& widths, int index, int barWidth, int height);
// The rectangle a panel is painted in: its panel rectangle shrunk by one pixel on every side.
TRect StatusPanelPaintRect(const std::vector<int>& widths, int index, int barWidth, int height);
// The left edge of the divider that ends a panel painted in r: centred one pixel left of r's
// right edge.
int StatusDividerLeft(const TRect& r, int dividerWidth);
// A panel's text inside the rectangle it is painted in: one pixel in, one more off the bottom,
// two more from the left and four from the right.
TRect StatusPanelTextRect(const TRect& r);
