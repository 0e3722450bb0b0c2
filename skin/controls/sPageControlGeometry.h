// Where a skinned page control paints its tabs and body: the active tab grown over its
// neighbours, the other tabs reaching under the body's edge, the tab strip and the body, the
// close button in a tab's corner, the row a tab sits in, and which page becomes active when
// a tab is closed.
#pragma once

#include "framework/Types.h"

namespace sPageControl {

// The side the tabs sit on (the framework's tab positions, in the same order).
enum class TsTabSide { Top, Bottom, Left, Right };

// The rectangle a tab is painted over, from the tab control's item rectangle. Tabs of the
// button styles, and an empty item, are painted over the item itself.
TRect SkinTabRect(const TRect& item, TsTabSide side, bool active, bool tabStyle);

// The tab strip and the body of a control of `size` whose pages show in `display` (the tab
// control's display rectangle). Without tabs the strip is the whole control, and so is the
// body.
TRect TabsArea(TSize size, const TRect& display, TsTabSide side, bool hasTabs);
TRect BodyArea(TSize size, const TRect& display, TsTabSide side, bool hasTabs);

// The row of a tab counted from the body (1: next to it), from the item's centre, the tab
// strip and the number of rows.
int TabRow(const TRect& item, const TRect& tabsArea, TsTabSide side, int rowCount);

// The close button in the top-right corner of a tab's painted rectangle, a pixel inside.
TRect CloseButtonRect(const TRect& tab, int closeWidth, int closeHeight);

// The page to make active after a tab was closed, or -1 to leave the choice to the page
// control. `formerActive` is the active page's index before, `closed` the closed page's
// index, `pageCount` the count afterwards; `freed` says whether the page left the control
// (else its tab was hidden and it keeps its index). `tabVisible(i)` tells whether page i
// still shows its tab.
struct TsClosedTab {
  int FormerActive = -1;
  int Closed = -1;
  int PageCount = 0;
  bool Freed = true;
};
template <class TabVisible>
int PageAfterClose(const TsClosedTab& c, TabVisible tabVisible);

}  // namespace sPageControl

template <class TabVisible>
int sPageControl::PageAfterClose(const TsClosedTab& c, TabVisible tabVisible) {
  if (c.PageCount <= 0 || c.FormerActive < 0) return -1;
  // Another page than the active one closed: the active page stays, wherever it moved.
  if (c.Closed != c.FormerActive)
    return c.Freed && c.Closed < c.FormerActive ? c.FormerActive - 1 : c.FormerActive;
  // The first page freed while active: the page control picks the next one itself.
  if (c.Freed && c.FormerActive == 0) return -1;
  // A freed page's place goes to the page after it (the last one's to the page before); a
  // hidden page's to the next page whose tab shows. Pages without a tab are passed over.
  const int wanted =
      c.Freed ? (c.FormerActive < c.PageCount ? c.FormerActive : c.PageCount - 1) : c.Closed + 1;
  for (int i = wanted; i < c.PageCount; ++i)
    if (tabVisible(i)) return i;
  for (int i = wanted - 1; i >= 0; --i)
    if (tabVisible(i) && (c.Freed || i != c.Closed)) return i;
  return -1;
}
