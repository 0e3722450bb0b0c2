// Where the skinned lists paint: which items look selected or focused, where an item's text
// goes, which parts of a list's client area no item covers (those are copied from the
// control's cached picture), and the page a printed rich edit lays its text out on. Kept
// apart from the windows so they are tested natively.
#pragma once

#include <vector>

#include "framework/Types.h"

// How a list box item is drawn.
struct TsListItemLook {
  bool Selected = false;
  bool Focused = false;
  friend bool operator==(const TsListItemLook&, const TsListItemLook&) = default;
};

// What the list box knows of one item when it paints it itself.
struct TsListItemFacts {
  int Index = 0;
  int ItemIndex = -1;  // the current item (the caret's item with MultiSelect)
  bool MultiSelect = false;
  bool SelectedInList = false;  // MultiSelect: the list reports the item selected
  bool ListFocused = false;
};
// With MultiSelect every selected item looks selected and the current one focused while the
// list has the focus; otherwise only the current item looks selected (and focused).
TsListItemLook ListItemLook(const TsListItemFacts& facts);

// The rectangle an item's text is drawn in, inside an item picture of that size: one pixel
// in from the left and right edges.
TRect ListItemTextRect(int width, int height);
// The same for the selected node of a tree: two pixels in from the left, one from the right.
TRect TreeNodeTextRect(int width, int height);

// One part of a list's client area that no item covers: where it goes in the client area and
// where the control's cached picture of the whole window holds it.
struct TsCacheStrip {
  TRect Dest;
  TPoint Source;
  friend bool operator==(const TsCacheStrip&, const TsCacheStrip&) = default;
};
// The parts of a client area of clientWidth x clientHeight that the painted items leave:
// below the last item painted, right of it, and left of it under the lowest item. `last` is
// the last item's rectangle (Left 0, Top and Bottom 0 when no item was painted), `lowest` the
// lowest bottom of the painted items; `clientOffset` is where the client area starts in the
// window (and so in the cached picture).
std::vector<TsCacheStrip> ListEmptyStrips(int clientWidth, int clientHeight, const TRect& last,
                                          int lowest, TPoint clientOffset);

// The page a rich edit lays its whole text out on when it is printed, in twips: the control
// less 6 pixels each way, at `pixelsPerInch`.
TRect RichEditPrintPage(int width, int height, int pixelsPerInch);
// The printed text area, clipped inside the frame and the bars shown: the cached picture's
// size less the frame on both sides and the bar thicknesses (0 for a bar not shown).
TRect RichEditPrintClip(int cacheWidth, int cacheHeight, int frameWidth, int vertBar, int horzBar);
