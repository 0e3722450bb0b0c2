// Where a skinned panel's caption goes and how far its bevels reach in.
#pragma once

#include "framework/Types.h"

// The panel's bevels and border as pixels from each edge: one bevel width for each of the
// inner and outer bevel that is drawn, plus the border width.
int PanelBevelInset(int bevelWidth, bool innerBevel, bool outerBevel, int borderWidth);
// The caption's line: the bevel-shrunk client rectangle's left and right, one letter high,
// centred on the panel's whole height (so wide bevels do not move it).
TRect PanelCaptionRect(const TRect& insetClient, int panelHeight, int letterHeight);
