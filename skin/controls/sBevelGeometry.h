// What a skinned bevel shows of the section picture it paints: the section it takes for its
// shape and style, and the three-pixel strips of that picture that stand for its lines.
#pragma once

#include <string>
#include <vector>

#include "framework/Types.h"

// The bevel's shape as far as the skinned picture cares.
enum class TsBevelLines { Box, Frame, TopLine, BottomLine, LeftLine, RightLine, Spacer };

// "GROUPBOX" for a frame whatever the style; else "PANEL" when raised, "PANEL_LOW" when lowered.
std::string BevelSection(TsBevelLines lines, bool raised);
// The strips of a width x height picture copied to the same place of the bevel: the four
// edges of a box or frame, one strip for a line (its ends kept 3 pixels clear), none for a
// spacer. Empty strips are left out.
std::vector<TRect> BevelStrips(TsBevelLines lines, int width, int height);
