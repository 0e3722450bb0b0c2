// Skinned menus, the portable half: what kind of item a caption makes and the text shown,
// item and popup sizes, the extra line at the left edge of popups, the holes cut from a
// popup's window region, and the cache of popup backgrounds (one image per open popup).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Graphics.h"
#include "framework/Types.h"

enum TsMenuItemType { smCaption, smDivider, smNormal, smTopLine };

// A caption that begins and ends with "-" (a lone "-" is a separator).
bool IsCaptionItem(const std::string& caption);
TsMenuItemType MenuItemTypeOf(const std::string& caption);

// The text a caption item shows: what lies between its dashes (the first word when dashes
// also separate words inside).
std::string CaptionItemText(const std::string& caption);

// The text a normal item shows: a caption beginning with the backspace character is drawn
// right-aligned, without that character and with six spaces appended.
struct TsShownCaption {
  std::string Text;
  bool RightAligned = false;
};
TsShownCaption ShownCaption(const std::string& caption);

// The text a popup item is measured with: "-caption-" for caption items, nothing for a
// separator, else the caption directly followed by the shortcut's text.
std::string MeasuredItemText(const std::string& caption, const std::string& shortCutText);

// Height of a popup item from the menu font's height of "W": 2 for a separator; else
// 1.25 times the text height (to the nearest integer, ties to even), for normal items at
// least the glyph height, plus the margin above and below.
int MenuItemHeight(int textHeightOfW, int glyphHeight, int margin, TsMenuItemType type);

// Width of a popup item from its measured text width.
int PopupItemWidth(int textWidth, int glyphWidth, int margin, int spacing, int extraLineSpace);

// The whole popup over its visible items: a column ends before each item with Break; the
// height is the tallest column, the width the sum of each column's widest item + 12, plus
// 4 for each break.
struct TsMeasuredItem {
  int Width = 0;
  int Height = 0;
  bool Break = false;
};
TSize PopupSize(const std::vector<TsMeasuredItem>& items);

// The menu support settings of the skin manager.
struct TskMenuSupport {
  std::string IcoLineSkin;  // section behind the glyph column; empty: none
  bool UseExtraLine = false;
  int ExtraLineWidth = 32;
};

// What the extra line of one popup shows; the handler may change every field.
struct TsExtraLineData {
  std::string SkinSection;
  std::string Caption;
  std::unique_ptr<TBitmap> Glyph;
  bool LineVisible = false;
};
// The manager's OnGetMenuExtraLineData; the first item is the framework's menu item.
using TskGetExtraLineData = std::function<void(const void* firstItem, TsExtraLineData& data)>;

// Asks for the extra line of the popup whose first item is given. A popup whose first item
// is named "SkinSelectItem" has none and the handler is not asked; neither is it while a
// query is already running (a handler that measures menus itself). Ampersands are taken
// out of the caption; an invisible line keeps no glyph.
TsExtraLineData QueryExtraLine(const void* firstItem, const std::string& firstItemName,
                               const TskGetExtraLineData& handler);

// The room the extra line takes in a popup: ExtraLineWidth when used and shown, else 0.
int ExtraLineSpace(const TskMenuSupport& support, bool extraLineShown);

// The one-pixel-high rectangles cut from the popup window's region: the border mask's
// holes, or the single top-left pixel when the mask has none.
std::vector<TRect> MenuRegionCuts(const std::vector<TRect>& holes);

class TsSkinManager;

// The width of a popup's border in its background: the BorderWidth of the MAINMENU border
// mask, or 3 when that is 0 or less; 0 without such a mask.
int MenuSkinBorderWidth(const TsSkinManager* manager);

// The background of a whole popup window (border included) from the skin: the MAINMENU
// section in state 0, the icon-line strip behind the glyph column (support.IcoLineSkin,
// iconLineWidth wide, after the extra line's room) and the MAINMENU border mask. Holes are
// the key-coloured runs of the mask's top and bottom corner bands, for the window region.
// Without MAINMENU in the skin the image stays blank and Painted is false.
struct TsMenuBackground {
  std::unique_ptr<TBitmap> Image;
  std::vector<TRect> Holes;
  bool Painted = false;
};
TsMenuBackground PaintMenuBackground(TsSkinManager* manager, int width, int height,
                                     const TskMenuSupport& support, int iconLineWidth,
                                     int extraLineSpace);

// The backgrounds of the open popups, keyed by the popup's first item and its window.
// Entries refer to menu items the cache does not own: an item that goes takes its entries
// with it (ForgetItem), and closing a popup empties the cache.
class TsMenuCache {
 public:
  struct Entry {
    const void* FirstItem = nullptr;
    std::unique_ptr<TBitmap> Image;
    uintptr_t Window = 0;
    bool ExtraLineShown = false;
  };

  Entry* FindByItem(const void* firstItem);
  // Nothing for window 0.
  Entry* FindByWindow(uintptr_t window);
  Entry& Add(const void* firstItem, std::unique_ptr<TBitmap> image, uintptr_t window,
             bool extraLineShown);
  void ForgetItem(const void* item);
  void Clear() { entries_.clear(); }
  int Count() const { return static_cast<int>(entries_.size()); }

 private:
  std::vector<std::unique_ptr<Entry>> entries_;  // stable addresses while entries are added
};
