#include "skin/forms/sVclUtils.h"

bool IsPaintableGraphicChild(const TGraphicChildFacts& child) {
  if (!child.Visible && !child.Designing) return false;
  if (!child.Graphic || child.Width < 1 || child.Height < 1) return false;
  if (child.Designing && child.HiddenAtDesignTime) return false;
  if (child.Destroying || child.PushToolButton) return false;
  return child.BoundsVisibleInDC;
}

TClientRectInWindow ClientRectInWindow(const TClientPlacement& p) {
  const int x = p.ClientScreenX - p.WindowScreenX;
  const int y = p.ClientScreenY - p.WindowScreenY;
  return {x, y, x + p.ClientWidth, y + p.ClientHeight};
}
