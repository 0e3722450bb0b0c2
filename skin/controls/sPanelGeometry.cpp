#include "skin/controls/sPanelGeometry.h"

int PanelBevelInset(int bevelWidth, bool innerBevel, bool outerBevel, int borderWidth) {
  return bevelWidth * ((innerBevel ? 1 : 0) + (outerBevel ? 1 : 0)) + borderWidth;
}

TRect PanelCaptionRect(const TRect& insetClient, int panelHeight, int letterHeight) {
  // Integer division rounds toward zero, also for a letter taller than the panel.
  const int top = (panelHeight - letterHeight) / 2;
  return TRect{insetClient.Left, top, insetClient.Right, top + letterHeight};
}
