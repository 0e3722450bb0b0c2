// Where the tab control adapter paints: the side the tabs stand on and their style, the page
// frame and the tabs' area, each tab's rectangle (the active one larger), the row a tab lies in
// and where its image goes, and the skin sections of page and tab. Portable, tested as tables;
// the Win32 half reads the rectangles with the tab control's own messages.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Types.h"

// The tab control's style bits the adapter reads (commctrl.h's values).
namespace tabbits {
constexpr uint32_t Bottom = 0x2;  // also TCS_RIGHT with TCS_VERTICAL
constexpr uint32_t FlatButtons = 0x8;
constexpr uint32_t Vertical = 0x80;
constexpr uint32_t Buttons = 0x100;
}  // namespace tabbits

enum class TsTabPosition { Top = 0, Bottom = 1, Left = 2, Right = 3 };
enum class TsTabStyle { Tabs = 0, Buttons = 1, FlatButtons = 2 };
TsTabPosition TabPosition(uint32_t style);
TsTabStyle TabStyleOf(uint32_t style);

// The page area as the adapter paints it: the control's adjusted rectangle, two pixels lower.
TRect TabDisplayRect(const TRect& adjusted);
// The page frame: the whole control, reaching to the tabs' foot when there are tabs.
TRect TabFrameRect(TSize size, bool hasTabs, TsTabPosition pos, const TRect& display);
// The strip the tabs stand in (the whole control without tabs).
TRect TabsArea(TSize size, bool hasTabs, TsTabPosition pos, const TRect& display);
// A tab's painted rectangle from its item rectangle: tabs (not buttons) grow towards the page,
// the active one by two pixels more on each side.
TRect TabRect(const TRect& item, bool active, TsTabPosition pos, TsTabStyle style);
// The row (1 nearest the edge ... rows nearest the page) of a tab with that item rectangle;
// 1 with fewer than two rows, and for a tab of no width or height (it has no row to count).
int TabRow(const TRect& item, int rows, TsTabPosition pos, const TRect& tabsArea);
// A top or bottom tab's image: centred across beside its text, centred down by its height.
TPoint TabImagePos(const TRect& tab, TSize icon, int textWidth);

// The page section: "CHECKBOX" without tabs; a section the creator named other than
// "PAGECONTROL" as it is; else the one for the tabs' side.
std::string PageSectionName(bool hasTabs, const std::string& ownSection, TsTabPosition pos);
// The tab section: "BUTTON" or "TOOLBUTTON" for button styles, else the one for the side.
std::string TabSectionName(TsTabPosition pos, TsTabStyle style);
