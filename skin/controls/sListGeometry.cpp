#include "skin/controls/sListGeometry.h"

TsListItemLook ListItemLook(const TsListItemFacts& f) {
  const bool current = f.Index == f.ItemIndex;
  if (f.MultiSelect) return {.Selected = f.SelectedInList, .Focused = current && f.ListFocused};
  return {.Selected = current, .Focused = current && f.ListFocused};
}

TRect ListItemTextRect(int width, int height) { return TRect{1, 0, width - 1, height}; }

TRect TreeNodeTextRect(int width, int height) { return TRect{2, 0, width - 1, height}; }

std::vector<TsCacheStrip> ListEmptyStrips(int clientWidth, int clientHeight, const TRect& last,
                                          int lowest, TPoint clientOffset) {
  std::vector<TsCacheStrip> strips;
  auto add = [&](const TRect& dest) {
    if (dest.Width() <= 0 || dest.Height() <= 0) return;
    strips.push_back(
        TsCacheStrip{dest, TPoint{dest.Left + clientOffset.X, dest.Top + clientOffset.Y}});
  };
  if (last.Bottom < clientHeight) add(TRect{last.Left, last.Bottom, clientWidth, clientHeight});
  if (last.Right < clientWidth) add(TRect{last.Right, 0, clientWidth, last.Bottom});
  if (last.Left > 0) add(TRect{0, lowest, last.Left, clientHeight});
  return strips;
}

TRect RichEditPrintPage(int width, int height, int pixelsPerInch) {
  if (pixelsPerInch <= 0) return TRect{};
  constexpr int kTwipsPerInch = 1440;
  return TRect{0, 0, (width - 6) * kTwipsPerInch / pixelsPerInch,
               (height - 6) * kTwipsPerInch / pixelsPerInch};
}

TRect RichEditPrintClip(int cacheWidth, int cacheHeight, int frameWidth, int vertBar, int horzBar) {
  return TRect{0, 0, cacheWidth - 2 * frameWidth - vertBar, cacheHeight - 2 * frameWidth - horzBar};
}
