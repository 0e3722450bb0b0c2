// Where a skinned combo box paints: its drop-down button and the arrow on it, its current
// item, the height of its cached picture, what a paint copies to the screen, and which keys a
// read-only combo box refuses. Kept apart from the window so they are tested natively.
#pragma once

#include "framework/Types.h"

// The combo box's kinds as its painting tells them apart: an edit with a list (drop-down), an
// edit over an always visible list (simple), and a list alone (drop-down list, owner-drawn
// styles included).
enum class TsComboKind { DropDown, Simple, DropDownList };

// The drop-down button inside a combo box of width x height: buttonWidth wide (a simple combo
// box has none), two pixels in from the right edge (from the left one for right-to-left
// reading) and from the top and bottom.
TRect ComboButtonRect(int width, int height, int buttonWidth, bool rightToLeft, TsComboKind kind);
// The top-left corner of the arrow image (imageWidth wide, imageHeight high) on the button,
// centred across the button and in the combo box's height.
TPoint ComboArrowPlace(const TRect& button, int height, int imageWidth, int imageHeight);
// The current item's rectangle in the cached picture: three pixels in, up to one pixel before
// the button.
TRect ComboItemRect(const TRect& button, int cacheHeight);
// The height of the cached picture: a simple combo box's edit part only, the whole box else.
int ComboCacheHeight(TsComboKind kind, int height, int itemHeight);
// The look of the button: pressed while the list is down, hot while the box is active.
int ComboButtonState(bool listDropped, bool active);

// What a paint copies from the cached picture to the screen.
enum class TsComboCopy {
  Whole,           // the whole picture: the box paints its text itself
  FrameAndButton,  // the frame and the button: the focused edit paints the text
  Frame,           // the frame only: the edit and the list paint themselves
};
TsComboCopy ComboPaintCopy(TsComboKind kind, bool focused);

// The width of the frame a paint copies.
inline constexpr int ComboFrameWidth = 3;

// A key (virtual key code) that would change a read-only combo box's text or selection: the
// space bar, the page, end, home and arrow keys, '9' and the letters.
bool ComboKeyChangesSelection(int key);
