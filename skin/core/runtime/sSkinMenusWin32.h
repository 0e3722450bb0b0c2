// Skinned menus on Windows: the skin makes the program's menus owner-drawn and paints every
// item itself over one background image per open popup (the popup cache of sSkinMenus.h),
// gives popup windows their region with the skin's corner holes, and paints the menu bar's
// items from the skin's menu sections. One TsSkinableMenus belongs to each skin manager.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Component.h"
#include "framework/ControlsWin32.h"
#include "framework/MenusWin32.h"
#include "framework/StdCtrlsWin32.h"
#include "skin/core/runtime/sSkinMenus.h"
#include "skin/core/skinfiles/sSkinManager.h"

// Private messages to the application window for a popup whose window an item painter could
// not find: LParam the popup's first item (its window is looked up at that item's place), or
// the popup window itself. The skin manager's application-window handler answers 1.
constexpr UINT WM_SKINMENU_REGION_BY_ITEM = 48307;
constexpr UINT WM_SKINMENU_REGION_BY_WINDOW = 48308;

class TsSkinableMenus : public TComponent {
  K_CLASS(TsSkinableMenus, TComponent)
  // Owned by the manager and destroyed with it.
  explicit TsSkinableMenus(TsSkinManager* manager);
  ~TsSkinableMenus() override;

  int Margin = 2;
  TAlignment Alignment = taLeftJustify;
  int BorderWidth = 3;  // width of the popup's border in the background image
  int Spacing = 8;
  TskMenuSupport MenuSupport;
  TskGetExtraLineData OnGetExtraLineData;
  // Called after the skin painted an item, on the item's image.
  std::function<void(TMenuItem* item, TCanvas* canvas, const TRect& r, TOwnerDrawState state,
                     TsMenuItemType type)>
      OnDrawItem;

  bool Active() const { return skinActive_; }
  // Switches every menu of the application when the state changes.
  void SetActive(bool on);
  // Takes the loaded skin's active flag.
  void UpdateActive();
  void InitAllMenus(bool on);
  void InitMainMenu(TMainMenu* menu, bool on);
  void InitPopupMenu(TPopupMenu* menu, bool on);
  // Every sub-item, recursively.
  void InitItems(TMenuItem* item, bool on);

  // Handlers installed on the items.
  void MeasurePopupItem(TObject* sender, TCanvas* canvas, int& width, int& height);
  void DrawPopupItem(TObject* sender, TCanvas* canvas, TRect rect, TOwnerDrawState state);
  void MeasureMainMenuItem(TObject* sender, TCanvas* canvas, int& width, int& height);
  void DrawMainMenuItem(TObject* sender, TCanvas* canvas, TRect rect, TOwnerDrawState state);

  // Gives the popup of the item (WM_SKINMENU_REGION_BY_ITEM) or the window
  // (WM_SKINMENU_REGION_BY_WINDOW) its region from the cached background; true when the
  // message was one of the two and the menus are active.
  bool AnswerRegionRequest(UINT msg, LPARAM lParam);

  TsMenuCache& Cache() { return cache_; }
  // The cache was emptied because a popup window closed (counted for tests).
  int PopupsClosed() const { return popupsClosed_; }
  void PopupClosed();

  // Whether Wine or Windows has the symbol font the system-menu glyphs are written in; without
  // it the glyphs are drawn as simple shapes.
  static bool SymbolFontAvailable();

 protected:
  void Notification(TComponent* c, TOperation operation) override;

 private:
  void InitItem(TMenuItem* item, bool on, bool topLevel);
  int ItemHeight(TCanvas* canvas, TMenuItem* item);
  TSize PopupSizeOf(TCanvas* canvas, TMenuItem* item);
  TSize GlyphSize(TMenuItem* item) const;
  TsMenuCache::Entry* FindOrBuild(TMenuItem* item, int width, int height, HWND window);
  void SetMenuRegion(HWND window, const std::vector<TRect>& holes, int width, int height);
  void WatchPopupWindow(HWND window);
  // `origin`: where item coordinates start in the popup window and its background image.
  void PaintSeparator(TCanvas* canvas, const TRect& rect, const TBitmap* bg, int extra,
                      TPoint origin);
  void PaintCaptionItem(TMenuItem* item, TCanvas* canvas, const TRect& rect, TBitmap* bg, int extra,
                        TPoint origin);
  TsSkinManager* manager_;
  TsMenuCache cache_;
  bool skinActive_ = false;
  bool regionBusy_ = false;
  std::vector<TRect> regionHoles_;  // of the background built last
  int popupsClosed_ = 0;
};

// The manager's menus object, made on first use.
TsSkinableMenus& SkinableMenusOf(TsSkinManager& manager);
