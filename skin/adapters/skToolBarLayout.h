// Where the tool bar and status bar adapters paint: a tool button's look from its state bits
// and the pointer, where its image and caption go, how a caption is broken into two lines,
// which button lies under a point, and a status bar's panel rectangles. Portable, tested as
// tables; the Win32 half reads the facts with the bars' own messages.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/Types.h"

// The tool bar's button state and style bits the adapter reads (commctrl.h's values).
namespace toolbits {
constexpr uint8_t StateChecked = 0x01;
constexpr uint8_t StatePressed = 0x02;
constexpr uint8_t StateEnabled = 0x04;
constexpr uint8_t StyleSeparator = 0x01;
constexpr uint8_t StyleWholeDropDown = 0x80;
constexpr uint32_t BarWrapable = 0x200;
}  // namespace toolbits

// A raw tool button's look: 0 normal, 1 hot, 2 pressed; a pressed button's content moves by
// one pixel.
struct TsToolButtonLook {
  int State = 0;
  int Shift = 0;
};
// Disabled: normal; pressed: pressed; else hot while the pointer is inside the button.
TsToolButtonLook ToolButtonLook(uint8_t state, bool pointerInside);
// The rectangle contains the point (right and bottom edges outside).
bool RectContains(const TRect& r, TPoint p);

// A button's image index says it has one: 0 is the list's first image; the system's negative
// markers (no image, image by callback) draw nothing.
bool ToolButtonShowsImage(int imageIndex, bool hasImageList);
// The image's top-left in the button's own bitmap: centred across the button (beside a
// drop-down arrow `arrowWidth` wide), four pixels down, moved when pressed.
TPoint ToolButtonImagePos(const TRect& button, TSize icon, int shift, int arrowWidth);
// The drop-down arrow's top-left in the button's bitmap: at the right edge, centred down.
TPoint ToolButtonArrowPos(const TRect& button, TSize arrow, int shift);
// The caption's rectangle in the button's bitmap: below the image (when there is one).
TRect ToolButtonTextRect(const TRect& button, int iconHeight, int shift);

// A caption broken for a raw tool button: both lines set when it is drawn on two lines,
// otherwise the whole text is drawn wrapped by the system.
struct TsToolCaptionLines {
  std::string First;
  std::string Second;
  bool TwoLines() const { return !First.empty() && !Second.empty(); }
};
// The words (runs without blanks) are tried from the first: at the first word whose preceding
// words are wider than `width`, or at the last word, the second line starts one word earlier.
// `measure` answers the width a text takes.
TsToolCaptionLines SplitToolCaption(const std::string& text, int width,
                                    const std::function<int(const std::string&)>& measure);

// A button of a framework tool bar as its hit test sees it.
struct TsToolButtonHit {
  TRect Bounds{};
  bool Pressable = true;  // a button, check or drop-down button (no separator or divider)
};
// The index of the first button whose rectangle holds the point when it is pressable; -1 when
// that one is not, or no rectangle holds the point.
int ToolButtonAt(const std::vector<TsToolButtonHit>& buttons, TPoint p);

// ---- status bar ------------------------------------------------------------------------------

// A panel's frame (from its part rectangle, or the whole bar of a simple bar) and the
// rectangle its text is drawn in.
struct TsStatusPanelPlace {
  TRect Frame{};
  TRect Text{};
};
// One panel over the whole bar for a simple bar; otherwise one per part rectangle, each
// shrunk by a pixel.
std::vector<TsStatusPanelPlace> StatusPanelPlaces(bool simple, TSize bar,
                                                  const std::vector<TRect>& parts);
