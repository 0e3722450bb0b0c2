// The list view adapter: a list view in its skin section's colours with a skinned border and
// bars, its column header painted from the skin (COLHEADER, else BUTTON) with hot and pressed
// columns and sort arrows, and the skinned thumbs' positions turned into list view scrolling.
#pragma once

#include <windows.h>

#include "framework/WindowSubclassWin32.h"
#include "skin/adapters/skEditWndWin32.h"

class TskListViewWnd : public TskEditWnd {
 public:
  // The framework's view styles: icons, small icons, list, report.
  enum class TViewKind { Icon = 0, SmallIcon = 1, List = 2, Report = 3 };
  ~TskListViewWnd() override;
  TViewKind GetViewStyle() const;
  // The header item at an order position (header client coordinates); dragged columns keep
  // their visual order.
  TRect GetHeaderItemRect(int order) const;
  // The order position of the header item under a screen point; -2 when none.
  int HeaderItemAt(POINT screen) const;
  // The header painted into dc (null: answering the header's WM_PAINT with its paint DC).
  void PaintHeader(HDC dc);
  HWND HeaderHandle() const { return header_.Handle(); }
  int PushedColumn() const { return pushedColumn_; }
  int HoverColumn() const { return hoverColumn_; }

 protected:
  friend class TskMainWnd;
  TskListViewWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                 const std::string& section);
  void Start(bool repaint) override;
  void SaveColors() override;
  void RestoreColors() override;
  void ApplySkinColors() override;
  void WndProc(TMessage& message) override;

 private:
  void HookHeader(HWND header);
  bool HeaderProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  // The index of the column under a point in the header's client area; -1 when none.
  static int ColumnUnder(HWND header, POINT client);
  void PaintHeaderItem(const TRect& r, int index, HDC dc);
  void RepaintHeader();
  void ListTail(TMessage& message);
  void ThumbTrack(TMessage& message);

  TWindowSubclass header_;
  int pushedColumn_ = -1;
  int hoverColumn_ = -1;
  // The window's own colours, given back for a list view with or without a framework control.
  COLORREF savedBkColor_ = CLR_INVALID;
  COLORREF savedTextBkColor_ = CLR_INVALID;
  COLORREF savedTextColor_ = 0;
};
